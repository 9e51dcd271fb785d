#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Kaomojikan.h"
#include "core/library/DictionaryExport.h"
#include "core/text/KanaFold.h"
#include "core/text/LineReader.h"

namespace mopira {
namespace {

// A reading and the emoticon an input method offers for it, both UTF-8.
using Pair = std::pair<std::string, std::string>;

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// Mozc's import of its own format: the mark dropped, lines ended by CR or LF, # comments,
// reading, word, part of speech and comment between TABs, each field at most 300 bytes.
std::vector<Pair> ReadMozc(std::string_view bytes) {
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    bytes.remove_prefix(3);
    std::vector<Pair> pairs;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        end = end == std::string_view::npos ? bytes.size() : end;
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::vector<std::string_view> fields = SplitTabs(line);
        EXPECT_EQ(fields.size(), 4u) << line;
        EXPECT_EQ(fields[2], "顔文字");
        for (std::string_view field : fields) {
            EXPECT_LE(field.size(), 300u);
            EXPECT_TRUE(Utf8::IsValid(field));
        }
        EXPECT_TRUE(kana::IsReading(fields[0])) << fields[0];
        pairs.emplace_back(fields[0], fields[1]);
    }
    return pairs;
}

// Microsoft IME's word list: UTF-16LE after its mark, CR LF line ends, the tool's header,
// ! lines skipped, reading, word and part of speech between TABs, at most 60 characters.
std::vector<Pair> ReadMsIme(std::string_view bytes) {
    EXPECT_TRUE(bytes.starts_with("\xFF\xFE"));
    EXPECT_EQ(bytes.size() % 2, 0u);
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::string text = Utf8::FromUtf16(units).bytes;
    EXPECT_TRUE(
        text.starts_with("!Microsoft IME Dictionary Tool\r\n!Version:\r\n"
                         "!Format:WORDLIST\r\n"));
    std::vector<Pair> pairs;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string_view line = std::string_view(text).substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
        if (line.empty() || line.front() == '!') {
            continue;
        }
        const std::vector<std::string_view> fields = SplitTabs(line);
        EXPECT_EQ(fields.size(), 3u) << line;
        EXPECT_EQ(fields[2], "顔文字");
        EXPECT_LE(Utf8::ToUtf16(fields[0]).size(), 60u);
        EXPECT_LE(Utf8::ToUtf16(fields[1]).size(), 60u);
        pairs.emplace_back(fields[0], fields[1]);
    }
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    return pairs;
}

// fcitx5 QuickPhrase: each line trimmed, the key up to the first white space, the phrase
// after the white space that follows; a phrase ending in a quote is quoted; \\ and \n (and
// \" when quoted) are escapes, any other backslash breaks the phrase. Keys are romaji, read
// back into the reading they stand for.
std::vector<Pair> ReadQuickPhrase(std::string_view bytes) {
    constexpr std::string_view kWhite = " \t\r\n\v\f";
    std::vector<Pair> pairs;
    CLineReader reader(bytes);
    std::string_view line;
    while (reader.Next(line)) {
        const std::size_t first = line.find_first_not_of(kWhite);
        if (first == std::string_view::npos) {
            continue;
        }
        line = line.substr(first, line.find_last_not_of(kWhite) - first + 1);
        EXPECT_TRUE(Utf8::IsValid(line));
        const std::size_t space = line.find_first_of(kWhite);
        const std::size_t word = line.find_first_not_of(kWhite, space);
        EXPECT_NE(word, std::string_view::npos) << line;
        std::string_view phrase = line.substr(word);
        const bool quoted = phrase.size() >= 2 && phrase.front() == '"' && phrase.back() == '"';
        EXPECT_TRUE(quoted || phrase.back() != '"') << "fcitx skips " << line;
        if (quoted) {
            phrase = phrase.substr(1, phrase.size() - 2);
        }
        std::string text;
        for (std::size_t i = 0; i < phrase.size(); ++i) {
            if (phrase[i] != '\\') {
                text += phrase[i];
                continue;
            }
            const char next = i + 1 < phrase.size() ? phrase[++i] : '\0';
            EXPECT_TRUE(next == '\\' || next == 'n' || (quoted && next == '"')) << line;
            text += next == 'n' ? '\n' : next;
        }
        const std::string key(line.substr(0, space));
        EXPECT_TRUE(std::all_of(key.begin(), key.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || c == '-';
        })) << key;
        const kana::RomajiReading reading = kana::ConvertRomaji(key);
        EXPECT_EQ(reading.pending, "") << key;
        pairs.emplace_back(reading.kana, text);
    }
    return pairs;
}

// An SKK dictionary: the coding line, okuri-nasi entries in ascending order of their
// readings, "reading /candidate/.../"; a candidate (concat "...") is the Lisp string it
// holds, whose \NNN, \" and \\ are escapes; any other candidate is itself and holds no '/'
// or ';', does not start with '[' and is no Lisp call SKK would evaluate.
std::vector<Pair> ReadSkk(std::string_view bytes) {
    EXPECT_TRUE(bytes.starts_with(";; -*- coding: utf-8 -*-\n"));
    const std::size_t section = bytes.find(";; okuri-nasi entries.\n");
    EXPECT_NE(section, std::string_view::npos);
    std::vector<Pair> pairs;
    std::string previous;
    CLineReader reader(bytes.substr(section + 23));
    std::string_view line;
    while (reader.Next(line)) {
        const std::size_t space = line.find(" /");
        EXPECT_NE(space, std::string_view::npos) << line;
        EXPECT_TRUE(line.ends_with("/"));
        const std::string reading(line.substr(0, space));
        EXPECT_LT(previous, reading) << "okuri-nasi readings ascend";
        previous = reading;
        std::string_view rest = line.substr(space + 2);
        while (!rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string_view candidate = rest.substr(0, slash);
            rest.remove_prefix(slash + 1);
            if (!candidate.starts_with("(concat \"")) {
                EXPECT_EQ(candidate.find(';'), std::string_view::npos);
                EXPECT_FALSE(candidate.starts_with("["));
                EXPECT_FALSE(candidate.starts_with("(") && candidate.ends_with(")") &&
                             static_cast<unsigned char>(candidate[1]) < 0x80);
                pairs.emplace_back(reading, candidate);
                continue;
            }
            EXPECT_TRUE(candidate.ends_with("\")")) << candidate;
            const std::string_view body = candidate.substr(9, candidate.size() - 11);
            std::string text;
            for (std::size_t i = 0; i < body.size(); ++i) {
                if (body[i] != '\\') {
                    EXPECT_NE(body[i], '"') << candidate;
                    text += body[i];
                } else if (body[i + 1] >= '0' && body[i + 1] <= '7') {
                    text += static_cast<char>(
                        std::stoi(std::string(body.substr(i + 1, 3)), nullptr, 8));
                    i += 3;
                } else {
                    text += body[++i];
                }
            }
            pairs.emplace_back(reading, text);
        }
    }
    return pairs;
}

const std::string kLongText(301, 'w');

// The real library, and faces that hold what each format must escape or cannot hold.
struct Fixture {
    CFaceLibrary library;
    CKeywordTable table;

    Fixture() {
        library.LoadFaceList(KaomojikanFaceList());
        table = KaomojikanTable(library.GetCharset());
        const std::string folder = Cp932::FromUtf8Literal("泣く");
        for (std::string_view text : std::initializer_list<std::string_view>{
                 "\\(^o^)/", "a/b;c", "\"quoted\"", "\"", " lead", "trail ", "(+)",
                 "(concat \"x\")", "[x]", "back\\slash\\", "tab\there", "cr\rhere", "x\\ny",
                 std::string_view(kLongText), "\x81"}) {  // the last a lone lead byte: no character
            EXPECT_TRUE(library.AppendRecord(text, folder).has_value()) << text;
        }
        // A folder without a reading.
        EXPECT_TRUE(library.AppendRecord("unread(^_^)", "no reading").has_value());
        EXPECT_TRUE(library.AppendRecord("sleepy(-_-)", "no reading").has_value());
        // Three forms of one reading, written once, and a word that is no reading.
        table.SetFaceKeywords("sleepy(-_-)", {"cry", "ネムイ", "ねむい", "ﾈﾑｲ"});
    }

    // Every reading of every face the library can write at all.
    std::multiset<Pair> AllPairs() const {
        std::multiset<Pair> pairs;
        const Charset charset = library.GetCharset();
        library.ForEachRecord([&](RecordId id) {
            const std::string_view text = library.Text(id);
            if (!charset.IsValid(text)) {
                return;
            }
            std::set<std::string> readings;
            const std::string_view folderReading = table.FolderReading(library.Folder(id));
            if (!folderReading.empty()) {
                readings.emplace(folderReading);
            }
            for (const std::string& keyword : table.FaceKeywords(text)) {
                if (kana::IsReading(kana::FoldForMatch(keyword))) {
                    readings.insert(kana::FoldForMatch(keyword));
                }
            }
            for (const std::string& reading : readings) {
                pairs.emplace(reading, charset.ToUtf8(text));
            }
        });
        return pairs;
    }

    std::string TextOf(RecordId id) const { return library.GetCharset().ToUtf8(library.Text(id)); }
};

// Each file read back by its format's rules holds every face under every reading, as it is,
// except what the summary names; what it names is what the format cannot hold.
TEST(ExportDictionary, EveryFaceComesBackAsWrittenOrIsNamed) {
    const Fixture fixture;
    const std::multiset<Pair> all = fixture.AllPairs();
    ASSERT_GT(all.size(), 715u);
    struct Case {
        DictionaryFormat format;
        std::vector<Pair> (*read)(std::string_view);
        std::set<std::string> omitted;  // faces left out besides the lone byte and unread(^_^)
    };
    const std::vector<Case> cases = {
        {DictionaryFormat::Mozc, ReadMozc, {"tab\there", "cr\rhere", kLongText}},
        {DictionaryFormat::MsIme, ReadMsIme, {"tab\there", "cr\rhere", kLongText}},
        {DictionaryFormat::QuickPhrase, ReadQuickPhrase, {}},
        {DictionaryFormat::Skk, ReadSkk, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(DictionaryFormatName(c.format)));
        const DictionaryExport exported =
            ExportDictionary(fixture.library, fixture.table, c.format);
        const std::vector<Pair> read = c.read(exported.bytes);
        EXPECT_EQ(read.size(), exported.entries);

        std::multiset<Pair> expected;
        std::set<std::string> omittedFaces;
        std::multiset<Pair> omittedPairs;
        for (const DictionaryOmission& omission : exported.omitted) {
            if (omission.reading.empty()) {
                omittedFaces.insert(fixture.TextOf(omission.id));
            } else {
                omittedPairs.emplace(omission.reading, fixture.TextOf(omission.id));
            }
        }
        for (const Pair& pair : all) {
            if (!omittedFaces.contains(pair.second) && !omittedPairs.contains(pair)) {
                expected.insert(pair);
            }
        }
        EXPECT_EQ(std::multiset<Pair>(read.begin(), read.end()), expected);

        std::set<std::string> expectedOmitted = c.omitted;
        expectedOmitted.insert({"unread(^_^)", fixture.library.GetCharset().ToUtf8("\x81")});
        // Microsoft IME takes words of 60 characters; some of the real faces are longer.
        if (c.format == DictionaryFormat::MsIme) {
            for (const Pair& pair : all) {
                if (Utf8::ToUtf16(pair.second).size() > 60) {
                    expectedOmitted.insert(pair.second);
                }
            }
        }
        EXPECT_EQ(omittedFaces, expectedOmitted);
        EXPECT_TRUE(omittedPairs.empty());
    }
}

TEST(ExportDictionary, NamesItsFormats) {
    for (DictionaryFormat format : {DictionaryFormat::Mozc, DictionaryFormat::MsIme,
                                    DictionaryFormat::QuickPhrase, DictionaryFormat::Skk}) {
        EXPECT_EQ(ParseDictionaryFormat(DictionaryFormatName(format)), format);
    }
    EXPECT_FALSE(ParseDictionaryFormat("MOZC").has_value());
    EXPECT_FALSE(ParseDictionaryFormat("atok").has_value());
    EXPECT_FALSE(ParseDictionaryFormat("").has_value());
}

// SKK's own tool merges and sorts dictionaries: what it makes of the file must be the file.
TEST(ExportDictionary, SkkToolsReadTheSkkFileAsItIs) {
    if (std::system("command -v skkdic-expr2 >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "skkdic-expr2 (Debian package skktools) is not installed";
    }
    const Fixture fixture;
    const DictionaryExport exported =
        ExportDictionary(fixture.library, fixture.table, DictionaryFormat::Skk);
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::filesystem::path in = dir / "mopira-test-skk.jisyo";
    const std::filesystem::path out = dir / "mopira-test-skk.out";
    std::ofstream(in, std::ios::binary) << exported.bytes;
    const std::string command = "skkdic-expr2 -o '" + out.string() + "' '" + in.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream result(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(result)),
                            std::istreambuf_iterator<char>());
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    const std::string_view section = ";; okuri-nasi entries.\n";
    ASSERT_NE(bytes.find(section), std::string::npos) << bytes;
    EXPECT_EQ(bytes.substr(bytes.find(section)),
              exported.bytes.substr(exported.bytes.find(section)));
}

}  // namespace
}  // namespace mopira
