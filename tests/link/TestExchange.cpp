// Exchanges with an in-process simulated device: answers, faults, retries, timing.
// Timing uses the real clock with short timeouts and wide margins.

#include "FakePrompts.h"
#include "LinkTest.h"

#include "base/Error.h"

#include <QTest>
#include <QTimer>

using namespace LinkTest;

namespace {

// Frame variants are answered by hand.
QByteArray ShortHeaderAnswer(const QByteArray &, bool zero) {
    return Frame({zero ? 0 : 244, 0, 1, 0, 0x40});
}

QByteArray WideAnswer(const QByteArray &, bool zero, int length) {
    QByteArray f = Bytes({length & 0xFF, length >> 8, zero ? 0 : 244, zero ? 0 : 1, 0, 0, 1, 0, 0x40});
    f = f.left(length - 1);
    unsigned sum = 0;
    for (char c : f)
        sum += uint8_t(c);
    return f + QByteArray(1, char(uint8_t(256 - sum % 256)));
}

class TScriptedChoice final : public TPortChoice {
public:
    std::optional<int> Rate;
    int ChoosePort(const TML_RS_Base &) override { return 0; }
    std::optional<int> ChooseBaudRate(int) override { return Rate; }
};

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

private slots:
    void readModel() {
        TRig rig;
        QVERIFY(rig.Link->IsOpen());
        rig.Device.ModelCode = 0x4123;
        rig.Link->BeginRequest(244, 1);
        rig.Link->Execute();
        QCOMPARE(rig.Line.Written, QList<QByteArray>{Bytes({6, 244, 1, 0, 1, 4})});
        QCOMPARE(rig.Link->RxPos, 5);
        rig.Link->GetByte();
        QCOMPARE(rig.Link->GetWord(), uint16_t(0x4123));
    }

    // The read of the whole memory as the transfer does it: 254 blocks.
    void readWholeMemory() {
        TRig rig;
        QByteArray image;
        for (int half = 0; half < 2; ++half)
            for (int i = 1; i < 128; ++i) {
                rig.Link->BeginRequest(244, 5);
                rig.Link->PutWord(uint16_t(128 * half + i));
                rig.Link->Execute();
                for (int k = 0; k < 32; ++k)
                    image.append(char(rig.Link->GetByte()));
            }
        QCOMPARE(rig.Line.Written.size(), 254);
        QCOMPARE(rig.Line.Written.first(), Bytes({8, 244, 1, 0, 5, 1, 0, 253}));
        QCOMPARE(image.size(), 8128);
        QCOMPARE(image, TSimDevice::ImageOf(rig.Device.Memory));
    }

    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("once");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        // Three silent attempts: 3 x 100 ms, and after each of the first two the line
        // must stay quiet for 200 ms.
        QTest::newRow("silent x3") << "silent" << 3 << false << NoLink << 3 << 390 << 1000;
        QTest::newRow("silent x2, then an answer") << "silent" << 2 << false << QString() << 3 << 290 << 900;
        QTest::newRow("silent once") << "silent" << 1 << true << NoLink << 1 << 95 << 600;
        QTest::newRow("bad checksum x3") << "checksum" << 3 << false << BadChecksum << 3 << 95 << 600;
        QTest::newRow("bad checksum x2, then good")
            << "checksum" << 2 << false << QString() << 3 << 95 << 600;
        QTest::newRow("busy x3") << "busy" << 3 << false << Busy << 3 << 95 << 600;
        QTest::newRow("busy x2, then free") << "busy" << 2 << false << QString() << 3 << 95 << 600;
        QTest::newRow("empty header x3") << "zero" << 3 << false << EmptyHeader << 3 << 95 << 600;
        QTest::newRow("LEN 5 once, fails at once") << "short" << 1 << true << NoLink << 1 << 0 << 60;
        QTest::newRow("LEN 5 x3") << "short" << 3 << false << NoLink << 3 << 95 << 600;
        // The missing byte is waited for 200 ms after the one before it.
        QTest::newRow("last byte missing once") << "drop" << 1 << true << Delay << 1 << 195 << 700;
        QTest::newRow("last byte missing x3") << "drop" << 3 << false << Delay << 3 << 695 << 1500;
    }

    void faults() {
        QFETCH(QString, fault);
        QFETCH(int, count);
        QFETCH(bool, once);
        QFETCH(QString, error);
        QFETCH(int, requests);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        TRig rig;
        TSimFaults &f = rig.Device.Faults;
        int *counter = fault == "silent"     ? &f.Silent
                       : fault == "checksum" ? &f.BadChecksum
                       : fault == "busy"     ? &f.Busy
                       : fault == "zero"     ? &f.ZeroHeader
                       : fault == "short"    ? &f.ShortFrame
                                             : &f.DropLast;
        *counter = count;
        qint64 ms = 0;
        const QString message = Failure(
            [&] {
                if (once)
                    rig.Link->CommandOnce(244, 1);
                else
                    rig.Link->Command(244, 1);
            },
            &ms);
        QCOMPARE(message, error);
        QCOMPARE(rig.Device.Requests(), requests);
        // Every attempt sends the same frame.
        for (const QByteArray &w : rig.Line.Written)
            QCOMPARE(w, Bytes({6, 244, 1, 0, 1, 4}));
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QStringLiteral("took %1 ms").arg(ms)));
        if (error.isEmpty()) {
            QCOMPARE(rig.Link->RxPos, 5);
            rig.Link->GetByte();
            QCOMPARE(rig.Link->GetWord(), uint16_t(0x4000));
        }
    }

    // A slow device within the first-byte wait is fine; later than it, it is not.
    void turnaround() {
        TRig rig;
        rig.Line.TurnaroundMs = 60;
        QCOMPARE(Failure([&] { rig.Link->CommandOnce(244, 1); }), QString());
        rig.Line.TurnaroundMs = 150;
        QCOMPARE(Failure([&] { rig.Link->CommandOnce(244, 1); }), NoLink);
    }

    void pacedBytesArriveOneByOne() {
        TRig rig;
        rig.Line.Pace = true;
        rig.Link->SetBaudRate(9600); // 38 bytes at 1.15 ms each: well inside the byte gap
        rig.Link->BeginRequest(244, 5);
        rig.Link->PutWord(3);
        QElapsedTimer t;
        t.start();
        rig.Link->Execute();
        QVERIFY2(t.elapsed() >= 45, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.Link->RxBuf().data()) + 5, 32),
                 rig.Device.Memory.mid(96, 32));
    }

    void openFailureIsSilentButExplained() {
        TFakePrompts prompts;
        TRig rig;
        rig.Link->ClosePort();
        rig.Line.OpenError = QStringLiteral("Permission denied");
        rig.Link->SetActive(true);
        QVERIFY(!rig.Link->PortOpen);
        QVERIFY(!rig.Link->IsOpen());
        QCOMPARE(prompts.Log.size(), 0);
        qint64 ms = 0;
        const QString message = Failure([&] { rig.Link->Command(244, 1); }, &ms);
        QCOMPARE(message, NoLink + "\nsim:1: Permission denied");
        QCOMPARE(message.section('\n', 0, 0), NoLink);
        QVERIFY2(ms >= 390 && ms < 1000, qPrintable(QString::number(ms)));
        QCOMPARE(rig.Device.Requests(), 0);

        // Closed on purpose: the plain text.
        rig.Link->ClosePort();
        QCOMPARE(Failure([&] { rig.Link->CommandOnce(244, 1); }), NoLink);
        // A successful open forgets the old reason.
        rig.Line.OpenError.clear();
        rig.Link->SetActive(true);
        QVERIFY(rig.Link->OpenFailure().isEmpty());
        rig.Device.Faults.Silent = 1;
        QCOMPARE(Failure([&] { rig.Link->CommandOnce(244, 1); }), NoLink);
    }

    void modemLinesAreOptional() {
        TRig rig; // the simulated line refuses DTR, like a pty
        QVERIFY(rig.Link->PortOpen);
        rig.Link->SetPortType(2);
        rig.Line.Echo = true;
        rig.Link->Command(244, 1); // RTS refused as well
        rig.Link->GetByte();
        QCOMPARE(rig.Link->GetWord(), uint16_t(0x4000));
    }

    // Window events run while the link waits: a timer fires in the middle of a
    // silent exchange, as a Cancel click would be delivered.
    void eventsRunWhileWaiting() {
        TRig rig;
        rig.Device.Faults.Silent = 1;
        bool fired = false;
        qint64 firedAt = -1;
        QElapsedTimer t;
        t.start();
        QTimer::singleShot(30, [&] {
            fired = true;
            firedAt = t.elapsed();
        });
        Failure([&] { rig.Link->CommandOnce(244, 1); });
        QVERIFY(fired);
        QVERIFY2(firedAt < 80, qPrintable(QString::number(firedAt)));
    }

    void identify() {
        TFakePrompts prompts;
        TRig rig;
        QCOMPARE(rig.Link->Identify(), 244);
        QCOMPARE(rig.Line.Written.last(), Bytes({6, 0, 0, 0, 0, 250}));
        QCOMPARE(prompts.Log.size(), 0);

        rig.Link->SetPortType(1); // a bus: ask first
        prompts.ConfirmAnswers = {false, true};
        QCOMPARE(rig.Link->Identify(), -1);
        QCOMPARE(prompts.Texts(TFakePrompts::ConfirmBox), QStringList{OnlyOne});
        QCOMPARE(rig.Link->Identify(), 244);

        rig.Link->ClosePort();
        QCOMPARE(rig.Link->Identify(), -1);
    }

    void frameVariants_data() {
        QTest::addColumn<bool>("shortHeader");
        QTest::addColumn<bool>("zero");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("payload");
        QTest::newRow("short header") << true << false << 0 << QString() << 3;
        QTest::newRow("short header, empty") << true << true << 0 << "RS232. Exchange error.(2)" << 3;
        QTest::newRow("wide length") << false << false << 10 << QString() << 6;
        QTest::newRow("wide length, empty") << false << true << 10 << "RS232. Exchange error.(5)" << 6;
        QTest::newRow("wide length, too short") << false << false << 6 << NoLink << 6;
    }

    void frameVariants() {
        QFETCH(bool, shortHeader);
        QFETCH(bool, zero);
        QFETCH(int, length);
        QFETCH(QString, error);
        QFETCH(int, payload);
        TRig rig;
        rig.Link->ShortHeader = shortHeader;
        rig.Link->WideLength = !shortHeader;
        rig.Line.Responder = [=](const QByteArray &request) {
            return shortHeader ? ShortHeaderAnswer(request, zero) : WideAnswer(request, zero, length);
        };
        QCOMPARE(Failure([&] { rig.Link->CommandOnce(244, 1); }), error);
        if (!error.isEmpty()) return;
        QCOMPARE(rig.Link->RxPos, payload);
        QCOMPARE(rig.Link->GetByte(), uint8_t(1));
        QCOMPARE(rig.Link->GetWord(), uint16_t(0x4000));
    }

    void baudRate() {
        TFakePrompts prompts;
        TRig rig;
        rig.Link->ClosePort();
        rig.Link->SetBaudRate(57600); // closed: only stored
        QCOMPARE(rig.Link->BaudRate, 57600);
        rig.Line.MaxBaudRate = 115200;
        rig.Link->SetActive(true);
        QCOMPARE(rig.Link->PortHandle()->BaudRate(), 57600);
        rig.Link->SetBaudRate(230400); // refused: the port's own rate wins
        QCOMPARE(rig.Link->BaudRate, 57600);

        TScriptedChoice choice;
        SetPortChoice(&choice);
        choice.Rate = 460800;
        rig.Link->SelectBaudRate();
        QCOMPARE(rig.Link->BaudRate, 57600);
        QCOMPARE(prompts.Texts(TFakePrompts::ErrorBox), QStringList{BaudRefused});
        choice.Rate = 115200;
        rig.Link->SelectBaudRate();
        QCOMPARE(rig.Link->BaudRate, 115200);
        choice.Rate.reset();
        rig.Link->SelectBaudRate();
        QCOMPARE(rig.Link->BaudRate, 115200);
        QCOMPARE(prompts.Count(TFakePrompts::ErrorBox), 1);
        SetPortChoice(nullptr);
    }
};

#include "TestExchange.moc"

QObject *MakeTestExchange() {
    return new TestExchange;
}
