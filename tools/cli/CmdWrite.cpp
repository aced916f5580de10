// tripconf-cli write: a settings file into the device, with every check the program makes.

#include "CliTransfer.h"

#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

namespace {

int RunWrite(TCliArgs &args) {
    const int timeout = ConnectTimeoutOption(args);
    const bool noBackup = args.Flag(QStringLiteral("--no-backup"));
    LangOption(args);
    const QString port = PortOption(args);
    const QStringList files = args.TakePositionals();
    args.Finish();
    if (files.size() != 1) throw TUsageError(QStringLiteral("one settings file expected"));

    const TStderrPrompts prompts("write");
    TMK mk;
    SettingsFile::Load(mk, files.constFirst());
    mk.LoadAllSections();
    std::unique_ptr<TML_RS> link = LinkForPort(port);
    TDeviceTransfer transfer = StderrTransfer(*link, mk, timeout);
    transfer.MakeBackup = !noBackup;
    // A link error while writing is raised and reported with exit code 1.
    return TransferExitCode(transfer.Write(), transfer, timeout, "write");
}

const TCliRegistration registration{
    {"write", "--port PORT FILE [--no-backup] [--connect-timeout SECONDS] [--lang en|ru]",
     "write a settings file into the device: model and firmware checks, a backup of the device's settings, "
     "every section, then a read-back check",
     RunWrite}};

} // namespace
