#include "editor/Binder.h"

#include "base/Error.h"
#include "base/Prompts.h"
#include "base/Rounding.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QRadioButton>
#include <cmath>

// --- value maps -------------------------------------------------------------------------

TValueMap Map::Field(const char *field, double scale, int offset, int index) {
    return {[=](const TMK &mk) { return double(mk.Get(field, index) - offset) / scale; },
            [=](TMK &mk, double value) { mk.Set(field, RoundHalfEven(value * scale) + offset, index); }};
}

TValueMap Map::Bit(const char *field, int bit, bool inverted) {
    return {[=](const TMK &mk) { return double(mk.Bit(field, bit) != inverted); },
            [=](TMK &mk, double value) { mk.SetBit(field, bit, (value != 0) != inverted); }};
}

TValueMap Map::PercentFactor(const char *field) {
    return {[=](const TMK &mk) {
                // The small shift keeps a factor stored for x.x % (a hair off in single
                // precision) showing x.x % again.
                const double factor = mk.GetFloat(field);
                const double d = factor >= 1 ? 0.00001 : -0.00001;
                return double(RoundHalfEven((factor + d - 1) * 1000)) / 10;
            },
            [=](TMK &mk, double value) {
                if (!std::isfinite(value)) throw RangeError(QStringLiteral("Range check error"));
                mk.SetFloat(field, float(value / 100 + 1));
            }};
}

TValueMap Map::Table(const char *field, std::vector<int> stored, int fallbackItem) {
    return {[=](const TMK &mk) {
                const int64_t v = mk.Get(field);
                for (size_t i = 0; i < stored.size(); ++i)
                    if (stored[i] == v) return double(i);
                return double(fallbackItem);
            },
            [=](TMK &mk, double item) {
                const auto i = size_t(item);
                if (item < 0 || i >= stored.size()) throw RangeError(QStringLiteral("Range check error"));
                mk.Set(field, stored[i]);
            }};
}

// --- binder -------------------------------------------------------------------------------

TBinder::TBinder(TMK &mk, QObject *parent) : QObject(parent), mk_(mk) {
    reportError = [](const QString &text) { Prompts().ShowError(text); };
}

TBinder::Binding *TBinder::Find(const QWidget *control) {
    for (Binding &b : bindings_)
        if (b.control == control) return &b;
    return nullptr;
}

const TBinder::Binding *TBinder::Find(const QWidget *control) const {
    return const_cast<TBinder *>(this)->Find(control);
}

TBinder::Binding &TBinder::Add(QWidget *control, const TBiText &caption, const TValueMap &map,
                               const TPredicate &shown, const std::function<void()> &after) {
    Binding b;
    b.control = control;
    b.caption = caption;
    b.map = map;
    b.shown = shown;
    b.after = after;
    bindings_.push_back(std::move(b));
    return bindings_.back();
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

namespace {

// Store-on-focus-out: watch the control and its child buttons.
class TFocusOutWatcher : public QObject {
public:
    TFocusOutWatcher(QWidget *control, std::function<void()> onFocusOut)
        : QObject(control), onFocusOut_(std::move(onFocusOut)) {
        control->installEventFilter(this);
        for (QWidget *child : control->findChildren<QWidget *>()) child->installEventFilter(this);
    }
    void Watch(QWidget *w) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::FocusOut) onFocusOut_();
        return false;
    }

private:
    std::function<void()> onFocusOut_;
};

} // namespace

TSpinEdit *TBinder::Spin(const TSpinRow &row, QWidget *parent) {
    auto *w = new TSpinEdit(parent);
    w->setObjectName(QLatin1String(row.control));
    w->setDecimals(row.decimals);
    w->setSingleStep(row.step);
    w->SetBounds(row.min, row.max);
    w->SetArrowsOnly(row.arrowsOnly);
    w->setMinimumWidth(72);
    w->setAlignment(Qt::AlignRight);
    Binding &b = Add(w, row.caption, row.map, row.shown, row.after);
    b.label = MakeLabel(parent, w);
    connect(w, &TSpinEdit::UserEdited, this, [this, w, storeOn = row.storeOn] {
        if (loading_) return;
        if (Binding *x = Find(w)) {
            x->pending = true;
            if (storeOn == TStoreOn::Change) StoreBinding(*x);
        }
    });
    connect(w, &QAbstractSpinBox::editingFinished, this, [this, w] { Store(w); });
    return w;
}

QComboBox *TBinder::Combo(const TChoiceRow &row, QWidget *parent) {
    auto *w = new QComboBox(parent);
    w->setObjectName(QLatin1String(row.control));
    w->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    w->setMinimumContentsLength(6);
    Binding &b = Add(w, row.caption, row.map, row.shown, row.after);
    b.items = row.items;
    b.build = row.build;
    b.label = MakeLabel(parent, w);
    connect(w, &QComboBox::activated, this, [this, w, storeOn = row.storeOn] {
        if (Binding *x = Find(w)) {
            x->pending = true;
            if (storeOn == TStoreOn::Change) StoreBinding(*x);
        }
    });
    if (row.storeOn == TStoreOn::FocusOut) new TFocusOutWatcher(w, [this, w] { Store(w); });
    return w;
}

TRadioGroup *TBinder::Radio(const TChoiceRow &row, QWidget *parent) {
    auto *w = new TRadioGroup(parent);
    w->setObjectName(QLatin1String(row.control));
    Binding &b = Add(w, row.caption, row.map, row.shown, row.after);
    b.items = row.items;
    b.build = row.build;
    w->setProperty("columns", row.columns);
    QStringList texts;
    for (const TBiText &t : row.items) texts << t.text();
    w->SetItems(texts, row.columns);
    connect(w, &TRadioGroup::ItemClicked, this, [this, w, storeOn = row.storeOn] {
        if (Binding *x = Find(w)) {
            x->pending = true;
            if (storeOn == TStoreOn::Change) StoreBinding(*x);
        }
    });
    if (row.storeOn == TStoreOn::FocusOut) new TFocusOutWatcher(w, [this, w] { Store(w); });
    return w;
}

QCheckBox *TBinder::Check(const TCheckRow &row, QWidget *parent) {
    auto *w = new QCheckBox(parent);
    w->setObjectName(QLatin1String(row.control));
    Add(w, row.caption, row.map, row.shown, row.after);
    connect(w, &QCheckBox::clicked, this, [this, w] {
        if (Binding *x = Find(w)) {
            x->pending = true;
            StoreBinding(*x);
        }
    });
    return w;
}

QLabel *TBinder::Label(const QWidget *control) const {
    const Binding *b = Find(control);
    return b ? b->label.data() : nullptr;
}

void TBinder::ApplyCaptions() {
    for (Binding &b : bindings_) {
        if (!b.control) continue;
        const QString text = b.caption.text();
        if (b.label) b.label->setText(text);
        else if (auto *c = qobject_cast<QCheckBox *>(b.control)) c->setText(text);
        else if (auto *g = qobject_cast<TRadioGroup *>(b.control)) g->setTitle(text);
        // Fixed item lists follow the language; built ones are rebuilt at load.
        if (!b.build && !b.items.isEmpty()) {
            QStringList items;
            for (const TBiText &t : b.items) items << t.text();
            if (auto *c = qobject_cast<QComboBox *>(b.control)) {
                const int index = c->currentIndex();
                c->clear();
                c->addItems(items);
                c->setCurrentIndex(index);
            } else if (auto *g = qobject_cast<TRadioGroup *>(b.control)) {
                g->SetItems(items, g->property("columns").toInt());
            }
        }
    }
}

void TBinder::LoadAll() {
    for (Binding &b : bindings_) LoadBinding(b);
}

void TBinder::Load(QWidget *control) {
    if (Binding *b = Find(control)) LoadBinding(*b);
}

void TBinder::LoadBinding(Binding &b) {
    if (!b.control) return;
    loading_ = true;
    b.pending = false;
    const double value = b.map.load(mk_);
    const int index = int(value);
    if (auto *s = qobject_cast<TSpinEdit *>(b.control)) {
        s->ShowValue(value);
    } else if (auto *c = qobject_cast<QComboBox *>(b.control)) {
        if (b.build) {
            c->clear();
            c->addItems(b.build());
        }
        // An index without an item shows as no selection.
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
    } else if (auto *g = qobject_cast<TRadioGroup *>(b.control)) {
        if (b.build) {
            const QStringList items = b.build();
            const int columns = g->property("columns").toInt();
            g->SetItems(items, columns > 0 ? columns : int(items.size())); // 0: one row
        }
        g->SetItemIndex(index);
    } else if (auto *x = qobject_cast<QCheckBox *>(b.control)) {
        x->setChecked(value != 0);
    }
    loading_ = false;
}

void TBinder::Store(QWidget *control) {
    Binding *b = Find(control);
    if (b && b->pending) StoreBinding(*b);
}

void TBinder::StoreBinding(Binding &b) {
    if (!b.control) return;
    double value = 0;
    if (auto *s = qobject_cast<TSpinEdit *>(b.control)) {
        s->interpretText();
        value = s->value();
    } else if (auto *c = qobject_cast<QComboBox *>(b.control)) {
        value = c->currentIndex();
    } else if (auto *g = qobject_cast<TRadioGroup *>(b.control)) {
        value = g->ItemIndex();
    } else if (auto *x = qobject_cast<QCheckBox *>(b.control)) {
        value = x->isChecked() ? 1 : 0;
    }
    b.pending = false;
    if (value < 0) return; // nothing picked
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
    for (Binding &b : bindings_)
        if (b.control && focus && (b.control == focus || b.control->isAncestorOf(focus)) && b.pending)
            StoreBinding(b);
}

void TBinder::ApplyVisibility() {
    for (Binding &b : bindings_)
        if (b.control && b.shown) SetShown(b.control, b.shown());
}

void TBinder::SetShown(QWidget *control, bool shown) {
    control->setVisible(shown);
    if (const Binding *b = Find(control); b && b->label) b->label->setVisible(shown);
}
