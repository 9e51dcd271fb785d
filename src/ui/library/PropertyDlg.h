#pragma once

#include "ui/library/FaceDlg.h"

namespace mopira {

// Changes the text and the folder of one emoticon; the caller stores what it accepted.
class CPropertyDlg : public CFaceDlg {
    Q_OBJECT

public:
    // The emoticon being changed: its text fills the edit box and the tree starts on its folder.
    CPropertyDlg(QWidget* parent, const LibraryView& view, const QString& face,
                 const std::string& folder);
};

}  // namespace mopira
