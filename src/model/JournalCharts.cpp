#include "model/JournalCharts.h"

#include "base/Lang.h"
#include "model/MKLayout.h"

#include <algorithm>

using namespace Journals;

namespace JournalCharts {

namespace {

// Columns of the journal grid whose headings the charts take.
constexpr int kDistanceColumn = 3;
constexpr int kFuelColumn = 4;
constexpr int kPer100Column = 6;

static_assert(std::tuple_size_v<TRecords> == MKLayout::JournalSlots);

} // namespace

QString TChart::ToolTip(int category) const {
    if (category < 0 || category >= rows.size()) return {};
    const QStringList &row = rows[category];
    QStringList lines;
    for (int c = 0; c < row.size() && c < headings.size(); ++c)
        lines << headings[c] + QStringLiteral(": ") + row[c];
    return lines.join(QLatin1Char('\n'));
}

QString SlotList(const QList<int> &numbers) {
    QList<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList parts;
    for (qsizetype i = 0; i < sorted.size();) {
        // "Last" stands alone: a run from it would read "Last…3".
        qsizetype j = i;
        if (sorted[i] != 0)
            while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
                ++j;
        if (j - i >= 2) {
            parts << SlotLabel(sorted[i]) + QStringLiteral("…") + SlotLabel(sorted[j]);
        } else {
            for (qsizetype k = i; k <= j; ++k)
                parts << SlotLabel(sorted[k]);
        }
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

TChart Build(TJournal journal, const TRecords &records, const TPrices &prices) {
    TChart chart;
    chart.journal = journal;
    chart.headings = JournalHeadings();
    const bool trip = journal == TJournal::Trip;

    // Oldest on the left: slot 20 first, slot 0 ("Last") at the right end.
    for (int slot = MKLayout::JournalSlots - 1; slot >= 0; --slot) {
        const TJournalRecord &r = records[size_t(slot)];
        if (r.Empty()) continue;
        chart.slotNumbers << slot;
        chart.categories << SlotLabel(slot);
        chart.rows << JournalRow(slot, r, prices);
    }
    for (int slot = 0; slot < MKLayout::JournalSlots; ++slot)
        if (records[size_t(slot)].Empty()) chart.leftOut << slot;

    const bool gas = std::any_of(chart.slotNumbers.begin(), chart.slotNumbers.end(),
                                 [&](int slot) { return records[size_t(slot)].gas != 0; });
    TSeries petrolBars{Bi("Бензин", "Petrol"), TShape::Bars, TAxis::Left, {}};
    TSeries gasBars{Bi("Газ", "Gas"), TShape::Bars, TAxis::Left, {}};
    TSeries distance{chart.headings[kDistanceColumn], TShape::Line, TAxis::Right, {}};
    for (int slot : chart.slotNumbers) {
        const TJournalRecord &r = records[size_t(slot)];
        if (trip) {
            // ml·100 / m is litres per 100 km; without a distance the grid shows "---".
            auto per100 = [&](uint32_t ml) -> std::optional<double> {
                if (r.distance == 0) return std::nullopt;
                return double(ml) * 100.0 / double(r.distance);
            };
            petrolBars.values << per100(r.petrol);
            gasBars.values << per100(r.gas);
        } else {
            petrolBars.values << double(r.petrol) / 1000.0;
            gasBars.values << double(r.gas) / 1000.0;
        }
        distance.values << double(r.distance) / 1000.0;
    }
    chart.series << petrolBars;
    if (gas) chart.series << gasBars;
    chart.series << distance;
    chart.leftAxisTitle = chart.headings[trip ? kPer100Column : kFuelColumn];
    chart.rightAxisTitle = chart.headings[kDistanceColumn];

    chart.title = trip ? Bi("Журнал поездок", "Trip log") : Bi("Журнал заправок", "Petrol log");
    if (chart.slotNumbers.isEmpty())
        chart.title += Bi(" (все записи пусты)", " (all slots empty)");
    else if (!chart.leftOut.isEmpty())
        chart.title += Bi(" (пустые записи не показаны: %1)", " (empty slots left out: %1)")
                           .arg(SlotList(chart.leftOut));
    return chart;
}

TChart Build(const TMK &mk, TJournal journal) {
    TRecords records;
    for (int slot = 0; slot < MKLayout::JournalSlots; ++slot)
        records[size_t(slot)] = JournalRecord(mk, journal, slot);
    return Build(journal, records, TPrices::FromMK(mk));
}

} // namespace JournalCharts
