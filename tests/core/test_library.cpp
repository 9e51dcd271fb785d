#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "RandomText.h"
#include "ReferenceText.h"
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

// Equality of byte strings that may be megabytes long: a failure names the sizes and the first
// difference with a few bytes of each side, instead of printing both strings whole.
testing::AssertionResult SameBytes(std::string_view actual, std::string_view expected) {
    if (actual == expected) {
        return testing::AssertionSuccess();
    }
    const std::size_t shorter = std::min(actual.size(), expected.size());
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.begin() + static_cast<std::ptrdiff_t>(shorter),
                      expected.begin())
            .first -
        actual.begin());
    return testing::AssertionFailure()
           << "sizes " << actual.size() << " and " << expected.size()
           << ", first difference at byte " << at << ": "
           << testing::PrintToString(std::string(actual.substr(at, 16))) << " instead of "
           << testing::PrintToString(std::string(expected.substr(at, 16)));
}

std::vector<Entry> Entries(const CFaceLibrary& library) {
    std::vector<Entry> entries;
    library.ForEachRecord([&](RecordId id) {
        entries.push_back({std::string(library.Text(id)), library.Folder(id)});
    });
    return entries;
}

std::vector<std::string> Texts(const CFaceLibrary& library, const std::vector<RecordId>& ids) {
    std::vector<std::string> texts;
    for (RecordId id : ids) {
        texts.emplace_back(library.Text(id));
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
    EXPECT_TRUE(SameBytes(library.Text(0), longText));
    EXPECT_EQ(library.CountFacesInFolder("G0"), 1000000 / 7 + 1);
    EXPECT_TRUE(SameBytes(library.SaveFaceList(), bytes));
}

// What the library should hold, kept the plain way: every record ever added, in library
// order, with its folder and whether it is still there.
class CLibraryModel {
public:
    struct Record {
        std::string text;
        std::string folder;
        bool live = true;
    };

    std::vector<Record> records;

    std::optional<RecordId> Find(std::string_view text) const {
        for (RecordId id = 0; id < records.size(); ++id) {
            if (records[id].live && records[id].text == text) {
                return id;
            }
        }
        return std::nullopt;
    }
    std::vector<Entry> Entries() const {
        std::vector<Entry> entries;
        for (const Record& record : records) {
            if (record.live) {
                entries.push_back({record.text, record.folder});
            }
        }
        return entries;
    }
    bool IsLive(RecordId id) const { return id < records.size() && records[id].live; }
    int Count(std::string_view folder) const {
        return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const Record& r) {
            return r.live && r.folder == folder;
        }));
    }
    std::vector<RecordId> Where(auto keep) const {
        std::vector<RecordId> ids;
        for (RecordId id = 0; id < records.size(); ++id) {
            if (records[id].live && keep(records[id])) {
                ids.push_back(id);
            }
        }
        return ids;
    }
    std::vector<RecordId> Live() const {
        return Where([](const Record&) { return true; });
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (RecordId id : Live()) {
            names.push_back(records[id].folder);
        }
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        return names;
    }
    std::vector<RecordId> ByText(const std::vector<RecordId>& ids) const {
        std::vector<std::pair<std::vector<unsigned>, RecordId>> keyed;
        for (RecordId id : ids) {
            keyed.emplace_back(reference::CharValues(records[id].text), id);
        }
        std::sort(keyed.begin(), keyed.end());
        std::vector<RecordId> sorted;
        for (const auto& [values, id] : keyed) {
            sorted.push_back(id);
        }
        return sorted;
    }
    // As a list sorted by its folder column: records of one folder keep their order.
    std::vector<RecordId> ByFolder(std::vector<RecordId> ids, bool ascending) const {
        std::stable_sort(ids.begin(), ids.end(), [&](RecordId a, RecordId b) {
            const auto x = reference::CharValues(records[a].folder);
            const auto y = reference::CharValues(records[b].folder);
            return ascending ? x < y : y < x;
        });
        return ids;
    }
    // Moves one record after another, as a user's selection is moved, and lists each
    // folder when its last record leaves.
    std::vector<std::string> Move(const std::vector<RecordId>& ids, const std::string& folder) {
        std::vector<std::string> emptied;
        for (RecordId id : ids) {
            if (folder.empty() || !IsLive(id) || records[id].folder == folder) {
                continue;
            }
            const std::string old = records[id].folder;
            records[id].folder = folder;
            if (Count(old) == 0) {
                emptied.push_back(old);
            }
        }
        return emptied;
    }
};

// Random sequences of every change, with the order by text asked for in between so that it
// is kept up to date as well as rebuilt, held against the plain model after each step.
TEST(FaceLibrary, AgreesWithAPlainModelOverRandomChanges) {
    const std::vector<std::string> pieces = {"a",       "A",        "(",        "\\",
                                             Sjis("ｱ"), Sjis("あ"), Sjis("ソ"), Sjis("ω")};
    // Many folders for few records, so that folders often hold a single record.
    const std::vector<std::string> folders = {"F",  "f",        "G",          "g",        "H",
                                              "FF", Sjis("顔"), Sjis("かお"), Sjis("ｶｵ"), ""};
    std::mt19937 random(2024);
    std::vector<std::string> texts;  // every text the steps use, the empty one included
    for (int i = 0; i < 150; ++i) {
        texts.push_back(RandomText(random, pieces, 3));
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    auto anyText = [&] { return texts[random() % texts.size()]; };
    auto anyFolder = [&] { return folders[random() % folders.size()]; };

    CLibraryModel model;
    std::string file;
    for (const std::string& text : texts) {
        if (!text.empty() && random() % 4 == 0) {
            const std::string folder = folders[random() % (folders.size() - 1)];
            model.records.push_back({text, folder});
            file += text + "\r\n" + folder + "\r\n\r\n";
        }
    }
    CFaceLibrary library;
    library.LoadFaceList(file);
    using Order = CFaceLibrary::Order;

    for (int step = 0; step < 6000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const std::string text = anyText();
        const std::string folder = anyFolder();
        switch (random() % 7) {
            case 0: {
                const bool valid = !text.empty() && !folder.empty() && !model.Find(text);
                const auto id = library.AppendRecord(text, folder);
                ASSERT_EQ(id.has_value(), valid) << Cp932::ToUtf8(text);
                if (valid) {
                    ASSERT_EQ(*id, model.records.size());
                    model.records.push_back({text, folder});
                }
                break;
            }
            case 1: {
                const auto id = model.Find(text);
                ASSERT_EQ(library.RemoveRecord(text), id.has_value());
                if (id) {
                    model.records[*id].live = false;
                }
                break;
            }
            case 2: {
                const std::string newText = anyText();
                const auto id = model.Find(text);
                const auto clash = model.Find(newText);
                const bool valid =
                    id && !newText.empty() && !folder.empty() && (!clash || clash == id);
                ASSERT_EQ(library.ReplaceRecord(text, newText, folder), valid);
                if (valid) {
                    model.records[*id].text = newText;
                    model.records[*id].folder = folder;
                }
                break;
            }
            case 3: {
                const auto id = model.Find(text);
                const bool valid = id && !folder.empty();
                ASSERT_EQ(library.SetRecordFolder(text, folder), valid);
                if (valid) {
                    model.records[*id].folder = folder;
                }
                break;
            }
            case 4: {
                // Often the whole folder the records go to, with removed and repeated ids.
                std::vector<RecordId> ids;
                if (random() % 2 == 0) {
                    ids = model.Where([&](const auto& r) { return r.folder == folder; });
                }
                for (int n = static_cast<int>(random() % 6); n > 0; --n) {
                    ids.push_back(static_cast<RecordId>(random() % (model.records.size() + 2)));
                }
                std::shuffle(ids.begin(), ids.end(), random);
                ASSERT_EQ(library.MoveRecords(ids, folder), model.Move(ids, folder));
                break;
            }
            case 5:
                ASSERT_EQ(library.RecordsByText(), model.ByText(model.Live()));
                break;
            default: {
                ASSERT_EQ(library.RecordsInFolder(folder, Order::Text),
                          model.ByText(model.Where([&](const auto& r) {
                              return folder.empty() || r.folder == folder;
                          })));
                // A list's rows, all or a few, in any order, sorted by a column.
                std::vector<RecordId> rows = model.Live();
                std::shuffle(rows.begin(), rows.end(), random);
                if (random() % 2 == 0) {
                    rows.resize(random() % (rows.size() + 1));
                }
                const bool ascending = random() % 2 == 0;
                std::vector<RecordId> expected = model.ByText(rows);
                if (!ascending) {
                    std::reverse(expected.begin(), expected.end());
                }
                std::vector<RecordId> sorted = rows;
                library.SortRecordsByText(sorted, ascending);
                ASSERT_EQ(sorted, expected);
                sorted = rows;
                library.SortRecordsByFolder(sorted, ascending);
                ASSERT_EQ(sorted, model.ByFolder(rows, ascending));
                const std::string token = RandomText(random, pieces, 1);
                ASSERT_EQ(library.SearchByText(token, Order::Text),
                          model.ByText(model.Where([&](const auto& r) {
                              return reference::Find(r.text, token) != std::string_view::npos;
                          })));
                break;
            }
        }

        const std::vector<Entry> entries = model.Entries();
        ASSERT_EQ(library.Size(), entries.size());
        std::map<std::string, RecordId> liveIds;
        for (RecordId id : model.Live()) {
            liveIds.emplace(model.records[id].text, id);
        }
        for (const std::string& each : texts) {
            const auto found = liveIds.find(each);
            ASSERT_EQ(library.FindRecord(each),
                      found == liveIds.end() ? std::nullopt : std::optional(found->second))
                << Cp932::ToUtf8(each);
        }
        for (const std::string& each : folders) {
            ASSERT_EQ(library.CountFacesInFolder(each), model.Count(each)) << Cp932::ToUtf8(each);
        }
        for (RecordId id = 0; id < model.records.size(); ++id) {
            ASSERT_EQ(library.IsLive(id), model.records[id].live) << id;
        }
        ASSERT_EQ(Entries(library), entries);
        std::vector<std::string> folderNames = library.FolderNames();
        std::sort(folderNames.begin(), folderNames.end());
        ASSERT_EQ(folderNames, model.FolderNames());
        if (step % 500 == 0) {
            CFaceLibrary reloaded;
            reloaded.LoadFaceList(library.SaveFaceList());
            ASSERT_EQ(Entries(reloaded), entries);
        }
    }
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
