#pragma once
// The command-line companion's small framework: a registry of commands (one file
// each), argument helpers shared by them, and output on stdout (table or JSON).
//
// Exit codes: 0 done, 1 failure (message on stderr), 2 usage error (with the usage).

#include "base/Error.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdint>
#include <optional>
#include <span>

class TCliArgs;

struct TCliCommand {
    const char *name;    // "protocols"
    const char *usage;   // the arguments after the name, e.g. "--model CODE [--lang en|ru] [--json]"
    const char *summary; // one line for the overview
    int (*run)(TCliArgs &args);
};

// Commands register themselves at start-up: static TCliRegistration r{{...}};
struct TCliRegistration {
    explicit TCliRegistration(const TCliCommand &command);
};

std::span<const TCliCommand> CliCommands(); // sorted by name
const TCliCommand *FindCliCommand(const QString &name);

// A wrong command line: reported with the command's usage and exit code 2.
class TUsageError : public Error {
public:
    using Error::Error;
};

// The arguments after the command name. Options are taken by the command; whatever
// is left when it calls Finish() is a usage error.
class TCliArgs {
public:
    explicit TCliArgs(QStringList args) : args_(std::move(args)) {}

    // "--name value" or "--name=value"; nullopt when absent.
    std::optional<QString> Value(const QString &option);
    // "--name"; false when absent.
    bool Flag(const QString &option);
    // Everything left that does not start with "--".
    QStringList TakePositionals();
    void Finish() const;

private:
    QStringList args_;
};

// --- shared options ---------------------------------------------------------------------

// A model code in decimal or 0x-hex, 0 … 0xFFFF.
std::optional<uint16_t> ParseModelCode(const QString &text);
// "--model CODE": the code, or fallback when absent and a fallback is given;
// a usage error when absent without fallback or malformed.
uint16_t ModelOption(TCliArgs &args, std::optional<uint16_t> fallback = std::nullopt);
// Raises Error for a code no model has.
void RequireKnownModel(uint16_t code);
// "--lang en|ru", English by default; sets the program's language flag.
void LangOption(TCliArgs &args);
// "--json".
bool JsonOption(TCliArgs &args);

QString HexCode(uint16_t code); // "0x4000"

// --- output ---------------------------------------------------------------------------------

QTextStream &Out();
QTextStream &Err();
void PrintJson(const QJsonValue &value);
// Columns padded to their widest cell; the last column is not padded.
void PrintTable(const QStringList &header, const QList<QStringList> &rows);
