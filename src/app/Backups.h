#pragma once
// Backups of the device's settings, taken by every write before the first section is
// sent: settings files in the per-user data folder, the newest Keep of them kept. A
// user restores one by loading it and writing it.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace Backups {

constexpr int Keep = 50;

// TRIPCONF_BACKUPS when set, else "tripconf/backups" in the per-user data folder
// (~/.local/share on Linux, %LOCALAPPDATA% on Windows).
QString Folder();

// Saves the image as a settings file "<model code>-<yyyyMMdd>-<HHmmss>.vorng" and
// removes the oldest backups beyond Keep. Returns the file's path; raises Error.
QString Save(uint16_t modelCode, const QByteArray &image);

} // namespace Backups
