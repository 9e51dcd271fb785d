#pragma once

#include <QIcon>
#include <QPoint>
#include <QPushButton>
#include <QSize>

namespace mopira {

// A standard push button face with an icon and a caption at positions the caller chooses, both
// moved one pixel right and down while the button is pressed and embossed when it is disabled.
// While it holds the focus, however it got it, a dotted focus rectangle is drawn inset by a
// quarter of the button's smaller side, at most 3 pixels.
class CIconButton : public QPushButton {
    Q_OBJECT

public:
    explicit CIconButton(QWidget* parent = nullptr);
    explicit CIconButton(const QString& caption, QWidget* parent = nullptr);

    // Loads the icon to be drawn at width × height. False when there is no such icon; the
    // button then draws none.
    bool SetIconImage(int iconId, int width, int height);
    // Each sets a top-left corner in the button's coordinates and returns the previous one.
    QPoint SetImagePos(QPoint pos);
    QPoint SetTextPos(QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icoImage;
    QSize m_sizeImage;
    QPoint m_ptImage;
    QPoint m_ptText;
};

}  // namespace mopira
