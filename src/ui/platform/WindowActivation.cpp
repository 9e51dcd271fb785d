#include "ui/platform/WindowActivation.h"

#include <QWidget>
#include <QWindow>

#include "ui/platform/DesktopSession.h"

#ifdef MOPIRA_HAVE_WAYLAND_ACTIVATION
#include "ui/platform/WaylandActivation.h"
#endif
#ifdef MOPIRA_HAVE_X11
#include "ui/platform/X11Startup.h"
#endif

namespace mopira {

namespace {

// How long a new window may take to reach the screen, and a token to take effect, before the
// next way is tried.
constexpr int kExposureMs = 2000;
constexpr int kFocusMs = 500;

}  // namespace

CWindowActivation::CWindowActivation(QWidget& window) : QObject(&window), m_window(window) {
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &CWindowActivation::OnTimer);
}

std::optional<std::uint32_t> CWindowActivation::StartupTime(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0) {
        return std::nullopt;
    }
    bool ok = false;
    const std::uint32_t time = startupId.mid(at + 5).toUInt(&ok);
    return ok ? std::optional<std::uint32_t>(time) : std::nullopt;
}

void CWindowActivation::BringToFront(const ActivationToken& token) {
    const bool wasHidden = !m_window.isVisible();
    if (m_window.isMinimized()) {
        m_window.showNormal();
    } else if (!m_window.isVisible()) {
        m_window.show();
    }
    m_window.raise();
    if (!OnWaylandPlatform()) {
        m_window.activateWindow();
#ifdef MOPIRA_HAVE_X11
        if (OnX11Platform() && !token.startupId.isEmpty()) {
            if (const std::optional<std::uint32_t> time = StartupTime(token.startupId)) {
                X11ActivateWindow(m_window.winId(), *time);
            }
            X11EndStartup(m_window.winId(), token.startupId);
        }
#endif
        return;
    }
    m_phase = Phase::Idle;
    m_timer.stop();
    if (!token.xdgActivation.isEmpty()) {
        // A window just shown is activated once it is on screen; one behind others may count
        // as not exposed (the compositor stops asking it to draw), and is activated now.
        m_token = token.xdgActivation;
        m_phase = wasHidden ? Phase::WaitingForExposure : Phase::WaitingForFocus;
        if (!wasHidden) {
            Activate();
        }
        m_elapsed.start();
        m_timer.start();
    } else if (!wasHidden && !m_window.isActiveWindow()) {
        // Behind others, or minimised (which no Wayland client can undo).
        Remap();
    }
}

void CWindowActivation::OnTimer() {
    QWindow* window = m_window.windowHandle();
    switch (m_phase) {
        case Phase::Idle:
            m_timer.stop();
            return;
        case Phase::WaitingForExposure:
            if (!window || !window->isExposed()) {
                if (m_elapsed.hasExpired(kExposureMs)) {
                    m_phase = Phase::Idle;
                }
                return;
            }
            Activate();
            m_phase = Phase::WaitingForFocus;
            m_elapsed.start();
            return;
        case Phase::WaitingForFocus:
            if (m_window.isActiveWindow() || !m_window.isVisible()) {
                m_phase = Phase::Idle;
            } else if (m_elapsed.hasExpired(kFocusMs)) {
                // The compositor took the token without giving the focus (sway's default only
                // marks the window urgent), or refused it.
                m_phase = Phase::Idle;
                Remap();
            }
            return;
    }
}

void CWindowActivation::Activate() {
#ifdef MOPIRA_HAVE_WAYLAND_ACTIVATION
    if (QWindow* window = m_window.windowHandle()) {
        WaylandActivate(*window, m_token);
    }
#endif
    m_token.clear();
}

void CWindowActivation::Remap() {
    m_window.hide();
    m_window.show();
    m_window.raise();
}

}  // namespace mopira
