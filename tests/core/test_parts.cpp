#include <gtest/gtest.h>

#include "core/builder/PartTable.h"

namespace mopira {
namespace {

using Strings = std::vector<std::string>;

TEST(PartTable, LineEndsAndBlankLinesBeforeRecords) {
    const Strings expected = {"smile", "^", "^", "flat", "-", "-"};
    for (const char* bytes : {"smile\r\n^\r\n^\r\nflat\r\n-\r\n-\r\n", "smile\n^\n^\nflat\n-\n-",
                              "\n\nsmile\n^\n^\n\n\n\nflat\n-\n-\n\n"}) {
        const PartTable table = LoadPartTable(bytes, PartCategory::Eye);
        EXPECT_EQ(table.strings, expected) << bytes;
        EXPECT_EQ(table.RowCount(), 2u);
    }
}

struct NoneRule {
    PartCategory category;
    const char* name;
    std::size_t width;
    bool noneIsEmpty;  // in the variation lines; the name line never
};

void PrintTo(const NoneRule& rule, std::ostream* out) {
    *out << rule.name;
}

class PartTableNone : public testing::TestWithParam<NoneRule> {};

// "none" in each line of a record that follows an ordinary one, with either line end and as
// the file's last line without one.
TEST_P(PartTableNone, InEachLineOfARecord) {
    const NoneRule& rule = GetParam();
    Strings ordinary = {"name", "(", ")"};
    ordinary.resize(rule.width);
    for (std::size_t line = 0; line < rule.width; ++line) {
        Strings record = ordinary;
        record[line] = "none";
        Strings expected = ordinary;
        expected.insert(expected.end(), record.begin(), record.end());
        if (line > 0 && rule.noneIsEmpty) {
            expected[rule.width + line] = "";
        }
        for (const std::string lineEnd : {"\n", "\r\n"}) {
            std::string bytes;
            for (const std::string& text : ordinary) {
                bytes += text + lineEnd;
            }
            for (const std::string& text : record) {
                bytes += text + lineEnd;
            }
            SCOPED_TRACE(testing::PrintToString(bytes));
            EXPECT_EQ(LoadPartTable(bytes, rule.category).strings, expected);
            bytes.resize(bytes.size() - lineEnd.size());
            EXPECT_EQ(LoadPartTable(bytes, rule.category).strings, expected)
                << "as the last line, without a line end";
        }
    }
}

// Only a line that is exactly "none" is the keyword.
TEST_P(PartTableNone, NearMissesAreTexts) {
    const NoneRule& rule = GetParam();
    for (const std::string text : {" none", "none ", "None", "NONE", "nonenone", "non", "none\r"}) {
        std::string bytes = "name\r\n";
        Strings expected = {"name"};
        for (std::size_t line = 1; line < rule.width; ++line) {
            bytes += text + "\r\n";
            expected.push_back(text);
        }
        EXPECT_EQ(LoadPartTable(bytes, rule.category).strings, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, PartTableNone,
                         testing::Values(NoneRule{PartCategory::Eye, "Eye", 3, false},
                                         NoneRule{PartCategory::Mouth, "Mouth", 2, false},
                                         NoneRule{PartCategory::Edge, "Edge", 3, true},
                                         NoneRule{PartCategory::Emotion, "Emotion", 3, true}),
                         [](const testing::TestParamInfo<NoneRule>& info) {
                             return std::string(info.param.name);
                         });

TEST(PartTable, EmptyVariationShiftsTheRowsBehindIt) {
    const PartTable shifted = LoadPartTable("a\n\n1\nb\n2\n3\n", PartCategory::Eye);
    EXPECT_EQ(shifted.strings, (Strings{"a", "1", "b", "2", "3"}));
    EXPECT_EQ(shifted.RowCount(), 1u);

    const PartTable cut = LoadPartTable("name\n\nleft", PartCategory::Eye);
    EXPECT_EQ(cut.strings, (Strings{"name", "left"}));
    EXPECT_EQ(cut.RowCount(), 0u) << "strings behind the last complete row form no row";

    const PartTable mouths = LoadPartTable("a\n_\nb\no\nc", PartCategory::Mouth);
    EXPECT_EQ(mouths.RowCount(), 2u);
    EXPECT_EQ(mouths.Variation(1, 1), "o");
    EXPECT_EQ(mouths.Variation(1, 2), "") << "a mouth has one variation";

    EXPECT_EQ(LoadPartTable("", PartCategory::Emotion).RowCount(), 0u);
}

TEST(PartTable, SlotsJoinInFaceOrder) {
    Strings order;
    for (const PartSlotInfo& slot : AllPartSlots()) {
        order.push_back(InfoOf(slot.category).fileName + std::string(":") +
                        std::to_string(slot.variation));
    }
    EXPECT_EQ(order, (Strings{"Edge.dat:1", "Emotion.dat:1", "Eye.dat:1", "Mouth.dat:1",
                              "Eye.dat:2", "Emotion.dat:2", "Edge.dat:2"}));
}

}  // namespace
}  // namespace mopira
