#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

namespace mopira::test {

// A session bus of the test's own (dbus-daemon, which activates nothing) and, on it, a desktop
// portal that answers as xdg-desktop-portal's interfaces say: the Registry, GlobalShortcuts and
// RemoteDesktop, each request answered by its Response signal. It records every call, and
// answers BindShortcuts and Start as the test sets.
class CPortalStandIn : public QDBusVirtualObject {
public:
    struct Call {
        QString interface;
        QString member;
        QVariantList arguments;
    };

    CPortalStandIn();
    ~CPortalStandIn() override;

    // Starts the bus and points the session bus of this process at it; false (with why) when
    // it cannot.
    bool StartBus(QString* why);
    // Offers the portal on the bus, or takes it away.
    bool Offer();
    void Withdraw();

    // The calls of `member` so far.
    QList<Call> CallsOf(const QString& member) const;
    void ClearCalls() { m_calls.clear(); }

    // What BindShortcuts and Start answer: 0 granted, 1 cancelled by the user.
    uint m_nBindAnswer = 0;
    uint m_nStartAnswer = 0;

    // The desktop's shortcut `id` of the last bound session is pressed.
    void Press(const QString& id, const QString& activationToken);

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    // Answers `message` with the path of its request, then the request with its response.
    void Respond(const QDBusMessage& message, const QDBusConnection& connection, uint response,
                 const QVariantMap& results);

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QDBusConnection m_bus{QString()};
    QList<Call> m_calls;
    QString m_strShortcutSession;
    int m_nStarts = 0;
};

}  // namespace mopira::test
