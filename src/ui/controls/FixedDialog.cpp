#include "ui/controls/FixedDialog.h"

namespace mopira {

CFixedDialog::CFixedDialog(QWidget* parent) : QDialog(parent) {
    // Naming the title bar's parts leaves out the ones a platform would add by itself; the
    // thin frame is Windows' frame of a dialog that keeps its size.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

}  // namespace mopira
