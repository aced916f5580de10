// Page tsCorr: corrections.

#include "catalogue/ProtsH.h"
#include "editor/MK_SetParamsDlg.h"
#include "editor/PageLayout.h"
#include "editor/Widgets.h"

#include <QCheckBox>
#include <QGridLayout>

void TMK_SetParamsDlg::BuildCorr(QWidget *page) {
    TBinder &b = *binder_;
    const auto caps = [] { return Prots().Caps; };
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    TFormColumn left(b, grid, 0);
    TFormColumn right(b, grid, 1);

    // clang-format off
    left.Row(b.Spin({"seVelocityCorr", {"Скорость, %", "Speeed, %"}, Map::PercentFactor("VelocityCorr"),
                     -99.0, 999.9, 0.1, 1, false, [=] { return !caps().NoSpeedCorrection; }}, page));
    left.Row(b.Spin({"seExpenseCorr", {"Расхода бензина, %", "Petrol expense, %"}, Map::PercentFactor("ExpenseCorr"),
                     -99.0, 999.9, 0.1, 1}, page));
    left.Row(b.Spin({"seGazExpenseCorr", {"Расход газа, %", "Gas expense, %"}, Map::PercentFactor("GazExpenseCorr"),
                     -99.0, 999.9, 0.1, 1, false, [=] { return !caps().NoGas; }}, page));
    left.Row(b.Spin({"seAirTemperCorr", {"Температура воздуха, С", "Air temper., C"}, Map::Field("AirTemperCorr"),
                     -20, 20, 1, 0, false, [=] { return !caps().NoAirTemperature; }}, page));
    left.Row(b.Spin({"seAccCorr", {"Напряжение АКБ, В", "Battery voltage, V"}, Map::Field("AccCorr", 10),
                     -0.7, 0.7, 0.1, 1}, page));
    left.Row(b.Spin({"seTimeCorr", {"Время (секунд в сутки)", "Tume (sec. per day)"}, Map::Field("TimeCorr"),
                     -30, 30}, page));
    left.Row(b.Spin({"seAllPathStart", {"Начальный пробег, км", "initial mileage, km"}, Map::Field("AllPathStart"),
                     0, 999999}, page));
    left.Row(b.Spin({"seAllTimeStart", {"Начальное вр. раб, час", "Initial time, h"}, Map::Field("AllTimeStart"),
                     0, 99999}, page));
    left.Stretch();

    // The injector rule: shown when some source is the injector.
    const auto injector = [this] { return InjectorInUse(); };
    right.Wide(b.Radio({"rgForsPosFlag", {"Полярность форсунки", "Polarity"}, Map::Bit("OptionBits", 10),
                        {{"+", "+"}, {"-", "-"}}, {}, injector, {}, 2}, page));
    right.Wide(b.Radio({"rgForsCoef", {"Тахометр", "Tachometer"}, Map::Table("ForsCoef", {1, 2, 4}, 2),
                        {{"1", "1"}, {"2", "2"}, {"4", "4"}}, {}, injector, {}, 3}, page));
    right.Row(b.Spin({"seForsCoefCarb", {"Имп. на оборот", "Pulses by rev."}, Map::Field("ForsCoefCarb", 2),
                      0.5, 12, 0.5, 1, true,
                      [this] { return Prots().Caps.HasCarburettor && Kind() == 254; }}, page));
    right.Stretch();
    // clang-format on
}
