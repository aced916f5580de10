#include "model/SettingsFile.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/Lang.h"
#include "base/SafeFile.h"
#include "model/MK.h"
#include "model/SettingsFileKey.h"

#include <QFile>

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

void SettingsFile::Decode(TMK &mk, const QByteArray &file) {
    // Without the two model-code bytes there is nothing to take.
    if (file.size() < 2)
        throw Error(Bi("Файл настроек повреждён: он короче 2 байт.",
                       "The settings file is damaged: it is shorter than 2 bytes."));
    const auto *in = reinterpret_cast<const uint8_t *>(file.constData());
    mk.ModelCode = LE::Get<uint16_t>(in);
    QByteArray image(file.size() - 2, '\0');
    for (qsizetype i = 0; i < image.size(); ++i) image[i] = char(in[i + 2] ^ kSettingsFileKey[size_t(i % 4096)]);
    mk.Image.Overlay(image);
}

void SettingsFile::Save(const TMK &mk, const QString &path) {
    SafeFile::Write(path, Encode(mk));
}

void SettingsFile::Load(TMK &mk, const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    // No settings file is anywhere near this; refuse rather than swallow a huge file.
    constexpr qint64 kMaxSize = 1 << 20;
    if (file.size() > kMaxSize)
        throw Error(Bi("Файл \"%1\" слишком велик для файла настроек.", "The file \"%1\" is too large for a settings file.")
                        .arg(path));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    Decode(mk, content);
}
