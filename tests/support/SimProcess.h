#pragma once
// A running tripsim on a pty; terminated (and waited for) when it goes.
// Tests that use it define TRIPSIM_PATH, the simulator's path.

#include <QProcess>
#include <QString>
#include <QStringList>

class TSimProcess {
public:
    ~TSimProcess() { Stop(); }

    // Starts it and reads the pty path from its first line.
    bool Start(const QStringList &args) {
        process_.setProgram(QStringLiteral(TRIPSIM_PATH));
        process_.setArguments(args);
        process_.start();
        if (!process_.waitForStarted(5000)) return false;
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(5000)) return false;
        Path = QString::fromLocal8Bit(process_.readLine()).trimmed();
        return Path.startsWith(QLatin1Char('/'));
    }

    // SIGTERM, then the exit code (-1 when it did not end cleanly).
    int Stop() {
        if (process_.state() == QProcess::NotRunning) return process_.exitCode();
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
            return -1;
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    // What it logged on stderr (--log: "PC> …" and "MK< …" lines).
    QByteArray Log() { return log_ += process_.readAllStandardError(); }

    QString Path;

private:
    QProcess process_;
    QByteArray log_;
};
