#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>

#include "ui/platform/ActivationToken.h"
#include "ui/platform/GlobalHotkey.h"

namespace mopira {

class CDesktopPortal;
class CPortalProxy;

// A shortcut for the whole desktop through the desktop portal's GlobalShortcuts (KDE Plasma,
// GNOME 48 and later, and others): a session is made and the shortcut bound to it, with the
// keys asked for as the preferred ones; the desktop may show its own dialog, where the user
// confirms or changes them.
class CPortalShortcut : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kShortcutId = "toggle";

    explicit CPortalShortcut(QObject* parent = nullptr);
    ~CPortalShortcut() override;

    // Asks for `keys` to toggle the window; settled() tells how it went.
    void Bind(QKeyCombination keys, const QString& description);

    // `keys` as the desktop's shortcut triggers are written: "CTRL+ALT+k", "LOGO+space"; empty
    // when the key has no name there.
    static QString TriggerOf(QKeyCombination keys);

signals:
    // Grabbed when bound; Refused when the user or the desktop declined; Unsupported when no
    // portal with global shortcuts answered.
    void settled(mopira::CGlobalHotkey::Result result);
    // The shortcut was pressed, with the token that lets the window take the focus where the
    // desktop gives one.
    void activated(const mopira::ActivationToken& token);

private:
    void OnActivated(const QString& session, const QString& shortcut, const QVariantMap& options);

    CDesktopPortal* m_portal = nullptr;
    CPortalProxy* m_shortcuts = nullptr;
    QString m_strSession;
};

}  // namespace mopira
