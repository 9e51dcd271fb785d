#include "ui/app/DialogUnits.h"

#include <QFontMetrics>

namespace mopira {

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the Latin letters, as dialog layouts have always measured it.
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    m_baseX = (metrics.horizontalAdvance(letters) + 26) / 52;
    m_baseY = metrics.height();
}

}  // namespace mopira
