#pragma once

#include <QElapsedTimer>
#include <QKeyCombination>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

namespace mopira {

class CPortalKeyboard;
class CWaylandKeyboard;

// Pastes the clipboard into the program the user came from, as the user would: once the focus
// has gone back from this program's windows to another program's, that one gets the paste keys.
// X11 types them through XTEST; a Wayland desktop through a compositor's virtual keyboard
// (wlroots) or else the desktop portal's remote keyboard (KDE Plasma, GNOME). A terminal, which
// pastes with Ctrl+Shift+V, gets those keys where its window is known to be one; the user may
// choose the keys instead.
class CPasteBack : public QObject {
    Q_OBJECT

public:
    explicit CPasteBack(QObject* parent = nullptr);
    ~CPasteBack() override;

    // Whether keys can be typed into another program here (as far as known: whether the
    // desktop lets the portal type is known once Prepare() has asked it).
    bool IsAvailable();
    // Readies the portal's remote keyboard where it is the way (the desktop may ask the user,
    // once), with the token an earlier run was given; nothing elsewhere.
    void Prepare(const QString& restoreToken);

    // The keys that paste, in Qt's portable form ("Ctrl+Shift+V", "Shift+Ins"); empty chooses
    // them by the program pasted into. False, keeping that choice, when `keys` is not one key
    // that can be typed.
    bool SetPasteKey(const QString& keys);
    // The keys typed into a program: the chosen ones, else Ctrl+Shift+V for a terminal and
    // Ctrl+V for any other.
    QKeyCombination PasteKeys(bool terminal) const;

    // Waits, up to `timeoutMs`, for the focus to reach another program and for no menu of
    // this one to hold the keyboard, then pastes there. A start while one waits restarts it.
    void Start(int timeoutMs = 2000);

signals:
    // After each Start: whether the keys were typed.
    void finished(bool pasted);
    // The desktop declined to let the program type.
    void refused();
    // What the next run's Prepare() is to be given.
    void restoreTokenChanged(const QString& token);

private:
    void OnPoll();
    // Whether the keyboard's focus has left this program for another one.
    bool FocusIsElsewhere();
    bool TypePasteKeys();
    // The keyboard of a wlroots compositor, where it offers one.
    CWaylandKeyboard* WaylandKeyboard();
    // The portal's, where a Wayland desktop has no virtual keyboard; null elsewhere.
    CPortalKeyboard* PortalKeyboard();

    QTimer m_timer;
    QElapsedTimer m_elapsed;
    // Since when the focus has been elsewhere, on Wayland, where only our own leaving is seen.
    QElapsedTimer m_away;
    int m_nTimeoutMs = 0;
    std::optional<QKeyCombination> m_keys;
    std::unique_ptr<CWaylandKeyboard> m_wayland;
    bool m_bWaylandTried = false;
    CPortalKeyboard* m_portal = nullptr;
};

}  // namespace mopira
