#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QStringList>
#include <QSystemTrayIcon>

class QAction;

namespace mopira {

// The program's icon in the desktop's tray, where the desktop has one. A click on it asks for
// the window to be shown or hidden; its menu lists the most recent emoticons (a click on one
// asks for it to be copied), then 表示/隠す and 終了.
class CTrayIcon : public QObject {
    Q_OBJECT

public:
    static constexpr int kRecentShown = 10;

    explicit CTrayIcon(const QIcon& icon, QObject* parent = nullptr);

    // Shows the icon; false, showing nothing, where the desktop has no tray.
    bool Show();
    bool IsShown() const { return m_tray.isVisible(); }

    // The emoticons the menu lists above its commands, most recent first: the first ten.
    void SetRecentFaces(const QStringList& faces);
    QMenu& Menu() { return m_menu; }

signals:
    void toggleRequested();
    void faceChosen(const QString& face);
    void quitRequested();

private:
    QMenu m_menu;
    QSystemTrayIcon m_tray;
    QAction* m_actToggle = nullptr;
    QList<QAction*> m_recent;
};

}  // namespace mopira
