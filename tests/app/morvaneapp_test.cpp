#include "app/morvaneapp.h"
#include "app/programfolder.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "platform/settingsstore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Each test gets its own empty registry and working folder.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::UseSettingsFile((registry.Path() / "r.ini").string());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(work.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    testsupport::TempDir registry;
    testsupport::TempDir work;
    std::filesystem::path previous;
};

} // namespace

TEST_F(AppFixture, FoldersComeFromTheWorkingFolderAndContentDir) {
    CAppSettings s;
    CMorvaneApp app(s);
    ASSERT_TRUE(app.InitFolders());
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(s.GetProgramFolder(), cwd + "\\");
    EXPECT_EQ(s.GetContentFolder(), cwd + "\\"); // no "contentdir": the program folder

    WriteRegistryString("/media/cdrom", HKEY_CURRENT_USER, kRegistryKey, "contentdir");
    ASSERT_TRUE(app.InitFolders());
    EXPECT_EQ(s.GetContentFolder(), "/media/cdrom\\");
    EXPECT_EQ(s.MakeContentPath("res\\Data"), "/media/cdrom\\res\\Data");
}

TEST_F(AppFixture, AnInstalledProgramFindsItsFolderBesideItsExecutables) {
    // PREFIX/bin beside PREFIX/share/morvane/res, as the package installs.
    testsupport::TempDir prefix;
    const std::filesystem::path bin = prefix.Path() / "bin";
    const std::filesystem::path installed =
        std::filesystem::canonical(prefix.Path()) / "share" / "morvane";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(installed / "res");
    CAppSettings s;
    CMorvaneApp app(s);
    ASSERT_TRUE(app.InitFolders(bin.string()));
    EXPECT_EQ(s.GetProgramFolder(), installed.string() + "\\");
    EXPECT_EQ(s.GetContentFolder(), installed.string() + "\\");
    WriteRegistryString("/media/cdrom", HKEY_CURRENT_USER, kRegistryKey, "contentdir");
    ASSERT_TRUE(app.InitFolders(bin.string()));
    EXPECT_EQ(s.GetProgramFolder(), installed.string() + "\\");
    EXPECT_EQ(s.GetContentFolder(), "/media/cdrom\\");

    // No res/ folder there (a file is no folder), or no executable folder
    // known: the working folder, as for the staged program.
    std::filesystem::remove(installed / "res");
    prefix.Write("share/morvane/res", "not a folder");
    EXPECT_EQ(InstalledProgramFolder(bin.string()), "");
    EXPECT_EQ(InstalledProgramFolder(""), "");
    ASSERT_TRUE(app.InitFolders(bin.string()));
    EXPECT_EQ(s.GetProgramFolder(), std::filesystem::current_path().string() + "\\");
}

TEST_F(AppFixture, CommandLineReachesTheSettings) {
    CAppSettings s;
    CMorvaneApp app(s);
    app.ParseCommandLine({"2", "1024", "768"});
    EXPECT_EQ(s.GetLanguage(), 2);
    EXPECT_EQ(s.GetWindowWidth(), 1024);
    EXPECT_EQ(s.GetWindowHeight(), 768);
}

TEST_F(AppFixture, RunCountStartsAtZeroAndGrows) {
    EXPECT_EQ(CountProgramRun(), 0);
    DWORD stored = 99;
    EXPECT_TRUE(ReadRegistryDword(&stored, HKEY_CURRENT_USER, kRegistryKey, "nruns"));
    EXPECT_EQ(stored, 0u);
    EXPECT_EQ(CountProgramRun(), 1);
    EXPECT_EQ(CountProgramRun(), 2);
}

TEST_F(AppFixture, WizardShowsUnlessTurnedOff) {
    EXPECT_EQ(ReadWizardShowNextTime(), 1);
    WriteWizardShowNextTime(0);
    EXPECT_EQ(ReadWizardShowNextTime(), 0);
    WriteWizardShowNextTime(1);
    EXPECT_EQ(ReadWizardShowNextTime(), 1);
}

TEST_F(AppFixture, LanguageAndWindowTitleAreStored) {
    EXPECT_EQ(ReadWindowTitle(), "");
    WriteWindowTitle("ontwerp.prt - Kavelo");
    EXPECT_EQ(ReadWindowTitle(), "ontwerp.prt - Kavelo");
    WriteLanguage(1);
    DWORD language = 0;
    EXPECT_TRUE(ReadRegistryDword(&language, HKEY_CURRENT_USER, kRegistryKey, "language"));
    EXPECT_EQ(language, 1u);
}
