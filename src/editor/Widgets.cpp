#include "editor/Widgets.h"

#include "base/Lang.h"

#include <QAction>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

// --- spin edit ------------------------------------------------------------------------

TSpinEdit::TSpinEdit(QWidget *parent) : QDoubleSpinBox(parent) {
    setDecimals(0);
    setKeyboardTracking(false);
    setAccelerated(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] {
        if (showing_) return;
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
    setRange(std::min(min, value()), std::max(max, value()));
    if (value() >= min && value() <= max) setRange(min, max);
    showing_ = false;
}

void TSpinEdit::ShowValue(double value) {
    showing_ = true;
    setRange(std::min(min_, value), std::max(max_, value));
    setValue(value);
    showing_ = false;
}

bool TSpinEdit::Parse(const QString &text, double *value) const {
    QString t = text.trimmed();
    const QLocale l = locale();
    t.replace(l.negativeSign(), QStringLiteral("-"));
    t.replace(l.decimalPoint(), QStringLiteral("."));
    // Either key is a decimal point, whatever the locale: people type "3,2" as well as "3.2".
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression number(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = number.match(t);
    const QString whole = m.captured(2), fraction = m.captured(3);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty())) return false;
    // Rounded on the digits themselves, so that 0.25 gives 0.2 and 0.35 gives 0.4 to one
    // decimal, however their binary forms fall.
    const int d = decimals();
    bool ok = false;
    const QString digits = QStringLiteral("0") + whole + fraction.left(d).leftJustified(d, QLatin1Char('0'));
    qint64 n = digits.toLongLong(&ok);
    if (!ok) { // beyond every bound: it is pulled to the nearest one
        *value = t.toDouble(&ok);
        return ok && std::isfinite(*value);
    }
    // Beyond the digits shown: above half rounds up, exactly half to even.
    const QString rest = fraction.mid(d);
    if (!rest.isEmpty() && rest[0] >= QLatin1Char('5')) {
        static const QRegularExpression nonZero(QStringLiteral("[1-9]"));
        const bool half = rest[0] == QLatin1Char('5') && !rest.mid(1).contains(nonZero);
        if (!half || n % 2 == 1) ++n;
    }
    const double magnitude = double(n) / std::pow(10.0, d);
    *value = m.captured(1) == QLatin1String("-") && n != 0 ? -magnitude : magnitude;
    return true;
}

QValidator::State TSpinEdit::validate(QString &text, int &) const {
    double v = 0;
    // Every key stays as typed (one dropped would turn "1,5" into "15"); the end of the
    // edit judges the text.
    if (!Parse(text, &v)) return QValidator::Intermediate;
    // Beyond the bounds the text stays as typed too.
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString &text) const {
    double v = 0;
    if (Parse(text, &v)) {
        text = textFromValue(std::clamp(v, min_, max_));
        return;
    }
    refused_ = text.trimmed();
    hasRefused_ = true;
    text = textFromValue(value());
}

double TSpinEdit::valueFromText(const QString &text) const {
    double v = 0;
    return Parse(text, &v) ? v : value();
}

void TSpinEdit::ReportRefusal() {
    if (!hasRefused_) return;
    hasRefused_ = false;
    emit Refused(refused_);
}

void TSpinEdit::focusOutEvent(QFocusEvent *event) {
    QDoubleSpinBox::focusOutEvent(event);
    ReportRefusal();
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
    ReportRefusal(); // Enter ended the edit
}

void TSpinEdit::stepBy(int steps) {
    // Out of its bounds (a stored odd value), a step lands back inside them.
    if (value() < min_ || value() > max_) {
        const double v = std::clamp(value(), min_, max_);
        showing_ = true;
        setRange(min_, max_);
        setValue(v);
        showing_ = false;
        emit UserEdited();
        return;
    }
    QDoubleSpinBox::stepBy(steps);
    ReportRefusal(); // a step first ends the edit
}

// --- radio group ----------------------------------------------------------------------

namespace {

// The last widget that takes the focus before w in the focus chain (the group box
// itself takes none, and Qt orders only widgets that do).
QWidget *FocusBefore(QWidget *w) {
    for (QWidget *p = w->previousInFocusChain(); p && p != w; p = p->previousInFocusChain())
        if (p->focusPolicy() != Qt::NoFocus) return p;
    return nullptr;
}

} // namespace

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
    layout_ = new QGridLayout(this);
    layout_->setContentsMargins(6, 2, 6, 4);
    layout_->setHorizontalSpacing(10);
    layout_->setVerticalSpacing(2);
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::ItemClicked);
}

void TRadioGroup::SetItems(const QStringList &items, int columns) {
    columns = std::max(columns, 1);
    if (items == Items() && columns == columns_) return;
    const int keep = ItemIndex();
    // New buttons take the place of the old ones in the Tab order (also where a page
    // moved them), else the group's own.
    QWidget *before = FocusBefore(buttons_.isEmpty() ? static_cast<QWidget *>(this) : buttons_.first());
    if (buttons_.contains(before)) before = FocusBefore(this);
    for (QRadioButton *b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
    columns_ = columns;
    const int rows = std::max((int(items.size()) + columns - 1) / columns, 1);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        b->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
        group_->addButton(b, i);
        layout_->addWidget(b, i % rows, i / rows);
        if (before) QWidget::setTabOrder(before, b);
        before = b;
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

void ChainTabOrder(const QList<QWidget *> &controls) {
    QWidget *before = nullptr;
    for (QWidget *c : controls) {
        QList<QWidget *> stops{c};
        if (auto *g = qobject_cast<TRadioGroup *>(c)) {
            stops.clear();
            for (int i = 0; i < g->Count(); ++i)
                stops << g->Button(i);
        }
        for (QWidget *w : stops) {
            if (before) QWidget::setTabOrder(before, w);
            before = w;
        }
    }
}

// --- masked edits ---------------------------------------------------------------------

TMaskEdit::TMaskEdit(const QString &mask, QChar separator, QWidget *parent)
    : QLineEdit(parent), separator_(separator) {
    setInputMask(mask);
}

void TMaskEdit::keyPressEvent(QKeyEvent *event) {
    static const QString separators = QStringLiteral(",.:;/-");
    const QString text = event->text();
    if (text.size() == 1 && text[0] != separator_ && separators.contains(text[0]) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QKeyEvent asSeparator(event->type(), separator_ == QLatin1Char(':') ? Qt::Key_Colon : Qt::Key_Period,
                              event->modifiers(), QString(separator_), event->isAutoRepeat());
        QLineEdit::keyPressEvent(&asSeparator);
        event->setAccepted(asSeparator.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// --- date edit ------------------------------------------------------------------------

namespace {

// Drawn for each scale, so that it stays sharp on high-DPI screens.
QIcon CalendarIcon(const QPalette &palette) {
    QIcon icon;
    const QColor ink = palette.color(QPalette::Text);
    for (int scale : {1, 2, 3}) {
        QPixmap pm(16 * scale, 16 * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QPen(ink, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(QRectF(1.5, 2.5, 13, 12));
        p.fillRect(QRectF(1, 2, 14, 3), ink);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.fillRect(QRectF(3 + 3 * col, 7 + 2 * row, 2, 1), ink);
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

TDateEdit::TDateEdit(QWidget *parent) : TMaskEdit(QStringLiteral("99.99.99;_"), QLatin1Char('.'), parent) {
    QAction *pick = addAction(CalendarIcon(palette()), QLineEdit::TrailingPosition);
    pick->setObjectName(QStringLiteral("pickDate"));
    connect(pick, &QAction::triggered, this, &TDateEdit::OpenCalendar);
}

void TDateEdit::OpenCalendar() {
    QDialog dlg(this);
    dlg.setObjectName(QStringLiteral("DateSelectionDlg"));
    dlg.setWindowTitle(Bi("Выбор даты", "Date selection"));
    auto *calendar = new QCalendarWidget(&dlg);
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    const QDate shown = QDate::fromString(text(), QStringLiteral("dd.MM.yy")).addYears(100);
    if (shown.isValid()) calendar->setSelectedDate(shown);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    connect(calendar, &QCalendarWidget::activated, &dlg, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dlg);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    if (dlg.exec() != QDialog::Accepted) return;
    setText(calendar->selectedDate().toString(QStringLiteral("dd.MM.yy")));
    setFocus();
    emit DatePicked();
}
