#pragma once

#include <QFont>
#include <QObject>
#include <array>

#include "core/builder/PartTable.h"

class QWidget;

namespace mopira {

class CDialogUnits;
class CFaceBuilder;
class CHoverButton;

// The seven part buttons that together show the face, one for each slot, standing in a row on
// the create page's group box. The buttons are the page's own children, placed in its
// coordinates: the window finds them by name and identifier like every other control and puts
// them in its keyboard order.
class CFaceParts : public QObject {
    Q_OBJECT

public:
    CFaceParts(const CDialogUnits& du, QWidget* page);

    // Shows the builder's captions on the buttons.
    void UpdateCaptions(const CFaceBuilder& builder);
    // Sets the buttons side by side as wide as the builder's face, inside a box whose right
    // edge, in the page's coordinates, is `boxRight`.
    void Layout(const CFaceBuilder& builder, int boxRight);

signals:
    void partClicked(PartSlot slot);

private:
    CHoverButton* PartButton(PartSlot slot) const;

    std::array<CHoverButton*, kPartSlotCount> m_btnParts{};
    QFont m_fontPart;
};

}  // namespace mopira
