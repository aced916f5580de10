// tripconf-cli params: the measured parameters for a model, in set order.

#include "Cli.h"

#include "catalogue/MeasParsH.h"
#include "catalogue/ProtsH.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

int RunParams(TCliArgs &args) {
    const uint16_t model = ModelOption(args);
    const bool json = args.IsSet("json");
    RequireKnownModel(model);

    // The set follows the catalogue's flags, as when the editor opens.
    Prots().BuildProtocolList(model, 0, 0);
    const TMeasParList set = BuildMeasParSet(Prots().Caps);
    for (const auto &p : set)
        p->PrepareData();

    if (json) {
        QJsonArray out;
        for (const auto &p : set)
            out.append(QJsonObject{{QStringLiteral("code"), int(p->Code)},
                                   {QStringLiteral("class"), p->ClassName},
                                   {QStringLiteral("name"), p->Name},
                                   {QStringLiteral("title"), p->Title},
                                   {QStringLiteral("sampleText"), p->SampleText},
                                   {QStringLiteral("labelX4"), p->LabelX4},
                                   {QStringLiteral("unitX4"), p->UnitX4},
                                   {QStringLiteral("labelX9"), p->LabelX9},
                                   {QStringLiteral("unitX9"), p->UnitX9},
                                   {QStringLiteral("listLabel"), p->ListLabel},
                                   {QStringLiteral("min"), p->Min},
                                   {QStringLiteral("max"), p->Max},
                                   {QStringLiteral("decimals"), p->Decimals},
                                   {QStringLiteral("width"), p->Width},
                                   {QStringLiteral("hasBar"), p->HasBar},
                                   {QStringLiteral("minText"), p->MinText},
                                   {QStringLiteral("maxText"), p->MaxText}});
        PrintJson(out);
        return 0;
    }
    QList<QStringList> rows;
    for (const auto &p : set)
        rows << QStringList{QString::number(p->Code),
                            p->ClassName,
                            p->Name,
                            QLatin1Char('"') + p->SampleText + QLatin1Char('"'),
                            p->HasBar ? p->MinText + QStringLiteral(" … ") + p->MaxText : QStringLiteral("-"),
                            p->UnitX4};
    PrintTable({QStringLiteral("CODE"), QStringLiteral("CLASS"), QStringLiteral("NAME"),
                QStringLiteral("SAMPLE"), QStringLiteral("BAR"), QStringLiteral("UNIT")},
               rows);
    return 0;
}

const TCliRegistration registration{
    {"params",
     "[OPTIONS]",
     "the measured parameters a model can display",
     "Lists the measured parameters the model's display can show, in the order of the set: code, class, "
     "name, "
     "sample text, bar range and unit (with --json every text and limit).",
     {{0, "model", "CODE", "The device model: a model code in decimal or 0x-hex.", "0x4000", false},
      kLangOption,
      kJsonOption},
     {},
     RunParams}};

} // namespace
