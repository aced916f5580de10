#include "editor/PageMeth.h"

#include "base/Lang.h"
#include "catalogue/MeasParsH.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace {

const char *const kProtTypeFields[] = {"ProtTypeMain", "ProtTypeAdd1", "ProtTypeAdd2", "ProtTypeAdd3",
                                       "ProtTypeAdd4", "ProtTypeAdd5", "ProtTypeAdd6", "ProtTypeAdd7"};
const char *const kProtTypeControls[] = {"cbProtTypeMain", "cbProtTypeAdd1", "cbProtTypeAdd2", "cbProtTypeAdd3",
                                         "cbProtTypeAdd4", "cbProtTypeAdd5", "cbProtTypeAdd6", "cbProtTypeAdd7"};

const QList<TBiText> kEcuInj = {{"ЭБУ", "ECU"}, {"Форс.", "Inj"}};
const QList<TBiText> kEcuSens = {{"ЭБУ", "ECU"}, {"Датч.", "Sens"}};

bool Within(const QWidget *w, const QWidget *control) { return w && (w == control || control->isAncestorOf(w)); }

} // namespace

TPageMeth::TPageMeth(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(8, 8, 8, 8);
    columns->setSpacing(10);
    auto *proto = new TColumn(b, this);
    auto *tank = new TColumn(b, this, true);
    auto *srcA = new TColumn(b, this);
    auto *srcB = new TColumn(b, this);
    // Spare width goes to the protocol column, whose option lists vary most.
    columns->addWidget(proto, 1, Qt::AlignTop);
    columns->addWidget(tank, 0, Qt::AlignTop);
    columns->addWidget(srcA, 0, Qt::AlignTop);
    columns->addWidget(srcB, 0, Qt::AlignTop);

    // Column 1: protocol.
    // clang-format off
    cbProtocolSelectMeth = proto->Row(b.Combo({.control = "cbProtocolSelectMeth",
                                               .caption = {"Способ опр. протокола", "Protocol definition"},
                                               .map = Map::Field("ProtocolSelectMeth"),
                                               .build = [this] { return ProtocolSelectMethods(); },
                                               .after = [this] { ApplyProtocolSelectRule(); }}, proto));
    cbProtocol = proto->Row(b.Combo({.control = "cbProtocol", .caption = {"Протокол", "Protocol"},
                                     .map = {[](const TMK &m) { return QVariant(double(m.Get("ProtocolIndex"))); },
                                             [this](TMK &, const QVariant &index) { ChangeProtocol(int(index.toDouble())); }},
                                     .build = [] {
                                         QStringList names;
                                         for (const auto &p : Prots().ProtocolList) names << p->Name;
                                         return names;
                                     },
                                     .storeOn = TStoreOn::FocusOut}, proto));
    // clang-format on
    cbProtocol->setMaxVisibleItems(30);
    // Leaving cbProtocol always re-applies the protocol rules (after the binder stored it).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (Within(old, cbProtocol) && !Within(now, cbProtocol)) ctx.ApplyProtocolRules();
    });

    QGroupBox *gbProtType = proto->Wide(
        b.Group({.control = "gbProtType", .caption = {"Дополнительные настройки протокола", "Additional protocol settings"}},
                proto));
    auto *typeBox = new QHBoxLayout(gbProtType);
    auto *types = new TColumn(b, gbProtType);
    typeBox->addWidget(types);
    for (int slot = 0; slot < 8; ++slot) {
        // At most 20 items, 60 in the fifth slot.
        cbProtType[size_t(slot)] = types->Row(b.Combo(
            {.control = kProtTypeControls[slot],
             .caption = {"", ""},
             .map = Map::Field(kProtTypeFields[slot]),
             .build = [this, slot] {
                 const TProtBase *p = ctx.Protocol();
                 return p ? p->OptShown(slot).mid(0, slot == 4 ? 60 : 20) : QStringList();
             },
             .captionFn = [this, slot] {
                 const TProtBase *p = ctx.Protocol();
                 return p ? p->OptCaption[size_t(slot)] : QString();
             }},
            types));
        cbProtType[size_t(slot)]->setMinimumWidth(110);
        // Option captions come from the protocol and some are long: let them wrap.
        b.Label(cbProtType[size_t(slot)])->setWordWrap(true);
    }
    // The two mode switches sit here, where the width allows their long captions.
    // clang-format off
    proto->Wide(b.Check({.control = "cbGasOil", .caption = {"Включить режим Газ/Бензин", "Gas/Petrol mode on"},
                         .map = Map::Bit("OptionBits", 5), .caps = [](const TDeviceCaps &c) { return !c.NoGas; }}, proto));
    proto->Wide(b.Check({.control = "cbLightsOn", .caption = {"Включить управление ближним светом", "Low beam conrtrol on"},
                         .map = Map::Bit("OptionBits", 4),
                         .caps = [](const TDeviceCaps &c) { return c.HasLowBeamControl; }}, proto));

    // Column 2: tank.
    tank->Row(b.Combo({.control = "cbTankMode", .caption = {"Бак", "Tank"}, .map = Map::Field("TankMode"),
                       .items = {{"Калибров.2", "Calibr.2"}, {"Калибров.7", "Calibr.7"}, {"Тарирован.", "Tare"},
                                 {"Некалибр.", "Not calibr."}}}, tank));
    cbTankMeth = tank->Row(b.Combo({.control = "cbTankMeth", .caption = {"Бак тип", "Tank type"},
                                    .map = Map::Field("TankMeth"), .build = [this] { return TankMethods(); },
                                    .after = [this] { ApplyCompensationRule(); }}, tank));
    tank->Wide(b.Check({.control = "cbUseTank2", .caption = {"Использовать бак 2", "Use tank 2"},
                        .map = Map::Bit("OptionBits", 3),
                        .caps = [](const TDeviceCaps &c) { return c.HasSecondTank; }}, tank));
    cbCorrTankByAcc = tank->Wide(b.Check({.control = "cbCorrTankByAcc", .caption = {"Компенс.Uбс", "Compens.VBt"},
                                          .map = Map::Bit("OptionBits", 17, true),
                                          .captionFn = [this] {
                                              return ctx.caps.HasTrim ? Bi("Компенс.Uбс/Трим", "Compens.VBt/Trim")
                                                                            : Bi("Компенс.Uбс", "Compens.VBt");
                                          }}, tank));
    tank->Row(b.Spin({.control = "seTankContFull", .caption = {"Полный бак (бензин), л", "Full tank (petrol), l"},
                      .map = Map::Field("TankContFull"), .min = 16, .max = 2040}, tank));
    tank->Row(b.Spin({.control = "seGazContFull", .caption = {"Полный бак (газ), л", "Full tank (gas), l"},
                      .map = Map::Field("GazContFull"), .min = 10, .max = 300,
                      .caps = [](const TDeviceCaps &c) { return !c.NoGas; }}, tank));
    tank->Row(b.Spin({.control = "seK100Manual", .caption = {"К-т потреб. топлива (Р/100 руч.)", "Expense/100 manual coef."},
                      .map = Map::Field("K100Manual", 10), .min = 1.0, .max = 99.9, .step = 0.1, .decimals = 1}, tank));

    // Columns 3 and 4: sources.
    const auto sourceChanged = [this] { ctx.Notify(TEditorEvent::SourcesChanged); };
    rgVelocityMeth = srcA->Wide(b.Radio({.control = "rgVelocityMeth", .caption = {"Скорость", "Speed"},
                                         .map = Map::Field("VelocityMeth"), .build = [this] { return SpeedSources(); },
                                         .after = [this] { KeepSpeedSourceWithLock(); }, .columns = 0,
                                         .itemEnabled = [this](int item) {
                                             const int k = ctx.Kind();
                                             return item != 0 || !(k == 255 || k == 254 || k == 225);
                                         }}, srcA));
    srcA->Wide(b.Radio({.control = "rgRevolutionsMeth", .caption = {"Обороты", "Engine speed"},
                        .map = Map::Field("RevolutionsMeth"), .items = kEcuInj,
                        .caps = [](const TDeviceCaps &c) { return !c.NoInjectorInput; }, .after = sourceChanged,
                        .columns = 2}, srcA));
    srcA->Wide(b.Radio({.control = "rgExpenseMeth", .caption = {"Расход бензина", "Petrol expense"},
                        .map = Map::Field("ExpenseMeth"), .items = kEcuInj,
                        .caps = [](const TDeviceCaps &c) { return !c.NoInjectorInput; }, .after = sourceChanged,
                        .columns = 2}, srcA));
    srcA->Wide(b.Radio({.control = "rgGasMeth", .caption = {"Расход газа", "Gas expense"},
                        .map = Map::Field("GasMeth"), .items = kEcuInj,
                        .caps = [](const TDeviceCaps &c) { return !c.NoGas && !c.NoInjectorInput; },
                        .after = sourceChanged, .columns = 2}, srcA))->setEnabled(false);
    srcA->Wide(b.Radio({.control = "rgPrognozMeth", .caption = {"Прогноз пробега", "Mileage progn."},
                        .map = Map::Field("PrognozMeth"),
                        .items = {{"Средн", "Aver."}, {"10 км", "10 km"}, {"Ручн.", "Man."}}, .columns = 3}, srcA));
    srcA->Wide(b.Radio({.control = "rgAirTemperMeth", .caption = {"Алгоритм измерения Т воздуха", "Air temper.measurement algor."},
                        .map = Map::Bit("OptionBits", 9), .items = {{"Обычн.", "Norm"}, {"Динамич.", "Dyn."}},
                        .caps = [](const TDeviceCaps &c) { return !c.PowerReserveTerms && !c.NoAirTemperature; },
                        .columns = 2}, srcA));
    srcA->Wide(b.Radio({.control = "rgGasCalcExp", .caption = {"Расход ГБО", "Gas eq.cons."},
                        .map = Map::Bit("OptionBits", 18), .items = {{"Вар.1", "Var 1"}, {"Вар.2", "Var 2"}},
                        .caps = [](const TDeviceCaps &c) { return !c.NoGas; }, .columns = 2}, srcA));

    rgLockType = srcB->Wide(b.Radio({.control = "rgLockType", .caption = {"Замок зажигания", "Ignition lock"},
                                     .map = Map::Bit("OptionBits", 0), .items = {{"Физич.", "Phys."}, {"Вирт.", "Virt."}},
                                     .caps = [](const TDeviceCaps &c) { return !c.StartLockLevel; },
                                     .after = [this] { ApplyLockRule(); KeepSpeedSourceWithLock(); },
                                     .columns = 2}, srcB));
    rgLockTypeLevel = srcB->Wide(b.Radio({.control = "rgLockTypeLevel", .caption = {"Уровень виртуального замка", "Ignition lock level"},
                                          .map = Map::Field("LockTypeLevel", 1, 1), .build = [this] {
                                              QStringList items{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
                                              if (ctx.caps.StartLockLevel) items << Bi("Стрт", "Strt");
                                              return items;
                                          }, .columns = 4}, srcB));
    rgGabarType = srcB->Wide(b.Radio({.control = "rgGabarType", .caption = {"Габариты", "Parking lights"},
                                      .map = Map::Bit("OptionBits", 2), .items = {{"Физич.", "Phys"}, {"ЭБУ", "ECU"}},
                                      .after = [this] { b.SetShown(rgGabarInvPol, !mk.Bit("OptionBits", 2)); },
                                      .columns = 2}, srcB));
    rgGabarInvPol = srcB->Wide(b.Radio({.control = "rgGabarInvPol", .caption = {"Полярность входа Габариты", "Park.lights level"},
                                        .map = Map::Bit("OptionBits", 7),
                                        .items = {{"1 (Прямая)", "Straight(1)"}, {"0 (Инверсная)", "Inverse(0)"}},
                                        .caps = [](const TDeviceCaps &c) { return !c.FixedParkingLights; }}, srcB));
    rgUaccMeth = srcB->Wide(b.Radio({.control = "rgUaccMeth", .caption = {"Напряжение аккумулятора", "Battery voltage"},
                                     .map = Map::Field("UaccMeth"), .items = kEcuSens, .columns = 2}, srcB));
    srcB->Wide(b.Radio({.control = "rgAirWaterShow", .caption = {"Подпись температуры", "Temperature signature"},
                        .map = Map::Field("AirWaterShow"), .items = {{"воз", "air"}, {"вод", "wat"}, {"дв.", "eng"}},
                        .caps = [](const TDeviceCaps &c) { return c.HasUniInput || c.HasTrim; },
                        .after = [this] {
                            ctx.Notify(TEditorEvent::TemperatureLabelChanged);
                            ctx.ApplyProtocolRules();
                        }, .columns = 3}, srcB));
    sgTrimMeth = srcB->Wide(b.Radio({.control = "sgTrimMeth", .caption = {"Трим", "Trim"}, .map = Map::Field("TrimMeth"),
                                     .items = kEcuSens, .columns = 2}, srcB));
    rgAirTemperGetMeth = srcB->Wide(b.Radio({.control = "rgAirTemperGetMeth", .caption = {"Твоздуха", "Air temper."},
                                             .map = Map::Field("AirTemperGetMeth"), .items = kEcuSens, .columns = 2}, srcB));
    // clang-format on
}

// --- lists ------------------------------------------------------------------------------

QStringList TPageMeth::ProtocolSelectMethods() const {
    const TDeviceCaps &c = ctx.caps;
    QStringList items{Bi("Авт.", "Auto")};
    if (c.HasAutoObd) items << Bi("АвтOBD", "AutoOBD");
    if (c.HasSootFilterAlert && !c.NoAutoVag) items << Bi("АвтVAG", "AutoVAG");
    if (c.HasAutoOpel) items << Bi("АвтOpl", "AutoOpl");
    items << Bi("Руч.", "Man.");
    return items;
}

QStringList TPageMeth::SpeedSources() const {
    const TDeviceCaps &c = ctx.caps;
    QStringList items{Bi("ЭБУ", "ECU")};
    if (c.HasGps) items << QStringLiteral("GPS");
    if (!c.NoSpeedSensor) items << Bi("Датч.", "Sens.");
    if (c.HasNmea) items << QStringLiteral("NMEA");
    return items;
}

QStringList TPageMeth::TankMethods() const {
    QStringList items{Bi("Расчетный", "Calculated")};
    if (!ctx.caps.NoLevelSensor) items << Bi("ДУТ", "FLS");
    const int sensors = ctx.Protocol() ? ctx.Protocol()->EcuTankSensors : 0;
    const TBiText ecu[] = {{"ДУТ ЭБУ", "ECU FLS"}, {"ДУТ ЭБУ2", "ECU FLS2"}, {"ДУТ ЭБУ3", "ECU FLS3"}};
    for (int i = 0; i < std::min(sensors, 3); ++i) items << ecu[i].text();
    return items;
}

// --- rules ------------------------------------------------------------------------------

void TPageMeth::ApplyProtocolSelectRule() {
    // Manual selection is always the last item.
    b.SetShown(cbProtocol, cbProtocolSelectMeth->currentIndex() == cbProtocolSelectMeth->count() - 1);
}

void TPageMeth::ChangeProtocol(int index) {
    if (index == int(mk.Get("ProtocolIndex"))) return;
    mk.Set("ProtocolIndex", index);
    mk.Set("ProtocolIndex2", index);
    for (const char *field : kProtTypeFields) mk.Set(field, 0);
    Prots().SelectProtocol(index);
    // The protocol rules follow when the list is left.
    ctx.Notify(TEditorEvent::ProtocolChanged);
}

void TPageMeth::KeepSpeedSourceWithLock() {
    const bool physicalLock = !mk.Bit("OptionBits", 0);
    if (ctx.caps.LastSpeedSourceNeedsVirtualLock && physicalLock && rgVelocityMeth->Count() > 0 &&
        rgVelocityMeth->ItemIndex() == rgVelocityMeth->Count() - 1) {
        mk.Set("VelocityMeth", 0);
        b.Load(rgVelocityMeth);
    }
}

void TPageMeth::ApplyLockRule() {
    // Without the lock choice bit 0 cannot be set here: the level, "Strt" among them, is
    // always there.
    b.SetShown(rgLockTypeLevel, ctx.caps.StartLockLevel || mk.Bit("OptionBits", 0));
}

void TPageMeth::ApplyCompensationRule() {
    b.SetShown(cbCorrTankByAcc, (!ctx.caps.NoLevelSensor && mk.Get("TankMeth") == 1) || ctx.caps.HasTrim);
}

void TPageMeth::Load() {
    // The closed list keeps its place in the column; the open one is as wide as its
    // longest protocol name.
    QAbstractItemView *view = cbProtocol->view();
    int width = view->sizeHintForColumn(0) + 2 * view->frameWidth();
    if (cbProtocol->count() > cbProtocol->maxVisibleItems())
        width += view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(width);
}

void TPageMeth::ApplyProtocolRules() {
    const TProtBase *p = ctx.Protocol();
    // 1. Variant slots.
    for (int slot = 0; slot < 8; ++slot) {
        QComboBox *combo = cbProtType[size_t(slot)];
        b.RefreshCaption(combo);
        b.Load(combo);
        b.SetShown(combo, p && p->OptUsed(slot));
    }
    // 9. Sources the protocol offers.
    b.SetShown(rgGabarType, p && p->HasLightsInfo && !ctx.caps.FixedParkingLights);
    b.SetShown(rgGabarInvPol, true); // besides FixedParkingLights, only a click on rgGabarType hides it
    b.SetShown(rgUaccMeth, p && p->HasBatteryVoltage);
    b.SetShown(sgTrimMeth, ctx.caps.HasTrim && p && p->HasTrimInfo);
    b.SetShown(rgAirTemperGetMeth, p && p->HasAirTempChoice);
    b.Load(rgAirTemperGetMeth);
    // The speed source "ECU" is disabled for some protocol kinds.
    b.ApplyItemStates(rgVelocityMeth);
}

void TPageMeth::ApplyShowRules() {
    ApplyProtocolSelectRule();
    ApplyLockRule();
    ApplyCompensationRule();
}

void TPageMeth::FinishShow() { ApplyParameterNames(); }

void TPageMeth::OnEvent(TEditorEvent event) {
    switch (event) {
    case TEditorEvent::ProtocolChanged:
        // The tank method list depends on the protocol's level sensors.
        b.Load(cbTankMeth);
        ApplyCompensationRule();
        break;
    case TEditorEvent::TemperatureLabelChanged: ApplyParameterNames(); break;
    default: break;
    }
}

void TPageMeth::ApplyParameterNames() {
    const TDeviceCaps &caps = ctx.caps;
    // Name forms in order: the long name, the x1 title, the x4 and x9 labels, the list label.
    const auto rename = [this](uint8_t code, const QStringList &forms) {
        TMeasParBase *par = mk.FindParameter(code);
        if (!par || forms.isEmpty()) return;
        QString *fields[] = {&par->Name, &par->Title, &par->LabelX4, &par->LabelX9, &par->ListLabel};
        for (int i = 0; i < 5 && i < forms.size(); ++i) *fields[i] = forms[i];
    };
    const auto forms = [](std::initializer_list<const char *> ru, std::initializer_list<const char *> en) {
        QStringList out;
        for (const char *s : (Lang::English() ? en : ru)) out << QString::fromUtf8(s);
        return out;
    };

    // Parameter 11: the air temperature, or whatever the temperature input measures.
    if (caps.HasVariatorTemp) {
        rename(11, forms({"Твариат", "Твариат", "Твар", "Твар", "Твар"}, {"Tvariat", "Tvariat", "Tvar", "Tvar", "Tvar"}));
    } else if (!caps.HasUniInput && !caps.HasTrim) {
        rename(11, forms({"Tвоздуха", "Tвозд", "Tвозд", "Tвозд", "Tвозд"}, {"T air", "T air", "T air", "T air", "T air"}));
    } else {
        const int label = int(mk.Get("AirWaterShow"));
        const TBiText other = label == 1   ? TBiText{"Tводы", "Twater"}
                              : label == 2 ? TBiText{"T дв.", "T eng."}
                                           : TBiText{"Tвозд", "T air"};
        const QString o = other.text();
        rename(11, {Bi("Твоз/вод/дв", "Tair/wat/eng"), o, o, o, o});
    }

    // Parameter 9: mileage forecast or power reserve.
    if (caps.PowerReserveTerms)
        rename(9, forms({"Запас хода", "Запас хода,км", "Запас Хд"}, {"Power res.", "Power res,km", "PowerRes"}));
    else
        rename(9, forms({"Прогноз проб", "Прогноз пробега,км", "Прогн.Пр", "Прогн.проб."},
                        {"Mileage progn", "Mileage progn,km", "MilePrgn", "Mile.Progn."}));

    // Parameter 55: pitch.
    if (caps.PowerReserveTerms)
        rename(55, forms({"Тангаж"}, {"Pitch"}));
    else
        rename(55, forms({"Дифферент", "Дифферент,гр.", "Дифф.", "Дифф.,гр", "Дифферент,гр"}, {"Pitch", "Pitch,deg"}));
}
