#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "RandomText.h"
#include "ReferenceText.h"
#include "core/library/FolderList.h"
#include "core/text/Charset.h"

namespace mopira {
namespace {

// Adds and removes names that differ in case, at the edges of the letters and behind
// punctuation, against a vector kept sorted by the plain folder order.
TEST(FolderList, AgreesWithASortedVectorOverRandomChanges) {
    const std::vector<std::string> pieces = {"@", "A", "Z", "[", "`", "a", "z", "{", "_", "\xB1"};
    auto less = [](const std::string& a, const std::string& b) {
        return reference::CompareFolderNames(a, b) < 0;
    };
    std::mt19937 random(147);
    CFolderList folders;
    std::vector<std::string> model;
    for (int step = 0; step < 5000; ++step) {
        const std::string name = RandomText(random, pieces, 3);
        const auto at = std::lower_bound(model.begin(), model.end(), name, less);
        const auto index = static_cast<std::size_t>(at - model.begin());
        const bool listed = at != model.end() && *at == name;
        if (random() % 3 != 0) {
            ASSERT_EQ(folders.AddFolderEntry(name), listed ? std::nullopt : std::optional(index))
                << name;
            if (!listed) {
                model.insert(at, name);
            }
        } else {
            ASSERT_EQ(folders.RemoveFolderEntry(name), listed ? std::optional(index) : std::nullopt)
                << name;
            if (listed) {
                model.erase(at);
            }
        }
        ASSERT_EQ(folders.Names(), model);
    }
    for (std::size_t i = 0; i < model.size(); ++i) {
        EXPECT_EQ(folders.IndexOf(model[i]), i) << model[i];
    }
    std::vector<std::string> shuffled = model;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    shuffled.insert(shuffled.end(), model.begin(), model.begin() + model.size() / 2);
    EXPECT_EQ(CFolderList(shuffled).Names(), model) << "built at once: sorted, repeats dropped";
}

}  // namespace
}  // namespace mopira
