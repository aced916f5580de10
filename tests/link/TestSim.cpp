// The simulated device itself: its memory and how it answers.

#include "LinkTest.h"
#include "TestEnv.h"

#include "base/Bytes.h"
#include "model/MK.h"

#include <QTemporaryDir>
#include <QTest>

using namespace LinkTest;

namespace {

// One request in, the answer out.
QByteArray Ask(TSimDevice &device, std::initializer_list<int> body) {
    return device.Receive(Frame(body), 0);
}

QByteArray Ask(TSimDevice &device, const QByteArray &body) {
    return device.Receive(Frame(body), 0);
}

uint8_t Status(const QByteArray &answer) {
    return uint8_t(answer.at(4));
}
QByteArray Payload(const QByteArray &answer) {
    return answer.mid(5, answer.size() - 6);
}

QByteArray Word(int v) {
    return Bytes({v & 0xFF, (v >> 8) & 0xFF});
}

QByteArray Section(const TMK &mk, int k) {
    const auto s = mk.Section(k);
    return QByteArray(reinterpret_cast<const char *>(s.data()), qsizetype(s.size()));
}

} // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void defaultMemoryHoldsTheDefaults() {
        const QByteArray memory = TSimDevice::DefaultMemory(5);
        QCOMPARE(memory.size(), TSimDevice::MemorySize);
        TMK device;
        device.Image.Append(TSimDevice::ImageOf(memory));
        QCOMPARE(device.Image.Size(), 8128);
        device.LoadAllSections();
        QCOMPARE(device.Header.sectionCount, uint8_t(11));
        QCOMPARE(device.Header.variant, uint8_t(5));
        int end = 32 + 60;
        for (int k = 1; k <= 11; ++k) {
            const TSectionEntry &e = device.Header.sections[size_t(k)];
            QVERIFY(e.address >= end); // increasing, after the header
            QCOMPARE(int(e.length), MKLayout::SectionSize[size_t(k)] + 4);
            end = e.address + e.length;
        }
        QVERIFY(end <= 4096); // the first half

        const TMK defaults;
        for (int k : {2, 3, 4, 5, 6, 8, 9, 10})
            QCOMPARE(Section(device, k), Section(defaults, k));
        QCOMPARE(device.Get("PriceExpense"), 250);
        QCOMPARE(device.Get("AllPathStart"), 1200);

        // History: trips, refuellings, errors with freeze frames.
        auto dayOf = [&](const char *journal, int slot) {
            return uint8_t(device.GetBytes(journal).at(slot * 20 + 2));
        };
        int trips = 0, refuellings = 0;
        for (int slot = 0; slot < 21; ++slot) {
            trips += dayOf("TripJournal", slot) != 0;
            refuellings += dayOf("TankJournal", slot) != 0;
        }
        QCOMPARE(trips, 5);
        QCOMPARE(refuellings, 3);
        QCOMPARE(dayOf("TripJournal", 1), uint8_t(15)); // the image's own sample stays
        const QByteArray errors = device.GetBytes("ErrorRecords");
        const auto *e = reinterpret_cast<const uint8_t *>(errors.constData());
        QCOMPARE(LE::Get<uint32_t>(e + 4), 0x0171u);
        QCOMPARE(LE::Get<uint32_t>(e + 8), 0x0171u);
        QCOMPARE(LE::Get<int16_t>(e + 32), int16_t(812)); // engine speed in the freeze frame
        QCOMPARE(LE::Get<uint32_t>(e + 92 + 4), 0x0300u);
        const QByteArray pids = device.GetBytes("PidSupport");
        QCOMPARE(uint8_t(pids.at(1)) & 0x10, 0x10); // PID 12, engine speed
    }

    void sectionsCarryTheirSum() {
        TSimDevice device;
        const auto *mem = reinterpret_cast<const uint8_t *>(device.Memory.constData());
        for (int k = 1; k <= 11; ++k) {
            const int a = LE::Get<uint16_t>(mem + 32 + 4 * k),
                      count = LE::Get<uint16_t>(mem + 34 + 4 * k) - 4;
            uint32_t sum = 0;
            for (int i = 0; i < count; ++i)
                sum += mem[a + i];
            QCOMPARE(LE::Get<uint32_t>(mem + a + count), sum);
        }
    }

    void answers_data() {
        QTest::addColumn<QByteArray>("request"); // without LEN and CHK
        QTest::addColumn<QByteArray>("answer");  // likewise; empty = silent
        QTest::newRow("ReadModel") << Bytes({244, 1, 0, 1}) << Bytes({244, 1, 0, 0, 1, 0x23, 0x41});
        QTest::newRow("Identify") << Bytes({0, 0, 0, 0}) << Bytes({244, 1, 0, 0});
        QTest::newRow("block 256") << Bytes({244, 1, 0, 5, 0, 1}) << Bytes({244, 1, 0, 2});
        QTest::newRow("block number cut short") << Bytes({244, 1, 0, 5, 1}) << Bytes({244, 1, 0, 2});
        QTest::newRow("unknown command") << Bytes({244, 1, 0, 99}) << Bytes({244, 1, 0, 1});
        QTest::newRow("WriteBlock before WriteBegin")
            << Bytes({244, 1, 0, 4, 0, 0, 1, 0, 9}) << Bytes({244, 1, 0, 2});
        QTest::newRow("another address") << Bytes({17, 1, 0, 1}) << QByteArray();
        QTest::newRow("address 0, not Identify") << Bytes({0, 1, 0, 1}) << QByteArray();
    }

    void answers() {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        TSimDevice device;
        device.ModelCode = 0x4123;
        const QByteArray got = Ask(device, request);
        QCOMPARE(got, answer.isEmpty() ? QByteArray() : Frame(answer));
    }

    void readBlocks() {
        TSimDevice device;
        for (int block : {0, 1, 127, 128, 255}) {
            const QByteArray answer = Ask(device, Bytes({244, 1, 0, 5}) + Word(block));
            QCOMPARE(Status(answer), uint8_t(0));
            QCOMPARE(Payload(answer), device.Memory.mid(32 * block, 32));
        }
    }

    void garbledRequestsAreIgnored() {
        TSimDevice device;
        QByteArray bad = Frame({244, 1, 0, 1});
        bad[5] = char(bad[5] + 1);
        QVERIFY(device.Receive(bad, 0).isEmpty());
        QCOMPARE(device.Requests(), 0);
        // Bytes that cannot start a request are skipped; the request after them counts.
        QCOMPARE(device.Receive(QByteArray(Bytes({2, 0, 5}) + Frame({244, 1, 0, 1})), 10).size(), 9);
        // A stray byte that looks like a long request: the pause before the next one clears it.
        QVERIFY(device.Receive(QByteArray(Bytes({254}) + Frame({244, 1, 0, 1})), 20).isEmpty());
        QCOMPARE(device.Receive(Frame({244, 1, 0, 1}), 90).size(), 9);
        // Half a request, a pause, then a whole one: the half is dropped.
        QVERIFY(device.Receive(Frame({244, 1, 0, 1}).left(3), 100).isEmpty());
        QCOMPARE(device.Receive(Frame({244, 1, 0, 1}), 200).size(), 9);
        QCOMPARE(device.Requests(), 3);
        // Split without a pause: put together.
        QVERIFY(device.Receive(Frame({244, 1, 0, 1}).left(3), 300).isEmpty());
        QCOMPARE(device.Receive(Frame({244, 1, 0, 1}).mid(3), 310).size(), 9);
    }

    void writeSection_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("blocks");
        QTest::newRow("70 bytes") << 70 << QList<int>{32, 32, 6};
        QTest::newRow("64 bytes") << 64 << QList<int>{32, 32};
        QTest::newRow("5 bytes") << 5 << QList<int>{5};
    }

    void writeSection() {
        QFETCH(int, count);
        QFETCH(QList<int>, blocks);
        TSimDevice device;
        const int address = 1000;
        QByteArray data(count, '\0');
        for (int i = 0; i < count; ++i)
            data[i] = char(i * 3 + 1);
        const QByteArray before = device.Memory;

        QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 12}) + Word(address) + Word(count))), uint8_t(0));
        for (int j = 0; j < blocks.size(); ++j)
            QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 4}) + Word(j) + Word(blocks[j]) +
                                            data.mid(32 * j, blocks[j]))),
                     uint8_t(0));
        // Past the section: refused.
        QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 4}) + Word(blocks.size()) + Word(1) + "x")),
                 uint8_t(2));
        QCOMPARE(device.Memory, before); // nothing before WriteEnd
        QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 7}) + Word(address) + Word(count + 1))), uint8_t(2));
        QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 7}) + Word(address) + Word(count))), uint8_t(0));
        QCOMPARE(device.Memory.mid(address, count), data);
        QCOMPARE(device.Memory.left(address), before.left(address));
        QCOMPARE(device.Memory.mid(address + count), before.mid(address + count));
        // A repeated WriteEnd (its answer was lost) does the same again.
        QCOMPARE(Status(Ask(device, Bytes({244, 1, 0, 7}) + Word(address) + Word(count))), uint8_t(0));
        QCOMPARE(device.Memory.mid(address, count), data);
    }

    void writingASectionUpdatesItsSum() {
        TSimDevice device;
        const auto *mem = reinterpret_cast<const uint8_t *>(device.Memory.constData());
        const int a = LE::Get<uint16_t>(mem + 32 + 4 * 2), count = LE::Get<uint16_t>(mem + 34 + 4 * 2) - 4;
        Ask(device, Bytes({244, 1, 0, 12}) + Word(a) + Word(count));
        Ask(device, Bytes({244, 1, 0, 4}) + Word(0) + Word(count) + QByteArray(count, char(2)));
        Ask(device, Bytes({244, 1, 0, 7}) + Word(a) + Word(count));
        QCOMPARE(LE::Get<uint32_t>(mem + a + count), uint32_t(2 * count));
    }

    void faultsHitTheNumberedAnswers() {
        TSimDevice device;
        device.Faults.Skip = 2;
        device.Faults.Busy = 2;
        device.Faults.DropLast = 1;
        QList<QByteArray> answers;
        for (int i = 0; i < 5; ++i)
            answers << Ask(device, {244, 1, 0, 1});
        QCOMPARE(answers[0], answers[1]);
        QCOMPARE(answers[2], Frame({244, 1, 0, 0xFF}).chopped(1)); // busy and cut short
        QCOMPARE(answers[3], Frame({244, 1, 0, 0xFF}));
        QCOMPARE(answers[4], answers[0]);

        TSimDevice other;
        other.Faults.ZeroHeader = 1;
        other.Faults.BadChecksum = 1;
        const QByteArray a = Ask(other, {244, 1, 0, 1});
        QCOMPARE(a.left(5), Bytes({9, 0, 0, 0, 0}));
        unsigned sum = 0;
        for (char c : a)
            sum += uint8_t(c);
        QVERIFY(sum % 256 != 0);
        other.Faults = {};
        other.Faults.Skip = 1;
        other.Faults.ShortFrame = 1;
        QCOMPARE(Ask(other, {244, 1, 0, 1}), Frame({244, 1, 0}));
    }

    void silentAndBusyRequestsAreNotExecuted() {
        TSimDevice device;
        device.Faults.Silent = 1;
        device.Faults.Skip = 1;
        Ask(device, Bytes({244, 1, 0, 12}) + Word(3500) + Word(4));
        QVERIFY(Ask(device, Bytes({244, 1, 0, 4}) + Word(0) + Word(4) + "abcd").isEmpty());
        Ask(device, Bytes({244, 1, 0, 7}) + Word(3500) + Word(4));
        QCOMPARE(device.Memory.mid(3500, 4), QByteArray(4, char(0xFF)));
    }

    void memoryFiles() {
        QTemporaryDir dir;
        TSimDevice device;
        device.Memory[4000] = 'Q';
        const QString full = dir.filePath(QStringLiteral("full.bin"));
        QCOMPARE(device.SaveMemory(full), QString());
        TSimDevice copy;
        QCOMPARE(copy.LoadMemory(full), QString());
        QCOMPARE(copy.Memory, device.Memory);

        // The image the tool reads fills everything but blocks 0 and 128.
        const QString image = dir.filePath(QStringLiteral("image.bin"));
        QByteArray bytes(8128, 'i');
        QVERIFY(TestEnv::WriteFile(image, bytes));
        QCOMPARE(copy.LoadMemory(image), QString());
        QCOMPARE(copy.Memory.left(32), device.Memory.left(32));
        QCOMPARE(copy.Memory.mid(4096, 32), device.Memory.mid(4096, 32));
        QCOMPARE(TSimDevice::ImageOf(copy.Memory), bytes);

        const QString odd = dir.filePath(QStringLiteral("odd.bin"));
        QVERIFY(TestEnv::WriteFile(odd, "abc"));
        QVERIFY(copy.LoadMemory(odd).contains(QStringLiteral("3 bytes")));
        QVERIFY(!copy.LoadMemory(dir.filePath(QStringLiteral("missing"))).isEmpty());
        QCOMPARE(TSimDevice::ImageOf(copy.Memory), bytes); // a failed load changes nothing
    }
};

#include "TestSim.moc"

QObject *MakeTestSim() {
    return new TestSim;
}
