#pragma once

#include "ui/controls/FixedDialog.h"

namespace mopira {

// The about box: the program's icon, name and version, the data folder in use, and an OK
// button.
class CAboutDlg : public CFixedDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const QString& dataDirectory, QWidget* parent = nullptr);
};

}  // namespace mopira
