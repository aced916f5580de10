#pragma once
// The editor's own small controls: a spin edit that judges typed values when the edit
// ends and can refuse typing, a radio group (a titled box of radio buttons in columns)
// with an item index, and a masked date edit with a calendar.

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
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
    // user changes it, so a stored value is always shown as it is. A typed value beyond
    // them is pulled to the nearest bound when the edit ends.
    void SetBounds(double min, double max);
    double BoundMin() const { return min_; }
    double BoundMax() const { return max_; }
    void ShowValue(double value);

    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &text) const override;
    double valueFromText(const QString &text) const override;

signals:
    // The user changed the value (not emitted by ShowValue or SetBounds).
    void UserEdited();
    // The edit ended on text that is no number; the control shows its value again.
    void Refused(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void stepBy(int steps) override;

private:
    // A number as the user may type it: optional sign, digits, "," or "." (or the
    // locale's decimal point) and decimals. Decimals beyond decimals() round half to even.
    bool Parse(const QString &text, double *value) const;
    void ReportRefusal();

    // fixup() is const: what it put back is reported once the edit has ended.
    mutable QString refused_;
    mutable bool hasRefused_ = false;
    bool arrowsOnly_ = false;
    bool showing_ = false;
    double min_ = 0, max_ = 99;
};

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget *parent = nullptr);

    // Rebuilds the buttons only when the texts or the column count differ, so a rule
    // that disabled an item keeps it disabled across reloads of the same list.
    void SetItems(const QStringList &items, int columns = 1);
    QStringList Items() const;
    int Count() const { return int(buttons_.size()); }
    int Columns() const { return columns_; }
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
    int columns_ = 1;
};

// Tab goes through the controls in this order (a radio group through its buttons), for
// pages whose controls are made in another order than they are shown.
void ChainTabOrder(const QList<QWidget *> &controls);

// A masked edit of numbers in fields apart by one separator (":" of a time, "." of a
// date). The other keys people use between fields move on to the next field as the
// separator does, instead of being dropped and running two fields together.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    TMaskEdit(const QString &mask, QChar separator, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QChar separator_;
};

// DD.MM.YY typed into a mask, or picked from a calendar opened by the button at its end.
class TDateEdit : public TMaskEdit {
    Q_OBJECT
public:
    explicit TDateEdit(QWidget *parent = nullptr);
    void OpenCalendar();

signals:
    void DatePicked();
};
