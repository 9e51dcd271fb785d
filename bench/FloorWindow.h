#pragma once

#include <QMainWindow>
#include <string>

class QTreeView;

namespace mopira::bench {

class CFloorModel;

// A bare Qt main window holding a tree view, as large as the program's window: the least a
// program showing a list must start. Filled, it shows a library file in text order; Return
// then writes the same bytes back durably and repaints, the least a change to the library
// must cost.
class CFloorWindow : public QMainWindow {
public:
    // The program's window at its first start (Debian 12, IPA fonts), inside the frame.
    static constexpr int kWidth = 368;
    static constexpr int kHeight = 243;

    CFloorWindow();

    // Shows the library `bytes` read from `path` (where Return writes them back).
    void ShowLibrary(std::string bytes, std::string path = {});
    QTreeView* View() const { return m_view; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeView* m_view;
    CFloorModel* m_model = nullptr;
    std::string m_path;
};

}  // namespace mopira::bench
