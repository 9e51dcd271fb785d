#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FloorData.h"
#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"

namespace mopira::bench {
namespace {

// The benchmarks wait for a list of exactly `count` rows and divide by the file's size: a
// generated library must load whole, with realistic texts only.
TEST(LibraryGenerator, MakesDistinctValidFacesOfEightToFortyBytes) {
    for (std::size_t count : {1u, 1000u, 20000u}) {
        const std::string bytes = GenerateFaceList(count);
        CFaceLibrary library;
        library.LoadFaceList(bytes);
        ASSERT_EQ(library.Size(), count);
        EXPECT_EQ(library.SaveFaceList(), bytes) << "not in the form the program writes";
        library.ForEachRecord([&](RecordId id) {
            const std::string_view text = library.Text(id);
            EXPECT_GE(text.size(), 8u);
            EXPECT_LE(text.size(), 40u);
            EXPECT_EQ(Cp932::ToUtf16(text).find(u'\uFFFD'), std::u16string::npos) << text;
        });
    }
}

TEST(LibraryGenerator, SameCountSameBytesAndAboutThirtySevenBytesARecord) {
    const std::string bytes = GenerateFaceList(20000);
    EXPECT_EQ(GenerateFaceList(20000), bytes);
    EXPECT_EQ(&CachedFaceList(20000), &CachedFaceList(20000));
    EXPECT_EQ(CachedFaceList(20000), bytes);
    // A million records make the library of about 37 MB that the figures are quoted for.
    const double perRecord = static_cast<double>(bytes.size()) / 20000;
    EXPECT_GT(perRecord, 34);
    EXPECT_LT(perRecord, 40);
}

// The floor must show what the program shows: the same rows in the same order.
TEST(FloorData, RowsComeInTheProgramsOrder) {
    const std::string bytes = GenerateFaceList(5000);
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    const std::vector<std::string_view> lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 3u * 5000);
    const std::vector<FloorRow> rows = RowsByText(lines);
    const std::vector<RecordId>& byText = library.RecordsByText();
    ASSERT_EQ(rows.size(), byText.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        ASSERT_EQ(rows[row].text, library.Text(byText[row])) << "row " << row;
        ASSERT_EQ(rows[row].folder, library.Folder(byText[row])) << "row " << row;
    }
}

TEST(FloorData, SplitsAtLineFeedsDroppingTheCarriageReturn) {
    EXPECT_EQ(SplitLines("a\r\nb\n\r\nc"), (std::vector<std::string_view>{"a", "b", "", "c"}));
    EXPECT_TRUE(SplitLines("").empty());
}

class DurableWrite : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("mopira-bench-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    std::string PathOf(const char* name) const { return (m_folder / name).string(); }

    std::filesystem::path m_folder;
};

TEST_F(DurableWrite, ReplacesTheFileAndLeavesNothingBeside) {
    const std::string path = PathOf("FaceList.dat");
    ASSERT_TRUE(WriteDurably(path, "old"));
    ASSERT_TRUE(WriteDurably(path, std::string(100000, 'x')));
    EXPECT_EQ(ReadFile(path), std::string(100000, 'x'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
}

TEST_F(DurableWrite, ReportsAFolderThatIsNotThere) {
    EXPECT_FALSE(WriteDurably(PathOf("missing/FaceList.dat"), "bytes"));
    EXPECT_EQ(ReadFile(PathOf("missing/FaceList.dat")), "");
}

}  // namespace
}  // namespace mopira::bench
