#pragma once

#include <QIcon>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// Drawing shared by the push buttons that paint their own content: an icon and a one-line
// caption, each either plain or, on a disabled button, embossed (a highlight copy offset by one
// pixel right and down under a shadow copy).
namespace mopira {

// One line; "&" underlines the next letter and "&&" stands for a literal "&".
inline constexpr int kCaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

// Draws the icon scaled to target, embossed from its alpha mask when bEnabled is false.
void DrawButtonIcon(QPainter& painter, const QRect& target, const QIcon& icon,
                    const QPalette& palette, bool bEnabled);

// Draws the caption with its bounding box's top-left corner at topLeft, in the painter's font
// and the palette's button text colour, embossed when bEnabled is false.
void DrawButtonCaption(QPainter& painter, QPoint topLeft, const QString& caption,
                       const QPalette& palette, bool bEnabled);

// Whether text on this colour is light: a dark palette.
bool IsDark(const QColor& background);

// The picture as it reads on `background`: on a dark one its greys (drawn for a light window)
// are turned light; coloured pixels keep their colour.
QPixmap LegibleOn(const QPixmap& picture, const QColor& background);

}  // namespace mopira
