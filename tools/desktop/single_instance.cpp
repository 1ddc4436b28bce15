#include "tools/desktop/single_instance.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <cstdio>

namespace wt::desktop {

namespace {

constexpr int kAnswerMs = 2000;  // a running instance answers from its event loop
constexpr char kShow[] = "show\n";

}  // namespace

SingleInstance::SingleInstance()
    : path_(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/" WT_APP_ID
                                                                                ".socket") {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith(QByteArray(kShow).trimmed())) emit activated();
                peer->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::forwardToRunning() {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(kAnswerMs)) return false;
    socket.write(kShow);
    return socket.waitForBytesWritten(kAnswerMs);
}

bool SingleInstance::listen() {
    // Nobody answered on it: a socket left by an instance that was killed.
    QLocalServer::removeServer(path_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(path_)) return true;
    std::fprintf(stderr, "wacky-throats: cannot listen on %s: %s\n", qPrintable(path_),
                 qPrintable(server_.errorString()));
    return false;
}

}  // namespace wt::desktop
