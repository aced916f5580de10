#include "app/Backups.h"

#include "base/SafeFile.h"
#include "model/SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <vector>

namespace {

// Only files of this form are backups; anything else in the folder is left alone.
const QRegularExpression &BackupName() {
    static const QRegularExpression re(QStringLiteral("^[0-9A-F]{4}-(\\d{8}-\\d{6})(?:-(\\d+))?\\.vorng$"));
    return re;
}

void Prune(QDir &dir) {
    struct TEntry {
        QString name, stamp;
        int n;
    };
    std::vector<TEntry> backups;
    for (const QString &name : dir.entryList({QStringLiteral("*.vorng")}, QDir::Files)) {
        const QRegularExpressionMatch m = BackupName().match(name);
        if (m.hasMatch()) backups.push_back({name, m.captured(1), m.captured(2).toInt()});
    }
    if (int(backups.size()) <= Backups::Keep) return;
    std::sort(backups.begin(), backups.end(), [](const TEntry &a, const TEntry &b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.n < b.n;
    });
    // A backup that cannot be removed costs only disk space.
    for (size_t i = 0; i + Backups::Keep < backups.size(); ++i)
        dir.remove(backups[i].name);
}

} // namespace

QString Backups::Folder() {
    const QString overridden = qEnvironmentVariable("TRIPCONF_BACKUPS");
    if (!overridden.isEmpty()) return overridden;
    // The generic folder, so that the program and tripconf-cli share one place.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("tripconf/backups"));
}

QString Backups::Save(uint16_t modelCode, const QByteArray &image) {
    QDir dir(Folder());
    dir.mkpath(QStringLiteral("."));
    const QString stem = QString::number(modelCode, 16).toUpper().rightJustified(4, QLatin1Char('0')) +
                         QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(stem + QStringLiteral(".vorng"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.vorng").arg(stem).arg(n));
    SafeFile::Write(path, SettingsFile::Encode(modelCode, image));
    Prune(dir);
    return QDir::toNativeSeparators(path);
}
