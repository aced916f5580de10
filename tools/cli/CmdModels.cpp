// tripconf-cli models: the known device models with their capability flags.

#include "Cli.h"

#include "catalogue/ProtsH.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QStringList FlagNames(const TCapSet &set) {
    QStringList names;
    for (int c = 0; c < Cap::Count; ++c)
        if (set.Has(Cap::TCap(c))) names << QString::fromLatin1(CapName(Cap::TCap(c)));
    return names;
}

int RunModels(TCliArgs &args) {
    const bool json = args.IsSet("json");
    if (json) {
        QJsonArray out;
        for (const TDeviceModel &m : DeviceModels())
            out.append(
                QJsonObject{{QStringLiteral("code"), m.Code},
                            {QStringLiteral("name"), QString::fromUtf8(m.Name)},
                            {QStringLiteral("flags"), QJsonArray::fromStringList(FlagNames(m.All()))}});
        PrintJson(out);
        return 0;
    }
    QList<QStringList> rows;
    for (const TDeviceModel &m : DeviceModels())
        rows << QStringList{HexCode(m.Code), QString::fromUtf8(m.Name),
                            FlagNames(m.All()).join(QLatin1Char(' '))};
    PrintTable({QStringLiteral("CODE"), QStringLiteral("NAME"), QStringLiteral("FLAGS")}, rows);
    return 0;
}

const TCliRegistration registration{
    {"models",
     "[--lang en|ru] [--json]",
     "the known device models and the capability flags each sets",
     "Lists every device model the program knows: its model code (the 16-bit code the device reports and a "
     "settings file stores first), its name and the capability flags the model sets.",
     {kJsonOption},
     {},
     RunModels}};

} // namespace
