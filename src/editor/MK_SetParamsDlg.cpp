#include "editor/MK_SetParamsDlg.h"

#include "base/Error.h"
#include "base/Prompts.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/EditorPage.h"
#include "editor/PageAver.h"
#include "editor/PageBlocks.h"
#include "editor/PageColor.h"
#include "editor/PageCorr.h"
#include "editor/PageDivers.h"
#include "editor/PageHotMenu.h"
#include "editor/PageLim.h"
#include "editor/PageMeth.h"
#include "editor/PageOil.h"
#include "editor/PagePark.h"
#include "editor/PageScreens.h"
#include "editor/PageServiceInfo.h"
#include "editor/PageTO.h"
#include "editor/PageUniMeas.h"
#include "editor/PageVoice.h"
#include "model/MK.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

using TPageFactory = TEditorPage *(*)(TEditorContext &, QWidget *);

template <typename P> TEditorPage *Make(TEditorContext &ctx, QWidget *parent) { return new P(ctx, parent); }

struct TPageDef {
    const char *name;
    TBiText caption;
    TPageFactory make = Make<TEditorPage>;
    // Tabs shown by the device's flags; the others are always there.
    bool (*shown)(const TDeviceCaps &) = nullptr;
};

// clang-format off
const TPageDef kMainPages[] = {
    {"tsCorr",        {"Поправки", "Correction"}, Make<TPageCorr>},
    {"tsMeth",        {"Источники", "Resources"}, Make<TPageMeth>},
    {"tsLim",         {"Границы", "Limits"}, Make<TPageLim>},
    {"tsDisp",        {"Дисплей", "Display"}},
    {"tsVoice",       {"Озвуч.сообщения", "Sounds"}, Make<TPageVoice>},
    {"tsAver",        {"Средние", "Average"}, Make<TPageAver>},
    {"tsPark",        {"Парковка", "Parctronic"}, Make<TPagePark>, [](const TDeviceCaps &c) { return !c.NoParktronic; }},
    {"tsOil",         {"Бак", "Fuel"}, Make<TPageOil>},
    {"tsTO",          {"ТО", "TS"}, Make<TPageTO>},
    {"tsBlocks",      {"Допсистемы", "Add.systems"}, Make<TPageBlocks>, [](const TDeviceCaps &c) { return c.HasAddSystems; }},
    {"tsUniMeas",     {"Трим", "Uni.input/Trim"}, Make<TPageUniMeas>,
                      [](const TDeviceCaps &c) { return c.HasUniInput || c.HasTrim; }},
    // Filled but never shown.
    {"tsServiceInfo", {"Служ.информ.", "ServiceInfo"}, Make<TPageServiceInfo>, [](const TDeviceCaps &) { return false; }},
};
// Pages with one text keep it in both languages.
const TPageDef kDisplayPages[] = {
    {"tsColor",     {"Цветовые схемы", "Color schemes"}, Make<TPageColor>},
    {"tsParams1",   {"Дисплеи х1", "Displays x 1"}, Make<TPageParams1>},
    {"tsParams4",   {"Дисплеи х4", "Displays x 4"}, Make<TPageParams4>},
    {"tsParams9",   {"Дисплеи х9", "Displays x 9"}, Make<TPageParams9>},
    {"tsParams6",   {"Дисплей х6", "Displays x "}, Make<TPageParams6>},
    {"tsParamsG",   {"Граф. дисплеи", "Граф. дисплеи"}, Make<TEditorPage>, [](const TDeviceCaps &) { return false; }},
    {"tsParamsA",   {"Стрел. дисплеи", "Стрел. дисплеи"}, Make<TEditorPage>, [](const TDeviceCaps &) { return false; }},
    {"tsHotMenu",   {"Горячие меню", "Hot menu"}, Make<TPageHotMenu>},
    {"tsInfoPanel", {"Доп.панель", "Доп.панель"}, Make<TPageInfoPanel>},
    {"tsDivers",    {"Разное", "Divers"}, Make<TPageDivers>},
};
// clang-format on

} // namespace

TMK_SetParamsDlg::TMK_SetParamsDlg(TMK &mk, QWidget *parent) : QDialog(parent), mk_(mk) {
    setObjectName(QStringLiteral("MK_SetParamsDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    binder_ = new TBinder(mk, this);
    ctx_ = std::make_unique<TEditorContext>(mk, *binder_);
    ctx_->notify = [this](TEditorEvent event) {
        for (const TPageSlot &s : pages_) s.page->OnEvent(event);
    };
    ctx_->applyProtocolRules = [this] { ApplyProtocolRules(); };

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    const auto add = [this](QTabWidget *tabs, const TPageDef &def) {
        TEditorPage *page = def.make(*ctx_, tabs);
        page->setObjectName(QLatin1String(def.name));
        tabs->addTab(page, def.caption.text());
        pages_.push_back({page, tabs, def.caption});
        return page;
    };
    for (const TPageDef &def : kMainPages) {
        TEditorPage *page = add(pcMain, def);
        if (QLatin1String(def.name) != QLatin1String("tsDisp")) continue;
        pcDisp = new QTabWidget(page);
        pcDisp->setObjectName(QStringLiteral("pcDisp"));
        auto *dispLayout = new QVBoxLayout(page);
        dispLayout->setContentsMargins(4, 4, 4, 4);
        dispLayout->addWidget(pcDisp);
        for (const TPageDef &sub : kDisplayPages) add(pcDisp, sub);
    }
    connect(pcMain, &QTabWidget::currentChanged, this, [this] { PageActivated(pcMain); });
    connect(pcDisp, &QTabWidget::currentChanged, this, [this] { PageActivated(pcDisp); });

    // Standard buttons: their texts follow the language with Qt's translations.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OKBtn = buttons->button(QDialogButtonBox::Ok);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = buttons->button(QDialogButtonBox::Cancel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // The pages scroll where the screen is smaller than the dialog; OK and Cancel stay
    // below them in view. Where the dialog has its full size they never scroll: the page
    // area is at least what that size leaves them.
    pagesArea_ = new QScrollArea(this);
    pagesArea_->setObjectName(QStringLiteral("saPages"));
    pagesArea_->setFrameShape(QFrame::NoFrame);
    pagesArea_->setFocusPolicy(Qt::NoFocus);
    pagesArea_->setWidgetResizable(true);
    pagesArea_->setWidget(pcMain);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pagesArea_, 1);
    layout->addWidget(buttons);
    const QMargins m = layout->contentsMargins();
    pcMain->setMinimumSize(ClientSize.width() - m.left() - m.right(), ClientSize.height() - m.top() -
                                                                          m.bottom() - layout->spacing() -
                                                                          buttons->sizeHint().height());
    // The control that takes the focus comes into view whole (its top left where it is
    // larger than the view), however it got the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now || !pcMain->isAncestorOf(now)) return;
        const QRect r(now->mapTo(pcMain, QPoint(0, 0)), now->size());
        pagesArea_->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 8, r.height() / 2 + 8);
    });
    setFixedSize(ClientSize);

    // Page keys work from every control and go before it, so a list never takes them
    // for its own (Ctrl+PgDown would step a combo box).
    const auto keys = [this](std::initializer_list<QKeyCombination> combos, auto action) {
        for (QKeyCombination k : combos)
            connect(new QShortcut(QKeySequence(k), this), &QShortcut::activated, this, action);
    };
    keys({Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::Key_PageDown}, [this] { StepPage(1); });
    keys({Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab,
          Qt::CTRL | Qt::Key_PageUp},
         [this] { StepPage(-1); });
    keys(
        {Qt::CTRL | Qt::Key_Return, QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter)},
        [this] { accept(); });
}

void TMK_SetParamsDlg::StepPage(int step) {
    const int count = pcMain->count();
    int index = pcMain->currentIndex();
    for (int i = 0; i < count; ++i) {
        index = (index + step + count) % count;
        if (pcMain->isTabVisible(index) && pcMain->isTabEnabled(index)) break;
    }
    // The focus goes with the page: to the control last used there, or its first one.
    pcMain->setCurrentIndex(index);
}

QSize TMK_SetParamsDlg::FitSize(const QRect &available, const QMargins &frame) {
    return ClientSize.boundedTo(available.size().shrunkBy(frame)).expandedTo(QSize(160, 120));
}

void TMK_SetParamsDlg::FitToScreen() {
    const QWidget *near = parentWidget() ? parentWidget() : this;
    const QScreen *s = isVisible() ? screen() : near->screen();
    if (!s) return;
    // Before the window manager framed the window its frame is known only by the style.
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull() && !isVisible()) {
        const int edge = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
        frame =
            QMargins(edge, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + edge, edge, edge);
    }
    const QRect available = s->availableGeometry();
    setFixedSize(FitSize(available, frame));
    if (!isVisible()) return; // placing it is the dialog's own business when it shows
    // Kept on the screen as a whole, the title bar first.
    QRect f = frameGeometry();
    f.moveRight(std::min(f.right(), available.right()));
    f.moveBottom(std::min(f.bottom(), available.bottom()));
    f.moveLeft(std::max(f.left(), available.left()));
    f.moveTop(std::max(f.top(), available.top()));
    if (f.topLeft() != frameGeometry().topLeft()) move(f.topLeft());
}

void TMK_SetParamsDlg::setVisible(bool visible) {
    // Sized before Qt centres it, so the smaller dialog is centred too.
    if (visible && !isVisible()) FitToScreen();
    QDialog::setVisible(visible);
}

TMK_SetParamsDlg::~TMK_SetParamsDlg() {
    // Nothing may react to focus moves or page changes while the pages go, and they go
    // before the context they refer to.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    QObject::disconnect(qApp, nullptr, binder_, nullptr);
    for (const TPageSlot &s : pages_) QObject::disconnect(qApp, nullptr, s.page, nullptr);
    pcMain->disconnect(this);
    pcDisp->disconnect(this);
    ctx_->notify = nullptr;
    ctx_->applyProtocolRules = nullptr;
    pages_.clear();
    delete pcMain;
}

TEditorPage *TMK_SetParamsDlg::Page(const QString &name) const {
    for (const TPageSlot &s : pages_)
        if (s.page->objectName() == name) return s.page;
    return nullptr;
}

void TMK_SetParamsDlg::SetTabShown(const char *name, bool shown) {
    for (const TPageSlot &s : pages_)
        if (s.page->objectName() == QLatin1String(name)) s.tabs->setTabVisible(s.tabs->indexOf(s.page), shown);
}

void TMK_SetParamsDlg::ApplyLanguage() {
    setWindowTitle(Bi("Настройки МК", "Device settings"));
    for (const TPageSlot &s : pages_) s.tabs->setTabText(s.tabs->indexOf(s.page), s.caption.text());
    binder_->ApplyCaptions();
}

void TMK_SetParamsDlg::ApplyDeviceFlags() {
    const TDeviceCaps &caps = ctx_->caps;
    for (const TPageDef &def : kMainPages)
        if (def.shown) SetTabShown(def.name, def.shown(caps));
    for (const TPageDef &def : kDisplayPages)
        if (def.shown) SetTabShown(def.name, def.shown(caps));
    binder_->ApplyDeviceFlags(caps);
    for (const TPageSlot &s : pages_) s.page->ApplyDeviceFlags();
}

void TMK_SetParamsDlg::ApplyProtocolRules() {
    for (const TPageSlot &s : pages_) s.page->ApplyProtocolRules();
}

void TMK_SetParamsDlg::PageActivated(QTabWidget *tabs) {
    if (!shownOnce_) return;
    auto *page = qobject_cast<TEditorPage *>(tabs->currentWidget());
    if (!page) return;
    page->Activated();
    // The display page shows its current sub-page.
    if (tabs == pcMain && page->isAncestorOf(pcDisp))
        if (auto *sub = qobject_cast<TEditorPage *>(pcDisp->currentWidget())) sub->Activated();
}

void TMK_SetParamsDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // Now the frame is known, and the screen may change under it.
    FitToScreen();
    if (shownOnce_) return;
    connect(windowHandle(), &QWindow::screenChanged, this, [this] { FitToScreen(); });
    // No button is pressed by an Enter meant for a field or a list (the button box has just
    // made OK the default one).
    for (QPushButton *b : findChildren<QPushButton *>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    try {
        ShowSequence();
    } catch (const Error &e) {
        Prompts().ShowError(e.message());
    }
    shownOnce_ = true;
}

void TMK_SetParamsDlg::ShowSequence() {
    ApplyLanguage();
    ApplyDeviceFlags();
    pcMain->setCurrentIndex(0);
    pcDisp->setCurrentIndex(0);
    binder_->LoadAll();
    for (const TPageSlot &s : pages_) s.page->Load();
    ctx_->scheme = int(mk_.Get("ActiveColorScheme")) == 1 ? 1 : 0;
    ApplyProtocolRules();
    for (const TPageSlot &s : pages_) s.page->ApplyShowRules();
    for (const TPageSlot &s : pages_) s.page->FinishShow();
    ctx_->scheme = 0;
    mk_.SetDefaultColourSchemes();
}

void TMK_SetParamsDlg::keyPressEvent(QKeyEvent *event) {
    // What a field or a list did not take: Enter stays in the editor, except on a button,
    // which it presses, so only OK closes with OK.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button && button->isEnabled())
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMK_SetParamsDlg::accept() {
    // A control that still holds an edit stores it before the owner sees OK.
    binder_->FlushFocused();
    QDialog::accept();
}
