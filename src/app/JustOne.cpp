#include "app/JustOne.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

QString TJustOne::DefaultName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

TJustOne::TJustOne(QObject *owner, const QString &name) : QObject(owner) {
    QString dir;
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
#endif
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    lockPath_ = QDir(dir).filePath((name.isEmpty() ? DefaultName() : name) + QStringLiteral(".lock"));
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // Never stale by age: only a lock whose process has gone is taken over.
    lock_->setStaleLockTime(0);
    ownsMutex_ = lock_->tryLock(0);
    if (!ownsMutex_) lock_.reset();
}

TJustOne::~TJustOne() {
    if (ownsMutex_ && lock_) lock_->unlock();
}
