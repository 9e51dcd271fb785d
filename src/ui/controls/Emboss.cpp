#include "ui/controls/Emboss.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

namespace mopira {

namespace {

// The icon's shape in one colour: its alpha mask filled.
QImage Silhouette(const QPixmap& pixmap, const QColor& color) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    // In device pixels; the painter clips whatever the image's pixel ratio leaves over.
    painter.fillRect(image.rect(), color);
    return image;
}

}  // namespace

void DrawButtonIcon(QPainter& painter, const QRect& target, const QIcon& icon,
                    const QPalette& palette, bool bEnabled) {
    if (icon.isNull() || target.isEmpty()) {
        return;
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = icon.pixmap(target.size(), ratio);
    if (bEnabled) {
        painter.drawPixmap(target, pixmap);
        return;
    }
    painter.drawImage(target.translated(1, 1), Silhouette(pixmap, palette.color(QPalette::Light)));
    painter.drawImage(target, Silhouette(pixmap, palette.color(QPalette::Dark)));
}

void DrawButtonCaption(QPainter& painter, QPoint topLeft, const QString& caption,
                       const QPalette& palette, bool bEnabled) {
    if (caption.isEmpty()) {
        return;
    }
    const QRect box(topLeft, painter.fontMetrics().size(kCaptionFlags, caption));
    const int flags = kCaptionFlags | Qt::AlignLeft | Qt::AlignTop;
    painter.save();
    if (bEnabled) {
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(box, flags, caption);
    } else {
        painter.setPen(palette.color(QPalette::Light));
        painter.drawText(box.translated(1, 1), flags, caption);
        painter.setPen(palette.color(QPalette::Dark));
        painter.drawText(box, flags, caption);
    }
    painter.restore();
}

}  // namespace mopira
