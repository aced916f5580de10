// tripconf-cli and tripsim as a shell script meets them: help for every command
// wherever -h stands, --, --version, exit codes 0/1/2, each failure said once, and the
// output checked before the device hears a byte.

#include "SimDevice.h"
#include "SimProcess.h"
#include "TestEnv.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

TRun Run(const char *program, const QStringList &args, const QString &dir) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TRIPCONF_PORTS"), QStringLiteral("1=/nonexistent/tty"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    p.start(QLatin1String(program), args);
    if (!p.waitForFinished(30000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestCliConventions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void help_data();
    void help();
    void exitCodes_data();
    void exitCodes();
    void deviceFailures_data();
    void deviceFailures();
    void unreadableFilesRefused_data();
    void unreadableFilesRefused();
    void verboseLogsExchanges();
    void simulatorOptions_data();
    void simulatorOptions();

private:
    TRun Cli(const QStringList &args) const { return Run(TRIPCONF_CLI, args, dir_.path()); }
    QTemporaryDir dir_;
};

void TestCliConventions::initTestCase() {
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    SettingsFile::Save(mk, dir_.filePath(QStringLiteral("car.vorng")));
    SettingsFile::Save(mk, dir_.filePath(QStringLiteral("-x.vorng")));
    TestEnv::WriteFile(dir_.filePath(QStringLiteral("notes.vorng")), "tea, milk, bread\n");
    QProcess::execute(QStringLiteral("mkfifo"), {dir_.filePath(QStringLiteral("pipe.vorng"))});
}

// A file that is no settings file, and a pipe (which would block for ever): each
// command that reads settings refuses at once, with one message naming the file.
void TestCliConventions::unreadableFilesRefused_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString notes =
        QStringLiteral("The file \"notes.vorng\" is not a settings file or is damaged: it holds 17 bytes, fewer "
                       "than the model code and the header with the section table (62 bytes).\n");
    const QString pipe = QStringLiteral("\"pipe.vorng\" is not a regular file (it is a device, a pipe or a "
                                        "folder); the program does not read it.\n");
    QTest::newRow("dump") << QStringList{"dump", "notes.vorng"} << 1 << "tripconf-cli dump: " + notes;
    QTest::newRow("journals") << QStringList{"journals", "--which", "trip", "notes.vorng"} << 1
                              << "tripconf-cli journals: " + notes;
    QTest::newRow("preview") << QStringList{"preview", "--screen", "x1", "-o", "x.png", "notes.vorng"} << 1
                             << "tripconf-cli preview: " + notes;
    // diff keeps diff(1)'s 2 for trouble: 1 means the files differ.
    QTest::newRow("diff") << QStringList{"diff", "car.vorng", "notes.vorng"} << 2 << "tripconf-cli diff: " + notes;
    QTest::newRow("write") << QStringList{"write", "--port", "1", "notes.vorng"} << 1 << "tripconf-cli write: " + notes;
    QTest::newRow("dump, in Russian")
        << QStringList{"dump", "--lang", "ru", "notes.vorng"} << 1
        << QStringLiteral("tripconf-cli dump: Файл \"notes.vorng\" — не файл настроек или он повреждён: в нём 17 "
                          "байт, меньше кода модели и заголовка с таблицей разделов (62 байта).\n");
    QTest::newRow("dump, a pipe") << QStringList{"dump", "pipe.vorng"} << 1 << "tripconf-cli dump: " + pipe;
    QTest::newRow("journals, a pipe") << QStringList{"journals", "--which", "tank", "pipe.vorng"} << 1
                                      << "tripconf-cli journals: " + pipe;
    QTest::newRow("diff, a pipe") << QStringList{"diff", "pipe.vorng", "car.vorng"} << 2 << "tripconf-cli diff: " + pipe;
    QTest::newRow("write, a pipe") << QStringList{"write", "--port", "1", "pipe.vorng"} << 1
                                   << "tripconf-cli write: " + pipe;
}

void TestCliConventions::unreadableFilesRefused() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const TRun r = Cli(args);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.err, message);
    QCOMPARE(r.out, QString());
    QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("x.png"))));
}

// What each command's help must name: its options with value names and defaults.
void TestCliConventions::help_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("names");
    const QString port = QStringLiteral("--port PORT");
    QTest::newRow("models") << "models" << QStringList{"--json", "--lang en|ru"};
    QTest::newRow("protocols") << "protocols" << QStringList{"--model CODE", "Required.", "--lang en|ru"};
    QTest::newRow("params") << "params" << QStringList{"--model CODE", "Default: 0x4000.", "Default: en."};
    QTest::newRow("menu") << "menu" << QStringList{"--model CODE", "Default: 0x4000.", "--json"};
    QTest::newRow("journals") << "journals"
                              << QStringList{"--which trip|tank|errors|averages", "FILE", "--csv", "--chart",
                                             "-o, --output OUT.png"};
    QTest::newRow("read") << "read"
                          << QStringList{port, "-o, --output FILE", "--connect-timeout SECONDS",
                                         "Default: 10.", "-v, --verbose"};
    QTest::newRow("write") << "write" << QStringList{port, "--no-backup", "TRIPCONF_BACKUPS", "FILE"};
    QTest::newRow("dump") << "dump" << QStringList{"--json", "--lang en|ru", "FILE"};
    QTest::newRow("preview") << "preview"
                             << QStringList{"--screen SCREEN", "--scheme day|night", "Default: day.",
                                            "-o, --output OUT.png"};
    QTest::newRow("diff") << "diff" << QStringList{port, "0 equal, 1 different, 2 trouble"};
}

void TestCliConventions::help() {
    QFETCH(QString, command);
    QFETCH(QStringList, names);
    const TRun help = Cli({"help", command});
    QCOMPARE(help.exitCode, 0);
    QCOMPARE(help.err, QString());
    QVERIFY(help.out.startsWith("usage: tripconf-cli " + command + ' '));
    for (const QString &name : names)
        QVERIFY2(help.out.contains(name), qPrintable(name));
    const bool port = names.contains("--port PORT");
    QCOMPARE(help.out.contains("COM9  … COM20   /dev/ttyUSB0 … /dev/ttyUSB11"), port);
    QCOMPARE(help.out.contains("TRIPCONF_PORTS="), port);
    for (const QString &line : help.out.split('\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    // -h or --help anywhere, even beside a wrong option, gives the same text.
    for (const QStringList &args :
         {QStringList{command, "--help"}, QStringList{"-h", command}, QStringList{command, "--frob", "-h"},
          QStringList{command, "x", "--help"}}) {
        const TRun r = Cli(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, help.out);
    }
}

void TestCliConventions::exitCodes_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // on stdout when 0, else the first line on stderr
    QTest::addColumn<int>("lines");      // on stderr: the message; a usage error adds the usage and a hint
    QTest::newRow("version") << QStringList{"--version"} << 0 << "tripconf-cli " TRIPCONF_VERSION "\n" << 0;
    QTest::newRow("overview") << QStringList{"help"} << 0 << "usage: tripconf-cli COMMAND" << 0;
    QTest::newRow("-- ends the options")
        << QStringList{"dump", "--", "-x.vorng"} << 0 << "model code    0x4000" << 0;
    QTest::newRow("no command") << QStringList{} << 2 << "usage: tripconf-cli COMMAND" << -1;
    QTest::newRow("unknown command") << QStringList{"frob"} << 2 << "tripconf-cli: unknown command \"frob\""
                                     << 2;
    QTest::newRow("help of nothing") << QStringList{"help", "frob"} << 2
                                     << "tripconf-cli: unknown command \"frob\"" << 2;
    QTest::newRow("a file like an option")
        << QStringList{"dump", "-x.vorng"} << 2 << "tripconf-cli dump: unknown option -x" << 3;
    QTest::newRow("no port") << QStringList{"read", "-o", "a.vorng"} << 2
                             << "tripconf-cli read: --port is required" << 3;
    QTest::newRow("port beyond 32") << QStringList{"read", "--port", "COM33", "-o", "a.vorng"} << 2
                                    << "tripconf-cli read: port numbers are 1 … 32, or give a device path"
                                    << 3;
    QTest::newRow("screen that is not")
        << QStringList{"preview", "car.vorng", "--screen", "x4:7", "-o", "a.png"} << 2
        << "tripconf-cli preview: unknown screen \"x4:7\"" << 3;
    QTest::newRow("missing file") << QStringList{"dump", "missing.vorng"} << 1 << "tripconf-cli dump: " << 1;
    QTest::newRow("port not mapped") << QStringList{"read", "--port", "3", "-o", "a.vorng"} << 1
                                     << "tripconf-cli read: port 3 is not mapped to a device" << 1;
    QTest::newRow("port not there") << QStringList{"write", "--port", "COM1", "car.vorng"} << 1
                                    << "tripconf-cli write: port 1 (/nonexistent/tty) is not present" << 1;
}

void TestCliConventions::exitCodes() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(int, lines);
    const TRun r = Cli(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? r.out : r.err).startsWith(output), qPrintable(r.out.left(200) + r.err));
    QCOMPARE((exitCode == 0 ? r.err : r.out), QString());
    if (lines >= 0) QCOMPARE(r.err.count('\n'), lines);
}

// Failures at the device, each told once, and an output that cannot be written told
// before the device hears a byte.
void TestCliConventions::deviceFailures_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("served");
    QTest::newRow("device silent")
        << QStringList{"--silent", "1000000"} << "a.vorng"
        << "tripconf-cli read: I can not connect to the device (1 s): RS232. No link. Check PC-device "
           "connection.\n"
        << true;
    QTest::newRow("no such folder")
        << QStringList{} << "missing/a.vorng"
        << "tripconf-cli read: Cannot write file \"missing/a.vorng\": No such file "
           "or directory\n"
        << false;
}

void TestCliConventions::deviceFailures() {
    QFETCH(QStringList, simArgs);
    QFETCH(QString, output);
    QFETCH(QString, message);
    QFETCH(bool, served);
    TSimProcess sim;
    QVERIFY(sim.Start(simArgs + QStringList{"--log"}));
    const TRun r = Cli({"read", "--port", sim.Path, "-o", output, "--connect-timeout", "1"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, message);
    QVERIFY(!QFileInfo::exists(dir_.filePath(output)));
    QCOMPARE(sim.Stop(), 0);
    QCOMPARE(!sim.Log().contains("tripsim: 0 requests served"), served);
}

void TestCliConventions::verboseLogsExchanges() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--model", "0x4400"}));
    const TRun quiet = Cli({"diff", "car.vorng", "--port", sim.Path});
    QCOMPARE(quiet.exitCode, 1); // another model
    QVERIFY(!quiet.err.contains("tripconf.link"));
    const TRun r = Cli({"diff", "-v", "car.vorng", "--port", sim.Path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.startsWith("tripconf.link: PC> 06 f4 01 00 01 04\n"
                              "tripconf.link: MK< 09 f4 01 00 00 01 00 44 bd ("),
             qPrintable(r.err.left(300)));
    // ReadModel and 254 blocks, each asked and answered.
    QCOMPARE(r.err.count(QRegularExpression("\ntripconf.link: MK< [0-9a-f ]+ \\(\\d+\\.\\d ms\\)\n")), 255);
}

void TestCliConventions::simulatorOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // on stdout when 0, else on stderr
    QTest::newRow("version") << QStringList{"--version"} << 0 << "tripsim " TRIPCONF_VERSION "\n";
    QTest::newRow("unknown option") << QStringList{"--frob"} << 2 << "tripsim: Unknown option 'frob'.";
    QTest::newRow("infinite turnaround") << QStringList{"--turnaround", "inf"} << 2 << "--turnaround wants";
    QTest::newRow("NaN turnaround") << QStringList{"--turnaround", "nan"} << 2 << "--turnaround wants";
    QTest::newRow("negative turnaround") << QStringList{"--turnaround", "-0.5"} << 2 << "--turnaround wants";
    QTest::newRow("a day's turnaround")
        << QStringList{"--turnaround", "86400000"} << 2 << "--turnaround wants";
    QTest::newRow("no pacing rate") << QStringList{"--pace", "--baud", "0"} << 2
                                    << "--baud is 50 ... 4000000";
    QTest::newRow("pacing beyond") << QStringList{"--pace", "--baud", "4000001"} << 2 << "--baud is 50";
    QTest::newRow("late by a day") << QStringList{"--late", "1", "--late-ms", "86400000"} << 2
                                   << "--late-ms is";
    QTest::newRow("memory not there") << QStringList{"--memory", "missing.bin"} << 1 << "tripsim: ";
}

void TestCliConventions::simulatorOptions() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const TRun r = Run(TRIPSIM_PATH, args, dir_.path());
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2((exitCode == 0 ? r.out : r.err).contains(output), qPrintable(r.err));
    if (exitCode != 0) QVERIFY(r.out.isEmpty()); // no pty path: nobody attaches to it
}

QTEST_GUILESS_MAIN(TestCliConventions)
#include "tst_CliConventions.moc"
