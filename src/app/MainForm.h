#pragma once
// TMainForm: the four-step main window. It owns the program's one settings image
// (and, once the link exists, its one serial link) for the whole run.

#include "base/Lang.h"
#include "base/Prompts.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class TInstanceChannel;
class TJustOne;
class TMK;
class TML_RS;
class TPortDialogs;
class TPortDirectory;
class TDeviceTransfer;

// A file dialog as the window describes it: filter, default extension, folder.
class TFileDialogSpec : public QObject {
    Q_OBJECT
public:
    TFileDialogSpec(QObject *owner, const QString &name, bool mustExist);
    TFileDialogOptions Options;
};

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The single-instance guard; false means another copy already runs.
    bool OwnsInstance() const;

    TMK *MK() const { return mk_.get(); }
    // The serial link, created when the window is first shown.
    TML_RS *Link() const { return link_.get(); }
    // Before the window is first shown: the ports the link will use (a simulator in
    // tests); without it, the system's ports.
    void SetPortDirectory(std::unique_ptr<TPortDirectory> ports);
    // A device transfer is running: the window takes no other command and stays open.
    bool Busy() const { return busy_; }
    bool SettingsModified = false;
    uint8_t DeviceAddress = 244;
    uint32_t DeviceMemorySize = 8192;

    void ApplyLanguage();
    // What "Read settings from a file" does once the file is chosen (also a file given
    // on the command line).
    void LoadSettingsFile(const QString &path);
    // A file named on the command line: resolved now, against the folder the user
    // started from (the window makes its own folder current when shown), and loaded
    // once the window is up.
    void OpenAtStart(const QString &argument);
    // A file dropped on the window or handed over by a second copy: loaded after the
    // unsaved-changes question.
    void OpenHandedFile(const QString &path);

    // The last settings files loaded or saved, newest first (at most RecentCount).
    static constexpr int RecentCount = 8;
    const QStringList &RecentFiles() const { return recent_; }
    // What the window holds: the settings file, or "COMn" after a device read; empty
    // when nothing is loaded.
    const QString &Source() const { return source_; }
    void ShowAbout();
    // Raises Error when the file cannot be written.
    void SaveSettingsToFile();

    // Enables or disables the edit, journal, save and write buttons together.
    void SetImageButtonsEnabled(bool enabled);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7;
    QPushButton *bRS232, *bGetParams, *bLoadParams, *bEditParams, *bViewJournals, *bSaveParams, *bSetParams;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5;
    QCheckBox *cbEnglishVersion;
    QLabel *Image1;
    // Additions around the steps: the status line under them, the recent-files menu
    // beside the load button, and the about button.
    QLabel *lStatus;
    QToolButton *bRecentFiles, *bAbout;
    QMenu *RecentMenu;
    TFileDialogSpec *OpenDialog1, *SaveDialog1;
    TJustOne *JustOne1;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormShow();
    void FormCloseQuery();
    void FormClose();
    void AskToSaveChanges();

    void bRS232Click();
    void bGetParamsClick();
    void bSetParamsClick();
    void bLoadParamsClick();
    void bEditParamsClick();
    void bViewJournalsClick();
    void cbEnglishVersionClick();

    // Runs a command; an error it does not handle goes to the application's error box.
    // An error the command showed, or one that escaped it, becomes the status line.
    void Guard(const std::function<void()> &command);

    // The title names what is loaded; [*] marks unsaved changes.
    void UpdateTitle();
    // The status line, kept as a text pair so that it follows the language.
    void SetStatus(const TBiText &text, const QStringList &args = {});
    void SetFailedStatus(const QString &error);
    void ShowStatus();
    QString ModelText() const;
    void AddRecent(const QString &path);
    void FillRecentMenu();
    void OpenRecent(const QString &path);

    void BuildControls();
    static QString ProgramFolder();

    // The transfer with the progress window over this one: of the settings image, or of mk.
    TDeviceTransfer MakeTransfer();
    TDeviceTransfer MakeTransfer(TMK &mk);
    // An ordinary write of a backup file's image (after a write was cut off), without a
    // backup of its own.
    void WriteBackup(const QString &path);
    // Everything but the progress window's Cancel is shut while a transfer runs.
    void SetBusy(bool busy);

    std::unique_ptr<TPortDirectory> ports_;
    std::unique_ptr<TML_RS> link_;
    std::unique_ptr<TPortDialogs> portDialogs_;
    std::unique_ptr<TMK> mk_;
    bool busy_ = false;
    QString source_;
    QStringList recent_;
    TBiText status_{"", ""};
    QStringList statusArgs_;
    QString statusError_;
    int statusTick_ = 0;
    TInstanceChannel *channel_ = nullptr;
    bool shown_ = false;
    bool closed_ = false;
};
