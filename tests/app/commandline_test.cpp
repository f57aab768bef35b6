#include "app/commandline.h"
#include "content/appsettings.h"

#include <gtest/gtest.h>

TEST(CommandLineTest, NumbersFillLanguageWidthHeightAndFullScreenInOrder) {
    CAppSettings s;
    CCustomCommandLineInfo info(s);
    info.ParseArguments({"2", "1024", "768"});
    EXPECT_EQ(s.GetLanguage(), 2);
    EXPECT_EQ(s.GetWindowWidth(), 1024);
    EXPECT_EQ(s.GetWindowHeight(), 768);
    EXPECT_EQ(s.GetFullScreen(), 0);

    CAppSettings full;
    CCustomCommandLineInfo fullInfo(full);
    fullInfo.ParseArguments({"0", "0", "0", "1"});
    EXPECT_EQ(full.GetWindowWidth(), 0);
    EXPECT_EQ(full.GetWindowHeight(), 0);
    EXPECT_EQ(full.GetFullScreen(), 1);
}

TEST(CommandLineTest, ASwitchWithoutDigitsCountsAsZero) {
    CAppSettings s;
    s.SetLanguage(9);
    CCustomCommandLineInfo info(s);
    info.ParseArguments({"/x", "900"});
    EXPECT_EQ(s.GetLanguage(), 0);
    EXPECT_EQ(s.GetWindowWidth(), 900);
    EXPECT_EQ(s.GetWindowHeight(), 650);
}

TEST(CommandLineTest, FifthAndLaterParametersAreCountedAndIgnored) {
    CAppSettings s;
    CCustomCommandLineInfo info(s);
    info.ParseArguments({"3", "800", "600", "0", "77", "design.prt"});
    EXPECT_EQ(info.GetParamCount(), 6);
    EXPECT_EQ(s.GetLanguage(), 3);
    EXPECT_EQ(s.GetFullScreen(), 0);
}

TEST(CommandLineTest, LeadingIntegers) {
    EXPECT_EQ(LeadingInteger("1024px"), 1024);
    EXPECT_EQ(LeadingInteger("-12"), -12);
    EXPECT_EQ(LeadingInteger("+7"), 7);
    EXPECT_EQ(LeadingInteger("width=5"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger(nullptr), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), -2147483647 - 1);
    // A switch character is taken off before conversion, so "-5" as a
    // switch gives 5; passed as a plain parameter it gives -5.
    CAppSettings s;
    CCustomCommandLineInfo info(s);
    info.ParseParam("5", TRUE, FALSE);
    info.ParseParam("-5", FALSE, TRUE);
    EXPECT_EQ(s.GetLanguage(), 5);
    EXPECT_EQ(s.GetWindowWidth(), -5);
}
