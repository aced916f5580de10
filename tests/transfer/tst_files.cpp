// Every file the program writes: on a full file system, or onto something that is not
// a regular file, the write fails loudly and the old file stays as it was.

#include "FakePrompts.h"
#include "SimDevice.h"
#include "SimProcess.h"
#include "SimSerialPort.h"
#include "TestEnv.h"
#include "app/MainForm.h"
#include "app/QtTexts.h"
#include "base/Error.h"
#include "base/IniFile.h"
#include "base/Lang.h"
#include "base/SafeFile.h"
#include "editor/MK_SetParamsDlg.h"
#include "model/Journals.h"
#include "model/MK.h"
#include "model/MK_ViewJournalsDlg.h"
#include "model/SettingsFile.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kOld = "the old content\n";

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { Lang::SetEnglish(true); }

    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void notARegularFileRefused_data();
    void notARegularFileRefused();
    void pipeInputsRefusedAtOnce_data();
    void pipeInputsRefusedAtOnce();

private:
    // Empties the small file system, puts the old file there and fills up the rest.
    void PrepareFullDisk(const QString &target);

    QTemporaryDir dir_;
    QString mount_;
    bool mounted_ = false;
};

void TestFiles::initTestCase() {
    mount_ = dir_.filePath(QStringLiteral("small"));
    QVERIFY(QDir().mkpath(mount_));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tripconf-test", mount_});
    mounted_ =
        mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
}

void TestFiles::cleanupTestCase() {
    if (mounted_) QProcess::execute(QStringLiteral("umount"), {mount_});
}

void TestFiles::PrepareFullDisk(const QString &target) {
    QDir small(mount_);
    for (const QString &name : small.entryList(QDir::Files))
        small.remove(name);
    QVERIFY(TestEnv::WriteFile(target, kOld));
    QFile filler(small.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray chunk(4096, 'f');
    while (filler.write(chunk) == chunk.size()) {
    }
}

void TestFiles::fullDiskKeepsTheOldFile_data() {
    QTest::addColumn<QString>("writer");
    QTest::newRow("settings file") << "settings";
    QTest::newRow("journal export") << "journal";
    QTest::newRow("configuration file") << "ini";
    QTest::newRow("configuration file at the main window's close") << "close";
    QTest::newRow("tripconf-cli read -o") << "cli";
    QTest::newRow("tripconf-cli preview -o") << "preview";
    QTest::newRow("tank file from the editor") << "bOilSave";
    QTest::newRow("maintenance file from the editor") << "bTOSave";
    QTest::newRow("journal chart from the viewer") << "chart";
    QTest::newRow("tripconf-cli journals --chart -o") << "cli chart";
}

void TestFiles::fullDiskKeepsTheOldFile() {
    QFETCH(QString, writer);
    if (!mounted_)
        QSKIP("a small tmpfs cannot be mounted here (it needs root); the full-disk cases are skipped");
    const QString target = QDir(mount_).filePath(QStringLiteral("target"));
    TFakePrompts prompts;
    QString failure;

    if (writer == QLatin1String("preview")) {
        const QString settings = dir_.filePath(QStringLiteral("preview.vorng"));
        TMK mk;
        mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
        SettingsFile::Save(mk, settings);
        PrepareFullDisk(target);
        QProcess cli;
        cli.start(QStringLiteral(TRIPCONF_CLI), {"preview", settings, "--screen", "x9:1", "-o", target});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 1);
        failure = QString::fromUtf8(cli.readAllStandardError());
    } else if (writer == QLatin1String("cli chart")) {
        const QString settings = dir_.filePath(QStringLiteral("journals.vorng"));
        TMK mk;
        mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
        SettingsFile::Save(mk, settings);
        PrepareFullDisk(target);
        QProcess cli;
        cli.start(QStringLiteral(TRIPCONF_CLI),
                  {"journals", settings, "--which", "trip", "--chart", "-o", target});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 1);
        failure = QString::fromUtf8(cli.readAllStandardError());
    } else if (writer == QLatin1String("chart")) {
        TMK mk;
        mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
        mk.LoadAllSections();
        prompts.FileNames << target;
        prompts.ConfirmAnswers << true; // over the old file
        PrepareFullDisk(target);
        TMK_ViewJournalsDlg viewer(mk, 0);
        viewer.show();
        viewer.pcMain->setCurrentWidget(viewer.tsCharts);
        QTest::mouseClick(viewer.bChartSave, Qt::LeftButton);
        QCOMPARE(prompts.Unanswered, 0);
        failure = prompts.Texts(TFakePrompts::ErrorBox).join(QLatin1Char('\n'));
    } else if (writer.startsWith(QLatin1String("b"))) {
        // Saved from its page, as the user does it.
        TMK mk;
        prompts.FileNames << target;
        PrepareFullDisk(target);
        mk.EditSettings([&] {
            TMK_SetParamsDlg dlg(mk);
            dlg.show();
            auto *pages = dlg.findChild<QTabWidget *>(QStringLiteral("pcMain"));
            pages->setCurrentWidget(
                dlg.findChild<QWidget *>(writer == QLatin1String("bOilSave") ? QStringLiteral("tsOil") : QStringLiteral("tsTO")));
            dlg.findChild<QPushButton *>(writer)->click();
            return false;
        });
        QCOMPARE(prompts.Unanswered, 0);
        failure = prompts.Texts(TFakePrompts::ErrorBox).join(QLatin1Char('\n'));
    } else if (writer == QLatin1String("cli")) {
        TSimProcess sim;
        QVERIFY(sim.Start({}));
        PrepareFullDisk(target);
        QProcess cli;
        cli.start(QStringLiteral(TRIPCONF_CLI), {"read", "--port", sim.Path, "-o", target});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 1);
        failure = QString::fromUtf8(cli.readAllStandardError());
    } else if (writer == QLatin1String("close")) {
        auto *ports = new TSimPortDirectory;
        ports->Attach(1, nullptr);
        qputenv("TRIPCONF_INI", QFile::encodeName(target));
        {
            TMainForm form;
            form.SetPortDirectory(std::unique_ptr<TPortDirectory>(ports));
            form.show();
            PrepareFullDisk(target);
            QVERIFY(form.close());
        }
        qunsetenv("TRIPCONF_INI");
        // The window speaks the language of its configuration: Russian for a new one.
        failure = prompts.Texts(TFakePrompts::ErrorBox).join(QLatin1Char('\n'));
        // The system's reason comes in the interface language too, through Qt's translations.
        QVERIFY2(failure.startsWith(
                     QStringLiteral("Настройки программы не сохранены. Не удалось записать файл \"%1\": ").arg(target)),
                 qPrintable(failure));
        QVERIFY2(failure.endsWith(QStringLiteral(". Прежний файл остался без изменений.")), qPrintable(failure));
        Lang::SetEnglish(true);
        QtTexts::Apply(true); // as the language check box does
        failure = SafeFile::TryWrite(target, "x");
    } else {
        PrepareFullDisk(target);
        try {
            if (writer == QLatin1String("settings")) {
                TMK mk;
                mk.Image.Append(TestEnv::SampleImage());
                SettingsFile::Save(mk, target);
            } else if (writer == QLatin1String("journal")) {
                Journals::SaveGrid({{"a", "b"}, {"1", "2"}}, target);
            } else {
                TIniFile ini(target);
                ini.WriteString(QStringLiteral("Common"), QStringLiteral("EnglishVersion"),
                                QStringLiteral("1"));
                QVERIFY(!ini.UpdateFile());
                failure = ini.LastError();
            }
        } catch (const Error &e) {
            failure = e.message();
        }
    }
    QVERIFY2(failure.contains(
                 QStringLiteral("Cannot write file \"%1\": No space left on device. The previous file "
                                "is kept as it was.")
                     .arg(target)),
             qPrintable(failure));
    QCOMPARE(TestEnv::ReadFile(target), kOld);
    QCOMPARE(QDir(mount_).entryList(QDir::Files), (QStringList{"filler", "target"})); // no temporary left
}

void TestFiles::notARegularFileRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a pipe, settings file") << "fifo";
    QTest::newRow("a folder, journal export") << "folder";
}

void TestFiles::notARegularFileRefused() {
    QFETCH(QString, kind);
    const QString target = dir_.filePath(kind);
    if (kind == QLatin1String("fifo"))
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {target}), 0);
    else
        QVERIFY(QDir().mkpath(target));
    QString failure;
    try {
        if (kind == QLatin1String("fifo")) {
            TMK mk;
            mk.Image.Append(TestEnv::SampleImage());
            SettingsFile::Save(mk, target);
        } else {
            Journals::SaveGrid({{"a"}}, target);
        }
    } catch (const Error &e) {
        failure = e.message();
    }
    QCOMPARE(failure,
             QStringLiteral("\"%1\" is not a regular file (it is a device, a pipe or a folder); the program "
                            "does not write to it.")
                 .arg(target));
    QVERIFY(QFileInfo::exists(target));
    QVERIFY(!QFileInfo(target).isFile());
}

void TestFiles::pipeInputsRefusedAtOnce_data() {
    QTest::addColumn<QString>("reader");
    QTest::newRow("settings file") << "bLoadParams";
    QTest::newRow("tank file") << "bOilLoad";
    QTest::newRow("maintenance file") << "bTOLoad";
    QTest::newRow("configuration file") << "ini";
}

// Opening a pipe with nobody writing blocks for ever: every reader refuses it first.
void TestFiles::pipeInputsRefusedAtOnce() {
    QFETCH(QString, reader);
    const QString pipe = dir_.filePath(reader + QStringLiteral(".pipe"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {pipe}), 0);
    TFakePrompts prompts;
    auto *ports = new TSimPortDirectory;
    ports->Attach(1, nullptr);
    if (reader == QLatin1String("ini")) {
        qputenv("TRIPCONF_INI", QFile::encodeName(pipe));
        {
            TMainForm form;
            form.SetPortDirectory(std::unique_ptr<TPortDirectory>(ports));
            form.show();
            QVERIFY(form.close());
        }
        qunsetenv("TRIPCONF_INI");
        // Said once, at the start; the close leaves the pipe alone.
        const QStringList errors = prompts.Texts(TFakePrompts::ErrorBox);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Настройки программы не прочитаны: \"%1\" — не обычный файл").arg(pipe)),
                 qPrintable(errors.first()));
        QVERIFY(errors.first().endsWith(QStringLiteral("Программа работает с настройками по умолчанию.")));
    } else if (reader == QLatin1String("bLoadParams")) {
        TMainForm form;
        form.SetPortDirectory(std::unique_ptr<TPortDirectory>(ports));
        form.show();
        prompts.FileNames << pipe;
        form.bLoadParams->click();
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox).size(), 1);
        QVERIFY(!form.bEditParams->isEnabled());
    } else {
        delete ports;
        TMK mk;
        prompts.FileNames << pipe;
        mk.EditSettings([&] {
            TMK_SetParamsDlg dlg(mk);
            dlg.show();
            auto *pages = dlg.findChild<QTabWidget *>(QStringLiteral("pcMain"));
            pages->setCurrentWidget(
                dlg.findChild<QWidget *>(reader == QLatin1String("bOilLoad") ? QStringLiteral("tsOil") : QStringLiteral("tsTO")));
            dlg.findChild<QPushButton *>(reader)->click();
            return false;
        });
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox).size(), 1);
    }
    const QStringList errors = prompts.Texts(TFakePrompts::ErrorBox);
    QVERIFY2(errors.first().contains(QStringLiteral("is not a regular file")) ||
                 errors.first().contains(QStringLiteral("не обычный файл")),
             qPrintable(errors.first()));
    QVERIFY(!QFileInfo(pipe).isFile() && QFileInfo::exists(pipe));
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
