#include "model/JournalChartView.h"

#include "base/Error.h"
#include "base/Lang.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QCursor>
#include <QFontMetrics>
#include <QImageWriter>
#include <QLegend>
#include <QLineSeries>
#include <QPen>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

using namespace JournalCharts;

namespace {

// Room above the highest value, so that the top bar does not touch the frame.
constexpr double kHeadroom = 1.08;
// Fixed colours, so that petrol, gas and the distance look alike in every chart and
// the line never takes a bar's colour.
const QColor kBarColours[] = {QColor(0x20, 0x9f, 0xdf), QColor(0x99, 0xca, 0x53)};
const QColor kLineColour(0xe0, 0x6c, 0x10);
// Room between two category labels side by side.
constexpr int kLabelGap = 6;

double Highest(const TSeries &series) {
    double top = 0;
    for (const std::optional<double> &v : series.values)
        if (v) top = std::max(top, *v);
    return top;
}

// From 0 to a round number above the highest value, with labels of as many decimals
// as the ticks need.
void Scale(QValueAxis *axis, double highest) {
    axis->setRange(0, highest > 0 ? highest * kHeadroom : 1.0);
    axis->applyNiceNumbers();
    const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
    const int decimals = step >= 1 ? 0 : std::min(3, int(std::ceil(-std::log10(step) - 1e-9)));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
}

} // namespace

TJournalChartView::TJournalChartView(QWidget *parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
}

void TJournalChartView::SetChart(const TChart &model) {
    model_ = model;
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(model.title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Numbers as the grids write them: the system's decimal separator, no grouping.
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(locale);
    chart->setLocalizeNumbers(true);

    auto *categories = new QBarCategoryAxis;
    categories->append(model.categories);
    auto *left = new QValueAxis;
    left->setTitleText(model.leftAxisTitle);
    auto *right = new QValueAxis;
    right->setTitleText(model.rightAxisTitle);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
    chart->addAxis(right, Qt::AlignRight);

    auto *bars = new QBarSeries;
    double leftTop = 0, rightTop = 0;
    for (const TSeries &s : model.series) {
        if (s.shape == TShape::Bars) {
            auto *set = new QBarSet(s.name);
            set->setColor(kBarColours[bars->count() % 2]);
            set->setBorderColor(set->color());
            for (const std::optional<double> &v : s.values)
                set->append(v.value_or(0)); // no bar where the grid shows "---"
            connect(set, &QBarSet::hovered, this, [this](bool entered, int index) { Hover(index, entered); });
            bars->append(set);
        }
        (s.axis == TAxis::Left ? leftTop : rightTop) =
            std::max(s.axis == TAxis::Left ? leftTop : rightTop, Highest(s));
    }
    chart->addSeries(bars);
    bars->attachAxis(categories);
    bars->attachAxis(left);
    for (const TSeries &s : model.series) {
        if (s.shape != TShape::Line) continue;
        auto *line = new QLineSeries;
        line->setName(s.name);
        line->setPointsVisible(true);
        line->setPen(QPen(kLineColour, 2.5));
        for (int i = 0; i < s.values.size(); ++i)
            if (s.values[i]) line->append(i, *s.values[i]);
        connect(line, &QLineSeries::hovered, this,
                [this](const QPointF &point, bool entered) { Hover(qRound(point.x()), entered); });
        chart->addSeries(line);
        line->attachAxis(categories);
        line->attachAxis(s.axis == TAxis::Left ? left : right);
    }
    Scale(left, leftTop);
    Scale(right, rightTop);
    // Twenty-one labels may not fit side by side (a narrow chart, wide value labels):
    // then they stand upright rather than being cut short.
    connect(chart, &QChart::plotAreaChanged, categories, [categories](const QRectF &plot) {
        const QStringList labels = categories->categories();
        if (labels.isEmpty()) return;
        const QFontMetrics metrics(categories->labelsFont());
        int widest = 0;
        for (const QString &label : labels)
            widest = std::max(widest, metrics.horizontalAdvance(label));
        const int angle = widest + kLabelGap > plot.width() / double(labels.size()) ? -90 : 0;
        if (categories->labelsAngle() != angle) categories->setLabelsAngle(angle);
    });

    QChart *old = this->chart();
    setChart(chart);
    delete old;
}

void TJournalChartView::Hover(int category, bool entered) {
    if (entered && category >= 0 && category < model_.categories.size())
        QToolTip::showText(QCursor::pos(), model_.ToolTip(category), this);
    else
        QToolTip::hideText();
}

QImage TJournalChartView::Picture() {
    return grab().toImage();
}

QImage RenderJournalChart(const TChart &model, QSize size) {
    TJournalChartView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(size);
    view.SetChart(model);
    view.show();
    return view.Picture();
}

QByteArray PngBytes(const QImage &image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        throw Error(Bi("Не удалось закодировать рисунок в PNG: %1", "Cannot encode the picture as PNG: %1")
                        .arg(writer.errorString()));
    return png;
}
