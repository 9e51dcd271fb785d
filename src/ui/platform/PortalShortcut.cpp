#include "ui/platform/PortalShortcut.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QStringList>

#include "ui/platform/DesktopPortal.h"
#include "ui/platform/KeySym.h"
#include "ui/platform/PortalProxy.h"
#ifdef MOPIRA_HAVE_WAYLAND
#include <xkbcommon/xkbcommon.h>
#endif

namespace mopira {

namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// One shortcut as BindShortcuts takes them: its id and its properties.
struct NewShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const NewShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, NewShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

}  // namespace mopira

Q_DECLARE_METATYPE(mopira::NewShortcut)

namespace mopira {

CPortalShortcut::CPortalShortcut(QObject* parent)
    : QObject(parent), m_portal(new CDesktopPortal(this)) {
    qDBusRegisterMetaType<NewShortcut>();
    qDBusRegisterMetaType<QList<NewShortcut>>();
}

CPortalShortcut::~CPortalShortcut() = default;

QString CPortalShortcut::TriggerOf(QKeyCombination keys) {
    QString name;
#ifdef MOPIRA_HAVE_WAYLAND
    char buffer[64] = {};
    if (const std::uint32_t keySym = KeySymOf(keys.key());
        keySym != 0 && xkb_keysym_get_name(keySym, buffer, sizeof buffer) > 0) {
        name = QString::fromLatin1(buffer);
    }
#endif
    if (name.isEmpty()) {
        return {};
    }
    QStringList parts;
    const Qt::KeyboardModifiers held = keys.keyboardModifiers();
    for (const auto& [modifier, word] :
         {std::pair{Qt::ControlModifier, "CTRL"}, std::pair{Qt::AltModifier, "ALT"},
          std::pair{Qt::ShiftModifier, "SHIFT"}, std::pair{Qt::MetaModifier, "LOGO"}}) {
        if (held & modifier) {
            parts << QLatin1String(word);
        }
    }
    parts << name;
    return parts.join(QLatin1Char('+'));
}

void CPortalShortcut::Bind(QKeyCombination keys, const QString& description) {
    const QVariantMap sessionOptions = {
        {QStringLiteral("session_handle_token"), CDesktopPortal::NewToken()}};
    m_portal->Request(
        kInterface, QStringLiteral("CreateSession"), {sessionOptions},
        [this, keys, description](uint response, const QVariantMap& results) {
            m_strSession = results.value(QStringLiteral("session_handle")).toString();
            if (response != 0 || m_strSession.isEmpty()) {
                emit settled(response == CDesktopPortal::kNoAnswer || m_strSession.isEmpty()
                                 ? CGlobalHotkey::Result::Unsupported
                                 : CGlobalHotkey::Result::Refused);
                return;
            }
            if (!m_shortcuts) {
                m_shortcuts = new CPortalProxy(CDesktopPortal::kPath, kInterface,
                                               CDesktopPortal::Bus(), this);
                connect(m_shortcuts, &CPortalProxy::Activated, this,
                        [this](const QDBusObjectPath& session, const QString& shortcut,
                               qulonglong /*timestamp*/, const QVariantMap& options) {
                            OnActivated(session.path(), shortcut, options);
                        });
            }
            QVariantMap properties = {{QStringLiteral("description"), description}};
            if (const QString trigger = TriggerOf(keys); !trigger.isEmpty()) {
                properties.insert(QStringLiteral("preferred_trigger"), trigger);
            }
            const QList<NewShortcut> shortcuts = {{QLatin1String(kShortcutId), properties}};
            m_portal->Request(kInterface, QStringLiteral("BindShortcuts"),
                              {QVariant::fromValue(QDBusObjectPath(m_strSession)),
                               QVariant::fromValue(shortcuts), QString(), QVariantMap()},
                              [this](uint bound, const QVariantMap& /*results*/) {
                                  emit settled(bound == 0 ? CGlobalHotkey::Result::Grabbed
                                               : bound == CDesktopPortal::kNoAnswer
                                                   ? CGlobalHotkey::Result::Unsupported
                                                   : CGlobalHotkey::Result::Refused);
                              });
        });
}

void CPortalShortcut::OnActivated(const QString& session, const QString& shortcut,
                                  const QVariantMap& options) {
    if (session != m_strSession || shortcut != QLatin1String(kShortcutId)) {
        return;
    }
    emit activated(
        {options.value(QStringLiteral("activation_token")).toString().toUtf8(), QByteArray()});
}

}  // namespace mopira
