#pragma once
// TJustOne: keeps a second copy of the program from running. The guard is a lock
// file named after the program's file name in the per-user runtime (or temp) folder;
// a lock left behind by a process that died is taken over.

#include <QObject>
#include <memory>

class QLockFile;

class TJustOne : public QObject {
    Q_OBJECT
public:
    // name: the program's file name without its folder by default.
    explicit TJustOne(QObject *owner = nullptr, const QString &name = QString());
    ~TJustOne() override;

    bool OwnsMutex() const { return ownsMutex_; }
    QString LockFileName() const { return lockPath_; }

    static QString DefaultName();

private:
    bool ownsMutex_ = false;
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};
