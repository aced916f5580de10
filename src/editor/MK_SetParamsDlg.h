#pragma once
// TMK_SetParamsDlg: the modal, tabbed settings editor. It keeps no copy of its own:
// every control writes straight into the settings image when the user leaves or
// clicks it. OK and Cancel are decided by the owner (TMK::EditSettings), which takes a
// snapshot before and puts it back on Cancel.

#include "base/Lang.h"

#include <QDialog>
#include <QMap>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TBinder;
class TMK;
class TRadioGroup;
class TSpinEdit;
class TProtBase;

class TMK_SetParamsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMK_SetParamsDlg(TMK &mk, QWidget *parent = nullptr);
    ~TMK_SetParamsDlg() override;

    TBinder &Binder() { return *binder_; }
    QTabWidget *pcMain = nullptr;
    QTabWidget *pcDisp = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Rules that depend on the current protocol; re-run after every protocol change.
    void ApplyProtocolRules();
    void ApplyInjectorRule();

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *AddPage(QTabWidget *tabs, const char *name, const TBiText &caption);
    void SetPageShown(const char *name, bool shown);
    void ShowSequence();
    void ApplyLanguage();
    void ApplyDeviceFlags();

    // Pages.
    void BuildCorr(QWidget *page);
    void BuildMeth(QWidget *page);
    void BuildLim(QWidget *page);

    // Rules of the sources page.
    QStringList SpeedSources() const;
    QStringList TankMethods() const;
    QStringList ProtocolSelectMethods() const;
    void ApplySpeedSourceRule();
    void KeepSpeedSourceWithLock();
    void ApplyLockRule();
    void ApplyCompensationRule();
    void ApplyProtocolSelectRule();
    void ApplyParameterNames();
    void ProtocolLeft();
    void ChangeProtocol(int index);
    void ApplyTrimBounds(bool afterEdit);

    TMK &mk_;
    TBinder *binder_;
    QMap<QString, QWidget *> pages_;
    // Page captions and group titles outside the binder.
    std::vector<std::pair<QWidget *, TBiText>> texts_;
    bool shownOnce_ = false;

    // The current protocol; nullptr when the model offers none.
    const TProtBase *Protocol() const;
    bool InjectorInUse() const;
    int Kind() const;

    // Controls the rules reach for by name.
    template <typename T> T *W(const char *name) const { return findChild<T *>(QLatin1String(name)); }
};
