#pragma once

#include <QString>
#include <QStringList>
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

// Whether keeping what the user typed needs a library that holds any character: the library
// is CP932, the field no longer shows `original`, and CP932 lacks a character of `text`.
bool NeedsUtf8(const QString& text, std::string_view original, Charset charset);

// "ʕ (U+0295)、ᴥ (U+1D25)": the characters at fault, the first sixteen of them.
QString ListCharacters(const std::u32string& characters);
// The first of many items, one a line, and how many more there are of `total`.
QString ListFirstItems(const QStringList& first, std::size_t total);

// The name a screen reader gives the field of a label: the label without its mnemonic marker.
QString AccessibleName(QStringView label);

}  // namespace mopira
