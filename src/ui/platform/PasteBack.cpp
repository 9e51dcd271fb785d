#include "ui/platform/PasteBack.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWindow>
#include <QtDebug>

#include "core/app/Terminals.h"
#include "ui/platform/DesktopSession.h"
#include "ui/platform/GlobalHotkey.h"
#include "ui/platform/KeySym.h"
#ifdef MOPIRA_HAVE_X11
#include "ui/platform/X11Keyboard.h"
#endif
// Whole types for the members, built or not.
#include "ui/platform/PortalKeyboard.h"
#include "ui/platform/WaylandKeyboard.h"

namespace mopira {

namespace {

// On Wayland the program sees its own window lose the focus, not the other one gain it: the
// compositor is given this long to move it.
constexpr int kWaylandSettleMs = 50;

[[maybe_unused]] bool OnX11Desktop() {
    return OnX11Platform() && !IsWaylandSession();
}

}  // namespace

CPasteBack::CPasteBack(QObject* parent) : QObject(parent) {
    // Often enough that the paste follows the focus without a visible pause.
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &CPasteBack::OnPoll);
    // Before the window shows: a new keyboard makes sway hand the focus to the window that had
    // it, even while it gives it to a window that has just appeared.
    WaylandKeyboard();
}

CPasteBack::~CPasteBack() = default;

CWaylandKeyboard* CPasteBack::WaylandKeyboard() {
#ifdef MOPIRA_HAVE_WAYLAND
    // Asked once: a compositor does not start offering virtual keyboards.
    if (!m_bWaylandTried && IsWaylandSession()) {
        m_bWaylandTried = true;
        auto keyboard = std::make_unique<CWaylandKeyboard>();
        if (keyboard->IsAvailable()) {
            m_wayland = std::move(keyboard);
        }
    }
#endif
    return m_wayland.get();
}

CPortalKeyboard* CPasteBack::PortalKeyboard() {
#ifdef MOPIRA_HAVE_DBUS
    if (!m_portal && IsWaylandSession() && !WaylandKeyboard()) {
        m_portal = new CPortalKeyboard(this);
        connect(m_portal, &CPortalKeyboard::refused, this, &CPasteBack::refused);
        connect(m_portal, &CPortalKeyboard::restoreTokenChanged, this,
                &CPasteBack::restoreTokenChanged);
        m_portal->Probe();
    }
#endif
    return m_portal;
}

bool CPasteBack::IsAvailable() {
#ifdef MOPIRA_HAVE_X11
    if (OnX11Desktop()) {
        return X11CanTypeKeys();
    }
#endif
    if (!IsWaylandSession()) {
        return false;
    }
    if (WaylandKeyboard()) {
        return true;
    }
#ifdef MOPIRA_HAVE_DBUS
    if (CPortalKeyboard* portal = PortalKeyboard()) {
        const CPortalKeyboard::State state = portal->GetState();
        return state != CPortalKeyboard::State::Refused &&
               state != CPortalKeyboard::State::Unavailable;
    }
#endif
    return false;
}

void CPasteBack::Prepare(const QString& restoreToken) {
#ifdef MOPIRA_HAVE_DBUS
    if (CPortalKeyboard* portal = PortalKeyboard()) {
        portal->Start(restoreToken);
    }
#else
    Q_UNUSED(restoreToken);
#endif
}

bool CPasteBack::SetPasteKey(const QString& keys) {
    m_keys.reset();
    if (keys.trimmed().isEmpty()) {
        return true;
    }
    const std::optional<QKeyCombination> parsed = CGlobalHotkey::Parse(keys);
    if (!parsed || KeySymsOf(*parsed).empty()) {
        return false;
    }
    m_keys = parsed;
    return true;
}

QKeyCombination CPasteBack::PasteKeys(bool terminal) const {
    if (m_keys) {
        return *m_keys;
    }
    return terminal ? Qt::CTRL | Qt::SHIFT | Qt::Key_V : Qt::CTRL | Qt::Key_V;
}

void CPasteBack::Start(int timeoutMs) {
    m_nTimeoutMs = timeoutMs;
    m_elapsed.start();
    m_away.invalidate();
    m_timer.start();
}

bool CPasteBack::FocusIsElsewhere() {
    // While a menu of ours is open it holds the keyboard, and the keys would come back here.
    if (QApplication::activePopupWidget()) {
        return false;
    }
#ifdef MOPIRA_HAVE_X11
    if (OnX11Desktop()) {
        return X11FocusIsOnAnotherProgram();
    }
#endif
    // A window hidden a moment ago may still count as focused until the compositor says
    // otherwise; the keys can only go to a shown one of ours.
    if (const QWindow* focus = QGuiApplication::focusWindow(); focus && focus->isVisible()) {
        m_away.invalidate();
        return false;
    }
    if (!m_away.isValid()) {
        m_away.start();
    }
    return m_away.hasExpired(kWaylandSettleMs);
}

bool CPasteBack::TypePasteKeys() {
#ifdef MOPIRA_HAVE_X11
    if (OnX11Desktop()) {
        bool terminal = false;
        for (const QByteArray& name : X11FocusedClass()) {
            terminal = terminal || IsTerminalName(name.toStdString());
        }
        return X11TypeKeys(KeySymsOf(PasteKeys(terminal)));
    }
#endif
    if (CWaylandKeyboard* keyboard = WaylandKeyboard()) {
        return keyboard->TypeKeys(KeySymsOf(PasteKeys(IsTerminalName(keyboard->ActiveAppId()))));
    }
#ifdef MOPIRA_HAVE_DBUS
    // Where the desktop lends only the portal, the window's app id is its own: the chosen
    // keys, or Ctrl+V.
    if (CPortalKeyboard* portal = PortalKeyboard()) {
        return portal->TypeKeys(KeySymsOf(PasteKeys(false)));
    }
#endif
    return false;
}

void CPasteBack::OnPoll() {
    const bool ready = FocusIsElsewhere();
    if (ready || m_elapsed.hasExpired(m_nTimeoutMs)) {
        m_timer.stop();
        const bool pasted = ready && TypePasteKeys();
        if (!pasted) {
            qWarning("mopira: nothing pasted: the focus did not go back to another program");
        }
        emit finished(pasted);
    }
}

}  // namespace mopira
