#include "platform/paths.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using platform::MatchesWildcard;

TEST(WildcardTest, MatchesTheWayFolderListingsDo) {
    EXPECT_TRUE(MatchesWildcard("*.*", "flower.bmp"));
    EXPECT_TRUE(MatchesWildcard("*.*", "README")); // no dot still matches
    EXPECT_TRUE(MatchesWildcard("*.*", ".hidden"));
    EXPECT_TRUE(MatchesWildcard("*", "anything.at.all"));
    EXPECT_TRUE(MatchesWildcard("t*.bmp", "tFlower.BMP")); // case is ignored
    EXPECT_TRUE(MatchesWildcard("T*.BMP", "tflower.bmp"));
    EXPECT_FALSE(MatchesWildcard("t*.bmp", "iflower.bmp"));
    EXPECT_FALSE(MatchesWildcard("t*.bmp", "tflower.bmpx"));
    EXPECT_TRUE(MatchesWildcard("?flower.bmp", "aflower.bmp"));
    EXPECT_FALSE(MatchesWildcard("?flower.bmp", "flower.bmp"));
    EXPECT_TRUE(MatchesWildcard("*a*b*c", "xxaxxbxxc"));
    EXPECT_FALSE(MatchesWildcard("*a*b*c", "xxaxxcxxb"));
    EXPECT_TRUE(MatchesWildcard("name.*", "name"));
    EXPECT_TRUE(MatchesWildcard("*.", "noextension"));
    EXPECT_FALSE(MatchesWildcard("*.", "has.extension"));
    EXPECT_FALSE(MatchesWildcard("", "a"));
}

TEST(NativePathTest, BackslashesBecomeSlashes) {
    EXPECT_EQ(platform::NativePath("res\\kv\\inquit"), "res/kv/inquit");
    EXPECT_EQ(platform::NativePath("/opt/kavelo\\res\\Data"), "/opt/kavelo/res/Data");
}

namespace {
std::set<std::string> Names(const std::vector<WIN32_FIND_DATAA>& found) {
    std::set<std::string> names;
    for (const auto& f : found)
        names.insert(f.cFileName);
    return names;
}
} // namespace

TEST(FindFilesTest, ListsMatchesWithSizesAndFolderAttributes) {
    testsupport::TempDir dir;
    dir.Write("Data/tcat.bmp", "12345");
    dir.Write("Data/TDOG.BMP", "1");
    dir.Write("Data/icat.bmp", "123");
    dir.Write("Data/sub/inner.bmp", "");
    const std::string folder = dir.Str() + "\\Data";

    auto found = platform::FindFiles(folder + "\\t*.bmp");
    EXPECT_EQ(Names(found), (std::set<std::string>{"tcat.bmp", "TDOG.BMP"}));
    for (const auto& f : found)
        EXPECT_EQ(f.nFileSizeLow, std::string(f.cFileName) == "tcat.bmp" ? 5u : 1u);

    found = platform::FindFiles(folder + "\\*.*");
    EXPECT_EQ(Names(found), (std::set<std::string>{"tcat.bmp", "TDOG.BMP", "icat.bmp", "sub"}));
    const auto sub = std::find_if(found.begin(), found.end(),
                                  [](const auto& f) { return std::string(f.cFileName) == "sub"; });
    ASSERT_NE(sub, found.end());
    EXPECT_TRUE(sub->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);

    // A doubled separator before the pattern is harmless.
    EXPECT_EQ(Names(platform::FindFiles(folder + "\\\\i*.*")), (std::set<std::string>{"icat.bmp"}));
    // A plain path names the file or folder itself.
    EXPECT_EQ(Names(platform::FindFiles(folder + "\\icat.bmp")),
              (std::set<std::string>{"icat.bmp"}));
    EXPECT_EQ(Names(platform::FindFiles(folder)), (std::set<std::string>{"Data"}));
    EXPECT_TRUE(platform::FindFiles(folder + "\\nothing.bmp").empty());
    EXPECT_TRUE(platform::FindFiles(dir.Str() + "\\missing\\*.*").empty());
    EXPECT_TRUE(platform::FindFiles(folder + "\\").empty());
}
