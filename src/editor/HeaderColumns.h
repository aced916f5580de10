#pragma once
// Some tables of the tank, maintenance and trim pages have a one-line header whose
// words were spaced out by hand over their columns. The text stays as it is; the grid
// below is laid out so that column k starts where word k starts.

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QList>
#include <algorithm>

namespace HeaderColumns {

// x of the first character of every column title of the label's text: titles are
// parted by two blanks or more ("Осталось до..." is one title).
inline QList<int> WordStarts(const QLabel *header) {
    const QString text = header->text();
    const QFontMetrics fm(header->font());
    QList<int> starts;
    for (int i = 0; i < text.size(); ++i)
        if (!text[i].isSpace() && (i == 0 || (text[i - 1].isSpace() && (i < 2 || text[i - 2].isSpace()))))
            starts << fm.horizontalAdvance(text.left(i)) + header->contentsMargins().left();
    return starts;
}

// The header spans the grid's row 0; call again when its text changes.
inline void Align(QGridLayout *grid, const QLabel *header) {
    const QList<int> starts = WordStarts(header);
    const int spacing = std::max(grid->horizontalSpacing(), 0);
    for (int k = 0; k + 1 < starts.size(); ++k) {
        const int left = k == 0 ? 0 : starts[k];
        grid->setColumnMinimumWidth(k, std::max(starts[k + 1] - left - spacing, 0));
    }
}

} // namespace HeaderColumns
