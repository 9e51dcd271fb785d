#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/Charset.h"

class QWidget;

namespace mopira {

// "すべての顔文字" in library bytes.
const std::string& AllFacesName(Charset charset);

// A folder an emoticon can be filed in: neither empty (the root of a folder tree, or no node)
// nor the name of the pseudo-folder.
bool IsUsableFolder(std::string_view folder, Charset charset);

// The library bytes of what the user typed into a field. A field that still shows `original`
// gives back `original` itself, so bytes that no character stands for survive an unchanged
// confirmation. When a character cannot be stored, the user is told which ones and nullopt
// comes back.
std::optional<std::string> TakeFieldText(QWidget* parent, const QString& text,
                                         std::string_view original, Charset charset);

// The name a screen reader gives the field of a label: the label without its mnemonic marker.
QString AccessibleName(QStringView label);

}  // namespace mopira
