#include "app/Transfer.h"

#include "app/Backups.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "base/Prompts.h"
#include "base/Rounding.h"
#include "catalogue/ProtsH.h"
#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SectionTable.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// clang-format off
const TBiText kConnecting{"Не могу подключиться к МК...", "I can not connect to the device"};
const TBiText kReading{"Чтение настроек...", "The settings are being read..."};
const TBiText kWriting{"Запись настроек...", "The settings are recorded..."};
const TBiText kWrongModel{"Версия настроек не совпадает с версией устройства!",
                          "The settings version does not match the device version!"};
const TBiText kModels{"Настройки сделаны для модели %1, а МК — модель %2. Считайте настройки из этого МК или "
                      "возьмите файл, сделанный для его модели.",
                      "The settings are for model %1, but the device is model %2. Read the settings from this "
                      "device, or use a file made for its model."};
const TBiText kWrongVariant{"Версия настроек не совпадает с версией прошивки!",
                            "The settings version does not match the firmware version!"};
const TBiText kWritten{"Настройки записаны в МК", "The settings are recorded in the device"};
const TBiText kDamagedTable{"Таблица разделов в памяти МК повреждена: %1 Настройки не записаны.",
                            "The section table in the device memory is damaged: %1 Nothing was written."};
// Settings from a damaged file (or one loaded over another) would send defaults or
// leftovers in place of what the file does not hold.
const TBiText kNoHeader{
    "Настройки повреждены: в байтах, считанных из файла или из МК (%1), нет заголовка с таблицей разделов. "
    "Настройки не записаны.",
    "The settings are damaged: the bytes read from the file or the device (%1) do not hold the header with "
    "the section table. Nothing was written."};
const TBiText kSectionNotHeld{
    "Настройки повреждены: раздела %1 (адрес %2, длина %3) нет в байтах, считанных из файла или из МК "
    "(адреса МК 92 … %4). Настройки не записаны.",
    "The settings are damaged: section %1 (address %2, length %3) is not in the bytes read from the file or "
    "the device (device addresses 92 … %4). Nothing was written."};
const TBiText kShorterThanDevice{
    "Настройки не подходят к МК: раздел %1 занимает в МК %2 байт, а в настройках только %3. Настройки не "
    "записаны.",
    "The settings do not fit the device: section %1 holds %2 bytes in the device but only %3 in the settings. "
    "Nothing was written."};
const TBiText kChecking{"Проверка записи...", "The record is being checked..."};
const TBiText kMismatch{
    "Проверка после записи нашла расхождение: раздел %1, адрес МК %2 содержит 0x%3, а записано 0x%4. "
    "Настройки в МК могут быть повреждены; запишите их ещё раз.",
    "The check after writing found a difference: section %1, device address %2 holds 0x%3, but 0x%4 was "
    "written. The settings in the device may be damaged; write them again."};
const TBiText kNothingWritten{"Настройки не записаны.", "Nothing was written."};
const TBiText kCutOff{"Запись прервана: в МК теперь может быть только часть новых настроек.",
                      "The write was cut off: the device may now hold part of the new settings."};
const TBiText kNoBackup{"Резервная копия прежних настроек МК не сохранялась.",
                        "No backup of the device's previous settings was made."};
const TBiText kBackupMade{"Резервная копия прежних настроек МК: %1", "Backup of the device's previous settings: %1"};
const TBiText kBackupFailed{"Не удалось сохранить резервную копию настроек МК. %1 Настройки не записаны.",
                            "Cannot save the backup of the device's settings. %1 Nothing was written."};
// clang-format on

constexpr int kBaudRate = 115200;
constexpr int kModelAnswer = 3; // a byte not used, then the model code

int Percent(int part, int whole) {
    return int(RoundHalfEven(100.0 * part / whole));
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

// "0x4000 (Model 01)"; the code alone for a model the catalogue does not know.
QString ModelText(uint16_t code) {
    QString text =
        QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    if (const TDeviceModel *m = FindDeviceModel(code))
        text += QStringLiteral(" (%1)").arg(QString::fromUtf8(m->Name));
    return text;
}

} // namespace

// The port and the progress of one transfer: whatever way it ends, the progress goes
// first, then the port is closed.
class TDeviceTransfer::TSession {
public:
    explicit TSession(TML_RS &link) : link_(link) {}
    ~TSession() {
        progress.reset();
        link_.SetActive(false);
    }
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;

    // Before the last box: a progress window left behind it would not repaint.
    void EndProgress() { progress.reset(); }

    std::unique_ptr<TTransferProgress> progress;

private:
    TML_RS &link_;
};

TDeviceTransfer::TDeviceTransfer(TML_RS &link, TMK &mk, TProgressFactory progress, uint8_t &deviceAddress,
                                 uint32_t &deviceMemorySize)
    : link_(link), mk_(mk), progressFactory_(std::move(progress)), deviceAddress_(deviceAddress),
      deviceMemorySize_(deviceMemorySize) {}

bool TDeviceTransfer::Connect(TSession &session, uint16_t *model) {
    link_.SetActive(true);
    link_.SetBaudRate(kBaudRate);
    session.progress = progressFactory_();
    TTransferProgress &progress = *session.progress;
    progress.SetCancelVisible(true);
    progress.SetLabel(kConnecting.text());
    progress.SetGaugeVisible(false);
    // Answers that an earlier run gave up on may still be coming: taken for this run's,
    // they would pass for its data.
    if (link_.IsOpen()) link_.DrainLine();
    QString shown = kConnecting.text();
    for (;;) {
        // A port that cannot be opened is no silent device: say why on a second line
        // (the device and the system's reason), while the attempts go on.
        const QString reason = link_.IsOpen() ? QString() : link_.OpenFailure();
        const QString label = reason.isEmpty() ? kConnecting.text() : kConnecting.text() + QLatin1Char('\n') + reason;
        if (label != shown) {
            progress.SetLabel(label);
            shown = label;
            ProcessPendingEvents();
        }
        deviceAddress_ = TripComputerAddress;
        deviceMemorySize_ = TripComputerMemorySize;
        link_.FirstByteTimeout = ReadTimeoutMs;
        try {
            link_.BeginRequest(deviceAddress_, ReadModel);
            link_.ExecuteExpecting(kModelAnswer);
            link_.GetByte();
            *model = link_.GetWord();
            return true;
        } catch (const Error &e) {
            lastConnectError_ = e.message();
        }

        ProcessPendingEvents();
        if (progress.Cancelled()) return false;
    }
}

QByteArray TDeviceTransfer::ReadMemory(TTransferProgress &progress) {
    progress.SetLabel(kReading.text());
    progress.SetGauge(0);
    progress.SetGaugeVisible(true);
    ProcessPendingEvents();
    progress.SetCancelVisible(false); // from here on the read cannot be cancelled

    // Blocks 0 and 128 (the first of each half) are never read.
    const int half = int(deviceMemorySize_ / 64);
    const int blocks = int(deviceMemorySize_ / BlockSize) - 2;
    QByteArray memory;
    memory.reserve(blocks * BlockSize);
    for (int h = 0; h < 2; ++h)
        for (int i = 1; i < half; ++i) {
            const int b = half * h + i;
            link_.BeginRequest(deviceAddress_, ReadBlock);
            link_.PutWord(uint16_t(b));
            link_.ExecuteExpecting(BlockSize);
            for (int k = 0; k < BlockSize; ++k)
                memory.append(char(link_.GetByte()));
            progress.SetGauge(Percent(b, blocks));
        }
    return memory;
}

// --- read ------------------------------------------------------------------------------------

TTransferResult TDeviceTransfer::Read() {
    TSession session(link_);
    try {
        uint16_t model = 0;
        if (!Connect(session, &model)) return TTransferResult::Cancelled;
        // Into a memory of its own: a read cut short must not leave half an image.
        const QByteArray memory = ReadMemory(*session.progress);
        mk_.ModelCode = model;
        mk_.Image.Replace(memory);
        if (SetImageButtonsEnabled) SetImageButtonsEnabled(true);
        mk_.LoadAllSections();
    } catch (const Error &e) {
        session.EndProgress();
        Prompts().ShowError(e.message());
        if (SetImageButtonsEnabled) SetImageButtonsEnabled(false);
        return TTransferResult::Failed;
    }
    return TTransferResult::Done;
}

// --- write -----------------------------------------------------------------------------------

TDeviceTransfer::THeld TDeviceTransfer::HeldSections() const {
    using MKLayout::DeviceAddressOfImage;
    using MKLayout::HeaderSize;
    THeld out;
    const int held = mk_.Image.Held();
    if (held < HeaderSize) {
        out.header = kNoHeader.text().arg(held);
        return out;
    }
    const auto *image = reinterpret_cast<const uint8_t *>(mk_.Image.Bytes().constData());
    out.count = image[0];
    for (int k = 1; k <= MKLayout::SectionCount; ++k) {
        const int address = LE::Get<uint16_t>(image + 4 * k);
        const int length = LE::Get<uint16_t>(image + 4 * k + 2);
        // The bytes that loading took into the working fields.
        const int count = std::clamp(length - 4, 0, MKLayout::SectionSize[size_t(k)]);
        out.loaded[size_t(k)] = count;
        const int start = address - DeviceAddressOfImage;
        if (start < HeaderSize || start + count > held)
            out.sections[size_t(k)] =
                kSectionNotHeld.text().arg(k).arg(address).arg(length).arg(held + DeviceAddressOfImage - 1);
    }
    return out;
}

QString TDeviceTransfer::THeld::Fault(int n) const {
    if (!header.isEmpty()) return header;
    for (int k = 1; k <= std::min(n, MKLayout::SectionCount); ++k)
        if (!sections[size_t(k)].isEmpty()) return sections[size_t(k)];
    return {};
}

QString TDeviceTransfer::VerifyWritten(const std::vector<TWritten> &written, TTransferProgress &progress) {
    // Every block that holds a written byte, each read once.
    std::vector<int> blocks;
    for (const TWritten &w : written)
        if (!w.bytes.isEmpty())
            for (int b = w.address / BlockSize; b <= (w.address + int(w.bytes.size()) - 1) / BlockSize; ++b)
                blocks.push_back(b);
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    if (blocks.empty()) return {};

    progress.SetLabel(kChecking.text());
    progress.SetGauge(0);
    ProcessPendingEvents();
    link_.FirstByteTimeout = ReadTimeoutMs;
    QByteArray memory(int(deviceMemorySize_), '\0');
    for (size_t i = 0; i < blocks.size(); ++i) {
        const int b = blocks[i];
        link_.BeginRequest(deviceAddress_, ReadBlock);
        link_.PutWord(uint16_t(b));
        link_.ExecuteExpecting(BlockSize);
        for (int k = 0; k < BlockSize; ++k)
            memory[b * BlockSize + k] = char(link_.GetByte());
        progress.SetGauge(Percent(int(i + 1), int(blocks.size())));
    }
    auto hex = [](uint8_t v) { return QString::number(v, 16).toUpper().rightJustified(2, QLatin1Char('0')); };
    for (const TWritten &w : written)
        for (int i = 0; i < w.bytes.size(); ++i) {
            const uint8_t held = uint8_t(memory.at(w.address + i)), sent = uint8_t(w.bytes.at(i));
            if (held != sent)
                return kMismatch.text().arg(w.section).arg(w.address + i).arg(hex(held), hex(sent));
        }
    return {};
}

QByteArray TDeviceTransfer::WriteSection(uint16_t address, int count) {
    const QByteArray scratch = mk_.Image.Bytes().mid(address - MKLayout::DeviceAddressOfImage, count);
    const auto *data = reinterpret_cast<const uint8_t *>(scratch.constData());
    link_.FirstByteTimeout = WriteTimeoutMs;

    link_.BeginRequest(deviceAddress_, WriteBegin);
    link_.PutWord(address);
    link_.PutWord(uint16_t(count));
    link_.ExecuteExpecting(0);

    auto block = [&](int index, int bytes) {
        link_.BeginRequest(deviceAddress_, WriteBlock);
        link_.PutWord(uint16_t(index));
        link_.PutWord(uint16_t(bytes));
        for (int i = 0; i < bytes; ++i)
            link_.PutByte(data[index * BlockSize + i]);
        link_.ExecuteExpecting(0);
    };
    const int full = count / BlockSize;
    for (int j = 0; j < full; ++j)
        block(j, BlockSize);
    if (count % BlockSize != 0) block(full, count % BlockSize);

    link_.BeginRequest(deviceAddress_, WriteEnd);
    link_.PutWord(address);
    link_.PutWord(uint16_t(count));
    link_.ExecuteExpecting(0);
    return scratch;
}

TTransferResult TDeviceTransfer::Write() {
    lastBackup_.clear();
    // Before anything else: for a section the settings do not hold, whatever its
    // working fields happen to contain would be sent.
    const THeld held = HeldSections();
    if (const QString fault = held.Fault(held.count); !fault.isEmpty()) {
        Prompts().ShowError(fault);
        return TTransferResult::Refused;
    }
    // The user's values, and the firmware variant they were made for.
    const std::vector<uint8_t> edited(mk_.Working().begin(), mk_.Working().end());
    mk_.ReadHeader();
    const uint8_t variant = mk_.Header.variant;

    TSession session(link_);
    auto refuse = [&session](const QString &text) {
        session.EndProgress();
        Prompts().ShowError(text);
        return TTransferResult::Refused;
    };
    uint16_t model = 0;
    if (!Connect(session, &model)) return TTransferResult::Cancelled;
    if (mk_.ModelCode != model)
        return refuse(kWrongModel.text() + QLatin1Char('\n') +
                      kModels.text().arg(ModelText(mk_.ModelCode), ModelText(model)));
    TTransferProgress &progress = *session.progress;

    // The device's whole memory with the user's sections stored into it: every byte
    // outside the sections keeps what the device holds now. A read cut short changes
    // nothing.
    QByteArray memory;
    try {
        memory = ReadMemory(progress);
    } catch (const Error &e) {
        throw Error(e.message() + QLatin1Char('\n') + kNothingWritten.text());
    }
    // A table that cannot describe the memory would send bytes to the wrong place or one
    // section over another; checked before the image takes the memory.
    if (const QString fault = SectionTable::Fault(memory); !fault.isEmpty())
        return refuse(kDamagedTable.text().arg(fault));
    mk_.Image.Replace(memory);
    std::copy(edited.begin(), edited.end(), mk_.Working().begin());
    for (int k = 1; k <= MKLayout::SectionCount; ++k)
        mk_.StoreSection(k);
    mk_.ReadHeader();
    if (mk_.Header.variant != variant) return refuse(kWrongVariant.text());
    // The device may send more of the eleven sections than the settings' table named,
    // or longer ones: the working fields would fill the rest with what the settings
    // never held.
    if (const QString fault = held.Fault(mk_.Header.sectionCount); !fault.isEmpty()) return refuse(fault);
    for (int k = 1; k <= std::min<int>(mk_.Header.sectionCount, MKLayout::SectionCount); ++k) {
        const int device =
            std::clamp(int(mk_.Header.sections[size_t(k)].length) - 4, 0, MKLayout::SectionSize[size_t(k)]);
        if (device > held.loaded[size_t(k)])
            return refuse(kShorterThanDevice.text().arg(k).arg(device).arg(held.loaded[size_t(k)]));
    }
    if (MakeBackup) {
        try {
            lastBackup_ = Backups::Save(model, memory);
        } catch (const Error &e) {
            return refuse(kBackupFailed.text().arg(e.message()));
        }
    }
    const QString backupLine =
        lastBackup_.isEmpty() ? QString() : QLatin1Char('\n') + kBackupMade.text().arg(lastBackup_);

    progress.SetLabel(kWriting.text());
    progress.SetGauge(0);
    progress.SetGaugeVisible(true);
    ProcessPendingEvents();

    const auto *image = reinterpret_cast<const uint8_t *>(mk_.Image.Bytes().constData());
    const int n = image[0];
    std::vector<TWritten> written;
    QString difference;
    try {
        for (int k = 1; k <= n; ++k) {
            const uint16_t address = LE::Get<uint16_t>(image + 4 * k);
            const int count = LE::Get<uint16_t>(image + 4 * k + 2) - 4;
            written.push_back({k, address, WriteSection(address, count)});
            progress.SetGauge(Percent(k, n));
        }
        difference = VerifyWritten(written, progress);
    } catch (const Error &e) {
        // From the first WriteBegin on, the device may have taken some of it.
        throw TWriteCutOff(
            e.message() + QLatin1Char('\n') + kCutOff.text() + QLatin1Char('\n') +
                (lastBackup_.isEmpty() ? kNoBackup.text() : kBackupMade.text().arg(lastBackup_)),
            lastBackup_);
    }
    session.EndProgress();
    if (!difference.isEmpty()) {
        Prompts().ShowError(difference + backupLine);
        return TTransferResult::Failed;
    }
    Prompts().ShowInformation(kWritten.text() + backupLine);
    return TTransferResult::Done;
}
