#include <gtest/gtest.h>

#include <string>

#include "LibraryGenerator.h"
#include "core/library/FaceLibrary.h"
#include "core/text/Charset.h"

namespace mopira::bench {
namespace {

// The benchmarks wait for a list of exactly `count` rows and divide by the file's size: a
// generated library must load whole, with realistic texts only.
TEST(LibraryGenerator, MakesDistinctValidFacesOfEightToFortyBytes) {
    for (std::size_t count : {1u, 1000u, 20000u}) {
        const std::string bytes = GenerateFaceList(count);
        CFaceLibrary library;
        library.LoadFaceList(bytes);
        ASSERT_EQ(library.Size(), count);
        EXPECT_EQ(library.SaveFaceList(), bytes) << "not in the form the program writes";
        library.ForEachRecord([&](RecordId id) {
            const std::string& text = library.Text(id);
            EXPECT_GE(text.size(), 8u);
            EXPECT_LE(text.size(), 40u);
            EXPECT_EQ(Charset::ToUtf16(text).find(u'\uFFFD'), std::u16string::npos) << text;
        });
    }
}

TEST(LibraryGenerator, SameCountSameBytesAndAboutThirtySevenBytesARecord) {
    const std::string bytes = GenerateFaceList(20000);
    EXPECT_EQ(GenerateFaceList(20000), bytes);
    EXPECT_EQ(&CachedFaceList(20000), &CachedFaceList(20000));
    EXPECT_EQ(CachedFaceList(20000), bytes);
    // A million records make the library of about 37 MB that the figures are quoted for.
    const double perRecord = static_cast<double>(bytes.size()) / 20000;
    EXPECT_GT(perRecord, 34);
    EXPECT_LT(perRecord, 40);
}

}  // namespace
}  // namespace mopira::bench
