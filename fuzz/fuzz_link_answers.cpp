// Device answers through the link: identification, the model request and a block read,
// with the input as everything the device sends back. Every wait is zero, so an answer
// cut short ends the attempt at once.

#include "base/Error.h"
#include "link/ML_RS232.h"
#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

QByteArray g_answers;
qsizetype g_at = 0;

class TFuzzPort final : public SerialPort {
public:
    QString Path() const override { return QStringLiteral("fuzz"); }
    bool Open() override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    QString ErrorString() const override { return {}; }
    bool SetBaudRate(int) override { return true; }
    int BaudRate() const override { return 0; }
    bool SetDataBits(int) override { return true; }
    bool SetParity(int) override { return true; }
    bool SetStopBits(int) override { return true; }
    bool SetDTR(bool) override { return false; }
    bool SetRTS(bool) override { return false; }
    void PurgeInput() override {}
    void PurgeOutput() override {}
    bool Write(const uint8_t *, int) override { return open_; }
    int Read(uint8_t *dst, int max) override {
        const int n = int(std::min<qsizetype>(max, g_answers.size() - g_at));
        if (n > 0) std::memcpy(dst, g_answers.constData() + g_at, size_t(n));
        g_at += n;
        return std::max(n, 0);
    }
    bool WaitForData(int) override { return g_at < g_answers.size(); }

private:
    bool open_ = false;
};

class TFuzzPorts final : public TPortDirectory {
public:
    QString DevicePath(int n) const override { return n == 1 ? QStringLiteral("fuzz") : QString(); }
    bool Probe(int n) const override { return n == 1; }
    std::unique_ptr<SerialPort> CreatePort(int n) override {
        return n == 1 ? std::make_unique<TFuzzPort>() : nullptr;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    g_answers = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    g_at = 0;
    TML_RS link(std::make_unique<TFuzzPorts>());
    link.FirstByteTimeout = 0;
    link.InterByteTimeout = 0;
    link.RetryPauseMs = 0;
    link.SetActive(true);
    link.BaudRate = 1000000000; // no time on the line to wait for
    try {
        (void)link.Identify();
    } catch (const Error &) {
    }
    try {
        link.CommandOnce(244, 1);
        (void)link.GetByte();
        (void)link.GetWord();
    } catch (const Error &) {
    }
    try {
        link.BeginRequest(244, 5);
        link.PutWord(1);
        link.ExecuteOnce();
        for (int i = 0; i < 32; ++i)
            (void)link.GetByte();
        (void)link.GetString();
    } catch (const Error &) {
    }
    return 0;
}
