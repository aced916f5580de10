// tripconf-cli protocols: the protocol list a model offers, in protocol-number order.

#include "Cli.h"

#include "catalogue/ProtsH.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonArray Codes(std::span<const uint8_t> codes) {
    QJsonArray out;
    for (uint8_t c : codes)
        out.append(int(c));
    return out;
}

QString CodeText(std::span<const uint8_t> codes) {
    QStringList out;
    for (uint8_t c : codes)
        out << QString::number(c);
    return out.join(QLatin1Char(' '));
}

struct TEntryFlag {
    const char *name;
    bool TProtBase::*member;
};

constexpr TEntryFlag kEntryFlags[] = {
    {"HasCoolantTemp", &TProtBase::HasCoolantTemp},       {"HasFaults", &TProtBase::HasFaults},
    {"HasAtOilTemp", &TProtBase::HasAtOilTemp},           {"HasEngineOilTemp", &TProtBase::HasEngineOilTemp},
    {"HasFanControl", &TProtBase::HasFanControl},         {"HasLightsInfo", &TProtBase::HasLightsInfo},
    {"HasBatteryVoltage", &TProtBase::HasBatteryVoltage}, {"IsHybrid", &TProtBase::IsHybrid},
    {"HasAddCooling", &TProtBase::HasAddCooling},         {"HasTrimInfo", &TProtBase::HasTrimInfo},
    {"HasAirTempChoice", &TProtBase::HasAirTempChoice},
};

QJsonObject EntryJson(int number, const TProtBase &e) {
    QJsonArray options;
    for (int k = 0; k < OptSlotCount; ++k) {
        if (!e.OptUsed(k)) continue;
        options.append(QJsonObject{{QStringLiteral("slot"), QString::fromLatin1(OptSlotName(k))},
                                   {QStringLiteral("caption"), e.OptCaption[size_t(k)]},
                                   {QStringLiteral("count"), e.OptCount[size_t(k)]},
                                   {QStringLiteral("values"), QJsonArray::fromStringList(e.OptShown(k))}});
    }
    QJsonObject flags;
    for (const TEntryFlag &f : kEntryFlags)
        flags.insert(QString::fromLatin1(f.name), e.*f.member);
    flags.insert(QStringLiteral("EcuTankSensors"), e.EcuTankSensors);
    return QJsonObject{{QStringLiteral("number"), number},
                       {QStringLiteral("name"), e.Name},
                       {QStringLiteral("kind"), int(e.Kind)},
                       {QStringLiteral("faultFormat"), e.FaultFormat},
                       {QStringLiteral("dispParams"), Codes(e.DispList())},
                       {QStringLiteral("units"), Codes(e.UnitList())},
                       {QStringLiteral("options"), options},
                       {QStringLiteral("flags"), flags}};
}

void PrintEntry(int number, const TProtBase &e) {
    QTextStream &out = Out();
    out << QString::number(number).rightJustified(3) << "  " << e.Name << "  (kind " << e.Kind << ", faults "
        << (e.FaultFormat == TProtBase::FaultFormatNone ? QStringLiteral("none")
                                                        : QString::number(e.FaultFormat))
        << ")\n";
    out << "     display: " << CodeText(e.DispList()) << '\n';
    if (e.UnitCount > 0) out << "     units:   " << CodeText(e.UnitList()) << '\n';
    for (int k = 0; k < OptSlotCount; ++k)
        if (e.OptUsed(k))
            out << "     " << OptSlotName(k) << " \"" << e.OptCaption[size_t(k)]
                << "\": " << e.OptShown(k).join(QLatin1String(" | ")) << '\n';
    QStringList flags;
    for (const TEntryFlag &f : kEntryFlags)
        if (e.*f.member) flags << QString::fromLatin1(f.name);
    if (e.EcuTankSensors > 0) flags << QStringLiteral("EcuTankSensors=%1").arg(e.EcuTankSensors);
    out << "     flags:   " << flags.join(QLatin1Char(' ')) << '\n';
}

int RunProtocols(TCliArgs &args) {
    const uint16_t model = ModelOption(args);
    const bool json = args.IsSet("json");
    RequireKnownModel(model);

    TProtCatalogue &prots = Prots();
    prots.BuildProtocolList(model, 0, 0);
    if (json) {
        QJsonArray out;
        for (int i = 0; i < prots.Count(); ++i)
            out.append(EntryJson(i, prots.At(i)));
        PrintJson(out);
        return 0;
    }
    Out() << HexCode(model) << ' ' << prots.DeviceModelName << ": " << prots.Count() << " protocols\n";
    for (int i = 0; i < prots.Count(); ++i)
        PrintEntry(i, prots.At(i));
    Out().flush();
    return 0;
}

const TCliRegistration registration{
    {"protocols",
     "--model CODE [OPTIONS]",
     "the protocols a model offers, numbered as the settings store them",
     "Lists the engine-control-unit protocols the model offers, in protocol-number order (the number the "
     "settings store): name, kind, fault-code format, the parameters it can display, its units, its options "
     "with their values, and its flags.",
     {{0, "model", "CODE",
       "The device model: a model code in decimal or 0x-hex (tripconf-cli models lists them).", nullptr,
       true},
      kLangOption,
      kJsonOption},
     {},
     RunProtocols}};

} // namespace
