#pragma once
// The simulated device as an in-process serial port, for fast tests of the link:
// no pty, no second process, real time for delays.

#include "SimDevice.h"
#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <QList>
#include <chrono>
#include <deque>
#include <functional>
#include <map>

// The cable between the link and one simulated device, with the knobs a test turns.
struct TSimLine {
    TSimDevice *Device = nullptr; // not owned; may be absent (nothing answers)
    bool Present = true;          // found by the port scan
    QString Path = QStringLiteral("sim");
    QString OpenError;       // non-empty: opening fails with this reason
    bool ModemLines = false; // false like a pty: DTR and RTS are refused
    int MaxBaudRate = 0;     // > 0: higher rates are refused
    bool Echo = false;       // the request comes back first (RS-485)
    int TurnaroundMs = 0;    // device's thinking time before it answers
    bool Pace = false;       // bytes take their time on the line (11 bits each)
    // Bytes still on their way when the port opens (answers a run before gave up on):
    // each arrives its milliseconds after the open.
    QList<QPair<int, QByteArray>> Stale;
    // Answers instead of the device when set: raw frames for the frame variants.
    std::function<QByteArray(const QByteArray &request)> Responder;

    QList<QByteArray> Written; // every write, as sent
    int Opens = 0;
};

class TSimSerialPort final : public SerialPort {
public:
    explicit TSimSerialPort(TSimLine *line) : line_(line) {}

    QString Path() const override { return line_->Path; }
    bool Open() override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    QString ErrorString() const override { return error_; }

    bool SetBaudRate(int rate) override;
    int BaudRate() const override { return open_ ? baud_ : 0; }
    bool SetDataBits(int bits) override { return bits >= 5 && bits <= 8; }
    bool SetParity(int code) override { return code >= 0 && code <= 4; }
    bool SetStopBits(int code) override { return code >= 0 && code <= 2; }
    bool SetDTR(bool) override { return line_->ModemLines; }
    bool SetRTS(bool) override { return line_->ModemLines; }

    // Only what has arrived: bytes still on their way come in after the purge.
    void PurgeInput() override;
    void PurgeOutput() override {}

    bool Write(const uint8_t *data, int count) override;
    int Read(uint8_t *dst, int max) override;
    bool WaitForData(int timeoutMs) override;

private:
    using Clock = std::chrono::steady_clock;
    struct TByte {
        uint8_t value;
        Clock::time_point at; // when it has arrived
    };
    void Queue(const QByteArray &bytes, Clock::time_point start);

    TSimLine *line_;
    bool open_ = false;
    int baud_ = 9600;
    QString error_;
    std::deque<TByte> incoming_;
};

// Ports 1 … 32 as lines to simulated devices.
class TSimPortDirectory final : public TPortDirectory {
public:
    // Adds (or returns) the line of port n.
    TSimLine &Line(int n) { return lines_[n]; }
    TSimLine &Attach(int n, TSimDevice *device);

    QString DevicePath(int n) const override;
    bool Probe(int n) const override;
    std::unique_ptr<SerialPort> CreatePort(int n) override;

private:
    std::map<int, TSimLine> lines_;
};
