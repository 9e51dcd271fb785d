#include "ui/platform/PasteBack.h"

#include <QApplication>
#include <QGuiApplication>
#include <QtDebug>

#include "core/app/Terminals.h"
#include "ui/platform/DesktopSession.h"
#include "ui/platform/GlobalHotkey.h"
#include "ui/platform/KeySym.h"
#ifdef MOPIRA_HAVE_X11
#include "ui/platform/X11Keyboard.h"
#endif
#ifdef MOPIRA_HAVE_WAYLAND
#include "ui/platform/WaylandKeyboard.h"
#endif

namespace mopira {

namespace {

// On Wayland the program sees its own window lose the focus, not the other one gain it: the
// compositor is given this long to move it.
constexpr int kWaylandSettleMs = 50;

bool OnX11Desktop() {
    return OnX11Platform() && !IsWaylandSession();
}

}  // namespace

CPasteBack::CPasteBack(QObject* parent) : QObject(parent) {
    // Often enough that the paste follows the focus without a visible pause.
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &CPasteBack::OnPoll);
}

CPasteBack::~CPasteBack() = default;

bool CPasteBack::IsAvailable() {
#ifdef MOPIRA_HAVE_X11
    if (OnX11Desktop()) {
        return X11CanTypeKeys();
    }
#endif
#ifdef MOPIRA_HAVE_WAYLAND
    if (IsWaylandSession()) {
        if (!m_wayland) {
            m_wayland = std::make_unique<CWaylandKeyboard>();
        }
        return m_wayland->IsAvailable();
    }
#endif
    return false;
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
    if (QGuiApplication::focusWindow()) {
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
#ifdef MOPIRA_HAVE_WAYLAND
    if (IsAvailable()) {
        return m_wayland->TypeKeys(KeySymsOf(PasteKeys(false)));
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
