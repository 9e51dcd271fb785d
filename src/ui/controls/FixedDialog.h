#pragma once

#include <QDialog>

namespace mopira {

// A dialog of one size, laid out for it: it asks the window system for a title bar with only
// a close button and for no resizing frame. The caller fixes the size.
class CFixedDialog : public QDialog {
    Q_OBJECT

public:
    explicit CFixedDialog(QWidget* parent = nullptr);

protected:
    // Minimised, it comes back at once, with the window it belongs to.
    void changeEvent(QEvent* event) override;
};

}  // namespace mopira
