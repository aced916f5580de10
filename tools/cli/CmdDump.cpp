// tripconf-cli dump: what a settings file holds: model, header, section table and
// every named working field of the eleven sections.

#include "Cli.h"

#include "base/Bytes.h"
#include "catalogue/ProtsH.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <charconv>

namespace {

struct TSectionRow {
    int k, address, length;
};

// The table as the image holds it (it may name more sections than the eleven known).
QList<TSectionRow> SectionTable(const TMK &mk) {
    QList<TSectionRow> rows;
    const QByteArray &image = mk.Image.Bytes();
    const auto *p = reinterpret_cast<const uint8_t *>(image.constData());
    const int n = image.isEmpty() ? 0 : p[0];
    for (int k = 1; k <= n && 4 * k + 4 <= image.size(); ++k)
        rows << TSectionRow{k, LE::Get<uint16_t>(p + 4 * k), LE::Get<uint16_t>(p + 4 * k + 2)};
    return rows;
}

// The shortest decimal that reads back as the same float.
double Decimal(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QByteArray(text, int(end - text)).toDouble();
}

QJsonValue FieldValue(const TMK &mk, const TFieldDesc &f) {
    if (QLatin1String(f.name) == QLatin1String("ServiceNames")) {
        QJsonArray names;
        for (int i = 0; i < MKLayout::ServiceNames; ++i)
            names.append(mk.ServiceName(i));
        return names;
    }
    const auto working = mk.Working();
    if (f.type == TFieldType::Bytes) {
        QJsonArray bytes;
        const uint8_t *p = working.data() + MKLayout::WorkingOffset(f);
        for (int i = 0; i < f.count; ++i)
            bytes.append(p[i]);
        return bytes;
    }
    auto element = [&](int i) -> QJsonValue {
        if (f.type == TFieldType::F32)
            return Decimal(LE::GetFloat(working.data() + MKLayout::WorkingOffset(f) + 4 * i));
        return qint64(TMK::Get(f, working, i));
    };
    if (f.count == 1) return element(0);
    QJsonArray values;
    for (int i = 0; i < f.count; ++i)
        values.append(element(i));
    return values;
}

QString Text(const QJsonValue &v) {
    if (v.isString()) return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    if (v.isArray()) {
        QStringList parts;
        for (const QJsonValue &e : v.toArray())
            parts << Text(e);
        return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    return v.isDouble() ? QString::number(v.toDouble(), 'g', 9) : v.toVariant().toString();
}

QString BytesText(const TMK &mk, const TFieldDesc &f) {
    const uint8_t *p = mk.Working().data() + MKLayout::WorkingOffset(f);
    return QStringLiteral("%1 bytes: ").arg(f.count) +
           QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(p), f.count).toHex(' '));
}

int RunDump(TCliArgs &args) {
    const bool json = args.IsSet("json");
    const QString file = Files(args, 1, QStringLiteral("one settings file expected")).constFirst();

    TMK mk;
    SettingsFile::Load(mk, file);
    mk.LoadAllSections();
    const TDeviceModel *model = FindDeviceModel(mk.ModelCode);
    const QString modelName = model ? QString::fromUtf8(model->Name) : QString();
    const QList<TSectionRow> table = SectionTable(mk);

    if (json) {
        QJsonArray sectionTable;
        for (const TSectionRow &r : table)
            sectionTable.append(QJsonObject{{QStringLiteral("section"), r.k},
                                            {QStringLiteral("address"), r.address},
                                            {QStringLiteral("length"), r.length}});
        // The fields of each section together, as the table groups them.
        QJsonArray sections;
        for (int k = 1; k <= MKLayout::SectionCount; ++k) {
            QJsonObject fields;
            for (const TFieldDesc &f : MKLayout::Fields())
                if (f.section == k) fields.insert(QLatin1String(f.name), FieldValue(mk, f));
            sections.append(QJsonObject{{QStringLiteral("section"), k}, {QStringLiteral("fields"), fields}});
        }
        PrintJson(QJsonObject{
            {QStringLiteral("modelCode"), mk.ModelCode},
            {QStringLiteral("modelName"), model ? QJsonValue(modelName) : QJsonValue()},
            {QStringLiteral("imageSize"), mk.Image.Size()},
            {QStringLiteral("header"), QJsonObject{{QStringLiteral("sectionCount"), mk.Header.sectionCount},
                                                   {QStringLiteral("variant"), mk.Header.variant}}},
            {QStringLiteral("sectionTable"), sectionTable},
            {QStringLiteral("sections"), sections}});
        return 0;
    }

    Out() << "model code    " << HexCode(mk.ModelCode)
          << (model ? QStringLiteral("  ") + modelName : QString()) << '\n'
          << "image size    " << mk.Image.Size() << " bytes\n"
          << "sections      " << mk.Header.sectionCount << ", header variant " << mk.Header.variant << "\n\n";
    QList<QStringList> rows;
    for (const TSectionRow &r : table)
        rows << QStringList{QString::number(r.k), QString::number(r.address), QString::number(r.length)};
    PrintTable({QStringLiteral("SECTION"), QStringLiteral("ADDRESS"), QStringLiteral("LENGTH")}, rows);
    Out() << '\n';
    rows.clear();
    for (int k = 1; k <= MKLayout::SectionCount; ++k)
        for (const TFieldDesc &f : MKLayout::Fields()) {
            if (f.section != k) continue;
            const bool raw =
                f.type == TFieldType::Bytes && QLatin1String(f.name) != QLatin1String("ServiceNames");
            rows << QStringList{QString::number(f.section), QLatin1String(f.name),
                                raw ? BytesText(mk, f) : Text(FieldValue(mk, f))};
        }
    PrintTable({QStringLiteral("SECTION"), QStringLiteral("FIELD"), QStringLiteral("VALUE")}, rows);
    return 0;
}

const TCliRegistration registration{
    {"dump",
     "[OPTIONS] FILE",
     "a settings file's model, header, section table and every named field",
     "Shows what a settings file holds: its model code and model, the image size, the header (section "
     "count and variant byte), the section table as the image holds it (device address and length of each "
     "section), then every named working field of the eleven sections, section by section. Byte arrays "
     "without a finer meaning are shown in hex.\n\n"
     "With --json: an object with modelCode, modelName, imageSize, header {sectionCount, variant}, "
     "sectionTable [{section, address, length}] and sections [{section, fields {name: value}}].",
     {kJsonOption},
     {{"FILE", "The settings file (.vorng)."}},
     RunDump}};

} // namespace
