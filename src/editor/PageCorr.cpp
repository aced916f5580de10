#include "editor/PageCorr.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QHBoxLayout>

TPageCorr::TPageCorr(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    QHBoxLayout *columns = Columns();
    TColumn *left = AddColumn(columns);
    TColumn *right = AddColumn(columns);
    columns->addStretch(1);

    // clang-format off
    left->Row(b.Spin({.control = "seVelocityCorr", .caption = {"Скорость, %", "Speeed, %"},
                      .map = Map::PercentFactor("VelocityCorr"), .min = -99.0, .max = 999.9, .step = 0.1,
                      .decimals = 1, .caps = [](const TDeviceCaps &c) { return !c.NoSpeedCorrection; }}, left));
    left->Row(b.Spin({.control = "seExpenseCorr", .caption = {"Расхода бензина, %", "Petrol expense, %"},
                      .map = Map::PercentFactor("ExpenseCorr"), .min = -99.0, .max = 999.9, .step = 0.1,
                      .decimals = 1}, left));
    left->Row(b.Spin({.control = "seGazExpenseCorr", .caption = {"Расход газа, %", "Gas expense, %"},
                      .map = Map::PercentFactor("GazExpenseCorr"), .min = -99.0, .max = 999.9, .step = 0.1,
                      .decimals = 1, .caps = [](const TDeviceCaps &c) { return !c.NoGas; }}, left));
    left->Row(b.Spin({.control = "seAirTemperCorr", .caption = {"Температура воздуха, С", "Air temper., C"},
                      .map = Map::Field("AirTemperCorr"), .min = -20, .max = 20,
                      .caps = [](const TDeviceCaps &c) { return !c.NoAirTemperature; }}, left));
    left->Row(b.Spin({.control = "seAccCorr", .caption = {"Напряжение АКБ, В", "Battery voltage, V"},
                      .map = Map::Field("AccCorr", 10), .min = -0.7, .max = 0.7, .step = 0.1, .decimals = 1}, left));
    left->Row(b.Spin({.control = "seTimeCorr", .caption = {"Время (секунд в сутки)", "Tume (sec. per day)"},
                      .map = Map::Field("TimeCorr"), .min = -30, .max = 30}, left));
    left->Row(b.Spin({.control = "seAllPathStart", .caption = {"Начальный пробег, км", "initial mileage, km"},
                      .map = Map::Field("AllPathStart"), .min = 0, .max = 999999}, left));
    left->Row(b.Spin({.control = "seAllTimeStart", .caption = {"Начальное вр. раб, час", "Initial time, h"},
                      .map = Map::Field("AllTimeStart"), .min = 0, .max = 99999}, left));

    rgForsPosFlag = right->Wide(b.Radio({.control = "rgForsPosFlag", .caption = {"Полярность форсунки", "Polarity"},
                                         .map = Map::Bit("OptionBits", 10), .items = {{"+", "+"}, {"-", "-"}},
                                         .columns = 2}, right));
    rgForsCoef = right->Wide(b.Radio({.control = "rgForsCoef", .caption = {"Тахометр", "Tachometer"},
                                      .map = Map::Table("ForsCoef", {1, 2, 4}, 2),
                                      .items = {{"1", "1"}, {"2", "2"}, {"4", "4"}}, .columns = 3}, right));
    seForsCoefCarb = right->Row(b.Spin({.control = "seForsCoefCarb", .caption = {"Имп. на оборот", "Pulses by rev."},
                                        .map = Map::Field("ForsCoefCarb", 2), .min = 0.5, .max = 12, .step = 0.5,
                                        .decimals = 1, .arrowsOnly = true}, right));
    // clang-format on
}

void TPageCorr::ApplyInjectorRule() {
    const bool shown = mk.Get("RevolutionsMeth") != 0 || mk.Get("ExpenseMeth") != 0 || mk.Get("GasMeth") != 0;
    b.SetShown(rgForsPosFlag, shown);
    b.SetShown(rgForsCoef, shown);
}

void TPageCorr::ApplyProtocolRules() {
    b.SetShown(seForsCoefCarb, ctx.caps.HasCarburettor && ctx.Kind() == 254);
    // rgForsCoef would hide for kind 254 here, but the injector rule decides it finally.
    ApplyInjectorRule();
}

void TPageCorr::ApplyShowRules() { ApplyInjectorRule(); }

void TPageCorr::OnEvent(TEditorEvent event) {
    if (event == TEditorEvent::SourcesChanged) ApplyInjectorRule();
}
