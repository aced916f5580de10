#include "model/MenuItemsH.h"

#include "base/Lang.h"
#include "catalogue/CatText.h"
#include "catalogue/ProtsH.h"

using namespace Cap;

namespace {

// What an absent conditional item does to the numbering: a reserved item keeps its
// number, a shifting one gives it to the items after it.
enum TAbsent : uint8_t { Reserved, Shifts };

struct TMenuRow {
    enum Kind : uint8_t { One, Either, Numbered, Gap } kind = One;
    const char *name = nullptr;
    TCatText caption;
    uint8_t group = 0;
    TCapCond when{}; // the empty condition always holds
    TAbsent absent = Reserved;
    // Either: the second candidate for the same number.
    const char *name2 = nullptr;
    TCatText caption2;
    TCapCond when2{};
    int count = 0; // Numbered: rows 1 … count; Gap: reserved numbers
};

constexpr TCapCond If(std::initializer_list<TCap> all, std::initializer_list<TCap> none = {}) {
    return {TCapSet(all), TCapSet(none)};
}

constexpr TMenuRow Item(const char *name, TCatText caption, uint8_t group, TCapCond when = {},
                        TAbsent absent = Reserved) {
    TMenuRow r;
    r.name = name;
    r.caption = caption;
    r.group = group;
    r.when = when;
    r.absent = absent;
    return r;
}

// One number for whichever of the two is offered; reserved when neither is.
constexpr TMenuRow Either(TMenuRow first, TMenuRow second) {
    TMenuRow r = first;
    r.kind = TMenuRow::Either;
    r.name2 = second.name;
    r.caption2 = second.caption;
    r.when2 = second.when;
    return r;
}

// Journal slot rows <prefix>1Menu … <prefix>20Menu.
constexpr TMenuRow Numbered(const char *prefix, uint8_t group) {
    TMenuRow r;
    r.kind = TMenuRow::Numbered;
    r.name = prefix;
    r.group = group;
    r.count = 20;
    return r;
}

constexpr TMenuRow Gap(int count) {
    TMenuRow r;
    r.kind = TMenuRow::Gap;
    r.count = count;
    return r;
}

// The time stamp of a journal slot row, after the slot number.
constexpr TCatText kSlotStamp = EnRu("MM:HH DD.MM", "ММ:ЧЧ ДД.ММ");

// In device order: name, English and Russian caption, group (0 general, 1 trip and
// journal, 2 parking radar), condition, and what an absent item does to the numbers.
// Some captions mix Latin and Cyrillic look-alike letters; they are the device's own.
// clang-format off
constexpr TMenuRow kRows[] = {
    Item("VirtLockMenu", EnRu("Virtual Lock On/Off", "Вирт. замок Вкл/Откл"), 0),
    Item("FullTankMenu", EnRu("Refuel.until full", "Заправка до полн."), 0),
    Item("ToTankMenu", EnRu("Fueled l", "Заправлено л"), 0),
    Item("InTankMenu", EnRu("Now in tank l", "Теперь в баке л"), 0),
    Item("VentOnMenu", EnRu("Fan On/Off", "Вентилятор Вкл/Откл"), 0),
    Item("PrognozMenu", EnRu("MileProgn.Econ", "Прогн.проб.Экон"), 0),
    Item("InjTimeHHMenu", EnRu("% for inject.", "% на впрыск"), 0),
    Item("ExpenseHHMenu", EnRu("% Expense", "% Расход"), 0),
    Item("CorrUOZMenu", EnRu("IgnAngCorr", "Поправка УОЗ"), 0, If({OfferMikas}), Reserved),
    Item("EBUResetMenu", EnRu("ECU reset", "Сброс ЭБУ"), 0),
    Item("CandleDryMenu", EnRu("Spark plugs drying", "Сушка свечей"), 0),
    Item("TankMethMenu", EnRu("Tank type Calculated/FLS/ECU FLS", "Бак тип Расчетный/ДУТ/ДУТ ЭБУ"), 0),
    Item("LiqTemperLimitMenu", EnRu("T cool.lim", "Граница ТОЖ"), 0),
    Item("RevolutionsLimitMenu", EnRu("Eng.speed lim", "Граница Обор."), 0),
    Item("VelocityLimitMenu", EnRu("Speed lim", "Граница Скор."), 0),
    Item("TankLimitMenu", EnRu("Fuel rem.", "Ост.бака"), 0),
    Item("VentTempLimitMenu", EnRu("T fan on", "T Вкл.вент."), 0),
    Item("InjTimeLimitMenu", EnRu("Inj/expense %", "Впрыск/Расх %"), 0),
    Item("LiqTemperReadyMenu", EnRu("Engine heat.", "Прогрев ДВС"), 0),
    Item("Vel100Menu", EnRu("Zero to", "Разгон до"), 0, If({}, {NoAccelTimer}), Reserved),
    Item("Vel100DownMenu", EnRu("Brak.from", "Тормож. с"), 0, If({}, {NoAccelTimer}), Reserved),
    Item("Intense0Menu", EnRu("Brightn./Day", "Яркость/День"), 0),
    Item("Intense1Menu", EnRu("Brightn./Night", "Яркость/Ночь"), 0),
    Item("AlarmPermJournMenu", EnRu("Warnings log", "Журнал предупр."), 0),
    Item("SoundVolumeMenu", EnRu("Volume", "Громкость"), 0, If({}, {NoVoice}), Shifts),
    Item("FlagSoundMenu", EnRu("Sound off", "Откл.звук"), 0),
    Item("SayParamPeriodMenu", EnRu("Auto-repeat", "Автоповтор"), 0, If({}, {NoVoice}), Shifts),
    Item("apVelMenu", EnRu("High speed", "Превыш.скорость"), 0),
    Item("AlarmVelSecNoSayMaxMenu", EnRu("Speed thinning", "Скор.прореж."), 0),
    Item("apRevMenu", EnRu("High eng.speed", "Превыш.обороты"), 0),
    Item("apTankMenu", EnRu("Fuel rem.", "Остаток бака"), 0),
    Either(Item("LightsOnMenu", EnRu("LowBeamCntr", "Упр.Бл.Свет"), 0, If({NoAirTemperature, HasLowBeamControl})),
           Item("apHoloMenu", EnRu("Glaze ice", "Гололед"), 0, If({PowerReserveTerms}, {NoAirTemperature}))),
    Item("apEconomMenu", EnRu("Econometer", "Эконометр"), 0),
    Item("apGabarMenu", EnRu("Park.lights", "Габариты"), 0, If({}, {NoParkingLightsInput}), Reserved),
    Item("apLightsMenu", EnRu("Low beam", "Ближн.Свет"), 0, If({}, {NoParkingLightsInput}), Reserved),
    Item("apTankFullMenu", EnRu("Full tank", "Полный бак"), 0),
    Item("apInjTimeMenu", EnRu("%Inj/Exp", "%Впрыск/расход"), 0),
    Item("apErrorMenu", EnRu("Fault", "Неисправность"), 0),
    Item("apLiqTempHighMenu", EnRu("Coolant overheat", "Перегрев ОЖ"), 0),
    Item("apLiqTempReadyMenu", EnRu("Eng.heating", "Прогрев ДВС"), 0),
    Item("InitTripParamsMenu", EnRu("Reset trip", "Сброс Поездка"), 1),
    Item("InitReset0ParamsMenu", EnRu("Reset Reset1", "Сброс Сброс1"), 1),
    Item("InitReset1ParamsMenu", EnRu("Reset Reset2", "Сброс Cброс2"), 1),
    Item("InitStopParamsMenu", EnRu("Reset Jams", "Сброс Пробки"), 1, If({}, {NoJamStatistics}), Reserved),
    Item("InitNoStopParamsMenu", EnRu("Reset Traffic", "Сброс БезПробок"), 1, If({}, {NoJamStatistics}), Reserved),
    Item("TripMinStopMenu", EnRu("Continuous trip", "Непрер.Поездки"), 1),
    Item("TripJournMenu", EnRu("Trip log", "Журнал поездок"), 1),
    Item("ContinueTripMenu", EnRu("Continue", "Продолжить"), 1),
    Item("WriteTripMenu", EnRu("Save", "Записать"), 1),
    Numbered("WriteTrip", 1),
    Item("ViewTripMenu", EnRu("View", "Просмотреть"), 1),
    Item("ViewTrip0Menu", EnRu("Last     MM:HH DD.MM", "Пoс.     ММ:ЧЧ ДД.ММ"), 1),
    Numbered("ViewTrip", 1),
    Item("TankJournMenu", EnRu("Petrol log", "Журнал заправок"), 1),
    Item("ViewTank0Menu", EnRu("Last     MM:HH DD.MM", "Пoс.     ММ:ЧЧ ДД.ММ"), 1),
    Numbered("ViewTank", 1),
    Gap(27),
    Item("ParkOffMenu", EnRu("Short shutdown", "Кратковр.откл."), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkUseMenu_0", EnRu("Parktronic On/Off", "Парктроник Вкл/Откл"), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkSenseMenu_0", EnRu("Sensitivity", "Чувствит."), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkSpeedMenu_0", EnRu("Operat.speed", "Быстродействие"), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkBeepTypeMenu", EnRu("Sound type", "Тип озвуч."), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkAlwaysOnMenu", EnRu("Disable Auto/No", "Отключать Авто/Нет"), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkUseMenu_1", EnRu("F.Parktronic On/Off", "П.Парктроник Вкл/Откл"), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkForwConstOffMenu", EnRu("Work mode On/On 3s/R.mov", "Режим работы Вкл/Вкл3с/ДвЗад"), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkSenseMenu_1", EnRu("F.Sensitivity", "П.Чувствит."), 2, If({}, {NoParktronic}), Reserved),
    Item("ParkSpeedMenu_1", EnRu("F.Operat.speed", "П.Быстродействие"), 2, If({}, {NoParktronic}), Reserved),
    Item("InitResetOnlyGasParamsMenu", EnRu("Reset Gas", "Сброс Газ"), 0, If({}, {NoGas}), Reserved),
    Item("IntenseDayTimeMenu", EnRu("Day", "День"), 0),
    Item("IntenseNightTimeMenu", EnRu("Night", "Ночь"), 0),
    Item("ErrorsMenu", EnRu("ECU trouble codes", "Ошибки ЭБУ"), 0),
    Item("EBUInitMenu", EnRu("ECU initialization", "Инициализация ЭБУ"), 0),
    Item("InitResetOnlyOilParamsMenu", EnRu("Reset Petrol", "Сброс Бенз"), 0, If({}, {NoGas}), Reserved),
    Item("FullGasTankMenu", EnRu("Ref.gas until full", "Запр.Газ до полн."), 0, If({}, {NoGas}), Reserved),
    Item("ToGasTankMenu", EnRu("Refuel.gas l", "Заправ.Газ л"), 0, If({}, {NoGas}), Reserved),
    Item("InGasTankMenu", EnRu("Now gas l", "Теперь газа л"), 0, If({}, {NoGas}), Reserved),
};
// clang-format on

} // namespace

TMKMenuItemList &MenuItems() {
    static TMKMenuItemList items;
    return items;
}

TMKMenuItemList MakeMenuItems(const TDeviceCaps &caps) {
    const TCapSet set = caps.ToSet();
    const bool en = Lang::English();
    TMKMenuItemList items;
    auto add = [&](const QString &name, const QString &caption, uint8_t group, int number) {
        auto item = std::make_unique<TMKMenuItem>();
        item->Caption = caption;
        item->Name = name;
        item->Number = uint16_t(number);
        item->Group = group;
        items.push_back(std::move(item));
    };

    int n = 1;
    for (const TMenuRow &row : kRows) {
        switch (row.kind) {
        case TMenuRow::One:
            if (row.when.Holds(set))
                add(QString::fromLatin1(row.name), row.caption.text(en), row.group, n++);
            else if (row.absent == Reserved)
                ++n;
            break;
        case TMenuRow::Either:
            if (row.when.Holds(set))
                add(QString::fromLatin1(row.name), row.caption.text(en), row.group, n);
            else if (row.when2.Holds(set))
                add(QString::fromLatin1(row.name2), row.caption2.text(en), row.group, n);
            ++n;
            break;
        case TMenuRow::Numbered:
            for (int i = 1; i <= row.count; ++i)
                add(QStringLiteral("%1%2Menu").arg(QLatin1String(row.name)).arg(i),
                    QStringLiteral("%1     %2").arg(i, 4).arg(kSlotStamp.text(en)), row.group, n++);
            break;
        case TMenuRow::Gap:
            n += row.count;
            break;
        }
    }
    return items;
}

void BuildMenuItems() {
    MenuItems() = MakeMenuItems(Prots().Caps);
}

const TMKMenuItem *FindMenuItemByName(const QString &name) {
    for (const auto &item : MenuItems())
        if (item->Name == name) return item.get();
    return nullptr;
}

const TMKMenuItem *FindMenuItemByNumber(uint16_t number) {
    if (number == 0) return nullptr;
    for (const auto &item : MenuItems())
        if (item->Number == number) return item.get();
    return nullptr;
}
