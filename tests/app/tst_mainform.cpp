#include "app/IniFls.h"
#include "app/JustOne.h"
#include "app/MainForm.h"
#include "app/MessageBoxPrompts.h"
#include "base/Lang.h"
#include "model/MK.h"
#include "model/SettingsFile.h"
#include "FakePrompts.h"
#include "SimSerialPort.h"
#include "TestEnv.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const char *const kImageButtons[] = {"bEditParams", "bViewJournals", "bSaveParams", "bSetParams"};
const char *const kAlwaysEnabled[] = {"bRS232", "bGetParams", "bLoadParams", "cbEnglishVersion"};

// Every text the window shows, by control name.
QMap<QString, QString> Texts(const TMainForm &form) {
    QMap<QString, QString> out;
    out[QStringLiteral("caption")] = form.windowTitle();
    for (const QLabel *l : form.findChildren<QLabel *>())
        if (!l->objectName().isEmpty() && l->objectName() != QLatin1String("Image1")) out[l->objectName()] = l->text();
    // Accelerator marks are not part of the text the user reads.
    for (const QAbstractButton *b : form.findChildren<QAbstractButton *>())
        out[b->objectName()] = QString(b->text()).remove(QLatin1Char('&'));
    for (const QGroupBox *g : form.findChildren<QGroupBox *>()) out[g->objectName()] = g->title();
    return out;
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void controlsAndSize();
    void enablingTable();
    void loadFillsWorkingFields();
    void typedNameGetsTheListedSuffix();
    void fileArgumentRelativeToTheStartFolder();
    void unsavedChangesOnClose_data();
    void unsavedChangesOnClose();
    void readFromDeviceAsksButReadFromFileDoesNot();
    void saveOntoExistingFile_data();
    void saveOntoExistingFile();
    void failedSaveKeepsModified();
    void editAndJournalLeaveModifiedAlone();
    void languageSwitchChangesEveryTextAndIsRemembered();
    void placement_data();
    void placement();
    void iniIsCreatedThenFilledAtClose();
    void singleInstanceGuard();
    void staleLockIsTakenOver();
    void secondCopyEndsAtOnce();

private:
    std::unique_ptr<TMainForm> Show();
    QString WriteSettingsFile(const QString &name, uint16_t model = 0x4000);

    TSimDevice device_; // behind port 1 of every window
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFakePrompts> prompts_;
    QString ini_;
};

void TestMainForm::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    ini_ = dir_->filePath(QStringLiteral("tripconf.ini"));
    qputenv("TRIPCONF_INI", ini_.toLocal8Bit());
    prompts_ = std::make_unique<TFakePrompts>();
    Lang::SetEnglish(false);
}

void TestMainForm::cleanup() {
    prompts_.reset();
    dir_.reset();
    qunsetenv("TRIPCONF_INI");
}

std::unique_ptr<TMainForm> TestMainForm::Show() {
    auto form = std::make_unique<TMainForm>();
    auto ports = std::make_unique<TSimPortDirectory>();
    ports->Attach(1, &device_);
    form->SetPortDirectory(std::move(ports));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    return form;
}

QString TestMainForm::WriteSettingsFile(const QString &name, uint16_t model) {
    TMK mk;
    mk.ModelCode = model;
    mk.Image.Append(TestEnv::SampleImage());
    const QString path = dir_->filePath(name);
    SettingsFile::Save(mk, path);
    return path;
}

void TestMainForm::controlsAndSize() {
    auto form = Show();
    QVERIFY(form);
    QCOMPARE(form->size(), QSize(810, 384 + 22)); // the steps, and the status line under them
    QCOMPARE(form->minimumSize(), form->maximumSize());
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "bRS232", "GroupBox1",
                             "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5", "bGetParams", "bLoadParams",
                             "bEditParams", "bViewJournals", "bSaveParams", "bSetParams", "cbEnglishVersion", "Image1",
                             "OpenDialog1", "SaveDialog1", "JustOne1"})
        QVERIFY2(form->findChild<QObject *>(QLatin1String(name)), name);
    QCOMPARE(form->Image1->size(), QSize(240, 40));
    QCOMPARE(form->bGetParams->parentWidget(), form->GroupBox1);
    QCOMPARE(form->bViewJournals->parentWidget(), form->GroupBox5);
    QCOMPARE(form->cbEnglishVersion->text().remove(QLatin1Char('&')), QStringLiteral("English language"));
    QCOMPARE(form->OpenDialog1->Options.defaultSuffix, QStringLiteral("vorng"));
    QCOMPARE(form->OpenDialog1->Options.filter, QStringLiteral("Файлы настроек (*.vorng)"));
    QVERIFY(form->OpenDialog1->Options.mustExist);
    QCOMPARE(form->SaveDialog1->Options.directory, QCoreApplication::applicationDirPath());
    // Every group's contents fit inside the group.
    for (QGroupBox *g : form->findChildren<QGroupBox *>())
        for (QWidget *w : g->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(g->rect().contains(w->geometry()), qPrintable(w->objectName()));
}

void TestMainForm::enablingTable() {
    auto form = Show();
    QVERIFY(form);
    auto imageButtons = [&](bool enabled) {
        for (const char *name : kImageButtons)
            if (form->findChild<QWidget *>(QLatin1String(name))->isEnabled() != enabled) return false;
        for (const char *name : kAlwaysEnabled)
            if (!form->findChild<QWidget *>(QLatin1String(name))->isEnabled()) return false;
        return true;
    };
    QVERIFY(imageButtons(false));

    // Cancelled open dialog: unchanged.
    prompts_->FileNames << QString();
    form->bLoadParams->click();
    QVERIFY(imageButtons(false));

    prompts_->FileNames << WriteSettingsFile(QStringLiteral("good.vorng"));
    form->bLoadParams->click();
    QVERIFY(imageButtons(true));
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);

    // A file that cannot be decoded closes the buttons off again.
    const QString bad = dir_->filePath(QStringLiteral("bad.vorng"));
    TestEnv::WriteFile(bad, "\x01");
    prompts_->FileNames << bad;
    form->bLoadParams->click();
    QVERIFY(imageButtons(false));
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 1);

    // So does a short text file, even right after a good load; the box names the file.
    prompts_->FileNames << WriteSettingsFile(QStringLiteral("good.vorng"));
    form->bLoadParams->click();
    QVERIFY(imageButtons(true));
    const QString notes = dir_->filePath(QStringLiteral("notes.vorng"));
    TestEnv::WriteFile(notes, "shopping list: tea\n");
    prompts_->FileNames << notes;
    form->bLoadParams->click();
    QVERIFY(imageButtons(false));
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 2);
    QVERIFY(prompts_->Texts(TFakePrompts::ErrorBox).last().contains(QStringLiteral("notes.vorng")));

    // A file that does not exist (deleted after picking) too, with the system's reason.
    prompts_->FileNames << dir_->filePath(QStringLiteral("gone.vorng"));
    form->bLoadParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 3);
    QVERIFY(prompts_->Texts(TFakePrompts::ErrorBox).last().contains(QStringLiteral("gone.vorng")));

    // Saving enables them.
    prompts_->FileNames << dir_->filePath(QStringLiteral("saved.vorng"));
    form->SaveSettingsToFile();
    QVERIFY(imageButtons(true));
    QCOMPARE(prompts_->Unanswered, 0);
}

void TestMainForm::loadFillsWorkingFields() {
    auto form = Show();
    QVERIFY(form);
    const QString path = WriteSettingsFile(QStringLiteral("a.vorng"), 0x8080);
    prompts_->FileNames << path;
    form->bLoadParams->click();
    const TMK &mk = *form->MK();
    QCOMPARE(mk.ModelCode, uint16_t(0x8080));
    const QByteArray image = TestEnv::SampleImage();
    QCOMPARE(mk.Image.Bytes(), image);
    const int section6 = mk.Header.sections[6].address - 32;
    QCOMPARE(mk.Get("VelocityLimit"), qint64(int8_t(image.at(section6 + 4))));
    QVERIFY(!form->SettingsModified);
    QCOMPARE(prompts_->LastDialog.defaultSuffix, QStringLiteral("vorng"));
    QVERIFY(prompts_->LastDialog.mustExist);
}

void TestMainForm::typedNameGetsTheListedSuffix() {
    // Through the real dialog: a name typed without extension must come back as a file
    // the open dialog lists.
    auto form = Show();
    QVERIFY(form);
    TMessageBoxPrompts real;
    TFileDialogOptions options = form->SaveDialog1->Options;
    options.directory = dir_->path();
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (name) name->setText(QStringLiteral("mine"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString path = real.SaveFileName(options);
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("mine.vorng"));
    QVERIFY(QDir::match(QStringLiteral("*.vorng"), QFileInfo(path).fileName()));
}

void TestMainForm::fileArgumentRelativeToTheStartFolder() {
    WriteSettingsFile(QStringLiteral("mine.vorng"), 0x8080);
    const QString start = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    auto form = std::make_unique<TMainForm>();
    form->OpenAtStart(QStringLiteral("mine.vorng"));
    QDir::setCurrent(start);
    auto ports = std::make_unique<TSimPortDirectory>();
    ports->Attach(1, &device_);
    form->SetPortDirectory(std::move(ports));
    form->show(); // makes the program's folder current
    QTRY_COMPARE(form->MK()->ModelCode, uint16_t(0x8080));
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
    QVERIFY(form->bEditParams->isEnabled());
}

void TestMainForm::unsavedChangesOnClose_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QString>("fileName"); // empty: cancel the save dialog
    QTest::addColumn<int>("confirms");
    QTest::addColumn<int>("saveDialogs");
    QTest::addColumn<bool>("written");
    QTest::newRow("not modified") << false << QList<bool>{} << QString() << 0 << 0 << false;
    QTest::newRow("No closes without saving") << true << QList<bool>{false} << QString() << 1 << 0 << false;
    QTest::newRow("Yes then cancel still closes") << true << QList<bool>{true} << QString() << 1 << 1 << false;
    QTest::newRow("Yes saves") << true << QList<bool>{true} << QStringLiteral("x.vorng") << 1 << 1 << true;
}

void TestMainForm::unsavedChangesOnClose() {
    QFETCH(bool, modified);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, fileName);
    QFETCH(int, confirms);
    QFETCH(int, saveDialogs);
    QFETCH(bool, written);
    auto form = Show();
    QVERIFY(form);
    form->SettingsModified = modified;
    prompts_->ConfirmAnswers = answers;
    if (saveDialogs) prompts_->FileNames << (fileName.isEmpty() ? QString() : dir_->filePath(fileName));
    QVERIFY(form->close());
    QVERIFY(!form->isVisible());
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), confirms);
    if (confirms)
        QCOMPARE(prompts_->Texts(TFakePrompts::ConfirmBox).first(),
                 QStringLiteral("Возможно, настройки были изменены, но не сохранены на диске. Сохранить?"));
    QCOMPARE(prompts_->Count(TFakePrompts::SaveDialog), saveDialogs);
    QCOMPARE(QFileInfo::exists(dir_->filePath(QStringLiteral("x.vorng"))), written);
    QCOMPARE(form->SettingsModified, modified && !written);
}

void TestMainForm::readFromDeviceAsksButReadFromFileDoesNot() {
    auto form = Show();
    QVERIFY(form);
    form->SettingsModified = true;
    prompts_->FileNames << QString();
    form->bLoadParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), 0);
    prompts_->ConfirmAnswers << false;
    form->bGetParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), 1);
    QVERIFY(form->SettingsModified);
}

void TestMainForm::saveOntoExistingFile_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("No keeps the file") << false;
    QTest::newRow("Yes rewrites it") << true;
}

void TestMainForm::saveOntoExistingFile() {
    QFETCH(bool, answer);
    auto form = Show();
    QVERIFY(form);
    const QString path = dir_->filePath(QStringLiteral("old.vorng"));
    TestEnv::WriteFile(path, "old");
    form->SettingsModified = true;
    prompts_->FileNames << path;
    prompts_->ConfirmAnswers << answer;
    form->bSaveParams->setEnabled(true);
    form->bSaveParams->click();
    QCOMPARE(prompts_->Texts(TFakePrompts::ConfirmBox), QStringList{QStringLiteral("Файл уже существует. Переписать?")});
    QCOMPARE(TestEnv::ReadFile(path) == "old", !answer);
    QCOMPARE(form->SettingsModified, !answer);
    if (answer) QCOMPARE(TestEnv::ReadFile(path), SettingsFile::Encode(*form->MK()));
}

void TestMainForm::failedSaveKeepsModified() {
    auto form = Show();
    QVERIFY(form);
    const QString path = dir_->filePath(QStringLiteral("dir.vorng"));
    QDir().mkpath(path + QStringLiteral("/x"));
    form->SettingsModified = true;
    prompts_->FileNames << path;
    prompts_->ConfirmAnswers << true; // "exists": rewrite
    form->bSaveParams->setEnabled(true);
    form->bSaveParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::ApplicationErrorBox), 1);
    QVERIFY(prompts_->Texts(TFakePrompts::ApplicationErrorBox).first().contains(path));
    QVERIFY(form->SettingsModified);

    // Closing: the user wants to save, the save fails, the window stays open.
    prompts_->ConfirmAnswers << true << true;
    prompts_->FileNames << path;
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
    QCOMPARE(prompts_->Count(TFakePrompts::ApplicationErrorBox), 2);
    QVERIFY(!QFileInfo::exists(ini_) || !TestEnv::ReadFile(ini_).contains("MainWindow"));

    // A read from the device does not go on over unsaved edits either.
    prompts_->ConfirmAnswers << true << true;
    prompts_->FileNames << path;
    form->bGetParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::ApplicationErrorBox), 3);

    // Answering No lets it close.
    prompts_->ConfirmAnswers << false;
    QVERIFY(form->close());
}

void TestMainForm::editAndJournalLeaveModifiedAlone() {
    auto form = Show();
    QVERIFY(form);
    prompts_->FileNames << WriteSettingsFile(QStringLiteral("a.vorng"));
    form->bLoadParams->click();
    const QByteArray image = form->MK()->Image.Bytes();
    // The journal viewer is modal: close it as the user would, with Escape.
    QTimer::singleShot(0, [] {
        if (QWidget *viewer = QApplication::activeModalWidget()) QTest::keyClick(viewer, Qt::Key_Escape);
    });
    form->bViewJournals->click();
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(form->MK()->Image.Bytes(), image);
    form->bSetParams->click();
    QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 1); // written
    QVERIFY(!form->SettingsModified);
    QCOMPARE(prompts_->Count(TFakePrompts::ApplicationErrorBox), 0);
}

void TestMainForm::languageSwitchChangesEveryTextAndIsRemembered() {
    QMap<QString, QString> russian, english;
    {
        auto form = Show();
        QVERIFY(form);
        QVERIFY(!form->cbEnglishVersion->isChecked());
        russian = Texts(*form);
        QCOMPARE(russian[QStringLiteral("caption")], QStringLiteral("Просмотр и настройка параметров МК (Версия 26.03.25)"));
        QCOMPARE(russian[QStringLiteral("bRS232")], QStringLiteral("Выбрать СОМ-порт вручную"));
        QCOMPARE(russian[QStringLiteral("GroupBox5")], QStringLiteral("Шаг 2a"));
        form->cbEnglishVersion->click();
        QVERIFY(Lang::English());
        english = Texts(*form);
        QCOMPARE(english.keys(), russian.keys());
        for (const QString &key : english.keys()) {
            // The same in both: the check box's caption, "?", an arrow, the empty status line.
            if (QStringList{"cbEnglishVersion", "bAbout", "bRecentFiles", "lStatus"}.contains(key)) continue;
            QVERIFY2(english[key] != russian[key], qPrintable(key));
        }
        QCOMPARE(english[QStringLiteral("caption")],
                 QStringLiteral("Viewing and configuring trip computer parameters (Version 26.03.25)"));
        QCOMPARE(english[QStringLiteral("Label7")], QStringLiteral("View the logs of trips, gas stations and faults"));
        QCOMPARE(english[QStringLiteral("bSetParams")], QStringLiteral("Write the settings to the device"));
        QCOMPARE(english[QStringLiteral("cbEnglishVersion")], QStringLiteral("English language"));
        QVERIFY(form->close());
    }
    QCOMPARE(TMIniFile(ini_).ReadString("Common", "EnglishVersion", ""), QStringLiteral("1"));
    Lang::SetEnglish(false);
    {
        auto form = Show();
        QVERIFY(form);
        QVERIFY(form->cbEnglishVersion->isChecked());
        QCOMPARE(Texts(*form), english);
        form->cbEnglishVersion->click();
        QCOMPARE(Texts(*form), russian);
        QVERIFY(form->close());
    }
    QCOMPARE(TMIniFile(ini_).ReadString("Common", "EnglishVersion", ""), QStringLiteral("0"));
}

void TestMainForm::placement_data() {
    QTest::addColumn<QByteArray>("ini");
    // (-1,-1): the design (centred) position as read back; (-2,-2): the design position untouched
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("stored") << QByteArray("[MainWindow]\nState=0\nLeft=100\nTop=50\nWidth=5\nHeight=5\n") << QPoint(100, 50)
                            << false;
    QTest::newRow("negative goes to 0") << QByteArray("[MainWindow]\nState=0\nLeft=-20\nTop=-3\n") << QPoint(0, 0)
                                        << false;
    QTest::newRow("maximised keeps design position") << QByteArray("[MainWindow]\nState=2\nLeft=100\nTop=50\n")
                                                     << QPoint(-1, -1) << true;
    QTest::newRow("missing keys keep design position") << QByteArray("[MainWindow]\n") << QPoint(-1, -1) << false;
    // The offscreen screen is 800 × 800 and narrower than the window: a window that would
    // be out of reach comes back onto it at the left edge, its bottom on the screen's.
    QTest::newRow("off every screen comes back onto it")
        << QByteArray("[MainWindow]\nState=0\nLeft=30000\nTop=30000\n") << QPoint(0, 394) << false;
    QTest::newRow("2 × 2 pixels on the screen come back onto it")
        << QByteArray("[MainWindow]\nState=0\nLeft=798\nTop=798\n") << QPoint(0, 394) << false;
    QTest::newRow("title bar across the bottom edge comes back onto it")
        << QByteArray("[MainWindow]\nState=0\nLeft=100\nTop=790\n") << QPoint(0, 394) << false;
    QTest::newRow("100 pixels of title bar are enough")
        << QByteArray("[MainWindow]\nState=0\nLeft=700\nTop=700\n") << QPoint(700, 700) << false;
    QTest::newRow("near the integer limit")
        << QByteArray("[MainWindow]\nState=0\nLeft=2147483000\nTop=2147483647\n") << QPoint(0, 394) << false;
}

void TestMainForm::placement() {
    QFETCH(QByteArray, ini);
    QFETCH(QPoint, expected);
    QFETCH(bool, maximised);
    const QPoint design = TMainForm().pos();
    TestEnv::WriteFile(ini_, ini);
    auto form = Show();
    QVERIFY(form);
    QCOMPARE(bool(form->windowState() & Qt::WindowMaximized), maximised);
    // The design position is read back as the default and clamped at 0 like a stored one.
    const QPoint clampedDesign(std::max(0, design.x()), std::max(0, design.y()));
    if (maximised) {
        QVERIFY(form->pos() != QPoint(100, 50));
    } else {
        QCOMPARE(form->pos(), expected == QPoint(-1, -1) ? clampedDesign : expected == QPoint(-2, -2) ? design : expected);
        QCOMPARE(form->size(), QSize(810, 406)); // a fixed window keeps its size
    }
}

void TestMainForm::iniIsCreatedThenFilledAtClose() {
    QVERIFY(!QFileInfo::exists(ini_));
    auto form = Show();
    QVERIFY(form);
    QCOMPARE(TestEnv::ReadFile(ini_), QByteArray(" \n"));
    form->move(40, 30);
    QVERIFY(form->close());
    TMIniFile ini(ini_);
    QCOMPARE(ini.ReadString("Common", "EnglishVersion", "?"), QStringLiteral("0"));
    QCOMPARE(ini.ReadInteger("MainWindow", "State", -1), 0);
    QCOMPARE(ini.ReadInteger("MainWindow", "Left", -1), 40);
    QCOMPARE(ini.ReadInteger("MainWindow", "Top", -1), 30);
    QCOMPARE(ini.ReadInteger("MainWindow", "Width", -1), 810);
    QCOMPARE(ini.ReadInteger("MainWindow", "Height", -1), 406);
}

void TestMainForm::singleInstanceGuard() {
    const QString name = QStringLiteral("tripconf-test-%1").arg(QCoreApplication::applicationPid());
    auto first = std::make_unique<TJustOne>(nullptr, name);
    QVERIFY(first->OwnsMutex());
    {
        TJustOne second(nullptr, name);
        QVERIFY(!second.OwnsMutex());
        TJustOne other(nullptr, name + QStringLiteral("-other")); // another file name is not stopped
        QVERIFY(other.OwnsMutex());
    }
    QVERIFY(TJustOne(nullptr, name).OwnsMutex() == false);
    first.reset();
    QVERIFY(TJustOne(nullptr, name).OwnsMutex());
}

void TestMainForm::staleLockIsTakenOver() {
    const QString name = QStringLiteral("tripconf-stale-%1").arg(QCoreApplication::applicationPid());
    QString lockPath;
    {
        TJustOne probe(nullptr, name);
        lockPath = probe.LockFileName();
    }
    // A lock left by a process that has ended.
    QProcess p;
    p.start(QStringLiteral("/bin/true"));
    QVERIFY(p.waitForFinished());
    const qint64 deadPid = p.processId() ? p.processId() : 999999;
    TestEnv::WriteFile(lockPath, QByteArray::number(deadPid == 0 ? 999999 : deadPid) + "\ntripconf\n" +
                                     QSysInfo::machineHostName().toUtf8() + "\n");
    QFile::remove(lockPath);
    TestEnv::WriteFile(lockPath, "999999\ntripconf\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    TJustOne guard(nullptr, name);
    QVERIFY(guard.OwnsMutex());
}

void TestMainForm::secondCopyEndsAtOnce() {
    TJustOne holder(nullptr, QStringLiteral("tripconf"));
    if (!holder.OwnsMutex()) QSKIP("a tripconf is running on this machine");
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TRIPCONF_INI"), ini_);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TRIPCONF_BIN), {});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(ini_)); // it never got as far as its start-up
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
