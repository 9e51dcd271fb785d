#include "ui/platform/DialogUnits.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QVariant>
#include <QWidget>

namespace mopira {

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the Latin letters, as dialog layouts have always measured it.
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    m_baseX = (metrics.horizontalAdvance(letters) + 26) / 52;
    // The character height as the layouts count it: the font's own size in pixels, without
    // the extra leading some fonts add between lines.
    m_baseY = QFontInfo(font).pixelSize();
}

void PlaceControl(const CDialogUnits& du, QWidget* control, const char* name, int controlId, int x,
                  int y, int cx, int cy) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty("controlId", controlId);
    control->setGeometry(du.Rect(x, y, cx, cy));
}

}  // namespace mopira
