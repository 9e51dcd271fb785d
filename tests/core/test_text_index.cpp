#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/library/TextIndex.h"

namespace mopira {
namespace {

// The index places a text by std::hash folded to 32 bits. The texts made here agree on that
// value, or on its low bits, so that they meet in one probe run: the hard case for erasing.
// Should the index hash differently, they are merely ordinary texts and the tests still hold.
std::uint32_t IndexHash(const std::string& text) {
    const std::size_t hash = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::string Candidate(int i) {
    return "(" + std::to_string(i) + ")";
}

std::vector<std::string> OrdinaryTexts(int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        texts.push_back(Candidate(i));
    }
    return texts;
}

// Texts whose hashes end in ten one bits: in every table of up to 1,024 slots they all start
// probing at the last slot, so their run wraps around the end of the table.
std::vector<std::string> TextsHomedAtTheLastSlot(int count) {
    std::vector<std::string> texts;
    for (int i = 0; static_cast<int>(texts.size()) < count; ++i) {
        if ((IndexHash(Candidate(i)) & 1023) == 1023) {
            texts.push_back(Candidate(i));
        }
    }
    return texts;
}

// Pairs of distinct texts with the same 32-bit hash, which only a comparison of the texts
// tells apart. Among n candidates about n * n / 2^33 pairs collide.
std::vector<std::string> TextsWithEqualHashes(int count) {
    std::vector<std::pair<std::uint32_t, int>> hashes;
    std::vector<std::string> texts;
    for (int candidates = 1 << 17; static_cast<int>(texts.size()) < count; candidates *= 2) {
        hashes.clear();
        texts.clear();
        for (int i = 0; i < candidates; ++i) {
            hashes.emplace_back(IndexHash(Candidate(i)), i);
        }
        std::sort(hashes.begin(), hashes.end());
        for (std::size_t i = 1; i < hashes.size() && static_cast<int>(texts.size()) < count; ++i) {
            if (hashes[i].first == hashes[i - 1].first) {
                texts.push_back(Candidate(hashes[i - 1].second));
                texts.push_back(Candidate(hashes[i].second));
            }
        }
    }
    texts.resize(static_cast<std::size_t>(count));
    return texts;
}

struct IndexWorkload {
    const char* name;
    std::vector<std::string> (*makeTexts)(int count);
    int count;
    int steps;
    int checkEvery;  // steps between checks of every text; the touched text is checked always
};

void PrintTo(const IndexWorkload& workload, std::ostream* out) {
    *out << workload.name;
}

class TextIndexAgainstASet : public testing::TestWithParam<IndexWorkload> {};

// Random inserts and erases in phases that fill the index and then remove nearly everything,
// held against std::unordered_map: every indexed text is found at its own index, no text is
// found after its removal, and a text already indexed is refused.
TEST_P(TextIndexAgainstASet, FindsWhatRemainsAndRefusesDuplicates) {
    const IndexWorkload& workload = GetParam();
    const std::vector<std::string> universe = workload.makeTexts(workload.count);
    ASSERT_EQ(universe.size(), static_cast<std::size_t>(workload.count));

    std::vector<std::string> texts;  // what the index refers to; an entry never changes
    CTextIndex index(texts);
    std::unordered_map<std::string, std::uint32_t> model;
    std::vector<std::string> live;  // the keys of the model, to draw from
    std::mt19937 random(static_cast<unsigned>(workload.count));

    auto expectFound = [&](const std::string& text) {
        const auto expected = model.find(text);
        const std::optional<std::uint32_t> found = index.Find(text);
        if (expected == model.end()) {
            return found ? testing::AssertionFailure() << text << " found after its removal"
                         : testing::AssertionSuccess();
        }
        if (found != expected->second) {
            return testing::AssertionFailure() << text << " not found at " << expected->second;
        }
        return testing::AssertionSuccess();
    };

    const int phase = 4 * workload.count;
    for (int step = 0; step < workload.steps; ++step) {
        const bool filling = (step / phase) % 2 == 0;
        const unsigned insertPercent = filling ? 80 : 15;
        std::string text;
        if (live.empty() || random() % 100 < insertPercent) {
            text = universe[random() % universe.size()];
            texts.push_back(text);
            const auto id = static_cast<std::uint32_t>(texts.size() - 1);
            const bool isNew = !model.contains(text);
            ASSERT_EQ(index.Insert(id), isNew) << "step " << step << ": " << text;
            if (isNew) {
                model.emplace(text, id);
                live.push_back(text);
            }
        } else {
            const std::size_t at = random() % live.size();
            text = live[at];
            live[at] = live.back();
            live.pop_back();
            index.Erase(model.at(text));
            model.erase(text);
        }
        ASSERT_TRUE(expectFound(text)) << "step " << step;
        if (step % workload.checkEvery == 0 || step + 1 == workload.steps) {
            for (const std::string& other : universe) {
                ASSERT_TRUE(expectFound(other))
                    << "step " << step << ", " << live.size() << " indexed, last touched " << text;
            }
        }
    }

    index.Clear();
    for (const std::string& text : universe) {
        EXPECT_FALSE(index.Find(text)) << "cleared";
    }
    texts.push_back(universe.front());
    EXPECT_TRUE(index.Insert(static_cast<std::uint32_t>(texts.size() - 1)));
}

INSTANTIATE_TEST_SUITE_P(
    Workloads, TextIndexAgainstASet,
    testing::Values(IndexWorkload{"EightTextsInSixteenSlots", OrdinaryTexts, 8, 20000, 1},
                    IndexWorkload{"OneRunAcrossTheEnd", TextsHomedAtTheLastSlot, 200, 5000, 1},
                    IndexWorkload{"EqualHashes", TextsWithEqualHashes, 8, 20000, 1},
                    IndexWorkload{"ManyTexts", OrdinaryTexts, 8192, 100000, 5000}),
    [](const testing::TestParamInfo<IndexWorkload>& info) { return info.param.name; });

}  // namespace
}  // namespace mopira
