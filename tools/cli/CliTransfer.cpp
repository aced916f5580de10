#include "CliTransfer.h"

#include "base/Lang.h"
#include "base/SafeFile.h"
#include "link/ML_RS232.h"
#include "link/PortDirectory.h"
#include "link/SerialPort.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <cstdio>
#include <unistd.h>

namespace {

// One port, number 1, for a device named by its path.
class TPathPortDirectory final : public TPortDirectory {
public:
    explicit TPathPortDirectory(QString path) : path_(std::move(path)) {}
    QString DevicePath(int n) const override { return n == 1 ? path_ : QString(); }
    bool Probe(int n) const override { return n == 1 && QFileInfo::exists(path_); }
    std::unique_ptr<SerialPort> CreatePort(int n) override {
        return n == 1 ? MakeSystemSerialPort(path_) : nullptr;
    }

private:
    QString path_;
};

// Kept while a transfer may need them.
uint8_t g_deviceAddress = 0;
uint32_t g_deviceMemorySize = 0;

} // namespace

QString PortOption(const TCliArgs &args) {
    return args.Value("port").value_or(QString());
}

std::unique_ptr<TML_RS> LinkForPort(const QString &port) {
    static const QRegularExpression comN(QStringLiteral("^(?:COM)?(\\d+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch number = comN.match(port);
    if (!number.hasMatch()) {
        if (!QFileInfo::exists(port)) throw Error(QStringLiteral("%1: no such device").arg(port));
        auto link = std::make_unique<TML_RS>(std::make_unique<TPathPortDirectory>(port));
        link->PortNumber = 1;
        return link;
    }
    const int n = number.captured(1).toInt();
    if (n < 1 || n > TPortDirectory::MaxPorts)
        throw TUsageError(
            QStringLiteral("port numbers are 1 … %1, or give a device path").arg(TPortDirectory::MaxPorts));
    auto directory = std::make_unique<TSystemPortDirectory>();
    // The link would fall back to another port; here the user named this one.
    if (!directory->Probe(n)) {
        const QString path = directory->DevicePath(n);
        throw Error(path.isEmpty() ? QStringLiteral("port %1 is not mapped to a device").arg(n)
                                   : QStringLiteral("port %1 (%2) is not present").arg(n).arg(path));
    }
    auto link = std::make_unique<TML_RS>(std::move(directory));
    link->PortNumber = n;
    return link;
}

int ConnectTimeoutOption(const TCliArgs &args) {
    const QString text = args.Value("connect-timeout").value_or(QString());
    bool ok = false;
    const int seconds = text.toInt(&ok);
    if (!ok || seconds < 1 || seconds > 24 * 3600)
        throw TUsageError(
            QStringLiteral("--connect-timeout wants whole seconds, 1 … 86400, not \"%1\"").arg(text));
    return seconds;
}

void EnableLinkLog() {
    // Through the program's stderr stream, so the lines keep their order with the rest.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &message) {
        if (context.category && qstrcmp(context.category, "default") != 0) Err() << context.category << ": ";
        Err() << message << '\n';
        Err().flush();
    });
    QLoggingCategory::setFilterRules(QStringLiteral("tripconf.link.debug=true"));
}

void CheckOutputFile(const QString &path) {
    SafeFile::CheckTarget(path);
    // The save goes through a temporary file beside the target: make one and drop it.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        throw Error(Bi("Не удалось записать файл \"%1\": %2", "Cannot write file \"%1\": %2")
                        .arg(path, probe.errorString()));
    probe.cancelWriting();
}

// --- progress ---------------------------------------------------------------------------

TStderrProgress::TStderrProgress(int connectTimeoutMs)
    : timeoutMs_(connectTimeoutMs), terminal_(::isatty(STDERR_FILENO) == 1) {
    started_.start();
}

TStderrProgress::~TStderrProgress() {
    ClearHeld();
    EndLine();
}

void TStderrProgress::EndLine() const {
    if (!lineOpen_) return;
    Err() << '\n';
    Err().flush();
    lineOpen_ = false;
}

void TStderrProgress::PrintLabel(const QString &text) const {
    if (text == label_) return;
    EndLine();
    label_ = text;
    shown_ = -1;
    Err() << text;
    Err().flush();
    lineOpen_ = true;
    if (!terminal_) EndLine();
}

void TStderrProgress::ClearHeld() const {
    if (!heldShown_) return;
    Err() << '\r' << QString(held_.size() + 1, QLatin1Char(' ')) << '\r';
    Err().flush();
    heldShown_ = false;
}

void TStderrProgress::PrintHeld() const {
    if (held_.isEmpty()) return;
    ClearHeld();
    PrintLabel(held_);
    held_.clear();
}

void TStderrProgress::SetLabel(const QString &text) {
    if (cancelVisible_) {
        ClearHeld();
        held_ = text;
    } else {
        PrintLabel(text);
    }
}

void TStderrProgress::SetCancelVisible(bool visible) {
    cancelVisible_ = visible;
    if (!visible) PrintHeld();
}

void TStderrProgress::SetGaugeVisible(bool visible) {
    gaugeVisible_ = visible;
}

void TStderrProgress::SetGauge(int percent) {
    if (!gaugeVisible_) return;
    PrintHeld();
    if (terminal_) {
        if (percent == shown_) return;
        Err() << '\r' << label_ << ' ' << percent << '%';
        lineOpen_ = true;
    } else {
        if (shown_ >= 0 && percent / 10 == shown_ / 10) return;
        Err() << "  " << percent << "%\n";
    }
    Err().flush();
    shown_ = percent;
}

bool TStderrProgress::Cancelled() const {
    // A round has failed: on a terminal say what is going on, in place.
    if (terminal_ && !heldShown_ && !held_.isEmpty()) {
        Err() << '\r' << held_;
        Err().flush();
        heldShown_ = true;
    }
    return started_.elapsed() >= timeoutMs_;
}

// --- prompts --------------------------------------------------------------------------------

TStderrPrompts::TStderrPrompts(const char *command) : command_(QString::fromLatin1(command)) {
    SetPrompts(this);
}

TStderrPrompts::~TStderrPrompts() {
    SetPrompts(nullptr);
}

void TStderrPrompts::ShowError(const QString &text) {
    Err() << "tripconf-cli " << command_ << ": " << text << '\n';
    Err().flush();
}

void TStderrPrompts::ShowInformation(const QString &text) {
    Err() << text << '\n';
    Err().flush();
}

// --- running -----------------------------------------------------------------------------------

TDeviceTransfer StderrTransfer(TML_RS &link, TMK &mk, int timeoutSeconds) {
    return TDeviceTransfer(
        link, mk, [timeoutSeconds] { return std::make_unique<TStderrProgress>(timeoutSeconds * 1000); },
        g_deviceAddress, g_deviceMemorySize);
}

int TransferExitCode(TTransferResult result, const TDeviceTransfer &transfer, int timeoutSeconds,
                     const char *command) {
    if (result == TTransferResult::Done) return 0;
    if (result == TTransferResult::Cancelled) {
        Err() << "tripconf-cli " << command << ": "
              << Bi("Не могу подключиться к МК...", "I can not connect to the device") << " ("
              << timeoutSeconds << " s)";
        if (!transfer.LastConnectError().isEmpty()) Err() << ": " << transfer.LastConnectError();
        Err() << '\n';
        Err().flush();
    }
    return 1;
}
