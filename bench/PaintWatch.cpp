#include "PaintWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace mopira::bench {

CPaintWatch::CPaintWatch(QWidget* widget, std::function<bool()> ready)
    : m_widget(widget), m_ready(std::move(ready)) {
    m_widget->installEventFilter(this);
}

bool CPaintWatch::Wait(int timeoutMs) {
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(timeoutMs);
    // The paint event arrives before the painting; the loop returns only after the whole
    // pass that painted and flushed the window.
    while (!m_bPainted && deadline.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return m_bPainted;
}

bool CPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_widget && event->type() == QEvent::Paint && !m_bPainted) {
        m_bPainted = m_ready();
    }
    return false;
}

}  // namespace mopira::bench
