#pragma once
// A transfer wired to an in-process simulated trip computer, with a progress that
// records what it was told, and helpers to pick the frames apart.

#include "SimSerialPort.h"
#include "app/Transfer.h"
#include "base/Bytes.h"
#include "link/ML_RS232.h"
#include "model/MK.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <memory>

namespace TransferTest {

// What a transfer showed, in order: "label:…", "gauge:N", "gauge-visible:0|1",
// "cancel-visible:0|1".
struct TProgressLog {
    QStringList Events;
    int Created = 0;
    int Destroyed = 0;
    int CancelChecks = 0;
    int CancelAfterChecks = -1; // Cancelled() answers true from this many checks on

    QList<int> Gauges() const;
    QStringList Labels() const;
};

class TRecordingProgress final : public TTransferProgress {
public:
    explicit TRecordingProgress(TProgressLog &log) : log_(log) { ++log_.Created; }
    ~TRecordingProgress() override { ++log_.Destroyed; }
    void SetLabel(const QString &text) override { log_.Events << QStringLiteral("label:") + text; }
    void SetGauge(int percent) override { log_.Events << QStringLiteral("gauge:%1").arg(percent); }
    void SetGaugeVisible(bool v) override { log_.Events << QStringLiteral("gauge-visible:%1").arg(int(v)); }
    void SetCancelVisible(bool v) override { log_.Events << QStringLiteral("cancel-visible:%1").arg(int(v)); }
    bool Cancelled() const override {
        ++log_.CancelChecks;
        return log_.CancelAfterChecks >= 0 && log_.CancelChecks >= log_.CancelAfterChecks;
    }

private:
    TProgressLog &log_;
};

// A request frame taken apart.
struct TRequest {
    uint8_t Address = 0;
    uint8_t Command = 0;
    QByteArray Payload;
    uint16_t Word(int i) const {
        return LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(Payload.constData()) + 2 * i);
    }
};
TRequest Parse(const QByteArray &frame);

// Port 1 leads to Device.
struct TRig {
    TSimDevice Device;
    TSimPortDirectory *Ports = new TSimPortDirectory;
    TSimLine &Line = Ports->Attach(1, &Device);
    TML_RS Link{std::unique_ptr<TPortDirectory>(Ports)};
    TMK MK;
    TProgressLog Progress;
    uint8_t DeviceAddress = 0;
    uint32_t DeviceMemorySize = 0;
    QList<bool> Buttons; // every call of SetImageButtonsEnabled
    bool Backup = false; // writes save a backup first

    TDeviceTransfer Transfer();
    // The requests written since the last Line.Written.clear(), those with command
    // only when given.
    QList<TRequest> Requests(int command = -1) const;
};

// Device address and length of section k in a device memory.
int SectionAddress(const QByteArray &memory, int k);
int SectionLength(const QByteArray &memory, int k);
// A memory whose table holds the given sections ({address, length}); the rest is a pattern.
QByteArray MemoryWithSections(const QList<QPair<int, int>> &sections, uint8_t variant = 0);
// The sections given, then empty ones (length 4, no data) at 3500, 3504, … up to the
// eleven a device table lists at the least.
QList<QPair<int, int>> Eleven(QList<QPair<int, int>> sections);

} // namespace TransferTest
