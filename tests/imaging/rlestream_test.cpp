#include "imaging/rlestream.h"
#include "imagingtest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace imagingtest;

namespace {
constexpr uint32_t A = 0x102030, B = 0x405060;

std::vector<DWORD> CodesOf(const CRLEStream& s) {
    return {s.GetCodes().begin(), s.GetCodes().end()};
}

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
    EXPECT_EQ(CodesOf(s), (std::vector<DWORD>{0x00010101, 0x00030003, Word(A, 255), 0x00010002,
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
    EXPECT_EQ(CodesOf(s), (std::vector<DWORD>{0x00010101, 0x00040002, Word(A, 255), Word(A, 255),
                                              Word(A, 255), Word(B, 255), 0x00000005}));
}

TEST(RLEStreamTest, RepeatRunsAfterOneAnotherAndAtRowEnds) {
    // A A B B | B A A A : two rows.
    auto pic =
        MakePicture(4, 2, [](int x, int y) { return y == 0 ? (x < 2 ? A : B) : (x == 0 ? B : A); });
    CRLEStream s;
    ASSERT_TRUE(s.Build(pic.get(), 0));
    EXPECT_EQ(CodesOf(s), (std::vector<DWORD>{0x00010101, 0x00020003, Word(A, 255), 0x00020003,
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
    EXPECT_EQ(CodesOf(s), (std::vector<DWORD>{0x00010101, 0x00050004, 0x00000005, 0x00020004,
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

// The encoding rules read pixel by pixel as the design states them, with
// open runs tracked as the walk goes, for comparing whole pictures.
namespace {

std::vector<DWORD> ReferenceCodes(std::vector<std::vector<DWORD>> rows, int mode, bool keyed,
                                  DWORD key) {
    const auto isKey = [&](DWORD w) { return keyed && (w | 0xFF) == key; };
    std::vector<DWORD> codes{0x00010101};
    for (auto& row : rows) {
        row.push_back(0);
        const size_t none = size_t(-1);
        size_t literal = none, repeat = none, transparent = none;
        enum { kNone, kLiteral, kRepeat, kTransparent } last = kNone;
        const auto open = [&](size_t* run, DWORD word, decltype(last) kind) {
            literal = repeat = transparent = none;
            codes.push_back(word);
            *run = codes.size() - 1;
            last = kind;
        };
        const auto addLiteral = [&](DWORD cur) {
            repeat = transparent = none;
            if (literal != none)
                codes[literal] += 1u << 16;
            else
                open(&literal, 0x00010002, kLiteral);
            codes.push_back(cur);
        };
        for (size_t x = 0; x + 1 < row.size(); ++x) {
            DWORD& cur = row[x];
            DWORD& next = row[x + 1];
            if (mode == 1 && keyed) {
                if (isKey(cur) && !isKey(next))
                    next = (next & ~0xFFu) | ((next & 0xFF) / 2);
                else if (!isKey(cur) && isKey(next))
                    cur = (cur & ~0xFFu) | ((cur & 0xFF) / 2);
            }
            if (isKey(cur) || (cur & 0xFF) == 0) {
                literal = repeat = none;
                if (transparent != none)
                    codes[transparent] += 1u << 16;
                else
                    open(&transparent, 0x00010004, kTransparent);
            } else if (mode == 1) {
                addLiteral(cur);
            } else if (cur == next) {
                literal = transparent = none;
                if (repeat != none) {
                    codes[repeat] += 1u << 16;
                } else {
                    open(&repeat, 0x00020003, kRepeat);
                    codes.push_back(cur);
                }
            } else if (last == kRepeat) {
                literal = repeat = transparent = none;
                last = kNone;
            } else {
                addLiteral(cur);
            }
        }
        codes.push_back(0x00000005);
    }
    return codes;
}

} // namespace

TEST(RLEStreamTest, CodesMatchTheRulesPixelByPixelOnRandomPictures) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + int(rng() % 70), h = 1 + int(rng() % 6);
        // Few colours, so that repeats, keys and literals all occur; the
        // top corners are equal in about half the pictures.
        const uint32_t palette[4] = {0xFFFFFF, 0x000000, A, B};
        std::vector<uint32_t> colours(size_t(w * h));
        for (auto& c : colours)
            c = palette[rng() % (round % 3 == 0 ? 2 : 4)];
        auto pic = MakePicture(w, h, [&](int x, int y) { return colours[size_t(y * w + x)]; });
        std::vector<std::vector<DWORD>> rows(static_cast<size_t>(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                rows[size_t(y)].push_back(Word(colours[size_t(y * w + x)], 255));
        const bool keyed = colours[0] == colours[size_t(w - 1)];
        for (int mode : {0, 1}) {
            CRLEStream s;
            ASSERT_TRUE(s.Build(pic.get(), mode));
            ASSERT_EQ(s.IsKeyed(), keyed);
            ASSERT_EQ(CodesOf(s), ReferenceCodes(rows, mode, keyed, Word(colours[0], 255)))
                << "round " << round << " mode " << mode << " size " << w << "x" << h;
        }
    }
}

TEST(RLEStreamTest, WordsWithTheirOwnAlphaDecodeAsGivenAndGrowPastTheFirstRoom) {
    // Transparent and opaque pixels by turns take three words for two
    // pixels, more than the room a picture's pixels suggest.
    std::mt19937 rng(5);
    const int w = 301, h = 40;
    std::vector<DWORD> words(size_t(w * h));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = i % 2 ? 0 : (rng() & 0xFFFFFF00u) | (1 + rng() % 255);
    CRLEStream s;
    ASSERT_TRUE(s.BuildFromWords(words.data(), w, h, 0));
    EXPECT_FALSE(s.IsKeyed());
    EXPECT_GT(s.GetCodes().size(), size_t((w + 2) * h + 2 * w + 2));
    std::vector<std::vector<DWORD>> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        rows[size_t(y)].assign(words.begin() + y * w, words.begin() + (y + 1) * w);
        std::vector<DWORD> decoded(size_t(w), 0xDEAD);
        ASSERT_EQ(s.DecodeRow(y, decoded.data()), w);
        ASSERT_EQ(decoded, rows[size_t(y)]) << "row " << y;
        ASSERT_EQ(RowWords(s, y, false), rows[size_t(y)]) << "row " << y;
    }
    EXPECT_EQ(CodesOf(s), ReferenceCodes(rows, 0, false, 0));
    EXPECT_FALSE(CRLEStream().BuildFromWords(words.data(), 0, h, 0));
}
