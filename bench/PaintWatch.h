#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace mopira::bench {

// Waits, running the event loop, until a widget paints while it shows what the caller waits
// for: a window's first frame, or a list holding every row. The wait ends when that paint
// has been done, as the screen would get it, never at a time the caller forced.
class CPaintWatch : public QObject {
public:
    // `ready` says whether what `widget` would paint now is the awaited content.
    explicit CPaintWatch(
        QWidget* widget, std::function<bool()> ready = [] { return true; });

    // False when no such paint came within `timeoutMs`.
    bool Wait(int timeoutMs = 120000);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_widget;
    std::function<bool()> m_ready;
    bool m_bPainted = false;
};

}  // namespace mopira::bench
