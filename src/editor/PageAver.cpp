#include "editor/PageAver.h"

#include "editor/Widgets.h"
#include "model/MK.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>

namespace {

// "1" … "99" after the given leading items.
QStringList ResetPeriods(std::initializer_list<TBiText> leading) {
    QStringList items;
    for (const TBiText &t : leading)
        items << t.text();
    for (int days = 1; days <= 99; ++days)
        items << QString::number(days);
    return items;
}

} // namespace

TPageAver::TPageAver(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    QHBoxLayout *columns = Columns();
    TColumn *left = AddColumn(columns);
    TColumn *right = AddColumn(columns);
    columns->addStretch(1);
    const auto gas = [](const TDeviceCaps &c) { return !c.NoGas; };

    // clang-format off
    QGroupBox *gbPrice = left->Wide(b.Group({.control = "gbPrice", .caption = {"Расчет стоимости", "Cost calculation"}},
                                            left));
    auto *priceBox = new QHBoxLayout(gbPrice);
    auto *price = new TColumn(b, gbPrice);
    priceBox->addWidget(price);
    price->Row(b.Spin({.control = "sePriceTime", .caption = {"Время, 1час", "Time, 1h"}, .map = Map::Field("PriceTime"),
                       .min = 0, .max = 999}, price));
    // Prices are kept in tenths.
    price->Row(b.Spin({.control = "sePricePath", .caption = {"Пробег, 1км", "Path,1km"}, .map = Map::Field("PricePath", 10),
                       .min = 0, .max = 99.9, .step = 0.1, .decimals = 1}, price));
    price->Row(b.Spin({.control = "sePriceExpense", .caption = {"Бензин, 1л", "Petrol,1l"},
                       .map = Map::Field("PriceExpense", 10), .min = 0, .max = 99.9, .step = 0.1, .decimals = 1}, price));
    price->Row(b.Spin({.control = "sePriceGas", .caption = {"Газ, 1л", "Gas,1l"}, .map = Map::Field("PriceGas", 10),
                       .min = 0, .max = 99.9, .step = 0.1, .decimals = 1, .caps = gas}, price));

    // Counter 1 cannot be prohibited: its list starts with manual reset, which stores 0.
    QGroupBox *gbReset = left->Wide(b.Group({.control = "gbResetPeriod",
                                             .caption = {"Периоды автосброса, дни", "Autoreset periods"}}, left));
    auto *resetBox = new QHBoxLayout(gbReset);
    auto *reset = new TColumn(b, gbReset);
    resetBox->addWidget(reset);
    reset->Row(b.Combo({.control = "cbResetPeriod0", .caption = {"1", "1"}, .map = Map::Field("ResetPeriod0"),
                        .build = [] { return ResetPeriods({{"Ручн.", "Man."}}); },
                        .storeOn = TStoreOn::FocusOut}, reset));
    reset->Row(b.Combo({.control = "cbResetPeriod1", .caption = {"2", "2"}, .map = Map::Field("ResetPeriod1", 1, -1),
                        .build = [] { return ResetPeriods({{"Запр.", "Proh."}, {"Ручн.", "Man."}}); },
                        .storeOn = TStoreOn::FocusOut}, reset));
    reset->Row(b.Combo({.control = "cbResetPeriodOnly", .caption = {"Г/Б", "G/P"},
                        .map = Map::Field("ResetPeriodOnly", 1, -1),
                        .build = [] { return ResetPeriods({{"Запр.", "Proh."}, {"Ручн.", "Man."}}); }, .caps = gas,
                        .storeOn = TStoreOn::FocusOut}, reset));

    // Stops are kept in units of 5 minutes.
    right->Row(b.Spin({.control = "seTripMinStop", .caption = {"Непрерывание поезки, мин", "continuous trips"},
                       .map = Map::Field("TripMinStop", 0.2), .min = 0, .max = 995, .step = 5, .arrowsOnly = true}, right));
    right->Wide(b.Check({.control = "cbTripJournAuto",
                         .caption = {"Автоматическая запись в журнал поездок", "automatic recording in the trip log"},
                         .map = Map::Field("TripJournAuto")}, right));
    right->Wide(b.Check({.control = "cbTripShowFlag", .caption = {"Показ поездки", "showing the trip"},
                         .map = Map::Field("TripShowFlag")}, right));
    // clang-format on
}
