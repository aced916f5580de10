// Page tsMeth: data sources, protocol and tank method, with the rules that depend
// on the current protocol and on the device.

#include "base/Lang.h"
#include "catalogue/ProtsH.h"
#include "catalogue/MeasParsH.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PageLayout.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace {

const char *const kProtTypeFields[] = {"ProtTypeMain", "ProtTypeAdd1", "ProtTypeAdd2", "ProtTypeAdd3",
                                       "ProtTypeAdd4", "ProtTypeAdd5", "ProtTypeAdd6", "ProtTypeAdd7"};
const char *const kProtTypeControls[] = {"cbProtTypeMain", "cbProtTypeAdd1", "cbProtTypeAdd2", "cbProtTypeAdd3",
                                         "cbProtTypeAdd4", "cbProtTypeAdd5", "cbProtTypeAdd6", "cbProtTypeAdd7"};

const QList<TBiText> kEcuInj = {{"ЭБУ", "ECU"}, {"Форс.", "Inj"}};
const QList<TBiText> kEcuSens = {{"ЭБУ", "ECU"}, {"Датч.", "Sens"}};

// Re-applies the protocol rules whenever cbProtocol loses the focus.
class TLeaveWatcher : public QObject {
public:
    TLeaveWatcher(QWidget *w, std::function<void()> f) : QObject(w), f_(std::move(f)) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::FocusOut) f_();
        return false;
    }

private:
    std::function<void()> f_;
};

} // namespace

const TProtBase *TMK_SetParamsDlg::Protocol() const { return Prots().CurrentProtocol; }

int TMK_SetParamsDlg::Kind() const { return Protocol() ? Protocol()->Kind : -1; }

bool TMK_SetParamsDlg::InjectorInUse() const {
    return mk_.Get("RevolutionsMeth") != 0 || mk_.Get("ExpenseMeth") != 0 || mk_.Get("GasMeth") != 0;
}

QStringList TMK_SetParamsDlg::ProtocolSelectMethods() const {
    const TDeviceCaps &c = Prots().Caps;
    QStringList items{Bi("Авт.", "Auto")};
    if (c.HasAutoObd) items << Bi("АвтOBD", "AutoOBD");
    if (c.HasSootFilterAlert && !c.NoAutoVag) items << Bi("АвтVAG", "AutoVAG");
    if (c.HasAutoOpel) items << Bi("АвтOpl", "AutoOpl");
    items << Bi("Руч.", "Man.");
    return items;
}

QStringList TMK_SetParamsDlg::SpeedSources() const {
    const TDeviceCaps &c = Prots().Caps;
    QStringList items{Bi("ЭБУ", "ECU")};
    if (c.HasGps) items << QStringLiteral("GPS");
    if (!c.NoSpeedSensor) items << Bi("Датч.", "Sens.");
    if (c.HasNmea) items << QStringLiteral("NMEA");
    return items;
}

QStringList TMK_SetParamsDlg::TankMethods() const {
    QStringList items{Bi("Расчетный", "Calculated")};
    if (!Prots().Caps.NoLevelSensor) items << Bi("ДУТ", "FLS");
    const int sensors = Protocol() ? Protocol()->EcuTankSensors : 0;
    const TBiText ecu[] = {{"ДУТ ЭБУ", "ECU FLS"}, {"ДУТ ЭБУ2", "ECU FLS2"}, {"ДУТ ЭБУ3", "ECU FLS3"}};
    for (int i = 0; i < std::min(sensors, 3); ++i) items << ecu[i].text();
    return items;
}

void TMK_SetParamsDlg::BuildMeth(QWidget *page) {
    TBinder &b = *binder_;
    const auto caps = [] { return Prots().Caps; };
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    // Column 1: protocol.
    auto *protocolBox = new QWidget(page);
    auto *pg = new QGridLayout(protocolBox);
    pg->setContentsMargins(0, 0, 0, 0);
    TFormColumn proto(b, pg);
    // clang-format off
    proto.Row(b.Combo({"cbProtocolSelectMeth", {"Способ опр. протокола", "Protocol definition"},
                       Map::Field("ProtocolSelectMeth"), {}, [this] { return ProtocolSelectMethods(); }, {},
                       [this] { ApplyProtocolSelectRule(); }}, protocolBox));
    auto *cbProtocol = proto.Row(b.Combo({"cbProtocol", {"Протокол", "Protocol"},
        {[](const TMK &mk) { return double(mk.Get("ProtocolIndex")); },
         [this](TMK &, double index) { ChangeProtocol(int(index)); }},
        {}, [] {
            QStringList names;
            for (const auto &p : Prots().ProtocolList) names << p->Name;
            return names;
        }, {}, {}, 1, TStoreOn::FocusOut}, protocolBox));
    // clang-format on
    cbProtocol->setMaxVisibleItems(30);
    new TLeaveWatcher(cbProtocol, [this] { ProtocolLeft(); });

    auto *gbProtType = new QGroupBox(protocolBox);
    gbProtType->setObjectName(QStringLiteral("gbProtType"));
    texts_.emplace_back(gbProtType, TBiText{"Дополнительные настройки протокола", "Additional protocol settings"});
    auto *tg = new QGridLayout(gbProtType);
    TFormColumn types(b, tg);
    for (int slot = 0; slot < 8; ++slot) {
        auto *combo = types.Row(b.Combo({kProtTypeControls[slot], {"", ""}, Map::Field(kProtTypeFields[slot]), {},
                                          [this, slot] {
                                              const TProtBase *p = Protocol();
                                              // At most 20 items, 60 in the fifth slot.
                                              return p ? p->OptShown(slot).mid(0, slot == 4 ? 60 : 20) : QStringList();
                                          }},
                                         gbProtType));
        combo->setMinimumWidth(110);
        // Option captions come from the protocol and some are long: let them wrap.
        binder_->Label(combo)->setWordWrap(true);
    }
    proto.Wide(gbProtType);
    // The two mode switches sit here, where the width allows their long captions.
    // clang-format off
    proto.Wide(b.Check({"cbGasOil", {"Включить режим Газ/Бензин", "Gas/Petrol mode on"}, Map::Bit("OptionBits", 5),
                        [=] { return !caps().NoGas; }}, protocolBox));
    proto.Wide(b.Check({"cbLightsOn", {"Включить управление ближним светом", "Low beam conrtrol on"},
                        Map::Bit("OptionBits", 4), [=] { return caps().HasLowBeamControl; }}, protocolBox));
    // clang-format on
    proto.Stretch();
    grid->addWidget(protocolBox, 0, 0, 2, 1);

    // Column 2: tank and switches.
    auto *tankBox = new QWidget(page);
    auto *kg = new QGridLayout(tankBox);
    kg->setContentsMargins(0, 0, 0, 0);
    kg->setVerticalSpacing(3);
    TFormColumn tank(b, kg, 0, true);
    // clang-format off
    tank.Row(b.Combo({"cbTankMode", {"Бак", "Tank"}, Map::Field("TankMode"),
                      {{"Калибров.2", "Calibr.2"}, {"Калибров.7", "Calibr.7"}, {"Тарирован.", "Tare"}, {"Некалибр.", "Not calibr."}}},
                     tankBox));
    tank.Row(b.Combo({"cbTankMeth", {"Бак тип", "Tank type"}, Map::Field("TankMeth"), {},
                      [this] { return TankMethods(); }, {}, [this] { ApplyCompensationRule(); }}, tankBox));
    tank.Wide(b.Check({"cbUseTank2", {"Использовать бак 2", "Use tank 2"}, Map::Bit("OptionBits", 3),
                       [=] { return caps().HasSecondTank; }}, tankBox));
    tank.Wide(b.Check({"cbCorrTankByAcc", {"Компенс.Uбс", "Compens.VBt"}, Map::Bit("OptionBits", 17, true)}, tankBox));
    tank.Row(b.Spin({"seTankContFull", {"Полный бак (бензин), л", "Full tank (petrol), l"}, Map::Field("TankContFull"),
                     16, 2040}, tankBox));
    tank.Row(b.Spin({"seGazContFull", {"Полный бак (газ), л", "Full tank (gas), l"}, Map::Field("GazContFull"),
                     10, 300, 1, 0, false, [=] { return !caps().NoGas; }}, tankBox));
    tank.Row(b.Spin({"seK100Manual", {"К-т потреб. топлива (Р/100 руч.)", "Expense/100 manual coef."},
                     Map::Field("K100Manual", 10), 1.0, 99.9, 0.1, 1}, tankBox));
    // clang-format on
    tank.Stretch();
    grid->addWidget(tankBox, 0, 1, 2, 1);

    // Columns 3 and 4: sources.
    auto *srcA = new QWidget(page);
    auto *ag = new QGridLayout(srcA);
    ag->setContentsMargins(0, 0, 0, 0);
    TFormColumn a(b, ag);
    auto *srcB = new QWidget(page);
    auto *bg = new QGridLayout(srcB);
    bg->setContentsMargins(0, 0, 0, 0);
    TFormColumn c(b, bg);
    const auto injectorRule = [this] { ApplyInjectorRule(); };
    // clang-format off
    a.Wide(b.Radio({"rgVelocityMeth", {"Скорость", "Speed"}, Map::Field("VelocityMeth"), {},
                    [this] { return SpeedSources(); }, {}, [this] { KeepSpeedSourceWithLock(); }, 0}, srcA));
    a.Wide(b.Radio({"rgRevolutionsMeth", {"Обороты", "Engine speed"}, Map::Field("RevolutionsMeth"), kEcuInj, {},
                    [=] { return !caps().NoInjectorInput; }, injectorRule, 2}, srcA));
    a.Wide(b.Radio({"rgExpenseMeth", {"Расход бензина", "Petrol expense"}, Map::Field("ExpenseMeth"), kEcuInj, {},
                    [=] { return !caps().NoInjectorInput; }, injectorRule, 2}, srcA));
    auto *gas = b.Radio({"rgGasMeth", {"Расход газа", "Gas expense"}, Map::Field("GasMeth"), kEcuInj, {},
                         [=] { return !caps().NoGas && !caps().NoInjectorInput; }, injectorRule, 2}, srcA);
    gas->setEnabled(false);
    a.Wide(gas);
    a.Wide(b.Radio({"rgPrognozMeth", {"Прогноз пробега", "Mileage progn."}, Map::Field("PrognozMeth"),
                    {{"Средн", "Aver."}, {"10 км", "10 km"}, {"Ручн.", "Man."}}, {}, {}, {}, 3}, srcA));
    a.Wide(b.Radio({"rgAirTemperMeth", {"Алгоритм измерения Т воздуха", "Air temper.measurement algor."},
                    Map::Bit("OptionBits", 9), {{"Обычн.", "Norm"}, {"Динамич.", "Dyn."}}, {},
                    [=] { return !caps().PowerReserveTerms && !caps().NoAirTemperature; }, {}, 2}, srcA));
    a.Wide(b.Radio({"rgGasCalcExp", {"Расход ГБО", "Gas eq.cons."}, Map::Bit("OptionBits", 18),
                    {{"Вар.1", "Var 1"}, {"Вар.2", "Var 2"}}, {}, [=] { return !caps().NoGas; }, {}, 2}, srcA));
    a.Stretch();

    c.Wide(b.Radio({"rgLockType", {"Замок зажигания", "Ignition lock"}, Map::Bit("OptionBits", 0),
                    {{"Физич.", "Phys."}, {"Вирт.", "Virt."}}, {}, [=] { return !caps().StartLockLevel; },
                    [this] { ApplyLockRule(); KeepSpeedSourceWithLock(); }, 2}, srcB));
    c.Wide(b.Radio({"rgLockTypeLevel", {"Уровень виртуального замка", "Ignition lock level"},
                    Map::Field("LockTypeLevel", 1, 1), {}, [=] {
                        QStringList items{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
                        if (caps().StartLockLevel) items << Bi("Стрт", "Strt");
                        return items;
                    }, {}, {}, 4}, srcB));
    c.Wide(b.Radio({"rgGabarType", {"Габариты", "Parking lights"}, Map::Bit("OptionBits", 2),
                    {{"Физич.", "Phys"}, {"ЭБУ", "ECU"}}, {},
                    [this] { return Protocol() && Protocol()->HasLightsInfo && !Prots().Caps.FixedParkingLights; },
                    [this] { binder_->SetShown(W<QWidget>("rgGabarInvPol"), !mk_.Bit("OptionBits", 2)); }, 2}, srcB));
    c.Wide(b.Radio({"rgGabarInvPol", {"Полярность входа Габариты", "Park.lights level"}, Map::Bit("OptionBits", 7),
                    {{"1 (Прямая)", "Straight(1)"}, {"0 (Инверсная)", "Inverse(0)"}}, {},
                    [=] { return !caps().FixedParkingLights; }, {}, 1}, srcB));
    c.Wide(b.Radio({"rgUaccMeth", {"Напряжение аккумулятора", "Battery voltage"}, Map::Field("UaccMeth"), kEcuSens, {},
                    [this] { return Protocol() && Protocol()->HasBatteryVoltage; }, {}, 2}, srcB));
    c.Wide(b.Radio({"rgAirWaterShow", {"Подпись температуры", "Temperature signature"}, Map::Field("AirWaterShow"),
                    {{"воз", "air"}, {"вод", "wat"}, {"дв.", "eng"}}, {},
                    [=] { return caps().HasUniInput || caps().HasTrim; },
                    [this] { ApplyParameterNames(); ApplyProtocolRules(); }, 3}, srcB));
    c.Wide(b.Radio({"sgTrimMeth", {"Трим", "Trim"}, Map::Field("TrimMeth"), kEcuSens, {},
                    [this] { return Prots().Caps.HasTrim && Protocol() && Protocol()->HasTrimInfo; }, {}, 2}, srcB));
    c.Wide(b.Radio({"rgAirTemperGetMeth", {"Твоздуха", "Air temper."}, Map::Field("AirTemperGetMeth"), kEcuSens, {},
                    [this] { return Protocol() && Protocol()->HasAirTempChoice; }, {}, 2}, srcB));
    // clang-format on
    c.Stretch();
    grid->addWidget(srcA, 0, 2, 2, 1);
    grid->addWidget(srcB, 0, 3, 2, 1);
    // Spare width goes to the protocol column, whose option lists vary most.
    grid->setColumnStretch(0, 1);
}

// --- rules ----------------------------------------------------------------------------

void TMK_SetParamsDlg::ApplyProtocolSelectRule() {
    auto *select = W<QComboBox>("cbProtocolSelectMeth");
    // Manual selection is always the last item.
    binder_->SetShown(W<QWidget>("cbProtocol"), select->currentIndex() == select->count() - 1);
}

void TMK_SetParamsDlg::ChangeProtocol(int index) {
    if (index == int(mk_.Get("ProtocolIndex"))) return;
    mk_.Set("ProtocolIndex", index);
    mk_.Set("ProtocolIndex2", index);
    for (const char *field : kProtTypeFields) mk_.Set(field, 0);
    Prots().SelectProtocol(index);
    // The tank method list depends on the protocol's level sensors.
    binder_->Load(W<QWidget>("cbTankMeth"));
    ApplyCompensationRule();
    ApplyProtocolRules();
}

void TMK_SetParamsDlg::ProtocolLeft() { ApplyProtocolRules(); }

void TMK_SetParamsDlg::ApplySpeedSourceRule() {
    const int k = Kind();
    W<TRadioGroup>("rgVelocityMeth")->SetItemEnabled(0, !(k == 255 || k == 254 || k == 225));
}

void TMK_SetParamsDlg::KeepSpeedSourceWithLock() {
    // On some devices the last speed source works only with the virtual ignition lock.
    auto *speed = W<TRadioGroup>("rgVelocityMeth");
    const bool physicalLock = !mk_.Bit("OptionBits", 0);
    if (Prots().Caps.LastSpeedSourceNeedsVirtualLock && physicalLock && speed->Count() > 0 &&
        speed->ItemIndex() == speed->Count() - 1) {
        mk_.Set("VelocityMeth", 0);
        binder_->Load(speed);
    }
}

void TMK_SetParamsDlg::ApplyLockRule() {
    binder_->SetShown(W<QWidget>("rgLockTypeLevel"), mk_.Bit("OptionBits", 0));
}

void TMK_SetParamsDlg::ApplyCompensationRule() {
    const TDeviceCaps &c = Prots().Caps;
    auto *box = W<QCheckBox>("cbCorrTankByAcc");
    binder_->SetShown(box, (!c.NoLevelSensor && mk_.Get("TankMeth") == 1) || c.HasTrim);
    box->setText(c.HasTrim ? Bi("Компенс.Uбс/Трим", "Compens.VBt/Trim") : Bi("Компенс.Uбс", "Compens.VBt"));
}

void TMK_SetParamsDlg::ApplyInjectorRule() {
    const bool shown = InjectorInUse();
    binder_->SetShown(W<QWidget>("rgForsPosFlag"), shown);
    binder_->SetShown(W<QWidget>("rgForsCoef"), shown);
}

void TMK_SetParamsDlg::ApplyProtocolRules() {
    const TProtBase *p = Protocol();
    const TDeviceCaps &caps = Prots().Caps;
    const int k = Kind();
    const bool coolant = p && p->HasCoolantTemp;
    const bool hybrid = p && p->IsHybrid;

    // 1. Variant slots.
    for (int slot = 0; slot < 8; ++slot) {
        auto *combo = W<QComboBox>(kProtTypeControls[slot]);
        const bool used = p && p->OptUsed(slot);
        binder_->Label(combo)->setText(p ? p->OptCaption[size_t(slot)] : QString());
        binder_->Load(combo);
        binder_->SetShown(combo, used);
    }

    // 2. Coolant / engine temperature limit and its caption.
    const int label = int(mk_.Get("AirWaterShow"));
    const bool liqShown = coolant || k == 222 || ((k == 254 || k == 255) && label == 2);
    binder_->SetShown(W<QWidget>("seLiqTemperLimit"), liqShown);
    QString liqCaption;
    if (k == 222) liqCaption = Bi("Т вод/двиг., С", "T wat/eng., C");
    else if (k == 223 || k == 224 || k == 225) liqCaption = Bi("T цил., C", "T cyl., C");
    else if (coolant) liqCaption = Bi("ТОЖ, С", "T coolant, C");
    else liqCaption = Bi("Тдв., С", "Т eng., С");
    binder_->Label(W<QWidget>("seLiqTemperLimit"))->setText(liqCaption);

    // 3. Engine warmed-up temperature.
    binder_->SetShown(W<QWidget>("seLiqTemperReady"), coolant || k == 222 || k == 223 || k == 224);

    // 5. Oils and the retarder.
    binder_->SetShown(W<QWidget>("seOilAKPPTemperLimit"), p && p->HasAtOilTemp);
    binder_->SetShown(W<QWidget>("seOilEngTemperLimit"), p && p->HasEngineOilTemp);
    binder_->SetShown(W<QWidget>("seRetarderOilTemperLimit"), k == 14 && caps.HasRetarder);
    binder_->SetShown(W<QWidget>("seCVTFDeteriorLim"), k == 1);

    // 6. Fan temperature: its range depends on the drive.
    auto *vent = W<TSpinEdit>("seVentTempLimit");
    binder_->SetShown(vent, (p && p->HasFanControl) || hybrid);
    if (hybrid) vent->SetBounds(25, 60);
    else vent->SetBounds(75, 115);
    binder_->Load(vent);

    // 7. Hybrid drive.
    for (const char *name : {"seInvTemperLimit", "seHVBTemperLimit", "seElEngTemperLimit", "cbHybridCoolHVB",
                             "cbHybrUse6VentSpeed", "seHybrVentSpeedStep"})
        binder_->SetShown(W<QWidget>(name), hybrid);
    binder_->SetShown(W<QWidget>("seAddCoolingTemper"), hybrid && p->HasAddCooling);

    // 8. Soot filter.
    binder_->SetShown(W<QWidget>("seVAGSFilterLimit"), k == 82);

    // 9. Sources the protocol offers.
    binder_->SetShown(W<QWidget>("rgGabarType"), p && p->HasLightsInfo && !caps.FixedParkingLights);
    binder_->SetShown(W<QWidget>("rgGabarInvPol"), !caps.FixedParkingLights);
    binder_->SetShown(W<QWidget>("rgUaccMeth"), p && p->HasBatteryVoltage);
    binder_->SetShown(W<QWidget>("rgRevolutionsMeth"), !caps.NoInjectorInput);
    binder_->SetShown(W<QWidget>("rgExpenseMeth"), !caps.NoInjectorInput);
    binder_->SetShown(W<QWidget>("rgAirWaterShow"), caps.HasUniInput || caps.HasTrim);
    binder_->SetShown(W<QWidget>("sgTrimMeth"), caps.HasTrim && p && p->HasTrimInfo);
    binder_->SetShown(W<QWidget>("seForsCoefCarb"), caps.HasCarburettor && k == 254);
    binder_->SetShown(W<QWidget>("rgForsCoef"), k != 254);
    binder_->SetShown(W<QWidget>("rgAirTemperGetMeth"), p && p->HasAirTempChoice);
    binder_->Load(W<QWidget>("rgAirTemperGetMeth"));

    ApplySpeedSourceRule();
    ApplyInjectorRule();
}

void TMK_SetParamsDlg::ApplyParameterNames() {
    const TDeviceCaps &caps = Prots().Caps;
    // Name forms in order: the long name, the x1 title, the x4 and x9 labels, the list label.
    const auto rename = [this](uint8_t code, const QStringList &forms) {
        TMeasParBase *par = mk_.FindParameter(code);
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
        const int label = int(mk_.Get("AirWaterShow"));
        const TBiText other = label == 1 ? TBiText{"Tводы", "Twater"}
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
