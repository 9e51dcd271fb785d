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

bool IsDark(const QColor& background) {
    return background.lightness() < 128;
}

QPixmap LegibleOn(const QPixmap& picture, const QColor& background) {
    if (!IsDark(background) || picture.isNull()) {
        return picture;
    }
    // Only a picture drawn in greys: one of colour (a blue disc with a white mark) reads on
    // any background, and its white parts must stay white.
    constexpr int kGreySaturation = 40;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const auto isGrey = [](const QColor& color) {
        return color.hslSaturation() <= kGreySaturation;
    };
    int opaque = 0;
    int greys = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor color = image.pixelColor(x, y);
            if (color.alpha() != 0) {
                ++opaque;
                greys += isGrey(color) ? 1 : 0;
            }
        }
    }
    if (greys * 4 < opaque * 3) {
        return picture;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor color = QColor::fromRgba(line[x]);
            if (color.alpha() == 0 || !isGrey(color)) {
                continue;
            }
            // Dark lines turn light and light fills mid-grey: all of it lighter than the
            // background, the lines the lightest, as they were the darkest.
            line[x] = QColor::fromHsl(color.hslHue(), color.hslSaturation(),
                                      255 - color.lightness() / 2, color.alpha())
                          .rgba();
        }
    }
    QPixmap legible = QPixmap::fromImage(image);
    legible.setDevicePixelRatio(picture.devicePixelRatio());
    return legible;
}

}  // namespace mopira
