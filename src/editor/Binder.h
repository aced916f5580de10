#pragma once
// The binder: each editor page is a table of rows; one generic piece creates the
// controls, loads them from the settings image, stores them on the right trigger and
// reports values that do not fit their field.
//
// A row maps one control to the image through a TValueMap (load: image -> control
// value; store: control value -> image). Loading never writes the image; storing
// happens only after the user changed the control.

#include "base/Lang.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;
class TMK;
class TRadioGroup;
class TSpinEdit;

struct TValueMap {
    std::function<double(const TMK &)> load;
    // Raises RangeError when the value does not fit; the field then keeps its value.
    std::function<void(TMK &, double)> store;
};

namespace Map {
// stored = round(value × scale) + offset (halves to even), range-checked against the field.
TValueMap Field(const char *field, double scale = 1, int offset = 0, int index = 0);
// Check box or radio group item 1 sets the bit (inverted: clears it).
TValueMap Bit(const char *field, int bit, bool inverted = false);
// Correction factor shown in percent with one decimal: factor = value / 100 + 1.
TValueMap PercentFactor(const char *field);
// Item i stores stored[i]; loading picks the item of the stored value, else fallbackItem.
TValueMap Table(const char *field, std::vector<int> stored, int fallbackItem);
} // namespace Map

enum class TStoreOn { FocusOut, Change };

// When a row is shown; empty means always.
using TPredicate = std::function<bool()>;
// Items of a list built at load time.
using TItemsBuilder = std::function<QStringList()>;

struct TSpinRow {
    const char *control;
    TBiText caption;
    TValueMap map;
    double min, max;
    double step = 1;
    int decimals = 0;
    bool arrowsOnly = false;
    TPredicate shown = {};
    std::function<void()> after = {}; // rule to run after a store
    TStoreOn storeOn = TStoreOn::FocusOut;
};

struct TChoiceRow { // combo box or radio group: the value is the item index
    const char *control;
    TBiText caption;
    TValueMap map;
    QList<TBiText> items = {};
    TItemsBuilder build = {}; // instead of items, for lists that depend on the device
    TPredicate shown = {};
    std::function<void()> after = {};
    int columns = 1;          // radio groups; 0 puts every item in one row
    TStoreOn storeOn = TStoreOn::Change;
};

struct TCheckRow {
    const char *control;
    TBiText caption;
    TValueMap map;
    TPredicate shown = {};
    std::function<void()> after = {};
};

class TBinder : public QObject {
    Q_OBJECT
public:
    explicit TBinder(TMK &mk, QObject *parent = nullptr);

    // Create the control (objectName = row.control) and its caption label where it has one.
    TSpinEdit *Spin(const TSpinRow &row, QWidget *parent);
    QComboBox *Combo(const TChoiceRow &row, QWidget *parent);
    TRadioGroup *Radio(const TChoiceRow &row, QWidget *parent);
    QCheckBox *Check(const TCheckRow &row, QWidget *parent);

    // The caption label of a spin edit or combo box (nullptr for the others).
    QLabel *Label(const QWidget *control) const;

    void ApplyCaptions();            // texts in the current language
    void LoadAll();                  // every control from the image
    void Load(QWidget *control);     // one control (rebuilds its items if built)
    void ApplyVisibility();          // evaluates every row's predicate
    void SetShown(QWidget *control, bool shown); // the control and its label
    void Store(QWidget *control);    // stores a pending user change now
    void FlushFocused();             // the focused control's pending change, before OK

    // Errors of stores are reported here (the error box by default).
    std::function<void(const QString &)> reportError;

private:
    struct Binding {
        QPointer<QWidget> control;
        QPointer<QLabel> label;
        TBiText caption;
        TValueMap map;
        QList<TBiText> items;
        TItemsBuilder build;
        TPredicate shown;
        std::function<void()> after;
        bool pending = false; // the user changed it since the last load or store
    };

    Binding *Find(const QWidget *control);
    const Binding *Find(const QWidget *control) const;
    Binding &Add(QWidget *control, const TBiText &caption, const TValueMap &map, const TPredicate &shown,
                 const std::function<void()> &after);
    void LoadBinding(Binding &b);
    void StoreBinding(Binding &b);
    QLabel *MakeLabel(QWidget *parent, QWidget *buddy);

    TMK &mk_;
    std::vector<Binding> bindings_;
    bool loading_ = false;
};
