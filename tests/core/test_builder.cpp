#include <gtest/gtest.h>

#include <vector>

#include "core/builder/FaceBuilder.h"

namespace mopira {
namespace {

PartTable Table(PartCategory category, const char* bytes) {
    return LoadPartTable(bytes, category);
}

// A random source that hands out a script and counts its calls.
struct ScriptedRandom {
    std::vector<unsigned> draws;
    int calls = 0;
    CFaceBuilder::RandomSource Source() {
        return [this] { return draws[static_cast<std::size_t>(calls++) % draws.size()]; };
    }
};

TEST(FaceBuilder, StartsAsTheTemplateFaceWithFeelingsLeftOut) {
    CFaceBuilder builder;
    EXPECT_EQ(builder.ComposeFace(), "(^_^)");
    builder.SetIncluded(PartCategory::Emotion, true);
    EXPECT_EQ(builder.ComposeFace(), "(^_^;)") << "the empty left feeling adds nothing";
    builder.SetIncluded(PartCategory::Eye, false);
    EXPECT_EQ(builder.ComposeFace(), "(_;)");
    builder.SetIncluded(PartCategory::Eye, true);
    EXPECT_EQ(builder.ComposeFace(), "(^_^;)") << "the eyes come back as they were";
    for (const auto& info : AllPartCategories()) {
        builder.SetIncluded(info.category, false);
    }
    EXPECT_EQ(builder.ComposeFace(), "");
    EXPECT_FALSE(builder.ShownCategory());
}

TEST(FaceBuilder, SteppingWrapsAndTheFirstStepShowsRowOne) {
    CFaceBuilder builder;
    builder.SetTable(PartCategory::Eye, Table(PartCategory::Eye, "a\n^\n^\nb\n-\n-\nc\nT\nT\n"));
    EXPECT_TRUE(builder.StepRow(PartCategory::Eye));
    EXPECT_EQ(builder.CurrentRow(PartCategory::Eye), 1);
    EXPECT_EQ(builder.ComposeFace(), "(-_-)");
    builder.StepRow(PartCategory::Eye);
    EXPECT_EQ(builder.ComposeFace(), "(T_T)");
    builder.StepRow(PartCategory::Eye);
    EXPECT_EQ(builder.CurrentRow(PartCategory::Eye), 0) << "wraps after the last row";

    builder.SetTable(PartCategory::Mouth, Table(PartCategory::Mouth, "only\no\n"));
    for (int i = 0; i < 3; ++i) {
        builder.StepRow(PartCategory::Mouth);
        EXPECT_EQ(builder.CurrentRow(PartCategory::Mouth), 0);
    }
    EXPECT_EQ(builder.ComposeFace(), "(^o^)");
}

TEST(FaceBuilder, EmptyTablesAndMissingRowsChangeNothing) {
    CFaceBuilder builder;
    EXPECT_FALSE(builder.StepRow(PartCategory::Edge));
    EXPECT_FALSE(builder.SelectRow(PartCategory::Edge, 0));
    builder.SetTable(PartCategory::Edge, Table(PartCategory::Edge, "x\n[\n]\n"));
    EXPECT_FALSE(builder.SelectRow(PartCategory::Edge, 1));
    EXPECT_FALSE(builder.SelectRow(PartCategory::Edge, -1));
    EXPECT_EQ(builder.ComposeFace(), "(^_^)");

    ScriptedRandom random{{7}};
    CFaceBuilder empty;
    empty.Randomize(random.Source());
    EXPECT_EQ(empty.ComposeFace(), "(^_^)") << "no table has rows";
    EXPECT_EQ(random.calls, 3) << "still one draw per checked category";
}

TEST(FaceBuilder, NoneEmptiesASlot) {
    CFaceBuilder builder;
    builder.SetTable(PartCategory::Edge, Table(PartCategory::Edge, "a\n(\n)\nhand\nヽ(\nnone\n"));
    builder.StepRow(PartCategory::Edge);
    EXPECT_EQ(builder.Caption(PartSlot::EdgeRight), "");
    EXPECT_EQ(builder.ComposeFace(), "ヽ(^_^");
}

TEST(FaceBuilder, RandomDrawsOncePerCheckedCategoryInTypeListOrder) {
    CFaceBuilder builder;
    builder.SetTable(PartCategory::Eye, Table(PartCategory::Eye, "a\n^\n^\nb\n-\n-\nc\nT\nT\n"));
    builder.SetTable(PartCategory::Mouth, Table(PartCategory::Mouth, "a\n_\nb\no\n"));
    builder.SetTable(PartCategory::Edge, Table(PartCategory::Edge, "a\n(\n)\nb\n[\n]\n"));
    builder.SetTable(PartCategory::Emotion, Table(PartCategory::Emotion, "a\n*\n*\n"));

    ScriptedRandom random{{5, 3, 1}};  // eye 5 % 3, mouth 3 % 2, edge 1 % 2
    builder.Randomize(random.Source());
    EXPECT_EQ(random.calls, 3);
    EXPECT_EQ(builder.ComposeFace(), "[ToT]");
    EXPECT_EQ(builder.CurrentRow(PartCategory::Eye), 2);

    builder.SetIncluded(PartCategory::Eye, false);
    builder.SetIncluded(PartCategory::Mouth, false);
    builder.SetIncluded(PartCategory::Edge, false);
    random.calls = 0;
    builder.Randomize(random.Source());
    EXPECT_EQ(random.calls, 0) << "nothing checked, nothing drawn";
    EXPECT_EQ(builder.ComposeFace(), "");
}

}  // namespace
}  // namespace mopira
