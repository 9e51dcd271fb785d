// The library commands of the main window that open a dialog: add, properties and move.
#include "ui/app/MainDlg.h"

namespace mopira {

void CMainDlg::OnNewFace() {}

void CMainDlg::OnProperties() {}

void CMainDlg::OnMove() {}

}  // namespace mopira
