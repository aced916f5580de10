// tripconf-cli read, write and dump against the tripsim executable.

#include "SimDevice.h"
#include "SimProcess.h"
#include "TestEnv.h"
#include "base/Bytes.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

TRun Cli(const QStringList &args, const QString &ports = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (ports.isEmpty())
        env.remove(QStringLiteral("TRIPCONF_PORTS"));
    else
        env.insert(QStringLiteral("TRIPCONF_PORTS"), ports);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TRIPCONF_CLI), args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

class TestTransferCli : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        backups_ = qgetenv("TRIPCONF_BACKUPS");
        qputenv("TRIPCONF_BACKUPS", QFile::encodeName(File("backups")));
    }
    void cleanup() {
        qputenv("TRIPCONF_BACKUPS", backups_);
        dir_.reset();
    }

    void roundTripLeavesTheDeviceAsItWas();
    void writeEditedFile();
    void refusedAndFailed_data();
    void refusedAndFailed();
    void cutOffWriteNamesTheWayBack();
    void damagedDeviceTableRefused_data();
    void damagedDeviceTableRefused();
    void staleAnswersNotTaken();
    void connectTimeout();
    void dumpJson();
    void dumpText();
    void damagedFileRefused_data();
    void damagedFileRefused();
    void readOntoSomethingElseRefused();
    void diff();

private:
    QString File(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray backups_;
};

// Read by port number, write back, read by device path: the same file twice and the
// device memory byte for byte as it started.
void TestTransferCli::roundTripLeavesTheDeviceAsItWas() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--dump", File("memory.bin")}));
    const QString ports = QStringLiteral("1=") + sim.Path;
    TRun r = Cli({"read", "--port", "1", "-o", File("a.vorng")}, ports);
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.contains(QLatin1String("The settings are being read...")), qPrintable(r.err));
    QVERIFY(!r.err.contains(QLatin1String("I can not connect"))); // it answered at once
    QVERIFY(r.err.contains(QLatin1String("100%")));
    r = Cli({"write", "--port", "1", File("a.vorng")}, ports);
    QCOMPARE(r.exitCode, 0);
    // The backup, named last, holds the device as the write found it.
    const QString named =
        QStringLiteral("The settings are recorded in the device\nBackup of the device's previous "
                       "settings: ");
    QVERIFY2(r.err.contains(named), qPrintable(r.err));
    const QString backup = r.err.mid(r.err.indexOf(named) + named.size()).trimmed();
    QCOMPARE(QFileInfo(backup).absolutePath(), File("backups"));
    QCOMPARE(TestEnv::ReadFile(backup), TestEnv::ReadFile(File("a.vorng")));
    r = Cli({"read", "--port", sim.Path, "--output", File("b.vorng")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(sim.Stop(), 0);

    const QByteArray a = TestEnv::ReadFile(File("a.vorng"));
    QCOMPARE(a.size(), 2 + 8128);
    QCOMPARE(TestEnv::ReadFile(File("b.vorng")), a);
    QCOMPARE(TestEnv::ReadFile(File("memory.bin")), TSimDevice::DefaultMemory());
}

void TestTransferCli::writeEditedFile() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--dump", File("memory.bin")}));
    QCOMPARE(Cli({"read", "--port", sim.Path, "-o", File("a.vorng")}).exitCode, 0);
    TMK mk;
    SettingsFile::Load(mk, File("a.vorng"));
    mk.LoadAllSections();
    mk.Set("VelocityLimit", 101);
    mk.StoreSection(6); // a file holds the raw image
    SettingsFile::Save(mk, File("edited.vorng"));
    const TRun r = Cli({"write", "--port", sim.Path, File("edited.vorng"), "--lang", "ru", "--no-backup"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(!QFileInfo::exists(File("backups")));
    QVERIFY(r.err.contains(QStringLiteral("Запись настроек...")));
    QVERIFY(r.err.endsWith(QStringLiteral("Настройки записаны в МК\n")));
    QCOMPARE(sim.Stop(), 0);
    TMK check;
    check.Image.Append(TSimDevice::ImageOf(TestEnv::ReadFile(File("memory.bin"))));
    check.LoadAllSections();
    QCOMPARE(check.Get("VelocityLimit"), 101);
}

void TestTransferCli::refusedAndFailed_data() {
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("message");
    QTest::newRow("another model")
        << QStringList{"--model", "0x4400"} << "en"
        << "tripconf-cli write: The settings version does not match the device version!\nThe settings are "
           "for "
           "model 0x4000 (Model 01), but the device is model 0x4400 (Model 11). Read the settings from this "
           "device, or use a file made for its model.";
    QTest::newRow("another model, ru")
        << QStringList{"--model", "0x4400"} << "ru"
        << "tripconf-cli write: Версия настроек не совпадает с версией устройства!\nНастройки сделаны для "
           "модели "
           "0x4000 (Model 01), а МК — модель 0x4400 (Model 11). Считайте настройки из этого МК или возьмите "
           "файл, сделанный для его модели.";
    QTest::newRow("another firmware")
        << QStringList{"--variant", "9"} << "en"
        << "tripconf-cli write: The settings version does not match the firmware "
           "version!";
    QTest::newRow("link error before the first section")
        << QStringList{"--fault-skip", "100", "--busy", "3"} << "en"
        << "tripconf-cli write: Устройство занято. Возможно, оно находится в режиме местного управления.\n"
           "Nothing was written.";
}

void TestTransferCli::refusedAndFailed() {
    QFETCH(QStringList, simArgs);
    QFETCH(QString, lang);
    QFETCH(QString, message);
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    SettingsFile::Save(mk, File("a.vorng"));
    TSimProcess sim;
    QVERIFY(sim.Start(simArgs));
    const TRun r = Cli({"write", "--port", sim.Path, "--lang", lang, File("a.vorng")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.trimmed().endsWith(message), qPrintable(r.err));
}

// A write cut off after its first sections says so, names the backup and prints the
// command that writes it back; that command puts the device back as it was.
void TestTransferCli::cutOffWriteNamesTheWayBack() {
    const QByteArray before = TSimDevice::DefaultMemory(1);
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(before));
    mk.LoadAllSections();
    for (int k = 1; k <= MKLayout::SectionCount; ++k) {
        for (uint8_t &b : mk.Section(k))
            b = uint8_t(b ^ 0x5A);
        mk.StoreSection(k);
    }
    SettingsFile::Save(mk, File("new.vorng"));
    TSimProcess sim;
    QVERIFY(sim.Start(
        {"--variant", "1", "--silent", "1000000", "--fault-skip", "300", "--dump", File("half.bin")}));
    const TRun r = Cli({"write", "--port", sim.Path, File("new.vorng")});
    QCOMPARE(r.exitCode, 1);
    QStringList lines = r.err.trimmed().split(QLatin1Char('\n'));
    lines = lines.mid(lines.size() - 5); // after the progress
    QCOMPARE(lines.at(0), QStringLiteral("tripconf-cli write: RS232. No link. Check PC-device connection."));
    QCOMPARE(lines.at(1),
             QStringLiteral("The write was cut off: the device may now hold part of the new settings."));
    const QString named = QStringLiteral("Backup of the device's previous settings: ");
    QVERIFY2(lines.at(2).startsWith(named), qPrintable(r.err));
    const QString backup = lines.at(2).mid(named.size());
    QCOMPARE(lines.at(3), QStringLiteral("To write the device's previous settings back:"));
    QCOMPARE(lines.at(4), QStringLiteral("  tripconf-cli write --port %1 %2").arg(sim.Path, backup));
    QCOMPARE(sim.Stop(), 0);
    QCOMPARE(TestEnv::ReadFile(backup), SettingsFile::Encode(0x4000, TSimDevice::ImageOf(before)));
    const QByteArray half = TestEnv::ReadFile(File("half.bin"));
    const auto section = [](const QByteArray &memory, int k) {
        const auto *m = reinterpret_cast<const uint8_t *>(memory.constData());
        return memory.mid(LE::Get<uint16_t>(m + 32 + 4 * k), LE::Get<uint16_t>(m + 34 + 4 * k) - 4);
    };
    QVERIFY(section(half, 1) != section(before, 1));
    QCOMPARE(section(half, 11), section(before, 11));

    // The printed command, on the device as the cut left it (now behind another pty).
    TSimProcess again;
    QVERIFY(again.Start({"--memory", File("half.bin"), "--dump", File("restored.bin")}));
    QStringList command = lines.at(4).trimmed().split(QLatin1Char(' '));
    QCOMPARE(command.takeFirst(), QStringLiteral("tripconf-cli"));
    command[2] = again.Path;
    QCOMPARE(Cli(command).exitCode, 0);
    QCOMPARE(again.Stop(), 0);
    QCOMPARE(TestEnv::ReadFile(File("restored.bin")), before);
}

// Good settings onto a device whose own section table is damaged: refused once its
// memory is read, before a byte of it is written.
void TestTransferCli::damagedDeviceTableRefused_data() {
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("no sections")
        << 32 << QByteArray::fromHex("00")
        << "tripconf-cli write: The section table in the device memory is damaged: the "
           "section table lists 0 sections, but at least 11 are needed. Nothing was "
           "written.";
    QTest::newRow("section 2 over section 1")
        << 40 << QByteArray::fromHex("60002001")
        << "tripconf-cli write: The section table in the device memory is damaged: sections 1 (address 92, "
           "length "
           "168) and 2 (address 96, length 288) overlap. Nothing was written.";
}

void TestTransferCli::damagedDeviceTableRefused() {
    QFETCH(int, at);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    SettingsFile::Save(mk, File("a.vorng"));
    QByteArray memory = TSimDevice::DefaultMemory();
    memory.replace(at, bytes.size(), bytes);
    QVERIFY(TestEnv::WriteFile(File("memory.bin"), memory));
    TSimProcess sim;
    QVERIFY(sim.Start({"--memory", File("memory.bin"), "--dump", File("after.bin"), "--log"}));
    const TRun r = Cli({"write", "--port", sim.Path, File("a.vorng")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.trimmed().endsWith(message), qPrintable(r.err));
    QCOMPARE(sim.Stop(), 0);
    QVERIFY(sim.Log().contains("tripsim: 255 requests served")); // ReadModel and the memory only
    QCOMPARE(TestEnv::ReadFile(File("after.bin")), memory);
}

// Answers that a run gave up on, still coming when the next run starts, and answers of
// another command's length are not taken: each of three reads back to back either
// fails or saves the device's settings as they are.
void TestTransferCli::staleAnswersNotTaken() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--variant", "1", "--late", "3", "--late-ms", "800", "--fault-skip", "23"}));
    const QByteArray truth = SettingsFile::Encode(0x4000, TSimDevice::ImageOf(TSimDevice::DefaultMemory(1)));
    QList<int> codes;
    for (const char *name : {"1.vorng", "2.vorng", "3.vorng"}) {
        const TRun r = Cli({"read", "--port", sim.Path, "-o", File(name)});
        codes << r.exitCode;
        if (r.exitCode == 0) QCOMPARE(TestEnv::ReadFile(File(name)), truth);
    }
    QCOMPARE(codes.first(), 1);
    QCOMPARE(codes.last(), 0);
}

void TestTransferCli::connectTimeout() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--silent", "100000"}));
    QElapsedTimer t;
    t.start();
    const TRun r = Cli({"read", "--port", sim.Path, "-o", File("a.vorng"), "--connect-timeout", "1"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(t.elapsed() >= 1000 && t.elapsed() < 10000);
    QVERIFY2(
        r.err.contains(QLatin1String("tripconf-cli read: I can not connect to the device (1 s): RS232. No "
                                     "link. Check PC-device connection.")),
        qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(File("a.vorng")));

    QCOMPARE(Cli({"read", "--port", "3", "-o", File("a.vorng")}, QStringLiteral("1=") + sim.Path).exitCode,
             1);
    QCOMPARE(Cli({"read", "--port", "1"}).exitCode, 2);
    QCOMPARE(Cli({"write", "--port", "1"}).exitCode, 2);
}

void TestTransferCli::dumpJson() {
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory(4)));
    mk.LoadAllSections();
    mk.Set("VelocityLimit", 88);
    mk.SetFloat("VelocityCorr", 1.1f);
    mk.SetServiceName(1, QStringLiteral("Ремень ГРМ"));
    for (int k = 1; k <= 11; ++k)
        mk.StoreSection(k);
    SettingsFile::Save(mk, File("a.vorng"));

    const TRun r = Cli({"dump", File("a.vorng"), "--json"});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(o.value("modelCode").toInt(), 0x4000);
    QVERIFY(!o.value("modelName").toString().isEmpty());
    QCOMPARE(o.value("imageSize").toInt(), 8128);
    const QJsonObject header = o.value("header").toObject();
    QCOMPARE(header.value("sectionCount").toInt(), 11);
    QCOMPARE(header.value("variant").toInt(), 4);
    const QJsonArray table = o.value("sectionTable").toArray();
    QCOMPARE(table.size(), 11);
    QCOMPARE(table.at(5).toObject().value("section").toInt(), 6);
    QCOMPARE(table.at(5).toObject().value("address").toInt(), int(mk.Header.sections[6].address));
    QCOMPARE(table.at(5).toObject().value("length").toInt(), 88);
    // The fields grouped by their section, every field once.
    const QJsonArray sections = o.value("sections").toArray();
    QCOMPARE(sections.size(), 11);
    QJsonObject fields;
    for (int k = 1; k <= 11; ++k) {
        const QJsonObject section = sections.at(k - 1).toObject();
        QCOMPARE(section.value("section").toInt(), k);
        const QJsonObject own = section.value("fields").toObject();
        for (auto it = own.begin(); it != own.end(); ++it) {
            QCOMPARE(int(TMK::Field(it.key().toLatin1().constData()).section), k);
            fields.insert(it.key(), it.value());
        }
    }
    QCOMPARE(fields.size(), int(MKLayout::Fields().size()));
    QCOMPARE(fields.value("VelocityLimit").toInt(), 88);
    QCOMPARE(fields.value("VelocityCorr").toDouble(), 1.1);
    QCOMPARE(fields.value("ServiceNames").toArray().at(1).toString(), QStringLiteral("Ремень ГРМ"));
    QCOMPARE(fields.value("ServiceNames").toArray().size(), 5);
    QCOMPARE(fields.value("Pids").toArray().size(), 16);
    QCOMPARE(fields.value("TripJournal").toArray().size(), 420);
    QCOMPARE(fields.value("TotalsGeneral").toArray().at(0).toInt(), 1234567);
}

void TestTransferCli::dumpText() {
    TMK mk;
    mk.ModelCode = 0xBEEF; // no such model
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    SettingsFile::Save(mk, File("a.vorng"));
    const TRun r = Cli({"dump", File("a.vorng")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith(QLatin1String("model code    0xBEEF\n")));
    QVERIFY(r.out.contains(QLatin1String("sections      11, header variant 0")));
    QVERIFY(r.out.contains(QRegularExpression(QStringLiteral("\n1 +TotalsGeneral +\\[1234567, "))));
    QVERIFY(r.out.contains(QRegularExpression(QStringLiteral("\n6 +VelocityLimit +\\d+\n"))));
    QCOMPARE(Cli({"dump", File("missing.vorng")}).exitCode, 1);
}

// A file that does not hold its sections is refused before the device hears a byte.
void TestTransferCli::damagedFileRefused_data() {
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("message");
    QTest::newRow("en")
        << "en"
        << "tripconf-cli write: The file \"%1\" is not a settings file or is damaged: section 7 (address "
           "1004, length 864) runs past the data (device addresses 92 … 1031).";
    QTest::newRow("ru")
        << "ru"
        << "tripconf-cli write: Файл \"%1\" — не файл настроек или он повреждён: раздел 7 (адрес 1004, длина "
           "864) выходит за пределы данных (адреса МК 92 … 1031).";
}

void TestTransferCli::damagedFileRefused() {
    QFETCH(QString, lang);
    QFETCH(QString, message);
    const QByteArray whole = SettingsFile::Encode(0x4000, TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    QVERIFY(TestEnv::WriteFile(File("cut.vorng"), whole.left(2 + 1000)));
    TSimProcess sim;
    QVERIFY(sim.Start({"--log"}));
    const TRun r = Cli({"write", "--port", sim.Path, "--lang", lang, File("cut.vorng")});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err.trimmed(), message.arg(File("cut.vorng")));
    QCOMPARE(sim.Stop(), 0);
    QVERIFY(sim.Log().contains("tripsim: 0 requests served"));
}

// Onto a pipe (or a device) the command refuses at once instead of replacing it.
void TestTransferCli::readOntoSomethingElseRefused() {
    const QString fifo = File("pipe");
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    TSimProcess sim;
    QVERIFY(sim.Start({"--log"}));
    const TRun r = Cli({"read", "--port", sim.Path, "-o", fifo});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("\"%1\" is not a regular file").arg(fifo)), qPrintable(r.err));
    QCOMPARE(sim.Stop(), 0);
    QVERIFY(sim.Log().contains("tripsim: 0 requests served"));
    QVERIFY(!QFileInfo(fifo).isFile());
    QVERIFY(QFileInfo::exists(fifo));
}

void TestTransferCli::diff() {
    TMK mk;
    mk.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    SettingsFile::Save(mk, File("a.vorng"));
    SettingsFile::Save(mk, File("same.vorng"));
    mk.LoadAllSections();
    mk.Set("VelocityLimit", 101);
    mk.Set("Disp4Params", 7, 5);
    mk.StoreSection(6);
    mk.StoreSection(9);
    SettingsFile::Save(mk, File("b.vorng"));

    TRun r = Cli({"diff", File("a.vorng"), File("same.vorng")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QString());
    r = Cli({"diff", File("a.vorng"), File("b.vorng")});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             (QStringList{"NAME           ELEMENT  A   B", "VelocityLimit           40  101",
                          "Disp4Params    5        10  7"}));
    r = Cli({"diff", File("a.vorng"), File("b.vorng"), "--json"});
    QCOMPARE(r.exitCode, 1);
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(o.value("equal").toBool(), false);
    const QJsonArray rows = o.value("differences").toArray();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toObject(),
             (QJsonObject{{"name", "VelocityLimit"}, {"element", QJsonValue()}, {"a", 40}, {"b", 101}}));

    // A cut-short file is refused, not compared with values it does not hold.
    QVERIFY(TestEnv::WriteFile(File("cut.vorng"), TestEnv::ReadFile(File("a.vorng")).left(2 + 1000)));
    r = Cli({"diff", File("a.vorng"), File("cut.vorng"), "--json"});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(File("cut.vorng")) && r.err.contains(QLatin1String("section 7")), qPrintable(r.err));

    // The device in place of B: the file it was read into, field for field.
    TSimProcess sim;
    QVERIFY(sim.Start({}));
    r = Cli({"diff", File("a.vorng"), "--port", sim.Path});
    QCOMPARE(r.exitCode, 0);
    r = Cli({"diff", File("b.vorng"), "--port", sim.Path, "--json"});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object().value("differences").toArray().size(), 2);

    QCOMPARE(Cli({"diff", File("a.vorng")}).exitCode, 2);
    QCOMPARE(Cli({"diff", File("a.vorng"), File("missing.vorng")}).exitCode, 2);
}

QTEST_GUILESS_MAIN(TestTransferCli)
#include "tst_transfer_cli.moc"
