#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/app/Settings.h"
#include "core/app/Terminals.h"
#include "core/app/WindowPlacement.h"

namespace mopira {

// Found by argument lookup, so it stands in the namespace of the type.
void PrintTo(const ControlPlacement& step, std::ostream* out) {
    *out << "{" << step.controlId
         << (step.kind == ControlPlacement::Kind::Size ? " size " : " move ") << step.x << ", "
         << step.y << "}";
}

namespace {

using Kind = ControlPlacement::Kind;

std::map<int, ControlPlacement> ById(const std::vector<ControlPlacement>& steps) {
    std::map<int, ControlPlacement> byId;
    for (const auto& step : steps) {
        byId.emplace(step.controlId, step);
    }
    return byId;
}

struct LayoutCase {
    const char* name;
    int tab;
    int width;
    int height;
    std::vector<ControlPlacement> steps;
};

void PrintTo(const LayoutCase& layout, std::ostream* out) {
    *out << layout.name;
}

class PageLayoutAt : public testing::TestWithParam<LayoutCase> {};

// Every step, in order, with its exact numbers: at the smallest window and at a larger one.
TEST_P(PageLayoutAt, PlacesEveryControlExactly) {
    const LayoutCase& layout = GetParam();
    EXPECT_EQ(LayoutPage(layout.tab, layout.width, layout.height), layout.steps);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PageLayoutAt,
                         testing::Values(LayoutCase{"ListAtTheMinimum",
                                                    0,
                                                    kMinOuterWidth,
                                                    kMinOuterHeight,
                                                    {{id::kTab, Kind::Size, 247, 202},
                                                     {id::kTopToolBar, Kind::Move, 204, 2},
                                                     {id::kFaceList, Kind::Size, 227, 136},
                                                     {id::kListToolBar, Kind::Move, 116, 63},
                                                     {id::kFolderCombo, Kind::Size, 42, 13},
                                                     {id::kFindEdit, Kind::Size, 42, 20}}},
                                         LayoutCase{"CreateAtTheMinimum",
                                                    1,
                                                    kMinOuterWidth,
                                                    kMinOuterHeight,
                                                    {{id::kTab, Kind::Size, 247, 202},
                                                     {id::kTopToolBar, Kind::Move, 204, 2},
                                                     {id::kFaceGroup, Kind::Size, 227, 115},
                                                     {id::kAddButton, Kind::Move, 17, 150},
                                                     {id::kRandomButton, Kind::Move, 138, 150},
                                                     {id::kTypeList, Kind::Size, 140, 40},
                                                     {id::kVariationList, Kind::Size, 82, 40}}},
                                         LayoutCase{"ListAt480x360",
                                                    0,
                                                    480,
                                                    360,
                                                    {{id::kTab, Kind::Size, 460, 292},
                                                     {id::kTopToolBar, Kind::Move, 417, 2},
                                                     {id::kFaceList, Kind::Size, 440, 226},
                                                     {id::kListToolBar, Kind::Move, 329, 63},
                                                     {id::kFolderCombo, Kind::Size, 255, 13},
                                                     {id::kFindEdit, Kind::Size, 255, 20}}},
                                         LayoutCase{"CreateAt480x360",
                                                    1,
                                                    480,
                                                    360,
                                                    {{id::kTab, Kind::Size, 460, 292},
                                                     {id::kTopToolBar, Kind::Move, 417, 2},
                                                     {id::kFaceGroup, Kind::Size, 440, 115},
                                                     {id::kAddButton, Kind::Move, 230, 150},
                                                     {id::kRandomButton, Kind::Move, 351, 150},
                                                     {id::kTypeList, Kind::Size, 140, 130},
                                                     {id::kVariationList, Kind::Size, 295, 130}}}),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(PageLayout, GrowingTheWindowWidensStretchesAndShiftsRight) {
    const int w = 300;
    const int h = 320;
    const int dx = 57;
    const int dy = 33;
    for (int tab : {0, 1}) {
        const auto before = ById(LayoutPage(tab, w, h));
        const auto after = ById(LayoutPage(tab, w + dx, h + dy));
        ASSERT_EQ(before.size(), after.size());
        const std::set<int> wider = {id::kTab,      id::kFaceList,  id::kFolderCombo,
                                     id::kFindEdit, id::kFaceGroup, id::kVariationList};
        const std::set<int> taller = {id::kTab, id::kFaceList, id::kTypeList, id::kVariationList};
        for (const auto& [controlId, step] : before) {
            const ControlPlacement& grown = after.at(controlId);
            ASSERT_EQ(grown.kind, step.kind) << controlId;
            if (step.kind == Kind::Move) {
                EXPECT_EQ(grown.x - step.x, dx) << controlId << " moves right";
                EXPECT_EQ(grown.y, step.y) << controlId << " never moves down";
            } else {
                EXPECT_EQ(grown.x - step.x, wider.count(controlId) ? dx : 0) << controlId;
                EXPECT_EQ(grown.y - step.y, taller.count(controlId) ? dy : 0) << controlId;
            }
        }
    }
}

TEST(PageLayout, CommonRowsFirstAndNothingElseForAnUnknownTab) {
    const auto steps = LayoutPage(5, 400, 400);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], (ControlPlacement{id::kTab, Kind::Size, 380, 332}));
    EXPECT_EQ(steps[1], (ControlPlacement{id::kTopToolBar, Kind::Move, 337, 2}));
    EXPECT_EQ(LayoutPage(0, 400, 400).size(), 6u);
    EXPECT_EQ(LayoutPage(1, 400, 400).size(), 7u);

    for (const auto& step : LayoutPage(1, 30, 20)) {
        if (step.kind == Kind::Size) {
            EXPECT_GE(step.x, 0);
            EXPECT_GE(step.y, 0);
        }
    }
}

TEST(Settings, ThirteenKeysReadAndWrittenOnceEach) {
    std::set<std::string> read;
    std::set<std::string> written;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        read.insert(std::string(kSettingsReadOrder[i].section) + "/" + kSettingsReadOrder[i].key);
        written.insert(std::string(kSettingsWriteOrder[i].section) + "/" +
                       kSettingsWriteOrder[i].key);
    }
    EXPECT_EQ(read.size(), kSettingCount);
    EXPECT_EQ(read, written);

    // The keys beyond them never take one of their names, and leave everything off but the
    // tray icon.
    std::set<std::string> added;
    const SummonSettings summon;
    for (const auto& key : kSummonIntKeys) {
        added.insert(std::string(key.section) + "/" + key.key);
        EXPECT_EQ(summon.*key.member, std::string(key.key) == "Tray" ? 1 : 0) << key.key;
    }
    for (const auto& key : kSummonTextKeys) {
        added.insert(std::string(key.section) + "/" + key.key);
        EXPECT_TRUE((summon.*key.member).empty()) << key.key;
    }
    EXPECT_EQ(added.size(), std::size(kSummonIntKeys) + std::size(kSummonTextKeys));
    for (const std::string& key : added) {
        EXPECT_FALSE(read.contains(key)) << key;
    }
}

TEST(Terminals, KnownByTheirClassOrAppId) {
    for (const char* name :
         {"xterm", "URxvt", "Gnome-terminal", "gnome-terminal-server", "org.gnome.Terminal",
          "org.gnome.Console", "konsole", "org.kde.konsole", "Alacritty", "kitty", "foot",
          "footclient", "org.wezfurlong.wezterm", "com.mitchellh.ghostty", "st-256color", "XTerm",
          "Xfce4-terminal", "io.elementary.terminal"}) {
        EXPECT_TRUE(IsTerminalName(name)) << name;
    }
    for (const char* name : {"", "firefox", "org.mozilla.firefox", "Navigator", "gedit",
                             "org.gnome.TextEditor", "code", "libreoffice-writer", "steam",
                             "example.mopira.Mopira", "stfu", "fooT.bar", "kittycat"}) {
        EXPECT_FALSE(IsTerminalName(name)) << name;
    }
}

}  // namespace
}  // namespace mopira

namespace mopira {
namespace {

struct PlacementCase {
    const char* name;
    ScreenRect saved;
    ScreenRect expected;
};

class WindowPlacementTest : public testing::TestWithParam<PlacementCase> {};

// Two screens side by side, the right one smaller and lower, with a panel on the left one.
const std::vector<ScreenRect> kScreens = {{0, 30, 1920, 1050}, {1920, 200, 1280, 800}};

TEST_P(WindowPlacementTest, SavedPlacementsFitTheScreensThereAre) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(FitToScreens(c.saved, kScreens, 27), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    testing::Values(
        PlacementCase{"inside stays", {100, 100, 400, 300}, {100, 100, 400, 300}},
        PlacementCase{"on the second screen stays", {2000, 300, 400, 300}, {2000, 300, 400, 300}},
        // Partly off the screen, but the title bar can still be grabbed.
        PlacementCase{
            "hanging off the right edge stays", {1700, 100, 400, 300}, {1700, 100, 400, 300}},
        PlacementCase{
            "huge is reduced to its screen", {10, 40, 2147483647, 2147483647}, {0, 30, 1920, 1050}},
        PlacementCase{"huge at the end of int",
                      {2147483647, 2147483647, 2147483647, 2147483647},
                      {0, 30, 1920, 1050}},
        PlacementCase{"far off comes back on the first screen",
                      {-30000, -30000, 400, 300},
                      {0, 30, 400, 300}},
        PlacementCase{
            "title bar under the top edge comes down", {100, 0, 400, 300}, {100, 30, 400, 300}},
        PlacementCase{"title bar above the lower screen comes onto it",
                      {2000, 150, 400, 300},
                      {2000, 200, 400, 300}},
        PlacementCase{"taller than the second screen shrinks there",
                      {2000, 300, 400, 5000},
                      {2000, 200, 400, 800}},
        PlacementCase{
            "only a sliver of title bar shows", {1900, 100, 400, 300}, {1520, 100, 400, 300}}),
    [](const testing::TestParamInfo<PlacementCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(WindowPlacement, NoScreensLeavesTheSavedPlacement) {
    const ScreenRect saved{-5, -5, 99999, 99999};
    EXPECT_EQ(FitToScreens(saved, {}, 27), saved);
}

}  // namespace
}  // namespace mopira
