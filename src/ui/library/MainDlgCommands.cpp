// The library commands of the main window that open a dialog: add, properties and move.
#include "ui/app/MainDlg.h"

namespace mopira {

void CMainDlg::OnNewFace() { EnsureLoaded(); }

void CMainDlg::OnProperties() { EnsureLoaded(); }

void CMainDlg::OnMove() { EnsureLoaded(); }

}  // namespace mopira
