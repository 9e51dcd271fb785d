#include "ui/controls/DottedLine.h"

#include <QPainter>
#include <algorithm>

namespace mopira {

void DrawDottedLine(QPainter& painter, QPoint from, QPoint to, QPoint origin, const QColor& color) {
    const QPoint first(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    const QPoint last(std::max(from.x(), to.x()), std::max(from.y(), to.y()));
    for (int y = first.y(); y <= last.y(); ++y) {
        for (int x = first.x(); x <= last.x(); ++x) {
            if ((x - origin.x() + y - origin.y()) % 2 == 0) {
                painter.fillRect(x, y, 1, 1, color);
            }
        }
    }
}

void DrawFocusRect(QPainter& painter, const QRect& rect, const QColor& color) {
    const int inset = std::min(std::min(rect.width(), rect.height()) / 4, 3);
    const QRect focus = rect.adjusted(inset, inset, -inset, -inset);
    const QPoint corner = focus.topLeft();
    DrawDottedLine(painter, corner, focus.topRight(), corner, color);
    DrawDottedLine(painter, focus.bottomLeft(), focus.bottomRight(), corner, color);
    DrawDottedLine(painter, corner, focus.bottomLeft(), corner, color);
    DrawDottedLine(painter, focus.topRight(), focus.bottomRight(), corner, color);
}

}  // namespace mopira
