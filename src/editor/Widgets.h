#pragma once
// The editor's own small controls: a spin edit that can refuse typing, and a radio
// group (a titled box of radio buttons in columns) with an item index.

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

class TSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    // Arrows only: the value changes by the spin buttons and the arrow keys, never by typing.
    void SetArrowsOnly(bool on);
    bool ArrowsOnly() const { return arrowsOnly_; }

    // The control's own bounds; a loaded value outside them widens the box until the
    // user changes it, so a stored value is always shown as it is.
    void SetBounds(double min, double max);
    double BoundMin() const { return min_; }
    double BoundMax() const { return max_; }
    void ShowValue(double value);

    // True when the user changed the value since it was last shown.
    bool Edited() const { return edited_; }
    void ClearEdited() { edited_ = false; }

signals:
    void UserEdited();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void stepBy(int steps) override;

private:
    bool arrowsOnly_ = false;
    bool showing_ = false;
    bool edited_ = false;
    double min_ = 0, max_ = 99;
};

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget *parent = nullptr);

    void SetItems(const QStringList &items, int columns = 1);
    QStringList Items() const;
    int Count() const { return int(buttons_.size()); }
    QRadioButton *Button(int index) const { return buttons_.value(index); }

    // -1 (or an index without item) selects nothing.
    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetItemEnabled(int index, bool enabled);

signals:
    // The user picked an item (not emitted by SetItemIndex).
    void ItemClicked(int index);

private:
    QList<QRadioButton *> buttons_;
    QButtonGroup *group_;
    QGridLayout *layout_;
};
