#include "editor/ShowDisplaysBox.h"

#include "model/MK.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// A titled box of check boxes, bit n of field for box n, laid out column by column.
QGroupBox *BitGroup(TBinder &b, const char *group, TBiText title, const char *prefix, const char *field,
                    const QList<TBiText> &captions, int rows, QWidget *parent,
                    const std::function<TCapsPredicate(int)> &caps = {}) {
    QGroupBox *box = b.Group({.control = group, .caption = title}, parent);
    auto *grid = new QGridLayout(box);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(0);
    for (int n = 0; n < captions.size(); ++n) {
        const QByteArray name = prefix + QByteArray::number(n);
        QCheckBox *check = b.Check({.control = name.constData(),
                                    .caption = captions[n],
                                    .map = Map::Bit(field, n),
                                    .caps = caps ? caps(n) : TCapsPredicate{}},
                                   box);
        grid->addWidget(check, n % rows, n / rows);
    }
    return box;
}

QList<TBiText> Numbered(int count) {
    static constexpr TBiText numbers[] = {{"#1", "#1"}, {"#2", "#2"}, {"#3", "#3"},
                                          {"#4", "#4"}, {"#5", "#5"}, {"#6", "#6"}};
    return QList<TBiText>(std::begin(numbers), std::begin(numbers) + count);
}

// Graph and arrow screens are not offered: their boxes exist, hidden, and store nothing.
QGroupBox *HiddenGroup(const char *group, const QString &title, const char *prefix, QWidget *parent) {
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(group));
    auto *column = new QVBoxLayout(box);
    for (int n = 0; n < 8; ++n) {
        auto *check = new QCheckBox(QStringLiteral("#%1").arg(n + 1), box);
        check->setObjectName(QLatin1String(prefix) + QString::number(n));
        column->addWidget(check);
    }
    box->hide();
    return box;
}

} // namespace

TShowDisplaysBox::TShowDisplaysBox(TEditorContext &context, QWidget *parent)
    : QGroupBox(parent), ctx(context) {
    setObjectName(QStringLiteral("gbShowDisp"));
    setTitle(Bi("Показывать дисплеи", "Show displays"));
    TBinder &b = ctx.binder;
    // The fixed screens, the averages below them, then the protocol's x1 parameters,
    // which scroll where the column is short.
    auto *rows = new QVBoxLayout(this);
    auto *fixed = new QHBoxLayout;
    rows->addLayout(fixed);
    fixed->addWidget(
        BitGroup(b, "gbShowDisp4", {"x4", "x4"}, "cbShowDisp_4_", "ShowDisp4", Numbered(6), 3, this), 0,
        Qt::AlignTop);
    fixed->addWidget(
        BitGroup(b, "gbShowDisp9", {"x9", "x9"}, "cbShowDisp_9_", "ShowDisp9", Numbered(3), 3, this), 0,
        Qt::AlignTop);
    fixed->addWidget(
        BitGroup(b, "gbShowDisp6", {"x6", "x6"}, "cbShowDisp_6_", "ShowDisp6", Numbered(2), 3, this), 0,
        Qt::AlignTop);
    fixed->addWidget(HiddenGroup("gbShowDispG", QStringLiteral("Графики"), "cbShowDisp_G_", this));
    fixed->addWidget(HiddenGroup("gbShowDispA", QStringLiteral("Стрелки"), "cbShowDisp_A_", this));
    fixed->addStretch(1);
    const QList<TBiText> averages = {
        {"Поездка", "Trip"},        {"Сброс 1", "Reset1"},    {"Сброс 2", "Reset2"},
        {"Общие", "Total"},         {"В пробках", "In jams"}, {"Без пробок", "In traffic"},
        {"Таксометр", "Taximeter"}, {"Бензин", "Petrol"},     {"Газ", "Gas"}};
    rows->addWidget(BitGroup(b, "gbShowDispS", {"Средние", "Средние"}, "cbShowDisp_S_", "ShowDispS", averages,
                             3, this,
                             [](int n) -> TCapsPredicate {
                                 switch (n) {
                                 case 4:
                                 case 5:
                                     return [](const TDeviceCaps &c) { return !c.NoJamStatistics; };
                                 case 6:
                                     return [](const TDeviceCaps &c) { return c.HasTaximeter; };
                                 case 7:
                                 case 8:
                                     return [](const TDeviceCaps &c) { return !c.NoGas; };
                                 default:
                                     return {};
                                 }
                             }),
                    0, Qt::AlignLeft);

    QGroupBox *gbShowDisp1 = b.Group({.control = "gbShowDisp1", .caption = {"x1", "x1"}}, this);
    rows->addWidget(gbShowDisp1, 1);
    auto *frame = new QVBoxLayout(gbShowDisp1);
    frame->setContentsMargins(2, 2, 2, 2);
    auto *scroll = new QScrollArea(gbShowDisp1);
    scroll->setObjectName(QStringLiteral("sbShowDisp1"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Not a stop of its own: Tab goes from box to box and scrolls the one it reaches into view.
    scroll->setFocusPolicy(Qt::NoFocus);
    frame->addWidget(scroll);
    auto *list = new QWidget(scroll);
    auto *listColumn = new QVBoxLayout(list);
    listColumn->setContentsMargins(6, 2, 6, 2);
    x1Grid_ = new QGridLayout;
    x1Grid_->setHorizontalSpacing(12);
    x1Grid_->setVerticalSpacing(0);
    listColumn->addLayout(x1Grid_);
    listColumn->addStretch(1);
    for (int n = 0; n < X1Boxes; ++n) {
        const QByteArray name = "cbShowDisp_1_" + QByteArray::number(n);
        cbShowDisp_1[size_t(n)] = b.Check({.control = name.constData(),
                                           .caption = {"", ""},
                                           .map = Map::MaskBit("ShowDisp1", n),
                                           .captionFn = [this, n] { return X1Caption(n); }},
                                          list);
        x1Grid_->addWidget(cbShowDisp_1[size_t(n)], n, 0);
    }
    scroll->setWidget(list);
    // A few rows at least, whatever the column leaves.
    scroll->setMinimumHeight(6 * cbShowDisp_1[0]->sizeHint().height());
}

QString TShowDisplaysBox::X1Caption(int box) const {
    const TProtBase *p = ctx.Protocol();
    if (!p || box >= p->DispParamCount) return {};
    const uint8_t code = p->DispParams[size_t(box)];
    const TMeasParBase *par = ctx.mk.FindParameter(code);
    return par ? par->Name : QString::number(code);
}

void TShowDisplaysBox::ApplyX1Rule() {
    TBinder &b = ctx.binder;
    const TProtBase *p = ctx.Protocol();
    const int count = p ? p->DispParamCount : 0;
    for (int n = 0; n < X1Boxes; ++n) {
        QCheckBox *box = cbShowDisp_1[size_t(n)];
        if (n >= count) {
            // Unchecking a box clears its bit, as a click would.
            ctx.mk.SetBit("ShowDisp1", n % 32, false, n / 32);
        }
        b.Load(box);
        b.RefreshCaption(box);
        b.SetShown(box, n < count);
    }
    // Two columns of equal length, in the protocol's order down each column.
    const int rows = std::max(1, (std::min(count, X1Boxes) + 1) / 2);
    for (int n = 0; n < X1Boxes; ++n) {
        x1Grid_->removeWidget(cbShowDisp_1[size_t(n)]);
        x1Grid_->addWidget(cbShowDisp_1[size_t(n)], n % rows, n / rows);
    }
}

void TShowDisplaysBox::RefreshX1Captions() {
    for (QCheckBox *box : cbShowDisp_1)
        ctx.binder.RefreshCaption(box);
}

void TShowDisplaysBox::OnEvent(TEditorEvent event) {
    if (event == TEditorEvent::ProtocolChanged) ApplyX1Rule();
    if (event == TEditorEvent::TemperatureLabelChanged) RefreshX1Captions();
}
