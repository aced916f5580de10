#pragma once
// How a second copy hands a settings file to the copy that runs (a file opened from a
// file manager, or "tripconf FILE"): a local socket named after the single-instance
// lock, so each user's copy hears only that user's.

#include <QObject>
#include <QString>

class QLocalServer;

class TInstanceChannel : public QObject {
    Q_OBJECT
public:
    // lockFile: the single-instance lock's path.
    explicit TInstanceChannel(const QString &lockFile, QObject *owner = nullptr);

    // In the copy that runs: false when the channel could not be opened (the program
    // runs on without it).
    bool Listen();
    // In a second copy: true when the running copy took the file.
    bool Hand(const QString &path, int timeoutMs = 3000) const;

signals:
    void FileHanded(const QString &path);

private:
    QString name_;
    QLocalServer *server_ = nullptr;
};
