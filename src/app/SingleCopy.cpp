#include "app/SingleCopy.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

namespace skarvel {

namespace {

constexpr char kMutexName[] = "SkarvelStartupMutex";
constexpr char kRaiseRequest[] = "raise\n";
constexpr int kConnectTimeoutMs = 2000;

} // namespace

QString SingleCopy::folder() {
    // Never a folder shared by all users, where anyone could take the name first.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty()) {
            return runtime;
        }
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                          QStringLiteral("/Skarvel");
    QDir().mkpath(cache);
    QFile::setPermissions(cache, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return cache;
}

QString SingleCopy::lockFileName() {
    return folder() + QLatin1Char('/') + QLatin1String(kMutexName) + QStringLiteral(".lock");
}

QString SingleCopy::serverName() {
    return folder() + QLatin1Char('/') + QLatin1String(kMutexName) + QStringLiteral(".socket");
}

SingleCopy::SingleCopy() : lock_(lockFileName()) {
    // A copy never lets go of the lock while it runs, however long that is; a lock whose
    // process has ended is still taken over.
    lock_.setStaleLockTime(0);
    acquired_ = lock_.tryLock(0);
}

SingleCopy::~SingleCopy() {
    if (server_) {
        server_->close();
    }
    if (acquired_) {
        lock_.unlock();
    }
}

void SingleCopy::listen(QWidget& window) {
    if (!acquired_) {
        return;
    }
    window_ = &window;
    if (server_) {
        return;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file left there belongs to a copy that has crashed.
    QLocalServer::removeServer(serverName());
    if (!server_->listen(serverName())) {
        server_.reset();
        return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (socket->readAll().contains("raise")) {
                    raiseWindow();
                }
            });
        }
    });
}

void SingleCopy::raiseWindow() {
    // A window not shown yet is still in its start-up questions and comes up by itself.
    if (!window_ || (!window_->isVisible() && !window_->isMinimized())) {
        return;
    }
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

bool SingleCopy::raiseFirstCopy() const {
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.write(kRaiseRequest);
    const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kConnectTimeoutMs);
    }
    return sent;
}

} // namespace skarvel
