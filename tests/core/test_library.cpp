#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/TextQuery.h"
#include "core/text/Charset.h"

namespace mopira {
namespace {

std::string Sjis(std::string_view utf8) {
    return Cp932::FromUtf8Literal(utf8);
}

struct Entry {
    std::string text;
    std::string folder;
    bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << "{" << Cp932::ToUtf8(entry.text) << ", " << Cp932::ToUtf8(entry.folder) << "}";
}

std::vector<Entry> Entries(const CFaceLibrary& library) {
    std::vector<Entry> entries;
    library.ForEachRecord([&](RecordId id) {
        entries.push_back({library.Text(id), library.Folder(id)});
    });
    return entries;
}

std::vector<std::string> Texts(const CFaceLibrary& library, const std::vector<RecordId>& ids) {
    std::vector<std::string> texts;
    for (RecordId id : ids) {
        texts.push_back(library.Text(id));
    }
    return texts;
}

TEST(FaceListFile, LoadsRecordsWhateverTheBlankLinesAndLineEnds) {
    const std::vector<Entry> expected = {{"A", "F"}, {"B", "G"}};
    const std::vector<std::string> files = {
        "A\r\nF\r\n\r\nB\r\nG\r\n\r\n",  // as the program writes it
        "A\nF\n\nB\nG\n\n",
        "A\r\nF\r\nB\r\nG",  // no blank lines, no final line end
        "\r\n\r\nA\r\nF\r\n\r\n\r\n\r\nB\r\nG\r\n\r\n\r\n",
    };
    for (const std::string& bytes : files) {
        CFaceLibrary library;
        library.LoadFaceList(bytes);
        EXPECT_EQ(Entries(library), expected) << testing::PrintToString(bytes);
    }
}

TEST(FaceListFile, SavesThreeCrLfLinesPerRecordAndNothingForAnEmptyLibrary) {
    CFaceLibrary library;
    EXPECT_EQ(library.SaveFaceList(), "");
    library.LoadFaceList("A\nF\n\nB\nG\n");
    EXPECT_EQ(library.SaveFaceList(), "A\r\nF\r\n\r\nB\r\nG\r\n\r\n");
    library.LoadFaceList("");
    EXPECT_TRUE(library.Empty());
    EXPECT_EQ(library.SaveFaceList(), "");
}

TEST(FaceListFile, SavedFileLoadsAndSavesByteIdentically) {
    const std::string bytes = Sjis("( ´・ω・｀)\r\nAA\r\n\r\n ｱﾋｬ \r\n動物 \r\n\r\n") +
                              std::string("n\0l\x81\r\n\x81\r\n\r\n", 11) +
                              Sjis("すべての顔文字\r\nすべての顔文字\r\n\r\n");
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    ASSERT_EQ(library.Size(), 4u);
    EXPECT_EQ(library.Text(1), Sjis(" ｱﾋｬ ")) << "blanks belong to the text";
    EXPECT_EQ(library.Folder(1), Sjis("動物 "));
    EXPECT_EQ(library.Text(2), std::string("n\0l\x81", 4)) << "NUL and a lone lead survive";
    EXPECT_EQ(library.SaveFaceList(), bytes);
}

TEST(FaceListFile, KeepsTheFirstOfRepeatedTexts) {
    CFaceLibrary library;
    library.LoadFaceList("A\r\nF\r\n\r\nA\r\nG\r\n\r\nB\r\nG\r\n\r\na\r\nH\r\n\r\n");
    const std::vector<Entry> expected = {{"A", "F"}, {"B", "G"}, {"a", "H"}};
    EXPECT_EQ(Entries(library), expected);
    EXPECT_EQ(library.SaveFaceList(), "A\r\nF\r\n\r\nB\r\nG\r\n\r\na\r\nH\r\n\r\n");
}

TEST(FaceListFile, RecordWithoutFolderLineIsKeptUnfiled) {
    const std::string& unfiled = CFaceLibrary::UnfiledFolderName();
    EXPECT_EQ(unfiled, Sjis("未分類"));
    CFaceLibrary library;
    // A's folder line is empty, C's is missing at the end of the file.
    library.LoadFaceList("A\r\n\r\nB\r\nG\r\n\r\nC");
    const std::vector<Entry> expected = {{"A", unfiled}, {"B", "G"}, {"C", unfiled}};
    EXPECT_EQ(Entries(library), expected);
    EXPECT_EQ(library.CountFacesInFolder(unfiled), 2);

    CFaceLibrary reloaded;
    reloaded.LoadFaceList(library.SaveFaceList());
    EXPECT_EQ(Entries(reloaded), expected) << "the next save writes a well-formed file";
}

TEST(FaceListFile, LoadsLongLinesAndManyRecords) {
    const std::string longText(3 << 20, 'x');
    std::string bytes = longText + "\r\nF\r\n\r\n";
    for (int i = 0; i < 1000000; ++i) {
        bytes += std::to_string(i) + "\r\nG" + std::to_string(i % 7) + "\r\n\r\n";
    }
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    EXPECT_EQ(library.Size(), 1000001u);
    EXPECT_EQ(library.Text(0), longText);
    EXPECT_EQ(library.CountFacesInFolder("G0"), 1000000 / 7 + 1);
    EXPECT_EQ(library.SaveFaceList(), bytes);
}

TEST(FaceLibrary, ChangesKeepIndexCountsAndOrder) {
    CFaceLibrary library;
    library.LoadFaceList("b\r\nF\r\n\r\na\r\nF\r\n\r\nc\r\nG\r\n\r\n");
    EXPECT_EQ(Texts(library, library.RecordsByText()), (std::vector<std::string>{"a", "b", "c"}));

    // Texts are unique by exact bytes.
    EXPECT_FALSE(library.AppendRecord("a", "G"));
    EXPECT_FALSE(library.AppendRecord("", "G"));
    EXPECT_FALSE(library.AppendRecord("d", ""));
    const auto upper = library.AppendRecord("A", "H");
    ASSERT_TRUE(upper);
    EXPECT_EQ(library.FindRecord("A"), upper);
    EXPECT_EQ(library.CountFacesInFolder("H"), 1);

    EXPECT_TRUE(library.ReplaceRecord("b", "B2", "G"));
    EXPECT_FALSE(library.FindRecord("b"));
    EXPECT_EQ(library.CountFacesInFolder("F"), 1);
    EXPECT_EQ(library.CountFacesInFolder("G"), 2);
    EXPECT_FALSE(library.ReplaceRecord("a", "c", "F")) << "would duplicate another text";
    EXPECT_TRUE(library.ReplaceRecord("a", "a", "F")) << "its own text is no duplicate";

    EXPECT_TRUE(library.SetRecordFolder("c", "H"));
    EXPECT_EQ(library.CountFacesInFolder("G"), 1);
    EXPECT_EQ(library.CountFacesInFolder("H"), 2);
    EXPECT_FALSE(library.SetRecordFolder("zz", "H"));

    EXPECT_TRUE(library.RemoveRecord("a"));
    EXPECT_FALSE(library.RemoveRecord("a"));
    EXPECT_EQ(library.CountFacesInFolder("F"), 0);
    EXPECT_FALSE(library.FindRecord("a"));
    EXPECT_EQ(library.Size(), 3u);

    EXPECT_EQ(Texts(library, library.RecordsByText()), (std::vector<std::string>{"A", "B2", "c"}));
    EXPECT_EQ(library.SaveFaceList(), "B2\r\nG\r\n\r\nc\r\nH\r\n\r\nA\r\nH\r\n\r\n")
        << "edits stay in place, new records come last";
    auto folders = library.FolderNames();
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"G", "H"})) << "emptied folders are gone";
}

TEST(FaceLibrary, MoveRecordsReportsEveryFolderItEmpties) {
    CFaceLibrary library;
    library.LoadFaceList("a\nF\n\nb\nG\n\nc\nG\n\nd\nH\n\ne\nF\n\n");
    library.RemoveRecord("e");
    const RecordId a = *library.FindRecord("a");
    const RecordId b = *library.FindRecord("b");
    const RecordId d = *library.FindRecord("d");
    const RecordId removed = 4;

    EXPECT_TRUE(library.MoveRecords(std::vector<RecordId>{a, b}, "").empty());
    EXPECT_EQ(library.Folder(a), "F") << "no record goes to an empty folder";

    // d is already in H; a and the removed record change nothing twice.
    const std::vector<RecordId> ids{b, a, d, removed, a};
    EXPECT_EQ(library.MoveRecords(ids, "H"), std::vector<std::string>{"F"});
    EXPECT_EQ(library.CountFacesInFolder("F"), 0);
    EXPECT_EQ(library.CountFacesInFolder("G"), 1);
    EXPECT_EQ(library.CountFacesInFolder("H"), 3);
    EXPECT_FALSE(library.IsLive(removed));

    EXPECT_EQ(library.MoveRecords(std::vector<RecordId>{*library.FindRecord("c"), d}, "h"),
              std::vector<std::string>{"G"})
        << "folders differ by exact bytes";
    EXPECT_EQ(library.SaveFaceList(), "a\r\nH\r\n\r\nb\r\nH\r\n\r\nc\r\nh\r\n\r\nd\r\nh\r\n\r\n");
    auto folders = library.FolderNames();
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"H", "h"}));
}

TEST(FaceLibrary, RecordsByTextFollowsCharacterValueOrder) {
    CFaceLibrary library;
    library.LoadFaceList(Sjis("あ\nF\nｱ\nF\nA\nF\na\nF\n(\nF\n"));
    EXPECT_EQ(Texts(library, library.RecordsByText()),
              (std::vector<std::string>{"(", "A", "a", Sjis("ｱ"), Sjis("あ")}));
}

TEST(FaceLibrary, FoldersAndSearchesInTextOrderFollowEveryChange) {
    CFaceLibrary library;
    library.LoadFaceList("d\r\nF\r\n\r\nb\r\nG\r\n\r\nc\r\nF\r\n\r\na\r\nF\r\n\r\n");
    using Order = CFaceLibrary::Order;
    auto texts = [&](const std::vector<RecordId>& ids) { return Texts(library, ids); };
    EXPECT_EQ(texts(library.RecordsInFolder("F", Order::Text)),
              (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(texts(library.RecordsInFolder("F", Order::Library)),
              (std::vector<std::string>{"d", "c", "a"}));
    EXPECT_EQ(texts(library.RecordsInFolder("", Order::Text)),
              (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(library.RecordsInFolder("none", Order::Text).empty());

    library.AppendRecord("bb", "F");
    library.ReplaceRecord("d", "0", "F");
    library.RemoveRecord("c");
    EXPECT_EQ(texts(library.RecordsInFolder("F", Order::Text)),
              (std::vector<std::string>{"0", "a", "bb"}));
    EXPECT_EQ(texts(library.SearchByText("b", Order::Text)), (std::vector<std::string>{"b", "bb"}));
    EXPECT_EQ(texts(library.SearchByText(" ", Order::Text)),
              (std::vector<std::string>{"0", "a", "b", "bb"}));
}

TEST(TextSearch, TokensAtHalfWidthSpaces) {
    EXPECT_EQ(SplitQuery("  ab  c "), (std::vector<std::string_view>{"ab", "c"}));
    EXPECT_TRUE(SplitQuery("   ").empty());
    const std::string fullWidthSpace = Sjis("a　b");
    EXPECT_EQ(SplitQuery(fullWidthSpace).size(), 1u);
}

TEST(TextSearch, EveryTokenAtACharacterBoundaryAcrossAllFolders) {
    CFaceLibrary library;
    library.LoadFaceList(
        Sjis("(´・ω・｀)\nしょぼん\n(・∀・)\nにこにこ\nソ\\\nその他\n"
             "ノm\nその他\n(^ω^)\nにこにこ\n"));
    auto search = [&](std::string_view utf8) {
        std::vector<std::string> found;
        for (RecordId id : library.SearchByText(Sjis(utf8))) {
            found.push_back(Cp932::ToUtf8(library.Text(id)));
        }
        return found;
    };
    EXPECT_EQ(search("ω ・"), (std::vector<std::string>{"(´・ω・｀)"}));
    EXPECT_EQ(search("・ ω"), search("ω ・")) << "token order does not matter";
    EXPECT_EQ(search("ω   "), (std::vector<std::string>{"(´・ω・｀)", "(^ω^)"}));
    EXPECT_EQ(search("   ").size(), 5u) << "no token lists everything, in library order";
    EXPECT_EQ(search("\\"), (std::vector<std::string>{"ソ\\"})) << "only the real backslash";
    EXPECT_EQ(search("m"), (std::vector<std::string>{"ノm"}));
    EXPECT_TRUE(search("にこ").empty()) << "folders are not searched";
    EXPECT_TRUE(search("ω x").empty());
}

}  // namespace
}  // namespace mopira
