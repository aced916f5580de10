#pragma once
// The trip and refuelling journals as charts, without drawing them: what each
// series plots per record, the category labels, the captions and units of the
// journal's grid in the current language, the grid row a tooltip shows, and the
// empty slots that were left out. The drawing lives on the widgets side
// (JournalChartView), so that the viewer and tripconf-cli draw the same chart.

#include "model/Journals.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class TMK;

namespace JournalCharts {

enum class TShape { Bars, Line };
enum class TAxis { Left, Right };

struct TSeries {
    QString name; // the legend's text
    TShape shape = TShape::Bars;
    TAxis axis = TAxis::Left;
    // One per category; none where the grid shows "---" (no distance to divide by).
    QList<std::optional<double>> values;
};

struct TChart {
    Journals::TJournal journal = Journals::TJournal::Trip;
    QString title;           // the journal's caption, and what was left out
    QList<int> slotNumbers;  // the slot of each category, left to right: oldest first, "Last" at the right
    QStringList categories;  // their labels, as the grid's first column
    QStringList headings;    // the grid's headings
    QList<QStringList> rows; // the grid row of each category
    QList<int> leftOut;      // the empty slots, not shown
    QString leftAxisTitle;   // the bars'
    QString rightAxisTitle;  // the line's
    QList<TSeries> series;   // the bars first, then the line

    // The category's grid row under the grid's headings, one line per column.
    QString ToolTip(int category) const;
};

using TRecords = std::array<Journals::TJournalRecord, 21>;

// Per trip: petrol (and gas, when a shown trip used any) per 100 km as bars, the
// distance as a line. Per refuelling: the litres of each fuel as bars, the distance
// since the previous refuelling, which each record carries, as a line.
TChart Build(Journals::TJournal journal, const TRecords &records, const Journals::TPrices &prices);
TChart Build(const TMK &mk, Journals::TJournal journal);

// Slots as a caption lists them, runs joined: "Last, 2, 5…20".
QString SlotList(const QList<int> &numbers);

} // namespace JournalCharts
