#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

namespace mopira {

class CDesktopPortal;
class CPortalProxy;

// Typing into other programs through the desktop portal's RemoteDesktop (KDE Plasma, GNOME),
// a session with the keyboard alone. The desktop asks the user the first time; the restore
// token it then gives lets later runs start without asking, until the user revokes it.
class CPortalKeyboard : public QObject {
    Q_OBJECT

public:
    enum class State {
        Unknown,      // not yet asked whether the desktop has the portal
        Available,    // it has; no session yet
        Starting,     // waiting for the desktop (and the user)
        Started,      // keys can be typed
        Refused,      // the user or the desktop declined
        Unavailable,  // no portal with a remote keyboard
    };

    explicit CPortalKeyboard(QObject* parent = nullptr);
    ~CPortalKeyboard() override;

    State GetState() const { return m_state; }
    // Asks the desktop whether it has the portal, without asking the user anything.
    void Probe();
    // Starts a session, with the token a run before was given (empty for none). A start while
    // one runs or has started, or where there is no portal, does nothing; after a refusal it
    // asks again.
    void Start(const QString& restoreToken);
    // Presses the keys of `keySyms` in their order and releases them in reverse; false when
    // no session is started.
    bool TypeKeys(const std::vector<std::uint32_t>& keySyms);

signals:
    void started();
    // The user or the desktop declined: the program says so.
    void refused();
    // A token for the next run's start.
    void restoreTokenChanged(const QString& token);

private:
    void SetState(State state);
    void Fail(uint response);

    CDesktopPortal* m_portal = nullptr;
    CPortalProxy* m_session = nullptr;
    State m_state = State::Unknown;
    QString m_strSession;
};

}  // namespace mopira
