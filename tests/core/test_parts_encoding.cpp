#include <gtest/gtest.h>

#include "core/builder/FaceBuilder.h"

namespace mopira {
namespace {

TEST(PartsEncoding, AFileWithTheMarkIsUtf8) {
    const PartTable utf8 = LoadPartTable("\xEF\xBB\xBFくま\nʕ\nʔ\n", PartCategory::Edge);
    EXPECT_EQ(utf8.charset.GetEncoding(), Encoding::Utf8);
    ASSERT_EQ(utf8.RowCount(), 1u);
    EXPECT_EQ(utf8.Name(0), "くま") << "the mark is no part of the first line";
    EXPECT_EQ(utf8.Variation(0, 2), "ʔ");

    const PartTable cp932 = LoadPartTable("\x82\xA0\n(\n)\n", PartCategory::Edge);
    EXPECT_EQ(cp932.charset.GetEncoding(), Encoding::Cp932);
    EXPECT_EQ(cp932.Name(0), "\x82\xA0");
}

TEST(PartsEncoding, AFaceNeverMixesEncodings) {
    CFaceBuilder builder;
    builder.SetTable(PartCategory::Eye, LoadPartTable("\x82\xA0\n\x81\x4B\n\x81\x4B\n",
                                                      PartCategory::Eye));  // ゜ eyes
    builder.SelectRow(PartCategory::Eye, 0);
    EXPECT_EQ(builder.GetCharset().GetEncoding(), Encoding::Cp932);
    EXPECT_EQ(builder.ComposeFace(), "(\x81\x4B_\x81\x4B)");

    // A UTF-8 table makes the tables and captions so far UTF-8.
    builder.SetTable(PartCategory::Mouth,
                     LoadPartTable("\xEF\xBB\xBFくま\nᴥ\n", PartCategory::Mouth));
    EXPECT_EQ(builder.GetCharset().GetEncoding(), Encoding::Utf8);
    EXPECT_EQ(builder.ComposeFace(), "(゜_゜)");
    builder.SelectRow(PartCategory::Mouth, 0);
    EXPECT_EQ(builder.ComposeFace(), "(゜ᴥ゜)");
    EXPECT_EQ(builder.Table(PartCategory::Eye).Name(0), "あ");

    // A CP932 table joins as UTF-8.
    builder.SetTable(PartCategory::Edge, LoadPartTable("x\n\x81\x69\n\x81\x6A\n",
                                                       PartCategory::Edge));  // （ ）
    EXPECT_EQ(builder.Table(PartCategory::Edge).charset.GetEncoding(), Encoding::Utf8);
    builder.SelectRow(PartCategory::Edge, 0);
    EXPECT_EQ(builder.ComposeFace(), "（゜ᴥ゜）");
}

}  // namespace
}  // namespace mopira
