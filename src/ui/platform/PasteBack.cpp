#include "ui/platform/PasteBack.h"

#include <QApplication>
#include <QGuiApplication>
#include <QtDebug>

#ifdef MOPIRA_HAVE_X11
#include "ui/platform/X11Keyboard.h"
#endif

namespace mopira {

namespace {

bool OnX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

bool CPasteBack::IsAvailable() {
#ifdef MOPIRA_HAVE_X11
    return OnX11() && X11CanTypeKeys();
#else
    return false;
#endif
}

CPasteBack::CPasteBack(QObject* parent) : QObject(parent) {
    // Often enough that the paste follows the focus without a visible pause.
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &CPasteBack::OnPoll);
}

void CPasteBack::Start(int timeoutMs) {
    m_nTimeoutMs = timeoutMs;
    m_elapsed.start();
    m_timer.start();
}

void CPasteBack::OnPoll() {
    bool ready = false;
#ifdef MOPIRA_HAVE_X11
    // While a menu of ours is open it holds the keyboard, and the keys would come back here.
    ready = OnX11() && !QApplication::activePopupWidget() && X11FocusIsOnAnotherProgram();
#endif
    if (ready || m_elapsed.hasExpired(m_nTimeoutMs)) {
        m_timer.stop();
        bool pasted = false;
#ifdef MOPIRA_HAVE_X11
        pasted = ready && X11TypePasteKeys();
#endif
        if (!pasted) {
            qWarning("mopira: nothing pasted: the focus did not go back to another program");
        }
        emit finished(pasted);
    }
}

}  // namespace mopira
