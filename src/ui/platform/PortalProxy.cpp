#include "ui/platform/PortalProxy.h"

#include "ui/platform/DesktopPortal.h"

namespace mopira {

CPortalProxy::CPortalProxy(const QString& path, const QString& interface,
                           const QDBusConnection& bus, QObject* parent)
    : QDBusAbstractInterface(CDesktopPortal::kService, path, interface.toLatin1().constData(), bus,
                             parent) {}

}  // namespace mopira
