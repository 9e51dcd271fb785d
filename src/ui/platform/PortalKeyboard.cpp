#include "ui/platform/PortalKeyboard.h"

#include <QDBusObjectPath>

#include "ui/platform/DesktopPortal.h"
#include "ui/platform/PortalProxy.h"

namespace mopira {

namespace {

const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");

constexpr uint kKeyboard = 1;
// Kept until the user revokes it, not only while the program runs.
constexpr uint kPersistUntilRevoked = 2;

}  // namespace

CPortalKeyboard::CPortalKeyboard(QObject* parent)
    : QObject(parent), m_portal(new CDesktopPortal(this)) {}

CPortalKeyboard::~CPortalKeyboard() {
    if (!m_strSession.isEmpty()) {
        QDBusMessage close = QDBusMessage::createMethodCall(
            CDesktopPortal::kService, m_strSession,
            QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close"));
        CDesktopPortal::Bus().asyncCall(close);
    }
}

void CPortalKeyboard::SetState(State state) {
    m_state = state;
}

void CPortalKeyboard::Probe() {
    if (m_state != State::Unknown) {
        return;
    }
    m_portal->ReadProperty(kInterface, QStringLiteral("version"), [this](const QVariant& version) {
        if (m_state == State::Unknown) {
            SetState(version.isValid() ? State::Available : State::Unavailable);
        }
    });
}

void CPortalKeyboard::Fail(uint response) {
    m_strSession.clear();
    if (response == CDesktopPortal::kNoAnswer) {
        SetState(State::Unavailable);
        return;
    }
    SetState(State::Refused);
    emit refused();
}

void CPortalKeyboard::Start(const QString& restoreToken) {
    if (m_state == State::Starting || m_state == State::Started || m_state == State::Unavailable) {
        return;
    }
    SetState(State::Starting);
    const QVariantMap sessionOptions = {
        {QStringLiteral("session_handle_token"), CDesktopPortal::NewToken()}};
    m_portal->Request(
        kInterface, QStringLiteral("CreateSession"), {sessionOptions},
        [this, restoreToken](uint response, const QVariantMap& results) {
            m_strSession = results.value(QStringLiteral("session_handle")).toString();
            if (response != 0 || m_strSession.isEmpty()) {
                Fail(m_strSession.isEmpty() && response == 0 ? CDesktopPortal::kNoAnswer
                                                             : response);
                return;
            }
            // The desktop may end the session (the user stops it): the next paste starts anew.
            delete m_session;
            m_session =
                new CPortalProxy(m_strSession, QStringLiteral("org.freedesktop.portal.Session"),
                                 CDesktopPortal::Bus(), this);
            connect(m_session, &CPortalProxy::Closed, this, [this] {
                m_strSession.clear();
                SetState(State::Available);
            });
            QVariantMap devices = {{QStringLiteral("types"), kKeyboard},
                                   {QStringLiteral("persist_mode"), kPersistUntilRevoked}};
            if (!restoreToken.isEmpty()) {
                devices.insert(QStringLiteral("restore_token"), restoreToken);
            }
            const QVariant session = QVariant::fromValue(QDBusObjectPath(m_strSession));
            m_portal->Request(
                kInterface, QStringLiteral("SelectDevices"), {session, devices},
                [this, session](uint selected, const QVariantMap& /*results*/) {
                    if (selected != 0) {
                        Fail(selected);
                        return;
                    }
                    m_portal->Request(
                        kInterface, QStringLiteral("Start"), {session, QString(), QVariantMap()},
                        [this](uint answer, const QVariantMap& granted) {
                            const uint types = granted.value(QStringLiteral("devices")).toUInt();
                            if (answer != 0 || (types & kKeyboard) == 0) {
                                Fail(answer == 0 ? 2 : answer);
                                return;
                            }
                            SetState(State::Started);
                            const QString token =
                                granted.value(QStringLiteral("restore_token")).toString();
                            if (!token.isEmpty()) {
                                emit restoreTokenChanged(token);
                            }
                            emit started();
                        });
                });
        });
}

bool CPortalKeyboard::TypeKeys(const std::vector<std::uint32_t>& keySyms) {
    if (m_state != State::Started || keySyms.empty()) {
        return false;
    }
    const QVariant session = QVariant::fromValue(QDBusObjectPath(m_strSession));
    const auto send = [&](std::uint32_t keySym, uint pressed) {
        m_portal->Call(kInterface, QStringLiteral("NotifyKeyboardKeysym"),
                       {session, QVariantMap(), static_cast<int>(keySym), pressed},
                       [this] { SetState(State::Available); });
    };
    for (const std::uint32_t keySym : keySyms) {
        send(keySym, 1);
    }
    for (auto keySym = keySyms.rbegin(); keySym != keySyms.rend(); ++keySym) {
        send(*keySym, 0);
    }
    return true;
}

}  // namespace mopira
