#include "app/commandline.h"
#include "content/appsettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

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

TEST(CommandLineTest, FifthAndLaterNumbersAreCountedAndIgnoredAndFilesKeptBesideThem) {
    CAppSettings s;
    CCustomCommandLineInfo info(s);
    info.ParseArguments({"3", "800", "design.prt", "600", "0", "77", "/home/a/photo.jpg"});
    EXPECT_EQ(info.GetParamCount(), 5);
    EXPECT_EQ(s.GetLanguage(), 3);
    EXPECT_EQ(s.GetWindowHeight(), 600);
    EXPECT_EQ(s.GetFullScreen(), 0);
    // Files are kept whole, whatever the folder the program started in.
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(info.GetFiles(),
              (std::vector<std::string>{here + "/design.prt", "/home/a/photo.jpg"}));
}

TEST(CommandLineTest, ANumberIsANumberAndAFileAFile) {
    QTemporaryDir folder;
    const std::string numbered = folder.filePath("2024-photo.jpg").toStdString();
    std::ofstream(numbered) << "x";
    for (const char* number : {"2", "-5", "/900", " 7 ", "1024px", "-x", "/x", "+3"})
        EXPECT_FALSE(NamesFile(number)) << number;
    for (const std::string& file :
         {std::string("photo.jpg"), std::string("/home/a/gone.prt"), numbered})
        EXPECT_TRUE(NamesFile(file)) << file;
    // A file called "2" in the folder does not swallow the language.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    std::ofstream("2") << "x";
    EXPECT_FALSE(NamesFile("2"));
    QDir::setCurrent(previous);
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
