#pragma once

#include <QDialog>

namespace mopira {

// The about box: the program's icon, name and version, the data folder in use, and an OK
// button.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const QString& dataDirectory, QWidget* parent = nullptr);
};

}  // namespace mopira
