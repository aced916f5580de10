#include "model/SettingsFile.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "base/SafeFile.h"
#include "model/MK.h"
#include "model/MKLayout.h"
#include "model/SectionTable.h"
#include "model/SettingsFileKey.h"

#include <algorithm>

QByteArray SettingsFile::Encode(const TMK &mk) {
    return Encode(mk.ModelCode, mk.Image.Bytes());
}

QByteArray SettingsFile::Encode(uint16_t modelCode, const QByteArray &image) {
    QByteArray file(image.size() + 2, '\0');
    auto *out = reinterpret_cast<uint8_t *>(file.data());
    LE::Put<uint16_t>(out, modelCode);
    for (qsizetype i = 0; i < image.size(); ++i)
        out[i + 2] = uint8_t(image.at(i)) ^ kSettingsFileKey[size_t(i % 4096)];
    return file;
}

QString SettingsFile::Fault(const QByteArray &file) {
    if (file.size() < 2)
        return Bi("он короче 2 байт.", "it is shorter than 2 bytes.");
    // Only the model code: the image stays as it was.
    if (file.size() == 2) return {};
    if (file.size() < 2 + MKLayout::HeaderSize)
        return Bi("в нём %1 байт, меньше кода модели и заголовка с таблицей разделов (62 байта).",
                  "it holds %1 bytes, fewer than the model code and the header with the section table (62 bytes).")
            .arg(file.size());
    return SectionTable::Fault(DecodeImage(file));
}

QByteArray SettingsFile::DecodeImage(const QByteArray &file) {
    const auto *in = reinterpret_cast<const uint8_t *>(file.constData());
    QByteArray image(std::max<qsizetype>(file.size() - 2, 0), '\0');
    for (qsizetype i = 0; i < image.size(); ++i) image[i] = char(in[i + 2] ^ kSettingsFileKey[size_t(i % 4096)]);
    return image;
}

void SettingsFile::Decode(TMK &mk, const QByteArray &file) {
    // Checked before anything changes: a table that cannot describe the memory would
    // leave the working fields to defaults or to the image loaded before.
    if (const QString fault = Fault(file); !fault.isEmpty())
        throw Error(Bi("Файл настроек повреждён: %1", "The settings file is damaged: %1").arg(fault));
    mk.ModelCode = LE::Get<uint16_t>(reinterpret_cast<const uint8_t *>(file.constData()));
    mk.Image.Overlay(DecodeImage(file));
}

void SettingsFile::Save(const TMK &mk, const QString &path) {
    SafeFile::Write(path, Encode(mk));
}

void SettingsFile::Load(TMK &mk, const QString &path) {
    // No settings file is anywhere near this; refuse rather than swallow a huge file.
    constexpr qint64 kMaxSize = 1 << 20;
    const QByteArray content = SafeFile::ReadAll(path, kMaxSize);
    if (const QString fault = Fault(content); !fault.isEmpty())
        throw Error(Bi("Файл \"%1\" — не файл настроек или он повреждён: %2",
                       "The file \"%1\" is not a settings file or is damaged: %2")
                        .arg(path, fault));
    Decode(mk, content);
}
