#pragma once

#include <QDBusAbstractInterface>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace mopira {

// One object of the desktop portal under one of its interfaces. QtDBus relays the object's
// D-Bus signals of the names below to these Qt signals once they are connected, so that a
// portal's answers arrive through type-safe connections.
class CPortalProxy : public QDBusAbstractInterface {
    Q_OBJECT

public:
    CPortalProxy(const QString& path, const QString& interface, const QDBusConnection& bus,
                 QObject* parent = nullptr);

signals:
    // org.freedesktop.portal.Request: the answer to a request; 0 granted, 1 cancelled by the
    // user, 2 refused otherwise.
    void Response(uint response, const QVariantMap& results);
    // org.freedesktop.portal.GlobalShortcuts: a shortcut of a session was pressed.
    void Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                   const QVariantMap& options);
    // org.freedesktop.portal.Session: the desktop ended the session.
    void Closed(const QVariantMap& details);
};

}  // namespace mopira
