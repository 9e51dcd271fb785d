#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/FolderList.h"

namespace mopira {
namespace {

const std::string kMark = "\xEF\xBB\xBF";

std::string ReadTestData(const char* name) {
    std::ifstream in(std::string(MOPIRA_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Texts(const CFaceLibrary& library, const std::vector<RecordId>& ids) {
    std::vector<std::string> texts;
    for (RecordId id : ids) {
        texts.emplace_back(library.Text(id));
    }
    return texts;
}

TEST(Utf8Library, TheMarkMakesItUtf8AndSavesBackByteIdentically) {
    // Characters CP932 lacks, a combining mark, a stray byte and a NUL.
    const std::string bytes = kMark + "ʕ•ᴥ•ʔ\r\nくま\r\n\r\n(｡•̀ᴗ-)✧\r\nAA\r\n\r\n" +
                              std::string("n\0\xE3\x81\r\n\xFF\r\n\r\n", 11);
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    EXPECT_EQ(library.GetCharset().GetEncoding(), Encoding::Utf8);
    ASSERT_EQ(library.Size(), 3u);
    EXPECT_EQ(library.Text(0), "ʕ•ᴥ•ʔ");
    EXPECT_EQ(library.Text(2), std::string("n\0\xE3\x81", 4)) << "stray bytes are kept";
    EXPECT_EQ(library.Folder(2), "\xFF");
    EXPECT_EQ(library.SaveFaceList(), bytes);

    // LF line ends and blank lines load the same records; the save writes CR LF.
    CFaceLibrary fromLf;
    fromLf.LoadFaceList(kMark + "\nʕ•ᴥ•ʔ\nくま\n\n\n(｡•̀ᴗ-)✧\nAA\n" +
                        std::string("n\0\xE3\x81\n\xFF", 6));
    EXPECT_EQ(fromLf.SaveFaceList(), bytes);
}

TEST(Utf8Library, EmptyAndUnfiledInItsOwnEncoding) {
    CFaceLibrary library;
    library.LoadFaceList(kMark);
    EXPECT_TRUE(library.Empty());
    EXPECT_EQ(library.SaveFaceList(), kMark) << "an empty UTF-8 library stays UTF-8";

    library.LoadFaceList(kMark + "ʕ•ᴥ•ʔ\r\n\r\nくま");
    EXPECT_EQ(library.Folder(0), "未分類");
    EXPECT_EQ(library.Folder(1), "未分類");
    EXPECT_EQ(CFaceLibrary::UnfiledFolderName(library.GetCharset()), "未分類");

    // Without the mark the same bytes are CP932, as they always were.
    library.LoadFaceList(
        "\xEF\xBB"
        "a\r\nF\r\n\r\n");
    EXPECT_EQ(library.GetCharset().GetEncoding(), Encoding::Cp932);
    EXPECT_EQ(library.SaveFaceList(),
              "\xEF\xBB"
              "a\r\nF\r\n\r\n");
}

TEST(Cp932Library, StaysCp932WhenItsFirstTextStartsWithTheBytesOfTheMark) {
    const std::string records = kMark + "a\r\nF\r\n\r\n";
    CFaceLibrary library;
    library.LoadFaceList("\r\n" + records);
    ASSERT_EQ(library.GetCharset().GetEncoding(), Encoding::Cp932);
    const std::string saved = library.SaveFaceList();
    EXPECT_EQ(saved, "\r\n" + records) << "a blank line keeps the mark from leading the file";
    CFaceLibrary reloaded;
    reloaded.LoadFaceList(saved);
    EXPECT_EQ(reloaded.GetCharset().GetEncoding(), Encoding::Cp932);
    EXPECT_EQ(reloaded.Text(0), kMark + "a");
    EXPECT_EQ(reloaded.SaveFaceList(), saved);

    CFaceLibrary appended;
    appended.AppendRecord(kMark, "F");
    EXPECT_EQ(appended.SaveFaceList(), "\r\n" + kMark + "\r\nF\r\n\r\n");
}

TEST(Utf8Library, OrdersByCodePointAndSearchesWholeCharacters) {
    CFaceLibrary library;
    library.LoadFaceList(kMark +
                         "ｱ\nF\nあ\nF\n\xFF\nF\né\nF\nA\nF\n\U0001F600\nF\nа\nF\n"
                         "(o\xCC\x81)\nF\n(ó)\nF\n");
    EXPECT_EQ(Texts(library, library.RecordsByText()),
              (std::vector<std::string>{"(o\xCC\x81)", "(ó)", "A", "é", "а", "あ", "ｱ",
                                        "\U0001F600", "\xFF"}));

    auto search = [&](std::string_view query) {
        return Texts(library, library.SearchByText(query));
    };
    // あ is E3 81 82: its last byte alone, or its tail, is no character of any text.
    EXPECT_TRUE(search("\x82").empty());
    EXPECT_TRUE(search("\x81\x82").empty());
    EXPECT_EQ(search("\xFF"), std::vector<std::string>{"\xFF"}) << "a stray byte finds itself";
    EXPECT_EQ(search("\xCC\x81"), std::vector<std::string>{"(o\xCC\x81)"})
        << "a combining mark is an ordinary character";
    EXPECT_EQ(search("o"), std::vector<std::string>{"(o\xCC\x81)"}) << "no normalisation";
    EXPECT_EQ(search("( )"), (std::vector<std::string>{"(o\xCC\x81)", "(ó)"}));
}

TEST(Utf8Library, FolderListCollatesByItsCharset) {
    const Charset utf8(Encoding::Utf8);
    CFolderList folders({"é", "b", "A", "a", "Ｚ"}, utf8);
    EXPECT_EQ(folders.Names(), (std::vector<std::string>{"A", "a", "b", "é", "Ｚ"}));
    EXPECT_EQ(folders.AddFolderEntry("B"), 2u);
    EXPECT_EQ(folders.IndexOf("é"), 4u);
}

TEST(Utf8Conversion, ConvertsEveryTextAndFolderKeepingIdsOrderAndFolders) {
    CFaceLibrary library;
    library.LoadFaceList(Cp932::FromUtf8Literal(
        "(´・ω・｀)\r\nしょぼん\r\n\r\nゴメン\r\n謝罪\r\n\r\n(ﾟдﾟ)\r\nしょぼん\r\n\r\n"
        "x\r\nAA\r\n\r\n"));
    library.RemoveRecord("x");  // ids of removed records stay taken
    library.AppendRecord(Cp932::FromUtf8Literal("∵"), "AA");
    ASSERT_TRUE(library.ConvertToUtf8().empty());
    EXPECT_EQ(library.GetCharset().GetEncoding(), Encoding::Utf8);
    EXPECT_EQ(library.Text(0), "(´・ω・｀)");
    EXPECT_EQ(library.Folder(2), "しょぼん");
    EXPECT_EQ(library.Text(4), "∵");
    EXPECT_FALSE(library.IsLive(3));
    EXPECT_EQ(library.FindRecord("ゴメン"), 1u);
    EXPECT_EQ(library.CountFacesInFolder("しょぼん"), 2);
    EXPECT_EQ(library.CountFacesInFolder("AA"), 1);
    EXPECT_EQ(library.SaveFaceList(), kMark +
                                          "(´・ω・｀)\r\nしょぼん\r\n\r\nゴメン\r\n謝罪\r\n\r\n"
                                          "(ﾟдﾟ)\r\nしょぼん\r\n\r\n∵\r\nAA\r\n\r\n");
    // The order by text is code point order now (∵ U+2235 before ゴ U+30B4; in CP932 ゴ
    // 0x8353 comes first).
    EXPECT_EQ(Texts(library, library.RecordsByText()),
              (std::vector<std::string>{"(´・ω・｀)", "(ﾟдﾟ)", "∵", "ゴメン"}));
    EXPECT_EQ(Texts(library, library.SearchByText("・ ω")), std::vector<std::string>{"(´・ω・｀)"});
    EXPECT_TRUE(library.ConvertToUtf8().empty()) << "a UTF-8 library stays as it is";
}

TEST(Utf8Conversion, RefusesWholeWhenATextOrFolderCannotBeReadOrWouldClash) {
    const std::string because = Cp932::FromUtf8Literal("∵");  // 0x81E6
    const std::string becauseNec = "\x87\x9A";                // the same character
    const std::string bytes = "ok\r\nF\r\n\r\nbad\x85\x40\r\nF\r\n\r\n" + because +
                              "\r\nF\r\n\r\n" + becauseNec + "\r\nG\r\n\r\nin\r\nF\x81\r\n\r\n" +
                              "a\r\n" + because + "\r\n\r\nb\r\n" + becauseNec + "\r\n\r\n";
    CFaceLibrary library;
    library.LoadFaceList(bytes);
    library.RecordsByText();
    using P = ConversionProblem;
    const std::vector<ConversionRefusal> expected = {{1, P::InvalidText}, {2, P::SameText},
                                                     {3, P::SameText},    {4, P::InvalidFolder},
                                                     {5, P::SameFolder},  {6, P::SameFolder}};
    EXPECT_EQ(library.ConvertToUtf8(), expected);
    EXPECT_EQ(library.GetCharset().GetEncoding(), Encoding::Cp932);
    EXPECT_EQ(library.SaveFaceList(), bytes) << "nothing changed";
    EXPECT_EQ(library.FindRecord(becauseNec), 3u);
    EXPECT_EQ(library.RecordsByText().size(), 7u);
}

// Every character that CP932 gives several codes, stored with each of its codes, is found by
// a copy of itself that went through Unicode, as typing or pasting it does.
TEST(Cp932Search, FindsEachCodeOfARepeatedCharacterByItsUnicodeValue) {
    int repeated = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC && (lead < 0xA0 || lead >= 0xE0); ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string unicode = Cp932::ToUtf16(code);
            const EncodeResult typed = Cp932::FromUtf16(unicode);
            if (unicode == u"\uFFFD" || typed.bytes == code) {
                continue;
            }
            ++repeated;
            ASSERT_EQ(typed.bytes.size(), 2u) << "the preferred code is two bytes too";
            // ソ before the code ends in 0x5C, which a match must not start at.
            const std::string text = "(\x83\x5C" + code + ")";
            CFaceLibrary library;
            library.LoadFaceList(text + "\r\nF\r\n\r\n" + typed.bytes + "\r\nF\r\n\r\n");
            ASSERT_EQ(library.Size(), 2u) << "equality stays byte-exact";
            EXPECT_EQ(library.SearchByText(Cp932::FromUtf16(Cp932::ToUtf16(text)).bytes).size(), 1u)
                << std::hex << lead << trail;
            EXPECT_EQ(library.SearchByText(typed.bytes).size(), 2u) << std::hex << lead << trail;
            EXPECT_EQ(library.SearchByText(code).size(), 2u) << "either code finds both";
            if (!Cp932::IsLeadByte(static_cast<unsigned char>(trail))) {
                EXPECT_TRUE(library.SearchByText(code.substr(1)).empty())
                    << "boundaries still hold " << std::hex << lead << trail;
            }
        }
    }
    EXPECT_GT(repeated, 300);
}

TEST(Cp932Search, EveryEmoticonOfARealLibraryIsFoundByItsOwnCopy) {
    CFaceLibrary library;
    library.LoadFaceList(ReadTestData("FaceList.dat"));
    ASSERT_EQ(library.Size(), 715u);
    library.ForEachRecord([&](RecordId id) {
        const std::string copy = Cp932::FromUtf16(Cp932::ToUtf16(library.Text(id))).bytes;
        // Spaces split the query, so each piece of the copy is searched.
        const std::vector<RecordId> found = library.SearchByText(copy);
        EXPECT_NE(std::find(found.begin(), found.end(), id), found.end())
            << Cp932::ToUtf8(library.Text(id));
    });
}

}  // namespace
}  // namespace mopira
