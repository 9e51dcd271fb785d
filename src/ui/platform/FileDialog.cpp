#include "ui/platform/FileDialog.h"

#include <QFileDialog>

namespace mopira {

namespace {

CFileDialogSeam* g_seam = nullptr;

}  // namespace

CFileDialogSeam::CFileDialogSeam() : m_previous(g_seam) {
    g_seam = this;
}

CFileDialogSeam::~CFileDialogSeam() {
    g_seam = m_previous;
}

QString AskFileName(QWidget* parent, FileDialogMode mode, const QString& caption,
                    const QString& filter, const QString& suggested) {
    if (g_seam) {
        g_seam->m_shown.append(caption);
        if (g_seam->m_answers.empty()) {
            return {};
        }
        QString answer = g_seam->m_answers.front();
        g_seam->m_answers.pop_front();
        return answer;
    }
    return mode == FileDialogMode::Open
               ? QFileDialog::getOpenFileName(parent, caption, suggested, filter)
               : QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

}  // namespace mopira
