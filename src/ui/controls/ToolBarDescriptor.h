#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QSize>
#include <optional>
#include <vector>

namespace mopira {

// A toolbar resource as read: the size of one image of its strip and the command id of each
// entry in button order, 0 for a separator.
struct ToolBarDescriptor {
    QSize imageSize;
    std::vector<int> ids;
};

// Reads the 16-bit little-endian fields version (ignored), width, height, count and then
// count ids. Nothing when the bytes end before the last id or the image size is empty.
std::optional<ToolBarDescriptor> ParseToolBarDescriptor(const QByteArray& bytes);

// Image `index` of a strip of images of `imageSize` laid side by side. The cut keeps the
// strip's device pixel ratio, so a HiDPI strip gives HiDPI images of the same logical size.
// A null pixmap when the strip does not reach that far.
QPixmap CutToolBarImage(const QPixmap& strip, QSize imageSize, int index);

}  // namespace mopira
