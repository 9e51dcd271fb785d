#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace mopira {

// Converts the dialog units of a window's layout to pixels from its font: horizontally a
// quarter of the average character width, vertically an eighth of the character height
// (the font's size in pixels).
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const { return Scale(units, m_baseX, 4); }
    int Y(int units) const { return Scale(units, m_baseY, 8); }
    QRect Rect(int x, int y, int width, int height) const {
        return QRect(X(x), Y(y), X(width), Y(height));
    }
    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    // units * base / divisor, rounded to the nearest pixel.
    static int Scale(int units, int base, int divisor) {
        return (2 * units * base + divisor) / (2 * divisor);
    }

    int m_baseX;
    int m_baseY;
};

// Names a control of the main window by its member name and identifier, and puts it at its
// place in the window's template.
void PlaceControl(const CDialogUnits& du, QWidget* control, const char* name, int controlId, int x,
                  int y, int cx, int cy);

}  // namespace mopira
