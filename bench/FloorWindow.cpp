#include "FloorWindow.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTreeView>

#include "FloorModel.h"

namespace mopira::bench {

CFloorWindow::CFloorWindow() : m_view(new QTreeView(this)) {
    // Rows of one height and no tree decoration: without them no view lists a million rows.
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    setCentralWidget(m_view);
    resize(kWidth, kHeight);
}

void CFloorWindow::ShowLibrary(std::string bytes, std::string path) {
    m_path = std::move(path);
    m_model = new CFloorModel(std::move(bytes), this);
    m_view->setModel(m_model);
}

void CFloorWindow::keyPressEvent(QKeyEvent* event) {
    if (m_model && !m_path.empty() &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A floor that failed to write would pass for a fast one: the run fails instead.
        if (!WriteDurably(m_path, m_model->Bytes())) {
            qCritical("cannot write %s", m_path.c_str());
            QCoreApplication::exit(1);
        }
        m_view->viewport()->update();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace mopira::bench
