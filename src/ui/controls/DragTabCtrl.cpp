#include "ui/controls/DragTabCtrl.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace mopira {

namespace {

// The answer is "no action", which the dragging program shows as its no-drop cursor. The
// event itself counts as handled here: an ignored drag event would travel on to the window
// behind the strip.
void Refuse(QDropEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

}  // namespace

CDragTabCtrl::CDragTabCtrl(QWidget* parent) : QTabBar(parent) {
    RegisterDropTarget();
}

CDragTabCtrl::~CDragTabCtrl() = default;

bool CDragTabCtrl::RegisterDropTarget() {
    setAcceptDrops(true);
    return true;
}

void CDragTabCtrl::dragEnterEvent(QDragEnterEvent* event) {
    Refuse(event);
}

void CDragTabCtrl::dragMoveEvent(QDragMoveEvent* event) {
    Refuse(event);
}

void CDragTabCtrl::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
}

void CDragTabCtrl::dropEvent(QDropEvent* event) {
    Refuse(event);
}

}  // namespace mopira
