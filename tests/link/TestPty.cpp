// End to end: the real link (QSerialPort) over a pty against the tripsim executable,
// attached through TRIPCONF_PORTS.

#include "SimProcess.h"
#include "LinkTest.h"
#include "TestEnv.h"

#include "base/Bytes.h"
#include "base/Error.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace LinkTest;

namespace {

// A link attached to the simulator as port 1.
std::unique_ptr<TML_RS> Attach(const TSimProcess &sim, int firstByteTimeout = 100) {
    qputenv("TRIPCONF_PORTS", "1=" + QFile::encodeName(sim.Path));
    auto link = std::make_unique<TML_RS>();
    link->FirstByteTimeout = uint16_t(firstByteTimeout);
    link->SetActive(true);
    return link;
}

QByteArray ReadMemoryImage(TML_RS &link) {
    QByteArray image;
    for (int half = 0; half < 2; ++half)
        for (int i = 1; i < 128; ++i) {
            link.BeginRequest(244, 5);
            link.PutWord(uint16_t(128 * half + i));
            link.Execute();
            for (int k = 0; k < 32; ++k)
                image.append(char(link.GetByte()));
        }
    return image;
}

} // namespace

class TestPty : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv("TRIPCONF_PORTS"); }

    void readModelAndMemory() {
        TSimProcess sim;
        QVERIFY(sim.Start({QStringLiteral("--model"), QStringLiteral("0x4123"), QStringLiteral("--variant"),
                           QStringLiteral("3")}));
        auto link = Attach(sim);
        QCOMPARE(link->PortCount, 1);
        QCOMPARE(link->PortNumber, 1);
        QVERIFY2(link->PortOpen, qPrintable(link->OpenFailure()));
        link->SetBaudRate(115200);
        QCOMPARE(link->BaudRate, 115200);

        link->Command(244, 1);
        link->GetByte();
        QCOMPARE(link->GetWord(), uint16_t(0x4123));
        QCOMPARE(ReadMemoryImage(*link), TSimDevice::ImageOf(TSimDevice::DefaultMemory(3)));
        QCOMPARE(link->Identify(), 244);
    }

    // A section goes in with WriteBegin, WriteBlock and WriteEnd, and the memory
    // dumped at exit shows it.
    void writeSectionAndDump() {
        QTemporaryDir dir;
        const QString dump = dir.filePath(QStringLiteral("memory.bin"));
        TSimProcess sim;
        QVERIFY(sim.Start({QStringLiteral("--dump"), dump, QStringLiteral("--log")}));
        auto link = Attach(sim, 2000);
        const QByteArray before = TSimDevice::DefaultMemory();
        // Section 6: 84 bytes, so two full blocks and a short one.
        const int address =
            LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(before.constData()) + 32 + 4 * 6);
        const int count = 84;
        QByteArray data(count, '\0');
        for (int i = 0; i < count; ++i)
            data[i] = char(0x80 + i);

        link->BeginRequest(244, 12);
        link->PutWord(uint16_t(address));
        link->PutWord(uint16_t(count));
        link->Execute();
        for (int j = 0; j * 32 < count; ++j) {
            const int n = std::min(32, count - 32 * j);
            link->BeginRequest(244, 4);
            link->PutWord(uint16_t(j));
            link->PutWord(uint16_t(n));
            for (int k = 0; k < n; ++k)
                link->PutByte(uint8_t(data[32 * j + k]));
            link->Execute();
        }
        link->BeginRequest(244, 7);
        link->PutWord(uint16_t(address));
        link->PutWord(uint16_t(count));
        link->Execute();
        link->ClosePort();

        QCOMPARE(sim.Stop(), 0);
        const QByteArray after = TestEnv::ReadFile(dump);
        QCOMPARE(after.size(), 8192);
        QCOMPARE(after.mid(address, count), data);
        QCOMPARE(after.left(address), before.left(address));
        uint32_t sum = 0;
        for (char c : data)
            sum += uint8_t(c);
        QCOMPARE(LE::Get<uint32_t>(reinterpret_cast<const uint8_t *>(after.constData()) + address + count),
                 sum);
        QCOMPARE(after.mid(address + count + 4), before.mid(address + count + 4));
        const QByteArray log = sim.Log();
        QVERIFY2(log.contains("PC> 0a f4 01 00 0c"), log.constData()); // WriteBegin
        QVERIFY(log.contains("5 requests served"));
    }

    void faults_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("once");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        QTest::newRow("silent") << QStringList{"--silent", "3"} << false << NoLink << 390 << 1500;
        QTest::newRow("silent twice, then answers")
            << QStringList{"--silent", "2"} << false << QString() << 290 << 1500;
        QTest::newRow("bad checksum x3")
            << QStringList{"--bad-checksum", "3"} << false << BadChecksum << 95 << 1000;
        QTest::newRow("bad checksum x2")
            << QStringList{"--bad-checksum", "2"} << false << QString() << 95 << 1000;
        QTest::newRow("busy") << QStringList{"--busy", "3"} << false << Busy << 95 << 1000;
        QTest::newRow("empty header")
            << QStringList{"--zero-header", "3"} << false << EmptyHeader << 95 << 1000;
        QTest::newRow("LEN 5") << QStringList{"--short-frame", "1"} << true << NoLink << 0 << 80;
        QTest::newRow("last byte missing") << QStringList{"--drop-last", "1"} << true << Delay << 195 << 800;
        QTest::newRow("faults after two good answers")
            << QStringList{"--fault-skip", "2", "--busy", "3"} << false << Busy << 95 << 1000;
    }

    void faults() {
        QFETCH(QStringList, args);
        QFETCH(bool, once);
        QFETCH(QString, error);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        TSimProcess sim;
        QVERIFY(sim.Start(args));
        auto link = Attach(sim);
        const bool skip = args.contains(QStringLiteral("--fault-skip"));
        if (skip) {
            link->Command(244, 1);
            link->Command(244, 1);
        }
        qint64 ms = 0;
        const QString message = Failure(
            [&] {
                if (once)
                    link->CommandOnce(244, 1);
                else
                    link->Command(244, 1);
            },
            &ms);
        QCOMPARE(message, error);
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
        // The link is usable again afterwards (the faults are used up).
        link->Command(244, 1);
        link->GetByte();
        QCOMPARE(link->GetWord(), uint16_t(0x4000));
    }

    // A port that cannot be opened: silent at open, explained with the no-link error.
    void openFailureExplained() {
        TSimProcess sim;
        QVERIFY(sim.Start({}));
        auto holder = Attach(sim);
        QVERIFY(holder->PortOpen);
        auto second = Attach(sim); // the port is taken
        QVERIFY(!second->PortOpen);
        const QString message = Failure([&] { second->CommandOnce(244, 1); });
        QCOMPARE(message.section('\n', 0, 0), NoLink);
        QVERIFY2(message.section('\n', 1).startsWith(sim.Path + ": "), qPrintable(message));
        holder->Command(244, 1);
    }

    void simulatorOptions() {
        QProcess help;
        help.start(QStringLiteral(TRIPSIM_PATH), {QStringLiteral("--help")});
        QVERIFY(help.waitForFinished(5000));
        const QByteArray text = help.readAllStandardOutput();
        for (const char *option :
             {"--model", "--variant", "--memory", "--dump", "--log", "--pace", "--turnaround", "--silent",
              "--bad-checksum", "--busy", "--drop-last", "--short-frame", "--zero-header", "--fault-skip"})
            QVERIFY2(text.contains(option), option);

        QProcess bad;
        bad.start(QStringLiteral(TRIPSIM_PATH), {QStringLiteral("--busy"), QStringLiteral("many")});
        QVERIFY(bad.waitForFinished(5000));
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY(bad.readAllStandardOutput().isEmpty()); // no path: nobody attaches to a broken simulator
    }

    void pacedAnswersTakeLineTime() {
        TSimProcess sim;
        QVERIFY(sim.Start({QStringLiteral("--pace"), QStringLiteral("--turnaround"), QStringLiteral("2")}));
        auto link = Attach(sim);
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 10; ++i) {
            link->BeginRequest(244, 5);
            link->PutWord(1);
            link->Execute();
        }
        // 8 + 38 bytes at 11 bits and 115200 baud, plus 2 ms: at least 6 ms each.
        QVERIFY2(t.elapsed() >= 60, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(link->RxBuf()[5], uint8_t(11));
    }
};

QTEST_GUILESS_MAIN(TestPty)
#include "TestPty.moc"
