#include "platform/logfont.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

TEST(LogFontTest, FieldsSitWhereDesignFilesExpectThem) {
    EXPECT_EQ(sizeof(LOGFONTA), 60u);
    EXPECT_EQ(offsetof(LOGFONTA, lfWeight), 16u);
    EXPECT_EQ(offsetof(LOGFONTA, lfItalic), 20u);
    EXPECT_EQ(offsetof(LOGFONTA, lfPitchAndFamily), 27u);
    EXPECT_EQ(offsetof(LOGFONTA, lfFaceName), 28u);
}

TEST(LogFontTest, NegativeHeightIsAPixelHeightAndStylesCarryOver) {
    LOGFONTA lf{};
    lf.lfHeight = -24;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfUnderline = 1;
    lf.lfStrikeOut = 0;
    platform::SetFaceName(lf, "DejaVu Sans");
    const QFont f = platform::FontFromLogFont(lf);
    EXPECT_EQ(f.pixelSize(), 24);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_EQ(f.family().toStdString(), "DejaVu Sans");

    const LOGFONTA back = platform::LogFontFromFont(f);
    EXPECT_EQ(back.lfHeight, -24);
    EXPECT_EQ(back.lfWeight, 700);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_EQ(back.lfUnderline, 1);
    EXPECT_EQ(back.lfStrikeOut, 0);
    EXPECT_STREQ(back.lfFaceName, "DejaVu Sans");
}

TEST(LogFontTest, PositiveHeightIsTheCellHeight) {
    LOGFONTA lf{};
    lf.lfHeight = 40;
    platform::SetFaceName(lf, "DejaVu Sans");
    const QFont f = platform::FontFromLogFont(lf);
    // The character height is smaller than the cell, and the cell comes out
    // within a pixel of what was asked.
    EXPECT_LT(f.pixelSize(), 40);
    EXPECT_NEAR(QFontMetrics(f).height(), 40, 1);
}

TEST(LogFontTest, ZeroWeightAndHeightMeanDefaults) {
    LOGFONTA lf{};
    const QFont f = platform::FontFromLogFont(lf);
    EXPECT_EQ(f.weight(), QFont::Normal);
    EXPECT_EQ(f.pixelSize(), QFont().pixelSize());
}

TEST(LogFontTest, FaceNameIsCutWithoutSplittingACharacter) {
    LOGFONTA lf{};
    // 30 ASCII letters and then a two-byte letter that would straddle byte 31.
    const std::string name = std::string(30, 'a') + "\xC3\xA9" + "b";
    platform::SetFaceName(lf, name.c_str());
    EXPECT_EQ(std::strlen(lf.lfFaceName), 30u);
    platform::SetFaceName(lf, std::string(40, 'x').c_str());
    EXPECT_EQ(std::strlen(lf.lfFaceName), 31u);
}
