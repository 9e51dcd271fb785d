#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/library/RecentList.h"

namespace mopira {
namespace {

using Texts = std::vector<std::string>;

CRecentList Used(const Texts& oldestFirst, Charset charset = Charset()) {
    CRecentList list(charset);
    for (const std::string& text : oldestFirst) {
        list.Use(text);
    }
    return list;
}

TEST(RecentList, ReadIsForgivingAndKeepsTheFirstFifty) {
    std::string bytes = "a\r\nb\n\n\r\nb\r\nc\rd\nlast";
    for (int i = 0; i < 60; ++i) {
        bytes += "\nn" + std::to_string(i);
    }
    const CRecentList list = CRecentList::Read(bytes);
    ASSERT_EQ(list.Texts().size(), CRecentList::kCapacity);
    // A CR inside a line is the text's own; the repeat of "b" and the empty lines go.
    EXPECT_EQ(Texts(list.Texts().begin(), list.Texts().begin() + 5),
              (Texts{"a", "b", "c\rd", "last", "n0"}));
    EXPECT_EQ(list.Texts().back(), "n45");
    EXPECT_EQ(list.GetCharset(), Charset(Encoding::Cp932));
}

TEST(RecentList, WriteGivesBackTheSameListInItsEncoding) {
    // A lone lead byte and an unassigned code survive as they are.
    const CRecentList cp932 = Used({"\x82\xA0", "(^_^)", "\x81", "\xFC\xFC"});
    EXPECT_EQ(cp932.Write(), "\xFC\xFC\n\x81\n(^_^)\n\x82\xA0\n");
    EXPECT_EQ(CRecentList::Read(cp932.Write()), cp932);

    const CRecentList utf8 = Used({"(\xE3\x83\xBB\xCF\x89\xE3\x83\xBB)"}, Charset(Encoding::Utf8));
    EXPECT_EQ(utf8.Write(), "\xEF\xBB\xBF(\xE3\x83\xBB\xCF\x89\xE3\x83\xBB)\n");
    EXPECT_EQ(CRecentList::Read(utf8.Write()), utf8);
    EXPECT_EQ(CRecentList::Read("\xEF\xBB\xBF").Texts(), Texts());
    // CP932 texts may start with the bytes of the UTF-8 mark; the file stays CP932.
    const CRecentList marked = Used({"\xEF\xBB\xBF\xC7"});
    EXPECT_EQ(CRecentList::Read(marked.Write()), marked);
    EXPECT_EQ(CRecentList().Write(), "");
}

TEST(RecentList, UseMovesToTheTopAndDropsTheOldest) {
    CRecentList list = Used({"a", "b", "c"});
    EXPECT_FALSE(list.Use("c"));
    EXPECT_TRUE(list.Use("a"));
    EXPECT_EQ(list.Texts(), (Texts{"a", "c", "b"}));
    // Texts a line could not give back are not listed.
    for (const char* text : {"", "x\ny", "x\r"}) {
        EXPECT_FALSE(list.Use(text)) << text;
    }
    for (int i = 0; i < 48; ++i) {
        list.Use("n" + std::to_string(i));
    }
    ASSERT_EQ(list.Texts().size(), CRecentList::kCapacity);
    EXPECT_EQ(list.Texts().back(), "c");
    EXPECT_EQ(list.Texts().front(), "n47");
}

TEST(RecentList, AnEditKeepsThePlaceAndMergesAtTheMoreRecentOne) {
    CRecentList list = Used({"d", "c", "b", "a"});
    EXPECT_TRUE(list.Replace("b", "B"));
    EXPECT_EQ(list.Texts(), (Texts{"a", "B", "c", "d"}));
    EXPECT_FALSE(list.Replace("zz", "a"));
    EXPECT_FALSE(list.Replace("a", "a"));
    EXPECT_TRUE(list.Replace("d", "a"));  // "a" is more recent: "d" goes
    EXPECT_EQ(list.Texts(), (Texts{"a", "B", "c"}));
    EXPECT_TRUE(list.Replace("a", "c"));  // "a" is more recent: it becomes "c" there
    EXPECT_EQ(list.Texts(), (Texts{"c", "B"}));
    EXPECT_TRUE(list.Remove({"B", "zz"}));
    EXPECT_FALSE(list.Remove({"B"}));
    EXPECT_EQ(list.Texts(), (Texts{"c"}));
}

TEST(RecentList, ConvertingKeepsCharactersAndDropsWhatCannotBeHeld) {
    // あ, ω and a lone lead byte (shown as U+FFFD, which CP932 cannot hold).
    CRecentList list = Used({"\x82\xA0", "\x83\xD6", "\x81"});
    list.ConvertTo(Charset(Encoding::Utf8));
    EXPECT_EQ(list.Texts(), (Texts{"\xCF\x89", "\xE3\x81\x82"}));
    list.Use("\xF0\x9F\x98\x80");  // an emoji, which CP932 has not
    list.ConvertTo(Charset(Encoding::Cp932));
    EXPECT_EQ(list.Texts(), (Texts{"\x83\xD6", "\x82\xA0"}));
    EXPECT_EQ(list.GetCharset(), Charset(Encoding::Cp932));
}

TEST(RecentList, AFaceInAnotherEncodingIsListedAsItsCharacters) {
    CRecentList utf8{Charset(Encoding::Utf8)};
    EXPECT_TRUE(utf8.Use("\x83\xD6", Charset()));  // ω in CP932
    EXPECT_FALSE(utf8.Use("\x81", Charset()));     // a lone lead byte is no character
    EXPECT_EQ(utf8.Texts(), (Texts{"\xCF\x89"}));
    CRecentList cp932;
    EXPECT_FALSE(cp932.Use("\xF0\x9F\x98\x80", Charset(Encoding::Utf8)));  // CP932 has no emoji
    EXPECT_TRUE(cp932.Use("\xCF\x89", Charset(Encoding::Utf8)));
    EXPECT_EQ(cp932.Texts(), (Texts{"\x83\xD6"}));
}

// The rules written the plainest way, to hold the list to over many random changes.
struct ReferenceRecent {
    Texts texts;

    static bool Listable(const std::string& text) {
        return !text.empty() && text.find('\n') == std::string::npos && text.back() != '\r';
    }
    long IndexOf(const std::string& text) const {
        const auto found = std::find(texts.begin(), texts.end(), text);
        return found == texts.end() ? -1 : found - texts.begin();
    }
    void Use(const std::string& text) {
        if (!Listable(text)) {
            return;
        }
        std::erase(texts, text);
        texts.insert(texts.begin(), text);
        if (texts.size() > CRecentList::kCapacity) {
            texts.pop_back();
        }
    }
    void Remove(const Texts& gone) {
        for (const std::string& text : gone) {
            std::erase(texts, text);
        }
    }
    void Replace(const std::string& from, const std::string& to) {
        const long old = IndexOf(from);
        if (old < 0 || from == to) {
            return;
        }
        const long existing = Listable(to) ? IndexOf(to) : -2;
        if (existing == -2) {
            texts.erase(texts.begin() + old);
            return;
        }
        const long kept = existing < 0 ? old : std::min(old, existing);
        texts[static_cast<std::size_t>(kept)] = to;
        if (existing >= 0) {
            texts.erase(texts.begin() + (kept == old ? existing : old));
        }
    }
};

TEST(RecentList, FollowsTheReferenceOverRandomChanges) {
    std::mt19937 random(20240611);
    Texts pool = {"", "x\n", "y\r", "\r", "a\rb"};
    for (int i = 0; i < 70; ++i) {
        pool.push_back("t" + std::to_string(i));
    }
    auto draw = [&] { return pool[random() % pool.size()]; };
    for (int round = 0; round < 25; ++round) {
        CRecentList list;
        ReferenceRecent reference;
        for (int step = 0; step < 400; ++step) {
            const std::string text = draw();
            switch (random() % 4) {
                case 0:
                case 1:
                    list.Use(text);
                    reference.Use(text);
                    break;
                case 2: {
                    const Texts gone = {text, draw()};
                    list.Remove(gone);
                    reference.Remove(gone);
                    break;
                }
                default: {
                    // Mostly edits of listed texts, so that merges happen.
                    const std::string from =
                        reference.texts.empty() || random() % 4 == 0
                            ? text
                            : reference.texts[random() % reference.texts.size()];
                    const std::string to = draw();
                    list.Replace(from, to);
                    reference.Replace(from, to);
                    break;
                }
            }
            ASSERT_EQ(list.Texts(), reference.texts) << "round " << round << " step " << step;
            ASSERT_EQ(CRecentList::Read(list.Write()), list);
        }
    }
}

}  // namespace
}  // namespace mopira
