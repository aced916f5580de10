#pragma once
// Every file the program writes goes through here: the bytes go to a temporary file
// beside the target, which replaces the target only when every byte was written. A
// failure of any kind keeps the old file as it was and raises Error. Files it reads
// are checked to be regular files first.

#include <QByteArray>
#include <QString>

namespace SafeFile {

// Refuses (Error) a target that exists but is not a regular file: a device, a pipe or
// a folder would otherwise be replaced by a file of that name.
void CheckTarget(const QString &path);
// Replaces the file at path with bytes; raises Error with a ready-to-show message.
void Write(const QString &path, const QByteArray &bytes);
// The same, returning the message instead (empty when written).
QString TryWrite(const QString &path, const QByteArray &bytes);

// The whole content of a regular file of at most maxSize bytes. Anything else is
// refused at once (Error, naming the file): a pipe or a device would block the
// program or never end.
QByteArray ReadAll(const QString &path, qint64 maxSize);
// The first maxSize bytes (or fewer) of a regular file, refused like ReadAll.
QByteArray ReadStart(const QString &path, qint64 maxSize);

} // namespace SafeFile
