#include "Cli.h"

#include "base/Lang.h"
#include "catalogue/ProtsH.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::vector<TCliCommand> &Registry() {
    static std::vector<TCliCommand> commands;
    return commands;
}

QString Dashed(const QString &name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString Dashed(const TCliOption &o) {
    const QString name = Dashed(QLatin1String(o.name));
    return o.shortName ? QStringLiteral("-%1/%2").arg(QLatin1Char(o.shortName)).arg(name) : name;
}

QStringList Names(const TCliOption &o) {
    QStringList names;
    if (o.shortName) names << QString(QLatin1Char(o.shortName));
    names << QLatin1String(o.name);
    return names;
}

// --- help text ----------------------------------------------------------------------------------

constexpr int kWidth = 80;
constexpr int kColumn = 28; // where option and argument descriptions start

// Words of text filled into lines of at most kWidth columns, every line after the
// first indented by indent (the first is indented by the caller).
QString Fill(const QString &text, int indent, int firstColumn) {
    QString out;
    int column = firstColumn;
    bool lineStart = true;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lineStart && column + 1 + word.size() > kWidth) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += int(word.size());
        lineStart = false;
    }
    return out;
}

// "  -o, --output FILE" then the description in the column, or on the next line
// when the option is too wide.
QString Entry(const QString &head, const QString &description, int column = kColumn) {
    QString out = head;
    if (head.size() + 2 > column)
        out += QLatin1Char('\n') + QString(column, QLatin1Char(' '));
    else
        out += QString(column - head.size(), QLatin1Char(' '));
    return out + Fill(description, column, column) + QLatin1Char('\n');
}

QString OptionEntry(const TCliOption &o) {
    QString head =
        o.shortName ? QStringLiteral("  -%1, ").arg(QLatin1Char(o.shortName)) : QStringLiteral("      ");
    head += QStringLiteral("--") + QLatin1String(o.name);
    if (o.valueName) head += QLatin1Char(' ') + QLatin1String(o.valueName);
    QString description = QString::fromUtf8(o.description);
    if (o.required) description += QStringLiteral(" Required.");
    if (o.defaultValue) description += QStringLiteral(" Default: %1.").arg(QLatin1String(o.defaultValue));
    return Entry(head, description);
}

QString Paragraphs(const QString &text, int indent) {
    QString out;
    for (const QString &paragraph : text.split(QStringLiteral("\n\n"))) {
        if (!out.isEmpty()) out += QLatin1Char('\n');
        // Lines starting with a space are kept as they are (tables, examples).
        QString block;
        for (const QString &line : paragraph.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char(' '))) {
                block += QString(indent, QLatin1Char(' ')) + line + QLatin1Char('\n');
            } else {
                block += QString(indent, QLatin1Char(' ')) + Fill(line, indent, indent) + QLatin1Char('\n');
            }
        }
        out += block;
    }
    return out;
}

const char kPorts[] =
    "PORT is a port number 1 … 32 as tripconf shows it (\"COM9\" or 9), or a device path. "
#if defined(Q_OS_WIN)
    "Port n is COMn.\n"
#else
    "The numbers follow a fixed rule, so that a number always means the same kind of device:\n"
    "   COM1  … COM8    /dev/ttyS0   … /dev/ttyS7     built-in ports\n"
    "   COM9  … COM20   /dev/ttyUSB0 … /dev/ttyUSB11  USB-serial adapters\n"
    "   COM21 … COM32   /dev/ttyACM0 … /dev/ttyACM11  CDC-ACM devices\n"
#endif
    "\n"
    "TRIPCONF_PORTS=\"1=/dev/pts/4;2=/dev/ttyUSB0\" replaces the rule: only the ports it names exist.";

const char kExitStatus[] = "0 done, 1 failure (the message is on stderr), 2 a wrong command line.";

} // namespace

TCliRegistration::TCliRegistration(const TCliCommand &command) {
    auto &all = Registry();
    all.push_back(command);
    // Every command speaks both languages, English unless told otherwise.
    auto &options = all.back().options;
    if (std::none_of(options.begin(), options.end(), [](const TCliOption &o) { return qstrcmp(o.name, "lang") == 0; }))
        options.push_back(kLangOption);
    options.push_back(kHelpOption);
    std::sort(all.begin(), all.end(),
              [](const TCliCommand &a, const TCliCommand &b) { return qstrcmp(a.name, b.name) < 0; });
}

std::span<const TCliCommand> CliCommands() {
    return Registry();
}

const TCliCommand *FindCliCommand(const QString &name) {
    for (const TCliCommand &c : Registry())
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

bool NeedsWidgets(const QStringList &args) {
    // The program's own options come first, as Run takes them.
    qsizetype i = 0;
    while (i < args.size() && args[i].startsWith(QLatin1Char('-')) && args[i] != QLatin1String("-")) {
        if (args[i] == QLatin1String("--")) {
            ++i;
            break;
        }
        ++i;
    }
    if (i >= args.size()) return false;
    const TCliCommand *command = FindCliCommand(args[i]);
    if (!command || !command->widgetsSwitch) return false;
    const QString wanted = QStringLiteral("--") + QLatin1String(command->widgetsSwitch);
    for (++i; i < args.size() && args[i] != QLatin1String("--"); ++i)
        if (args[i] == wanted) return true;
    return false;
}

QString CliOverview() {
    QString out = QStringLiteral("usage: tripconf-cli COMMAND [OPTIONS] [ARGUMENTS]\n"
                                 "       tripconf-cli help [COMMAND]\n"
                                 "       tripconf-cli --version\n\n");
    out += Paragraphs(QStringLiteral("The command-line companion of tripconf: catalogue look-ups, settings "
                                     "files, and reading and writing the trip computer over a serial port."),
                      0);
    out += QStringLiteral("\nCommands:\n");
    constexpr int column = 17;
    for (const TCliCommand &c : CliCommands())
        out += Entry(QStringLiteral("  ") + QLatin1String(c.name), QString::fromUtf8(c.summary), column);
    out += QStringLiteral("\nOptions:\n") +
           Entry(QStringLiteral("  -h, --help"), QStringLiteral("Show this help and exit."), column) +
           Entry(QStringLiteral("      --version"), QStringLiteral("Show the version and exit."), column) +
           QLatin1Char('\n') +
           Paragraphs(QStringLiteral("'tripconf-cli help COMMAND' shows a command's options and arguments."),
                      0) +
           QStringLiteral("\nExit status:\n") + Paragraphs(QString::fromUtf8(kExitStatus), 2);
    return out;
}

QString CliCommandHelp(const TCliCommand &c) {
    QString out = QStringLiteral("usage: tripconf-cli %1 %2\n\n")
                      .arg(QLatin1String(c.name), QString::fromUtf8(c.synopsis));
    out += Paragraphs(QString::fromUtf8(c.help), 0);
    if (!c.arguments.empty()) {
        out += QStringLiteral("\nArguments:\n");
        for (const TCliArgument &a : c.arguments)
            out += Entry(QStringLiteral("  ") + QLatin1String(a.name), QString::fromUtf8(a.description));
    }
    out += QStringLiteral("\nOptions:\n");
    for (const TCliOption &o : c.options)
        out += OptionEntry(o);
    const bool port = std::any_of(c.options.begin(), c.options.end(),
                                  [](const TCliOption &o) { return qstrcmp(o.name, "port") == 0; });
    if (port) out += QStringLiteral("\nPorts:\n") + Paragraphs(QString::fromUtf8(kPorts), 2);
    if (c.notes) {
        // A heading line, then its text.
        const QString notes = QString::fromUtf8(c.notes);
        const qsizetype end = notes.indexOf(QLatin1Char('\n'));
        out += QLatin1Char('\n') + notes.left(end) + QLatin1Char('\n') + Paragraphs(notes.mid(end + 1), 2);
    }
    out += QStringLiteral("\nExit status:\n") +
           Paragraphs(QString::fromUtf8(c.exitStatus ? c.exitStatus : kExitStatus), 2);
    return out;
}

// --- arguments -----------------------------------------------------------------------------

TCliArgs::TCliArgs(const TCliCommand &command, const QStringList &args) : command_(command) {
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    for (const TCliOption &o : command.options) {
        QCommandLineOption option(Names(o));
        if (o.valueName) option.setValueName(QLatin1String(o.valueName));
        if (o.defaultValue) option.setDefaultValue(QLatin1String(o.defaultValue));
        parser_.addOption(option);
    }
    const bool parsed = parser_.parse(QStringList{QStringLiteral("tripconf-cli")} + args);
    // Asked for help, the rest of the line does not matter.
    help_ = parser_.isSet(QStringLiteral("help"));
    if (help_) return;
    if (!parsed) {
        const QStringList unknown = parser_.unknownOptionNames();
        if (!unknown.isEmpty())
            throw TUsageError(QStringLiteral("unknown option %1").arg(Dashed(unknown.first())));
        // Qt's message names the case; a value option at the end of the line is the usual one.
        const QString last = args.isEmpty() ? QString() : args.last();
        for (const TCliOption &o : command.options)
            if (o.valueName && (last == QStringLiteral("--") + QLatin1String(o.name) ||
                                (o.shortName && last == QStringLiteral("-") + QLatin1Char(o.shortName))))
                throw TUsageError(QStringLiteral("%1 needs a value").arg(last));
        throw TUsageError(parser_.errorText());
    }
    positionals_ = parser_.positionalArguments();
    for (const TCliOption &o : command.options) {
        if (!o.required) continue;
        if (!parser_.isSet(QLatin1String(o.name)))
            throw TUsageError(QStringLiteral("%1 is required").arg(Dashed(o)));
        if (parser_.value(QLatin1String(o.name)).isEmpty())
            throw TUsageError(QStringLiteral("%1 needs a value").arg(Dashed(o)));
    }
    if (command.arguments.empty() && !positionals_.isEmpty())
        throw TUsageError(QStringLiteral("unexpected argument %1").arg(positionals_.first()));
}

bool TCliArgs::Declares(const char *name) const {
    return std::any_of(command_.options.begin(), command_.options.end(),
                       [name](const TCliOption &o) { return qstrcmp(o.name, name) == 0; });
}

bool TCliArgs::IsSet(const char *name) const {
    return Declares(name) && parser_.isSet(QLatin1String(name));
}

std::optional<QString> TCliArgs::Value(const char *name) const {
    if (!Declares(name)) return std::nullopt;
    const QStringList values = parser_.values(QLatin1String(name)); // the default when absent
    if (values.isEmpty()) return std::nullopt;
    return values.last();
}

const QStringList &Files(const TCliArgs &args, int count, const QString &message) {
    if (args.Positionals().size() != count) throw TUsageError(message);
    return args.Positionals();
}

std::optional<uint16_t> ParseModelCode(const QString &text) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? text.mid(2) : text;
    // Strict: no sign, no spaces, at most five digits before the range check.
    if (digits.isEmpty() || digits.size() > 5) return std::nullopt;
    for (QChar c : digits)
        if (!((c >= u'0' && c <= u'9') || (hex && QStringLiteral("abcdefABCDEF").contains(c))))
            return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || value > 0xFFFF) return std::nullopt;
    return uint16_t(value);
}

uint16_t ModelOption(const TCliArgs &args) {
    const QString text = args.Value("model").value_or(QString());
    const std::optional<uint16_t> code = ParseModelCode(text);
    if (!code)
        throw TUsageError(QStringLiteral("bad model code \"%1\" (decimal or 0x-hex, 0 … 0xFFFF)").arg(text));
    return *code;
}

void RequireKnownModel(uint16_t code) {
    if (!FindDeviceModel(code))
        throw Error(QStringLiteral("unknown device model code %1 (tripconf-cli models lists the known ones)")
                        .arg(HexCode(code)));
}

void LangOption(const TCliArgs &args) {
    const QString lang = args.Value("lang").value_or(QStringLiteral("en"));
    if (lang != QLatin1String("en") && lang != QLatin1String("ru"))
        throw TUsageError(QStringLiteral("--lang is en or ru, not \"%1\"").arg(lang));
    Lang::SetEnglish(lang == QLatin1String("en"));
}

QString HexCode(uint16_t code) {
    return QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// --- output --------------------------------------------------------------------------------

QTextStream &Out() {
    static QTextStream out(stdout);
    return out;
}

QTextStream &Err() {
    static QTextStream err(stderr);
    return err;
}

void PrintJson(const QJsonValue &value) {
    const QJsonDocument doc =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    Out() << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
    Out().flush();
}

void PrintTable(const QStringList &header, const QList<QStringList> &rows) {
    QList<qsizetype> widths(header.size(), 0);
    auto measure = [&](const QStringList &row) {
        for (qsizetype c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    };
    measure(header);
    for (const QStringList &row : rows)
        measure(row);
    auto print = [&](const QStringList &row) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0) line += QLatin1String("  ");
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c]) : row[c];
        }
        Out() << line << '\n';
    };
    print(header);
    for (const QStringList &row : rows)
        print(row);
    Out().flush();
}
