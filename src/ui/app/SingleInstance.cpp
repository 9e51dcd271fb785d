#include "ui/app/SingleInstance.h"

#include "store/FolderLock.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QtDebug>

namespace mopira {

namespace {

// A message is one short line; anything longer is not ours.
constexpr qint64 kMaxMessage = 64;

QString ServerNameOf(const QString& dataDirectory) {
    // The folder by its identity, so that a link or a bind mount to it is the same folder; and
    // the user, since the socket lies in the shared temporary folder.
    const QByteArray digest = QCryptographicHash::hash(
        (UserName() + QLatin1Char('\n') + FolderKey(dataDirectory)).toUtf8(),
        QCryptographicHash::Sha256);
    return QStringLiteral("mopira-%1").arg(QString::fromLatin1(digest.toHex().left(24)));
}

}  // namespace

CSingleInstance::CSingleInstance(const QString& dataDirectory, QObject* parent)
    : QObject(parent), m_strDirectory(dataDirectory), m_name(ServerNameOf(dataDirectory)) {}

CSingleInstance::~CSingleInstance() {
    if (m_server) {
        m_server->close();
    }
}

bool CSingleInstance::IsKnownMessage(const QByteArray& message) {
    for (const char* known : {kActivate, kToggle, kShow, kHide}) {
        if (message == known) {
            return true;
        }
    }
    return false;
}

bool CSingleInstance::Claim() {
    if (!m_hold.Take(m_strDirectory)) {
        return false;
    }
    // Whoever listened before under this name is gone: it held the lock.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        qWarning("mopira: cannot listen for later starts: %s", qPrintable(m_server->errorString()));
    }
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    return true;
}

bool CSingleInstance::SendToRunning(const QByteArray& message, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    // The holder may still be starting and not listen yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(
                static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)))) {
            socket.write(message + '\n');
            socket.flush();
            while (socket.bytesAvailable() < 3 &&
                   socket.waitForReadyRead(
                       static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)))) {
            }
            return socket.readAll().startsWith("ok");
        }
        QThread::msleep(50);
    }
    return false;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        if (socket->bytesAvailable() > 0) {
            OnReadyRead(socket);
        }
    }
}

void CSingleInstance::OnReadyRead(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxMessage) {
            qWarning("mopira: ignored an overlong message from a later start");
            socket->abort();
        }
        return;
    }
    const QByteArray raw = socket->readLine(kMaxMessage + 2);
    const QByteArray line = raw.trimmed();
    if (raw.endsWith('\n') && IsKnownMessage(line)) {
        socket->write("ok\n");
        socket->flush();
        socket->disconnectFromServer();
        emit messageReceived(line);
        return;
    }
    qWarning("mopira: ignored an unknown message from a later start");
    socket->abort();
}

}  // namespace mopira
