#pragma once
// The device models with their capability flags, and the catalogue of ECU protocols
// a model offers. The position of an entry in ProtocolList is the protocol number the
// settings image stores and the device interprets with the same list, so the order
// and the conditions of the catalogue rows are part of the device's interface.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Every device capability flag. Flags beginning with Offer, and HasCan, only select
// catalogue entries; the others are read by the editor, the menu items, the
// measured parameters and the settings image.
// clang-format off
#define TRIP_DEVICE_CAPS(X)                                                                                  \
    X(NoVoice)                          /* no speech output */                                               \
    X(NoAirTemperature)                 /* no air-temperature input */                                       \
    X(HasLowBeamControl)                /* can switch the low beam */                                        \
    X(NoSpeedSensor)                    /* no wheel-speed sensor input */                                    \
    X(NoInjectorInput)                  /* engine speed and consumption only from the ECU */                 \
    X(HasSecondTank)                    /* second tank may be enabled */                                     \
    X(LastSpeedSourceNeedsVirtualLock)  /* speed-source restriction */                                       \
    X(HasUniInput)                      /* universal analogue input */                                       \
    X(NoParktronic)                     /* no parking-sensor unit */                                         \
    X(NoGas)                            /* no LPG */                                                         \
    X(NoJamStatistics)                  /* no traffic-jam statistics */                                      \
    X(NoParkingLightsInput)             /* no parking-lights input */                                        \
    X(FixedParkingLights)               /* parking-lights source fixed */                                    \
    X(NoAutoVag)                        /* no automatic VAG detection */                                     \
    X(HasSootFilterAlert)               /* soot-filter alert */                                              \
    X(HasAutoObd)                       /* automatic OBD detection */                                        \
    X(HasAutoOpel)                      /* automatic Opel detection */                                       \
    X(HasCarburettor)                   /* carburettor setting */                                            \
    X(HasGps)                           /* GPS speed source */                                               \
    X(HasNmea)                          /* NMEA speed source */                                              \
    X(HasRetarder)                      /* retarder oil temperature for J1939 */                             \
    X(Is24V)                            /* 24 V vehicle */                                                   \
    X(HasAddSystems)                    /* additional-units page */                                          \
    X(HasTaximeter)                     /* taximeter display item */                                         \
    X(CompactService)                   /* compact maintenance page */                                       \
    X(HasAccelerometer)                 /* accelerometer */                                                  \
    X(NoLevelSensor)                    /* no fuel-level sensor input of its own */                          \
    X(StartLockLevel)                   /* start level of the ignition lock */                               \
    X(HasVariatorTemp)                  /* variator temperature in place of the air temperature */           \
    X(HasTrim)                          /* boat trim */                                                      \
    X(PowerReserveTerms)                /* "PowerRes" and "Pitch" terms */                                   \
    X(NoAccelTimer)                     /* no acceleration and braking timer */                              \
    X(NoSpeedCorrection)                /* no speed correction */                                            \
    X(HasBottomPanel)                   /* single screen with a bottom panel of four small fields */         \
    X(AltColourDefaults)                /* alternative factory colour schemes */                             \
    X(HasCan)                                                                                                \
    X(OfferObd2eOnly)                                                                                        \
    X(OfferJan)                                                                                              \
    X(OfferM74)                                                                                              \
    X(OfferBoschM7_9_7)                                                                                      \
    X(OfferBoschM7_0)                                                                                        \
    X(OfferM74_8)                                                                                            \
    X(OfferMikas)                       /* also the ignition-angle correction menu item */                   \
    X(OfferM86Pro)                                                                                           \
    X(OfferUaz17971)                                                                                         \
    X(OfferUazAecs)                                                                                          \
    X(OfferCanToyota)                                                                                        \
    X(OfferEdc16Iveco)                                                                                       \
    X(OfferCan)                                                                                              \
    X(OfferJ1939)                                                                                            \
    X(OfferEms3125)                                                                                          \
    X(OfferMikas10_3)                                                                                        \
    X(OfferCorvet)                                                                                           \
    X(OfferMikas11E3)                                                                                        \
    X(OfferM12)                                                                                              \
    X(OfferMikas7_6)                                                                                         \
    X(OfferMikas11)                                                                                          \
    X(OfferUaz1797)                                                                                          \
    X(OfferEdc16Zmz)                                                                                         \
    X(OfferM74Can)                                                                                           \
    X(OfferM86)                                                                                              \
    X(OfferNissan)                                                                                           \
    X(OfferAveo)                                                                                             \
    X(OfferRenault)                                                                                          \
    X(OfferSsangYong)                                                                                        \
    X(OfferCanFord)                                                                                          \
    X(OfferCanSubaru)                                                                                        \
    X(OfferChrysler)                                                                                         \
    X(OfferJ1850)                                                                                            \
    X(OfferTobd1)                                                                                            \
    X(OfferDaewoo)                                                                                           \
    X(OfferSonata)                                                                                           \
    X(OfferBoschTiggo)                                                                                       \
    X(OfferSubaru)                                                                                           \
    X(OfferMitsu3)                                                                                           \
    X(OfferToyota)                                                                                           \
    X(OfferToyota1)                                                                                          \
    X(OfferDaihatsu)                                                                                         \
    X(OfferMitsu)                                                                                            \
    X(OfferMitsu4)                                                                                           \
    X(OfferConsult)                                                                                          \
    X(OfferHonda)                                                                                            \
    X(OfferSuzuki)                                                                                           \
    X(OfferUniversal)                                                                                        \
    X(OfferDelphi)                                                                                           \
    X(OfferDelphi1)                                                                                          \
    X(OfferYamaha)                                                                                           \
    X(OfferYam2018)                                                                                          \
    X(OfferSuzukiMarine)                                                                                     \
    X(OfferHondaMarine)                                                                                      \
    X(OfferEvinrude)                                                                                         \
    X(OfferHidea)                                                                                            \
    X(OfferBrp)                                                                                              \
    X(OfferNmea2000)                                                                                         \
    X(OfferObdPwm)                                                                                           \
    X(OfferToyotaHybridA)                                                                                    \
    X(OfferEstima10)                                                                                         \
    X(OfferPrius2)                                                                                           \
    X(OfferPrius3)                                                                                           \
    X(OfferPrius5)                                                                                           \
    X(OfferRx400h)
// clang-format on

namespace Cap {
#define TRIP_CAP_ENUM(name) name,
enum TCap : uint8_t { TRIP_DEVICE_CAPS(TRIP_CAP_ENUM) Count };
#undef TRIP_CAP_ENUM
} // namespace Cap

// A set of capability flags, usable in constant tables.
class TCapSet {
public:
    constexpr TCapSet() = default;
    constexpr TCapSet(std::initializer_list<Cap::TCap> caps) {
        for (Cap::TCap c : caps)
            bits_[c / 64] |= uint64_t(1) << (c % 64);
    }
    constexpr bool Has(Cap::TCap c) const { return (bits_[c / 64] >> (c % 64)) & 1u; }
    constexpr bool HasAll(const TCapSet &o) const {
        return (bits_[0] & o.bits_[0]) == o.bits_[0] && (bits_[1] & o.bits_[1]) == o.bits_[1];
    }
    constexpr bool HasAny(const TCapSet &o) const {
        return (bits_[0] & o.bits_[0]) || (bits_[1] & o.bits_[1]);
    }
    constexpr TCapSet operator|(const TCapSet &o) const {
        TCapSet r;
        r.bits_[0] = bits_[0] | o.bits_[0];
        r.bits_[1] = bits_[1] | o.bits_[1];
        return r;
    }
    // Set difference.
    constexpr TCapSet operator-(const TCapSet &o) const {
        TCapSet r;
        r.bits_[0] = bits_[0] & ~o.bits_[0];
        r.bits_[1] = bits_[1] & ~o.bits_[1];
        return r;
    }
    constexpr bool operator==(const TCapSet &) const = default;

private:
    static_assert(Cap::Count <= 128);
    uint64_t bits_[2] = {0, 0};
};

// A condition on the flags: every flag of all on and every flag of none off.
struct TCapCond {
    TCapSet all;
    TCapSet none;
    constexpr bool Holds(const TCapSet &caps) const { return caps.HasAll(all) && !caps.HasAny(none); }
};

// The capability flags of the current device, by name.
struct TDeviceCaps {
#define TRIP_CAP_FIELD(name) bool name = false;
    TRIP_DEVICE_CAPS(TRIP_CAP_FIELD)
#undef TRIP_CAP_FIELD

    static TDeviceCaps From(const TCapSet &set);
    TCapSet ToSet() const;
    bool Get(Cap::TCap c) const;
};

// Name of a flag as the program and its tools spell it.
const char *CapName(Cap::TCap c);
std::optional<Cap::TCap> CapByName(std::string_view name);
// HasCan and the Offer flags only select catalogue entries.
bool IsEntrySelecting(Cap::TCap c);

// One known device model: its name and the flags its code sets.
struct TDeviceModel {
    uint16_t Code = 0;
    const char *Name = "";
    TCapSet Caps;   // read outside the catalogue
    TCapSet Offers; // select catalogue entries
    TCapSet All() const { return Caps | Offers; }
};

// Every known model, in table order.
std::span<const TDeviceModel> DeviceModels();
// Nullptr for an unrecognised code.
const TDeviceModel *FindDeviceModel(uint16_t code);

// The option slots of an entry: Main, then Add1 … Add7.
enum TOptSlot : int { Main, Add1, Add2, Add3, Add4, Add5, Add6, Add7, OptSlotCount };
const char *OptSlotName(int slot);

class TProtCatalogue;

// What a protocol reports about the vehicle; the defaults are those of a new entry.
struct TProtFlags {
    bool HasCoolantTemp = true;
    bool HasFaults = true;
    bool HasAtOilTemp = false;
    bool HasEngineOilTemp = false;
    bool HasFanControl = false;
    bool HasLightsInfo = false;
    bool HasBatteryVoltage = false;
    bool IsHybrid = false;
    int32_t EcuTankSensors = 0;
    bool HasAddCooling = false;
    bool HasTrimInfo = false;
    bool HasAirTempChoice = false;
};

// One offered protocol. Built by the catalogue, never changed afterwards.
class TProtBase : public TProtFlags {
public:
    static constexpr int MaxCodes = 101;
    static constexpr int FaultFormatNone = 1000; // no fault codes

    // Codes 1 … 16 come first, then extraDisp (0 bytes skipped), then the codes the
    // catalogue's capability flags add; units are copied as given. Marks the units
    // available in the catalogue.
    TProtBase(TProtCatalogue &catalogue, const QString &name, uint8_t kind, int32_t faultFormat,
              std::span<const uint8_t> extraDisp, std::span<const uint8_t> units);

    QString Name;
    uint8_t Kind = 0;
    std::array<uint8_t, MaxCodes> DispParams{};
    int32_t DispParamCount = 0;
    std::array<uint8_t, MaxCodes> Units{};
    int32_t UnitCount = 0;
    int32_t FaultFormat = 0;
    std::array<QString, OptSlotCount> OptCaption;
    std::array<int32_t, OptSlotCount> OptCount{};
    std::array<QStringList, OptSlotCount> OptValues; // 21 texts, 61 for Add4

    std::span<const uint8_t> DispList() const { return {DispParams.data(), size_t(DispParamCount)}; }
    std::span<const uint8_t> UnitList() const { return {Units.data(), size_t(UnitCount)}; }
    bool HasDispParam(uint8_t code) const;
    bool OptUsed(int slot) const { return !OptCaption[size_t(slot)].isEmpty(); }
    // The first OptCount value texts of a slot, as its combo box lists them.
    QStringList OptShown(int slot) const { return OptValues[size_t(slot)].mid(0, OptCount[size_t(slot)]); }

    // Raise RangeError beyond MaxCodes.
    void AddDispParam(uint8_t code);
    void AddUnit(uint8_t code);
    // Caption, count and the first value texts of a slot; the other texts keep theirs.
    void SetOption(int slot, const QString &caption, int count, const QStringList &values);
};

// Shared option fillers: "CAN req/sec" in Add1 and the transmission variants in Add4.
void AddAtVariants(TProtBase &entry);
void AddToyotaAtVariants(TProtBase &entry);

// The program-wide protocol catalogue.
class TProtCatalogue {
public:
    static constexpr int UnitFirst = 8;
    static constexpr int UnitLast = 169;

    std::vector<std::unique_ptr<TProtBase>> ProtocolList;
    const TProtBase *CurrentProtocol = nullptr;
    QString DeviceModelName;
    TDeviceCaps Caps;
    std::array<bool, UnitLast + 1> UnitAvailable{}; // used from UnitFirst

    // Sets the flags and name for the model, rebuilds the list in the current language
    // and selects the entry at the protocol number. A number beyond the list raises
    // the list error; the list and flags stay as built. The header variant is passed
    // for the firmware variant and not used.
    void BuildProtocolList(uint16_t modelCode, uint8_t protocol, uint8_t headerVariant);
    // Rebuilds the entries and unit availability for Caps as they stand, with no
    // current entry; BuildProtocolList sets Caps from the model first.
    void BuildEntries();
    // The editor's protocol choice: no rebuild.
    void SelectProtocol(int protocol);
    int Count() const { return int(ProtocolList.size()); }
    // Raises the list error for a position outside the list.
    const TProtBase &At(int protocol) const;
    // Empty list, no current entry, no flags, no name, no units.
    void Clear();
};

TProtCatalogue &Prots();
