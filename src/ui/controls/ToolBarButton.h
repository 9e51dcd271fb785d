#pragma once

#include <QToolButton>

namespace mopira {

// A toolbar button whose checked state belongs to its owner: a click reports the command but
// leaves the state alone, because the window decides (for example after toggling a setting)
// whether the button shows pressed in.
class CToolBarButton : public QToolButton {
    Q_OBJECT

public:
    explicit CToolBarButton(QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
};

}  // namespace mopira
