#pragma once

#include <QColor>
#include <QPoint>

class QPainter;

namespace mopira {

// Draws the classic dotted line of focus rectangles and tree lines from `from` to `to` (both
// included; one row or one column): the pixels that fall on the dark squares of a checkerboard
// with its corner at `origin`. Lines drawn with the same origin join up dot for dot.
void DrawDottedLine(QPainter& painter, QPoint from, QPoint to, QPoint origin, const QColor& color);

}  // namespace mopira
