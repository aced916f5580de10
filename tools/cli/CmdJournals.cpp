// tripconf-cli journals: a settings file's trip or refuelling journal, error list or
// averages, as the journal viewer exports its grids, as JSON or CSV with the raw
// values, or drawn as the viewer's chart into a PNG.

#include "Cli.h"

#include "base/SafeFile.h"
#include "model/JournalChartView.h"
#include "model/JournalCharts.h"
#include "model/Journals.h"
#include "model/JournalsCsv.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

namespace {

using namespace Journals;

QJsonArray Strings(const QStringList &texts) {
    return QJsonArray::fromStringList(texts);
}

// Label/value lines as objects.
QJsonArray Lines(const TTextGrid &grid) {
    QJsonArray lines;
    for (const QStringList &row : grid)
        lines.append(
            QJsonObject{{QStringLiteral("label"), row.value(0)}, {QStringLiteral("value"), row.value(1)}});
    return lines;
}

QJsonObject JournalJson(const TMK &mk, TJournal journal) {
    const TTextGrid grid = JournalGrid(mk, journal);
    QJsonArray records;
    for (int slot = 0; slot < MKLayout::JournalSlots; ++slot) {
        const TJournalRecord r = JournalRecord(mk, journal, slot);
        QJsonObject o{{QStringLiteral("slot"), slot},
                      {QStringLiteral("empty"), r.Empty()},
                      {QStringLiteral("cells"), Strings(grid.value(slot + 1))}};
        if (!r.Empty()) {
            o.insert(QStringLiteral("minuteOfDay"), r.minutes);
            o.insert(QStringLiteral("day"), r.day);
            o.insert(QStringLiteral("month"), r.month);
            o.insert(QStringLiteral("travelSeconds"), qint64(r.travelSeconds));
            o.insert(QStringLiteral("distanceMetres"), qint64(r.distance));
            o.insert(QStringLiteral("petrolMillilitres"), qint64(r.petrol));
            o.insert(QStringLiteral("gasMillilitres"), qint64(r.gas));
        }
        records.append(o);
    }
    return {{QStringLiteral("columns"), Strings(grid.value(0))}, {QStringLiteral("records"), records}};
}

QJsonObject ErrorsJson(const TMK &mk) {
    const TTextGrid grid = ErrorListGrid(mk, FaultFormatOf(mk));
    QJsonArray records;
    for (int i = 0; i < MKLayout::ErrorRecords; ++i) {
        const TErrorRecord r = ErrorRecord(mk, i);
        QJsonObject o{{QStringLiteral("index"), i},
                      {QStringLiteral("empty"), r.code == 0},
                      {QStringLiteral("cells"), Strings(grid.value(i + 1))}};
        if (r.code != 0) {
            o.insert(QStringLiteral("minuteOfDay"), r.minutes);
            o.insert(QStringLiteral("day"), r.day);
            o.insert(QStringLiteral("month"), r.month);
            o.insert(QStringLiteral("code"), qint64(r.code));
            o.insert(QStringLiteral("freezeFrame"), Lines(FreezeFrame(mk, i)));
        }
        records.append(o);
    }
    return {{QStringLiteral("columns"), Strings(grid.value(0))}, {QStringLiteral("records"), records}};
}

QJsonObject AveragesJson(const TMK &mk) {
    // Names that stay the same in both languages, in the accumulators' order.
    static const char *const names[AccumulatorCount] = {"General", "Trip",   "Reset1",     "Jam",
                                                        "NoJam",   "Reset2", "PetrolOnly", "GasOnly"};
    QJsonArray accumulators;
    for (int i = 0; i < AccumulatorCount; ++i) {
        const auto which = TAccumulator(i);
        const TTotals t = Totals(mk, which);
        accumulators.append(QJsonObject{{QStringLiteral("name"), QLatin1String(names[i])},
                                        {QStringLiteral("caption"), AccumulatorCaption(which)},
                                        {QStringLiteral("timeSeconds"), qint64(t.time)},
                                        {QStringLiteral("distanceMetres"), qint64(t.distance)},
                                        {QStringLiteral("fuelMillilitres"), qint64(t.fuel)},
                                        {QStringLiteral("startKm"), t.startKm},
                                        {QStringLiteral("lines"), Lines(AveragesGrid(t))}});
    }
    return {{QStringLiteral("accumulators"), accumulators}};
}

// The size of a chart for a report; the viewer's is what its window leaves.
constexpr QSize kChartSize(1200, 600);

int DrawChart(const QString &file, TReport report, const QString &out) {
    if (report != TReport::Trip && report != TReport::Tank)
        throw TUsageError(QStringLiteral("--chart draws the trip or tank journal"));
    SafeFile::CheckTarget(out);
    TMK mk;
    SettingsFile::Load(mk, file);
    mk.LoadAllSections();
    const JournalCharts::TChart chart =
        JournalCharts::Build(mk, report == TReport::Trip ? TJournal::Trip : TJournal::Tank);
    SafeFile::Write(out, PngBytes(RenderJournalChart(chart, kChartSize)));
    return 0;
}

int RunJournals(TCliArgs &args) {
    const QString which = args.Value("which").value_or(QString());
    const QString file = Files(args, 1, QStringLiteral("one settings file expected")).constFirst();
    TReport report{};
    if (!ReportByName(which, &report))
        throw TUsageError(QStringLiteral("--which is trip, tank, errors or averages"));
    const int outputs = int(args.IsSet("json")) + int(args.IsSet("csv")) + int(args.IsSet("chart"));
    if (outputs > 1) throw TUsageError(QStringLiteral("--json, --csv and --chart exclude each other"));
    const std::optional<QString> out = args.Value("output");
    if (args.IsSet("chart")) {
        if (!out || out->isEmpty()) throw TUsageError(QStringLiteral("--chart needs -o OUT.png"));
        return DrawChart(file, report, *out);
    }
    if (out) throw TUsageError(QStringLiteral("-o is for --chart; the other outputs go to stdout"));

    if (args.IsSet("csv")) {
        const QByteArray csv = FileCsv(file, report);
        Out().flush();
        std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
        std::fflush(stdout);
        return 0;
    }
    if (!args.IsSet("json")) {
        Out() << FileReport(file, report);
        Out().flush();
        return 0;
    }
    // Read and loaded as the main window does.
    TMK mk;
    SettingsFile::Load(mk, file);
    mk.LoadAllSections();
    QJsonObject o = report == TReport::Trip     ? JournalJson(mk, TJournal::Trip)
                    : report == TReport::Tank   ? JournalJson(mk, TJournal::Tank)
                    : report == TReport::Errors ? ErrorsJson(mk)
                                                : AveragesJson(mk);
    o.insert(QStringLiteral("which"), which);
    PrintJson(o);
    return 0;
}

const TCliRegistration registration{
    {"journals",
     "--which trip|tank|errors|averages [OPTIONS] FILE",
     "a settings file's journal, error list or averages",
     "Prints a journal of a settings file as the journal viewer saves it: tab-separated cells, CR LF line "
     "ends, numbers with the system's decimal separator. trip and tank are the trip and refuelling journals "
     "(21 slots, the last first), errors the error list, averages the eight accumulators each after its "
     "caption.\n\n"
     "With --json: an object with which and, for trip and tank, columns and records [{slot, empty, cells, "
     "minuteOfDay, day, month, travelSeconds, distanceMetres, petrolMillilitres, gasMillilitres}]; for "
     "errors, columns and records [{index, empty, cells, minuteOfDay, day, month, code, freezeFrame [{label, "
     "value}]}]; for averages, accumulators [{name, caption, timeSeconds, distanceMetres, fuelMillilitres, "
     "startKm, lines [{label, value}]}]. Empty records carry only their number, empty and cells.\n\n"
     "With --csv: comma-separated values (RFC 4180: fields with a comma, a quote or a line end in double "
     "quotes, CR LF line ends) in UTF-8 with a byte order mark, so that spreadsheets open it directly. A "
     "header row in the --lang language, then one row per record (slot, error record or accumulator): its "
     "raw values first (minutes since midnight, day, month, seconds, metres, millilitres, codes), then the "
     "cells the viewer shows. Empty records leave their raw values empty.\n\n"
     "With --chart (trip or tank only): the chart of the viewer's Charts page as a 1200 × 600 PNG, drawn "
     "offscreen: per trip petrol (and gas) per 100 km as bars and the distance as a line, per refuelling "
     "the litres of each fuel and the distance since the previous refuelling; the oldest slot on the left, "
     "\"Last\" on the right, empty slots left out and named in the title.",
     {{0, "which", "trip|tank|errors|averages", "Which journal to print.", nullptr, true},
      kLangOption,
      kJsonOption,
      {0, "csv", nullptr, "Print comma-separated values for a spreadsheet instead of the viewer's text.",
       nullptr, false},
      {0, "chart", nullptr, "Draw the trip or tank journal as a chart into the PNG file -o names.", nullptr,
       false},
      {'o', "output", "OUT.png", "The PNG file --chart writes.", nullptr, false}},
     {{"FILE", "The settings file (.vorng)."}},
     RunJournals,
     nullptr,
     nullptr,
     "chart"}};

} // namespace
