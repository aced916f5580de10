// tripconf-cli menu: the device menu items for a model, with the device's numbers.

#include "Cli.h"

#include "catalogue/ProtsH.h"
#include "model/MenuItemsH.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

int RunMenu(TCliArgs &args) {
    const uint16_t model = ModelOption(args);
    const bool json = args.IsSet("json");
    RequireKnownModel(model);

    Prots().BuildProtocolList(model, 0, 0);
    const TMKMenuItemList items = MakeMenuItems(Prots().Caps);
    if (json) {
        QJsonArray out;
        for (const auto &item : items)
            out.append(QJsonObject{{QStringLiteral("number"), int(item->Number)},
                                   {QStringLiteral("name"), item->Name},
                                   {QStringLiteral("caption"), item->Caption},
                                   {QStringLiteral("group"), int(item->Group)}});
        PrintJson(out);
        return 0;
    }
    QList<QStringList> rows;
    for (const auto &item : items)
        rows << QStringList{QString::number(item->Number), item->Name, QString::number(item->Group),
                            QLatin1Char('"') + item->Caption + QLatin1Char('"')};
    PrintTable({QStringLiteral("NUMBER"), QStringLiteral("NAME"), QStringLiteral("GROUP"),
                QStringLiteral("CAPTION")},
               rows);
    return 0;
}

const TCliRegistration registration{
    {"menu",
     "[OPTIONS]",
     "the device menu items of a model with the numbers the hot menus store",
     "Lists the device menu items the model has, with the number a hot menu stores for each, its name, its "
     "group and its caption.",
     {{0, "model", "CODE", "The device model: a model code in decimal or 0x-hex.", "0x4000", false},
      kLangOption,
      kJsonOption},
     {},
     RunMenu}};

} // namespace
