#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace mopira {

// The sync tools whose conflict copies of the library are merged back into it.
enum class SyncTool { Syncthing, Nextcloud, Dropbox };

// What the name of a conflict copy tells.
struct ConflictCopy {
    SyncTool tool = SyncTool::Syncthing;
    // When the copy was made, as the number YYYYMMDDhhmmss; Dropbox names the day alone.
    std::uint64_t time = 0;
    // The number a name carries when the one without it was taken already; 0 for none.
    unsigned number = 0;

    // Copies in this order are oldest first.
    std::pair<std::uint64_t, unsigned> SortKey() const { return {time, number}; }
    bool operator==(const ConflictCopy&) const = default;
};

// Whether `fileName` (UTF-8) is a conflict copy of the library file `libraryName`
// ("FaceList.dat") left beside it by a sync tool:
//   Syncthing  FaceList.sync-conflict-20261208-153012-ABC1234.dat
//   Nextcloud  FaceList (conflicted copy 2026-12-08 153012).dat, with the user's name before
//              the date when the server keeps conflict copies, and " (2)" after the closing
//              parenthesis when the server had to rename it
//   Dropbox    FaceList (Taro's conflicted copy 2026-12-08).dat, numbered " (1)" inside or
//              after the parentheses
// Anything else, such as our own temporary files and other files of the tools, is not one.
std::optional<ConflictCopy> ParseConflictCopyName(std::string_view fileName,
                                                  std::string_view libraryName);

}  // namespace mopira
