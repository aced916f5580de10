// The read and write sequences against the in-process simulated trip computer:
// requests byte for byte, progress, checks, faults and what stays on the device.

#include "FakePrompts.h"
#include "TestEnv.h"
#include "TransferRig.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace TransferTest;

using TSections = QList<QPair<int, int>>;

namespace {

const QString kNoLink = QStringLiteral("RS232. No link. Check PC-device connection.");
const QString kBusy =
    QStringLiteral("Устройство занято. Возможно, оно находится в режиме местного управления.");
const QString kWrittenRu = QStringLiteral("Настройки записаны в МК");
const QString kWrittenEn = QStringLiteral("The settings are recorded in the device");

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(uint8_t(v)));
    return out;
}

// LEN, the body, CHK.
QByteArray Frame(const QByteArray &body) {
    QByteArray f;
    f.append(char(body.size() + 2));
    f.append(body);
    unsigned sum = 0;
    for (char c : f)
        sum += uint8_t(c);
    f.append(char(uint8_t(256 - sum % 256)));
    return f;
}

// The memory bytes outside [address, address + length) of every section of the table.
QByteArray OutsideSections(const QByteArray &memory, const QByteArray &table) {
    QByteArray out = memory;
    const int n = uint8_t(table[32]);
    for (int k = 1; k <= n; ++k) {
        const int a = SectionAddress(table, k), l = SectionLength(table, k);
        for (int i = a; i < a + l && i < out.size(); ++i)
            out[i] = '\0';
    }
    return out;
}

QByteArray WorkingBytes(const TMK &mk) {
    return QByteArray(reinterpret_cast<const char *>(mk.Working().data()), MKLayout::WorkingSize);
}

// The image with section k moved to another device address.
QByteArray WithSection(QByteArray image, int k, int address) {
    LE::Put<uint16_t>(reinterpret_cast<uint8_t *>(image.data()) + 4 * k, uint16_t(address));
    return image;
}

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

private slots:
    void init() {
        prompts_ = std::make_unique<TFakePrompts>();
        Lang::SetEnglish(false);
    }
    void cleanup() { prompts_.reset(); }

    void readFetchesEveryBlockOnce();
    void answersOfAnotherLengthAreRetried_data();
    void answersOfAnotherLengthAreRetried();
    void answersAlwaysOfAnotherLength();
    void readFailure_data();
    void readFailure();
    void cancelWhileConnectingChangesNothing_data();
    void cancelWhileConnectingChangesNothing();
    void connectKeepsTrying();
    void writeStoresEditsAndKeepsTheRest();
    void writeBlocks_data();
    void writeBlocks();
    void writeOtherModelRefused_data();
    void writeOtherModelRefused();
    void writeVariantMismatchRefused();
    void writeBadSectionTableRefused_data();
    void writeBadSectionTableRefused();
    void writeErrorKeepsEarlierSections();
    void cutShortReadChangesNothing_data();
    void cutShortReadChangesNothing();
    void damagedSettingsRefused_data();
    void damagedSettingsRefused();
    void lateAnswerIsDropped_data();
    void lateAnswerIsDropped();
    void answersLeftOnTheLineAreDropped();
    void shortSectionKeepsItsNeighbour();
    void sectionShorterThanTheDeviceRefused();
    void backupBeforeTheFirstSection();
    void droppedWriteFailsTheCheck();

private:
    std::unique_ptr<TFakePrompts> prompts_;
};

void TestTransfer::readFetchesEveryBlockOnce() {
    TRig rig;
    rig.Device.ModelCode = 0x4123;
    rig.MK.ModelCode = 0x4000;
    rig.Device.Memory = TSimDevice::DefaultMemory(3);
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);

    QCOMPARE(rig.MK.ModelCode, uint16_t(0x4123));
    QCOMPARE(rig.MK.Image.Bytes(), TSimDevice::ImageOf(rig.Device.Memory));
    QCOMPARE(rig.MK.Image.Size(), 8128);
    QCOMPARE(rig.DeviceAddress, uint8_t(244));
    QCOMPARE(rig.DeviceMemorySize, uint32_t(8192));

    // ReadModel once, then blocks 1 … 127 and 129 … 255, each exactly once.
    QCOMPARE(rig.Line.Written.first(), Bytes({6, 244, 1, 0, 1, 4}));
    QCOMPARE(rig.Line.Written.at(1), Bytes({8, 244, 1, 0, 5, 1, 0, 253}));
    const QList<TRequest> blocks = rig.Requests(TDeviceTransfer::ReadBlock);
    QCOMPARE(blocks.size(), 254);
    QCOMPARE(rig.Line.Written.size(), 255);
    QList<int> numbers, expected;
    for (const TRequest &r : blocks)
        numbers << r.Word(0);
    for (int b = 1; b <= 255; ++b)
        if (b != 128) expected << b;
    QCOMPARE(numbers, expected);

    // Sections loaded: a field of section 6 as the device holds it.
    const int s6 = SectionAddress(rig.Device.Memory, 6);
    QCOMPARE(rig.MK.Get("VelocityLimit"), qint64(int8_t(rig.Device.Memory.at(s6 + 4))));
    QCOMPARE(rig.Buttons, QList<bool>{true});

    const QStringList events = rig.Progress.Events;
    QCOMPARE(events.mid(0, 3),
             (QStringList{"cancel-visible:1", "label:Не могу подключиться к МК...", "gauge-visible:0"}));
    QCOMPARE(events.mid(3, 4),
             (QStringList{"label:Чтение настроек...", "gauge:0", "gauge-visible:1", "cancel-visible:0"}));
    const QList<int> gauges = rig.Progress.Gauges();
    QCOMPARE(gauges.size(), 255);
    QCOMPARE(gauges.at(1), 0);    // block 1: 0.39
    QCOMPARE(gauges.at(2), 1);    // block 2: 0.79
    QCOMPARE(gauges.at(128), 51); // block 129: 50.8
    QCOMPARE(gauges.last(), 100);
    QVERIFY(std::is_sorted(gauges.begin(), gauges.end()));
    QCOMPARE(rig.Progress.Created, 1);
    QCOMPARE(rig.Progress.Destroyed, 1);
    QVERIFY(!rig.Link.IsOpen());
    QCOMPARE(rig.Link.BaudRate, 115200);
    QCOMPARE(prompts_->Log.size(), 0);
}

// An answer whose payload is not what its command answers is one more failed attempt:
// missing bytes would come from an earlier answer, and a longer answer (a block for
// ReadModel) belongs to another request.
void TestTransfer::answersOfAnotherLengthAreRetried_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("change"); // payload bytes added (or taken away)
    QTest::newRow("ReadBlock, a byte short") << int(TDeviceTransfer::ReadBlock) << -1;
    QTest::newRow("ReadBlock, a byte over") << int(TDeviceTransfer::ReadBlock) << 1;
    QTest::newRow("ReadModel, a block's answer") << int(TDeviceTransfer::ReadModel) << 32;
    QTest::newRow("WriteBlock, a model's answer") << int(TDeviceTransfer::WriteBlock) << 3;
}

void TestTransfer::answersOfAnotherLengthAreRetried() {
    QFETCH(int, command);
    QFETCH(int, change);
    const bool write = command != TDeviceTransfer::ReadModel && command != TDeviceTransfer::ReadBlock;
    TRig rig;
    if (write) {
        QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
        rig.MK.Set("VelocityLimit", 123);
        rig.Line.Written.clear();
    }
    int wrong = 2;
    rig.Line.Responder = [&](const QByteArray &request) {
        const QByteArray answer = rig.Device.Receive(request, 0);
        if (Parse(request).Command != command || wrong == 0) return answer;
        --wrong;
        QByteArray body = answer.mid(1, answer.size() - 2);
        if (change < 0)
            body.chop(-change);
        else
            body.append(QByteArray(change, char(0x5A)));
        return Frame(body);
    };
    QCOMPARE(write ? rig.Transfer().Write() : rig.Transfer().Read(), TTransferResult::Done);
    // The first request of the command went three times.
    const QList<TRequest> sent = rig.Requests(command);
    QVERIFY(sent.size() >= 3);
    QCOMPARE(sent.at(1).Payload, sent.at(0).Payload);
    QCOMPARE(sent.at(2).Payload, sent.at(0).Payload);
    if (write) {
        const int s6 = SectionAddress(rig.Device.Memory, 6);
        QCOMPARE(int(rig.Device.Memory.at(s6 + 4)), 123);
    } else {
        QCOMPARE(rig.MK.Image.Bytes(), TSimDevice::ImageOf(rig.Device.Memory));
        QCOMPARE(rig.MK.ModelCode, rig.Device.ModelCode);
    }
}

// Wrong every time: given up like a lost answer.
void TestTransfer::answersAlwaysOfAnotherLength() {
    TRig always;
    always.Line.Responder = [&](const QByteArray &request) {
        const QByteArray answer = always.Device.Receive(request, 0);
        return Parse(request).Command == TDeviceTransfer::ReadModel
                   ? Frame(answer.mid(1, answer.size() - 2) + QByteArray(32, '\0'))
                   : answer;
    };
    always.Progress.CancelAfterChecks = 2;
    TDeviceTransfer transfer = always.Transfer();
    QCOMPARE(transfer.Read(), TTransferResult::Cancelled);
    QCOMPARE(transfer.LastConnectError(), QStringLiteral("RS232. Exchange error.(0)"));
    QCOMPARE(always.Requests(TDeviceTransfer::ReadModel).size(), 6); // two rounds of three
    QCOMPARE(always.Requests(TDeviceTransfer::ReadBlock).size(), 0);
}

void TestTransfer::readFailure_data() {
    QTest::addColumn<int>("skip");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("message");
    QTest::newRow("busy in the first half") << 30 << true << kBusy;
    QTest::newRow("silent in the second half") << 200 << false << kNoLink;
}

void TestTransfer::readFailure() {
    QFETCH(int, skip);
    QFETCH(bool, busy);
    QFETCH(QString, message);
    TRig rig;
    rig.MK.Image.Append(QByteArray(100, 'x'));
    rig.Device.Faults.Skip = skip;
    (busy ? rig.Device.Faults.Busy : rig.Device.Faults.Silent) = 3;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Failed);
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{message});
    QCOMPARE(rig.Buttons, QList<bool>{false});
    QCOMPARE(rig.Progress.Destroyed, 1);
    QVERIFY(!rig.Link.IsOpen());
    QCOMPARE(rig.Requests(TDeviceTransfer::ReadBlock).size(), skip - 1 + 3);
}

void TestTransfer::cancelWhileConnectingChangesNothing_data() {
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("write") << true;
}

void TestTransfer::cancelWhileConnectingChangesNothing() {
    QFETCH(bool, write);
    TRig rig;
    rig.Line.Device = nullptr; // nothing answers
    rig.MK.ModelCode = 0x4400;
    rig.MK.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    rig.MK.LoadAllSections();
    const QByteArray image = rig.MK.Image.Bytes();
    const QByteArray working(reinterpret_cast<const char *>(rig.MK.Working().data()), MKLayout::WorkingSize);
    rig.Progress.CancelAfterChecks = 2;

    QElapsedTimer t;
    t.start();
    TDeviceTransfer transfer = rig.Transfer();
    const TTransferResult result = write ? transfer.Write() : transfer.Read();
    QCOMPARE(result, TTransferResult::Cancelled);
    // Two rounds of three attempts, 100 ms each, 50 ms apart.
    QVERIFY2(t.elapsed() >= 2 * 390 && t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(transfer.LastConnectError(), kNoLink);
    QCOMPARE(rig.Line.Written.size(), 6);
    QCOMPARE(rig.MK.ModelCode, uint16_t(0x4400));
    QCOMPARE(rig.MK.Image.Bytes(), image);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.MK.Working().data()), MKLayout::WorkingSize),
             working);
    QVERIFY(rig.Buttons.isEmpty());
    QCOMPARE(prompts_->Log.size(), 0);
    QCOMPARE(rig.Progress.Events,
             (QStringList{"cancel-visible:1", "label:Не могу подключиться к МК...", "gauge-visible:0"}));
    QCOMPARE(rig.Progress.Destroyed, 1);
    QVERIFY(!rig.Link.IsOpen());
}

// A device that comes to life after a while is read as soon as it answers.
void TestTransfer::connectKeepsTrying() {
    TRig rig;
    rig.Device.Faults.Silent = 7; // two rounds and one attempt of the third
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    QCOMPARE(rig.Requests(TDeviceTransfer::ReadModel).size(), 8);
    QCOMPARE(rig.Progress.CancelChecks, 2);
    QCOMPARE(rig.MK.Image.Bytes(), TSimDevice::ImageOf(rig.Device.Memory));
}

void TestTransfer::writeStoresEditsAndKeepsTheRest() {
    TRig rig;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.MK.Set("VelocityLimit", 77);
    rig.MK.SetFloat("VelocityCorr", 1.25f);
    rig.MK.SetServiceName(2, QStringLiteral("Свечи"));
    rig.MK.StoreSection(6); // the editor stores on OK; the write must not depend on it
    rig.MK.Set("TankContFull", 61);

    // Meanwhile the device changed bytes outside the sections: they stay.
    rig.Device.Memory[4000] = char(0x5A);
    rig.Device.Memory[5] = char(0x11);        // block 0
    rig.Device.Memory[4096 + 7] = char(0x22); // block 128
    const QByteArray before = rig.Device.Memory;
    rig.Line.Written.clear();
    rig.Progress = {};
    rig.Buttons.clear();
    QList<int> waits; // the first-byte wait of each request: reads, writes, reads back
    rig.Line.Responder = [&](const QByteArray &request) {
        if (waits.isEmpty() || waits.last() != rig.Link.FirstByteTimeout) waits << rig.Link.FirstByteTimeout;
        return rig.Device.Receive(request, 0);
    };

    QCOMPARE(rig.Transfer().Write(), TTransferResult::Done);
    QCOMPARE(prompts_->Texts(TFakePrompts::InformationBox), QStringList{kWrittenRu});
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0);
    const QByteArray after = rig.Device.Memory;
    QCOMPARE(OutsideSections(after, before), OutsideSections(before, before));
    for (int k = 1; k <= MKLayout::SectionCount; ++k) {
        const auto section = rig.MK.Section(k);
        QCOMPARE(after.mid(SectionAddress(before, k), int(section.size())),
                 QByteArray(reinterpret_cast<const char *>(section.data()), int(section.size())));
    }

    // Read back by a fresh image.
    TMK check;
    TRig reader;
    reader.Device.Memory = after;
    TDeviceTransfer t(
        reader.Link, check, [&] { return std::make_unique<TRecordingProgress>(reader.Progress); },
        reader.DeviceAddress, reader.DeviceMemorySize);
    QCOMPARE(t.Read(), TTransferResult::Done);
    QCOMPARE(check.Get("VelocityLimit"), 77);
    QCOMPARE(check.GetFloat("VelocityCorr"), 1.25f);
    QCOMPARE(check.Get("TankContFull"), 61);
    QCOMPARE(check.ServiceName(2), QStringLiteral("Свечи"));

    // Read, store, then the sections in order, each WriteBegin, blocks, WriteEnd, then
    // the check reads back every block a section touches, once: device addresses 92 … 2931.
    const QList<TRequest> all = rig.Requests();
    QCOMPARE(all.first().Command, TDeviceTransfer::ReadModel);
    QCOMPARE(all.at(254).Command, TDeviceTransfer::ReadBlock);
    QCOMPARE(all.at(255).Command, TDeviceTransfer::WriteBegin);
    const QList<TRequest> readBack = rig.Requests(TDeviceTransfer::ReadBlock).mid(254);
    QCOMPARE(readBack.size(), 2931 / 32 - 92 / 32 + 1);
    QCOMPARE(int(readBack.first().Word(0)), 2);
    QCOMPARE(int(readBack.last().Word(0)), 91);
    QCOMPARE(all.last().Command, TDeviceTransfer::ReadBlock);
    const QList<TRequest> begins = rig.Requests(TDeviceTransfer::WriteBegin);
    QCOMPARE(begins.size(), 11);
    for (int k = 1; k <= 11; ++k) {
        QCOMPARE(int(begins[k - 1].Word(0)), SectionAddress(before, k));
        QCOMPARE(int(begins[k - 1].Word(1)), SectionLength(before, k) - 4);
    }
    QCOMPARE(waits, (QList<int>{100, 2000, 100}));
    QStringList labels = rig.Progress.Labels();
    QCOMPARE(labels, (QStringList{"Не могу подключиться к МК...", "Чтение настроек...", "Запись настроек...",
                                  "Проверка записи..."}));
    const QStringList events = rig.Progress.Events;
    const qsizetype writing = events.indexOf(QStringLiteral("label:Запись настроек..."));
    const qsizetype checking = events.indexOf(QStringLiteral("label:Проверка записи..."));
    QCOMPARE(events.mid(writing + 1, checking - writing - 1).filter(QStringLiteral("gauge:")),
             (QStringList{"gauge:0", "gauge:9", "gauge:18", "gauge:27", "gauge:36", "gauge:45", "gauge:55",
                          "gauge:64", "gauge:73", "gauge:82", "gauge:91",
                          "gauge:100"})); // 100 k / 11, halves to even
    QCOMPARE(rig.Progress.Gauges().last(), 100);
    QCOMPARE(rig.Progress.Destroyed, 1);
    QVERIFY(!rig.Link.IsOpen());
    QVERIFY(rig.Buttons.isEmpty());
}

void TestTransfer::writeBlocks_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("blocks"); // byte counts of the WriteBlocks
    QTest::newRow("70 bytes") << 3000 << 70 << QList<int>{32, 32, 6};
    QTest::newRow("64 bytes") << 3000 << 64 << QList<int>{32, 32};
    QTest::newRow("4 bytes") << 3000 << 4 << QList<int>{4};
    QTest::newRow("nothing but the sum") << 3000 << 0 << QList<int>{};
    QTest::newRow("right after the header") << 92 << 40 << QList<int>{32, 8};
    QTest::newRow("its sum ending at 4095") << 4096 - 74 << 70 << QList<int>{32, 32, 6};
}

void TestTransfer::writeBlocks() {
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(QList<int>, blocks);
    TRig rig;
    rig.Device.Memory = MemoryWithSections(Eleven({{address, count + 4}}));
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.Line.Written.clear();
    rig.Progress = {};
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Done);

    // Section 1's: from its WriteBegin to its WriteEnd.
    QList<TRequest> writes;
    for (const TRequest &r : rig.Requests()) {
        if (r.Command == TDeviceTransfer::ReadModel || r.Command == TDeviceTransfer::ReadBlock) continue;
        writes << r;
        if (r.Command == TDeviceTransfer::WriteEnd) break;
    }
    QCOMPARE(writes.size(), blocks.size() + 2);
    QCOMPARE(writes.first().Command, TDeviceTransfer::WriteBegin);
    QCOMPARE(writes.first().Payload, Bytes({address & 0xFF, address >> 8, count, 0}));
    QCOMPARE(writes.last().Command, TDeviceTransfer::WriteEnd);
    QCOMPARE(writes.last().Payload, writes.first().Payload);
    const QByteArray data = rig.Device.Memory.mid(address, count);
    for (int j = 0; j < blocks.size(); ++j) {
        const TRequest &w = writes[j + 1];
        QCOMPARE(w.Command, TDeviceTransfer::WriteBlock);
        QCOMPARE(int(w.Word(0)), j);
        QCOMPARE(int(w.Word(1)), blocks[j]);
        QCOMPARE(w.Payload.mid(4), data.mid(32 * j, blocks[j]));
    }
    QCOMPARE(rig.Progress.Gauges().last(), 100);
}

void TestTransfer::writeOtherModelRefused_data() {
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("device");
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("message");
    QTest::newRow("ru") << 0x4400 << 0x4000 << false
                        << QStringLiteral(
                               "Версия настроек не совпадает с версией устройства!\nНастройки сделаны для "
                               "модели 0x4400 (Model 11), а МК — модель 0x4000 (Model 01). Считайте "
                               "настройки из этого МК или возьмите файл, сделанный для его модели.");
    QTest::newRow("en") << 0x4400 << 0x4000 << true
                        << QStringLiteral(
                               "The settings version does not match the device version!\nThe settings "
                               "are for model 0x4400 (Model 11), but the device is model 0x4000 (Model "
                               "01). Read the settings from this device, or use a file made for its "
                               "model.");
    QTest::newRow("a model the catalogue does not know")
        << 0x4000 << 0x00BE << true
        << QStringLiteral(
               "The settings version does not match the device version!\nThe settings are for model "
               "0x4000 (Model 01), but the device is model 0x00BE. Read the settings from this device, "
               "or use a file made for its model.");
}

void TestTransfer::writeOtherModelRefused() {
    QFETCH(int, file);
    QFETCH(int, device);
    QFETCH(bool, english);
    QFETCH(QString, message);
    Lang::SetEnglish(english);
    TRig rig;
    rig.Device.ModelCode = uint16_t(device);
    rig.MK.ModelCode = uint16_t(file);
    rig.MK.Image.Append(TSimDevice::ImageOf(rig.Device.Memory));
    const QByteArray before = rig.Device.Memory;
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Refused);
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox), QStringList{message});
    QCOMPARE(rig.Requests().size(), 1); // no memory was read
    QCOMPARE(rig.Device.Memory, before);
    QCOMPARE(rig.MK.ModelCode, uint16_t(file));
    QVERIFY(!rig.Link.IsOpen());
    QCOMPARE(rig.Progress.Destroyed, 1);
}

void TestTransfer::writeVariantMismatchRefused() {
    TRig rig;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.MK.Set("VelocityLimit", 99);
    rig.Device.SetHeaderVariant(5); // new firmware meanwhile
    const QByteArray before = rig.Device.Memory;
    rig.Line.Written.clear();
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Refused);
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox),
             QStringList{QStringLiteral("Версия настроек не совпадает с версией прошивки!")});
    QCOMPARE(rig.Requests().size(), 255); // read again, nothing written
    QCOMPARE(rig.Device.Memory, before);
    // The image holds the device's memory with the user's values stored into it.
    QCOMPARE(rig.MK.Header.variant, uint8_t(5));
    QCOMPARE(rig.MK.Get("VelocityLimit"), 99);
    QCOMPARE(uint8_t(rig.MK.Image.At(SectionAddress(before, 6) - 32 + 4)), uint8_t(99));
}

// Good settings onto a device whose own table is damaged: refused once the memory is
// read, before anything is sent, by the rule a settings file is loaded by.
void TestTransfer::writeBadSectionTableRefused_data() {
    QTest::addColumn<TSections>("sections"); // the device's table
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("detail");
    using S = TSections;
    QTest::newRow("no sections") << S{} << true
                                 << "the section table lists 0 sections, but at least 11 are needed.";
    QTest::newRow("section 2 over section 1, ru")
        << Eleven({{92, 168}, {96, 288}}) << false
        << "разделы 1 (адрес 92, длина 168) и 2 (адрес 96, длина 288) перекрываются.";
    // The data end at 4095, the sum after them does not.
    QTest::newRow("its sum past 4095")
        << Eleven({{4076, 24}}) << true
        << "section 1 (address 4076, length 24) runs past the data (device addresses 92 … 4095).";
}

void TestTransfer::writeBadSectionTableRefused() {
    QFETCH(TSections, sections);
    QFETCH(bool, english);
    QFETCH(QString, detail);
    Lang::SetEnglish(english);
    TRig rig;
    rig.MK.Image.Append(TSimDevice::ImageOf(TSimDevice::DefaultMemory()));
    rig.MK.LoadAllSections();
    rig.MK.Set("VelocityLimit", 99);
    const QByteArray image = rig.MK.Image.Bytes(), working = WorkingBytes(rig.MK);
    rig.Device.Memory = MemoryWithSections(sections);
    const QByteArray before = rig.Device.Memory;
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Refused);
    QCOMPARE(rig.Requests().size(), 255); // read, nothing sent
    QCOMPARE(rig.Device.Memory, before);
    QCOMPARE(
        prompts_->Texts(TFakePrompts::ErrorBox),
        QStringList{(english ? QStringLiteral("The section table in the device memory is damaged: %1 Nothing "
                                              "was written.")
                             : QStringLiteral("Таблица разделов в памяти МК повреждена: %1 Настройки не "
                                              "записаны."))
                        .arg(detail)});
    QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 0);
    // The settings stay as they were, not the device's damaged table.
    QCOMPARE(rig.MK.Image.Bytes(), image);
    QCOMPARE(WorkingBytes(rig.MK), working);
}

void TestTransfer::writeErrorKeepsEarlierSections() {
    TRig rig;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    for (int k = 1; k <= 3; ++k)
        for (uint8_t &b : rig.MK.Section(k))
            b = uint8_t(b ^ 0xA5);
    const QByteArray before = rig.Device.Memory;
    // ReadModel, 254 blocks, section 1 (164 bytes: 8 requests), section 2 (28 bytes: 3);
    // then section 3's WriteBegin meets a busy device.
    rig.Device.Faults = {};
    rig.Device.Faults.Skip = rig.Device.Requests() + 255 + 8 + 3;
    rig.Device.Faults.Busy = 3;
    rig.Line.Written.clear();
    rig.Progress = {};
    QString message, backup = QStringLiteral("none");
    try {
        rig.Transfer().Write();
    } catch (const TWriteCutOff &e) {
        message = e.message();
        backup = e.Backup;
    }
    QCOMPARE(message,
             kBusy + QStringLiteral("\nЗапись прервана: в МК теперь может быть только часть новых "
                                    "настроек.\nРезервная копия прежних настроек МК не сохранялась."));
    QCOMPARE(backup, QString());
    QCOMPARE(rig.Progress.Destroyed, 1);
    QVERIFY(!rig.Link.IsOpen());
    QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 0);
    QCOMPARE(prompts_->Count(TFakePrompts::ErrorBox), 0); // the caller shows it
    for (int k = 1; k <= 3; ++k) {
        const int a = SectionAddress(before, k), c = SectionLength(before, k) - 4;
        const QByteArray device = rig.Device.Memory.mid(a, c);
        if (k < 3)
            QCOMPARE(device, rig.MK.Image.Bytes().mid(a - 32, c));
        else
            QCOMPARE(device, before.mid(a, c));
    }
    QCOMPARE(rig.Requests(TDeviceTransfer::WriteBegin).size(), 2 + 3);
    QCOMPARE(rig.Progress.Gauges().last(), 18); // two of eleven sections
}

// A read, or the re-read of a write, that fails halfway leaves the image, its working
// fields and the model code as they were: a save then keeps the user's edits.
void TestTransfer::cutShortReadChangesNothing_data() {
    QTest::addColumn<bool>("write");
    QTest::newRow("read") << false;
    QTest::newRow("re-read of a write") << true;
}

void TestTransfer::cutShortReadChangesNothing() {
    QFETCH(bool, write);
    TRig rig;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.MK.Set("VelocityLimit", 77);
    rig.MK.StoreSection(6); // as the editor's OK does
    const QByteArray image = rig.MK.Image.Bytes();
    const QByteArray working = WorkingBytes(rig.MK);
    if (!write) rig.Device.ModelCode = 0x4123;
    // Busy for three answers once 100 blocks have come.
    rig.Device.Faults.Skip = rig.Device.Requests() + 1 + 100;
    rig.Device.Faults.Busy = 3;
    rig.Buttons.clear();
    QString raised;
    try {
        write ? rig.Transfer().Write() : rig.Transfer().Read();
    } catch (const Error &e) {
        raised = e.message();
    }
    QCOMPARE(write ? raised : prompts_->Texts(TFakePrompts::ErrorBox).value(0),
             write ? kBusy + QStringLiteral("\nНастройки не записаны.") : kBusy);
    QCOMPARE(rig.Requests(TDeviceTransfer::ReadBlock).size(), 254 + 100 + 3);
    QCOMPARE(rig.MK.Image.Bytes(), image);
    QCOMPARE(rig.MK.Image.Held(), 8128);
    QCOMPARE(WorkingBytes(rig.MK), working);
    QCOMPARE(rig.MK.ModelCode, uint16_t(0x4000));
    QCOMPARE(rig.Buttons, write ? QList<bool>{} : QList<bool>{false});
    TMK saved;
    SettingsFile::Decode(saved, SettingsFile::Encode(rig.MK));
    saved.LoadAllSections();
    QCOMPARE(saved.Image.Size(), 8128);
    QCOMPARE(saved.Get("VelocityLimit"), 77);
}

// Settings that do not hold a section of their table are refused before the port is
// even opened, with a message that names the section.
void TestTransfer::damagedSettingsRefused_data() {
    QTest::addColumn<QByteArray>("image"); // what the file holds after the model code
    QTest::addColumn<bool>("overFull");    // loaded over a complete image
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("message");
    const QByteArray full = TSimDevice::ImageOf(TSimDevice::DefaultMemory());
    QTest::newRow("100 bytes") << full.left(100) << false << true
                               << "The settings are damaged: section 1 (address 92, length 168) is not in "
                                  "the bytes read from the file "
                                  "or the device (device addresses 92 … 131). Nothing was written.";
    QTest::newRow("the first 1000 bytes, ru") << full.left(1000) << false << false
                                              << "Настройки повреждены: раздела 7 (адрес 1004, длина 864) "
                                                 "нет в байтах, считанных из файла или из МК "
                                                 "(адреса МК 92 … 1031). Настройки не записаны.";
    QTest::newRow("the first 1000 bytes over a whole image")
        << full.left(1000) << true << true << "section 7 (address 1004, length 864) is not in";
    QTest::newRow("no header at all")
        << QByteArray() << false << true
        << "The settings are damaged: the bytes read from the file or the device (0) do not hold the header "
           "with the section table. Nothing was written.";
    QTest::newRow("a section below the image")
        << WithSection(full, 5, 16) << false << true << "section 5 (address 16, length 132) is not in";
    QTest::newRow("a section beyond it")
        << WithSection(full, 7, 60000) << false << true << "section 7 (address 60000, length 864) is not in";
}

void TestTransfer::damagedSettingsRefused() {
    QFETCH(QByteArray, image);
    QFETCH(bool, overFull);
    QFETCH(bool, english);
    QFETCH(QString, message);
    Lang::SetEnglish(english);
    TRig rig;
    // Straight into the image: a settings file like these is refused when it is loaded,
    // and the write must not rely on that alone.
    if (overFull) rig.MK.Image.Replace(TSimDevice::ImageOf(rig.Device.Memory));
    rig.MK.Image.Overlay(image);
    rig.MK.LoadAllSections();
    const QByteArray before = rig.Device.Memory;
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Refused);
    const QStringList errors = prompts_->Texts(TFakePrompts::ErrorBox);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(message), qPrintable(errors.first()));
    QCOMPARE(rig.Line.Opens, 0);
    QCOMPARE(rig.Device.Memory, before);
    QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 0);
}

// Answers carry no block number: one that comes after its attempt has given up must
// not pass for the answer to the next request. Late enough, it is taken by the retry
// (the same request), and the retry's own answer must not pass for the next one's.
void TestTransfer::lateAnswerIsDropped_data() {
    QTest::addColumn<int>("lateMs");
    QTest::newRow("while the line is drained") << 160;
    QTest::newRow("taken by the retry") << 350;
}

void TestTransfer::lateAnswerIsDropped() {
    QFETCH(int, lateMs);
    TRig rig;
    rig.Line.TurnaroundMs = 5;
    rig.Device.Faults.Skip = 40; // the first answer for block 40
    rig.Device.Faults.Late = 1;
    rig.Device.Faults.LateMs = lateMs;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    QCOMPARE(rig.MK.Image.Bytes(), TSimDevice::ImageOf(rig.Device.Memory));
    QCOMPARE(rig.Requests(TDeviceTransfer::ReadBlock).size(), 255);
}

// Answers that a run before this one gave up on, still coming when the port opens,
// must not pass for this run's: the line falls quiet before the first request.
void TestTransfer::answersLeftOnTheLineAreDropped() {
    TRig rig;
    TSimDevice other;
    other.ModelCode = rig.Device.ModelCode;
    const QByteArray model = other.Receive(Bytes({6, 244, 1, 0, 1, 4}), 0);
    const QByteArray block77 = other.Receive(Bytes({8, 244, 1, 0, 5, 77, 0, 177}), 0);
    QCOMPARE(block77.size(), 38);
    rig.Line.Stale = {{30, model}, {60, block77}};
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    QCOMPARE(rig.MK.Image.Bytes(), TSimDevice::ImageOf(rig.Device.Memory));
}

// A short section's fixed-size store stops at the data of the section that follows.
void TestTransfer::shortSectionKeepsItsNeighbour() {
    TRig rig;
    rig.Device.Memory =
        MemoryWithSections(Eleven({{92, 168}, {280, 32}, {260, 20}})); // section 3: 16 bytes at 260
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.MK.Set("ParkSense0", 7);
    rig.MK.Set("ParkFarkopLen", 9);
    rig.MK.Set("Oil6L", 1234);
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Done);
    const auto s2 = rig.MK.Section(2), s3 = rig.MK.Section(3);
    QCOMPARE(rig.Device.Memory.mid(280, 28), QByteArray(reinterpret_cast<const char *>(s2.data()), 28));
    QCOMPARE(rig.Device.Memory.mid(260, 16), QByteArray(reinterpret_cast<const char *>(s3.data()), 16));
    QCOMPARE(int(rig.Device.Memory.at(280 + 2)), 7);
}

// Settings whose section is shorter than the device's would fill the rest from defaults.
void TestTransfer::sectionShorterThanTheDeviceRefused() {
    TRig rig;
    rig.Device.Memory = MemoryWithSections(Eleven({{92, 168}, {300, 32}, {400, 68}}));
    QByteArray image = TSimDevice::ImageOf(rig.Device.Memory);
    LE::Put<uint16_t>(reinterpret_cast<uint8_t *>(image.data()) + 4 * 3 + 2, 20); // section 3: 16 bytes
    rig.MK.Image.Replace(image);
    rig.MK.LoadAllSections();
    const QByteArray before = rig.Device.Memory;
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Refused);
    QCOMPARE(prompts_->Texts(TFakePrompts::ErrorBox),
             QStringList{
                 QStringLiteral("Настройки не подходят к МК: раздел 3 занимает в МК 64 байт, а в настройках "
                                "только 16. Настройки не записаны.")});
    QCOMPARE(rig.Device.Memory, before);
    QCOMPARE(rig.Requests().size(), 255); // read, nothing written
}

// The device's memory as the write found it is saved before the first section goes,
// and the newest 50 backups are kept.
void TestTransfer::backupBeforeTheFirstSection() {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("TRIPCONF_BACKUPS");
    qputenv("TRIPCONF_BACKUPS", QFile::encodeName(dir.path()));
    for (int i = 0; i < 55; ++i)
        QVERIFY(TestEnv::WriteFile(
            dir.filePath(QStringLiteral("4000-20200101-0000%1.vorng").arg(i, 2, 10, QLatin1Char('0'))), "x"));
    QVERIFY(TestEnv::WriteFile(dir.filePath(QStringLiteral("mine.vorng")), "x"));

    TRig rig;
    rig.Backup = true;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    rig.MK.Set("VelocityLimit", 66);
    const QByteArray before = TSimDevice::ImageOf(rig.Device.Memory);
    QStringList atFirstSection;
    rig.Line.Responder = [&](const QByteArray &request) {
        if (Parse(request).Command == TDeviceTransfer::WriteBegin && atFirstSection.isEmpty())
            atFirstSection = QDir(dir.path()).entryList({QStringLiteral("4000-2*")}, QDir::Files);
        return rig.Device.Receive(request, 0);
    };
    TDeviceTransfer transfer = rig.Transfer();
    QCOMPARE(transfer.Write(), TTransferResult::Done);
    qputenv("TRIPCONF_BACKUPS", saved);

    const QString backup = transfer.LastBackup();
    QVERIFY(QFileInfo(backup).fileName().startsWith(QLatin1String("4000-")));
    QVERIFY(atFirstSection.contains(QFileInfo(backup).fileName()));
    QCOMPARE(TestEnv::ReadFile(backup), SettingsFile::Encode(0x4000, before));
    QCOMPARE(prompts_->Texts(TFakePrompts::InformationBox),
             QStringList{kWrittenRu + QStringLiteral("\nРезервная копия прежних настроек МК: ") + backup});
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(left.size(), 50 + 1);
    QVERIFY(left.contains(QStringLiteral("mine.vorng")));
    QVERIFY(!left.contains(QStringLiteral("4000-20200101-000005.vorng")));
    QVERIFY(left.contains(QStringLiteral("4000-20200101-000006.vorng")));
}

// A write the device acknowledged but never stored is found by reading back.
void TestTransfer::droppedWriteFailsTheCheck() {
    TRig rig;
    QCOMPARE(rig.Transfer().Read(), TTransferResult::Done);
    for (uint8_t &b : rig.MK.Section(1))
        b = uint8_t(b ^ 0xA5);
    const QByteArray before = rig.Device.Memory;
    rig.Device.Faults.DropWrite = 3; // section 1, bytes 64 … 95: device addresses 156 … 187
    QCOMPARE(rig.Transfer().Write(), TTransferResult::Failed);
    auto hex = [](int v) {
        return QString::number(uint8_t(v), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    };
    QCOMPARE(
        prompts_->Texts(TFakePrompts::ErrorBox),
        QStringList{QStringLiteral("Проверка после записи нашла расхождение: раздел 1, адрес МК 156 содержит "
                                   "0x%1, а записано 0x%2. Настройки в МК могут быть повреждены; запишите их "
                                   "ещё раз.")
                        .arg(hex(before.at(156)), hex(before.at(156) ^ 0xA5))});
    QCOMPARE(prompts_->Count(TFakePrompts::InformationBox), 0);
    QCOMPARE(rig.Device.Memory.mid(156, 32), before.mid(156, 32));
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
