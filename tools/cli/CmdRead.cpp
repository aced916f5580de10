// tripconf-cli read: the device's settings memory into a settings file.

#include "CliTransfer.h"

#include "base/SafeFile.h"
#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

namespace {

int RunRead(TCliArgs &args) {
    std::optional<QString> output = args.Value(QStringLiteral("-o"));
    if (!output) output = args.Value(QStringLiteral("--output"));
    const int timeout = ConnectTimeoutOption(args);
    LangOption(args);
    const QString port = PortOption(args);
    args.Finish();
    if (!output || output->isEmpty()) throw TUsageError(QStringLiteral("-o FILE is required"));

    SafeFile::CheckTarget(*output); // before the device is read, not after
    const TStderrPrompts prompts("read");
    std::unique_ptr<TML_RS> link = LinkForPort(port);
    TMK mk;
    TDeviceTransfer transfer = StderrTransfer(*link, mk, timeout);
    const int code = TransferExitCode(transfer.Read(), transfer, timeout, "read");
    if (code != 0) return code;
    SettingsFile::Save(mk, *output);
    return 0;
}

const TCliRegistration registration{{"read", "--port PORT -o FILE [--connect-timeout SECONDS] [--lang en|ru]",
                                     "read the device's settings into a settings file (PORT: a number or a "
                                     "device path)",
                                     RunRead}};

} // namespace
