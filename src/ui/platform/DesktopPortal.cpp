#include "ui/platform/DesktopPortal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>
#include <memory>

#include "ui/platform/PortalProxy.h"

namespace mopira {

const QString CDesktopPortal::kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString CDesktopPortal::kPath = QStringLiteral("/org/freedesktop/portal/desktop");

CDesktopPortal::CDesktopPortal(QObject* parent) : QObject(parent) {}

QDBusConnection CDesktopPortal::Bus() {
    return QDBusConnection::sessionBus();
}

QString CDesktopPortal::NewToken() {
    static int s_nToken = 0;
    return QStringLiteral("mopira%1").arg(++s_nToken);
}

void CDesktopPortal::RegisterApplication(const QDBusConnection& bus) {
    static QString s_registered;
    if (s_registered == bus.baseService() || QGuiApplication::desktopFileName().isEmpty()) {
        return;
    }
    s_registered = bus.baseService();
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    call << QGuiApplication::desktopFileName() << QVariantMap();
    // A portal without the registry needs none.
    bus.asyncCall(call);
}

void CDesktopPortal::Request(const QString& interface, const QString& method,
                             QVariantList arguments, Reply reply) {
    QDBusConnection bus = Bus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, this, [reply] { reply(kNoAnswer, {}); });
        return;
    }
    RegisterApplication(bus);
    // The request's object is known before the call, so its answer is heard even when it
    // comes at once.
    const QString token = NewToken();
    QVariantMap options = arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments << options;
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    auto answered = std::make_shared<bool>(false);
    auto* request =
        new CPortalProxy(path, QStringLiteral("org.freedesktop.portal.Request"), bus, this);
    connect(request, &CPortalProxy::Response, this,
            [request, reply, answered](uint response, const QVariantMap& results) {
                request->deleteLater();
                if (!std::exchange(*answered, true)) {
                    reply(response, results);
                }
            });
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, request, reply, answered] {
        watcher->deleteLater();
        if (watcher->isError() && !std::exchange(*answered, true)) {
            request->deleteLater();
            reply(kNoAnswer, {});
        }
    });
}

void CDesktopPortal::Call(const QString& interface, const QString& method,
                          const QVariantList& arguments, std::function<void()> failed) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, failed] {
        watcher->deleteLater();
        if (watcher->isError() && failed) {
            failed();
        }
    });
}

void CDesktopPortal::ReadProperty(const QString& interface, const QString& name,
                                  std::function<void(const QVariant&)> reply) {
    QDBusConnection bus = Bus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, this, [reply] { reply(QVariant()); });
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << interface << name;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, reply] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> value = *watcher;
        reply(value.isError() ? QVariant() : value.value().variant());
    });
}

}  // namespace mopira
