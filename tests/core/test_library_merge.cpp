#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/library/FaceLibrary.h"
#include "core/library/LibraryEdit.h"
#include "core/library/LibraryMerge.h"

namespace mopira {
namespace {

// Text -> folder, as characters (UTF-8) whatever the library's encoding.
using FolderOf = std::map<std::string, std::string>;

void Build(CFaceLibrary& library, const FolderOf& contents, Encoding encoding) {
    const Charset charset(encoding);
    std::string bytes(charset.FileMark());
    for (const auto& [text, folder] : contents) {
        bytes +=
            charset.FromUtf8Literal(text) + "\r\n" + charset.FromUtf8Literal(folder) + "\r\n\r\n";
    }
    library.LoadFaceList(bytes);
}

FolderOf Contents(const CFaceLibrary& library) {
    FolderOf contents;
    const Charset charset = library.GetCharset();
    library.ForEachRecord([&](RecordId id) {
        contents[charset.ToUtf8(library.Text(id))] = charset.ToUtf8(library.Folder(id));
    });
    return contents;
}

const std::string* Find(const FolderOf& contents, const std::string& text) {
    const auto found = contents.find(text);
    return found == contents.end() ? nullptr : &found->second;
}

// What merging the changes from `base` to `copy` into `current` gives, text by text. This side
// wins where both changed a record; a record changed on either side is never removed.
FolderOf Merged(const FolderOf* base, const FolderOf& current, const FolderOf& copy) {
    std::set<std::string> texts;
    for (const FolderOf* side : {base, &current, &copy}) {
        for (const auto& entry : side ? *side : FolderOf()) {
            texts.insert(entry.first);
        }
    }
    FolderOf result;
    for (const std::string& text : texts) {
        const std::string* was = base ? Find(*base, text) : nullptr;
        const std::string* here = Find(current, text);
        const std::string* there = Find(copy, text);
        if (here && there) {
            result[text] = was && *here == *was && *there != *was ? *there : *here;
        } else if (here && !(was && *here == *was)) {
            result[text] = *here;
        } else if (there && (!was || *there != *was)) {
            result[text] = *there;
        }
    }
    return result;
}

// A few of the user's changes to one side: adds, removals, moves, and edits (a removal and an
// add). The pool is small, so both sides often touch the same texts.
void EditRandomly(FolderOf& side, std::mt19937& random, const std::vector<std::string>& texts,
                  const std::vector<std::string>& folders) {
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    auto anyRecord = [&] { return std::next(side.begin(), random() % side.size()); };
    for (int step = static_cast<int>(random() % 6); step > 0; --step) {
        const unsigned kind = random() % 4;
        if (kind == 0 || side.empty()) {
            side.try_emplace(pick(texts), pick(folders));
        } else if (kind == 1) {
            side.erase(anyRecord());
        } else if (kind == 2) {
            anyRecord()->second = pick(folders);
        } else {
            const auto record = anyRecord();
            const std::string folder = random() % 2 ? record->second : pick(folders);
            side.erase(record);
            side.try_emplace(pick(texts), folder);
        }
    }
}

// Two machines change one library apart; each side's conflict copy is merged into the other's
// file, in both orders, in any mix of encodings. Nothing either side added or changed is lost,
// what one side removed stays removed unless the other changed it, and a second merge of the
// same copy changes nothing.
TEST(LibraryMerge, AgreesWithAPlainModelOverRandomChangesOnBothSides) {
    const std::vector<std::string> texts = {"(^_^)",      "(;_;)",     "orz",
                                            "m(_ _)m",    "(´・ω・`)", "ヽ(´ー`)ノ",
                                            "ｷﾀ━(ﾟ∀ﾟ)━!", "∵",         "(＾ω＾)"};
    const std::vector<std::string> folders = {"F", "G", "顔", "ｶｵ"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        FolderOf base;
        for (const std::string& text : texts) {
            if (random() % 2) {
                base[text] = folders[random() % folders.size()];
            }
        }
        FolderOf sides[2] = {base, base};
        for (FolderOf& side : sides) {
            EditRandomly(side, random, texts, folders);
        }
        auto encoding = [&] { return random() % 2 ? Encoding::Utf8 : Encoding::Cp932; };
        CFaceLibrary baseLibrary;
        Build(baseLibrary, base, encoding());
        std::set<std::string> mergedTexts[2];
        for (int here = 0; here < 2; ++here) {
            const FolderOf& current = sides[here];
            const FolderOf& copy = sides[1 - here];
            CFaceLibrary copyLibrary;
            Build(copyLibrary, copy, encoding());
            for (const bool withBase : {true, false}) {
                SCOPED_TRACE(withBase ? "with base" : "without base");
                CFaceLibrary library;
                Build(library, current, encoding());
                const auto changes = std::make_shared<const LibraryChanges>(
                    DiffLibraries(withBase ? &baseLibrary : nullptr, copyLibrary));
                const EditOutcome outcome = ApplyEdit(library, MergeChanges{changes});

                const FolderOf expected = Merged(withBase ? &base : nullptr, current, copy);
                ASSERT_EQ(Contents(library), expected);
                ASSERT_EQ(library.Size(), expected.size()) << "two records of one text";
                for (const FolderOf& side : sides) {
                    for (const auto& [text, folder] : side) {
                        ASSERT_TRUE(base.count(text) || expected.count(text)) << "lost " << text;
                    }
                }
                MergeSummary counted;
                std::set<std::string> emptied;
                for (const auto& [text, folder] : current) {
                    const std::string* now = Find(expected, text);
                    counted.removed += now ? 0 : 1;
                    counted.moved += now && *now != folder ? 1 : 0;
                    if (library.CountFacesInFolder(library.GetCharset().FromUtf8Literal(folder)) ==
                        0) {
                        emptied.insert(folder);
                    }
                }
                for (const auto& [text, folder] : expected) {
                    counted.added += current.count(text) ? 0 : 1;
                }
                EXPECT_TRUE(outcome.merged.refused.empty());
                EXPECT_EQ(outcome.merged.added, counted.added);
                EXPECT_EQ(outcome.merged.removed, counted.removed);
                EXPECT_EQ(outcome.merged.moved, counted.moved);
                EXPECT_EQ(outcome.changed, Contents(library) != current);
                std::set<std::string> reported;
                for (const std::string& folder : outcome.emptied) {
                    reported.insert(library.GetCharset().ToUtf8(folder));
                }
                EXPECT_EQ(reported, emptied);

                const EditOutcome again = ApplyEdit(library, MergeChanges{changes});
                EXPECT_FALSE(again.changed);
                ASSERT_EQ(Contents(library), expected);
                if (withBase) {
                    for (const auto& [text, folder] : expected) {
                        mergedTexts[here].insert(text);
                    }
                }
            }
        }
        // Whichever file the sync tool kept, both machines end with the same emoticons.
        ASSERT_EQ(mergedTexts[0], mergedTexts[1]);
    }
}

// A copy in another encoding than the library: texts are the same when they are the same
// characters, CP932's repeated codes included, and a change the library cannot hold applies
// not at all until the library is UTF-8.
TEST(LibraryMerge, ChangesCrossEncodingsWholeOrNotAtAll) {
    const std::string because = Utf8::FromUtf8Literal("∵");  // also 0x81E6 and 0x879A in CP932
    const std::string bear = "\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94";  // no CP932
    const std::string smile = Utf8::FromUtf8Literal("(´・ω・`)");

    // This machine's CP932 file writes ∵ with the IBM code; the base was CP932 too, and the
    // other machine made its library UTF-8, moved ∵ and added two faces.
    CFaceLibrary base;
    base.LoadFaceList("\xFA\x5BX\r\nF\r\n\r\nkeep\r\nF\r\n\r\ngone\r\nF\r\n\r\n");
    CFaceLibrary copy;
    copy.LoadFaceList("\xEF\xBB\xBF" + because + "X\r\nG\r\n\r\nkeep\r\nF\r\n\r\n" + smile +
                      "\r\nF\r\n\r\n" + bear + "\r\nB\r\n\r\n");
    const auto changes = std::make_shared<const LibraryChanges>(DiffLibraries(&base, copy));
    EXPECT_EQ(changes->moved, (std::vector<FaceMove>{{because + "X", "F", "G"}}));
    EXPECT_EQ(changes->removed, (std::vector<FaceEntry>{{"gone", "F"}}));
    EXPECT_EQ(changes->added.size(), 2u);

    CFaceLibrary library;
    const std::string file = "\xFA\x5BX\r\nF\r\n\r\nkeep\r\nF\r\n\r\ngone\r\nF\r\n\r\n";
    library.LoadFaceList(file);
    EditOutcome outcome = ApplyEdit(library, MergeChanges{changes});
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(outcome.merged.refused,
              (std::vector<MergeRefusal>{
                  {bear, "B", MergeProblem::UnrepresentableText, U"\u0295\u2022\u1D25\u0294"}}));
    EXPECT_EQ(library.SaveFaceList(), file);

    // Made UTF-8, it takes the whole change; ∵ is moved, not added a second time.
    ASSERT_TRUE(ApplyEdit(library, ConvertLibraryToUtf8{}).changed);
    outcome = ApplyEdit(library, MergeChanges{changes});
    EXPECT_TRUE(outcome.merged.refused.empty());
    EXPECT_EQ(outcome.merged.added, 2u);
    EXPECT_EQ(outcome.merged.moved, 1u);
    EXPECT_EQ(outcome.merged.removed, 1u);
    EXPECT_EQ(Contents(library),
              (FolderOf{{because + "X", "G"}, {"keep", "F"}, {smile, "F"}, {bear, "B"}}));

    // Into a CP932 library that still has the IBM code: the representable change applies to
    // that record, and the added face is written in CP932.
    CFaceLibrary cp932;
    cp932.LoadFaceList(file);
    auto representable = std::make_shared<LibraryChanges>(*changes);
    representable->added.pop_back();
    outcome = ApplyEdit(cp932, MergeChanges{representable});
    EXPECT_TRUE(outcome.merged.refused.empty());
    EXPECT_EQ(cp932.SaveFaceList(), "\xFA\x5BX\r\nG\r\n\r\nkeep\r\nF\r\n\r\n" +
                                        Cp932::FromUtf8Literal("(´・ω・`)") + "\r\nF\r\n\r\n");

    // Retyped with Windows' code on the other machine, ∵ is one text to a UTF-8 library: it
    // stays, and the user hears of no change.
    CFaceLibrary retypedBase;
    retypedBase.LoadFaceList("\xFA\x5BY\r\nF\r\n\r\n");
    CFaceLibrary retyped;
    retyped.LoadFaceList("\x81\xE6Y\r\nF\r\n\r\n");
    CFaceLibrary converted;
    converted.LoadFaceList("\xEF\xBB\xBF" + because + "Y\r\nF\r\n\r\n");
    outcome = ApplyEdit(
        converted,
        MergeChanges{std::make_shared<const LibraryChanges>(DiffLibraries(&retypedBase, retyped))});
    EXPECT_FALSE(outcome.changed);
    EXPECT_EQ(Contents(converted), (FolderOf{{because + "Y", "F"}}));

    // Bytes that are no CP932 character have no UTF-8 form: refused, however asked.
    CFaceLibrary broken;
    broken.LoadFaceList("x\x85\x40\r\nF\r\n\r\n");
    CFaceLibrary utf8;
    utf8.LoadFaceList("\xEF\xBB\xBF");
    outcome = ApplyEdit(
        utf8, MergeChanges{std::make_shared<const LibraryChanges>(DiffLibraries(nullptr, broken))});
    ASSERT_EQ(outcome.merged.refused.size(), 1u);
    EXPECT_EQ(outcome.merged.refused[0].problem, MergeProblem::InvalidBytes);
    EXPECT_TRUE(utf8.Empty());
}

}  // namespace
}  // namespace mopira
