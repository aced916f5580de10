#include "link/SerialPort.h"

#include <QSerialPort>
#include <QThread>

#if defined(Q_OS_LINUX)
#include <linux/serial.h>
#include <sys/ioctl.h>
#elif defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

class SystemSerialPort final : public SerialPort {
public:
    explicit SystemSerialPort(const QString &path) : path_(path) { port_.setPortName(path); }
    ~SystemSerialPort() override { Close(); }

    QString Path() const override { return path_; }

    bool Open() override {
        if (!port_.open(QIODevice::ReadWrite)) {
            error_ = port_.errorString();
            return false;
        }
        error_.clear();
        port_.setFlowControl(QSerialPort::NoFlowControl);
#if defined(Q_OS_WIN)
        // Large driver queues: nothing is lost while the program is busy elsewhere.
        ::SetupComm(HANDLE(port_.handle()), 1048576, 1048576);
#endif
        RequestLowLatency();
        port_.clearError();
        return true;
    }

    void Close() override {
        if (port_.isOpen()) port_.close();
    }

    bool IsOpen() const override {
        return port_.isOpen();
    }
    QString ErrorString() const override {
        return error_;
    }

    bool SetBaudRate(int rate) override {
        return Check(port_.setBaudRate(rate));
    }
    int BaudRate() const override {
        return port_.isOpen() ? int(port_.baudRate()) : 0;
    }

    bool SetDataBits(int bits) override {
        if (bits < 5 || bits > 8) return false;
        return Check(port_.setDataBits(QSerialPort::DataBits(bits)));
    }

    bool SetParity(int code) override {
        static constexpr QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                           QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                           QSerialPort::SpaceParity};
        if (code < 0 || code > 4) return false;
        return Check(port_.setParity(parities[code]));
    }

    bool SetStopBits(int code) override {
        static constexpr QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                          QSerialPort::TwoStop};
        if (code < 0 || code > 2) return false;
        return Check(port_.setStopBits(stops[code]));
    }

    bool SetDTR(bool on) override {
        return Check(port_.setDataTerminalReady(on));
    }
    bool SetRTS(bool on) override {
        return Check(port_.setRequestToSend(on));
    }

    void PurgeInput() override {
        Check(port_.clear(QSerialPort::Input));
    }
    void PurgeOutput() override {
        Check(port_.clear(QSerialPort::Output));
    }

    bool Write(const uint8_t *data, int count) override {
        if (port_.write(reinterpret_cast<const char *>(data), count) != count) return Check(false);
        // QSerialPort sends from its event loop; push the frame out now.
        port_.flush();
        while (port_.bytesToWrite() > 0)
            if (!port_.waitForBytesWritten(100)) return Check(false);
        return true;
    }

    int Read(uint8_t *dst, int max) override {
        const qint64 n = port_.read(reinterpret_cast<char *>(dst), max);
        return n > 0 ? int(n) : 0;
    }

    bool WaitForData(int timeoutMs) override {
        if (port_.bytesAvailable() > 0) return true;
        if (port_.waitForReadyRead(timeoutMs)) return true;
        // A vanished device makes the wait return at once; do not let the caller spin.
        if (port_.error() != QSerialPort::TimeoutError && port_.error() != QSerialPort::NoError)
            QThread::msleep(ulong(timeoutMs));
        port_.clearError();
        return port_.bytesAvailable() > 0;
    }

private:
    // Failures of single settings are reported by the result, not kept as the
    // port's error state (a pty refuses DTR and RTS, and that is fine).
    bool Check(bool ok) {
        if (!ok) port_.clearError();
        return ok;
    }

    // USB adapters hold received bytes back for up to 16 ms unless asked not to;
    // every exchange waits for an answer, so ask. Not every device can.
    void RequestLowLatency() {
#if defined(Q_OS_LINUX)
        const int fd = int(port_.handle());
        serial_struct ss{};
        if (fd >= 0 && ::ioctl(fd, TIOCGSERIAL, &ss) == 0) {
            ss.flags |= ASYNC_LOW_LATENCY;
            (void)::ioctl(fd, TIOCSSERIAL, &ss);
        }
#endif
    }

    QString path_;
    QSerialPort port_;
    QString error_;
};

} // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort(const QString &path) {
    return std::make_unique<SystemSerialPort>(path);
}
