// tripconf-cli read: the device's settings memory into a settings file.

#include "CliTransfer.h"

#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/SettingsFile.h"

namespace {

int RunRead(TCliArgs &args) {
    const QString output = args.Value("output").value_or(QString());
    const int timeout = ConnectTimeoutOption(args);
    LangOption(args);
    const QString port = PortOption(args);

    CheckOutputFile(output); // before the device is read, not after
    const TStderrPrompts prompts("read");
    std::unique_ptr<TML_RS> link = LinkForPort(port);
    TMK mk;
    TDeviceTransfer transfer = StderrTransfer(*link, mk, timeout);
    const int code = TransferExitCode(transfer.Read(), transfer, timeout, "read");
    if (code != 0) return code;
    SettingsFile::Save(mk, output);
    return 0;
}

const TCliRegistration registration{
    {"read",
     "--port PORT -o FILE [OPTIONS]",
     "read the device's settings into a settings file",
     "Reads the device's whole settings memory into a settings file (.vorng), as \"Read settings from the "
     "device\" does: waits for the device to answer, reads its memory block by block with the progress on "
     "stderr, then saves the file.\n\n"
     "The output is checked first: a folder that is not there or does not take a new file, or a name that "
     "is not a regular file, fails before the device is asked. An existing file is replaced only once every "
     "byte is written.",
     {kPortOption,
      {'o', "output", "FILE", "The settings file to write.", nullptr, true},
      kConnectTimeoutOption,
      kLangOption,
      kVerboseOption},
     {},
     RunRead}};

} // namespace
