#pragma once
// The command-line companion's small framework: a registry of commands (one file
// each, declaring its options and arguments next to its code), the parsing of a
// command's arguments, its help, and output on stdout (table or JSON).
//
// Exit codes: 0 done, 1 failure (one message on stderr), 2 a wrong command line
// (the message, the usage and where to find the help).

#include "base/Error.h"

#include <QCommandLineParser>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class TCliArgs;

struct TCliOption {
    char shortName;           // 'o', or 0
    const char *name;         // "output"
    const char *valueName;    // "FILE"; nullptr for a switch
    const char *description;  // one sentence, without the default
    const char *defaultValue; // taken when the option is absent, and shown; nullptr for none
    bool required;
};

struct TCliArgument {
    const char *name;        // "FILE"
    const char *description; // one sentence
};

struct TCliCommand {
    const char *name;     // "read"
    const char *synopsis; // after the name: "--port PORT -o FILE [OPTIONS]"
    const char *summary;  // one line for the overview
    const char *help;     // what the command does, for its help (paragraphs separated by "\n\n")
    std::vector<TCliOption> options;
    std::vector<TCliArgument> arguments;
    int (*run)(TCliArgs &args);
    const char *exitStatus = nullptr; // when it is not the usual 0 / 1 / 2
    const char *notes = nullptr;      // a last paragraph of the help (environment, files)
    // A switch with which the command draws with widgets (Qt Charts): only then does
    // the program start as a widgets application, on the offscreen platform.
    const char *widgetsSwitch = nullptr;
};

// Commands register themselves at start-up: static TCliRegistration r{{...}};
struct TCliRegistration {
    explicit TCliRegistration(const TCliCommand &command);
};

std::span<const TCliCommand> CliCommands(); // sorted by name
const TCliCommand *FindCliCommand(const QString &name);
// Whether the command line (without the program's name) runs a command with its
// widgets switch, before "--". Decided before any application object exists.
bool NeedsWidgets(const QStringList &args);

// The overview of every command, and one command's full help.
QString CliOverview();
QString CliCommandHelp(const TCliCommand &command);

// A wrong command line: reported with the command's usage and exit code 2.
class TUsageError : public Error {
public:
    using Error::Error;
};

// The arguments after the command name, parsed against the command's options: an
// unknown option, a missing value, a missing required option or an argument the
// command does not take is a usage error. "--" ends the options.
class TCliArgs {
public:
    // Raises TUsageError, unless -h/--help is among the options (HelpRequested()).
    TCliArgs(const TCliCommand &command, const QStringList &args);

    bool HelpRequested() const { return help_; }
    bool Declares(const char *name) const;
    bool IsSet(const char *name) const;
    // The option's value, its default when absent, or nullopt when absent without one.
    std::optional<QString> Value(const char *name) const;
    const QStringList &Positionals() const { return positionals_; }

private:
    const TCliCommand &command_;
    QCommandLineParser parser_;
    QStringList positionals_;
    bool help_ = false;
};

// --- shared options ---------------------------------------------------------------------

inline constexpr TCliOption kJsonOption{0, "json", nullptr, "Print JSON instead of a table.", nullptr, false};
inline constexpr TCliOption kLangOption{
    0, "lang", "en|ru", "The language of the texts: English or Russian.", "en", false};
inline constexpr TCliOption kHelpOption{'h', "help", nullptr, "Show this help and exit.", nullptr, false};

// A model code in decimal or 0x-hex, 0 … 0xFFFF.
std::optional<uint16_t> ParseModelCode(const QString &text);
// "--model CODE": a usage error when malformed.
uint16_t ModelOption(const TCliArgs &args);
// Raises Error for a code no model has.
void RequireKnownModel(uint16_t code);
// "--lang en|ru" (every command has it; English when absent); sets the program's
// language flag. The framework calls it before the command runs.
void LangOption(const TCliArgs &args);
// Exactly count positional arguments, or a usage error with message.
const QStringList &Files(const TCliArgs &args, int count, const QString &message);

QString HexCode(uint16_t code); // "0x4000"

// --- output ---------------------------------------------------------------------------------

QTextStream &Out();
QTextStream &Err();
void PrintJson(const QJsonValue &value);
// Columns padded to their widest cell; the last column is not padded.
void PrintTable(const QStringList &header, const QList<QStringList> &rows);
