#include "content/directory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace {

std::set<std::string> Listed(const CDirectory& d) {
    std::set<std::string> names;
    for (int i = 0; i < d.GetCount(); ++i) {
        std::string name;
        EXPECT_TRUE(d.GetFileName(i, &name));
        names.insert(name);
    }
    return names;
}

class ClipArtFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("Data/tcat.bmp", "c");
        dir.Write("Data/icat.bmp", "cc");
        dir.Write("Data/TDOG.BMP", "d");
        dir.Write("Data/readme", "r");
        dir.Write("Data/animals/tfox.bmp", "f");
        folder = dir.Str() + "\\Data";
    }
    testsupport::TempDir dir;
    std::string folder;
};

// Keeps only thumbnail files, as the clip-art browser does, and counts the
// hook calls.
class ThumbsOnly : public CDirectory {
public:
    BOOL BeginScan() override {
        ++beginScans;
        return TRUE;
    }
    BOOL Accept(const CFileInfo& f) override {
        ++offered;
        return f.m_findData.cFileName[0] == 't' || f.m_findData.cFileName[0] == 'T';
    }
    int beginScans = 0;
    int offered = 0;
};

} // namespace

TEST_F(ClipArtFixture, ScanListsEveryNameForStarDotStar) {
    CDirectory d;
    EXPECT_EQ(d.GetPattern(), "*.*");
    EXPECT_TRUE(d.SetPath(folder));
    EXPECT_EQ(Listed(d),
              (std::set<std::string>{"tcat.bmp", "icat.bmp", "TDOG.BMP", "readme", "animals"}));
    EXPECT_EQ(d.GetFlags(), CDirectory::kHasPath);
}

TEST_F(ClipArtFixture, PatternsIgnoreCaseAndASecondScanReplacesTheEntries) {
    CDirectory d;
    d.SetPattern("t*.bmp");
    EXPECT_TRUE(d.SetPath(folder));
    EXPECT_EQ(Listed(d), (std::set<std::string>{"tcat.bmp", "TDOG.BMP"}));
    EXPECT_TRUE(d.Scan("i*.*"));
    EXPECT_EQ(Listed(d), (std::set<std::string>{"icat.bmp"}));
    EXPECT_TRUE(d.Scan("*.jpg")); // nothing found: TRUE and empty
    EXPECT_EQ(d.GetCount(), 0);
}

TEST_F(ClipArtFixture, AcceptanceHookNarrowsTheListing) {
    ThumbsOnly d;
    EXPECT_TRUE(d.SetPath(folder));
    EXPECT_EQ(Listed(d), (std::set<std::string>{"tcat.bmp", "TDOG.BMP"}));
    EXPECT_EQ(d.beginScans, 1);
    EXPECT_EQ(d.offered, 5);
    // A scan that finds nothing does not start.
    d.Scan("*.none");
    EXPECT_EQ(d.beginScans, 1);
}

TEST_F(ClipArtFixture, FullPathsJoinWithExactlyOneSeparator) {
    CDirectory d;
    d.SetPattern("icat.*");
    EXPECT_TRUE(d.SetPaths(folder + "\\", dir.Str() + "\\Thumbs"));
    ASSERT_EQ(d.GetCount(), 1); // the doubled separator before the pattern still finds it
    std::string path;
    EXPECT_TRUE(d.GetFullPath(0, &path));
    EXPECT_EQ(path, folder + "\\icat.bmp");
    EXPECT_TRUE(d.GetAltFullPath(0, &path));
    EXPECT_EQ(path, dir.Str() + "\\Thumbs\\icat.bmp");
    EXPECT_EQ(d.GetFlags(), CDirectory::kHasPath | CDirectory::kHasAltPath);

    d.SetPath(folder);
    EXPECT_TRUE(d.GetFullPath(0, &path));
    EXPECT_EQ(path, folder + "\\icat.bmp");
}

TEST_F(ClipArtFixture, IndexesOutsideTheListingAnswerFalse) {
    CDirectory d;
    d.SetPattern("icat.bmp");
    d.SetPath(folder);
    std::string s = "kept";
    EXPECT_FALSE(d.GetFileName(-1, &s));
    EXPECT_FALSE(d.GetFileName(1, &s));
    EXPECT_FALSE(d.GetFullPath(5, &s));
    EXPECT_FALSE(d.GetAltFullPath(1, &s));
    EXPECT_FALSE(d.GetFileName(0, nullptr));
    EXPECT_EQ(s, "kept");
    EXPECT_EQ(d.GetEntry(1), nullptr);
    ASSERT_NE(d.GetEntry(0), nullptr);
    EXPECT_EQ(d.GetEntry(0)->m_findData.nFileSizeLow, 2u);
}

TEST_F(ClipArtFixture, FindByTagReturnsTheFirstInListingOrder) {
    CDirectory d;
    d.SetPath(folder);
    ASSERT_GE(d.GetCount(), 3);
    EXPECT_EQ(d.FindByTag(7), nullptr);
    EXPECT_EQ(d.FindByTag(0), d.GetEntry(0)); // every entry starts with tag 0
    d.GetEntry(1)->m_nTag = 7;
    d.GetEntry(2)->m_nTag = 7;
    EXPECT_EQ(d.FindByTag(7), d.GetEntry(1));
}

TEST(DirectoryTest, PathsAndRescans) {
    testsupport::TempDir dir;
    CDirectory d;
    EXPECT_FALSE(d.Scan(nullptr)); // no path yet
    EXPECT_TRUE(d.SetAltPath("elsewhere"));
    EXPECT_EQ(d.GetFlags(), CDirectory::kHasAltPath);
    EXPECT_EQ(d.GetCount(), 0);
    EXPECT_FALSE(d.SetPaths("", "alt"));                    // an empty path still scans, and fails
    EXPECT_TRUE(d.SetPath(dir.Str() + "\\does-not-exist")); // missing folder: empty, TRUE
    EXPECT_EQ(d.GetCount(), 0);

    dir.Write("a.bmp", "");
    EXPECT_TRUE(d.SetPath(dir.Str()));
    EXPECT_EQ(d.GetCount(), 1);
    // A failed scan keeps the old entries.
    d.SetPaths("", "alt");
    EXPECT_EQ(d.GetCount(), 1);
}
