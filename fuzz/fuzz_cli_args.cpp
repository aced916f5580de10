// The command line's numbers and ports: the arguments (split at zero bytes) through the
// model code, --connect-timeout, --port and --lang options, the port as a number or a
// path, and the TRIPCONF_PORTS mapping.

#include "Cli.h"
#include "CliTransfer.h"
#include "base/Prompts.h"
#include "link/ML_RS232.h"
#include "link/PortDirectory.h"

namespace {

// No port found is an error box; here it would only slow the run down.
class TQuietPrompts final : public TUserPrompts {
public:
    void ShowError(const QString &) override {}
    void ShowInformation(const QString &) override {}
    bool Confirm(const QString &) override { return false; }
    void ShowApplicationError(const QString &) override {}
    QString OpenFileName(const TFileDialogOptions &) override { return {}; }
    QString SaveFileName(const TFileDialogOptions &) override { return {}; }
};

// The options the transfer commands take, and an argument.
int Run(TCliArgs &) { return 0; }
const TCliCommand kCommand{"fuzz",
                           "[OPTIONS] [FILE]",
                           "",
                           "",
                           {{0, "model", "CODE", "", "0x4000", false},
                            kPortOption,
                            kConnectTimeoutOption,
                            kLangOption,
                            kJsonOption,
                            kHelpOption},
                           {{"FILE", ""}},
                           Run};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static TQuietPrompts quiet;
    SetPrompts(&quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList list;
    for (const QByteArray &part : bytes.split('\0'))
        list << QString::fromUtf8(part);
    (void)ParsePortOverride(QString::fromUtf8(bytes));
    for (const QString &text : list)
        (void)ParseModelCode(text);
    try {
        const TCliArgs args(kCommand, list);
        if (args.HelpRequested()) return 0;
        (void)ModelOption(args);
        (void)ConnectTimeoutOption(args);
        LangOption(args);
        (void)args.IsSet("json");
        (void)args.Positionals();
        (void)LinkForPort(PortOption(args));
    } catch (const Error &) {
    }
    return 0;
}
