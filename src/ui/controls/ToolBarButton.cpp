#include "ui/controls/ToolBarButton.h"

namespace mopira {

CToolBarButton::CToolBarButton(QWidget* parent) : QToolButton(parent) {}

void CToolBarButton::nextCheckState() {}

}  // namespace mopira
