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
// than the image leaves the image's remaining bytes as they were. A file of just the
// model code leaves the image alone. A file whose section table cannot describe the
// memory (SectionTable), or that ends inside a section it lists, is refused (Error)
// and changes nothing.
void Decode(TMK &mk, const QByteArray &file);
// Why Decode would refuse the file, in the interface language; empty when it would not.
QString Fault(const QByteArray &file);
// The image bytes of a file (everything after the model code, unscrambled).
QByteArray DecodeImage(const QByteArray &file);

// Writes through a temporary file, so a failed save keeps the old file. Raises Error.
void Save(const TMK &mk, const QString &path);
// Reads the whole file and decodes it (sections are not loaded here). Raises Error
// naming the file; a pipe, a device or a folder is refused at once.
void Load(TMK &mk, const QString &path);

} // namespace SettingsFile
