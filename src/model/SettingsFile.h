#pragma once
// Settings files (".vorng"): the model code, stored as is, then every image byte
// XOR the key table. No magic, no version, no checksum.

#include <QByteArray>
#include <QString>
#include <cstdint>

class TMK;

namespace SettingsFile {

QByteArray Encode(const TMK &mk);
QByteArray Encode(uint16_t modelCode, const QByteArray &image);
// Sets the model code and overwrites the image from position 0 on; a file shorter
// than the image leaves the image's remaining bytes as they were.
void Decode(TMK &mk, const QByteArray &file);

// Writes through a temporary file, so a failed save keeps the old file. Raises Error.
void Save(const TMK &mk, const QString &path);
// Reads the whole file and decodes it (sections are not loaded here). Raises Error.
void Load(TMK &mk, const QString &path);

} // namespace SettingsFile
