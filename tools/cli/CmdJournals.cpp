// tripconf-cli journals: a settings file's trip or refuelling journal, error list or
// averages, as the journal viewer exports its grids.

#include "Cli.h"

#include "model/Journals.h"

namespace {

int RunJournals(TCliArgs &args) {
    const std::optional<QString> which = args.Value(QStringLiteral("--which"));
    LangOption(args);
    const QStringList files = args.TakePositionals();
    args.Finish();
    if (files.size() != 1) throw TUsageError(QStringLiteral("one settings file expected"));
    if (!which) throw TUsageError(QStringLiteral("--which is required"));
    Journals::TReport report{};
    if (!Journals::ReportByName(*which, &report))
        throw TUsageError(QStringLiteral("--which is trip, tank, errors or averages"));

    Out() << Journals::FileReport(files.constFirst(), report);
    Out().flush();
    return 0;
}

const TCliRegistration registration{
    {"journals", "FILE --which trip|tank|errors|averages [--lang en|ru]",
     "a settings file's journal, error list or averages as the journal viewer saves them (tab-separated)",
     RunJournals}};

} // namespace
