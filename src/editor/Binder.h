#pragma once
// The binder: each editor page declares its controls as rows; one generic piece creates
// the controls, loads them from the settings image, stores them on the row's trigger
// and reports values that do not fit their field.
//
// Loading never writes the image (also when a load throws midway); only a user's change
// is stored. A value that does not fit raises RangeError: the error box shows it and the
// field keeps its value, which the control then shows again.
//
// Value kinds, one example row each (designated initialisers, in member order):
//
//   number, scaled, rounded halves to even, range-checked against the field's width
//     TSpinRow{.control = "seAccCorr", .caption = {"Напряжение АКБ, В", "Battery voltage, V"},
//              .map = Map::Field("AccCorr", 10), .min = -0.7, .max = 0.7, .step = 0.1, .decimals = 1}
//   item index plus an offset (the stored byte is index + 1)
//     TChoiceRow{.control = "rgLockTypeLevel", .caption = {...}, .map = Map::Field("LockTypeLevel", 1, 1), ...}
//   enumeration through a value table (items 0, 1, 2 store 1, 2, 4)
//     TChoiceRow{.control = "rgForsCoef", .caption = {...}, .map = Map::Table("ForsCoef", {1, 2, 4}, 2),
//                .items = {{"1", "1"}, {"2", "2"}, {"4", "4"}}}
//   one bit of a bit set (check box, or radio group item 1); inverted: checked clears it
//     TCheckRow{.control = "cbCorrTankByAcc", .caption = {...}, .map = Map::Bit("OptionBits", 17, true)}
//   bit n of a 64-bit mask held in two 32-bit words
//     TCheckRow{.control = "cbShowDisp_1_35", .caption = {...}, .map = Map::MaskBit("ShowDisp1", 35)}
//   bit field inside a byte (the high four bits; the low four stay)
//     TChoiceRow{.control = "rgColorMeth", .caption = {...}, .map = Map::Bits("IntenseMeth", 4, 4), ...}
//   correction factor shown in percent with one decimal
//     TSpinRow{.control = "seVelocityCorr", .caption = {...}, .map = Map::PercentFactor("VelocityCorr"), ...}
//   fixed-size cp1251 text, at most size − 1 characters and a zero byte
//     TEditRow{.control = "eForsTOCntK", .caption = {...}, .map = Map::Text("ServiceNames", 32, 16),
//              .kind = TEditKind::Text, .maxLength = 15}
//   date held as a day number, shown and typed as DD.MM.YY (0 cannot be shown: a range error)
//     TEditRow{.control = "deTO", .caption = {...}, .map = Map::Field("TODate"), .kind = TEditKind::Date}
//   "hh:mm" time held as minutes after midnight
//     TEditRow{.control = "meIntenseDayTime", .caption = {...}, .map = Map::Field("IntenseDayTime"),
//              .kind = TEditKind::Time}
//   address computed at every load and store (element e of the colour scheme being edited)
//     TSpinRow{.control = "seDigit", .caption = {...}, .map = Map::Field([&ctx, &e] {
//                  return TFieldAt{ctx.scheme ? "NightElements" : "DayElements", e}; }),
//              .min = 0, .max = 15, .storeOn = TStoreOn::Change}
//   bounds computed at every load (litres up to the full tank)
//     TSpinRow{.control = "seLit6L", .map = Map::Field("Lit6L"),
//              .bounds = [&mk] { return TBounds{0, double(mk.Get("TankContFull"))}; }}
//
// Rows also declare: the capability flags that show them (fixed while the dialog is
// open), the rule to run after a store, the store trigger (any kind of control may store
// on losing focus, on every change or on a click), a caption a rule computes, and which
// items of a choice are enabled (re-applied whenever the items are rebuilt).
// Visibility has two owners that never overwrite each other: the row's capability
// predicate, evaluated once by ApplyDeviceFlags, and the page's rules through SetShown;
// a control is shown when both allow it.

#include "base/Lang.h"
#include "catalogue/ProtsH.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;
class TMK;
class TRadioGroup;
class TSpinEdit;

// Where a value lives: a field and the element of an array field.
struct TFieldAt {
    const char *field;
    int index = 0;
};

// A field element, fixed or computed at every load and store.
class TAddr {
public:
    TAddr(const char *field, int index = 0) : fixed_{field, index} {}
    template <typename F>
        requires std::is_invocable_r_v<TFieldAt, F>
    TAddr(F at) : at_(std::move(at)) {}
    TFieldAt operator()() const { return at_ ? at_() : fixed_; }

private:
    TFieldAt fixed_{nullptr, 0};
    std::function<TFieldAt()> at_;
};

// load: image -> control value; store: control value -> image. Numbers travel as
// double, texts as QString. store raises RangeError when the value does not fit.
struct TValueMap {
    std::function<QVariant(const TMK &)> load;
    std::function<void(TMK &, const QVariant &)> store;
};

namespace Map {
// stored = round(value × scale) + offset (halves to even), range-checked against the field.
TValueMap Field(TAddr at, double scale = 1, int offset = 0);
// Check box or radio group item 1 sets the bit (inverted: clears it).
TValueMap Bit(TAddr at, int bit, bool inverted = false);
// Bit n of a mask held in consecutive 32-bit words (bit 35 is bit 3 of word 1).
TValueMap MaskBit(const char *field, int bit);
// width bits from bit shift on; the other bits stay.
TValueMap Bits(TAddr at, int shift, int width);
// Correction factor shown in percent with one decimal: factor = value / 100 + 1.
TValueMap PercentFactor(const char *field);
// Item i stores stored[i]; loading picks the item of the stored value, else fallbackItem.
TValueMap Table(TAddr at, std::vector<int> stored, int fallbackItem);
// cp1251 text in bytes offset … offset + size − 1 of a byte-array field: at most size − 1
// characters, then zeros.
TValueMap Text(const char *field, int offset, int size);
} // namespace Map

// "hh:mm" times: loading shows hours modulo 24; storing takes the text only when its
// third character is ":" (else 0 minutes); minutes of one digit, or more than 32767
// minutes in all, are a range error.
namespace TimeText {
QString FromMinutes(int minutes);
int ToMinutes(const QString &text);
} // namespace TimeText

// Dates as DD.MM.YY (years 2000 … 2099) from and to day numbers; both raise RangeError
// for what is no date (day number 0, 31.02.12, an incomplete text).
namespace DateText {
QString FromDayNumber(int64_t number);
uint32_t ToDayNumber(const QString &text);
} // namespace DateText

enum class TStoreOn {
    Default,  // spin and text edits on losing focus, combo boxes on change, the others on click
    FocusOut, // once the focus leaves the control (any of its buttons)
    Change,   // at every change, also while typing
    Click,
};

enum class TEditKind { Text, Date, Time };

using TCapsPredicate = std::function<bool(const TDeviceCaps &)>;
using TCaptionFn = std::function<QString()>;   // a caption a rule computes
using TItemsBuilder = std::function<QStringList()>;
using TBounds = std::pair<double, double>;
using TBoundsFn = std::function<TBounds()>;

struct TSpinRow {
    const char *control;
    TBiText caption;
    TValueMap map;
    double min = 0, max = 0;
    double step = 1;
    int decimals = 0;
    bool arrowsOnly = false;
    TCapsPredicate caps = {};
    std::function<void()> after = {}; // rule to run after a store
    TStoreOn storeOn = TStoreOn::Default;
    TBoundsFn bounds = {};            // instead of min and max, computed at every load
    TCaptionFn captionFn = {};
};

struct TChoiceRow { // combo box or radio group
    const char *control;
    TBiText caption;
    TValueMap map;                  // the value is the item index
    QList<TBiText> items = {};
    TItemsBuilder build = {};       // instead of items, for lists that depend on the device
    TCapsPredicate caps = {};
    std::function<void()> after = {};
    int columns = 1;                // radio groups; 0 puts every item in one row
    TStoreOn storeOn = TStoreOn::Default;
    std::function<bool(int item)> itemEnabled = {};
    TCaptionFn captionFn = {};
    bool sideLabel = false;         // radio groups: the caption in a label beside an untitled box
};

struct TCheckRow {
    const char *control;
    TBiText caption;
    TValueMap map;
    TCapsPredicate caps = {};
    std::function<void()> after = {};
    TStoreOn storeOn = TStoreOn::Default;
    TCaptionFn captionFn = {};
};

struct TEditRow { // line edits: text, date, time
    const char *control;
    TBiText caption;
    TValueMap map;
    TEditKind kind = TEditKind::Text;
    int maxLength = 32767;
    TCapsPredicate caps = {};
    std::function<void()> after = {};
    TStoreOn storeOn = TStoreOn::Default;
    TCaptionFn captionFn = {};
};

struct TGroupRow { // a titled box that holds other rows
    const char *control;
    TBiText caption;
    TCapsPredicate caps = {};
};

class TBinder : public QObject {
    Q_OBJECT
public:
    explicit TBinder(TMK &mk, QObject *parent = nullptr);
    ~TBinder() override;

    // Create the control (objectName = row.control) and its caption label where it has
    // one (lVelocityLimit for seVelocityLimit).
    TSpinEdit *Spin(const TSpinRow &row, QWidget *parent);
    QComboBox *Combo(const TChoiceRow &row, QWidget *parent);
    TRadioGroup *Radio(const TChoiceRow &row, QWidget *parent);
    QCheckBox *Check(const TCheckRow &row, QWidget *parent);
    QLineEdit *Edit(const TEditRow &row, QWidget *parent);
    QGroupBox *Group(const TGroupRow &row, QWidget *parent);

    // The caption label of a spin edit, combo box, line edit or side-labelled radio group
    // (nullptr for the others).
    QLabel *Label(const QWidget *control) const;
    bool IsBound(const QWidget *control) const;
    int Count() const { return int(bindings_.size()); }

    void ApplyCaptions();                    // texts in the current language
    void RefreshCaption(QWidget *control);   // after a rule changed what captionFn gives
    // Every row's capability predicate, once: the flags are fixed while the dialog is open.
    void ApplyDeviceFlags(const TDeviceCaps &caps);
    // Every control from the image, in creation order. A control that cannot show its
    // value reports the error and the others still load.
    void LoadAll();
    void Load(QWidget *control);             // one control (rebuilds built items)
    void ApplyItemStates(QWidget *control);  // re-evaluates itemEnabled
    // Rule-owned visibility; the control shows when its capability predicate also allows it.
    void SetShown(QWidget *control, bool shown);
    bool ShownByFlags(const QWidget *control) const;
    void Store(QWidget *control);            // stores a pending user change now
    void FlushFocused();                     // the focused control's pending change, before OK
    void Unbind(QWidget *control);           // for rows that are removed and rebuilt

    // Errors of stores and loads are reported here (the error box by default).
    std::function<void(const QString &)> reportError;

private:
    enum class TKind { Spin, Combo, Radio, Check, Edit, Group };
    struct Binding;

    Binding *Find(const QObject *control) const;
    Binding &Add(TKind kind, QWidget *control, const TBiText &caption, const TCaptionFn &captionFn,
                 const TValueMap &map, const TCapsPredicate &caps, const std::function<void()> &after,
                 TStoreOn storeOn);
    void LoadBinding(Binding &b);
    void StoreBinding(Binding &b);
    void MarkEdited(QWidget *control);
    void FocusChanged(QWidget *old, QWidget *now);
    void UpdateVisibility(Binding &b);
    void ApplyItemStates(Binding &b);
    QLabel *MakeLabel(QWidget *parent, QWidget *buddy);
    QString CaptionOf(const Binding &b) const;

    TMK &mk_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    QHash<const QObject *, Binding *> index_;
    bool loading_ = false;
};
