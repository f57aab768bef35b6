#include "content/appsettings.h"

#include <gtest/gtest.h>

TEST(AppSettingsTest, StartsWithTheDocumentedDefaults) {
    CAppSettings s;
    EXPECT_EQ(s.GetLanguage(), 0);
    EXPECT_EQ(s.GetWindowWidth(), 812);
    EXPECT_EQ(s.GetWindowHeight(), 650);
    EXPECT_EQ(s.GetFullScreen(), 0);
    EXPECT_EQ(s.GetStartupAbort(), 0);
    EXPECT_EQ(s.GetDisplayFlags(), 0u);
    EXPECT_EQ(s.GetProgramFolder(), "");
}

TEST(AppSettingsTest, FoldersGetOneTrailingSeparator) {
    CAppSettings s;
    s.SetProgramFolder("C:\\Kavelo");
    EXPECT_EQ(s.GetProgramFolder(), "C:\\Kavelo\\");
    s.SetProgramFolder("C:\\");
    EXPECT_EQ(s.GetProgramFolder(), "C:\\");
    s.SetProgramFolder("/");
    EXPECT_EQ(s.GetProgramFolder(), "/");
    s.SetProgramFolder("/opt/kavelo");
    EXPECT_EQ(s.GetProgramFolder(), "/opt/kavelo\\");
}

TEST(AppSettingsTest, PathCompositionIsPlainConcatenationIntoOneSharedResult) {
    CAppSettings s;
    s.SetProgramFolder("/opt/kavelo");
    s.SetContentFolder("D:\\content");
    const std::string& first = s.MakeProgramPath("res\\kv\\inquit");
    EXPECT_EQ(first, "/opt/kavelo\\res\\kv\\inquit");
    const std::string copy = first;
    const std::string& second = s.MakeContentPath("res\\Data");
    EXPECT_EQ(second, "D:\\content\\res\\Data");
    // The first result was overwritten by the second call.
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first, "D:\\content\\res\\Data");
    EXPECT_EQ(copy, "/opt/kavelo\\res\\kv\\inquit");
}

TEST(AppSettingsTest, DisplayFlagOperations) {
    CAppSettings s;
    s.AddDisplayFlags(CAppSettings::kDisplayExamined);
    EXPECT_EQ(s.TestDisplayFlags(CAppSettings::kDisplayExamined), 1);
    EXPECT_EQ(s.TestDisplayFlags(CAppSettings::kPaletteDisplay), 0);
    EXPECT_EQ(s.TestDisplayFlags(CAppSettings::kPaletteDisplay | CAppSettings::kDisplayExamined),
              1);
    s.AddDisplayFlags(CAppSettings::kPaletteDisplay);
    EXPECT_EQ(s.GetDisplayFlags(), 3u);
    s.RemoveDisplayFlags(CAppSettings::kPaletteDisplay);
    EXPECT_EQ(s.GetDisplayFlags(), 2u);
    s.SetDisplayFlags(0x10);
    EXPECT_EQ(s.GetDisplayFlags(), 0x10u);
    s.Reset();
    EXPECT_EQ(s.GetDisplayFlags(), 0u);
}
