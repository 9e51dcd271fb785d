#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/library/TextExchange.h"

class QWidget;

// The window's side of importing and exporting emoticon lists: the files, and what the user
// is told about them.
namespace mopira {

// An import file is read whole; a list of emoticons larger than this is no such list.
inline constexpr std::int64_t kMaxImportBytes = std::int64_t{64} << 20;

// Reads and parses an import file. Lines without a folder are marked to be filed later
// (FileUnfiledLines). A file too large or unreadable is told to the user, and nullopt
// comes back.
std::optional<ImportFile> ReadImportFile(QWidget* parent, const QString& path);
// How many were added, there already, and refused, with the first refused lines and why.
QString DescribeImport(const ImportSummary& summary);

// Writes `ids` of `library` to `path` as an export, replacing it whole, and tells the user
// how it went and which records had to be left out.
void ExportFaces(QWidget* parent, const QString& path, const CFaceLibrary& library,
                 std::span<const RecordId> ids);

}  // namespace mopira
