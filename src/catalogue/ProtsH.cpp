#include "catalogue/ProtsH.h"

#include "base/Error.h"
#include "base/Lang.h"
#include "catalogue/CatText.h"

#include <algorithm>

using namespace Cap;

// --- capability flags ------------------------------------------------------------------

namespace {

#define TRIP_CAP_NAME(name) #name,
constexpr const char *kCapNames[] = {TRIP_DEVICE_CAPS(TRIP_CAP_NAME)};
#undef TRIP_CAP_NAME
static_assert(std::size(kCapNames) == Cap::Count);

#define TRIP_CAP_MEMBER(name) &TDeviceCaps::name,
constexpr bool TDeviceCaps::*kCapMembers[] = {TRIP_DEVICE_CAPS(TRIP_CAP_MEMBER)};
#undef TRIP_CAP_MEMBER

} // namespace

TDeviceCaps TDeviceCaps::From(const TCapSet &set) {
    TDeviceCaps caps;
    for (int c = 0; c < Cap::Count; ++c)
        caps.*kCapMembers[c] = set.Has(TCap(c));
    return caps;
}

TCapSet TDeviceCaps::ToSet() const {
    TCapSet set;
    for (int c = 0; c < Cap::Count; ++c)
        if (this->*kCapMembers[c]) set = set | TCapSet{TCap(c)};
    return set;
}

bool TDeviceCaps::Get(TCap c) const {
    return this->*kCapMembers[c];
}

const char *CapName(TCap c) {
    return c < Cap::Count ? kCapNames[c] : "";
}

std::optional<TCap> CapByName(std::string_view name) {
    for (int c = 0; c < Cap::Count; ++c)
        if (name == kCapNames[c]) return TCap(c);
    return std::nullopt;
}

bool IsEntrySelecting(TCap c) {
    return c == HasCan || std::string_view(kCapNames[c]).starts_with("Offer");
}

// --- device models -----------------------------------------------------------------------

namespace {

// Entry-selecting sets shared by several models.
constexpr TCapSet kOffers4000 = {OfferObd2eOnly, OfferJan, OfferM74, OfferBoschM7_9_7, OfferBoschM7_0};
constexpr TCapSet kOffers4200 = kOffers4000 | TCapSet{HasCan, OfferM74_8, OfferMikas};
constexpr TCapSet kSetA = {HasCan,          OfferM86Pro,  OfferUaz17971,  OfferUazAecs,   OfferCanToyota,
                           OfferEdc16Iveco, OfferCan,     OfferJ1939,     OfferEms3125,   OfferMikas,
                           OfferMikas10_3,  OfferCorvet,  OfferJan,       OfferMikas11E3, OfferM12,
                           OfferMikas7_6,   OfferMikas11, OfferBoschM7_0, OfferM74,       OfferBoschM7_9_7,
                           OfferUaz1797,    OfferEdc16Zmz};
constexpr TCapSet kSetB =
    kSetA | TCapSet{OfferM74Can, OfferM74_8, OfferM86, OfferNissan, OfferAveo, OfferRenault, OfferSsangYong};
constexpr TCapSet kSetC =
    kSetB | TCapSet{OfferCanFord, OfferCanSubaru, OfferChrysler,   OfferJ1850,    OfferTobd1,
                    OfferDaewoo,  OfferSonata,    OfferBoschTiggo, OfferSubaru,   OfferMitsu3,
                    OfferToyota,  OfferToyota1,   OfferDaihatsu,   OfferMitsu,    OfferMitsu4,
                    OfferConsult, OfferHonda,     OfferSuzuki,     OfferUniversal};
constexpr TCapSet kSetD =
    (kSetB - TCapSet{OfferJ1939}) |
    TCapSet{OfferCanSubaru, OfferDaewoo, OfferSonata, OfferBoschTiggo, OfferObdPwm, OfferUniversal};
constexpr TCapSet kOffers8080 = {HasCan,      OfferCan,    OfferCanToyota, OfferToyotaHybridA, OfferEstima10,
                                 OfferPrius2, OfferPrius3, OfferPrius5,    OfferRx400h};

// Capability sets shared by several models.
constexpr TCapSet kCaps4010 = {NoVoice,         NoAirTemperature, HasLowBeamControl, NoSpeedSensor,
                               NoInjectorInput, HasAutoObd,       HasAddSystems};
constexpr TCapSet kCaps4110 = {NoAirTemperature, HasLowBeamControl, NoSpeedSensor,
                               NoInjectorInput,  HasAutoObd,        HasAddSystems};
constexpr TCapSet kCaps4300 = kCaps4110 | TCapSet{NoVoice};
constexpr TCapSet kCaps4600 = {HasAutoObd, HasAddSystems, HasSootFilterAlert, NoAutoVag};
constexpr TCapSet kCaps4700 = kCaps4600 | TCapSet{NoVoice};
constexpr TCapSet kCaps4800 = kCaps4700 | TCapSet{NoParktronic};
constexpr TCapSet kOffers4800 = (kSetB - TCapSet{OfferM74_8}) | TCapSet{OfferToyota};
constexpr TCapSet kCaps8000 = {HasAutoObd, HasAutoOpel, HasSootFilterAlert, HasAddSystems};

// clang-format off
const TDeviceModel kModels[] = {
    {0x4000, "Model 01", {NoVoice, NoGas, HasAutoObd, HasAddSystems}, kOffers4000},
    {0x4010, "Model 02", kCaps4010, kOffers4000},
    {0x4020, "Model 03", kCaps4010, kOffers4000},
    {0x4100, "Model 04", {NoGas, HasAutoObd, HasAddSystems}, kOffers4000},
    {0x4110, "Model 05", kCaps4110, kOffers4000},
    {0x4120, "Model 06", kCaps4110, kOffers4000},
    {0x4200, "Model 07", kCaps4110, kOffers4200},
    {0x4210, "Model 08", kCaps4110, kOffers4200},
    {0x4300, "Model 09", kCaps4300, kOffers4200},
    {0x4310, "Model 10", kCaps4300, kOffers4200},
    {0x4400, "Model 11", {HasAutoObd, HasAddSystems}, kSetA},
    {0x4500, "Model 12", {NoVoice, HasAutoObd, HasAddSystems}, kSetA},
    {0x4600, "Model 13", kCaps4600, kSetB},
    {0x4610, "Model 14", kCaps4600, kSetB},
    {0x4700, "Model 15", kCaps4700, kSetB},
    {0x4710, "Model 16", kCaps4700, kSetB},
    {0x4800, "Model 17", kCaps4800, kOffers4800},
    {0x4810, "Model 18", kCaps4800, kOffers4800},
    {0x5000, "Model 19",
     {HasBottomPanel, NoVoice, LastSpeedSourceNeedsVirtualLock, NoParktronic, NoGas, NoJamStatistics,
      NoParkingLightsInput, FixedParkingLights, HasGps, CompactService, HasTrim, PowerReserveTerms, NoAccelTimer,
      NoSpeedCorrection, HasCarburettor},
     {OfferJan, OfferCorvet, OfferUniversal, OfferDelphi, OfferYamaha, OfferSuzukiMarine, OfferHondaMarine,
      OfferEvinrude, OfferHidea}},
    {0x5100, "Model 20",
     {NoVoice, NoAirTemperature, NoParktronic, NoGas, NoJamStatistics, NoParkingLightsInput, FixedParkingLights,
      HasAutoObd, HasRetarder, CompactService, HasAccelerometer, NoLevelSensor, StartLockLevel},
     {OfferCan, OfferJ1939, OfferCorvet, OfferBoschTiggo, OfferUniversal, OfferDelphi, OfferDelphi1, OfferBrp}},
    {0x5200, "Model 21",
     {HasBottomPanel, NoVoice, NoAirTemperature, NoParktronic, NoGas, NoJamStatistics, NoParkingLightsInput,
      FixedParkingLights, HasCarburettor, CompactService, HasAccelerometer, NoLevelSensor, StartLockLevel,
      PowerReserveTerms},
     {OfferJ1939, OfferCorvet, OfferUniversal, OfferDelphi, OfferNmea2000, OfferYamaha, OfferYam2018,
      OfferSuzukiMarine, OfferHondaMarine, OfferEvinrude}},
    {0x5800, "Model 22",
     {HasBottomPanel, NoVoice, LastSpeedSourceNeedsVirtualLock, NoParktronic, NoGas, NoJamStatistics,
      NoParkingLightsInput, FixedParkingLights, HasAutoObd, HasCarburettor, HasGps, CompactService, HasAccelerometer,
      HasTrim, PowerReserveTerms},
     {OfferCan, OfferJ1939, OfferMikas10_3, OfferCorvet, OfferJan, OfferMikas11E3, OfferM12, OfferMikas7_6,
      OfferMikas11, OfferToyota, OfferToyota1, OfferUniversal, OfferDelphi, OfferNmea2000, OfferYamaha, OfferYam2018,
      OfferSuzukiMarine, OfferHondaMarine, OfferEvinrude, OfferHidea}},
    {0x8000, "Model 23", kCaps8000, kSetC},
    {0x8001, "Model 24", kCaps8000, kSetC},
    {0x8080, "Model 25", {AltColourDefaults, HasAddSystems}, kOffers8080},
    {0x8100, "Model 26", {NoVoice, HasAutoObd, HasAddSystems}, kSetD},
    {0x8180, "Model 27", {NoVoice, AltColourDefaults, HasAddSystems}, kOffers8080 | TCapSet{OfferObdPwm}},
    {0x8200, "Model 28", kCaps8000, kSetC - TCapSet{OfferM74_8}},
};
// clang-format on

} // namespace

std::span<const TDeviceModel> DeviceModels() {
    return kModels;
}

const TDeviceModel *FindDeviceModel(uint16_t code) {
    for (const TDeviceModel &m : kModels)
        if (m.Code == code) return &m;
    return nullptr;
}

// --- catalogue rows ------------------------------------------------------------------------

namespace {

using TCodes = std::initializer_list<uint8_t>;

constexpr TCapCond If(std::initializer_list<TCap> all, std::initializer_list<TCap> none = {}) {
    return {TCapSet(all), TCapSet(none)};
}


struct TOptFill {
    TOptSlot slot;
    TCatText caption;
    std::initializer_list<TCatText> values; // the count is their number
};

enum TAtFill { NoAtFill, WithAtVariants, WithToyotaAtVariants };

struct TProtRow {
    int no; // catalogue row; rows whose lists depend on a flag appear once per variant
    TCatText name;
    uint8_t kind;
    TCapCond when;
    int32_t faultFormat;
    TCodes disp; // after 1 … 16
    TCodes units;
    TProtFlags flags;
    std::initializer_list<TOptFill> options;
    TAtFill at = NoAtFill;
};

// Captions and value texts.
constexpr TCatText kType = EnRu("Type", "Тип");
constexpr TCatText kObdType = EnRu("OBD type", "Тип ОБД");
constexpr TCatText kProtocolType = EnRu("Protocol type", "Тип протокола");
constexpr TCatText kOsType = EnRu("OS type", "Тип ДК");
constexpr TCatText kOs2Type = EnRu("OS2 type", "Тип ДК2");
constexpr TCatText kCoolantVar = EnRu("T Coolant var.", "Вариант ТОЖ");
constexpr TCatText kCoolInAirVar = EnRu("T Cool/InAir var.", "Вариант ТОЖ/ТВВ");
constexpr TCatText kISregVar = EnRu("ISreg var.", "Вариант ШД");
constexpr TCatText kFaultsType = EnRu("Faults type", "Тип ошибок");
constexpr TCatText kThrottleType = EnRu("Throttle type", "Тип дросселя");
constexpr TCatText kFaultsRequest = EnRu("Faults request", "Запрос ошибок");
constexpr TCatText kEngineType = EnRu("Engine type", "Тип двигателя");
constexpr TCatText kFanChannel = EnRu("Fan control channel", "Канал включения вентилятора");
constexpr TCatText kExpenseCalc = EnRu("Expense calculation", "Расчет расхода");
constexpr TCatText kCanReq = EnRu("CAN req/sec", "Опрос CAN раз/сек");
constexpr TCatText kAtOilTemper = EnRu("AT oil temper.", "Темп. масла АКПП");
constexpr TCatText kEngine = EnRu("Engine", "Двигатель");
constexpr TCatText kAuto = EnRu("Auto", "Авто");
constexpr TCatText kMan = EnRu("Man.", "Руч.");
constexpr TCatText kPetrol = EnRu("Petrol", "Бензин");
constexpr TCatText kDiesel = EnRu("Diesel", "Дизель");
constexpr TCatText kUp92 = EnRu("up92", "до 92");
constexpr TCatText kFr92 = EnRu("fr92", "с 92");
constexpr TCatText kISreg = EnRu("ISreg", "ШД");
constexpr TCatText kEmv = EnRu("EMV", "ЭМК");
constexpr TCatText kFrntO2 = EnRu("FrntO2", "O2 Пер");
constexpr TCatText kNo = EnRu("No", "Нет");
constexpr TCatText kYes = EnRu("Yes", "Да");
constexpr TCatText kCruis = EnRu("Cruis", "Круиз");
constexpr TCatText kTotal = EnRu("Total", "Все");

// Transmission variants of AddAtVariants (T1) and AddToyotaAtVariants (T2).
constexpr TCatText kAtListT1[] = {
    kNo,          "Paj.Sport",  "Outlndr",    "Niss1",      "Captiva", "Toy1",    "Toy2",   "HovH5,St",
    "Niss2",      "Wrangler",   "Rexton",     "Kyr/Act",    "Niss3",   "Outl3.0", "Paj.WF", "Duster",
    "Mazda1",     "Hyund/Kia1", "Hyund/Kia2", "Mazda2",     "Mazda3",  "Subaru",  "Niss4",  "Suz1",
    "Outl16",     "Astra",      "Toy3",       "Chery",      "Kuga1",   "Niss5",   "Suz2",   "Suz3",
    "Patrt",      "Hyund/Kia3", "A13",        "A16",        "Emgrd",   "Punch",   "TCU",    "Toy4",
    "Hyund/Kia4", "Kuga2",      "Sand2",      "Hyund/Kia5", "JComm",   "U660E",   "Pg308",  "Vol60",
    "Skoda",      "Skoda2",     "Suz4"};
static_assert(std::size(kAtListT1) == 51);
constexpr TCatText kAtListT2[] = {kNo, "Toy1", "Toy2", "Toy3", "Toy4", "U660E"};

// The catalogue in creation order: row, name, kind, condition, fault format,
// extra display codes, units, entry flags, option slots, transmission variants.
// clang-format off
constexpr TProtRow kRows[] = {
    {1, "M74CAN", 11, If({HasCan, OfferM74Can}), 1,
     {17, 18, 25, 20, 33, 22, 23, 24, 36, 37, 19},
     {8, 10, 11, 15, 25, 27, 77, 28, 29, 30, 36, 37, 55, 56, 57, 58, 59, 60, 76, 83, 90},
     {.HasAtOilTemp = true, .HasFanControl = true, .HasLightsInfo = true, .EcuTankSensors = 2},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Jatco", "ZF 2180", "Niss5"}}}},
    {2, "M74.8", 7, If({HasCan, OfferM74_8}), 1,
     {17, 18, 25, 20, 33, 22, 23, 24, 19},
     {8, 10, 11, 15, 25, 27, 77, 28, 29, 30, 36, 37, 55, 56, 57, 58, 59, 60, 76, 83, 90},
     {},
     {{Add1, kFanChannel, {"1", "2", "1+2", "3", "4"}}}},
    {3, "M86", 16, If({HasCan, OfferM86}), 1,
     {17, 25, 20, 33, 22, 23, 24, 36, 37, 19},
     {55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 76, 83, 90},
     {.HasAtOilTemp = true, .HasFanControl = true, .HasLightsInfo = true, .EcuTankSensors = 3},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Jatco", "ZF 2180", "Niss5"}}}},
    {4, EnRu("UAZ 17971E5", "УАЗ 17971E5"), 18, If({HasCan, OfferUaz17971}), 1,
     {17, 18, 25, 20, 33, 22, 23, 24, 19, 37, 36},
     {22, 23, 31, 32, 34, 35, 66, 25, 48, 137, 138},
     {.HasAtOilTemp = true, .HasFanControl = true, .HasLightsInfo = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Captiva", "Punch"}}}},
    {5, EnRu("UAZ AECS D", "УАЗ AECS D"), 180, If({HasCan, OfferUazAecs}), 1,
     {17, 18, 19, 25, 20, 33, 22, 23, 24, 37, 21, 36},
     {22, 23, 31, 32, 34, 35, 66, 25, 48, 137, 138, 152},
     {.HasAtOilTemp = true},
     {{Add4, kAtOilTemper, {kNo, "Captiva", "Punch"}}}},
    {6, "M86Pro", 181, If({HasCan, OfferM86Pro}), 1,
     {17, 18, 25, 20, 33, 22, 23, 24, 36, 37, 19},
     {22, 23, 31, 32, 34, 35, 66, 25, 48, 137, 138, 152},
     {.HasAtOilTemp = true, .HasBatteryVoltage = true, .EcuTankSensors = 1},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Captiva", "Punch"}}}},
    {7, "CAN Toyota", 12, If({HasCan, OfferCanToyota}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36},
     {139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .EcuTankSensors = 2},
     {},
     WithToyotaAtVariants},
    {8, "Estima20", 230, If({HasCan, OfferToyotaHybridA}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 49, 50, 51, 53, 54, 63, 64},
     {78, 81, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .IsHybrid = true, .EcuTankSensors = 2, .HasAddCooling = true},
     {},
     WithToyotaAtVariants},
    {9, "Toyota Sai", 234, If({HasCan, OfferToyotaHybridA}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 49, 53, 54, 63},
     {120, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithToyotaAtVariants},
    {10, "Prius2.0", 231, If({HasCan, OfferPrius2}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {79, 130, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .IsHybrid = true, .HasAddCooling = true},
     {},
     WithToyotaAtVariants},
    {11, "Prius3.0", 232, If({HasCan, OfferPrius3}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {80, 82, 81, 85, 119, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2, .HasAirTempChoice = true},
     {},
     WithAtVariants},
    {12, "Lex RX450H", 235, If({HasCan, OfferPrius3}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37, 44, 45, 46, 47, 48, 52, 53, 54, 63, 64},
     {84, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithAtVariants},
    {13, "Harrier", 236, If({HasCan, OfferPrius3}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {121, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithAtVariants},
    {14, "Prius3.5", 237, If({HasCan, OfferPrius3}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {134, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithAtVariants},
    {15, "Lex RX400H", 233, If({HasCan, OfferRx400h}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 50, 51, 53, 54, 63},
     {115, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithToyotaAtVariants},
    {16, "Prius5.0", 238, If({HasCan, OfferPrius5}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {140, 81, 136, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2, .HasAirTempChoice = true},
     {},
     WithAtVariants},
    {17, "Prius5.1", 240, If({HasCan, OfferPrius5}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {142, 81, 136, 139, 151, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2, .HasAirTempChoice = true},
     {},
     WithAtVariants},
    {18, "Prius5.2", 243, If({HasCan, OfferPrius5}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63, 64},
     {150, 81, 136, 139, 151, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .HasLightsInfo = true, .HasBatteryVoltage = true, .IsHybrid = true, .EcuTankSensors = 2, .HasAirTempChoice = true},
     {},
     WithAtVariants},
    {19, "Camry 4.0", 239, If({HasCan, OfferToyotaHybridA}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 49, 52, 53, 54},
     {141, 81, 136, 139},
     {.HasAtOilTemp = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithToyotaAtVariants},
    {20, "Lex GS450H", 241, If({HasCan, OfferToyotaHybridA}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 44, 45, 46, 47, 48, 49, 51, 53, 54, 63},
     {143, 81, 139, 161, 165, 166, 167, 168, 169},
     {.HasAtOilTemp = true, .IsHybrid = true, .EcuTankSensors = 2},
     {},
     WithToyotaAtVariants},
    {21, "Estima10", 242, If({HasCan, OfferEstima10}), 0,
     {17, 44, 45, 46, 47, 48, 49, 52, 53, 54, 63},
     {149, 144, 145, 165, 166, 167, 168, 169},
     {.IsHybrid = true, .HasAddCooling = true},
     {}},
    {22, "CAN Ford", 15, If({HasCan, OfferCanFord}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37, 38, 39},
     {38, 39, 40, 41, 42, 43, 44},
     {.HasAtOilTemp = true, .HasEngineOilTemp = true, .HasLightsInfo = true, .EcuTankSensors = 1},
     {{Add3, kThrottleType, {"1", "2", "3", "4", "5", "6"}}}},
    {23, "CAN Subaru1", 5, If({HasCan, OfferCanSubaru}), 0,
     {17, 18, 19, 24, 25, 27, 20},
     {},
     {},
     {}},
    {24, "CAN Subaru2", 6, If({HasCan, OfferCanSubaru}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 21},
     {},
     {},
     {}},
    {25, "EDC16 Iveco", 13, If({HasCan, OfferEdc16Iveco}), 1,
     {17, 18, 24, 25, 20, 35, 38},
     {22, 23, 31, 32, 34, 35, 66, 77},
     {.HasEngineOilTemp = true},
     {{Add1, kCanReq, {"4", "1"}}}},
    {26, "CAN", 1, If({HasCan, OfferCan}), 0,
     {17, 18, 19, 24, 25, 27, 20, 22, 23, 36, 37},
     {45, 46, 47, 48, 49, 50, 53, 54, 69, 70, 71, 72, 73, 74, 75, 77, 86, 87, 88, 89, 133, 90, 91, 92, 94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 132, 110, 111, 112, 113, 114, 116, 117, 118, 122, 123, 124, 125, 126, 127, 128, 129, 135, 146, 147, 148, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 164},
     {.HasAtOilTemp = true, .EcuTankSensors = 3},
     {{Add2, kExpenseCalc, {"1", "2", kCruis, "4", "5D", "DustD"}}, {Add3, kThrottleType, {"1", "2", "3", "4", "5", "6"}}},
     WithAtVariants},
    {27, "EMS3125", 17, If({HasCan, OfferEms3125}), 0,
     {17, 18, 19, 24, 25, 20, 33, 27, 38, 37, 22, 23, 36},
     {61, 62, 63, 64, 65, 76, 83, 90},
     {.HasAtOilTemp = true, .HasEngineOilTemp = true, .EcuTankSensors = 2},
     {{Add2, kExpenseCalc, {"1", "2"}}, {Add4, kAtOilTemper, {kNo, "ZF 2180", "Niss5"}}}},
    {28, "J1939", 14, If({HasCan, OfferJ1939, HasRetarder}), 5,
     {17, 19, 27, 24, 37, 35, 38, 41, 42, 36, 43},
     {93, 22, 23},
     {.HasAtOilTemp = true, .HasEngineOilTemp = true, .HasBatteryVoltage = true, .EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2", "3"}}}},
    {28, "J1939", 14, If({HasCan, OfferJ1939}, {HasRetarder}), 5,
     {17, 19, 27, 24, 37},
     {22, 23},
     {.HasBatteryVoltage = true, .EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2", "3"}}}},
    {29, "NMEA2000", 19, If({HasCan, OfferNmea2000}), 5,
     {17, 27, 37, 35, 38, 41, 42},
     {},
     {.HasEngineOilTemp = true, .HasBatteryVoltage = true, .EcuTankSensors = 1, .HasTrimInfo = true},
     {{Add1, kEngine, {kTotal, "0", "1", "2", "3", "4"}}}},
    {30, "BRP", 20, If({HasCan, OfferBrp}), 0,
     {17},
     {},
     {},
     {}},
    {31, EnRu("Crysler", "Крайслер"), 21, If({OfferChrysler}), 0,
     {17, 20, 18, 21},
     {21},
     {},
     {{Add1, kFaultsRequest, {kAuto, kMan}}}},
    {32, "J1850", 22, If({OfferJ1850}), 0,
     {17, 20, 18, 22, 19},
     {21},
     {.EcuTankSensors = 1},
     {}},
    {33, "TOBD1", 27, If({OfferTobd1}), 1000,
     {17, 20, 28, 19, 25, 21, 29, 31, 30},
     {},
     {.HasFaults = false},
     {{Add1, kProtocolType, {"MAP1", "MAP2", "VAF"}}, {Add2, kCoolantVar, {kFr92, kUp92}}, {Add3, kISregVar, {kISreg, kEmv}}}},
    {34, EnRu("Mikas", "Микас"), 29, If({OfferMikas}), 3,
     {17, 18, 26, 20, 21, 25},
     {},
     {.HasFanControl = true},
     {}},
    {35, EnRu("DAEWOO-1", "ДЭУ-1"), 31, If({OfferDaewoo}), 2,
     {17, 20, 21},
     {},
     {},
     {}},
    {36, EnRu("DAEWOO-2", "ДЭУ-2"), 32, If({OfferDaewoo}), 2,
     {17, 20, 21},
     {},
     {},
     {}},
    {37, EnRu("DAEWOO-3", "ДЭУ-3"), 33, If({OfferDaewoo}), 2,
     {17, 20, 21},
     {},
     {},
     {}},
    {38, "Nissan", 36, If({OfferNissan}), 1,
     {17, 18, 22, 23},
     {45},
     {},
     {}},
    {39, "Aveo", 37, If({OfferAveo}), 7,
     {17, 20, 21},
     {},
     {.EcuTankSensors = 1},
     {{Add2, kFaultsType, {"1", "2", "3"}}}},
    {40, "Aveo 2", 38, If({OfferAveo}), 7,
     {17, 20, 32, 19, 18, 27, 24, 25, 22, 23, 21, 37},
     {},
     {.EcuTankSensors = 1},
     {{Add2, kFaultsType, {"1", "2", "3"}}}},
    {41, EnRu("Mikas 10.3", "Микас 10.3"), 48, If({OfferMikas10_3}), 1,
     {17, 18, 25, 20, 33, 22, 23, 21, 27, 19, 24},
     {22, 23},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {42, EnRu("10/11Corvet", "10/11Корвет"), 51, If({OfferCorvet}), 1,
     {17, 25, 20, 21, 38, 37, 35},
     {22, 23},
     {.HasFanControl = true},
     {}},
    {43, EnRu("Jan", "Январь"), 41, If({OfferJan}), 1,
     {17, 18, 25, 20, 22, 21},
     {8, 9, 12},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2", "3"}}}},
    {44, EnRu("Mikas 7.6", "Микас 7.6"), 42, If({OfferMikas7_6}), 1,
     {17, 18, 25, 20, 22, 21, 19, 24},
     {},
     {},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {45, "Микас 11", 43, If({OfferMikas11}), 1,
     {17, 18, 20, 21},
     {21, 22, 23},
     {},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {46, "M74", 44, If({OfferM74}), 1,
     {17, 18, 25, 20, 33, 22, 23, 24},
     {8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 67, 68},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {47, EnRu("Bosch M7.9.7", "Бош M7.9.7"), 45, If({OfferBoschM7_9_7}), 1,
     {17, 18, 25, 20, 22, 23, 21, 24, 27},
     {8, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 22, 23, 24, 26, 67, 68},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {48, EnRu("Mikas 11E3", "Микас 11E3"), 46, If({OfferMikas11E3}), 1,
     {17, 18, 20, 21, 22},
     {22, 23},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {49, "M12", 47, If({OfferM12}), 1,
     {17, 24, 18, 22, 23, 20, 33, 25},
     {22, 23},
     {.HasFanControl = true, .EcuTankSensors = 1},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add2, kExpenseCalc, {"1", "2"}}}},
    {50, "UAZ1797", 49, If({OfferUaz1797}), 1,
     {17, 18, 25, 20, 33, 24, 22, 23},
     {22, 23, 31, 32, 34, 35, 66},
     {.HasFanControl = true},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {51, "EDC16 ЗМЗ", 50, If({OfferEdc16Zmz}), 1,
     {17, 18, 20, 27, 24, 35},
     {},
     {},
     {}},
    {52, EnRu("Bosch M7.0", "Бош M7.0"), 61, If({OfferBoschM7_0}), 1,
     {17, 18, 25, 20, 22, 21},
     {8, 12},
     {},
     {}},
    {53, "Sonata", 62, If({OfferSonata}), 1,
     {17, 19, 25, 20, 22, 21, 24, 18},
     {},
     {},
     {{Main, kType, {"1", "2"}}}},
    {54, "Bosch", 63, If({OfferBoschTiggo, OfferDelphi}), 1,
     {17, 20, 21, 22, 19, 24},
     {},
     {},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {54, "Tiggo", 63, If({OfferBoschTiggo}, {OfferDelphi}), 1,
     {17, 20, 21, 22, 19, 24},
     {},
     {},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}}},
    {55, "Subaru", 64, If({OfferSubaru}), 4,
     {17, 20, 27, 21, 22, 23, 19, 25, 28},
     {},
     {.EcuTankSensors = 1},
     {{Add3, kOs2Type, {"Lambda", kFrntO2}}}},
    {56, EnRu("Renault", "Рено"), 65, If({OfferRenault}), 1,
     {17, 20, 22, 23, 19, 24, 21},
     {51, 52},
     {},
     {}},
    {57, "VAG 1", 82, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 19, 24, 18},
     {},
     {},
     {}},
    {58, "VAG 2", 83, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 22, 18},
     {},
     {},
     {}},
    {59, "VAG 3", 84, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 22, 23, 18, 27, 24},
     {},
     {},
     {}},
    {60, "VAG 4", 85, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 19, 27},
     {},
     {},
     {}},
    {61, "VAG 5", 86, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 24, 27},
     {},
     {},
     {}},
    {62, "VAG 6", 87, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 24, 27, 22},
     {},
     {},
     {}},
    {63, "VAG 7", 88, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 18, 24, 27, 22, 23},
     {},
     {},
     {}},
    {64, "VAG 8", 89, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 18, 22},
     {},
     {},
     {}},
    {65, "VAG 9", 90, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 27, 22, 24},
     {},
     {},
     {}},
    {66, "VAG 10", 91, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 18, 22, 24},
     {},
     {},
     {}},
    {67, "VAG 11", 92, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 27, 23, 24},
     {},
     {},
     {}},
    {68, "VAG 12", 93, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 20, 18, 27, 22, 23, 24},
     {},
     {},
     {{Add1, kOsType, {"1", "2"}}}},
    {69, "VAG 13", 94, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 27, 22, 24},
     {},
     {},
     {}},
    {70, "VAG 14", 95, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {17, 18, 27, 22, 23, 24},
     {},
     {},
     {}},
    {71, "GreatWall", 81, If({HasSootFilterAlert}), 2,
     {17, 19, 22, 24, 21},
     {},
     {},
     {}},
    {72, "VAG CE", 96, If({HasSootFilterAlert}, {NoAutoVag}), 8,
     {},
     {},
     {.HasCoolantTemp = false},
     {}},
    {73, "Mitsu3", 101, If({OfferMitsu3}), 0,
     {17, 20, 19, 18},
     {},
     {},
     {}},
    {74, "OBD2E", 102, If({HasAutoObd, OfferObd2eOnly}), 0,
     {17, 20, 22, 19, 18, 24},
     {},
     {},
     {}},
    {75, "OBD2Q", 103, If({HasAutoObd}, {OfferObd2eOnly}), 0,
     {17, 20, 22, 19, 18, 24},
     {},
     {},
     {{Main, kObdType, {kAuto, "1", "2", "3", "4", "5"}}, {Add1, kFaultsRequest, {kAuto, kMan}}, {Add2, kExpenseCalc, {"1", kCruis}}, {Add3, kThrottleType, {"1", "2", "3", "4", "5", "6"}}}},
    {76, "OBD2S", 104, If({HasAutoObd}, {OfferObd2eOnly}), 0,
     {17, 20, 19, 18, 24},
     {},
     {},
     {{Main, kObdType, {kAuto, "1", "2", "3", "4", "5"}}, {Add1, kFaultsRequest, {kAuto, kMan}}, {Add2, kExpenseCalc, {"1", kCruis}}, {Add3, kThrottleType, {"1", "2", "3", "4", "5", "6"}}}},
    {77, "OBD2P", 105, If({HasAutoObd}, {OfferObd2eOnly}), 0,
     {17, 20, 19, 18, 24},
     {},
     {},
     {{Main, kObdType, {kAuto, "1", "2", "3", "4", "5"}}, {Add1, kFaultsRequest, {kAuto, kMan}}, {Add2, kExpenseCalc, {"1", kCruis}}, {Add3, kThrottleType, {"1", "2", "3", "4", "5", "6"}}}},
    {78, "Toyota", 111, If({OfferToyota}), 0,
     {17, 20, 19, 18, 22, 21, 24, 36},
     {165, 166, 167, 168, 169},
     {},
     {{Add4, kAtOilTemper, {kNo, kYes}}}},
    {79, "Toyota1", 113, If({OfferToyota1}), 0,
     {17, 20, 18, 22},
     {165, 166, 167, 168, 169},
     {},
     {{Add1, kFaultsRequest, {kAuto, kMan}}}},
    {80, "Daihatsu", 112, If({OfferDaihatsu}), 0,
     {17, 20, 19, 18, 22, 23, 24},
     {},
     {},
     {}},
    {81, "Mitsu 1", 116, If({OfferMitsu}), 9,
     {17, 20, 22, 23, 24, 27, 21},
     {},
     {},
     {{Add2, kFaultsType, {"1", "2", "3"}}, {Add3, kCoolInAirVar, {"1", "2"}}}},
    {82, "Mitsu 2", 117, If({OfferMitsu}), 9,
     {17, 20, 19, 18, 24},
     {},
     {},
     {{Add2, kFaultsType, {"1", "2", "3"}}, {Add3, kExpenseCalc, {"1", "2"}}}},
    {83, "Mitsu 5", 118, If({OfferMitsu}), 9,
     {17, 20, 22, 23, 24, 27, 21},
     {},
     {},
     {{Add2, kFaultsType, {"1", "2", "3"}}}},
    {84, "Opel 1", 121, If({HasAutoOpel}), 1,
     {17, 20, 21, 22, 24, 27, 19},
     {},
     {},
     {}},
    {85, "Opel 2", 122, If({HasAutoOpel}), 1,
     {17, 20, 21, 24, 22, 25, 18},
     {},
     {},
     {}},
    {86, "Opel 3", 123, If({HasAutoOpel}), 1,
     {17, 20, 21, 22, 24, 25, 18},
     {},
     {},
     {}},
    {87, "Opel 4", 124, If({HasAutoOpel}), 1,
     {17, 20, 22, 24, 25},
     {},
     {},
     {{Add3, kCoolantVar, {"1", "2"}}}},
    {88, "Opel 5", 125, If({HasAutoOpel}), 1,
     {17, 20, 22, 24, 25, 18},
     {},
     {},
     {}},
    {89, "Opel 6", 126, If({HasAutoOpel}), 1,
     {17, 20, 22, 24, 25, 19},
     {},
     {},
     {}},
    {90, "Opel 7", 127, If({HasAutoOpel}), 1,
     {17, 20, 24, 18},
     {},
     {},
     {}},
    {91, "Opel 8", 128, If({HasAutoOpel}), 1,
     {17, 20, 21, 24, 22, 25, 18},
     {},
     {},
     {}},
    {92, "SsYong бен", 131, If({OfferSsangYong}), 1,
     {17, 20, 22, 27, 18, 24},
     {},
     {},
     {}},
    {93, "SsYong диз", 132, If({OfferSsangYong}), 1,
     {17, 20, 18, 24},
     {},
     {},
     {{Main, kProtocolType, {"K20E3", "K20E4", "R27E3", "R27E4", "R27  "}}}},
    {94, "Mitsu 4", 139, If({OfferMitsu4}), 0,
     {17, 20, 22, 23, 24, 27, 21},
     {},
     {},
     {{Add1, kEngineType, {kPetrol, kDiesel}}, {Add2, kFaultsType, {"1", "2"}}}},
    {95, "Consult1", 141, If({OfferConsult, HasCan}), 2,
     {17, 20, 28, 21, 22, 24, 25, 19},
     {45},
     {.EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2"}}}},
    {95, "Consult1", 141, If({OfferConsult}, {HasCan}), 2,
     {17, 20, 28, 21, 22, 24, 25, 19},
     {},
     {.EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2"}}}},
    {96, "Consult1D", 142, If({OfferConsult, HasCan}), 2,
     {17, 20, 28, 24, 19},
     {45},
     {.EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2"}}}},
    {96, "Consult1D", 142, If({OfferConsult}, {HasCan}), 2,
     {17, 20, 28, 24, 19},
     {},
     {.EcuTankSensors = 1},
     {{Add2, kExpenseCalc, {"1", "2"}}}},
    {97, "Honda", 151, If({OfferHonda}), 2,
     {17, 20, 22, 21, 19, 24, 25},
     {},
     {},
     {{Add1, kType, {"2", "1"}}}},
    {98, "Suzuki", 152, If({OfferSuzuki}), 2,
     {17, 20, 22, 21, 18, 24},
     {},
     {},
     {}},
    {99, "OBDPWM", 162, If({OfferObdPwm}), 0,
     {17, 20, 18, 22, 19},
     {},
     {.EcuTankSensors = 1},
     {}},
    {100, "Delphi", 220, If({OfferDelphi}), 1,
     {17, 19, 25, 20, 22, 23, 21, 24},
     {},
     {},
     {}},
    {101, "Delphi1", 221, If({OfferDelphi1}), 1,
     {17, 19, 25, 20, 22, 23, 21, 24},
     {},
     {},
     {}},
    {102, "Yamaha", 222, If({OfferYamaha}), 2,
     {19, 25, 20, 22, 21, 24, 35, 57, 58, 41},
     {},
     {.HasCoolantTemp = false, .HasBatteryVoltage = true},
     {}},
    {103, "Suzuki", 223, If({OfferSuzukiMarine}), 2,
     {19, 25, 20, 21, 24, 59, 37, 38, 41},
     {},
     {.HasCoolantTemp = false, .HasBatteryVoltage = true, .HasTrimInfo = true},
     {}},
    {104, "Honda", 224, If({OfferHondaMarine}), 10,
     {20, 21, 19, 22, 24, 25, 60, 61, 38},
     {},
     {.HasCoolantTemp = false, .HasEngineOilTemp = true, .HasBatteryVoltage = true},
     {}},
    {105, "Evinrude", 225, If({OfferEvinrude}), 2,
     {20, 24, 41, 60, 61},
     {},
     {.HasBatteryVoltage = true, .HasTrimInfo = true},
     {}},
    {106, "Evinrude2", 228, If({OfferEvinrude}), 2,
     {20, 24, 57},
     {},
     {.HasBatteryVoltage = true, .HasTrimInfo = true},
     {}},
    {107, "74L", 171, If({HasCan, OfferM74Can}), 1,
     {17, 20, 36, 37},
     {8, 10, 11, 15, 25, 27, 77, 28, 29, 30, 36, 37, 55, 56, 57, 58, 59, 60, 76, 83, 90},
     {.HasAtOilTemp = true, .HasFanControl = true, .HasLightsInfo = true, .EcuTankSensors = 1},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Jatco", "ZF 2180", "Niss5"}}}},
    {108, "86L", 172, If({HasCan, OfferM74Can}), 1,
     {17, 20, 36, 37},
     {8, 10, 11, 15, 25, 27, 77, 28, 29, 30, 36, 37, 55, 56, 57, 58, 59, 60, 76, 83, 90},
     {.HasAtOilTemp = true, .HasFanControl = true, .HasLightsInfo = true, .EcuTankSensors = 1},
     {{Add1, kFanChannel, {"1", "2", "1+2"}}, {Add4, kAtOilTemper, {kNo, "Jatco", "ZF 2180", "Niss5"}}}},
    {109, "Hidea", 226, If({OfferHidea}), 1,
     {17, 18, 19, 25, 20, 22, 21, 24},
     {},
     {.HasFaults = false, .HasBatteryVoltage = true},
     {}},
    {110, EnRu("Carb.", "Карб."), 254, If({HasCarburettor}), 1000,
     {},
     {},
     {.HasCoolantTemp = false, .HasFaults = false},
     {}},
    {111, "Yam2018", 227, If({OfferYam2018}), 2,
     {17, 27, 37, 35, 38, 41, 42},
     {},
     {},
     {}},
    {112, EnRu("Uni.", "Универс."), 255, If({OfferUniversal}), 1000,
     {},
     {},
     {.HasCoolantTemp = false, .HasFaults = false},
     {}},
};
// clang-format on

QStringList Texts(std::span<const TCatText> texts, bool english) {
    QStringList out;
    out.reserve(qsizetype(texts.size()));
    for (const TCatText &t : texts)
        out << t.text(english);
    return out;
}

void FillAt(TProtBase &entry, std::span<const TCatText> list) {
    const bool en = Lang::English();
    entry.SetOption(Add1, kCanReq.text(en), 2, {QStringLiteral("4"), QStringLiteral("1")});
    entry.SetOption(Add4, kAtOilTemper.text(en), int(list.size()), Texts(list, en));
    entry.HasAtOilTemp = true;
}

// Value texts of a new entry: "Auto" and 1 … 9 in Main, 1 … 13 in Add4, 1 … 10 elsewhere.
QStringList DefaultValues(int slot, bool english) {
    QStringList values;
    const int size = slot == Add4 ? 61 : 21;
    if (slot == Main) {
        values << kAuto.text(english);
        for (int i = 1; i <= 9; ++i)
            values << QString::number(i);
    } else {
        const int last = slot == Add4 ? 13 : 10;
        for (int i = 1; i <= last; ++i)
            values << QString::number(i);
    }
    while (values.size() < size)
        values << QString();
    return values;
}

} // namespace

void AddAtVariants(TProtBase &entry) {
    FillAt(entry, kAtListT1);
}
void AddToyotaAtVariants(TProtBase &entry) {
    FillAt(entry, kAtListT2);
}

const char *OptSlotName(int slot) {
    static constexpr const char *names[] = {"Main", "Add1", "Add2", "Add3", "Add4", "Add5", "Add6", "Add7"};
    return slot >= 0 && slot < OptSlotCount ? names[slot] : "";
}

// --- entries ---------------------------------------------------------------------------------

TProtBase::TProtBase(TProtCatalogue &catalogue, const QString &name, uint8_t kind, int32_t faultFormat,
                     std::span<const uint8_t> extraDisp, std::span<const uint8_t> units)
    : Name(name), Kind(kind), FaultFormat(faultFormat) {
    // Every protocol offers the device's own trip, time, fuel and engine values.
    for (uint8_t code = 1; code <= 16; ++code)
        AddDispParam(code);
    for (uint8_t code : extraDisp)
        if (code != 0) AddDispParam(code);
    const TDeviceCaps &caps = catalogue.Caps;
    if (caps.PowerReserveTerms) AddDispParam(65);
    if (caps.HasLowBeamControl && !caps.NoAirTemperature) AddDispParam(34);
    if (caps.HasUniInput) AddDispParam(40);
    if (caps.HasTrim) AddDispParam(62);
    if (caps.HasAccelerometer) {
        AddDispParam(55);
        AddDispParam(56);
    }
    for (uint8_t code : units)
        AddUnit(code);

    const bool en = Lang::English();
    for (int k = 0; k < OptSlotCount; ++k)
        OptValues[size_t(k)] = DefaultValues(k, en);

    for (uint8_t code : units)
        if (code >= TProtCatalogue::UnitFirst && code <= TProtCatalogue::UnitLast)
            catalogue.UnitAvailable[code] = true;
}

void TProtBase::AddDispParam(uint8_t code) {
    if (DispParamCount >= MaxCodes)
        throw RangeError(QStringLiteral("Range check error: more than %1 display codes").arg(MaxCodes));
    DispParams[size_t(DispParamCount++)] = code;
}

void TProtBase::AddUnit(uint8_t code) {
    if (UnitCount >= MaxCodes)
        throw RangeError(QStringLiteral("Range check error: more than %1 units").arg(MaxCodes));
    Units[size_t(UnitCount++)] = code;
}

bool TProtBase::HasDispParam(uint8_t code) const {
    const auto list = DispList();
    return std::find(list.begin(), list.end(), code) != list.end();
}

void TProtBase::SetOption(int slot, const QString &caption, int count, const QStringList &values) {
    QStringList &texts = OptValues[size_t(slot)];
    if (count < 0 || count > texts.size() || values.size() > texts.size())
        throw RangeError(
            QStringLiteral("Range check error: %1 values in option slot %2").arg(count).arg(slot));
    OptCaption[size_t(slot)] = caption;
    OptCount[size_t(slot)] = count;
    for (qsizetype i = 0; i < values.size(); ++i)
        texts[i] = values[i];
}

// --- the catalogue ---------------------------------------------------------------------------

TProtCatalogue &Prots() {
    static TProtCatalogue catalogue;
    return catalogue;
}

void TProtCatalogue::Clear() {
    CurrentProtocol = nullptr;
    ProtocolList.clear();
    Caps = TDeviceCaps();
    UnitAvailable.fill(false);
    DeviceModelName.clear();
}

void TProtCatalogue::BuildProtocolList(uint16_t modelCode, uint8_t protocol, uint8_t headerVariant) {
    (void)headerVariant;
    Clear();
    if (const TDeviceModel *model = FindDeviceModel(modelCode)) {
        DeviceModelName = QString::fromUtf8(model->Name);
        Caps = TDeviceCaps::From(model->All());
    }
    // The flags are set before any entry is made: entries read them when built.
    BuildEntries();
    SelectProtocol(protocol);
}

void TProtCatalogue::BuildEntries() {
    CurrentProtocol = nullptr;
    ProtocolList.clear();
    UnitAvailable.fill(false);
    const TCapSet caps = Caps.ToSet();
    const bool en = Lang::English();
    for (const TProtRow &row : kRows) {
        if (!row.when.Holds(caps)) continue;
        auto entry =
            std::make_unique<TProtBase>(*this, row.name.text(en), row.kind, row.faultFormat,
                                        std::span<const uint8_t>(row.disp.begin(), row.disp.size()),
                                        std::span<const uint8_t>(row.units.begin(), row.units.size()));
        static_cast<TProtFlags &>(*entry) = row.flags;
        for (const TOptFill &opt : row.options) {
            const std::span<const TCatText> values(opt.values.begin(), opt.values.size());
            entry->SetOption(opt.slot, opt.caption.text(en), int(values.size()), Texts(values, en));
        }
        if (row.at == WithAtVariants) AddAtVariants(*entry);
        if (row.at == WithToyotaAtVariants) AddToyotaAtVariants(*entry);
        ProtocolList.push_back(std::move(entry));
    }
}

const TProtBase &TProtCatalogue::At(int protocol) const {
    if (protocol < 0 || protocol >= Count())
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(protocol));
    return *ProtocolList[size_t(protocol)];
}

void TProtCatalogue::SelectProtocol(int protocol) {
    CurrentProtocol = &At(protocol);
}
