#pragma once

#include <QByteArray>
#include <QIcon>
#include <QPixmap>

// The program's pictures and toolbar descriptors by resource number, with their HiDPI
// variants. A missing resource gives a null icon, pixmap or array.
namespace mopira::res {

QIcon LoadIcon(int id);
// A toolbar's image strip (both resolutions).
QPixmap LoadToolBarBitmap(int id);
QPixmap LoadBitmap(int id);
QByteArray LoadToolBarDescriptor(int id);

}  // namespace mopira::res
