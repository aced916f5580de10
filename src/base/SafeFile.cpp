#include "base/SafeFile.h"

#include "base/Error.h"
#include "base/Lang.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

void SafeFile::CheckTarget(const QString &path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Error(
            Bi("\"%1\" — не обычный файл (это устройство, канал или папка); записывать в него программа "
               "не будет.",
               "\"%1\" is not a regular file (it is a device, a pipe or a folder); the program does not "
               "write to it.")
                .arg(path));
}

void SafeFile::Write(const QString &path, const QByteArray &bytes) {
    CheckTarget(path);
    const bool existed = QFileInfo::exists(path);
    auto failed = [&](const QString &reason) {
        return Error(existed ? Bi("Не удалось записать файл \"%1\": %2. Прежний файл остался без изменений.",
                                  "Cannot write file \"%1\": %2. The previous file is kept as it was.")
                                   .arg(path, reason)
                             : Bi("Не удалось записать файл \"%1\": %2", "Cannot write file \"%1\": %2")
                                   .arg(path, reason));
    };
    QSaveFile file(path);
    // Unbuffered: QSaveFile notices a failed write only when it happens in write();
    // bytes left in a buffer until commit() can be lost without a word.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) throw failed(file.errorString());
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        throw failed(reason); // the temporary file goes with the QSaveFile
    }
    if (!file.commit()) throw failed(file.errorString());
}

QString SafeFile::TryWrite(const QString &path, const QByteArray &bytes) {
    try {
        Write(path, bytes);
    } catch (const Error &e) {
        return e.message();
    }
    return {};
}

namespace {

// Opens a regular file for reading; anything else is refused before it is opened.
void OpenRegular(QFile &file) {
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw Error(Bi("\"%1\" — не обычный файл (это устройство, канал или папка); читать его программа не будет.",
                       "\"%1\" is not a regular file (it is a device, a pipe or a folder); the program does not "
                       "read it.")
                        .arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(Bi("Не удалось открыть файл \"%1\": %2", "Cannot open file \"%1\": %2").arg(path, file.errorString()));
}

QByteArray ReadUpTo(QFile &file, qint64 maxSize) {
    const QByteArray content = file.read(maxSize);
    if (file.error() != QFileDevice::NoError)
        throw Error(Bi("Не удалось прочитать файл \"%1\": %2", "Cannot read file \"%1\": %2")
                        .arg(file.fileName(), file.errorString()));
    return content;
}

} // namespace

QByteArray SafeFile::ReadAll(const QString &path, qint64 maxSize) {
    QFile file(path);
    OpenRegular(file);
    if (file.size() > maxSize)
        throw Error(Bi("Файл \"%1\" слишком велик (%2 байт, а нужно не больше %3).",
                       "The file \"%1\" is too large (%2 bytes, at most %3 expected).")
                        .arg(path)
                        .arg(file.size())
                        .arg(maxSize));
    return ReadUpTo(file, maxSize);
}

QByteArray SafeFile::ReadStart(const QString &path, qint64 maxSize) {
    QFile file(path);
    OpenRegular(file);
    return ReadUpTo(file, maxSize);
}
