#include "link/ML_BD.h"

TMLBaseDevice::TMLBaseDevice(TMLMenu *firstMenu, TMLMenu *secondMenu)
    : FirstMenu(firstMenu), SecondMenu(secondMenu) {}

void TMLBaseDevice::CreateMenus() {
    if (FirstMenu && InFirstMenu) FirstMenuItem = FirstMenu->AddItem(Caption, {}, 0, {});
    if (SecondMenu && InSecondMenu) SecondMenuItem = SecondMenu->AddItem(Caption, {}, 0, {});
}

TMLMenu *TMLBaseDevice::AddMenuCommand(const QString &caption, const QString &shortcut,
                                       std::function<void()> handler, int helpContext) {
    if (!FirstMenuItem) return nullptr;
    const QString keys = shortcut.trimmed();
    const QKeySequence sequence = (keys.isEmpty() || keys == QLatin1String("(None)"))
                                      ? QKeySequence()
                                      : QKeySequence::fromString(keys, QKeySequence::PortableText);
    return FirstMenuItem->AddItem(caption, sequence, helpContext, std::move(handler));
}

void TMLBaseDevice::LoadSettings(TIniFile &) {}
void TMLBaseDevice::SaveSettings(TIniFile &) {}
void TMLBaseDevice::ActiveChanged() {}

void TMLBaseDevice::Activate() {
    Active = true;
    ActiveChanged();
}

void TMLBaseDevice::Deactivate() {
    Active = false;
    ActiveChanged();
}
