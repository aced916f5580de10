#include "editor/MK_SetParamsDlg.h"

#include "base/Error.h"
#include "base/Lang.h"
#include "base/Prompts.h"
#include "catalogue/ProtsH.h"
#include "editor/Binder.h"
#include "editor/Widgets.h"
#include "model/MK.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct TPageDef {
    const char *name;
    TBiText caption;
};

// clang-format off
const TPageDef kMainPages[] = {
    {"tsCorr",        {"Поправки", "Correction"}},
    {"tsMeth",        {"Источники", "Resources"}},
    {"tsLim",         {"Границы", "Limits"}},
    {"tsDisp",        {"Дисплей", "Display"}},
    {"tsVoice",       {"Озвуч.сообщения", "Sounds"}},
    {"tsAver",        {"Средние", "Average"}},
    {"tsPark",        {"Парковка", "Parctronic"}},
    {"tsOil",         {"Бак", "Fuel"}},
    {"tsTO",          {"ТО", "TS"}},
    {"tsBlocks",      {"Допсистемы", "Add.systems"}},
    {"tsUniMeas",     {"Трим", "Uni.input/Trim"}},
    {"tsServiceInfo", {"Служ.информ.", "ServiceInfo"}},
};
// Pages with one text keep it in both languages.
const TPageDef kDisplayPages[] = {
    {"tsColor",     {"Цветовые схемы", "Color schemes"}},
    {"tsParams1",   {"Дисплеи х1", "Displays x 1"}},
    {"tsParams4",   {"Дисплеи х4", "Displays x 4"}},
    {"tsParams9",   {"Дисплеи х9", "Displays x 9"}},
    {"tsParams6",   {"Дисплей х6", "Displays x "}},
    {"tsParamsG",   {"Граф. дисплеи", "Граф. дисплеи"}},
    {"tsParamsA",   {"Стрел. дисплеи", "Стрел. дисплеи"}},
    {"tsHotMenu",   {"Горячие меню", "Hot menu"}},
    {"tsInfoPanel", {"Доп.панель", "Доп.панель"}},
    {"tsDivers",    {"Разное", "Divers"}},
};
// clang-format on

} // namespace

TMK_SetParamsDlg::TMK_SetParamsDlg(TMK &mk, QWidget *parent) : QDialog(parent), mk_(mk) {
    setObjectName(QStringLiteral("MK_SetParamsDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    binder_ = new TBinder(mk, this);

    pcMain = new QTabWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    for (const TPageDef &p : kMainPages) AddPage(pcMain, p.name, p.caption);

    pcDisp = new QTabWidget(pages_.value(QStringLiteral("tsDisp")));
    pcDisp->setObjectName(QStringLiteral("pcDisp"));
    for (const TPageDef &p : kDisplayPages) AddPage(pcDisp, p.name, p.caption);
    auto *dispLayout = new QVBoxLayout(pages_.value(QStringLiteral("tsDisp")));
    dispLayout->setContentsMargins(4, 4, 4, 4);
    dispLayout->addWidget(pcDisp);

    auto *buttons = new QDialogButtonBox(this);
    OKBtn = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pcMain, 1);
    layout->addWidget(buttons);

    BuildCorr(pages_.value(QStringLiteral("tsCorr")));
    BuildMeth(pages_.value(QStringLiteral("tsMeth")));
    BuildLim(pages_.value(QStringLiteral("tsLim")));

    setFixedSize(1021, 599);
}

TMK_SetParamsDlg::~TMK_SetParamsDlg() = default;

QWidget *TMK_SetParamsDlg::AddPage(QTabWidget *tabs, const char *name, const TBiText &caption) {
    auto *page = new QWidget(tabs);
    page->setObjectName(QLatin1String(name));
    tabs->addTab(page, caption.text());
    pages_.insert(QLatin1String(name), page);
    texts_.emplace_back(page, caption);
    return page;
}

void TMK_SetParamsDlg::SetPageShown(const char *name, bool shown) {
    QWidget *page = pages_.value(QLatin1String(name));
    if (!page) return;
    auto *tabs = qobject_cast<QTabWidget *>(page->parentWidget() ? page->parentWidget()->parentWidget() : nullptr);
    if (tabs) tabs->setTabVisible(tabs->indexOf(page), shown);
}

void TMK_SetParamsDlg::ApplyLanguage() {
    setWindowTitle(Bi("Настройки МК", "Device settings"));
    for (auto &[widget, caption] : texts_) {
        if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            box->setTitle(caption.text());
        } else if (auto *tabs = qobject_cast<QTabWidget *>(widget->parentWidget() ? widget->parentWidget()->parentWidget()
                                                                                  : nullptr)) {
            tabs->setTabText(tabs->indexOf(widget), caption.text());
        }
    }
    binder_->ApplyCaptions();
}

void TMK_SetParamsDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    try {
        ShowSequence();
    } catch (const Error &e) {
        Prompts().ShowError(e.message());
    }
}

void TMK_SetParamsDlg::ShowSequence() {
    const TDeviceCaps &caps = Prots().Caps;
    ApplyLanguage();
    ApplyDeviceFlags();
    pcMain->setCurrentIndex(0);
    pcDisp->setCurrentIndex(0);
    binder_->LoadAll();
    ApplyTrimBounds(false);
    SetPageShown("tsServiceInfo", false);
    binder_->SetShown(W<QWidget>("seAirTemperCorr"), !caps.NoAirTemperature);
    ApplyProtocolSelectRule();
    ApplyProtocolRules();
    ApplyInjectorRule();
    ApplyLockRule();
    ApplyCompensationRule();
    SetPageShown("tsParamsG", false);
    SetPageShown("tsParamsA", false);
    ApplyParameterNames();
}

void TMK_SetParamsDlg::ApplyDeviceFlags() {
    const TDeviceCaps &caps = Prots().Caps;
    SetPageShown("tsPark", !caps.NoParktronic);
    SetPageShown("tsBlocks", caps.HasAddSystems);
    SetPageShown("tsUniMeas", caps.HasUniInput || caps.HasTrim);
    binder_->ApplyVisibility();
    W<QWidget>("gbTrim")->setVisible(caps.HasTrim);
    // Battery limits of a 24 V vehicle.
    W<TSpinEdit>("seUaccLowLimit")->SetBounds(caps.Is24V ? 18.0 : 9.0, caps.Is24V ? 27.8 : 13.9);
    W<TSpinEdit>("seUaccHighLimit")->SetBounds(caps.Is24V ? 28.0 : 14.0, caps.Is24V ? 32.0 : 16.0);
}

void TMK_SetParamsDlg::accept() {
    // A control that still holds an edit stores it before the owner sees OK.
    binder_->FlushFocused();
    QDialog::accept();
}
