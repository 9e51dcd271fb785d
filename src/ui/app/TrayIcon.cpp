#include "ui/app/TrayIcon.h"

#include "res/StringTable.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// An emoticon as a menu item shows it: "&" is no mnemonic, a tab no shortcut column, and a
// line of megabytes is cut as the lists cut it.
QString MenuText(const QString& face) {
    QString shown = face;
    if (shown.size() > qsizetype(kShownLength)) {
        qsizetype end = qsizetype(kShownLength);
        if (shown.at(end - 1).isHighSurrogate()) {
            --end;
        }
        shown = shown.left(end) + QChar(0x2026);
    }
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

}  // namespace

CTrayIcon::CTrayIcon(const QIcon& icon, QObject* parent) : QObject(parent) {
    m_tray.setIcon(icon);
    m_tray.setToolTip(res::kWindowCaption.toString());
    m_menu.addSeparator();
    m_actToggle = m_menu.addAction(res::kTrayShowHide.toString());
    QAction* quit = m_menu.addAction(res::kTrayQuit.toString());
    connect(m_actToggle, &QAction::triggered, this, &CTrayIcon::toggleRequested);
    connect(quit, &QAction::triggered, this, &CTrayIcon::quitRequested);
    m_tray.setContextMenu(&m_menu);
    connect(&m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    emit toggleRequested();
                }
            });
    SetRecentFaces({});
}

bool CTrayIcon::Show() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    m_tray.show();
    return true;
}

void CTrayIcon::SetRecentFaces(const QStringList& faces) {
    qDeleteAll(m_recent);
    m_recent.clear();
    for (const QString& face : faces.mid(0, kRecentShown)) {
        auto* item = new QAction(MenuText(face), &m_menu);
        connect(item, &QAction::triggered, this, [this, face] { emit faceChosen(face); });
        m_recent.append(item);
    }
    // The separator before the commands stands only under emoticons.
    m_menu.insertActions(m_menu.actions().constFirst(), m_recent);
    m_menu.actions().at(m_recent.size())->setVisible(!m_recent.isEmpty());
}

}  // namespace mopira
