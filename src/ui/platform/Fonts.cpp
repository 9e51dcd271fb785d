#include "ui/platform/Fonts.h"

#include <QFontDatabase>

namespace mopira {

void InstallFontSubstitutes() {
    const QString family = kFaceFontFamily.toString();
    if (!QFontDatabase::hasFamily(family)) {
        QFont::insertSubstitution(family, kFaceFontSubstitute.toString());
    }
}

QFont FaceFont(int pointSize) {
    QFont font(kFaceFontFamily.toString(), pointSize);
    // Emoticons mix scripts; without a fixed family Qt would pick a different face per
    // character and the face would look pieced together.
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}

}  // namespace mopira
