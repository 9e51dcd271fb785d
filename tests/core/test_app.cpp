#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "core/app/ControlIds.h"
#include "core/app/PageLayout.h"
#include "core/app/Settings.h"
#include "core/app/WindowPlacement.h"

namespace mopira {
namespace {

using Kind = ControlPlacement::Kind;

std::map<int, ControlPlacement> ById(const std::vector<ControlPlacement>& steps) {
    std::map<int, ControlPlacement> byId;
    for (const auto& step : steps) {
        byId.emplace(step.controlId, step);
    }
    return byId;
}

TEST(PageLayout, SizesAtTheMinimumWindow) {
    const auto list = ById(LayoutPage(0, kMinOuterWidth, kMinOuterHeight));
    EXPECT_EQ(list.at(id::kFaceList), (ControlPlacement{id::kFaceList, Kind::Size, 227, 136}));
    EXPECT_EQ(list.at(id::kFolderCombo).x, 42);
    EXPECT_EQ(list.at(id::kFindEdit).x, 42);

    const auto create = ById(LayoutPage(1, kMinOuterWidth, kMinOuterHeight));
    EXPECT_EQ(create.at(id::kVariationList),
              (ControlPlacement{id::kVariationList, Kind::Size, 82, 40}));
    EXPECT_EQ(create.at(id::kTypeList).y, 40);
    EXPECT_EQ(create.at(id::kAddButton), (ControlPlacement{id::kAddButton, Kind::Move, 17, 150}));
    EXPECT_EQ(create.at(id::kRandomButton).x, 138);
}

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
    const Settings defaults;
    EXPECT_EQ(defaults.x, -1);
    EXPECT_EQ(defaults.content, 150);
    EXPECT_EQ(defaults.value2, 100);
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
