#include "ui/platform/ModalSeam.h"

#include <QDialog>

namespace mopira {

namespace {

CModalSeam* g_seam = nullptr;

}  // namespace

CModalSeam::CModalSeam(Handler handler) : m_handler(std::move(handler)) {
    g_seam = this;
}

CModalSeam::~CModalSeam() {
    g_seam = nullptr;
}

int RunModal(QDialog& dialog) {
    if (!g_seam) {
        return dialog.exec();
    }
    ++g_seam->m_runs;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (g_seam->m_handler) {
        g_seam->m_handler(dialog);
    }
    if (dialog.isVisible()) {
        dialog.reject();
    }
    return dialog.result();
}

}  // namespace mopira
