#pragma once
// TMK_SetParamsDlg: the modal, tabbed settings editor. It keeps no copy of its own:
// every control writes straight into the settings image when the user leaves or
// clicks it. OK and Cancel are decided by the owner (TMK::EditSettings), which takes a
// snapshot before and puts it back on Cancel.
//
// The dialog owns only the tabs, their order and captions, OK/Cancel and the show
// sequence; each tab is a page class (EditorPage.h) sharing one editor context.
//
// Keys: Ctrl+Tab and Ctrl+PgDown bring the next main page to the front, Ctrl+Shift+Tab
// and Ctrl+PgUp the previous one, from any control (inside the display page too); the
// display sub-pages are reached by Tab to their tab row, then the arrow keys. Enter stores
// the field it is pressed in, Ctrl+Enter is OK, Escape is Cancel.

#include "base/Lang.h"

#include <QDialog>
#include <QSize>
#include <memory>
#include <vector>

class QPushButton;
class QScrollArea;
class QTabWidget;
class TBinder;
class TEditorContext;
class TEditorPage;
class TMK;

class TMK_SetParamsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMK_SetParamsDlg(TMK &mk, QWidget *parent = nullptr);
    ~TMK_SetParamsDlg() override;

    TBinder &Binder() { return *binder_; }
    TEditorContext &Context() { return *ctx_; }
    // A page by its name (tsCorr, tsColor …); nullptr for an unknown name.
    TEditorPage *Page(const QString &name) const;

    // The client area wherever the screen holds it.
    static constexpr QSize ClientSize{1021, 599};
    // The client size on a screen with this much room and a frame of these margins.
    static QSize FitSize(const QRect &available, const QMargins &frame);

    QTabWidget *pcMain = nullptr;
    QTabWidget *pcDisp = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // Every page's protocol rules, in page order; re-run after every protocol change.
    void ApplyProtocolRules();

    void accept() override;
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct TPageSlot {
        TEditorPage *page;
        QTabWidget *tabs;
        TBiText caption;
    };

    void ShowSequence();
    void ApplyLanguage();
    void ApplyDeviceFlags();
    void SetTabShown(const char *name, bool shown);
    void PageActivated(QTabWidget *tabs);
    // The next (or previous) main page that is shown, round the end.
    void StepPage(int step);
    void FitToScreen();

    TMK &mk_;
    TBinder *binder_;
    QScrollArea *pagesArea_ = nullptr;
    std::unique_ptr<TEditorContext> ctx_;
    std::vector<TPageSlot> pages_; // page order: the main tabs, the display sub-pages after tsDisp
    bool shownOnce_ = false;
};
