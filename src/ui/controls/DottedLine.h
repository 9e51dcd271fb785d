#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

class QPainter;

namespace mopira {

// Draws the classic dotted line of focus rectangles and tree lines from `from` to `to` (both
// included; one row or one column): the pixels that fall on the dark squares of a checkerboard
// with its corner at `origin`. Lines drawn with the same origin join up dot for dot.
void DrawDottedLine(QPainter& painter, QPoint from, QPoint to, QPoint origin, const QColor& color);

// The classic focus rectangle inside `rect`: dotted, inset by a quarter of the smaller side,
// at most 3 pixels. Styles draw the focus their own way, some only after keyboard use and
// some as a filled box; the owner-drawn buttons show this one whenever they have the focus.
void DrawFocusRect(QPainter& painter, const QRect& rect, const QColor& color);

}  // namespace mopira
