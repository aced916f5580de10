#include "editor/Widgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

TSpinEdit::TSpinEdit(QWidget *parent) : QDoubleSpinBox(parent) {
    setDecimals(0);
    setKeyboardTracking(false);
    setAccelerated(true);
    // A typed value beyond the bounds is pulled to the nearest bound when the edit ends.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] {
        if (showing_) return;
        edited_ = true;
        // Once the user moves it, the control keeps to its own bounds again.
        if (minimum() != min_ || maximum() != max_) {
            const double v = std::clamp(value(), min_, max_);
            showing_ = true;
            setRange(min_, max_);
            setValue(v);
            showing_ = false;
        }
        emit UserEdited();
    });
}

void TSpinEdit::SetArrowsOnly(bool on) {
    arrowsOnly_ = on;
    lineEdit()->setReadOnly(on);
}

void TSpinEdit::SetBounds(double min, double max) {
    min_ = min;
    max_ = max;
    showing_ = true;
    setRange(min, max);
    showing_ = false;
}

void TSpinEdit::ShowValue(double value) {
    showing_ = true;
    setRange(std::min(min_, value), std::max(max_, value));
    setValue(value);
    showing_ = false;
    edited_ = false;
}

void TSpinEdit::keyPressEvent(QKeyEvent *event) {
    if (arrowsOnly_) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape: break;
        default:
            event->ignore();
            return;
        }
    }
    QDoubleSpinBox::keyPressEvent(event);
}

void TSpinEdit::stepBy(int steps) {
    // Out of its bounds (a stored odd value), a step lands back inside them.
    if (value() < min_ || value() > max_) {
        SetBounds(min_, max_);
        edited_ = true;
        emit UserEdited();
        return;
    }
    QDoubleSpinBox::stepBy(steps);
}

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
    layout_ = new QGridLayout(this);
    layout_->setContentsMargins(6, 2, 6, 4);
    layout_->setHorizontalSpacing(10);
    layout_->setVerticalSpacing(2);
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::ItemClicked);
}

void TRadioGroup::SetItems(const QStringList &items, int columns) {
    const int keep = ItemIndex();
    for (QRadioButton *b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
    columns = std::max(columns, 1);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
        group_->addButton(b, i);
        layout_->addWidget(b, i % std::max(rows, 1), i / std::max(rows, 1));
        buttons_.append(b);
    }
    SetItemIndex(keep);
}

QStringList TRadioGroup::Items() const {
    QStringList out;
    for (const QRadioButton *b : buttons_) out << b->text();
    return out;
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // No item: nothing is checked.
    group_->setExclusive(false);
    for (QRadioButton *b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
}

void TRadioGroup::SetItemEnabled(int index, bool enabled) {
    if (index >= 0 && index < buttons_.size()) buttons_[index]->setEnabled(enabled);
}
