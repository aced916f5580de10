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

} // namespace

TCliRegistration::TCliRegistration(const TCliCommand &command) {
    auto &all = Registry();
    all.push_back(command);
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

// --- arguments -----------------------------------------------------------------------------

std::optional<QString> TCliArgs::Value(const QString &option) {
    for (qsizetype i = 0; i < args_.size(); ++i) {
        const QString &a = args_[i];
        if (a == option) {
            if (i + 1 >= args_.size() || args_[i + 1].startsWith(QLatin1String("--")))
                throw TUsageError(QStringLiteral("%1 needs a value").arg(option));
            const QString value = args_[i + 1];
            args_.remove(i, 2);
            return value;
        }
        if (a.startsWith(option + QLatin1Char('='))) {
            const QString value = a.mid(option.size() + 1);
            args_.remove(i);
            return value;
        }
    }
    return std::nullopt;
}

bool TCliArgs::Flag(const QString &option) {
    const qsizetype i = args_.indexOf(option);
    if (i < 0) return false;
    args_.remove(i);
    return true;
}

QStringList TCliArgs::TakePositionals() {
    QStringList positionals;
    for (qsizetype i = 0; i < args_.size();) {
        if (args_[i].startsWith(QLatin1String("--"))) {
            ++i;
        } else {
            positionals << args_[i];
            args_.remove(i);
        }
    }
    return positionals;
}

void TCliArgs::Finish() const {
    if (args_.isEmpty()) return;
    const QString &first = args_.first();
    throw TUsageError(first.startsWith(QLatin1String("--"))
                          ? QStringLiteral("unknown option %1").arg(first)
                          : QStringLiteral("unexpected argument %1").arg(first));
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

uint16_t ModelOption(TCliArgs &args, std::optional<uint16_t> fallback) {
    const std::optional<QString> text = args.Value(QStringLiteral("--model"));
    if (!text) {
        if (fallback) return *fallback;
        throw TUsageError(QStringLiteral("--model CODE is required"));
    }
    const std::optional<uint16_t> code = ParseModelCode(*text);
    if (!code)
        throw TUsageError(QStringLiteral("bad model code \"%1\" (decimal or 0x-hex, 0 … 0xFFFF)").arg(*text));
    return *code;
}

void RequireKnownModel(uint16_t code) {
    if (!FindDeviceModel(code))
        throw Error(QStringLiteral("unknown device model code %1 (tripconf-cli models lists the known ones)")
                        .arg(HexCode(code)));
}

void LangOption(TCliArgs &args) {
    const QString lang = args.Value(QStringLiteral("--lang")).value_or(QStringLiteral("en"));
    if (lang != QLatin1String("en") && lang != QLatin1String("ru"))
        throw TUsageError(QStringLiteral("--lang is en or ru, not \"%1\"").arg(lang));
    Lang::SetEnglish(lang == QLatin1String("en"));
}

bool JsonOption(TCliArgs &args) {
    return args.Flag(QStringLiteral("--json"));
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
