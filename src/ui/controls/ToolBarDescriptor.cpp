#include "ui/controls/ToolBarDescriptor.h"

#include <QRect>
#include <cmath>

namespace mopira {

namespace {

int ReadWord(const QByteArray& bytes, qsizetype offset) {
    const auto low = static_cast<unsigned char>(bytes[offset]);
    const auto high = static_cast<unsigned char>(bytes[offset + 1]);
    return low | (high << 8);
}

}  // namespace

std::optional<ToolBarDescriptor> ParseToolBarDescriptor(const QByteArray& bytes) {
    constexpr qsizetype kHeaderSize = 8;
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    ToolBarDescriptor descriptor;
    descriptor.imageSize = QSize(ReadWord(bytes, 2), ReadWord(bytes, 4));
    const int count = ReadWord(bytes, 6);
    if (descriptor.imageSize.isEmpty() || bytes.size() < kHeaderSize + 2 * qsizetype(count)) {
        return std::nullopt;
    }
    descriptor.ids.reserve(count);
    for (int i = 0; i < count; ++i) {
        descriptor.ids.push_back(ReadWord(bytes, kHeaderSize + 2 * i));
    }
    return descriptor;
}

QPixmap CutToolBarImage(const QPixmap& strip, QSize imageSize, int index) {
    if (strip.isNull() || index < 0 || imageSize.isEmpty()) {
        return {};
    }
    const qreal ratio = strip.devicePixelRatio();
    const int width = static_cast<int>(std::lround(imageSize.width() * ratio));
    const int height = static_cast<int>(std::lround(imageSize.height() * ratio));
    const QRect source(index * width, 0, width, height);
    if (!strip.rect().contains(source)) {
        return {};
    }
    QPixmap image = strip.copy(source);
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace mopira
