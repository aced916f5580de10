#pragma once
// TMLBaseDevice: what every device of the link library has: a section of its own in
// the configuration file, optional menu items and an active flag.

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>

class TIniFile;

// A menu the link may add commands to. The windows provide it; the link itself
// knows no widgets.
class TMLMenu {
public:
    virtual ~TMLMenu() = default;
    // Adds an item; the result can carry items of its own. An empty onClick adds an
    // item that does nothing when clicked.
    virtual TMLMenu *AddItem(const QString &caption, const QKeySequence &shortcut, int helpContext,
                             std::function<void()> onClick) = 0;
};

class TMLBaseDevice : public QObject {
public:
    // Either menu may be absent; the program itself creates its link without menus.
    explicit TMLBaseDevice(TMLMenu *firstMenu = nullptr, TMLMenu *secondMenu = nullptr);
    ~TMLBaseDevice() override = default;

    bool Active = false;
    QString SectionName;
    bool InFirstMenu = false;
    TMLMenu *FirstMenu = nullptr; // not owned
    TMLMenu *FirstMenuItem = nullptr;
    TMLMenu *SecondMenu = nullptr; // not owned
    bool InSecondMenu = false;
    TMLMenu *SecondMenuItem = nullptr;
    QString Caption;

    // Adds an item captioned Caption under each menu that was given and asked for.
    void CreateMenus();
    // Adds a command under FirstMenuItem; nullptr when there is none. The shortcut
    // text is in the portable form ("Ctrl+P"); "(None)" or empty means no shortcut.
    TMLMenu *AddMenuCommand(const QString &caption, const QString &shortcut, std::function<void()> handler,
                            int helpContext);

    virtual void LoadSettings(TIniFile &ini);
    virtual void SaveSettings(TIniFile &ini);
    // Called after every change of Active.
    virtual void ActiveChanged();
    virtual void Activate();
    virtual void Deactivate();
};
