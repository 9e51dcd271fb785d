#include "ui/controls/FixedDialog.h"

#include <QEvent>
#include <QTimer>

namespace mopira {

CFixedDialog::CFixedDialog(QWidget* parent) : QDialog(parent) {
    // Naming the title bar's parts leaves out the ones a platform would add by itself; the
    // thin frame is Windows' frame of a dialog that keeps its size.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void CFixedDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) {
        return;
    }
    // Some window managers offer minimise anyway, and take the window behind along: a dialog
    // (every one of these is modal) out of sight would leave the user no window to go on with. Both
    // come back once the window manager is done.
    QTimer::singleShot(0, this, [this] {
        if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
            owner && owner->isMinimized()) {
            owner->showNormal();
        }
        showNormal();
        raise();
        activateWindow();
    });
}

}  // namespace mopira
