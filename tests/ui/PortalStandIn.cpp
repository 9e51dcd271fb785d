#include "PortalStandIn.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>

namespace mopira::test {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A bus that lets everyone talk to everyone and starts no service of the machine's.
constexpr char kConfig[] = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// The shortcuts of BindShortcuts, a(sa{sv}), as maps holding their id as "id".
QVariantList Shortcuts(const QVariant& argument) {
    QVariantList shortcuts;
    const auto list = argument.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString id;
        QVariantMap properties;
        list.beginStructure();
        list >> id >> properties;
        list.endStructure();
        properties.insert(QStringLiteral("id"), id);
        shortcuts << properties;
    }
    list.endArray();
    return shortcuts;
}

// Options and results, a{sv}, arrive still marshalled.
QVariant Unmarshalled(const QVariant& argument) {
    if (argument.canConvert<QDBusArgument>()) {
        const auto marshalled = argument.value<QDBusArgument>();
        if (marshalled.currentSignature() == QLatin1String("a{sv}")) {
            return qdbus_cast<QVariantMap>(marshalled);
        }
    }
    return argument;
}

}  // namespace

CPortalStandIn::CPortalStandIn() = default;

CPortalStandIn::~CPortalStandIn() {
    if (m_bus.isConnected()) {
        Withdraw();
        QDBusConnection::disconnectFromBus(QStringLiteral("portal stand-in"));
    }
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool CPortalStandIn::StartBus(QString* why) {
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QString::fromLatin1(kConfig).arg(m_dir.path()).toUtf8()) < 0) {
        *why = QStringLiteral("cannot write the bus's configuration");
        return false;
    }
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead(10000)) {
        *why = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return false;
    }
    const QByteArray address = m_daemon.readLine().trimmed();
    // Before anything in this process asks for the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    m_bus = QDBusConnection::connectToBus(QString::fromUtf8(address),
                                          QStringLiteral("portal stand-in"));
    if (!m_bus.isConnected() || !QDBusConnection::sessionBus().isConnected()) {
        *why = QStringLiteral("cannot connect to the test's bus");
        return false;
    }
    return true;
}

bool CPortalStandIn::Offer() {
    return m_bus.registerVirtualObject(kPath, this, QDBusConnection::SubPath) &&
           m_bus.registerService(kService);
}

void CPortalStandIn::Withdraw() {
    m_bus.unregisterService(kService);
    m_bus.unregisterObject(kPath, QDBusConnection::UnregisterTree);
}

QList<CPortalStandIn::Call> CPortalStandIn::CallsOf(const QString& member) const {
    QList<Call> calls;
    for (const Call& call : m_calls) {
        if (call.member == member) {
            calls << call;
        }
    }
    return calls;
}

void CPortalStandIn::Press(const QString& id, const QString& activationToken) {
    QDBusMessage signal =
        QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                   QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(m_strShortcutSession)) << id << qulonglong(1234)
           << QVariantMap{{QStringLiteral("activation_token"), activationToken}};
    m_bus.send(signal);
}

void CPortalStandIn::Respond(const QDBusMessage& message, const QDBusConnection& connection,
                             uint response, const QVariantMap& results) {
    const QVariantMap options = m_calls.constLast().arguments.constLast().toMap();
    const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle =
        QStringLiteral("%1/request/%2/%3")
            .arg(kPath, sender, options.value(QStringLiteral("handle_token")).toString());
    connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
    QDBusMessage signal = QDBusMessage::createSignal(
        handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << response << results;
    connection.send(signal);
}

bool CPortalStandIn::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString member = message.member();
    QVariantList arguments = message.arguments();
    if (member == QLatin1String("BindShortcuts")) {
        arguments[1] = Shortcuts(arguments[1]);
    }
    for (QVariant& argument : arguments) {
        argument = Unmarshalled(argument);
    }
    m_calls << Call{message.interface(), member, arguments};
    if (member == QLatin1String("CreateSession")) {
        const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString session =
            QStringLiteral("%1/session/%2/%3")
                .arg(kPath, sender,
                     arguments[0].toMap().value(QStringLiteral("session_handle_token")).toString());
        if (message.interface().endsWith(QLatin1String("GlobalShortcuts"))) {
            m_strShortcutSession = session;
        }
        Respond(message, connection, 0, {{QStringLiteral("session_handle"), session}});
    } else if (member == QLatin1String("BindShortcuts")) {
        Respond(message, connection, m_nBindAnswer, {});
    } else if (member == QLatin1String("SelectDevices")) {
        Respond(message, connection, 0, {});
    } else if (member == QLatin1String("Start")) {
        Respond(message, connection, m_nStartAnswer,
                {{QStringLiteral("devices"), 1u},
                 {QStringLiteral("restore_token"), QStringLiteral("restore-%1").arg(++m_nStarts)}});
    } else if (member == QLatin1String("Get")) {
        connection.send(message.createReply(QVariant::fromValue(QDBusVariant(2u))));
    } else {
        // Register, NotifyKeyboardKeysym, Close: nothing to answer.
        connection.send(message.createReply());
    }
    return true;
}

QString CPortalStandIn::introspect(const QString& /*path*/) const {
    return {};
}

}  // namespace mopira::test
