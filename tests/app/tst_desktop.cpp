// The main window as a desktop program: its title and status line name what it holds,
// it remembers recent files and folders, takes files dropped on it or handed over by a
// second copy, has an accelerator on every button and an about box.

#include "app/IniFls.h"
#include "app/InstanceChannel.h"
#include "app/JustOne.h"
#include "app/MainForm.h"
#include "app/MessageBoxPrompts.h"
#include "base/DialogFolders.h"
#include "base/Lang.h"
#include "model/MK.h"
#include "model/SettingsFile.h"
#include "FakePrompts.h"
#include "SimSerialPort.h"
#include "TestEnv.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void titleAndStatusFollowEachStep_data();
    void titleAndStatusFollowEachStep();
    void recentFilesKeptAcrossRuns();
    void dialogsStartWhereTheyWereLastUsed();
    void droppedAndHandedFilesAskFirst_data();
    void droppedAndHandedFilesAskFirst();
    void everyButtonHasItsOwnAccelerator_data();
    void everyButtonHasItsOwnAccelerator();
    void aboutOnF1();

private:
    std::unique_ptr<TMainForm> Show();
    QString File(const QString &name, uint16_t model = 0x4000);

    TSimDevice device_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TFakePrompts> prompts_;
};

void TestDesktop::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    qputenv("TRIPCONF_INI", QFile::encodeName(dir_->filePath(QStringLiteral("tripconf.ini"))));
    qputenv("TRIPCONF_BACKUPS", QFile::encodeName(dir_->filePath(QStringLiteral("backups"))));
    prompts_ = std::make_unique<TFakePrompts>();
    DialogFolders::Clear();
    Lang::SetEnglish(false);
}

void TestDesktop::cleanup() {
    prompts_.reset();
    dir_.reset();
    qunsetenv("TRIPCONF_INI");
    qunsetenv("TRIPCONF_BACKUPS");
}

std::unique_ptr<TMainForm> TestDesktop::Show() {
    auto form = std::make_unique<TMainForm>();
    auto ports = std::make_unique<TSimPortDirectory>();
    ports->Attach(1, &device_);
    form->SetPortDirectory(std::move(ports));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
    return form;
}

QString TestDesktop::File(const QString &name, uint16_t model) {
    TMK mk;
    mk.ModelCode = model;
    mk.Image.Append(TSimDevice::ImageOf(device_.Memory));
    const QString path = dir_->filePath(name);
    SettingsFile::Save(mk, path);
    return path;
}

void TestDesktop::titleAndStatusFollowEachStep_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("ru") << false;
    QTest::newRow("en") << true;
}

void TestDesktop::titleAndStatusFollowEachStep() {
    QFETCH(bool, english);
    auto form = Show();
    QVERIFY(form);
    if (english) form->cbEnglishVersion->click();
    const QString caption = form->windowTitle();
    const QString status = [&] { return form->lStatus->text(); }();
    QVERIFY(status.isEmpty());

    // Read: the port, the model and how long it took.
    form->bGetParams->click();
    QCOMPARE(form->Source(), QStringLiteral("COM1"));
    QVERIFY2(form->windowTitle().startsWith(QStringLiteral("COM1[*] — ")) && form->windowTitle().endsWith(caption),
             qPrintable(form->windowTitle()));
    QVERIFY2(form->lStatus->text().contains(QStringLiteral("COM1")) &&
                 form->lStatus->text().contains(QStringLiteral("0x4000")),
             qPrintable(form->lStatus->text()));
    QVERIFY(form->lStatus->text().startsWith(english ? QStringLiteral("Read from the device") : QStringLiteral("Считано из МК")));

    // An edit confirmed with OK marks the title; a save names the file and clears it.
    form->SettingsModified = true; // as the editor's OK does
    form->cbEnglishVersion->click(); // any command refreshes the title
    form->cbEnglishVersion->click();
    QVERIFY(form->isWindowModified());
    const QString saved = dir_->filePath(QStringLiteral("car.vorng"));
    prompts_->FileNames << saved;
    form->bSaveParams->click();
    QVERIFY(!form->isWindowModified());
    QVERIFY2(form->windowTitle().startsWith(QStringLiteral("car.vorng[*] — ")), qPrintable(form->windowTitle()));
    QVERIFY2(form->lStatus->text().endsWith(saved), qPrintable(form->lStatus->text()));

    // A write: written and verified, with the backup's name.
    form->bSetParams->click();
    QVERIFY2(form->lStatus->text().contains(english ? QStringLiteral("verified") : QStringLiteral("проверено")) &&
                 form->lStatus->text().contains(QStringLiteral(".vorng")),
             qPrintable(form->lStatus->text()));

    // A failed load: the error, and nothing loaded in the title.
    const QString notes = dir_->filePath(QStringLiteral("notes.vorng"));
    TestEnv::WriteFile(notes, "not settings\n");
    prompts_->FileNames << notes;
    form->bLoadParams->click();
    QVERIFY2(form->lStatus->text().startsWith(english ? QStringLiteral("Failed: The file") : QStringLiteral("Не выполнено: Файл")),
             qPrintable(form->lStatus->text()));
    QCOMPARE(form->windowTitle(), caption);

    // The status line follows the language.
    const QString before = form->lStatus->text();
    form->cbEnglishVersion->click();
    QVERIFY(form->lStatus->text() != before);
    QVERIFY(form->lStatus->text().startsWith(english ? QStringLiteral("Не выполнено:") : QStringLiteral("Failed:")));
}

void TestDesktop::recentFilesKeptAcrossRuns() {
    QStringList files;
    for (int i = 0; i < 9; ++i) files << File(QStringLiteral("f%1.vorng").arg(i));
    {
        auto form = Show();
        QVERIFY(form);
        for (const QString &f : files) {
            prompts_->FileNames << f;
            form->bLoadParams->click();
        }
        QCOMPARE(form->RecentFiles().size(), TMainForm::RecentCount);
        QCOMPARE(form->RecentFiles().first(), files.last()); // newest first
        QVERIFY(!form->RecentFiles().contains(files.first()));
        QVERIFY(form->close());
    }
    // Kept in a section of their own; the classic sections are as they were.
    TMIniFile ini;
    QCOMPARE(ini.ReadString(QStringLiteral("RecentFiles"), QStringLiteral("File1"), QString()), files.last());
    QCOMPARE(ini.ReadString(QStringLiteral("RecentFiles"), QStringLiteral("File8"), QString()), files.at(1));

    QFile::remove(files.at(5));
    auto form = Show();
    QVERIFY(form);
    QCOMPARE(form->RecentFiles().size(), 8);
    // One click on the menu's entry loads it, as the load button does.
    emit form->RecentMenu->aboutToShow();
    const QList<QAction *> actions = form->RecentMenu->actions();
    QCOMPARE(actions.size(), 8);
    QVERIFY(actions.at(0)->text().endsWith(files.last()));
    actions.at(1)->trigger();
    QCOMPARE(form->Source(), files.at(7));
    QVERIFY(form->bEditParams->isEnabled());
    // A file gone since is dropped from the list, and the user is told.
    emit form->RecentMenu->aboutToShow();
    const QList<QAction *> again = form->RecentMenu->actions();
    QAction *gone = nullptr;
    for (QAction *a : again)
        if (a->text().endsWith(files.at(5))) gone = a;
    QVERIFY(gone);
    gone->trigger();
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 1);
    QVERIFY(prompts_->Texts(TFakePrompts::ErrorBox).first().contains(files.at(5)));
    QVERIFY(!form->RecentFiles().contains(files.at(5)));
    QCOMPARE(form->Source(), files.at(7)); // nothing else changed
}

void TestDesktop::dialogsStartWhereTheyWereLastUsed() {
    // Through the real dialog: picked in one folder, the next dialog of that kind starts
    // there, also in the next run; another kind still starts where its caller says.
    const QString first = dir_->filePath(QStringLiteral("first"));
    QDir().mkpath(first);
    const QString picked = QDir(first).filePath(QStringLiteral("a.vorng"));
    TestEnv::WriteFile(picked, "x");
    auto shown = Show(); // reads the folders of the last run (none yet)
    QVERIFY(shown);
    TMessageBoxPrompts real;
    TFileDialogOptions settings;
    settings.directory = dir_->path();
    settings.filter = QStringLiteral("Файлы настроек (*.vorng)");
    settings.mustExist = true;
    QString startedIn;
    auto accept = [&](const QString &name) {
        QTimer::singleShot(0, [&, name] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog) return;
            startedIn = dialog->directory().absolutePath();
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) edit->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    accept(picked);
    QCOMPARE(real.OpenFileName(settings), picked);
    QCOMPARE(startedIn, QDir(dir_->path()).absolutePath());
    accept(picked);
    real.OpenFileName(settings);
    QCOMPARE(startedIn, QDir(first).absolutePath());

    TFileDialogOptions tank = settings;
    tank.filter = QStringLiteral("Файлы настроек бака (*.vorno)");
    tank.mustExist = false;
    accept(QStringLiteral("t.vorno"));
    real.SaveFileName(tank);
    QCOMPARE(startedIn, QDir(dir_->path()).absolutePath());

    QVERIFY(shown->close());
    shown.reset();
    TMIniFile ini;
    QCOMPARE(ini.ReadString(QStringLiteral("Folders"), QStringLiteral("vorng"), QString()), QDir(first).absolutePath());
    DialogFolders::Clear();
    auto form = Show(); // reads them back
    QVERIFY(form);
    QCOMPARE(DialogFolders::Start(settings), QDir(first).absolutePath());
}

void TestDesktop::droppedAndHandedFilesAskFirst_data() {
    QTest::addColumn<bool>("handed");
    QTest::newRow("dropped on the window") << false;
    QTest::newRow("handed over by a second copy") << true;
}

void TestDesktop::droppedAndHandedFilesAskFirst() {
    QFETCH(bool, handed);
    auto form = Show();
    QVERIFY(form);
    const QString path = File(QStringLiteral("given.vorng"), 0x8080);
    form->SettingsModified = true;
    prompts_->ConfirmAnswers << false; // do not save the changes
    if (handed) {
        // The second copy's side of the channel, as main() uses it.
        // A thread of its own stands for the other process.
        std::atomic<bool> taken{false};
        const QString lock = form->JustOne1->LockFileName();
        std::thread second([&] { taken = TInstanceChannel(lock).Hand(path); });
        QTRY_VERIFY(taken);
        second.join();
    } else {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &drop);
    }
    QTRY_COMPARE(form->MK()->ModelCode, uint16_t(0x8080));
    QCOMPARE(prompts_->Count(TFakePrompts::ConfirmBox), 1);
    QVERIFY(prompts_->Texts(TFakePrompts::ConfirmBox).first().startsWith(QStringLiteral("Возможно, настройки были изменены")));
    QCOMPARE(form->Source(), path);

    // Anything but a settings file is not taken.
    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(dir_->filePath(QStringLiteral("photo.jpg")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(form.get(), &enter);
    QVERIFY(!enter.isAccepted());
}

void TestDesktop::everyButtonHasItsOwnAccelerator_data() {
    QTest::addColumn<bool>("english");
    QTest::newRow("ru") << false;
    QTest::newRow("en") << true;
}

void TestDesktop::everyButtonHasItsOwnAccelerator() {
    QFETCH(bool, english);
    auto form = Show();
    QVERIFY(form);
    if (english) form->cbEnglishVersion->click();
    QMap<QString, QString> keys; // accelerator -> control
    for (QAbstractButton *b : form->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QToolButton *>(b)) continue; // the arrow and "?" have keys of their own (F1)
        const QKeySequence key = QKeySequence::mnemonic(b->text());
        QVERIFY2(!key.isEmpty(), qPrintable(b->objectName() + QStringLiteral(" has no accelerator")));
        const QString k = key.toString().toLower();
        QVERIFY2(!keys.contains(k), qPrintable(b->objectName() + QStringLiteral(" and ") + keys.value(k)));
        keys[k] = b->objectName();
    }
    QCOMPARE(keys.size(), 8);
    // The accelerator presses the button: Alt and the key open the load dialog.
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    prompts_->FileNames << QString();
    QTest::sendKeyEvent(QTest::Click, form.get(), english ? Qt::Key_F : Qt::Key(0x0424 /* Ф */),
                        english ? QStringLiteral("f") : QStringLiteral("ф"), Qt::AltModifier);
    QTRY_COMPARE(prompts_->Count(TFakePrompts::OpenDialog), 1); // an accelerator clicks after a moment
}

void TestDesktop::aboutOnF1() {
    auto form = Show();
    QVERIFY(form);
    QString text;
    QTimer::singleShot(0, [&] {
        QWidget *about = QApplication::activeModalWidget();
        if (!about) return;
        if (auto *browser = about->findChild<QTextBrowser *>(QStringLiteral("AboutText"))) text = browser->toPlainText();
        about->close();
    });
    QTest::keyClick(form.get(), Qt::Key_F1);
    QVERIFY(text.contains(QStringLiteral("tripconf 26.03.25")));
    QVERIFY(text.contains(QStringLiteral("SIL Open Font License")));
    // The licence's own text, not only its name.
    QVERIFY(text.contains(QStringLiteral("Copyright (c) 2010 Dimitar Toshkov Zhekov")));
    QVERIFY(text.contains(QStringLiteral("PERMISSION & CONDITIONS")));
    QVERIFY(text.contains(QStringLiteral("man tripconf-cli")));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
