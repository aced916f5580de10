// tripconf-cli diff: two settings files (or a file and the device) compared field by
// field: model, header, section table, every named working field and, by position,
// the image bytes no field names. A value the settings' own bytes do not hold (a short
// file) shows as "-" (null in JSON).

#include "CliTransfer.h"

#include "base/Bytes.h"
#include "link/ML_RS232.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SettingsFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <charconv>
#include <vector>

namespace {

// Exit codes: 0 equal, 1 different, 2 a wrong command line or settings that could not be read.
constexpr int kEqual = 0, kDifferent = 1, kTrouble = 2;

struct TDifference {
    QString name;
    int element = -1; // -1: the value has no elements
    QJsonValue a, b;
};

// The shortest decimal that reads back as the same float.
double Decimal(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QByteArray(text, int(end - text)).toDouble();
}

// Whether the settings' own bytes hold count bytes of field f's section from offset on:
// what they do not hold, the working fields only have from elsewhere (the defaults).
bool Held(const TMK &mk, const TFieldDesc &f, int offset, int count) {
    const TSectionEntry &e = mk.Header.sections[f.section];
    if (e.address < MKLayout::DeviceAddressOfImage) return false;
    const int loaded = std::clamp(int(e.length) - 4, 0, MKLayout::SectionSize[f.section]);
    return offset + count <= loaded &&
           e.address - MKLayout::DeviceAddressOfImage + offset + count <= mk.Image.Held();
}

QJsonValue Element(const TMK &mk, const TFieldDesc &f, int i) {
    const int size = f.type == TFieldType::Bytes ? 1 : f.ElementSize();
    if (!Held(mk, f, f.offset + i * size, size)) return QJsonValue();
    const auto working = mk.Working();
    const uint8_t *p = working.data() + MKLayout::WorkingOffset(f);
    if (f.type == TFieldType::Bytes) return p[i];
    if (f.type == TFieldType::F32) return Decimal(LE::GetFloat(p + 4 * i));
    return qint64(TMK::Get(f, working, i));
}

// Image positions whose bytes a comparison row already covers: the header fields and
// the named fields, at the place the image's own table loads them from.
std::vector<bool> Covered(const TMK &mk) {
    std::vector<bool> covered(size_t(mk.Image.Size()), false);
    auto mark = [&](int from, int count) {
        for (int i = std::max(from, 0); i < from + count && i < int(covered.size()); ++i)
            covered[size_t(i)] = true;
    };
    mark(0, 2);
    mark(4, 4 * MKLayout::SectionCount);
    for (const TFieldDesc &f : MKLayout::Fields()) {
        const TSectionEntry &e = mk.Header.sections[f.section];
        if (e.address < MKLayout::DeviceAddressOfImage) continue;
        const int loaded = std::clamp(int(e.length) - 4, 0, MKLayout::SectionSize[f.section]);
        const int count = std::min(f.ByteSize(), loaded - f.offset);
        mark(e.address - MKLayout::DeviceAddressOfImage + f.offset, count);
    }
    return covered;
}

QList<TDifference> Compare(TMK &a, TMK &b) {
    QList<TDifference> out;
    auto check = [&](const QString &name, int element, const QJsonValue &va, const QJsonValue &vb) {
        if (va != vb) out.append({name, element, va, vb});
    };
    a.ReadHeader();
    b.ReadHeader();
    check(QStringLiteral("ModelCode"), -1, a.ModelCode, b.ModelCode);
    check(QStringLiteral("ImageSize"), -1, a.Image.Size(), b.Image.Size());
    // A header the settings do not hold has no values to show.
    auto header = [](const TMK &mk, int value) {
        return mk.Image.Held() >= MKLayout::HeaderSize ? QJsonValue(value) : QJsonValue();
    };
    check(QStringLiteral("SectionCount"), -1, header(a, a.Header.sectionCount),
          header(b, b.Header.sectionCount));
    check(QStringLiteral("HeaderVariant"), -1, header(a, a.Header.variant), header(b, b.Header.variant));
    for (int k = 1; k <= MKLayout::SectionCount; ++k) {
        const TSectionEntry &ea = a.Header.sections[size_t(k)], &eb = b.Header.sections[size_t(k)];
        check(QStringLiteral("SectionAddress"), k, header(a, ea.address), header(b, eb.address));
        check(QStringLiteral("SectionLength"), k, header(a, ea.length), header(b, eb.length));
    }
    for (const TFieldDesc &f : MKLayout::Fields()) {
        const QString name = QLatin1String(f.name);
        if (name == QLatin1String("ServiceNames")) {
            auto text = [&](const TMK &mk, int i) {
                const int size = MKLayout::ServiceNameSize;
                return Held(mk, f, f.offset + i * size, size) ? QJsonValue(mk.ServiceName(i)) : QJsonValue();
            };
            for (int i = 0; i < MKLayout::ServiceNames; ++i)
                check(name, i, text(a, i), text(b, i));
            continue;
        }
        for (int i = 0; i < f.count; ++i)
            check(name, f.count == 1 ? -1 : i, Element(a, f, i), Element(b, f, i));
    }
    const std::vector<bool> coveredA = Covered(a), coveredB = Covered(b);
    const int common = std::min(a.Image.Size(), b.Image.Size());
    for (int i = 0; i < common; ++i)
        if (!coveredA[size_t(i)] && !coveredB[size_t(i)])
            check(QStringLiteral("ImageByte"), i, a.Image.At(i), b.Image.At(i));
    return out;
}

QString Text(const TDifference &d, const QJsonValue &v) {
    if (v.isNull()) return QStringLiteral("-"); // not in these settings
    if (d.name == QLatin1String("ModelCode")) return HexCode(uint16_t(v.toInt()));
    if (v.isString()) return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    return v.isDouble() ? QString::number(v.toDouble(), 'g', 9) : v.toVariant().toString();
}

void LoadFile(TMK &mk, const QString &path) {
    SettingsFile::Load(mk, path);
    mk.LoadAllSections();
}

int RunDiff(TCliArgs &args) {
    const bool json = args.IsSet("json");
    const std::optional<QString> port = args.IsSet("port") ? args.Value("port") : std::optional<QString>();
    const int timeout = ConnectTimeoutOption(args);
    const QStringList &files = args.Positionals();
    if (port && port->isEmpty()) throw TUsageError(QStringLiteral("--port needs a value"));
    if (files.size() != (port ? 1 : 2))
        throw TUsageError(port ? QStringLiteral("one settings file expected besides --port")
                               : QStringLiteral("two settings files expected"));

    TStderrPrompts prompts("diff");
    TMK a, b;
    try {
        LoadFile(a, files[0]);
        if (port) {
            std::unique_ptr<TML_RS> link = LinkForPort(*port);
            TDeviceTransfer transfer = StderrTransfer(*link, b, timeout);
            if (TransferExitCode(transfer.Read(), transfer, timeout, "diff") != 0) return kTrouble;
        } else {
            LoadFile(b, files[1]);
        }
    } catch (const TUsageError &) {
        throw;
    } catch (const Error &e) {
        prompts.ShowError(e.message());
        return kTrouble;
    }

    const QList<TDifference> differences = Compare(a, b);
    if (json) {
        QJsonArray rows;
        for (const TDifference &d : differences)
            rows.append(
                QJsonObject{{QStringLiteral("name"), d.name},
                            {QStringLiteral("element"), d.element < 0 ? QJsonValue() : QJsonValue(d.element)},
                            {QStringLiteral("a"), d.a},
                            {QStringLiteral("b"), d.b}});
        PrintJson(QJsonObject{{QStringLiteral("a"), files[0]},
                              {QStringLiteral("b"), port ? QStringLiteral("port ") + *port : files[1]},
                              {QStringLiteral("equal"), differences.isEmpty()},
                              {QStringLiteral("differences"), rows}});
    } else if (!differences.isEmpty()) {
        QList<QStringList> rows;
        for (const TDifference &d : differences)
            rows << QStringList{d.name, d.element < 0 ? QString() : QString::number(d.element), Text(d, d.a),
                                Text(d, d.b)};
        PrintTable(
            {QStringLiteral("NAME"), QStringLiteral("ELEMENT"), QStringLiteral("A"), QStringLiteral("B")},
            rows);
    }
    return differences.isEmpty() ? kEqual : kDifferent;
}

const TCliRegistration registration{
    {"diff",
     "[OPTIONS] A B\n       tripconf-cli diff --port PORT [OPTIONS] A",
     "two settings files, or a file and the device, compared field by field",
     "Compares two settings files, or a settings file and the device's settings (read from the device with "
     "--port in place of B), field by field: the model code, the image size, the header and the section "
     "table, every named working field (one row per differing element of an array), and by image offset "
     "(ImageByte) the bytes no field names. Each difference is one row: name, element, the value in A, the "
     "value in B; \"-\" (null in JSON) stands for a value the settings do not hold (a file cut short). Equal "
     "settings print nothing.",
     {{0, "port", "PORT", "Read B from the device on this port (see Ports).", nullptr, false},
      kJsonOption,
      kConnectTimeoutOption,
      kLangOption,
      kVerboseOption},
     {{"A", "A settings file (.vorng)."}, {"B", "Another settings file, unless --port is given."}},
     RunDiff,
     "0 equal, 1 different, 2 trouble: a wrong command line, or settings that could not be read (from a file "
     "or the device), as diff(1) does."}};

} // namespace
