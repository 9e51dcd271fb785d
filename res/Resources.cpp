#include "res/Resources.h"

#include <QFile>
#include <QGuiApplication>

namespace mopira::res {

QIcon LoadIcon(int id) {
    const QString base = QStringLiteral(":/icons/icon%1").arg(id);
    QIcon icon;
    for (const QString& suffix : {QStringLiteral(".png"), QStringLiteral("_32.png")}) {
        // QIcon picks up the "@2x" file beside each one by itself.
        if (QFile::exists(base + suffix)) {
            icon.addFile(base + suffix);
        }
    }
    return icon;
}

namespace {

// The "@2x" picture on a HiDPI screen; its name gives it a device pixel ratio of 2, so it
// draws at the same logical size as the plain one.
QPixmap LoadPicture(const QString& base) {
    if (qApp && qApp->devicePixelRatio() > 1.0) {
        QPixmap sharp(base + QStringLiteral("@2x.png"));
        if (!sharp.isNull()) {
            return sharp;
        }
    }
    return QPixmap(base + QStringLiteral(".png"));
}

}  // namespace

QPixmap LoadToolBarBitmap(int id) {
    return LoadPicture(QStringLiteral(":/icons/toolbar%1").arg(id));
}

QPixmap LoadBitmap(int id) {
    return LoadPicture(QStringLiteral(":/icons/bitmap%1").arg(id));
}

QByteArray LoadToolBarDescriptor(int id) {
    QFile file(QStringLiteral(":/toolbars/toolbar%1.bin").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

}  // namespace mopira::res
