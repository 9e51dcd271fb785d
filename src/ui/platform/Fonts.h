#pragma once

#include <QFont>
#include <QStringView>

namespace mopira {

// The font family every window of the program is drawn in.
inline constexpr QStringView kFaceFontFamily = u"ＭＳ Ｐゴシック";
// Its metric-compatible stand-in where the family is not installed.
inline constexpr QStringView kFaceFontSubstitute = u"IPAPGothic";

// Maps the face font to its stand-in when the system lacks it. Safe to call more than once.
void InstallFontSubstitutes();

QFont FaceFont(int pointSize);

}  // namespace mopira
