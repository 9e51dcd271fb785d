#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "ui/platform/ActivationToken.h"

class QWidget;

namespace mopira {

// Brings a top-level window in front of the others with the focus, in a way the window system
// honours. X11 lets a program ask, and a startup id's time of the user's action gets the
// request past a window manager's focus-stealing prevention. Wayland gives the focus to a window
// that shows an activation token, or to one that appears anew: a window behind others, without
// a token or with one that did not bring it forward, is hidden and shown again.
class CWindowActivation : public QObject {
    Q_OBJECT

public:
    explicit CWindowActivation(QWidget& window);

    void BringToFront(const ActivationToken& token);

    // The X server time a startup id carries ("..._TIME123456"); nothing when it carries none.
    static std::optional<std::uint32_t> StartupTime(const QByteArray& startupId);

private:
    void OnTimer();
    // Hands the token to the compositor for the window.
    void Activate();
    // Hidden and shown again: a new window to the compositor, which gives it the focus.
    void Remap();

    enum class Phase { Idle, WaitingForExposure, WaitingForFocus };

    QWidget& m_window;
    QByteArray m_token;
    Phase m_phase = Phase::Idle;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
};

}  // namespace mopira
