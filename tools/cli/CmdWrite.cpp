// tripconf-cli write: a settings file into the device, with every check the program makes.

#include "CliTransfer.h"

#include "base/Lang.h"
#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

#include <QRegularExpression>

namespace {

// An argument as a POSIX shell takes it back: quoted unless it is plainly safe.
QString ShellWord(const QString &word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=@%+,-]+$"));
    if (plain.match(word).hasMatch()) return word;
    return QLatin1Char('\'') + QString(word).replace(QLatin1Char('\''), QLatin1String("'\\''")) +
           QLatin1Char('\'');
}

int RunWrite(TCliArgs &args) {
    const int timeout = ConnectTimeoutOption(args);
    LangOption(args);
    const QString port = PortOption(args);
    const QString file = Files(args, 1, QStringLiteral("one settings file expected")).constFirst();

    const TStderrPrompts prompts("write");
    TMK mk;
    SettingsFile::Load(mk, file);
    mk.LoadAllSections();
    std::unique_ptr<TML_RS> link = LinkForPort(port);
    TDeviceTransfer transfer = StderrTransfer(*link, mk, timeout);
    transfer.MakeBackup = !args.IsSet("no-backup");
    // A link error while writing is raised and reported with exit code 1; once sections
    // have gone out, with the command that puts the backup back.
    try {
        return TransferExitCode(transfer.Write(), transfer, timeout, "write");
    } catch (const TWriteCutOff &e) {
        Err() << "tripconf-cli write: " << e.message() << '\n';
        if (!e.Backup.isEmpty())
            Err() << Bi("Вернуть прежние настройки в МК:", "To write the device's previous settings back:")
                  << "\n  tripconf-cli write --port " << ShellWord(port) << ' ' << ShellWord(e.Backup)
                  << '\n';
        Err().flush();
        return 1;
    }
}

const TCliRegistration registration{
    {"write",
     "--port PORT [OPTIONS] FILE",
     "write a settings file into the device",
     "Writes a settings file into the device, as \"Write settings into the device\" does, with every check "
     "the program makes: settings that do not hold every section they name are refused before the port is "
     "opened; the device's model code and firmware variant must match the file's; the device's memory is "
     "read again, saved as a backup, and each section is written and then read back and compared.",
     {kPortOption,
      {0, "no-backup", nullptr, "Do not save the device's settings before writing.", nullptr, false},
      kConnectTimeoutOption,
      kLangOption,
      kVerboseOption},
     {{"FILE", "The settings file (.vorng) to write."}},
     RunWrite,
     nullptr,
     "Backups:\n"
     "The backup is a settings file named <model code>-<yyyyMMdd>-<HHmmss>.vorng in "
     "~/.local/share/tripconf/backups/ ($XDG_DATA_HOME/tripconf/backups/), or in the folder "
     "TRIPCONF_BACKUPS names; the newest 50 are kept. The last line of a write names it. A write "
     "cut off once it began sending says that the device may hold part of the new settings, and ends "
     "with the command that writes the backup back."}};

} // namespace
