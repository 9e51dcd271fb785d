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

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace mopira {

namespace {

// A request is one line of a message and its tokens (desktops make them well under 200
// bytes); anything longer is not ours.
constexpr qint64 kMaxMessage = 1024;

constexpr char kXdgActivationName[] = "xdg-activation-token";
constexpr char kStartupIdName[] = "desktop-startup-id";

// Who runs the program, by the account itself rather than by $USER, which a process started
// as another user (setpriv, sudo -E) may keep.
QString UserKey() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return UserName();
#endif
}

QString ServerNameOf(const QString& dataDirectory) {
    // The folder by its identity, so that a link or a bind mount to it is the same folder; and
    // the user, since the socket lies in the shared temporary folder.
    const QByteArray digest = QCryptographicHash::hash(
        (UserKey() + QLatin1Char('\n') + FolderKey(dataDirectory)).toUtf8(),
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

QByteArray CSingleInstance::EncodeRequest(const Request& request) {
    QByteArray line = request.message;
    const auto append = [&line](const char* name, const QByteArray& value) {
        if (!value.isEmpty()) {
            line += ' ' + QByteArray(name) + '=' + value.toPercentEncoding();
        }
    };
    append(kXdgActivationName, request.token.xdgActivation);
    append(kStartupIdName, request.token.startupId);
    return line;
}

std::optional<CSingleInstance::Request> CSingleInstance::DecodeRequest(const QByteArray& line) {
    const QList<QByteArray> words = line.split(' ');
    if (!IsKnownMessage(words.front())) {
        return std::nullopt;
    }
    Request request{words.front(), {}};
    for (qsizetype i = 1; i < words.size(); ++i) {
        const qsizetype equals = words[i].indexOf('=');
        const QByteArray name = words[i].left(equals);
        const QByteArray value = QByteArray::fromPercentEncoding(words[i].mid(equals + 1));
        QByteArray* field = name == kXdgActivationName ? &request.token.xdgActivation
                            : name == kStartupIdName   ? &request.token.startupId
                                                       : nullptr;
        if (equals < 0 || !field || !field->isEmpty() || value.isEmpty()) {
            return std::nullopt;
        }
        *field = value;
    }
    return request;
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

std::optional<QByteArray> CSingleInstance::Exchange(const QByteArray& line,
                                                    const QDeadlineTimer& deadline) const {
    const auto remaining = [&deadline] {
        return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1));
    };
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(remaining())) {
        return std::nullopt;
    }
    socket.write(line + '\n');
    socket.flush();
    while (socket.bytesAvailable() < 3 && socket.waitForReadyRead(remaining())) {
    }
    return socket.readAll();
}

bool CSingleInstance::SendToRunning(const QByteArray& message, const ActivationToken& token,
                                    int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    // The holder may still be starting and not listen yet.
    while (!deadline.hasExpired()) {
        if (const std::optional<QByteArray> answer =
                Exchange(EncodeRequest({message, token}), deadline)) {
            if (answer->startsWith("ok")) {
                return true;
            }
            return !token.IsEmpty() &&
                   Exchange(message, deadline).value_or(QByteArray()).startsWith("ok");
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
    const std::optional<Request> request =
        raw.endsWith('\n') ? DecodeRequest(raw.chopped(1)) : std::nullopt;
    if (request) {
        socket->write("ok\n");
        socket->flush();
        socket->disconnectFromServer();
        emit messageReceived(request->message, request->token);
        return;
    }
    qWarning("mopira: ignored an unknown message from a later start");
    socket->abort();
}

}  // namespace mopira
