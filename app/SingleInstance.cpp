#include "app/SingleInstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QThread>
#include <QWidget>

namespace {
// The request and the answer on the socket.
constexpr char kShow[] = "zeigen\n";
constexpr char kDone[] = "ok\n";
} // namespace

InstanceListener::InstanceListener(QObject* parent) : QObject(parent) {}

InstanceListener::~InstanceListener()
{
    if (server_)
        server_->close();
}

bool InstanceListener::Listen(const std::string& socketPath)
{
    const QString path = QString::fromStdString(socketPath);
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceListener::Accept);
    return server_->listen(path);
}

void InstanceListener::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == kShow) {
                emit ShowRequested();
                socket->write(kDone);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool BringFrameToFront()
{
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(QStringLiteral("Varn 4*")),
                                     QRegularExpression::CaseInsensitiveOption);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || !pattern.match(w->windowTitle()).hasMatch())
            continue;
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        w->activateWindow();
        return true;
    }
    return false;
}

bool AskRunningInstance(const std::string& socketPath, int timeoutMs)
{
    const QString path = QString::fromStdString(socketPath);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (socket.waitForConnected(500)) {
            socket.write(kShow);
            socket.waitForBytesWritten(1000);
            bool answered = false;
            while (!answered && socket.waitForReadyRead(1000))
                answered = socket.canReadLine() && socket.readLine() == kDone;
            socket.disconnectFromServer();
            if (answered)
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}
