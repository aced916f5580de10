#pragma once
// The tank settings file (".vorno") and the maintenance settings file (".vornt"):
// raw little-endian copies of some fields of the working image, no header, no
// checksum, so that a calibration survives a firmware update.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class TMK;

namespace TankServiceFiles {

constexpr int TankFileSize = 245;
constexpr int ServiceFileSize = 117;

QByteArray EncodeTank(const TMK &mk);
QByteArray EncodeService(const TMK &mk);
// A shorter file fills the values it covers completely and leaves the rest; bytes
// beyond the layout are ignored.
void DecodeTank(TMK &mk, QByteArrayView file);
void DecodeService(TMK &mk, QByteArrayView file);

// Writes through a safe save: a failed write leaves the old file as it was.
void Save(const QString &path, const QByteArray &content);
// Reads at most maxSize bytes; raises Error with the system's reason.
QByteArray Read(const QString &path, int maxSize);

} // namespace TankServiceFiles
