#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/library/ContentHash.h"
#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "core/library/LibrarySnapshot.h"

namespace mopira {
namespace {

using FolderOf = std::map<std::string, std::string>;

FolderOf Contents(const CFaceLibrary& library) {
    FolderOf contents;
    library.ForEachRecord(
        [&](RecordId id) { contents[std::string(library.Text(id))] = library.Folder(id); });
    return contents;
}

CFaceLibrary& Load(CFaceLibrary& library, const FolderOf& contents) {
    std::string bytes;
    for (const auto& [text, folder] : contents) {
        bytes += text + "\r\n" + folder + "\r\n\r\n";
    }
    library.LoadFaceList(bytes);
    return library;
}

TEST(LibraryEdit, EachChangeAppliesToWhatTheLibraryHoldsNow) {
    CFaceLibrary library;
    Load(library, {{"a", "F"}, {"b", "F"}, {"c", "G"}});

    // Adding a text that is there files it in the new folder and empties the old one.
    EditOutcome outcome = ApplyEdit(library, AddFaces{{{"c", "F"}, {"d", "H"}}});
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(outcome.emptied, std::vector<std::string>{"G"});
    EXPECT_EQ(Contents(library), (FolderOf{{"a", "F"}, {"b", "F"}, {"c", "F"}, {"d", "H"}}));

    // Replacing a text that is gone keeps the user's new text and says it was gone.
    outcome = ApplyEdit(library, ReplaceFace{"x", {"y", "H"}});
    EXPECT_EQ(outcome.missing, std::vector<std::string>{"x"});
    EXPECT_EQ(Contents(library).at("y"), "H");

    // Replacing with a text another record has merges the two into that record.
    outcome = ApplyEdit(library, ReplaceFace{"a", {"b", "K"}});
    EXPECT_TRUE(outcome.missing.empty());
    EXPECT_EQ(Contents(library), (FolderOf{{"b", "K"}, {"c", "F"}, {"d", "H"}, {"y", "H"}}));

    // Moving and removing skip what is gone; only moved texts count as missing.
    outcome = ApplyEdit(library, MoveFaces{{"c", "gone", "d"}, "H"});
    EXPECT_EQ(outcome.missing, std::vector<std::string>{"gone"});
    EXPECT_EQ(outcome.emptied, std::vector<std::string>{"F"});
    outcome = ApplyEdit(library, RemoveFaces{{"gone", "b"}});
    EXPECT_TRUE(outcome.missing.empty());
    EXPECT_EQ(outcome.emptied, std::vector<std::string>{"K"});
    EXPECT_EQ(Contents(library), (FolderOf{{"c", "H"}, {"d", "H"}, {"y", "H"}}));

    // A change that changes nothing says so.
    EXPECT_FALSE(ApplyEdit(library, MoveFaces{{"c", "d"}, "H"}).changed);
    EXPECT_FALSE(ApplyEdit(library, ReplaceFace{"y", {"y", "H"}}).changed);
    EXPECT_FALSE(ApplyEdit(library, AddFaces{{{"", "F"}, {"z", ""}}}).changed);
}

TEST(LibraryEdit, AFolderEmptiedAndFilledAgainInOneChangeIsNotReportedEmpty) {
    CFaceLibrary library;
    Load(library, {{"a", "F"}});
    const EditOutcome outcome = ApplyEdit(library, AddFaces{{{"a", "G"}, {"b", "F"}}});
    EXPECT_TRUE(outcome.emptied.empty());
    EXPECT_EQ(library.CountFacesInFolder("F"), 1);
}

// A user's changes made against one copy of the file, applied again to what another program
// made of that file meanwhile: the result must be exactly what the changes mean on the other
// program's content, so that neither side loses an emoticon.
TEST(LibraryEdit, ChangesAppliedToAnotherCopyLoseNeitherSide) {
    std::mt19937 random(20261207);
    const std::vector<std::string> texts = {"a", "b", "c", "d", "e", "f", "g", "h"};
    const std::vector<std::string> folders = {"F", "G", "H"};
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    auto randomContents = [&] {
        FolderOf contents;
        for (const std::string& text : texts) {
            if (random() % 2) {
                contents[text] = pick(folders);
            }
        }
        return contents;
    };
    auto randomEdit = [&]() -> LibraryEdit {
        switch (random() % 4) {
            case 0:
                return AddFaces{{{pick(texts), pick(folders)}, {pick(texts), pick(folders)}}};
            case 1:
                return ReplaceFace{pick(texts), {pick(texts), pick(folders)}};
            case 2:
                return MoveFaces{{pick(texts), pick(texts)}, pick(folders)};
            default:
                return RemoveFaces{{pick(texts), pick(texts)}};
        }
    };

    for (int round = 0; round < 2000; ++round) {
        const FolderOf theirs = randomContents();
        std::vector<LibraryEdit> edits(1 + random() % 4);
        for (LibraryEdit& edit : edits) {
            edit = randomEdit();
        }

        CFaceLibrary library;
        Load(library, theirs);
        FolderOf model = theirs;
        for (const LibraryEdit& edit : edits) {
            std::map<std::string, int> before;
            for (const auto& [text, folder] : model) {
                ++before[folder];
            }
            std::vector<std::string> missing;
            if (const auto* add = std::get_if<AddFaces>(&edit)) {
                for (const FaceEntry& face : add->faces) {
                    model[face.text] = face.folder;
                }
            } else if (const auto* replace = std::get_if<ReplaceFace>(&edit)) {
                if (!model.count(replace->oldText)) {
                    missing.push_back(replace->oldText);
                }
                model.erase(replace->oldText);
                model[replace->face.text] = replace->face.folder;
            } else if (const auto* move = std::get_if<MoveFaces>(&edit)) {
                for (const std::string& text : move->texts) {
                    if (model.count(text)) {
                        model[text] = move->folder;
                    } else {
                        missing.push_back(text);
                    }
                }
            } else {
                for (const std::string& text : std::get<RemoveFaces>(edit).texts) {
                    model.erase(text);
                }
            }
            std::map<std::string, int> after;
            for (const auto& [text, folder] : model) {
                ++after[folder];
            }
            std::set<std::string> emptied;
            for (const auto& [folder, count] : before) {
                if (!after.count(folder)) {
                    emptied.insert(folder);
                }
            }

            const EditOutcome outcome = ApplyEdit(library, edit);
            ASSERT_EQ(Contents(library), model) << "round " << round;
            ASSERT_EQ(outcome.missing, missing) << "round " << round;
            ASSERT_EQ(std::set<std::string>(outcome.emptied.begin(), outcome.emptied.end()),
                      emptied)
                << "round " << round;
            ASSERT_EQ(outcome.emptied.size(), emptied.size()) << "round " << round;
        }
    }
}

TEST(ContentHash, DependsOnTheBytesAloneNotOnHowTheyArrive) {
    std::mt19937 random(7);
    std::string bytes(1000, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    const std::uint64_t whole = CContentHash::Of(bytes);
    for (int trial = 0; trial < 200; ++trial) {
        CContentHash pieces;
        std::size_t pos = 0;
        while (pos < bytes.size()) {
            const std::size_t length = std::min<std::size_t>(random() % 20, bytes.size() - pos);
            pieces.Update(std::string_view(bytes).substr(pos, length));
            pos += length;
        }
        ASSERT_EQ(pieces.Final(), whole);
    }
    // Any one changed byte, and a changed length, give another hash.
    for (std::size_t i = 0; i < bytes.size(); i += 37) {
        std::string changed = bytes;
        changed[i] = static_cast<char>(changed[i] ^ 1);
        EXPECT_NE(CContentHash::Of(changed), whole) << i;
    }
    EXPECT_NE(CContentHash::Of(bytes + '\0'), whole);
    EXPECT_NE(CContentHash::Of(""), CContentHash::Of(std::string(1, '\0')));
    // The hash of a missing file: no bytes and no buffer.
    EXPECT_EQ(CContentHash::Of({}), CContentHash::Of(""));
}

}  // namespace
}  // namespace mopira

namespace mopira {
namespace {

std::string Written(const CLibrarySnapshot& snapshot) {
    std::string bytes;
    snapshot.WriteFaceList([&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

// A conversion and an import are changes like the others: replayed on what another program
// wrote meanwhile, they convert that and add to it, and the import refiles nothing.
TEST(LibraryEdit, ConversionAndImportReplayOnWhatTheFileHoldsNow) {
    auto file = std::make_shared<ImportFile>(
        ParseImport("text\tcategory\n\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94\tbear\n"
                    "a\tnew\n\xE3\x81\x82\n",
                    "\xE6\x9C\xAA"));
    const std::vector<LibraryEdit> edits{ConvertLibraryToUtf8{}, ImportFaces{file, "all"}};

    // What another program wrote: "a" in F and a CP932 "\x82\xA0" (hiragana a) in G.
    CFaceLibrary changed;
    changed.LoadFaceList("a\r\nF\r\n\r\n\x82\xA0\r\nG\r\n\r\n");
    EditOutcome outcome = ApplyEdit(changed, edits[0]);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(changed.GetCharset().GetEncoding(), Encoding::Utf8);
    outcome = ApplyEdit(changed, edits[1]);
    EXPECT_TRUE(outcome.changed);
    EXPECT_EQ(outcome.imported.added.size(), 1u);
    EXPECT_EQ(outcome.imported.alreadyThere, (std::vector<std::size_t>{3, 4}));
    EXPECT_EQ(Contents(changed),
              (FolderOf{{"a", "F"},
                        {"\xE3\x81\x82", "G"},
                        {"\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94", "bear"}}));

    // Converting again changes nothing; bytes that are no CP932 character stop it whole.
    EXPECT_FALSE(ApplyEdit(changed, edits[0]).changed);
    CFaceLibrary broken;
    broken.LoadFaceList("x\x85\x40\r\nF\r\n\r\n");
    outcome = ApplyEdit(broken, edits[0]);
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(outcome.refused,
              (std::vector<ConversionRefusal>{{0, ConversionProblem::InvalidText}}));
    EXPECT_EQ(broken.GetCharset().GetEncoding(), Encoding::Cp932);

    // Into a CP932 library the bear is refused for the characters CP932 lacks.
    CFaceLibrary cp932;
    outcome = ApplyEdit(cp932, edits[1]);
    ASSERT_EQ(outcome.imported.refused.size(), 1u);
    EXPECT_EQ(outcome.imported.refused[0].problem, ImportProblem::UnrepresentableText);
    EXPECT_EQ(Contents(cp932), (FolderOf{{"a", "new"}, {"\x82\xA0", "\x96\xA2"}}));
}

// A save writes a snapshot on another thread while the window goes on changing the library:
// whatever happens to the library after, the snapshot writes it as it was.
TEST(LibrarySnapshot, WritesTheLibraryAsItWasWhateverChangesAfter) {
    CFaceLibrary library;
    library.LoadFaceList("a\r\nF\r\n\r\nb\r\nG\r\n\r\nc\r\nF\r\n\r\n");
    library.ReplaceRecord("b", "b2", "H");
    const std::string before = library.SaveFaceList();
    const CLibrarySnapshot snapshot = library.Snapshot();
    EXPECT_EQ(snapshot.Size(), 3u);

    // Enough new texts to fill several blocks of the text store, and every other change.
    for (int i = 0; i < 3000; ++i) {
        library.AppendRecord(std::string(1000, 'x') + std::to_string(i), "K");
    }
    library.RemoveRecord("a");
    library.ReplaceRecord("c", "c2", "L");
    library.MoveRecords(library.Records(), "M");
    EXPECT_TRUE(library.ConvertToUtf8().empty());
    EXPECT_TRUE(Written(snapshot) == before);

    // Taken now, it writes what SaveFaceList does.
    EXPECT_TRUE(Written(library.Snapshot()) == library.SaveFaceList());
}

TEST(FaceLibrary, SwapTradesEverythingAndEachStillFindsItsTexts) {
    CFaceLibrary first;
    first.LoadFaceList("a\r\nF\r\n\r\nb\r\nF\r\n\r\n");
    first.RecordsByText();
    CFaceLibrary second;
    second.LoadFaceList(std::string("\xEF\xBB\xBFz\r\nG\r\n\r\n"));
    first.Swap(second);
    EXPECT_EQ(first.Size(), 1u);
    EXPECT_TRUE(first.FindRecord("z"));
    EXPECT_FALSE(first.FindRecord("a"));
    EXPECT_EQ(first.GetCharset().GetEncoding(), Encoding::Utf8);
    EXPECT_EQ(second.Size(), 2u);
    EXPECT_TRUE(second.FindRecord("b"));
    EXPECT_EQ(second.RecordsByText().size(), 2u);
    // Both go on changing as libraries of their own.
    EXPECT_TRUE(first.AppendRecord("y", "G"));
    EXPECT_TRUE(second.AppendRecord("y", "F"));
    EXPECT_EQ(first.CountFacesInFolder("G"), 2);
    EXPECT_EQ(second.CountFacesInFolder("F"), 3);
}

}  // namespace
}  // namespace mopira
