#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/library/TextExchange.h"
#include "core/text/LineReader.h"

namespace mopira {
namespace {

// Text and folder of each record, in library order.
using Entry = std::pair<std::string, std::string>;

std::vector<Entry> Entries(const CFaceLibrary& library) {
    std::vector<Entry> entries;
    for (RecordId id : library.Records()) {
        entries.emplace_back(library.Text(id), library.Folder(id));
    }
    return entries;
}

CFaceLibrary& EmptyUtf8Library(CFaceLibrary& library) {
    library.LoadFaceList("\xEF\xBB\xBF");
    return library;
}

TEST(Import, TheWholeKaomojikanListGoesIntoAUtf8Library) {
    std::ifstream in(std::string(MOPIRA_TEST_DATA_DIR) + "/all-utf8.tsv", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // What it must give: every distinct text with the category of its first line.
    std::vector<Entry> expected;
    std::unordered_set<std::string> seen;
    CLineReader reader(bytes);
    std::string_view line;
    reader.Next(line);
    ASSERT_EQ(line, "text\tcategory");
    while (reader.Next(line)) {
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string_view::npos);
        if (seen.emplace(line.substr(0, tab)).second) {
            expected.push_back(
                {std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))});
        }
    }
    ASSERT_GT(expected.size(), 1600u);

    CFaceLibrary library;
    ASSERT_TRUE(library.ConvertToUtf8().empty()) << "an empty CP932 library becomes UTF-8";
    const ImportSummary summary = ApplyImport(library, ParseImport(bytes, "x"));
    EXPECT_TRUE(summary.refused.empty());
    EXPECT_EQ(summary.added.size(), expected.size());
    EXPECT_EQ(summary.alreadyThere.size(), 1761 - expected.size());
    EXPECT_EQ(Entries(library), expected);
    EXPECT_TRUE(library.SaveFaceList().starts_with("\xEF\xBB\xBF"));
}

TEST(Import, ReadsUtf8WithOrWithoutTheMarkElseCp932) {
    struct Case {
        std::string bytes;
        Encoding encoding;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBFtext\tcategory\r\nあ\tF\r\n\r\nい\r\n", Encoding::Utf8},
        {"あ\tF\nい", Encoding::Utf8},
        {Cp932::FromUtf8Literal("text\tcategory\nあ\tF\n\nい\n"), Encoding::Cp932},
    };
    for (const Case& c : cases) {
        const ImportFile file = ParseImport(c.bytes, "D");
        EXPECT_EQ(file.encoding, c.encoding);
        ASSERT_EQ(file.lines.size(), 2u);
        EXPECT_EQ(file.lines[0].text, "あ");
        EXPECT_EQ(file.lines[0].folder, "F");
        EXPECT_EQ(file.lines[1].text, "い");
        EXPECT_EQ(file.lines[1].folder, "D") << "a line without a TAB gets the given folder";
        EXPECT_FALSE(file.lines[1].invalidBytes);
    }
    const ImportFile headerLater = ParseImport("a\ntext\tcategory\n", "D");
    ASSERT_EQ(headerLater.lines.size(), 2u) << "only a first line is a header";
    EXPECT_EQ(headerLater.lines[1].line, 2u);
}

TEST(Import, RefusesWhatTheLibraryCannotHoldAndSkipsWhatItHas) {
    CFaceLibrary library;
    library.LoadFaceList(Cp932::FromUtf8Literal("(^_^)\r\n笑顔\r\n\r\n"));
    const std::string bytes = std::string("\xEF\xBB\xBF") +
                              "(^_^)\tF\n"       // 1: in the library
                              "(＾ω＾)\t笑顔\n"  // 2
                              "(＾ω＾)\tG\n"     // 3: an earlier line's
                              "ʕ•ᴥ•ʔ\tくま\n"    // 4: CP932 lacks ʕ • ᴥ ʔ
                              "(´・ω・)\tᴥ\n"    // 5: and the folder's ᴥ
                              "\tF\n"            // 6: no text
                              "(-_-)\t\n"        // 7: an empty folder
                              "a\x01"
                              "b\tF\r\r\n"               // 8: SOH, and a CR the line end leaves
                              "(o_o)\tF\tG\n"            // 9: a TAB in the folder
                              "\xE3\x81\n"               // 10: a sequence cut short
                              "(*_*)\tすべての顔文字\n"  // 11
                              "〜\n";                    // 12: stored as CP932 writes ～
    const ImportSummary summary =
        ApplyImport(library, ParseImport(bytes, "既定"), "すべての顔文字");
    using P = ImportProblem;
    const std::vector<ImportRefusal> refused = {
        {4, P::UnrepresentableText, U"ʕ•ᴥʔ"},
        {5, P::UnrepresentableFolder, U"ᴥ"},
        {6, P::EmptyText, U""},
        {7, P::EmptyFolder, U""},
        {8, P::ControlCharacter, U"\x01\r"},
        {9, P::ControlCharacter, U"\t"},
        {10, P::InvalidBytes, U""},
        {11, P::ReservedFolder, U""},
    };
    EXPECT_EQ(summary.refused, refused);
    EXPECT_EQ(summary.alreadyThere, (std::vector<std::size_t>{1, 3}));
    ASSERT_EQ(summary.added.size(), 2u);
    EXPECT_EQ(library.Text(summary.added[0]), Cp932::FromUtf8Literal("(＾ω＾)"));
    EXPECT_EQ(library.Folder(summary.added[0]), Cp932::FromUtf8Literal("笑顔"));
    EXPECT_EQ(library.Text(summary.added[1]), Cp932::FromUtf8Literal("～"));
    EXPECT_EQ(library.Folder(summary.added[1]), Cp932::FromUtf8Literal("既定"));
}

TEST(Import, LinesWithoutAFolderWaitToBeFiledAndUtf8IsAskedOnlyWhenItHelps) {
    ImportFile file = ParseImport("a\tF\nb\n\xCA\x95\xE2\x80\xA2\n", kUnfiledFolder);
    ASSERT_EQ(file.lines.size(), 3u);
    EXPECT_TRUE(HasUnfiledLines(file));
    FileUnfiledLines(file, "G");
    EXPECT_FALSE(HasUnfiledLines(file));
    EXPECT_EQ(file.lines[0].folder, "F");
    EXPECT_EQ(file.lines[1].folder, "G");
    // ʕ• needs UTF-8 in a CP932 library; the other lines do not.
    EXPECT_TRUE(ImportNeedsUtf8(file, Charset()));
    EXPECT_FALSE(ImportNeedsUtf8(file, Charset(Encoding::Utf8)));
    file.lines.pop_back();
    EXPECT_FALSE(ImportNeedsUtf8(file, Charset()));
}

TEST(Export, WritesTheHeaderThenOneLinePerRecordInUtf8) {
    CFaceLibrary library;
    library.LoadFaceList(Cp932::FromUtf8Literal("(^_^)\r\n笑顔\r\n\r\nｷﾀ━\r\nAA\r\n\r\n"));
    const std::vector<RecordId> ids = {1, 0, 7};
    const ExportResult result = ExportRecords(library, ids);
    EXPECT_EQ(result.bytes, "text\tcategory\nｷﾀ━\tAA\n(^_^)\t笑顔\n");
    EXPECT_TRUE(result.skipped.empty());
}

// A text with a TAB would come back cut at the TAB with the rest in its folder, and bytes
// that are no character would come back as U+FFFD: such records are left out and reported.
TEST(Export, ReportsTheRecordsAnImportCouldNotGiveBack) {
    CFaceLibrary library;
    EmptyUtf8Library(library);
    library.AppendRecord("a\tb", "F");
    library.AppendRecord("ok", "F");
    library.AppendRecord("c", "G\tH");
    library.AppendRecord("d\xFF", "F");
    library.AppendRecord("e", "\xE3\x81");
    library.AppendRecord("f\rg", "F");
    const ExportResult result = ExportRecords(library, library.Records());
    EXPECT_EQ(result.skipped, (std::vector<RecordId>{0, 2, 3, 4, 5}));
    EXPECT_EQ(result.bytes, "text\tcategory\nok\tF\n");
}

// Random libraries of both encodings, stray bytes and control characters included: what is
// exported imports into an empty library of the same encoding as the same records, and
// exactly the records reported are missing.
TEST(Export, ImportOfAnExportGivesBackTheSameRecords) {
    std::mt19937 random(61);
    const std::vector<std::string> utf8Pieces = {
        "(", ")", "ω", "ʕ", "ᴥ", "\xCC\x80", "ｷ", " ", "a", "\t", "\xFF", "\xE3\x81", "\x01", "\\"};
    const std::vector<std::string> cp932Pieces = {"(", ")",  "\x83\xD6", "\x83\x5C", "\xB7", " ",
                                                  "a", "\t", "\x85\x40", "\x81",     "\x01", "\\"};
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Cp932}) {
        const auto& pieces = encoding == Encoding::Utf8 ? utf8Pieces : cp932Pieces;
        auto randomText = [&] {
            std::string text;
            const int length = 1 + static_cast<int>(random() % 5);
            for (int i = 0; i < length; ++i) {
                text += pieces[random() % pieces.size()];
            }
            return text;
        };
        for (int round = 0; round < 200; ++round) {
            CFaceLibrary library;
            if (encoding == Encoding::Utf8) {
                EmptyUtf8Library(library);
            }
            for (int i = 0; i < 20; ++i) {
                library.AppendRecord(randomText(), randomText());
            }
            const ExportResult exported = ExportRecords(library, library.Records());
            std::vector<Entry> expected;
            library.ForEachRecord([&](RecordId id) {
                if (std::find(exported.skipped.begin(), exported.skipped.end(), id) ==
                    exported.skipped.end()) {
                    expected.emplace_back(library.Text(id), library.Folder(id));
                }
            });

            CFaceLibrary imported;
            if (encoding == Encoding::Utf8) {
                EmptyUtf8Library(imported);
            }
            const ImportSummary summary = ApplyImport(imported, ParseImport(exported.bytes, "-"));
            ASSERT_TRUE(summary.refused.empty());
            ASSERT_TRUE(summary.alreadyThere.empty());
            ASSERT_EQ(Entries(imported), expected) << testing::PrintToString(exported.bytes);
            ASSERT_EQ(exported.skipped.size() + expected.size(), library.Size());
        }
    }
}

}  // namespace
}  // namespace mopira
