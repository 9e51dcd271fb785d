#include "ui/controls/DragTabCtrl.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace mopira {

namespace {

// What the dragging program hears is the answer to the moves: not accepted, no action. An
// accepted move, even one with no action, reads as a copy to a program on X11.
void Refuse(QDropEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
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
    // Taking the entry makes the strip the drag's target, so the moves and the drop come here
    // and are refused here; an ignored entry would travel on to the window behind the strip.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
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
