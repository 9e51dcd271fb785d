#pragma once

#include <string>

#include "ui/library/FaceDlg.h"

namespace mopira {

// Asks for a new emoticon and the folder to file it in; the caller stores what it accepted.
class CAddFaceDlg : public CFaceDlg {
    Q_OBJECT

public:
    // The edit box starts with `face` (the composed face, or nothing); the tree starts on
    // `preselect`, or on "すべての顔文字" when that is empty.
    CAddFaceDlg(QWidget* parent, const LibraryView& view, const QString& face,
                const std::string& preselect);
};

}  // namespace mopira
