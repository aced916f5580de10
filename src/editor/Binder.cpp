#include "editor/Binder.h"

#include "base/Cp1251.h"
#include "base/Error.h"
#include "base/Prompts.h"
#include "base/Rounding.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void RangeCheckError() { throw RangeError(QStringLiteral("Range check error")); }

// A control value as an integer of the field, refusing what no 64-bit integer holds.
int64_t Scaled(double value, double scale, int offset) {
    const double v = value * scale;
    if (!std::isfinite(v) || std::fabs(v) > 9.0e15) RangeCheckError();
    return RoundHalfEven(v) + offset;
}

// An item index from a loaded value; anything without an item becomes -1.
int ToIndex(double value) { return value >= 0 && value < 1.0e6 ? int(value) : -1; }

} // namespace

// --- value maps -------------------------------------------------------------------------

TValueMap Map::Field(TAddr at, double scale, int offset) {
    return {[=](const TMK &mk) {
                const TFieldAt a = at();
                return QVariant(double(mk.Get(a.field, a.index) - offset) / scale);
            },
            [=](TMK &mk, const QVariant &value) {
                const TFieldAt a = at();
                mk.Set(a.field, Scaled(value.toDouble(), scale, offset), a.index);
            }};
}

TValueMap Map::Bit(TAddr at, int bit, bool inverted) {
    return {[=](const TMK &mk) {
                const TFieldAt a = at();
                return QVariant(double(mk.Bit(a.field, bit, a.index) != inverted));
            },
            [=](TMK &mk, const QVariant &value) {
                const TFieldAt a = at();
                mk.SetBit(a.field, bit, (value.toDouble() != 0) != inverted, a.index);
            }};
}

TValueMap Map::MaskBit(const char *field, int bit) { return Bit(TAddr(field, bit / 32), bit % 32); }

TValueMap Map::Bits(TAddr at, int shift, int width) {
    const uint64_t mask = (uint64_t(1) << width) - 1;
    return {[=](const TMK &mk) {
                const TFieldAt a = at();
                return QVariant(double((uint64_t(mk.Get(a.field, a.index)) >> shift) & mask));
            },
            [=](TMK &mk, const QVariant &value) {
                const TFieldAt a = at();
                const int64_t v = Scaled(value.toDouble(), 1, 0);
                if (v < 0 || uint64_t(v) > mask) RangeCheckError();
                const TFieldDesc &f = TMK::Field(a.field);
                const uint64_t raw = uint64_t(mk.Get(a.field, a.index));
                uint64_t merged = (raw & ~(mask << shift)) | (uint64_t(v) << shift);
                // Keep a signed field's sign: the merged bits are a raw pattern of its width.
                if (f.IsSigned() && (merged >> (8 * f.ElementSize() - 1)) & 1u)
                    merged |= ~uint64_t(0) << (8 * f.ElementSize());
                mk.Set(a.field, int64_t(merged), a.index);
            }};
}

TValueMap Map::PercentFactor(const char *field) {
    return {[=](const TMK &mk) {
                // The small shift keeps a factor stored for x.x % (a hair off in single
                // precision) showing x.x % again.
                const double factor = mk.GetFloat(field);
                const double d = factor >= 1 ? 0.00001 : -0.00001;
                const double tenths = (factor + d - 1) * 1000;
                // A factor of a damaged file shows as far out as a spin edit can show it.
                if (std::isnan(tenths)) return QVariant(0.0);
                if (std::fabs(tenths) > 1.0e13) return QVariant(std::copysign(1.0e12, tenths));
                return QVariant(double(RoundHalfEven(tenths)) / 10);
            },
            [=](TMK &mk, const QVariant &value) {
                const double v = value.toDouble();
                const double factor = v / 100 + 1;
                if (!std::isfinite(v) || std::fabs(factor) > 3.0e38) RangeCheckError();
                mk.SetFloat(field, float(factor));
            }};
}

TValueMap Map::Table(TAddr at, std::vector<int> stored, int fallbackItem) {
    return {[=](const TMK &mk) {
                const TFieldAt a = at();
                const int64_t v = mk.Get(a.field, a.index);
                for (size_t i = 0; i < stored.size(); ++i)
                    if (stored[i] == v) return QVariant(double(i));
                return QVariant(double(fallbackItem));
            },
            [=](TMK &mk, const QVariant &item) {
                const TFieldAt a = at();
                const double i = item.toDouble();
                if (!(i >= 0 && i < double(stored.size()))) RangeCheckError();
                mk.Set(a.field, stored[size_t(i)], a.index);
            }};
}

TValueMap Map::Text(const char *field, int offset, int size) {
    return {[=](const TMK &mk) {
                QByteArray bytes = mk.GetBytes(field).mid(offset, size);
                const qsizetype zero = bytes.indexOf('\0');
                if (zero >= 0) bytes.truncate(zero);
                return QVariant(Cp1251::Decode(bytes));
            },
            [=](TMK &mk, const QVariant &value) {
                const QByteArray text = Cp1251::Encode(value.toString());
                if (text.size() > size - 1) RangeCheckError();
                QByteArray all = mk.GetBytes(field);
                if (offset < 0 || offset + size > all.size()) RangeCheckError();
                QByteArray padded = text;
                padded.resize(size, '\0');
                all.replace(offset, size, padded);
                mk.SetBytes(field, all);
            }};
}

// --- texts of times and dates ---------------------------------------------------------------

QString TimeText::FromMinutes(int minutes) {
    // Minutes after midnight; a stored value beyond a day wraps (1500 shows 01:00).
    const int m = ((minutes % 1440) + 1440) % 1440;
    return QStringLiteral("%1:%2").arg(m / 60 % 24, 2, 10, QLatin1Char('0')).arg(m % 60, 2, 10, QLatin1Char('0'));
}

int TimeText::ToMinutes(const QString &text) {
    if (text.size() < 3 || text[2] != QLatin1Char(':')) return 0;
    const int hours = text.left(2).trimmed().toInt();
    const QString m = text.mid(3, 2).trimmed();
    // One digit of the minutes may be 3 or 30: the user has to say.
    if (m.size() == 1)
        throw RangeError(QStringLiteral("Range check error: \"%1\" is not a time").arg(text.trimmed()));
    const int minutes = m.toInt();
    const int total = hours * 60 + minutes;
    if (total > 32767) RangeCheckError();
    return total;
}

QString DateText::FromDayNumber(int64_t number) {
    if (number <= 0 || number > 36525 + 1) RangeCheckError(); // 2000 … 2099
    const TDate d = TMK::DecodeDayNumber(uint32_t(number));
    return QStringLiteral("%1.%2.%3")
        .arg(d.day, 2, 10, QLatin1Char('0'))
        .arg(d.month, 2, 10, QLatin1Char('0'))
        .arg(d.year % 100, 2, 10, QLatin1Char('0'));
}

uint32_t DateText::ToDayNumber(const QString &text) {
    // Characters 1-2 the day, 4-5 the month, 7-8 the year.
    bool okDay = false, okMonth = false, okYear = false;
    const int day = text.mid(0, 2).toInt(&okDay);
    const int month = text.mid(3, 2).toInt(&okMonth);
    const int year = text.mid(6, 2).toInt(&okYear);
    if (!okDay || !okMonth || !okYear || text.size() != 8 || !QDate(2000 + year, month, day).isValid())
        RangeCheckError();
    return TMK::DayNumber({day, month, year});
}

// --- binder -------------------------------------------------------------------------------

struct TBinder::Binding {
    TKind kind;
    QPointer<QWidget> control;
    QPointer<QLabel> label;
    TBiText caption;
    TCaptionFn captionFn;
    TValueMap map;
    QList<TBiText> items;
    TItemsBuilder build;
    std::function<bool(int)> itemEnabled;
    TBoundsFn bounds;
    TCapsPredicate caps;
    std::function<void()> after;
    TStoreOn storeOn = TStoreOn::Default;
    TEditKind editKind = TEditKind::Text;
    int columns = 1;
    bool shownByFlags = true;
    bool shownByRules = true;
    bool pending = false; // the user changed it since the last load or store
};

TBinder::TBinder(TMK &mk, QObject *parent) : QObject(parent), mk_(mk) {
    reportError = [](const QString &text) { Prompts().ShowError(text); };
    // One watch for every control that stores on losing focus, buttons rebuilt later included.
    connect(qApp, &QApplication::focusChanged, this, &TBinder::FocusChanged);
}

TBinder::~TBinder() = default;

TBinder::Binding *TBinder::Find(const QObject *control) const { return index_.value(control, nullptr); }

bool TBinder::IsBound(const QWidget *control) const { return Find(control) != nullptr; }

TBinder::Binding &TBinder::Add(TKind kind, QWidget *control, const TBiText &caption, const TCaptionFn &captionFn,
                               const TValueMap &map, const TCapsPredicate &caps, const std::function<void()> &after,
                               TStoreOn storeOn) {
    auto b = std::make_unique<Binding>();
    b->kind = kind;
    b->control = control;
    b->caption = caption;
    b->captionFn = captionFn;
    b->map = map;
    b->caps = caps;
    b->after = after;
    b->storeOn = storeOn;
    Binding &ref = *b;
    index_.insert(control, b.get());
    bindings_.push_back(std::move(b));
    connect(control, &QObject::destroyed, this, [this](QObject *o) { Unbind(static_cast<QWidget *>(o)); });
    return ref;
}

void TBinder::Unbind(QWidget *control) {
    Binding *b = index_.take(control);
    if (!b) return;
    if (b->label && b->label != control) b->label->deleteLater();
    for (auto it = bindings_.begin(); it != bindings_.end(); ++it)
        if (it->get() == b) {
            bindings_.erase(it);
            break;
        }
}

QLabel *TBinder::MakeLabel(QWidget *parent, QWidget *buddy) {
    auto *l = new QLabel(parent);
    // seVelocityLimit's label is lVelocityLimit: the kind prefix gives way to "l".
    QString name = buddy->objectName();
    while (!name.isEmpty() && name.front().isLower()) name.remove(0, 1);
    l->setObjectName(QStringLiteral("l") + name);
    l->setBuddy(buddy);
    return l;
}

void TBinder::MarkEdited(QWidget *control) {
    if (loading_) return;
    Binding *b = Find(control);
    if (!b) return;
    b->pending = true;
    const bool now = b->storeOn == TStoreOn::Change ||
                     (b->storeOn == TStoreOn::Default && (b->kind == TKind::Combo || b->kind == TKind::Radio ||
                                                          b->kind == TKind::Check)) ||
                     (b->storeOn == TStoreOn::Click && b->kind != TKind::Spin && b->kind != TKind::Edit);
    if (now) StoreBinding(*b);
}

void TBinder::FocusChanged(QWidget *old, QWidget *now) {
    if (!old || loading_) return;
    std::vector<QWidget *> leaving;
    for (const auto &b : bindings_)
        if (b->pending && b->control && (b->control == old || b->control->isAncestorOf(old)) &&
            !(now && (b->control == now || b->control->isAncestorOf(now))))
            leaving.push_back(b->control);
    for (QWidget *w : leaving) Store(w);
}

TSpinEdit *TBinder::Spin(const TSpinRow &row, QWidget *parent) {
    auto *w = new TSpinEdit(parent);
    w->setObjectName(QLatin1String(row.control));
    w->setDecimals(row.decimals);
    w->setSingleStep(row.step);
    w->SetBounds(row.min, row.max);
    w->SetArrowsOnly(row.arrowsOnly);
    w->setMinimumWidth(72);
    w->setAlignment(Qt::AlignRight);
    // Stores at every change also while typing: the value follows each keystroke.
    w->setKeyboardTracking(row.storeOn == TStoreOn::Change);
    Binding &b = Add(TKind::Spin, w, row.caption, row.captionFn, row.map, row.caps, row.after, row.storeOn);
    b.bounds = row.bounds;
    b.label = MakeLabel(parent, w);
    b.label->setText(CaptionOf(b));
    connect(w, &TSpinEdit::UserEdited, this, [this, w] { MarkEdited(w); });
    connect(w, &QAbstractSpinBox::editingFinished, this, [this, w] { Store(w); });
    // Text that is no number is refused like a value that does not fit; the field stays.
    connect(w, &TSpinEdit::Refused, this, [this](const QString &text) {
        reportError(QStringLiteral("Range check error: \"%1\" is not a number").arg(text));
    });
    return w;
}

QComboBox *TBinder::Combo(const TChoiceRow &row, QWidget *parent) {
    auto *w = new QComboBox(parent);
    w->setObjectName(QLatin1String(row.control));
    w->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w->setMinimumContentsLength(6);
    Binding &b = Add(TKind::Combo, w, row.caption, row.captionFn, row.map, row.caps, row.after, row.storeOn);
    b.items = row.items;
    b.build = row.build;
    b.itemEnabled = row.itemEnabled;
    b.label = MakeLabel(parent, w);
    b.label->setText(CaptionOf(b));
    for (const TBiText &t : row.items) w->addItem(t.text());
    connect(w, &QComboBox::activated, this, [this, w] { MarkEdited(w); });
    return w;
}

TRadioGroup *TBinder::Radio(const TChoiceRow &row, QWidget *parent) {
    auto *w = new TRadioGroup(parent);
    w->setObjectName(QLatin1String(row.control));
    Binding &b = Add(TKind::Radio, w, row.caption, row.captionFn, row.map, row.caps, row.after, row.storeOn);
    b.items = row.items;
    b.build = row.build;
    b.itemEnabled = row.itemEnabled;
    b.columns = row.columns;
    if (row.sideLabel) {
        b.label = MakeLabel(parent, w);
        b.label->setText(CaptionOf(b));
    } else {
        w->setTitle(CaptionOf(b));
    }
    QStringList texts;
    for (const TBiText &t : row.items) texts << t.text();
    w->SetItems(texts, row.columns > 0 ? row.columns : int(texts.size()));
    ApplyItemStates(b);
    connect(w, &TRadioGroup::ItemClicked, this, [this, w] { MarkEdited(w); });
    return w;
}

QCheckBox *TBinder::Check(const TCheckRow &row, QWidget *parent) {
    auto *w = new QCheckBox(parent);
    w->setObjectName(QLatin1String(row.control));
    Binding &b = Add(TKind::Check, w, row.caption, row.captionFn, row.map, row.caps, row.after, row.storeOn);
    w->setText(CaptionOf(b));
    connect(w, &QCheckBox::clicked, this, [this, w] { MarkEdited(w); });
    return w;
}

QLineEdit *TBinder::Edit(const TEditRow &row, QWidget *parent) {
    QLineEdit *w = nullptr;
    switch (row.kind) {
    case TEditKind::Date: {
        auto *d = new TDateEdit(parent);
        connect(d, &TDateEdit::DatePicked, this, [this, d] { MarkEdited(d); });
        w = d;
        break;
    }
    case TEditKind::Time:
        w = new TMaskEdit(QStringLiteral("99:99;_"), QLatin1Char(':'), parent);
        break;
    case TEditKind::Text:
        w = new QLineEdit(parent);
        w->setMaxLength(row.maxLength);
        break;
    }
    w->setObjectName(QLatin1String(row.control));
    Binding &b = Add(TKind::Edit, w, row.caption, row.captionFn, row.map, row.caps, row.after, row.storeOn);
    b.editKind = row.kind;
    b.label = MakeLabel(parent, w);
    b.label->setText(CaptionOf(b));
    connect(w, &QLineEdit::textEdited, this, [this, w] { MarkEdited(w); });
    connect(w, &QLineEdit::returnPressed, this, [this, w] { Store(w); });
    return w;
}

QGroupBox *TBinder::Group(const TGroupRow &row, QWidget *parent) {
    auto *w = new QGroupBox(parent);
    w->setObjectName(QLatin1String(row.control));
    Add(TKind::Group, w, row.caption, {}, {}, row.caps, {}, TStoreOn::Default);
    w->setTitle(row.caption.text());
    return w;
}

QLabel *TBinder::Label(const QWidget *control) const {
    const Binding *b = Find(control);
    return b ? b->label.data() : nullptr;
}

QString TBinder::CaptionOf(const Binding &b) const { return b.captionFn ? b.captionFn() : b.caption.text(); }

void TBinder::RefreshCaption(QWidget *control) {
    Binding *b = Find(control);
    if (!b) return;
    const QString text = CaptionOf(*b);
    if (b->label) b->label->setText(text);
    else if (auto *c = qobject_cast<QCheckBox *>(control)) c->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(control)) g->setTitle(text);
}

void TBinder::ApplyCaptions() {
    for (const auto &b : bindings_) {
        if (!b->control) continue;
        RefreshCaption(b->control);
        // Fixed item lists follow the language; built ones are rebuilt at load.
        if (b->build || b->items.isEmpty()) continue;
        QStringList items;
        for (const TBiText &t : b->items) items << t.text();
        if (auto *c = qobject_cast<QComboBox *>(b->control)) {
            for (int i = 0; i < c->count() && i < items.size(); ++i) c->setItemText(i, items[i]);
        } else if (auto *g = qobject_cast<TRadioGroup *>(b->control)) {
            g->SetItems(items, g->Columns());
            ApplyItemStates(*b);
        }
    }
}

void TBinder::ApplyDeviceFlags(const TDeviceCaps &caps) {
    for (const auto &b : bindings_) {
        if (!b->control) continue;
        b->shownByFlags = !b->caps || b->caps(caps);
        UpdateVisibility(*b);
    }
}

void TBinder::LoadAll() {
    std::vector<QPointer<QWidget>> controls;
    for (const auto &b : bindings_) controls.emplace_back(b->control);
    QStringList errors;
    for (const QPointer<QWidget> &c : controls) {
        if (!c) continue;
        try {
            Load(c);
        } catch (const Error &e) {
            errors << QStringLiteral("%1: %2").arg(c->objectName(), e.message());
        }
    }
    if (!errors.isEmpty()) reportError(errors.join(QLatin1Char('\n')));
}

void TBinder::Load(QWidget *control) {
    if (Binding *b = Find(control)) LoadBinding(*b);
}

void TBinder::LoadBinding(Binding &b) {
    if (!b.control || b.kind == TKind::Group) return;
    // Whatever happens, loading ends here: a throwing load must not leave later user
    // changes ignored.
    struct Guard {
        bool &flag;
        bool saved;
        ~Guard() { flag = saved; }
    } guard{loading_, loading_};
    loading_ = true;
    b.pending = false;
    switch (b.kind) {
    case TKind::Spin: {
        auto *s = static_cast<TSpinEdit *>(b.control.data());
        if (b.bounds) {
            const TBounds bounds = b.bounds();
            s->SetBounds(bounds.first, bounds.second);
        }
        s->ShowValue(b.map.load(mk_).toDouble());
        break;
    }
    case TKind::Combo: {
        auto *c = static_cast<QComboBox *>(b.control.data());
        if (b.build) {
            const QStringList items = b.build();
            QStringList current;
            for (int i = 0; i < c->count(); ++i) current << c->itemText(i);
            if (items != current) {
                c->clear();
                c->addItems(items);
            }
        }
        ApplyItemStates(b);
        const int index = ToIndex(b.map.load(mk_).toDouble());
        // An index without an item shows as no selection.
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
        break;
    }
    case TKind::Radio: {
        auto *g = static_cast<TRadioGroup *>(b.control.data());
        if (b.build) {
            const QStringList items = b.build();
            g->SetItems(items, b.columns > 0 ? b.columns : int(items.size()));
        }
        ApplyItemStates(b);
        g->SetItemIndex(ToIndex(b.map.load(mk_).toDouble()));
        break;
    }
    case TKind::Check:
        static_cast<QCheckBox *>(b.control.data())->setChecked(b.map.load(mk_).toDouble() != 0);
        break;
    case TKind::Edit: {
        auto *e = static_cast<QLineEdit *>(b.control.data());
        e->clear();
        const QVariant v = b.map.load(mk_);
        switch (b.editKind) {
        case TEditKind::Text: e->setText(v.toString()); break;
        case TEditKind::Date: e->setText(DateText::FromDayNumber(int64_t(v.toDouble()))); break;
        case TEditKind::Time: e->setText(TimeText::FromMinutes(int(v.toDouble()))); break;
        }
        break;
    }
    case TKind::Group: break;
    }
}

void TBinder::ApplyItemStates(QWidget *control) {
    if (Binding *b = Find(control)) ApplyItemStates(*b);
}

void TBinder::ApplyItemStates(Binding &b) {
    if (!b.itemEnabled || !b.control) return;
    if (auto *g = qobject_cast<TRadioGroup *>(b.control)) {
        for (int i = 0; i < g->Count(); ++i) g->SetItemEnabled(i, b.itemEnabled(i));
    } else if (auto *c = qobject_cast<QComboBox *>(b.control)) {
        for (int i = 0; i < c->count(); ++i)
            c->setItemData(i, b.itemEnabled(i) ? QVariant() : QVariant(0), Qt::UserRole - 1);
    }
}

void TBinder::Store(QWidget *control) {
    Binding *b = Find(control);
    if (b && b->pending) StoreBinding(*b);
}

void TBinder::StoreBinding(Binding &b) {
    if (!b.control || loading_) return;
    QVariant value;
    switch (b.kind) {
    case TKind::Spin: {
        auto *s = static_cast<TSpinEdit *>(b.control.data());
        s->interpretText();
        value = s->value();
        break;
    }
    case TKind::Combo: value = double(static_cast<QComboBox *>(b.control.data())->currentIndex()); break;
    case TKind::Radio: value = double(static_cast<TRadioGroup *>(b.control.data())->ItemIndex()); break;
    case TKind::Check: value = static_cast<QCheckBox *>(b.control.data())->isChecked() ? 1.0 : 0.0; break;
    case TKind::Edit: {
        auto *e = static_cast<QLineEdit *>(b.control.data());
        // The blanks of a mask stay as spaces so that positions keep their meaning.
        const QString text = e->inputMask().isEmpty() ? e->text() : e->displayText().replace(QLatin1Char('_'), QLatin1Char(' '));
        b.pending = false;
        try {
            switch (b.editKind) {
            case TEditKind::Text: value = text; break;
            case TEditKind::Date: value = double(DateText::ToDayNumber(text)); break;
            case TEditKind::Time: value = double(TimeText::ToMinutes(text)); break;
            }
        } catch (const RangeError &e) {
            reportError(e.message());
            try {
                LoadBinding(b);
            } catch (const Error &) {
                // The field itself cannot be shown either (day number 0): the control stays as it is.
            }
            return;
        }
        break;
    }
    case TKind::Group: return;
    }
    b.pending = false;
    // Only a choice without a selection is "nothing picked".
    if ((b.kind == TKind::Combo || b.kind == TKind::Radio) && value.toDouble() < 0) return;
    try {
        b.map.store(mk_, value);
    } catch (const RangeError &e) {
        reportError(e.message());
        LoadBinding(b); // show what the field still holds
        return;
    }
    if (b.after) b.after();
}

void TBinder::FlushFocused() {
    QWidget *focus = QApplication::focusWidget();
    if (!focus) return;
    std::vector<QWidget *> pending;
    for (const auto &b : bindings_)
        if (b->control && b->pending && (b->control == focus || b->control->isAncestorOf(focus)))
            pending.push_back(b->control);
    for (QWidget *w : pending) Store(w);
}

void TBinder::UpdateVisibility(Binding &b) {
    const bool shown = b.shownByFlags && b.shownByRules;
    b.control->setVisible(shown);
    if (b.label) b.label->setVisible(shown);
    // A layout that is not on screen passes no size change up: every box around the
    // control forgets its size now, so a page shown later has no room left for hidden rows.
    for (QWidget *w = b.control->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) w->updateGeometry();
}

void TBinder::SetShown(QWidget *control, bool shown) {
    if (Binding *b = Find(control)) {
        b->shownByRules = shown;
        UpdateVisibility(*b);
    } else {
        control->setVisible(shown);
    }
}

bool TBinder::ShownByFlags(const QWidget *control) const {
    const Binding *b = Find(control);
    return !b || b->shownByFlags;
}
