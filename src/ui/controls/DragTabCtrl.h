#pragma once

#include <QTabBar>

namespace mopira {

// The main window's tab strip. It is a drop target that refuses everything: whatever another
// program drags over it shows the no-drop cursor, and releasing it there changes nothing,
// neither here nor in the window behind.
class CDragTabCtrl : public QTabBar {
    Q_OBJECT

public:
    explicit CDragTabCtrl(QWidget* parent = nullptr);
    ~CDragTabCtrl() override;

    // Makes the strip the drop target under the pointer. The window calls it once while it
    // sets itself up; it cannot fail once the control exists.
    bool RegisterDropTarget();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace mopira
