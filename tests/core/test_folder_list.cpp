#include <gtest/gtest.h>

#include "core/library/FolderList.h"
#include "core/text/Charset.h"

namespace mopira {
namespace {

TEST(FolderList, SortedCaseInsensitivelyDistinctByBytes) {
    const std::string allFaces = Cp932::FromUtf8Literal("すべての顔文字");
    CFolderList folders({"beta", "Alpha", "alpha", "Gamma", allFaces, "beta"});
    EXPECT_EQ(folders.Names(),
              (std::vector<std::string>{"Alpha", "alpha", "beta", "Gamma", allFaces}));

    EXPECT_EQ(folders.AddFolderEntry("Beta"), 2u);
    EXPECT_EQ(folders.AddFolderEntry("beta"), std::nullopt) << "already listed";
    EXPECT_EQ(folders.AddFolderEntry("delta"), 4u);
    EXPECT_EQ(folders.IndexOf("Gamma"), 5u);
    EXPECT_EQ(folders.IndexOf("gamma"), std::nullopt);

    EXPECT_EQ(folders.RemoveFolderEntry("alpha"), 1u);
    EXPECT_EQ(folders.RemoveFolderEntry("alpha"), std::nullopt);
    EXPECT_EQ(folders.Names(),
              (std::vector<std::string>{"Alpha", "Beta", "beta", "delta", "Gamma", allFaces}));
}

}  // namespace
}  // namespace mopira
