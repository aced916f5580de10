#include "editor/PageUniMeas.h"

#include "base/Error.h"
#include "editor/HeaderColumns.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QGroupBox>
#include <QHBoxLayout>

TPageUniMeas::TPageUniMeas(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    auto *page = new QHBoxLayout(this);
    page->setContentsMargins(12, 12, 12, 12);
    gbUniMeasCalibr = b.Group({.control = "gbUniMeasCalibr", .caption = {"Калибровка", "Calibration"}}, this);
    page->addWidget(gbUniMeasCalibr, 0, Qt::AlignTop);
    page->addStretch(1);
    grid = new QGridLayout(gbUniMeasCalibr);
    grid->setHorizontalSpacing(6);
    lUniMeasHeader = new QLabel(gbUniMeasCalibr);
    lUniMeasHeader->setObjectName(QStringLiteral("lUniMeasHeader"));
    grid->addWidget(lUniMeasHeader, 0, 0, 1, 3);

    // clang-format off
    seUniMeasDat0 = b.Spin({.control = "seUniMeasDat0", .caption = {"Мин", "Min"}, .map = Map::Field("UniMeasDat0"),
                            .min = -180, .max = 2500}, gbUniMeasCalibr);
    seUniMeasADC0 = b.Spin({.control = "seUniMeasADC0", .caption = {"", ""}, .map = AdcMap("UniMeasADC0", seUniMeasADC1),
                            .min = 0, .max = 1023}, gbUniMeasCalibr);
    seUniMeasDat1 = b.Spin({.control = "seUniMeasDat1", .caption = {"Макс", "Max"}, .map = Map::Field("UniMeasDat1"),
                            .min = -180, .max = 2500}, gbUniMeasCalibr);
    seUniMeasADC1 = b.Spin({.control = "seUniMeasADC1", .caption = {"", ""}, .map = AdcMap("UniMeasADC1", seUniMeasADC0),
                            .min = 0, .max = 1023}, gbUniMeasCalibr);
    // clang-format on
    int row = 1;
    for (auto [data, adc] :
         {std::pair{seUniMeasDat0, seUniMeasADC0}, std::pair{seUniMeasDat1, seUniMeasADC1}}) {
        delete b.Label(adc); // the header names the column
        grid->addWidget(b.Label(data), row, 0);
        grid->addWidget(data, row, 1, Qt::AlignLeft);
        grid->addWidget(adc, row, 2, Qt::AlignLeft);
        ++row;
    }
    ApplyTexts();
}

TValueMap TPageUniMeas::AdcMap(const char *field, TSpinEdit *const &other) {
    const TValueMap plain = Map::Field(field);
    return {plain.load, [plain, &other](TMK &m, const QVariant &value) {
                if (other && value.toDouble() == other->value())
                    throw RangeError(Bi("Значения АЦП Мин и Макс должны различаться.",
                                        "Min and Max ADC Values should differ."));
                plain.store(m, value);
            }};
}

void TPageUniMeas::ApplyTexts() {
    lUniMeasHeader->setText(Bi("  #           Показания        АЦП", "  #           Data             ADC"));
    HeaderColumns::Align(grid, lUniMeasHeader);
}

void TPageUniMeas::Load() {
    ApplyTexts();
}
