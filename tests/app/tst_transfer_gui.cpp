// The main window's device commands with the progress window, the port and
// baud-rate dialogs, and the link's start-up and shut-down, against an in-process
// simulated trip computer.

#include "FakePrompts.h"
#include "SimSerialPort.h"
#include "TestEnv.h"
#include "app/IniFls.h"
#include "app/MainForm.h"
#include "app/PassW.h"
#include "app/Progress.h"
#include "base/Lang.h"
#include "link/ML_RS232.h"
#include "link/ML_RS232_SetNumDlg.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const char *const kImageButtons[] = {"bEditParams", "bViewJournals", "bSaveParams", "bSetParams"};
const char *const kCommands[] = {"bRS232", "bGetParams", "bLoadParams", "cbEnglishVersion"};
const QString kBusy = QStringLiteral("Устройство занято. Возможно, оно находится в режиме местного управления.");

// Works the modal dialog of type D once it is up.
template <typename D> void WhenDialogShows(const std::function<void(D &)> &act) {
    QTimer::singleShot(0, [act] {
        auto *dlg = qobject_cast<D *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        act(*dlg);
    });
}

// The state of the window and its progress window at one moment of a transfer.
struct TSnapshot {
    bool taken = false;
    bool progressVisible = false;
    QString label;
    int gauge = -1;
    bool gaugeVisible = false;
    bool cancelVisible = false;
    QPoint centreOffset;
    bool busy = false;
    QStringList enabledCommands;
    bool closeRefused = false;
};

} // namespace

class TestTransferGui : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readFillsImageAndEnablesButtons_data();
    void readFillsImageAndEnablesButtons();
    void cancelWhileConnectingChangesNothing_data();
    void cancelWhileConnectingChangesNothing();
    void readErrorDisablesButtons();
    void writeLeavesButtonsAndShowsOutcome();
    void cutOffWriteOffersTheBackup_data();
    void cutOffWriteOffersTheBackup();
    void noProgressBehindTheLastBox_data();
    void noProgressBehindTheLastBox();
    void failedWriteKeepsEditsForSaving();
    void linkStartUpAndShutDown_data();
    void linkStartUpAndShutDown();
    void portDialog();
    void portDialogBehindTheGate();
    void baudRateDialog();

private:
    TMainForm &Show(const QList<int> &ports = {1});
    TSimLine &Line(int n) { return ports_->Line(n); }
    bool ImageButtons(bool enabled) const;
    bool CommandsEnabled() const;
    TSnapshot Snapshot();
    void LoadFile();

    TSimDevice device_;
    TSimPortDirectory *ports_ = nullptr; // owned by the window's link
    std::unique_ptr<TMainForm> form_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFakePrompts> prompts_;
    QString ini_;
    QByteArray backups_; // TRIPCONF_BACKUPS as the test run set it
};

void TestTransferGui::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    ini_ = dir_->filePath(QStringLiteral("tripconf.ini"));
    qputenv("TRIPCONF_INI", ini_.toLocal8Bit());
    backups_ = qgetenv("TRIPCONF_BACKUPS");
    qputenv("TRIPCONF_BACKUPS", QFile::encodeName(dir_->filePath(QStringLiteral("backups"))));
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
    device_ = TSimDevice();
}

void TestTransferGui::cleanup() {
    if (form_) {
        form_->SettingsModified = false;
        form_->close();
    }
    form_.reset();
    prompts_.reset();
    dir_.reset();
    qunsetenv("TRIPCONF_INI");
    qputenv("TRIPCONF_BACKUPS", backups_);
}

TMainForm &TestTransferGui::Show(const QList<int> &ports) {
    form_ = std::make_unique<TMainForm>();
    auto directory = std::make_unique<TSimPortDirectory>();
    ports_ = directory.get();
    for (int n : ports)
        ports_->Attach(n, &device_);
    form_->SetPortDirectory(std::move(directory));
    form_->show();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(form_.get());
    return *form_;
}

bool TestTransferGui::ImageButtons(bool enabled) const {
    for (const char *name : kImageButtons)
        if (form_->findChild<QWidget *>(QLatin1String(name))->isEnabled() != enabled) return false;
    return true;
}

bool TestTransferGui::CommandsEnabled() const {
    for (const char *name : kCommands)
        if (!form_->findChild<QWidget *>(QLatin1String(name))->isEnabled()) return false;
    return true;
}

TSnapshot TestTransferGui::Snapshot() {
    TSnapshot s;
    s.taken = true;
    if (auto *p = form_->findChild<TProgressForm *>()) {
        s.progressVisible = p->isVisible();
        s.label = p->ProgressLabel->text();
        s.gauge = p->ProgressGauge->value();
        s.gaugeVisible = p->ProgressGauge->isVisible();
        s.cancelVisible = p->BitBtn1->isVisible();
        s.centreOffset = p->geometry().center() - form_->geometry().center();
    }
    s.busy = form_->Busy();
    for (const char *name : kCommands)
        if (form_->findChild<QWidget *>(QLatin1String(name))->isEnabled()) s.enabledCommands << name;
    s.closeRefused = !form_->close();
    return s;
}

void TestTransferGui::LoadFile() {
    TMK mk;
    mk.Image.Append(TestEnv::SampleImage());
    const QString path = dir_->filePath(QStringLiteral("a.vorng"));
    SettingsFile::Save(mk, path);
    prompts_->FileNames << path;
    form_->bLoadParams->click();
    QVERIFY(ImageButtons(true));
}

void TestTransferGui::readFillsImageAndEnablesButtons_data() {
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("reading");
    QTest::newRow("ru") << false << QStringLiteral("Чтение настроек...");
    QTest::newRow("en") << true << QStringLiteral("The settings are being read...");
}

void TestTransferGui::readFillsImageAndEnablesButtons() {
    QFETCH(bool, english);
    QFETCH(QString, reading);
    TMainForm &form = Show();
    if (english) form.cbEnglishVersion->click();
    form.SettingsModified = true;
    prompts_->ConfirmAnswers << false; // the unsaved-changes question: go on without saving
    TSnapshot during;
    Line(1).Responder = [&](const QByteArray &request) {
        if (request.size() == 8 && uint8_t(request[4]) == 5 && uint8_t(request[5]) == 200) during = Snapshot();
        return device_.Receive(request, 0);
    };
    QVERIFY(ImageButtons(false));
    form.bGetParams->click();

    QVERIFY(during.taken);
    QVERIFY(during.progressVisible);
    QCOMPARE(during.label, reading);
    QCOMPARE(during.gauge, 78); // block 199 of 254
    QVERIFY(during.gaugeVisible);
    QVERIFY(!during.cancelVisible);
    QVERIFY2(std::abs(during.centreOffset.x()) <= 1 && std::abs(during.centreOffset.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(during.centreOffset.x()).arg(during.centreOffset.y())));
    QVERIFY(during.busy);
    QCOMPARE(during.enabledCommands, QStringList());
    QVERIFY(during.closeRefused);

    QVERIFY(form.isVisible());
    QVERIFY(!form.Busy());
    QVERIFY(ImageButtons(true));
    QVERIFY(CommandsEnabled());
    QVERIFY(form.SettingsModified); // transfers leave it alone
    QVERIFY(!form.findChild<TProgressForm *>());
    QVERIFY(!form.Link()->IsOpen());
    QCOMPARE(form.MK()->Image.Bytes(), TSimDevice::ImageOf(device_.Memory));
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), 1);
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
    QCOMPARE(form.DeviceAddress, uint8_t(244));
    QCOMPARE(form.DeviceMemorySize, uint32_t(8192));
}

void TestTransferGui::cancelWhileConnectingChangesNothing_data() {
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("write");
    QTest::newRow("read, buttons off") << false << false;
    QTest::newRow("read, buttons on") << true << false;
    QTest::newRow("write") << true << true;
    QTest::newRow("read, the port cannot be opened") << false << false;
}

void TestTransferGui::cancelWhileConnectingChangesNothing() {
    QFETCH(bool, loaded);
    QFETCH(bool, write);
    TMainForm &form = Show();
    if (loaded) LoadFile();
    Line(1).Device = nullptr; // nothing answers
    const bool closedPort = QByteArray(QTest::currentDataTag()).contains("cannot be opened");
    if (closedPort) {
        Line(1).Path = QStringLiteral("/dev/ttyUSB0");
        Line(1).OpenError = QStringLiteral("Permission denied");
        form.Link()->ClosePort();
    }
    const QByteArray image = form.MK()->Image.Bytes();
    TSnapshot during;
    QTimer::singleShot(250, [&] {
        during = Snapshot();
        if (auto *p = form.findChild<TProgressForm *>()) p->BitBtn1->click();
    });
    (write ? form.bSetParams : form.bGetParams)->click();

    QVERIFY(during.taken);
    // The reason of a port that cannot be opened comes on a second line.
    QCOMPARE(during.label.remove(QChar(0x200B)),
             closedPort ? QStringLiteral("Не могу подключиться к МК...\n/dev/ttyUSB0: Permission denied")
                        : QStringLiteral("Не могу подключиться к МК..."));
    QVERIFY(!during.gaugeVisible);
    QVERIFY(during.cancelVisible);
    QVERIFY(during.closeRefused);
    QVERIFY(ImageButtons(loaded));
    QVERIFY(CommandsEnabled());
    QCOMPARE(form.MK()->Image.Bytes(), image);
    QCOMPARE(prompts_->Log.size(), loaded ? 1 : 0); // the open dialog only
    QVERIFY(!form.findChild<TProgressForm *>());
    QVERIFY(!form.Link()->IsOpen());
}

void TestTransferGui::readErrorDisablesButtons() {
    TMainForm &form = Show();
    LoadFile();
    device_.Faults.Skip = 20;
    device_.Faults.Busy = 3;
    form.bGetParams->click();
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{kBusy});
    QVERIFY(ImageButtons(false));
    QVERIFY(CommandsEnabled());
    QVERIFY(!form.Link()->IsOpen());
}

void TestTransferGui::writeLeavesButtonsAndShowsOutcome() {
    TMainForm &form = Show();
    form.cbEnglishVersion->click();
    form.bGetParams->click();
    QVERIFY(ImageButtons(true));
    form.MK()->Set("VelocityLimit", 55);
    form.SettingsModified = true;
    const QByteArray before = TSimDevice::ImageOf(device_.Memory);
    form.bSetParams->click();
    const QStringList info = prompts_->Texts(TFakePrompts::InformationBox);
    QCOMPARE(info.size(), 1);
    const QStringList lines = info.first().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("The settings are recorded in the device"));
    const QString backup = lines.at(1).mid(lines.at(1).indexOf(QLatin1String(": ")) + 2);
    QCOMPARE(lines.at(1), QStringLiteral("Backup of the device's previous settings: ") + backup);
    QCOMPARE(QFileInfo(backup).absolutePath(), dir_->filePath(QStringLiteral("backups")));
    QCOMPARE(TestEnv::ReadFile(backup), SettingsFile::Encode(0x4000, before));
    QVERIFY(ImageButtons(true));
    QVERIFY(form.SettingsModified);
    const int s6 = form.MK()->Header.sections[6].address;
    QCOMPARE(int(device_.Memory.at(s6 + 4)), 55);

    // Another model's settings: refused before any memory is read.
    form.MK()->ModelCode = 0x4400;
    Line(1).Written.clear();
    form.bSetParams->click();
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox),
             QStringList{
                 QStringLiteral("The settings version does not match the device version!\nThe settings are "
                                "for model 0x4400 (Model 11), but the device is model 0x4000 (Model "
                                "01). Read the settings from this device, or use a file made for its "
                                "model.")});
    QCOMPARE(Line(1).Written.size(), 1);
    QVERIFY(ImageButtons(true));
}

// A write cut off after its first section says so, names the backup and offers to
// write it back; Yes does, as a write of its own, and the user's settings stay. A
// restore that fails too is offered again.
void TestTransferGui::cutOffWriteOffersTheBackup_data() {
    QTest::addColumn<QList<bool>>("answers");
    QTest::newRow("no") << QList<bool>{false};
    QTest::newRow("yes") << QList<bool>{true};
    QTest::newRow("yes, the restore fails, yes") << QList<bool>{true, true};
}

void TestTransferGui::cutOffWriteOffersTheBackup() {
    QFETCH(QList<bool>, answers);
    const bool restore = answers.last();
    TMainForm &form = Show();
    form.bGetParams->click();
    for (uint8_t &b : form.MK()->Section(1))
        b = uint8_t(~b);
    const auto working = [&form] {
        return QByteArray(reinterpret_cast<const char *>(form.MK()->Working().data()), MKLayout::WorkingSize);
    };
    const QByteArray edited = working();
    const QByteArray before = device_.Memory;
    device_.Faults.Skip = device_.Requests() + 255 + 8; // section 2's WriteBegin
    device_.Faults.Busy = 3;
    // The first restore's re-read meets a silent device at block 11 (the write's own
    // re-read asked for it once).
    int block11 = 0;
    if (answers.size() > 1)
        Line(1).Responder = [&](const QByteArray &request) {
            const bool silent =
                request.size() == 8 && request[4] == 5 && request[5] == 11 && ++block11 >= 2 && block11 <= 4;
            return silent ? QByteArray() : device_.Receive(request, 0);
        };
    prompts_->ConfirmAnswers = answers;
    form.bSetParams->click();

    const QStringList errors = prompts_->Texts(TFakePrompts::ApplicationErrorBox);
    QCOMPARE(errors.size(), answers.size());
    if (answers.size() > 1)
        QCOMPARE(errors.at(1),
                 QStringLiteral("RS232. No link. Check PC-device connection.\nНастройки не записаны."));
    const QStringList lines = errors.first().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), kBusy);
    QCOMPARE(lines.at(1),
             QStringLiteral("Запись прервана: в МК теперь может быть только часть новых настроек."));
    const QString named = QStringLiteral("Резервная копия прежних настроек МК: ");
    QVERIFY(lines.at(2).startsWith(named));
    const QString backup = lines.at(2).mid(named.size());
    QCOMPARE(TestEnv::ReadFile(backup), SettingsFile::Encode(0x4000, TSimDevice::ImageOf(before)));
    const QString offer =
        QStringLiteral("Записать в МК прежние настройки из резервной копии %1?").arg(backup);
    QCOMPARE(prompts_->Texts(TFakePrompts::ConfirmBox), QStringList(answers.size(), offer));
    const int a1 = form.MK()->Header.sections[1].address, a2 = form.MK()->Header.sections[2].address;
    if (restore) {
        QCOMPARE(prompts_->Texts(TFakePrompts::InformationBox),
                 QStringList{QStringLiteral("Настройки записаны в МК")});
        QCOMPARE(device_.Memory, before);
        // The status line tells the end of it, not the error before.
        QVERIFY2(form.lStatus->text().startsWith(QStringLiteral("Прежние настройки из резервной копии")),
                 qPrintable(form.lStatus->text()));
    } else {
        QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 0);
        QVERIFY(device_.Memory.mid(a1, 164) != before.mid(a1, 164)); // section 1 written
        QCOMPARE(device_.Memory.mid(a2), before.mid(a2));            // the rest not
    }
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
    QCOMPARE(working(), edited);
    QVERIFY(ImageButtons(true));
    QVERIFY(CommandsEnabled());
    QVERIFY(!form.findChild<TProgressForm *>());
    QVERIFY(!form.Link()->IsOpen());
}

// Whatever box ends a transfer, the progress window is gone before it shows: behind a
// modal box it would stay as a blank, unpainted window.
void TestTransferGui::noProgressBehindTheLastBox_data() {
    QTest::addColumn<int>("box");
    QTest::newRow("read fails") << int(TFakePrompts::ErrorBox);
    QTest::newRow("written") << int(TFakePrompts::InformationBox);
    QTest::newRow("refused: another model") << int(TFakePrompts::ErrorBox);
    QTest::newRow("check finds a difference") << int(TFakePrompts::ErrorBox);
    QTest::newRow("cut off") << int(TFakePrompts::ApplicationErrorBox);
}

void TestTransferGui::noProgressBehindTheLastBox() {
    QFETCH(int, box);
    const QByteArray outcome = QTest::currentDataTag();
    TMainForm &form = Show();
    form.bGetParams->click();
    QVERIFY(ImageButtons(true));
    int progressWindows = 0;
    prompts_->OnPrompt = [&](const TFakePrompts::Record &) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TProgressForm *>(w)) ++progressWindows;
    };
    const int requests = device_.Requests();
    if (outcome == "read fails" || outcome == "cut off") {
        device_.Faults.Skip = requests + (outcome == "read fails" ? 20 : 255 + 8);
        device_.Faults.Busy = 3;
    } else if (outcome == "refused: another model") {
        form.MK()->ModelCode = 0x4400;
    } else if (outcome == "check finds a difference") {
        for (uint8_t &b : form.MK()->Section(1))
            b = uint8_t(~b);
        device_.Faults.DropWrite = 1;
    }
    (outcome == "read fails" ? form.bGetParams : form.bSetParams)->click();
    QVERIFY(!prompts_->Log.isEmpty());
    QCOMPARE(int(prompts_->Log.first().kind), box);
    QCOMPARE(progressWindows, 0);
    QVERIFY(!form.findChild<TProgressForm *>());
}

// A write whose re-read of the device fails halfway leaves the edits in place: a save
// afterwards writes them with the whole image.
void TestTransferGui::failedWriteKeepsEditsForSaving() {
    TMainForm &form = Show();
    form.bGetParams->click();
    form.MK()->Set("VelocityLimit", 77);
    form.MK()->StoreSection(6); // as the editor's OK does
    form.SettingsModified = true;
    device_.Faults.Skip = device_.Requests() + 1 + 100; // busy for three answers after 100 blocks
    device_.Faults.Busy = 3;
    form.bSetParams->click();
    QCOMPARE(prompts_->Texts(TFakePrompts::ApplicationErrorBox),
             QStringList{kBusy + QStringLiteral("\nНастройки не записаны.")});
    QVERIFY(ImageButtons(true));
    QVERIFY(form.SettingsModified);

    const QString path = dir_->filePath(QStringLiteral("after.vorng"));
    prompts_->FileNames << path;
    form.bSaveParams->click();
    QVERIFY(!form.SettingsModified);
    QCOMPARE(TestEnv::ReadFile(path).size(), 2 + 8128);
    TMK saved;
    SettingsFile::Load(saved, path);
    saved.LoadAllSections();
    QCOMPARE(saved.Get("VelocityLimit"), 77);
}

void TestTransferGui::linkStartUpAndShutDown_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("port");
    QTest::newRow("stored port") << QByteArray("[RS232]\nPort=7\n") << 7;
    QTest::newRow("absent port falls back") << QByteArray("[RS232]\nPort=40\n") << 3;
    QTest::newRow("first run") << QByteArray() << 3;
}

void TestTransferGui::linkStartUpAndShutDown() {
    QFETCH(QByteArray, ini);
    QFETCH(int, port);
    if (!ini.isEmpty()) TestEnv::WriteFile(ini_, ini);
    TMainForm &form = Show({3, 7});
    TML_RS *link = form.Link();
    QVERIFY(link);
    QCOMPARE(link->PortCount, 2);
    QCOMPARE(link->PortNumber, port);
    QCOMPARE(link->BaudRate, 115200);
    QCOMPARE(link->SectionName, QStringLiteral("RS232"));
    QVERIFY(!link->IsOpen());
    QCOMPARE(Line(port).Opens, 1); // opened by the stored setting, then closed
    QVERIFY(form.close());
    form_.reset();
    QCOMPARE(TMIniFile(ini_).ReadInteger("RS232", "Port", -1), port);
}

void TestTransferGui::portDialog() {
    TestEnv::WriteFile(ini_, "[RS232]\nPort=7\n");
    TMainForm &form = Show({3, 7});
    QCOMPARE(form.Link()->PortNumber, 7);
    const int opens = Line(7).Opens;
    QStringList items;
    int current = -1;
    WhenDialogShows<TML_RS232_SetNumDlg>([&](TML_RS232_SetNumDlg &dlg) {
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Port number selection"));
        QCOMPARE(dlg.Label1->text(), QStringLiteral("Select serial port"));
        QCOMPARE(dlg.size(), QSize(337, 85));
        QVERIFY(!dlg.PCB->isEditable());
        QCOMPARE(dlg.focusWidget(), dlg.PCB);
        for (int i = 0; i < dlg.PCB->count(); ++i)
            items << dlg.PCB->itemText(i);
        current = dlg.PCB->currentIndex();
        dlg.CancelBtn->click();
    });
    form.bRS232->click();
    QCOMPARE(items, (QStringList{QStringLiteral("COM3  sim:3"), QStringLiteral("COM7  sim:7")}));
    QCOMPARE(current, 1);
    QCOMPARE(form.Link()->PortNumber, 7);
    QCOMPARE(Line(7).Opens, opens + 1); // closed, reopened once, closed by the window
    QVERIFY(!form.Link()->IsOpen());

    WhenDialogShows<TML_RS232_SetNumDlg>([&](TML_RS232_SetNumDlg &dlg) {
        dlg.PCB->setCurrentIndex(0);
        dlg.OKBtn->click();
    });
    form.bRS232->click();
    QCOMPARE(form.Link()->PortNumber, 3);
    QVERIFY(!form.Link()->IsOpen());
    QCOMPARE(prompts_->Log.size(), 0);
    QVERIFY(form.close());
    form_.reset();
    QCOMPARE(TMIniFile(ini_).ReadInteger("RS232", "Port", -1), 3);
}

// Without the window's unlock the port dialog asks for the password first.
void TestTransferGui::portDialogBehindTheGate() {
    Access::ResetForTests();
    TPortDialogs dialogs;
    SetPortChoice(&dialogs);
    auto *directory = new TSimPortDirectory;
    directory->Attach(2, &device_);
    TML_RS link{std::unique_ptr<TPortDirectory>(directory)};
    WhenDialogShows<TPasswDlg>([](TPasswDlg &dlg) { dlg.CancelBtn->click(); });
    link.SelectPort();
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{QStringLiteral("Неверный пароль!")});
    QCOMPARE(directory->Line(2).Opens, 0);
    SetPortChoice(nullptr);
    Access::Unlock();
}

void TestTransferGui::baudRateDialog() {
    TMainForm &form = Show();
    TML_RS &link = *form.Link();
    WhenDialogShows<TML_RS232_SetBRDlg>([](TML_RS232_SetBRDlg &dlg) {
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Выбор скорости обмена СОМ-порта"));
        QCOMPARE(dlg.Label2->text(), QStringLiteral("Скорость обмена, бод"));
        QCOMPARE(dlg.BSE->minimum(), 110);
        QCOMPARE(dlg.BSE->maximum(), 921600);
        QCOMPARE(dlg.BSE->singleStep(), 10);
        QVERIFY(dlg.BSE->alignment() & Qt::AlignRight);
        QCOMPARE(dlg.BSE->value(), 115200);
        QVERIFY(dlg.HelpBtn);
        dlg.BSE->setValue(57600);
        dlg.OKBtn->click();
    });
    link.SelectBaudRate();
    QCOMPARE(link.BaudRate, 57600);

    WhenDialogShows<TML_RS232_SetBRDlg>([](TML_RS232_SetBRDlg &dlg) {
        dlg.BSE->setValue(9600);
        dlg.CancelBtn->click();
    });
    link.SelectBaudRate();
    QCOMPARE(link.BaudRate, 57600);
    QCOMPARE(prompts_->Log.size(), 0);
}

QTEST_MAIN(TestTransferGui)
#include "tst_transfer_gui.moc"
