// End to end: the transfers over the real link (QSerialPort) on a pty against the
// tripsim executable, attached through TRIPCONF_PORTS.

#include "FakePrompts.h"
#include "SimProcess.h"
#include "TestEnv.h"
#include "TransferRig.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "model/MKLayout.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TransferTest;

namespace {

// The block numbers of the ReadBlock requests in a tripsim log.
QList<int> LoggedBlocks(const QByteArray &log) {
    QList<int> blocks;
    for (const QByteArray &line : log.split('\n')) {
        if (!line.startsWith("PC> 08 f4 01 00 05 ")) continue;
        const QList<QByteArray> hex = line.mid(4).split(' ');
        blocks << (hex.at(5).toInt(nullptr, 16) | hex.at(6).toInt(nullptr, 16) << 8);
    }
    return blocks;
}

// A transfer on port 1 of the system's directory, i.e. the simulator.
struct TPtyRig {
    explicit TPtyRig(const TSimProcess &sim) {
        qputenv("TRIPCONF_PORTS", "1=" + QFile::encodeName(sim.Path));
        Link = std::make_unique<TML_RS>();
    }
    ~TPtyRig() { qunsetenv("TRIPCONF_PORTS"); }
    TDeviceTransfer Transfer(TMK &mk) {
        TDeviceTransfer t(
            *Link, mk, [this] { return std::make_unique<TRecordingProgress>(Progress); }, Address,
            MemorySize);
        t.MakeBackup = false;
        return t;
    }
    std::unique_ptr<TML_RS> Link;
    TProgressLog Progress;
    uint8_t Address = 0;
    uint32_t MemorySize = 0;
};

} // namespace

class TestTransferPty : public QObject {
    Q_OBJECT

private slots:
    void init() {
        prompts_ = std::make_unique<TFakePrompts>();
        Lang::SetEnglish(false);
    }
    void cleanup() { prompts_.reset(); }

    void read();
    void writeEditsAndKeepTheRest();
    void readFailure();
    void writeFailureKeepsEarlierSections();
    void cancelWhileConnecting();

private:
    std::unique_ptr<TFakePrompts> prompts_;
};

void TestTransferPty::read() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--log", "--model", "0x4123", "--variant", "2"}));
    TPtyRig rig(sim);
    TMK mk;
    QCOMPARE(rig.Transfer(mk).Read(), TTransferResult::Done);
    QCOMPARE(prompts_->Log.size(), 0);
    QCOMPARE(mk.ModelCode, uint16_t(0x4123));
    QCOMPARE(mk.Image.Bytes(), TSimDevice::ImageOf(TSimDevice::DefaultMemory(2)));
    QCOMPARE(mk.Header.variant, uint8_t(2));
    QCOMPARE(rig.Progress.Gauges().last(), 100);
    QVERIFY(!rig.Link->IsOpen());

    QCOMPARE(sim.Stop(), 0);
    QList<int> expected;
    for (int b = 1; b <= 255; ++b)
        if (b != 128) expected << b;
    QCOMPARE(LoggedBlocks(sim.Log()), expected);
    QVERIFY(sim.Log().contains("PC> 06 f4 01 00 01 04\n"));
    QVERIFY(sim.Log().contains("255 requests served"));
}

void TestTransferPty::writeEditsAndKeepTheRest() {
    QTemporaryDir dir;
    const QString dump = dir.filePath(QStringLiteral("memory.bin"));
    TSimProcess sim;
    QVERIFY(sim.Start({"--dump", dump}));
    TPtyRig rig(sim);
    TMK mk;
    QCOMPARE(rig.Transfer(mk).Read(), TTransferResult::Done);
    mk.Set("VelocityLimit", 123);
    mk.SetFloat("ExpenseCorr", 0.875f);
    mk.SetServiceName(0, QStringLiteral("Масло"));
    QCOMPARE(rig.Transfer(mk).Write(), TTransferResult::Done);
    QCOMPARE(prompts_->Texts(TFakePrompts::InformationBox), QStringList{"Настройки записаны в МК"});
    QCOMPARE(sim.Stop(), 0);

    const QByteArray before = TSimDevice::DefaultMemory();
    const QByteArray after = TestEnv::ReadFile(dump);
    QCOMPARE(after.size(), 8192);
    // Outside the sections (data and the device's sum after it) nothing moved.
    QByteArray a = after, b = before;
    for (int k = 1; k <= 11; ++k) {
        const int s = SectionAddress(before, k), l = SectionLength(before, k);
        a.replace(s, l, QByteArray(l, '\0'));
        b.replace(s, l, QByteArray(l, '\0'));
    }
    QCOMPARE(a, b);
    TMK check;
    check.Image.Append(TSimDevice::ImageOf(after));
    check.LoadAllSections();
    QCOMPARE(check.Get("VelocityLimit"), 123);
    QCOMPARE(check.GetFloat("ExpenseCorr"), 0.875f);
    QCOMPARE(check.ServiceName(0), QStringLiteral("Масло"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(check.Working().data()), MKLayout::WorkingSize),
             QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize));
}

void TestTransferPty::readFailure() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--fault-skip", "50", "--drop-last", "3"}));
    TPtyRig rig(sim);
    TMK mk;
    QCOMPARE(rig.Transfer(mk).Read(), TTransferResult::Failed);
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{"RS232. Delay within block error."});
    QVERIFY(!rig.Link->IsOpen());
}

void TestTransferPty::writeFailureKeepsEarlierSections() {
    QTemporaryDir dir;
    const QString dump = dir.filePath(QStringLiteral("memory.bin"));
    TSimProcess sim;
    // Read (255 requests), write's ReadModel and re-read (255), section 1 (8 requests);
    // section 2's WriteBegin meets a busy device.
    QVERIFY(sim.Start({"--dump", dump, "--fault-skip", QString::number(255 + 255 + 8), "--busy", "3"}));
    TPtyRig rig(sim);
    TMK mk;
    QCOMPARE(rig.Transfer(mk).Read(), TTransferResult::Done);
    for (uint8_t &byte : mk.Section(1))
        byte = uint8_t(byte + 1);
    for (uint8_t &byte : mk.Section(2))
        byte = uint8_t(byte + 1);
    QString message;
    try {
        rig.Transfer(mk).Write();
    } catch (const TWriteCutOff &e) {
        message = e.message();
    }
    QCOMPARE(message, QStringLiteral(
                          "Устройство занято. Возможно, оно находится в режиме местного управления.\nЗапись "
                          "прервана: в МК теперь может быть только часть новых настроек.\nРезервная копия "
                          "прежних настроек МК не сохранялась."));
    QVERIFY(!rig.Link->IsOpen());
    QCOMPARE(sim.Stop(), 0);
    const QByteArray before = TSimDevice::DefaultMemory();
    const QByteArray after = TestEnv::ReadFile(dump);
    const int s1 = SectionAddress(before, 1), s2 = SectionAddress(before, 2);
    QCOMPARE(after.mid(s1, 164),
             QByteArray(reinterpret_cast<const char *>(mk.Section(1).data()), 164)); // written
    QCOMPARE(after.mid(s2), before.mid(s2));                                         // not
}

void TestTransferPty::cancelWhileConnecting() {
    TSimProcess sim;
    QVERIFY(sim.Start({"--silent", "1000"}));
    TPtyRig rig(sim);
    rig.Progress.CancelAfterChecks = 1;
    TMK mk;
    const QByteArray image = mk.Image.Bytes();
    TDeviceTransfer transfer = rig.Transfer(mk);
    QCOMPARE(transfer.Read(), TTransferResult::Cancelled);
    QCOMPARE(transfer.LastConnectError(), QStringLiteral("RS232. No link. Check PC-device connection."));
    QCOMPARE(mk.Image.Bytes(), image);
    QCOMPARE(mk.ModelCode, uint16_t(0x4000));
    QCOMPARE(prompts_->Log.size(), 0);
}

QTEST_GUILESS_MAIN(TestTransferPty)
#include "tst_transfer_pty.moc"
