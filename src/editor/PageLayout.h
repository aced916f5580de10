#pragma once
// Layout helpers shared by the editor pages.

#include "editor/Binder.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>

// A column of "caption: control" rows; stacked columns put the caption above the
// control, for narrow columns with long captions.
class TFormColumn {
public:
    TFormColumn(TBinder &binder, QGridLayout *grid, int column = 0, bool stacked = false)
        : binder_(binder), grid_(grid), column_(2 * column), stacked_(stacked) {}

    // Adds a bound control with its caption label.
    template <typename W> W *Row(W *control) {
        if (QLabel *label = binder_.Label(control)) {
            if (stacked_) {
                grid_->addWidget(label, row_++, column_, 1, 2);
                grid_->addWidget(control, row_, column_, 1, 2, Qt::AlignLeft);
            } else {
                grid_->addWidget(label, row_, column_);
                grid_->addWidget(control, row_, column_ + 1, Qt::AlignLeft);
            }
        } else {
            grid_->addWidget(control, row_, column_, 1, 2);
        }
        ++row_;
        return control;
    }
    // A control that spans both cells (radio groups, boxes).
    QWidget *Wide(QWidget *control) {
        grid_->addWidget(control, row_++, column_, 1, 2);
        return control;
    }
    void Stretch() { grid_->setRowStretch(row_, 1); }

private:
    TBinder &binder_;
    QGridLayout *grid_;
    int column_;
    bool stacked_;
    int row_ = 0;
};
