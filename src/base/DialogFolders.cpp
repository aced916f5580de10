#include "base/DialogFolders.h"

#include "base/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

const QString kSection = QStringLiteral("Folders");
// The kinds there are; a configuration file names no others.
const QStringList kKinds = {QStringLiteral("vorng"), QStringLiteral("vorno"), QStringLiteral("vornt"),
                            QStringLiteral("txt")};

QMap<QString, QString> &Remembered() {
    static QMap<QString, QString> folders;
    return folders;
}

QString Kind(const TFileDialogOptions &options) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch m = pattern.match(options.filter);
    return m.hasMatch() ? m.captured(1).toLower() : options.defaultSuffix.toLower();
}

} // namespace

QString DialogFolders::Start(const TFileDialogOptions &options) {
    const QString folder = Remembered().value(Kind(options));
    // A folder that has gone since (a removed stick) gives way to the caller's.
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : options.directory;
}

void DialogFolders::Remember(const TFileDialogOptions &options, const QString &path) {
    const QString kind = Kind(options);
    if (kind.isEmpty() || path.isEmpty()) return;
    Remembered()[kind] = QFileInfo(path).absolutePath();
}

void DialogFolders::Load(const TIniFile &ini) {
    Clear();
    for (const QString &kind : kKinds) {
        const QString folder = ini.ReadString(kSection, kind, QString());
        if (!folder.isEmpty()) Remembered()[kind] = QDir::cleanPath(folder);
    }
}

void DialogFolders::Save(TIniFile &ini) {
    for (auto it = Remembered().cbegin(); it != Remembered().cend(); ++it)
        if (kKinds.contains(it.key())) ini.WriteString(kSection, it.key(), it.value());
}

void DialogFolders::Clear() {
    Remembered().clear();
}
