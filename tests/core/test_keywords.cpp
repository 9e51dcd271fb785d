#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "RandomText.h"
#include "core/library/KeywordTable.h"

namespace mopira {
namespace {

const Charset kCp932(Encoding::Cp932);
const Charset kUtf8(Encoding::Utf8);

// Names drawn from pieces that an escaping gets wrong: the separators and the escape
// character, what looks like an escape, bytes that are no character, a CP932 lead byte at the
// end, and a character CP932 gives several codes (∵ at 0x81E6, 0x879A and 0xFA5B).
const std::vector<std::string> kCp932Pieces = {
    "a",        "\t",       "\\",       "\\x41",    "\\t",  "#",    " ",    "face",
    "\r",       "\n",       "\x01",     "\x7F",     "\x80", "\xA0", "\xFF", "\xB1",
    "\x82\xA0", "\x81\xE6", "\x87\x9A", "\xFA\x5B", "\x81", "\x82"};
const std::vector<std::string> kUtf8Pieces = {"a",  "\t", "\\",   "\\x41",       "#",        " ",
                                              "\r", "\n", "\x01", "\xFF",        "\xE3\x81", "\x80",
                                              "あ", "∵",  "😀",    "\xED\xA0\x80"};

CKeywordTable RandomTable(std::mt19937& random, Charset charset) {
    const auto& namePieces = charset == kCp932 ? kCp932Pieces : kUtf8Pieces;
    CKeywordTable table(charset);
    const int entries = static_cast<int>(random() % 8);
    for (int i = 0; i < entries; ++i) {
        if (random() % 2 == 0) {
            table.SetFolderReading(RandomText(random, namePieces, 4),
                                   RandomText(random, kUtf8Pieces, 3));
        } else {
            CKeywordTable::Keywords keywords;
            for (int k = static_cast<int>(random() % 4); k > 0; --k) {
                keywords.push_back(RandomText(random, kUtf8Pieces, 3));
            }
            table.SetFaceKeywords(RandomText(random, namePieces, 4), std::move(keywords));
        }
    }
    return table;
}

TEST(KeywordTable, WhatItWritesReadsBackTheSameWhateverTheNamesHold) {
    std::mt19937 random(7);
    for (Charset charset : {kCp932, kUtf8}) {
        for (int round = 0; round < 3000; ++round) {
            const CKeywordTable table = RandomTable(random, charset);
            const std::string bytes = table.Write();
            const CKeywordTable::ReadResult read = CKeywordTable::Read(bytes, charset);
            ASSERT_EQ(read.table, table) << bytes;
            ASSERT_EQ(read.skippedLines, 0u) << bytes;
            ASSERT_TRUE(Utf8::IsValid(bytes)) << bytes;
        }
    }
}

TEST(KeywordTable, ReadingSkipsAndCountsWhatItCannotTake) {
    const std::string file =
        "# readings\r\n"
        "\r\n"
        "folder\t\xE6\xB3\xA3\xE3\x81\x8F\tなく\r\n"  // 泣く
        "face\t(;_;)\tcry\t\tsad\tcry\n"              // empty and repeated keywords dropped
        "folder\t\xE6\xB3\xA3\xE3\x81\x8F\tほかの\n"  // the first line of a name wins
        "face\ta\\qb\tx\n"                            // a broken escape
        "face\tab\\x4\tx\n"                           // a cut escape
        "face\t\xF0\x9F\x98\x80\tsmile\n"             // a character CP932 lacks
        "face\tlone\n"                                // no keyword
        "face\t\tx\n"                                 // no name
        "folder\tF\tr\textra\n"                       // a field too many
        "emoticon\tx\ty\n"                            // not a kind of line
        "face\t\\x82\\xA0\\\\\\t\tkey\\x21";          // escapes; no line end at the end
    const CKeywordTable::ReadResult read = CKeywordTable::Read(file, kCp932);
    EXPECT_EQ(read.skippedLines, 8u);
    CKeywordTable expected(kCp932);
    expected.SetFolderReading(kCp932.FromUtf8Literal("泣く"), "なく");
    expected.SetFaceKeywords("(;_;)", {"cry", "sad"});
    expected.SetFaceKeywords("\x82\xA0\\\t", {"key!"});
    EXPECT_EQ(read.table, expected);
}

TEST(KeywordTable, FollowsTheLibrary) {
    CKeywordTable table(kCp932);
    table.SetFaceKeywords("A", {"a1", "a2"});
    table.SetFaceKeywords("B", {"b1", "a2"});
    table.SetFaceKeywords("gone", {"x"});
    table.SetFolderReading("F", "えふ");
    table.SetFolderReading("G", "じー");
    table.SetFolderReading("H", "えいち");

    EXPECT_TRUE(table.RenameFace("A", "B"));  // edited into another's text: the two merge
    EXPECT_EQ(table.FaceKeywords("B"), (CKeywordTable::Keywords{"b1", "a2", "a1"}));
    EXPECT_TRUE(table.FaceKeywords("A").empty());
    EXPECT_TRUE(table.RenameFace("B", "D"));
    EXPECT_FALSE(table.RenameFace("B", "E"));
    EXPECT_TRUE(table.RenameFolder("F", "G"));  // the name taken keeps its own reading
    EXPECT_EQ(table.FolderReading("G"), "じー");
    EXPECT_EQ(table.FolderReading("F"), "");
    EXPECT_TRUE(table.RenameFolder("G", "F"));
    EXPECT_EQ(table.FolderReading("F"), "じー");

    EXPECT_TRUE(table.RemoveFace("D"));
    EXPECT_TRUE(table.RemoveFace("gone"));
    EXPECT_FALSE(table.RemoveFace("gone"));
    EXPECT_TRUE(table.RemoveFolder("H"));
    CKeywordTable expected(kCp932);
    expected.SetFolderReading("F", "じー");
    EXPECT_EQ(table, expected);
    EXPECT_TRUE(table.RemoveFolder("F"));
    EXPECT_TRUE(table.Empty());
}

TEST(KeywordTable, MergeKeepsTheChangesOfBothSides) {
    CKeywordTable base(kUtf8);
    base.SetFolderReading("F", "f");
    base.SetFolderReading("G", "g");
    base.SetFaceKeywords("A", {"a"});
    base.SetFaceKeywords("B", {"b", "bb"});
    CKeywordTable mine = base;
    CKeywordTable theirs = base;
    mine.SetFolderReading("F", "mine");  // changed here only
    theirs.SetFolderReading("G", "theirs");
    theirs.SetFolderReading("H", "new");
    mine.SetFolderReading("I", "both");  // added on both sides
    theirs.SetFolderReading("I", "other");
    theirs.SetFaceKeywords("A", {});  // removed there
    mine.SetFaceKeywords("B", {"b", "mine"});
    theirs.SetFaceKeywords("B", {"theirs", "bb", "b"});

    CKeywordTable expected(kUtf8);
    expected.SetFolderReading("F", "mine");
    expected.SetFolderReading("G", "theirs");
    expected.SetFolderReading("H", "new");
    expected.SetFolderReading("I", "both");
    expected.SetFaceKeywords("B", {"b", "mine", "theirs"});  // bb, removed here, stays out
    EXPECT_EQ(CKeywordTable::Merge(base, mine, theirs), expected);
    EXPECT_EQ(CKeywordTable::Merge(base, base, theirs), theirs);
    EXPECT_EQ(CKeywordTable::Merge(base, mine, base), mine);
}

TEST(KeywordTable, BecomesUtf8WithTheLibrary) {
    CKeywordTable table(kCp932);
    table.SetFaceKeywords("\x81\xE6", {"because"});  // ∵ as Windows writes it
    table.SetFaceKeywords("\x87\x9A", {"nec"});      // the same character, another code
    table.SetFaceKeywords("\x81", {"lone"});         // no character
    table.SetFolderReading(kCp932.FromUtf8Literal("泣く"), "なく");
    table.ConvertTo(kUtf8);
    CKeywordTable expected(kUtf8);
    expected.SetFaceKeywords("∵", {"because"});
    expected.SetFolderReading("泣く", "なく");
    EXPECT_EQ(table, expected);
}

}  // namespace
}  // namespace mopira
