#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "core/library/ConflictCopyName.h"

namespace mopira {

void PrintTo(const ConflictCopy& copy, std::ostream* out) {
    *out << "{tool " << static_cast<int>(copy.tool) << ", " << copy.time << ", " << copy.number
         << "}";
}

namespace {

TEST(ConflictCopyName, KnowsTheCopiesOfTheToolsAndNothingElse) {
    struct Case {
        const char* name;
        std::optional<ConflictCopy> copy;
    };
    using enum SyncTool;
    const Case cases[] = {
        {"FaceList.sync-conflict-20261208-153012-ABC1234.dat", {{Syncthing, 20261208153012, 0}}},
        {"FaceList.sync-conflict-20240229-000000-7Z7Z7Z7.dat", {{Syncthing, 20240229000000, 0}}},
        {"FaceList (conflicted copy 2026-12-08 153012).dat", {{Nextcloud, 20261208153012, 0}}},
        {"FaceList (conflicted copy Taro Yamada 2026-12-08 153012).dat",
         {{Nextcloud, 20261208153012, 0}}},
        {"FaceList (conflicted copy 2026-12-08 153012) (2).dat", {{Nextcloud, 20261208153012, 2}}},
        {"FaceList (Taro's conflicted copy 2026-12-08).dat", {{Dropbox, 20261208000000, 0}}},
        {"FaceList (Taro's MacBook Air's conflicted copy 2026-12-08).dat",
         {{Dropbox, 20261208000000, 0}}},
        {"FaceList (太郎's conflicted copy 2026-12-08 (1)).dat", {{Dropbox, 20261208000000, 1}}},
        {"FaceList (Taro's conflicted copy 2026-12-08) (12).dat", {{Dropbox, 20261208000000, 12}}},

        {"FaceList.dat", std::nullopt},
        {"FaceList.dat.mopira-Ab3dE9.tmp", std::nullopt},
        {"FaceList.sync-conflict-20261208-153012-ABC1234.dat.tmp", std::nullopt},
        {"~syncthing~FaceList.sync-conflict-20261208-153012-ABC1234.dat.tmp", std::nullopt},
        {"Edge.sync-conflict-20261208-153012-ABC1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20261208-153012-abc1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20261208-153012-ABC123.dat", std::nullopt},
        {"FaceList.sync-conflict-2026128-153012-ABC1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20261308-153012-ABC1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20230229-153012-ABC1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20261208-246012-ABC1234.dat", std::nullopt},
        {"FaceList.sync-conflict-20261208-153012-ABC1234.txt", std::nullopt},
        {"FaceList (conflicted copy 2026-12-08).dat", std::nullopt},
        {"FaceList (conflicted copy 2026-12-08 15301).dat", std::nullopt},
        {"FaceList (conflicted copy (Taro) 2026-12-08 153012).dat", std::nullopt},
        {"FaceList (conflicted copy 2026-12-08 153012 (2)).dat", std::nullopt},
        {"FaceList (conflicted copy 2026-12-08 153012) (02).dat", std::nullopt},
        {"FaceList (Taro's conflicted copy 2026-12-32).dat", std::nullopt},
        {"FaceList ( conflicted copy 2026-12-08).dat", std::nullopt},
        {"FaceList (Taro's conflicted copy 2026-12-08).dat.tmp", std::nullopt},
        {"FaceList (Taro's copy 2026-12-08).dat", std::nullopt},
        {"FaceList (1).dat", std::nullopt},
        {"FaceList(Taro's conflicted copy 2026-12-08).dat", std::nullopt},
        {"FaceList_conflict-20261208-153012.dat", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseConflictCopyName(c.name, "FaceList.dat"), c.copy) << c.name;
    }
}

}  // namespace
}  // namespace mopira
