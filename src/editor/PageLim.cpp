// Page tsLim: alarm limits.

#include "catalogue/ProtsH.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PageLayout.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>

void TMK_SetParamsDlg::BuildLim(QWidget *page) {
    TBinder &b = *binder_;
    const auto caps = [] { return Prots().Caps; };
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setColumnMinimumWidth(2, 24);
    TFormColumn left(b, grid, 0);
    auto *rightBox = new QWidget(page);
    auto *rg = new QGridLayout(rightBox);
    rg->setContentsMargins(0, 0, 0, 0);
    TFormColumn right(b, rg, 0);
    grid->addWidget(rightBox, 0, 3, 30, 2);

    // Visibility of protocol-dependent rows comes from the protocol rules.
    // clang-format off
    left.Row(b.Spin({"seLiqTemperLimit", {"", ""}, Map::Field("LiqTemperLimit"), 30, 150}, page));
    left.Row(b.Spin({"seRevolutionsLimit", {"Обороты двиг., об/мин * 100", "Engine speed, rpm*100"},
                     Map::Field("RevolutionsLimit"), 25, 80}, page));
    left.Row(b.Spin({"seVelocityLimit", {"Скорость, км/час", "Speed, km/h"}, Map::Field("VelocityLimit", 0.5),
                     40, 200, 2, 0, true}, page));
    left.Row(b.Spin({"seStopVelocityLimit", {"Скорость  пробки, км/час", "Jam speed, km/h"},
                     Map::Field("StopVelocityLimit"), 0, 200, 2, 0, false, [=] { return !caps().NoJamStatistics; }}, page));
    left.Row(b.Spin({"seTankLimit", {"Остаток бака, л", "Fuel rem., l"}, Map::Field("TankLimit"), 5, 99, 2}, page));
    left.Row(b.Spin({"seUaccLowLimit", {"Низкое напряжение АКБ, В", "Low batt.voltage, V"},
                     Map::Field("UaccLowLimit", 10), 9.0, 13.9, 2, 1}, page));
    left.Row(b.Spin({"seUaccHighLimit", {"Высокое напряжение АКБ, В", "High batt.voltage, V"},
                     Map::Field("UaccHighLimit", 10), 14.0, 16.0, 2, 1}, page));
    left.Row(b.Spin({"seVentTempLimit", {"Т вкл. вентилятора, С", "Fan on temper., C"}, Map::Field("VentTempLimit"),
                     75, 115}, page));
    left.Row(b.Spin({"seInjTimeLimit", {"Превыш. времени впр. на ХХ ,%", "High inj.time on idle, %"},
                     Map::Field("InjTimeLimit"), 1, 99}, page));
    left.Row(b.Spin({"seLiqTemperReady", {"Т прогрева двигателя, С", "Engine heat.temper, C"},
                     Map::Field("LiqTemperReady"), 10, 110}, page));
    left.Row(b.Spin({"seVel100", {"Разгон до, км/час", "Zero to km/h"}, Map::Field("Vel100"), 40, 200, 1, 0, false,
                     [=] { return !caps().NoAccelTimer; }}, page));
    left.Row(b.Spin({"seVel100Down", {"Торможение с, км/час", "Braking from km/h"}, Map::Field("Vel100Down"),
                     40, 200, 2, 0, false, [=] { return !caps().NoAccelTimer; }}, page));
    left.Row(b.Spin({"seVelMinForExp", {"Расх 100/час", "Expense 100/h"}, Map::Field("VelMinForExp"), 5, 15, 2}, page));
    left.Stretch();

    right.Row(b.Spin({"seVAGSFilterLimit", {"Наполнение сажевого фильтра, %", "Diesel filter filling, %"},
                      Map::Field("VAGSFilterLimit"), 5, 60}, rightBox));
    right.Row(b.Spin({"seOilAKPPTemperLimit", {"Т масла АКПП, С", "AT oil temper., C"},
                      Map::Field("OilAKPPTemperLimit"), 80, 150}, rightBox));
    right.Row(b.Spin({"seOilEngTemperLimit", {"Т масла ДВС, С", "Engine  oil temper., C"},
                      Map::Field("OilEngTemperLimit"), 30, 150}, rightBox));
    right.Row(b.Spin({"seCVTFDeteriorLim", {"Износ масла АКПП * 1000", "AT oil deterior. *1000"},
                      Map::Field("CVTFDeteriorLim"), 10, 100}, rightBox));
    right.Row(b.Spin({"seRetarderOilTemperLimit", {"Т масла ретардера, С", "Retarder oil temper., C"},
                      Map::Field("RetarderOilTemperLimit"), 30, 200}, rightBox));
    right.Row(b.Spin({"seInvTemperLimit", {"Т инвертора, C", "Inverter temper., C"}, Map::Field("InvTemperLimit"),
                      50, 120}, rightBox));
    right.Row(b.Spin({"seHVBTemperLimit", {"Т ВВБ, C", "HVB temper., C"}, Map::Field("HVBTemperLimit"), 40, 80}, rightBox));
    right.Row(b.Spin({"seAddCoolingTemper", {"Т Доп.Охл.ДВС, C", "Eng.add.cool.temper., C"},
                      Map::Field("AddCoolingTemper"), 90, 100}, rightBox));
    right.Row(b.Spin({"seElEngTemperLimit", {"Т эл.двигателя, С", "T el.motor, C"}, Map::Field("ElEngTemperLimit"),
                      30, 200}, rightBox));
    right.Row(b.Spin({"seHybrVentSpeedStep", {"Шаг Т при расчете скорости вент.ВВБ ", "T step on fan speed calc"},
                      Map::Field("HybrVentSpeedStep"), 1, 3}, rightBox));
    right.Wide(b.Check({"cbHybridCoolHVB", {"Нагр.ВВБ", "HVB heating"}, Map::Bit("OptionBits", 15)}, rightBox));
    right.Wide(b.Check({"cbHybrUse6VentSpeed", {"Исп. 6 скорость вент. ВВБ", "Use 6 speed HVB fan"},
                        Map::Bit("OptionBits", 14)}, rightBox));
    auto *battery = b.Radio({"rg24VMode", {"Режим работы с АКБ", "Use battery"}, Map::Bit("OptionBits", 8),
                             {{"12В", "12V"}, {"24В", "24V"}}, {}, [=] { return caps().Is24V; }, {}, 2}, rightBox);
    battery->setEnabled(false); // shows the stored mode only
    right.Wide(battery);

    auto *gbTrim = new QGroupBox(rightBox);
    gbTrim->setObjectName(QStringLiteral("gbTrim"));
    texts_.emplace_back(gbTrim, TBiText{"Трим", "Trim"});
    auto *tg = new QGridLayout(gbTrim);
    TFormColumn trim(b, tg);
    trim.Row(b.Spin({"seTrimLowLimit", {"Нижний предел", "Low limit"}, Map::Field("TrimLowLimit"), -9, 90, 1, 0, false,
                     {}, [this] { ApplyTrimBounds(true); }}, gbTrim));
    trim.Row(b.Spin({"seTrimHighLimit", {"Верхний предел", "High limit"}, Map::Field("TrimHighLimit"), -9, 90, 1, 0,
                     false, {}, [this] { ApplyTrimBounds(true); }}, gbTrim));
    // clang-format on
    right.Wide(gbTrim);
    right.Stretch();
}

void TMK_SetParamsDlg::ApplyTrimBounds(bool afterEdit) {
    // Each limit bounds the other: low < high.
    auto *low = W<TSpinEdit>("seTrimLowLimit");
    auto *high = W<TSpinEdit>("seTrimHighLimit");
    const int lowValue = int(mk_.Get("TrimLowLimit"));
    const int highValue = int(mk_.Get("TrimHighLimit"));
    high->SetBounds(std::min(lowValue + 1, 90), 90);
    low->SetBounds(-9, std::max(highValue - 1, -9));
    // After an edit, a value pushed out by the moved bound is clamped into it and stored
    // at once; at loading, stored values are shown as they are.
    for (auto [spin, field] : {std::pair{high, "TrimHighLimit"}, std::pair{low, "TrimLowLimit"}}) {
        const double v = double(mk_.Get(field));
        const double clamped = afterEdit ? std::clamp(v, spin->BoundMin(), spin->BoundMax()) : v;
        if (clamped != v) mk_.Set(field, int64_t(clamped));
        spin->ShowValue(clamped);
    }
}
