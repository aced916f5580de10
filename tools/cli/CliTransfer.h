#pragma once
// What the device commands (read, write) share: the port option, progress lines on
// stderr and the program's message boxes as stderr lines.

#include "Cli.h"
#include "app/Transfer.h"
#include "base/Prompts.h"

#include <QElapsedTimer>
#include <memory>

class TML_RS;

inline constexpr TCliOption kPortOption{
    0,       "port", "PORT", "The device's port: a number 1 … 32, COMn or a device path (see Ports).",
    nullptr, true};
inline constexpr TCliOption kConnectTimeoutOption{
    0,    "connect-timeout", "SECONDS", "How long to wait for the device to answer before giving up.", "10",
    false};
inline constexpr TCliOption kVerboseOption{
    'v',     "verbose",
    nullptr, "Log every exchange with the device on stderr: the frames in hex, with timing.",
    nullptr, false};

// "--port PORT".
QString PortOption(const TCliArgs &args);
// A link on the port: a number as the program maps it (TRIPCONF_PORTS included),
// "COMn", or a device path. Raises Error for a port that is not there.
std::unique_ptr<TML_RS> LinkForPort(const QString &port);
// "--connect-timeout SECONDS": how long to wait for the device to answer.
int ConnectTimeoutOption(const TCliArgs &args);
// The link's exchanges on stderr (--verbose).
void EnableLinkLog();
// Raises Error unless a settings file can be saved at path: its folder is there and
// takes a new file, and nothing but a regular file has the name. Checked before the
// device is asked, so a read is not wasted.
void CheckOutputFile(const QString &path);

// The label, and the gauge in steps of 10 (or in place on a terminal). The label set
// while connecting is shown only on a terminal, in place, once a round has failed, and
// goes when the transfer moves on or gives up: a device that answers at once shows
// nothing, and one that never does is reported once, by the caller.
class TStderrProgress final : public TTransferProgress {
public:
    explicit TStderrProgress(int connectTimeoutMs);
    ~TStderrProgress() override;
    void SetLabel(const QString &text) override;
    void SetGauge(int percent) override;
    void SetGaugeVisible(bool visible) override;
    void SetCancelVisible(bool visible) override;
    // Gives up connecting once the timeout has passed.
    bool Cancelled() const override;

private:
    void EndLine() const;
    void PrintLabel(const QString &text) const;
    void PrintHeld() const;
    void ClearHeld() const;

    QElapsedTimer started_;
    int timeoutMs_;
    bool terminal_;
    bool gaugeVisible_ = false;
    bool cancelVisible_ = false;
    mutable bool lineOpen_ = false;
    mutable int shown_ = -1;
    mutable QString label_;
    mutable QString held_;
    mutable bool heldShown_ = false;
};

// Message boxes as lines on stderr: errors with the command's name in front.
class TStderrPrompts final : public TUserPrompts {
public:
    explicit TStderrPrompts(const char *command); // installs itself
    ~TStderrPrompts() override;                   // puts the silent prompts back

    void ShowError(const QString &text) override;
    void ShowInformation(const QString &text) override;
    bool Confirm(const QString &) override { return false; }
    void ShowApplicationError(const QString &text) override { ShowError(text); }
    QString OpenFileName(const TFileDialogOptions &) override { return {}; }
    QString SaveFileName(const TFileDialogOptions &) override { return {}; }

private:
    QString command_;
};

// Runs a transfer with progress on stderr; a cancelled connect (timeout) is reported
// with the connect label and the link's last message. Exit code: 0 when done.
int TransferExitCode(TTransferResult result, const TDeviceTransfer &transfer, int timeoutSeconds,
                     const char *command);
// A transfer over link into mk with progress on stderr.
TDeviceTransfer StderrTransfer(TML_RS &link, TMK &mk, int timeoutSeconds);
