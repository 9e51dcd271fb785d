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

TEST(PartTable, NoneIsEmptyOnlyInVariationsOfEdgeAndEmotion) {
    const PartTable edge = LoadPartTable("hand\nnone\n)\nnone\n(\nnone\n", PartCategory::Edge);
    EXPECT_EQ(edge.strings, (Strings{"hand", "", ")", "none", "(", ""}));
    EXPECT_EQ(edge.Variation(0, 1), "");
    EXPECT_EQ(edge.Variation(0, 2), ")");
    EXPECT_EQ(edge.Name(1), "none") << "a row name \"none\" is a name";

    const PartTable eye = LoadPartTable("x\nnone\nnone\n", PartCategory::Eye);
    EXPECT_EQ(eye.strings, (Strings{"x", "none", "none"}));

    const PartTable emotion = LoadPartTable("x\n none\nNone\n", PartCategory::Emotion);
    EXPECT_EQ(emotion.strings, (Strings{"x", " none", "None"}));
}

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
