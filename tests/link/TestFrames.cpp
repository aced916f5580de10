// Buffers, framing and checksums, without a device.

#include "LinkTest.h"

#include "base/Error.h"

#include <QTest>

using namespace LinkTest;

namespace {

// A fresh link with one port and no device behind it.
std::unique_ptr<TML_RS> Bare() {
    auto ports = std::make_unique<TSimPortDirectory>();
    ports->Attach(1, nullptr);
    return std::make_unique<TML_RS>(std::move(ports));
}

// The menu items a link creates, recorded.
class TRecordingMenu final : public TMLMenu {
public:
    struct Item {
        QString caption;
        QKeySequence shortcut;
        int helpContext;
        std::function<void()> onClick;
        std::unique_ptr<TRecordingMenu> sub;
    };
    std::vector<Item> Items;

    TMLMenu *AddItem(const QString &caption, const QKeySequence &shortcut, int helpContext,
                     std::function<void()> onClick) override {
        Items.push_back(
            {caption, shortcut, helpContext, std::move(onClick), std::make_unique<TRecordingMenu>()});
        return Items.back().sub.get();
    }
};

} // namespace

class TestFrames : public QObject {
    Q_OBJECT

private slots:
    void emptyRequestIsTwoBytes() {
        auto link = Bare();
        link->ClearRequest();
        link->FinishRequest();
        QCOMPARE(link->TxLen, 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(link->TxBuf().data()), 2), Bytes({2, 254}));
    }

    void requestBytes_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ReadModel") << 0 << Bytes({6, 244, 1, 0, 1, 4});
        QTest::newRow("ReadBlock 1") << 1 << Bytes({8, 244, 1, 0, 5, 1, 0, 253});
        QTest::newRow("WriteBegin 92, 70") << 2 << Bytes({10, 244, 1, 0, 12, 92, 0, 70, 0, 83});
        QTest::newRow("WriteBlock 2, 6 bytes")
            << 3 << Bytes({16, 244, 1, 0, 4, 2, 0, 6, 0, 1, 2, 3, 4, 5, 6, 218});
        QTest::newRow("short header") << 4 << Bytes({4, 244, 1, 7});
        QTest::newRow("wide length") << 5 << Bytes({7, 0, 244, 1, 0, 1, 3});
    }

    void requestBytes() {
        QFETCH(int, kind);
        QFETCH(QByteArray, expected);
        auto link = Bare();
        link->ShortHeader = kind == 4;
        link->WideLength = kind == 5;
        switch (kind) {
        case 1:
            link->BeginRequest(244, 5);
            link->PutWord(1);
            break;
        case 2:
            link->BeginRequest(244, 12);
            link->PutWord(92);
            link->PutWord(70);
            break;
        case 3:
            link->BeginRequest(244, 4);
            link->PutWord(2);
            link->PutWord(6);
            for (int i = 1; i <= 6; ++i)
                link->PutByte(uint8_t(i));
            break;
        default:
            link->BeginRequest(244, 1);
        }
        link->FinishRequest();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(link->TxBuf().data()), expected.size()), expected);
        QCOMPARE(link->TxLen, expected.size() - 1); // the checksum is not counted
    }

    void valuesAreLittleEndian() {
        auto link = Bare();
        link->ClearRequest();
        link->PutWord(0x1234);
        link->PutLongInt(0x12345678);
        link->PutLongInt(-2);
        link->PutSingle(1.5f);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(link->TxBuf().data()) + 1, link->TxLen - 1),
                 Bytes({0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0, 0x3F}));

        const QByteArray answer =
            Bytes({0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
        std::copy(answer.begin(), answer.end(), link->RxBuf().begin());
        link->RxPos = 0;
        QCOMPARE(link->GetWord(), uint16_t(0x1234));
        QCOMPARE(link->GetLongInt(), 0x12345678);
        QCOMPARE(link->GetSingle(), 1.5f);
        QCOMPARE(link->GetDouble(), 1.0);
        QCOMPARE(link->RxPos, answer.size());
    }

    void checkAnswerCatchesEverySingleByteChange_data() {
        QTest::addColumn<int>("position");
        for (int i = 0; i < 9; ++i)
            QTest::addRow("byte %d", i) << i;
    }

    void checkAnswerCatchesEverySingleByteChange() {
        QFETCH(int, position);
        const QByteArray answer = Bytes({9, 244, 1, 0, 0, 1, 0, 64, 193});
        auto link = Bare();
        std::copy(answer.begin(), answer.end(), link->RxBuf().begin());
        QVERIFY(link->CheckAnswer());
        for (int delta = 1; delta < 256; ++delta) {
            link->RxBuf()[size_t(position)] = uint8_t(answer[position] + delta);
            if (link->CheckAnswer())
                QFAIL(
                    qPrintable(QStringLiteral("byte value %1 passes").arg(link->RxBuf()[size_t(position)])));
        }
    }

    void overrunsAreRangeErrors() {
        auto link = Bare();
        link->ClearRequest();
        for (int i = 1; i < TMLBaseInterface::BufSize; ++i)
            link->PutByte(0);
        QVERIFY_THROWS_EXCEPTION(RangeError, link->PutByte(0));
        QCOMPARE(link->TxLen, TMLBaseInterface::BufSize);

        link->TxLen = 254; // LEN 255 still fits the length byte
        link->FinishRequest();
        QCOMPARE(link->TxBuf()[0], uint8_t(255));
        link->TxLen = 255;
        QVERIFY_THROWS_EXCEPTION(RangeError, link->FinishRequest());

        link->RxPos = TMLBaseInterface::BufSize - 1;
        link->GetByte();
        QVERIFY_THROWS_EXCEPTION(RangeError, link->GetByte());
        link->RxPos = TMLBaseInterface::BufSize - 1;
        QVERIFY_THROWS_EXCEPTION(RangeError, link->GetWord());
        link->RxPos = -1;
        QVERIFY_THROWS_EXCEPTION(RangeError, link->GetByte());
    }

    void stringsEndAtZero() {
        auto link = Bare();
        const QByteArray answer = QByteArray("\x41\xC4\x20\x31", 4) + QByteArray(1, '\0') + "next";
        std::copy(answer.begin(), answer.end(), link->RxBuf().begin());
        link->RxPos = 0;
        QCOMPARE(link->GetString(), QStringLiteral("AД 1"));
        QCOMPARE(link->RxPos, 5);
        // No terminator before the end of the buffer: a range error, not a read beyond it.
        link->RxBuf()[TMLBaseInterface::BufSize - 1] = 'x';
        link->RxPos = TMLBaseInterface::BufSize - 1;
        QVERIFY_THROWS_EXCEPTION(RangeError, link->GetString());
    }

    void firstByteWait_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("txLen");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("expected");
        QTest::newRow("ReadModel at 115200") << 115200 << 5 << 100 << 100;
        QTest::newRow("42-byte frame at 115200") << 115200 << 41 << 2000 << 2003;
        QTest::newRow("9600 baud") << 9600 << 5 << 1000 << 1005;
        QTest::newRow("2.5 rounds to 2") << 19200 << 5 << 0 << 2;
        QTest::newRow("3.5 rounds to 4") << 19200 << 7 << 0 << 4;
        QTest::newRow("0.5 rounds to 0") << 38400 << 2 << 0 << 0;
        QTest::newRow("1.5 rounds to 2") << 38400 << 6 << 0 << 2;
    }

    void firstByteWait() {
        QFETCH(int, baud);
        QFETCH(int, txLen);
        QFETCH(int, timeout);
        QFETCH(int, expected);
        auto link = Bare();
        link->SetBaudRate(baud);
        link->TxLen = txLen;
        link->FirstByteTimeout = uint16_t(timeout);
        QCOMPARE(link->FirstByteWait(), expected);
    }

    void creationDefaults() {
        auto link = Bare();
        QCOMPARE(link->SectionName, QStringLiteral("RS232"));
        QCOMPARE(link->Caption, QStringLiteral("RS232"));
        QCOMPARE(link->BaudRate, 115200);
        QCOMPARE(link->ByteSize, uint8_t(8));
        QCOMPARE(link->Parity, uint8_t(0));
        QCOMPARE(link->StopBits, uint8_t(2));
        QCOMPARE(link->FirstByteTimeout, uint16_t(1000));
        QCOMPARE(link->InterByteTimeout, uint16_t(200));
        QCOMPARE(link->PortType, uint8_t(0));
        QVERIFY(!link->ShortHeader && !link->WideLength);
        QVERIFY(!link->FirstMenuItem);
        link->SetPortType(2);
        QCOMPARE(link->PortType, uint8_t(2));
        link->SetPortType(3);
        QCOMPARE(link->PortType, uint8_t(0));
    }

    void menuCommand() {
        TRecordingMenu first, second;
        TSimDevice device;
        auto *ports = new TSimPortDirectory;
        ports->Attach(4, &device);
        TML_RS link(std::unique_ptr<TPortDirectory>(ports), &first, &second);
        QCOMPARE(first.Items.size(), size_t(1));
        QCOMPARE(first.Items[0].caption, QStringLiteral("RS232"));
        QVERIFY(second.Items.empty()); // the link does not ask for the second menu
        const auto &sub = first.Items[0].sub->Items;
        QCOMPARE(sub.size(), size_t(1));
        QCOMPARE(sub[0].caption, QStringLiteral("COM-port number"));
        QCOMPARE(sub[0].helpContext, 10000);
        QVERIFY(sub[0].shortcut.isEmpty());
        QCOMPARE(ports->Line(4).Opens, 0);
        sub[0].onClick(); // the port dialog: without dialogs installed it reopens the port
        QCOMPARE(ports->Line(4).Opens, 1);
        QVERIFY(link.IsOpen());

        link.AddMenuCommand(QStringLiteral("Baud rate"), QStringLiteral("Ctrl+B"), {}, 7);
        QCOMPARE(first.Items[0].sub->Items.back().shortcut, QKeySequence(QStringLiteral("Ctrl+B")));
    }
};

#include "TestFrames.moc"

QObject *MakeTestFrames() {
    return new TestFrames;
}
