#include "ui/library/FindModeButton.h"

#include <QMenu>

#include "core/app/ControlIds.h"
#include "res/StringTable.h"
#include "ui/controls/IconMenu.h"

namespace mopira {

CFindModeButton::CFindModeButton(QWidget* parent) : CHoverButton(parent) {
    setText(res::kLocationCaption.toString());
    // Enter presses the button that has the focus; elsewhere it copies, the default.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this, &CFindModeButton::OnClicked);
}

void CFindModeButton::ShowMode(FindMode mode) {
    const bool byText = mode == FindMode::Text;
    LoadIcons(byText ? id::kFindByTextIcon : id::kFindByLocationIcon, 0);
    setText((byText ? res::kSearchCaption : res::kLocationCaption).toString());
    SetTipTextFromResource(byText ? id::kFindByText : id::kFindByLocation, true);
    update();
}

void CFindModeButton::OnClicked() {
    CIconMenu menu(this);
    menu.LoadToolBarImages(id::kFindModeToolBarResource);
    menu.Menu()->addAction(res::kFindByLocationItem.toString())->setData(id::kFindByLocation);
    menu.Menu()->addAction(res::kFindByTextItem.toString())->setData(id::kFindByText);
    menu.ConvertMenu(menu.Menu());
    const int command = menu.Exec(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)));
    if (command == id::kFindByLocation) {
        emit modeChosen(FindMode::Location);
    } else if (command == id::kFindByText) {
        emit modeChosen(FindMode::Text);
    }
}

}  // namespace mopira
