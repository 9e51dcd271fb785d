#pragma once

#include "ui/controls/HoverButton.h"

namespace mopira {

// How the list tab finds emoticons: by the location combo, or by fragments of text.
enum class FindMode { Location = 0, Text = 1 };

// The location button before the combo or the search box: it shows how the list tab finds
// emoticons ("場所" or "検索", with their pictures and tips), and a click opens the menu that
// chooses between them.
class CFindModeButton : public CHoverButton {
    Q_OBJECT

public:
    explicit CFindModeButton(QWidget* parent = nullptr);

    void ShowMode(FindMode mode);

signals:
    // A mode was chosen from the menu (the one shown, too).
    void modeChosen(FindMode mode);

private:
    void OnClicked();
};

}  // namespace mopira
