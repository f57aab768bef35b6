#include "imaging/rlestream.h"
#include "imagingtest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace imagingtest;

namespace {
constexpr uint32_t A = 0x102030, B = 0x405060;

std::vector<DWORD> RowWords(CRLEStream& s, int row, bool mirrored) {
    std::vector<DWORD> out;
    s.SeekRow(row, mirrored);
    for (int x = 0; x < s.GetWidth(); ++x) {
        DWORD w = 0xDEAD;
        EXPECT_TRUE(s.ReadPixel(x, &w)) << x;
        out.push_back(w);
    }
    return out;
}
} // namespace

TEST(RLEStreamTest, PictureModeCodesRepeatsAndLiterals) {
    // Top corners differ (A and B), so the picture is opaque and unkeyed.
    auto pic = MakePicture(4, 1, [](int x, int) { return x < 3 ? A : B; });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 0));
    EXPECT_FALSE(s.IsKeyed());
    EXPECT_EQ(s.GetCodes(), (std::vector<DWORD>{0x00010101, 0x00030003, Word(A, 255), 0x00010002,
                                                Word(B, 255), 0x00000005}));
    EXPECT_EQ(s.GetRowStarts(), (std::vector<DWORD>{1}));
    EXPECT_EQ(RowWords(s, 0, false),
              (std::vector<DWORD>{Word(A, 255), Word(A, 255), Word(A, 255), Word(B, 255)}));
    EXPECT_EQ(RowWords(s, 0, true),
              (std::vector<DWORD>{Word(B, 255), Word(A, 255), Word(A, 255), Word(A, 255)}));
}

TEST(RLEStreamTest, TextModeCodesEveryOpaquePixelAsALiteral) {
    auto pic = MakePicture(4, 1, [](int x, int) { return x < 3 ? A : B; });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 1));
    EXPECT_EQ(s.GetCodes(), (std::vector<DWORD>{0x00010101, 0x00040002, Word(A, 255), Word(A, 255),
                                                Word(A, 255), Word(B, 255), 0x00000005}));
}

TEST(RLEStreamTest, RepeatRunsAfterOneAnotherAndAtRowEnds) {
    // A A B B | B A A A : two rows.
    auto pic =
        MakePicture(4, 2, [](int x, int y) { return y == 0 ? (x < 2 ? A : B) : (x == 0 ? B : A); });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 0));
    EXPECT_EQ(s.GetCodes(), (std::vector<DWORD>{0x00010101, 0x00020003, Word(A, 255), 0x00020003,
                                                Word(B, 255), 0x00000005, 0x00010002, Word(B, 255),
                                                0x00030003, Word(A, 255), 0x00000005}));
    EXPECT_EQ(s.GetRowStarts(), (std::vector<DWORD>{1, 6}));
    EXPECT_EQ(RowWords(s, 1, false),
              (std::vector<DWORD>{Word(B, 255), Word(A, 255), Word(A, 255), Word(A, 255)}));
}

TEST(RLEStreamTest, EqualTopCornersKeyTheirColourAsTransparent) {
    // White corners: every white pixel becomes transparent.
    auto pic = MakePicture(5, 2, [](int x, int y) { return (x == 2 && y == 1) ? A : 0xFFFFFF; });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 0));
    EXPECT_TRUE(s.IsKeyed());
    EXPECT_EQ(s.GetKeyColour(), Word(0xFFFFFF, 255));
    EXPECT_EQ(RowWords(s, 0, false), (std::vector<DWORD>(5, 0)));
    EXPECT_EQ(RowWords(s, 1, false), (std::vector<DWORD>{0, 0, Word(A, 255), 0, 0}));
    EXPECT_EQ(s.GetCodes(), (std::vector<DWORD>{0x00010101, 0x00050004, 0x00000005, 0x00020004,
                                                0x00010002, Word(A, 255), 0x00020004, 0x00000005}));
}

TEST(RLEStreamTest, TextEdgesAreHalfTransparent) {
    // Paper (white) corners; ink columns: 1 (one pixel wide) and 3-5.
    auto pic = MakePicture(
        8, 1, [](int x, int) { return (x == 1 || (x >= 3 && x <= 5)) ? 0u : 0xFFFFFFu; });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 1));
    const auto row = RowWords(s, 0, false);
    EXPECT_EQ(row[0], 0u);
    EXPECT_EQ(row[1], Word(0, 63)); // paper on both sides: halved twice
    EXPECT_EQ(row[2], 0u);
    EXPECT_EQ(row[3], Word(0, 127));
    EXPECT_EQ(row[4], Word(0, 255));
    EXPECT_EQ(row[5], Word(0, 127));
    EXPECT_EQ(row[7], 0u);
    // In picture mode the same pixels stay opaque.
    CRLEStream picture;
    ASSERT_TRUE(picture.Build(pic.get(), 0));
    EXPECT_EQ(RowWords(picture, 0, false)[3], Word(0, 255));
}

TEST(RLEStreamTest, InkInATopCornerGivesNoKey) {
    auto pic = MakePicture(4, 2, [](int x, int y) { return (x == 0 && y == 0) ? 0u : 0xFFFFFFu; });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 1));
    EXPECT_FALSE(s.IsKeyed());
    EXPECT_EQ(RowWords(s, 1, false), (std::vector<DWORD>(4, Word(0xFFFFFF, 255))));
}

TEST(RLEStreamTest, AlphaCompanionGivesTheAlphaAndMustMatchInSize) {
    testsupport::TempDir dir;
    auto image = MakePicture(3, 1, [](int, int) { return A; });
    auto alpha = MakePicture(3, 1, [](int x, int) { return uint32_t(x * 100) * 0x010101u; });
    ASSERT_TRUE(image->Save(dir.Str() + "/istar.bmp"));
    ASSERT_TRUE(alpha->Save(dir.Str() + "/astar.bmp"));
    CDIB star;
    ASSERT_TRUE(star.Load(dir.Str() + "/istar.bmp", 0, 0));
    CRLEStream s;
    ASSERT_TRUE(s.Build(&star, 0));
    EXPECT_FALSE(s.IsKeyed()); // equal corners, but the alpha file decides
    EXPECT_EQ(RowWords(s, 0, false), (std::vector<DWORD>{0, Word(A, 100), Word(A, 200)}));

    auto wrongSize = MakePicture(2, 1, [](int, int) { return 0xFFFFFFu; });
    ASSERT_TRUE(wrongSize->Save(dir.Str() + "/astar.bmp"));
    CDIB mismatched;
    ASSERT_TRUE(mismatched.Load(dir.Str() + "/istar.bmp", 0, 0));
    CRLEStream bad;
    EXPECT_FALSE(bad.Build(&mismatched, 0));
    EXPECT_FALSE(bad.IsValid());
}

TEST(RLEStreamTest, ReaderMovesOnlyForward) {
    auto pic = MakePicture(4, 1, [](int x, int) { return x < 3 ? A : B; });
    CRLEStream s(pic.get());
    ASSERT_TRUE(s.IsValid());
    s.SeekRow(0, false);
    DWORD w = 0;
    EXPECT_TRUE(s.ReadPixel(3, &w));
    EXPECT_EQ(w, Word(B, 255));
    w = 7;
    EXPECT_FALSE(s.ReadPixel(1, &w)); // behind: refused, reader unchanged
    EXPECT_EQ(w, 7u);
    EXPECT_TRUE(s.ReadPixel(3, &w));
    EXPECT_EQ(w, Word(B, 255));
    EXPECT_FALSE(s.ReadPixel(4, &w)); // past the width
    // A valid stream is not rebuilt.
    auto other = MakePicture(9, 9, [](int, int) { return 0u; });
    EXPECT_TRUE(s.Build(other.get(), 0));
    EXPECT_EQ(s.GetWidth(), 4);
    EXPECT_FALSE(s.Build(nullptr, 0));
    EXPECT_FALSE(s.IsValid());
}
