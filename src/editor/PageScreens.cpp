#include "editor/PageScreens.h"

#include "base/Error.h"
#include "editor/PaintBox.h"
#include "editor/PreviewRefresh.h"
#include "model/MK.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Previews;

TPageScreens::TPageScreens(TEditorContext &context, QWidget *parent, TScreen screen, const char *menuName)
    : TEditorPage(context, parent), screen_(screen), menu_(new QMenu(this)) {
    menu_->setObjectName(QLatin1String(menuName));
    connect(menu_, &QMenu::triggered, this,
            [this](QAction *item) { ParameterChosen(uint8_t(item->data().toInt())); });
}

QWidget *TPageScreens::ScreenRow(QWidget *parent, const char *prefix, int first, int count, bool labelled) {
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (int tag = first; tag < first + count; ++tag) {
        auto *cell = new QVBoxLayout;
        layout->addLayout(cell);
        const QByteArray name = labelled ? prefix + QByteArray::number(tag + 1) : QByteArray(prefix);
        if (labelled) {
            auto *label = new QLabel(Bi("Дисплей %1", "Display %1").arg(tag + 1), row);
            label->setObjectName(QStringLiteral("l") + QLatin1String(name.mid(2)));
            cell->addWidget(label);
        }
        auto *box = new TPaintBox(name.constData(), row, tag);
        connect(box, &TPaintBox::RightClicked, this, [this, box](QPoint pos) { ScreenClicked(box, pos); });
        cell->addWidget(box);
        boxes_.append(box);
    }
    layout->addStretch(1);
    return row;
}

QLabel *TPageScreens::Hint(QWidget *parent) {
    auto *hint =
        new QLabel(Bi("Для изменения отображаемого параметра щелкните ПРАВОЙ кнопкой мыши в нужной части "
                      "соответствующего дисплея.",
                      "To change the displayed parameter, RIGHT-click on the appropriate part of the "
                      "corresponding display."),
                   parent);
    hint->setObjectName(QStringLiteral("lHint_") + objectName());
    hint->setWordWrap(true);
    return hint;
}

void TPageScreens::Activated() {
    Refresh();
}

void TPageScreens::Refresh() {
    TPreviewRefresh refresh(ctx);
    QWidget *visible = subPages_ ? subPages_->currentWidget() : this;
    for (TPaintBox *box : boxes_) {
        if (!visible->isAncestorOf(box)) continue;
        refresh.Draw(box, [&] { Draw(mk, screen_, ctx.scheme, StoredFields(mk, screen_, box->Tag())); });
    }
}

void TPageScreens::ScreenClicked(TPaintBox *box, QPoint pos) {
    const int field = FieldAt(screen_, box->width(), box->height(), pos.x(), pos.y());
    if (field < 0) return;
    clickedScreen_ = box->Tag();
    clickedField_ = field;
    const TFieldAddress at = StoredField(screen_, clickedScreen_, field);
    const int64_t current = mk.Get(at.name, at.index);

    // The single screen's bottom fields offer a fixed set, the others what the protocol displays.
    std::span<const uint8_t> codes = SingleScreenMenuCodes(ctx.caps.HasTrim);
    if (screen_ != TScreen::SinglePanel)
        codes = ctx.Protocol() ? ctx.Protocol()->DispList() : std::span<const uint8_t>();
    menu_->clear();
    for (const uint8_t code : codes) {
        const TMeasParBase *par = mk.FindParameter(code);
        if (!par) continue;
        QAction *item = menu_->addAction(par->Name);
        item->setData(int(code));
        item->setCheckable(true);
        item->setChecked(code == current);
    }
    if (!menu_->isEmpty()) menu_->popup(box->mapToGlobal(pos));
}

void TPageScreens::ParameterChosen(uint8_t code) {
    if (clickedScreen_ < 0 || clickedField_ < 0) return;
    const TFieldAddress at = StoredField(screen_, clickedScreen_, clickedField_);
    try {
        mk.Set(at.name, code, at.index);
    } catch (const RangeError &e) {
        b.reportError(e.message());
        return;
    }
    Refresh();
    ctx.Notify(TEditorEvent::ParametersChanged);
}

// --- the pages ----------------------------------------------------------------------------

namespace {

QVBoxLayout *PageLayout(QWidget *page) {
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 6, 4, 4);
    layout->setSpacing(6);
    return layout;
}

} // namespace

TPageParams1::TPageParams1(TEditorContext &context, QWidget *parent)
    : TPageScreens(context, parent, TScreen::SinglePanel, "pmDisp1") {
    setObjectName(QStringLiteral("tsParams1"));
    QVBoxLayout *layout = PageLayout(this);
    layout->addWidget(Hint(this));
    layout->addWidget(ScreenRow(this, "pbDig1", 0, 1, false));
    layout->addStretch(1);
}

TPageParams4::TPageParams4(TEditorContext &context, QWidget *parent)
    : TPageScreens(context, parent, TScreen::X4, "pmDisp4") {
    setObjectName(QStringLiteral("tsParams4"));
    QVBoxLayout *layout = PageLayout(this);
    layout->addWidget(Hint(this));
    subPages_ = new QTabWidget(this);
    subPages_->setObjectName(QStringLiteral("pcParams4"));
    subPages_->addTab(ScreenRow(nullptr, "pbDigit4_", 0, 3, true), Bi("Дисплеи 1 .. 3", "Displays 1..3"));
    subPages_->addTab(ScreenRow(nullptr, "pbDigit4_", 3, 3, true), Bi("Дисплеи 4 .. 6", "Displays 4..6"));
    subPages_->widget(0)->setObjectName(QStringLiteral("tsParams4_1"));
    subPages_->widget(1)->setObjectName(QStringLiteral("tsParams4_2"));
    layout->addWidget(subPages_);
    layout->addStretch(1);
    connect(subPages_, &QTabWidget::currentChanged, this, [this] { Refresh(); });
}

void TPageParams4::Load() {
    subPages_->setCurrentIndex(0);
}

TPageParams9::TPageParams9(TEditorContext &context, QWidget *parent)
    : TPageScreens(context, parent, TScreen::X9, "pmDisp9") {
    setObjectName(QStringLiteral("tsParams9"));
    QVBoxLayout *layout = PageLayout(this);
    layout->addWidget(Hint(this));
    layout->addWidget(ScreenRow(this, "pbDigit9_", 0, 3, true));
    layout->addStretch(1);
}

TPageParams6::TPageParams6(TEditorContext &context, QWidget *parent)
    : TPageScreens(context, parent, TScreen::X6, "pmDisp6") {
    setObjectName(QStringLiteral("tsParams6"));
    QVBoxLayout *layout = PageLayout(this);
    layout->addWidget(Hint(this));
    layout->addWidget(ScreenRow(this, "pbDigit6_", 0, 2, true));
    layout->addStretch(1);
}

TPageInfoPanel::TPageInfoPanel(TEditorContext &context, QWidget *parent) : TEditorPage(context, parent) {
    QVBoxLayout *layout = PageLayout(this);
    layout->addWidget(new TPaintBox("pbInfoPanel", this));
    layout->addStretch(1);
}
