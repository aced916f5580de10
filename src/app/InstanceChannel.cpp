#include "app/InstanceChannel.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

// A path, its length first, so a half-sent one is never taken.
constexpr int kMaxPath = 1 << 16;

} // namespace

TInstanceChannel::TInstanceChannel(const QString &lockFile, QObject *owner)
    : QObject(owner),
      name_(QStringLiteral("tripconf-") +
            QString::fromLatin1(QCryptographicHash::hash(lockFile.toUtf8(), QCryptographicHash::Sha256).toHex().left(24))) {}

bool TInstanceChannel::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket left under the name is a dead copy's.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray data = socket->peek(kMaxPath + 8);
                const int newline = int(data.indexOf('\n'));
                if (newline < 0) {
                    if (data.size() > kMaxPath) socket->abort();
                    return;
                }
                const QString path = QString::fromUtf8(socket->read(newline + 1).chopped(1));
                socket->write("ok\n");
                socket->flush();
                if (!path.isEmpty()) emit FileHanded(path);
            });
        }
    });
    return true;
}

bool TInstanceChannel::Hand(const QString &path, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // Wait for the answer: the file was taken before this copy ends.
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    return socket.readLine() == "ok\n";
}
