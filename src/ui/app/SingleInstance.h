#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "ui/platform/ActivationToken.h"

#include "store/FolderLock.h"

class QLocalServer;
class QLocalSocket;

namespace mopira {

// One running program per data folder. The first start on a folder holds it for the whole
// run; a later start asks that one, through a local socket only the same user can reach, to
// come to the front (or to show or hide), passing on the activation token the desktop gave it,
// and ends. The hold is a lock of the operating system on the folder itself: the folder
// reached by any path (a link, a bind mount) and from any session is the same folder, and a
// crash leaves nothing that blocks the next start.
class CSingleInstance : public QObject {
    Q_OBJECT

public:
    // The messages a later start may send; anything else is ignored. Activate brings the
    // window to the front as a plain second start asks; the others come from --toggle,
    // --show and --hide.
    static constexpr const char* kActivate = "activate";
    static constexpr const char* kToggle = "toggle";
    static constexpr const char* kShow = "show";
    static constexpr const char* kHide = "hide";
    static bool IsKnownMessage(const QByteArray& message);

    // One request as a line: the message, then each token as " name=value" with the value
    // percent-encoded. A request without tokens is the bare message, as programs before tokens
    // wrote and read it.
    struct Request {
        QByteArray message;
        ActivationToken token;
    };
    static QByteArray EncodeRequest(const Request& request);
    // The request a line (without its line end) holds; nothing for anything else.
    static std::optional<Request> DecodeRequest(const QByteArray& line);

    explicit CSingleInstance(const QString& dataDirectory, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // Takes the folder; true when this process holds it now and listens for later starts.
    bool Claim();
    // Hands `message` to the process that holds the folder; true when it answered. A holder that
    // refuses the tokens (one started before they were passed) is asked again without them.
    bool SendToRunning(const QByteArray& message, const ActivationToken& token = {},
                       int timeoutMs = 5000) const;

    // The socket's name: from the user and the folder's identity, so that two users, or two
    // folders, never meet.
    QString ServerName() const { return m_name; }

signals:
    void messageReceived(const QByteArray& message, const mopira::ActivationToken& token);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    // One try: the answer, or nothing when no holder listens yet.
    std::optional<QByteArray> Exchange(const QByteArray& line,
                                       const QDeadlineTimer& deadline) const;

    QString m_strDirectory;
    QString m_name;
    CFolderHold m_hold;
    QLocalServer* m_server = nullptr;
};

}  // namespace mopira
