// The listing behind the clip-art strips keeps only thumbnail files.

#include "controls/imagedirectory.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const CDirectory& listing) {
    std::vector<std::string> names;
    for (int i = 0; i < listing.GetCount(); ++i) {
        std::string name;
        EXPECT_TRUE(listing.GetFileName(i, &name));
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Scans the folder and answers what the scan printed.
std::string ScanPrinting(CImageDirectory* listing, const std::string& folder) {
    testing::internal::CaptureStdout();
    const BOOL scanned = listing->SetPath(folder);
    std::fflush(stdout);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(scanned);
    return printed;
}

CFileInfo Found(const char* name, DWORD attributes) {
    CFileInfo info;
    std::strncpy(info.m_findData.cFileName, name, sizeof info.m_findData.cFileName - 1);
    info.m_findData.dwFileAttributes = attributes;
    return info;
}

} // namespace

TEST(ImageDirectory, ListsOnlyTheThumbnailOfATriple) {
    testsupport::TempDir dir;
    dir.Write("tcat.bmp", "t");
    dir.Write("icat.bmp", "i");
    dir.Write("acat.bmp", "a");
    dir.Write("tdir/tinside.bmp", "x");
    CImageDirectory listing;
    EXPECT_EQ(ScanPrinting(&listing, dir.Str()), "filename <tcat.bmp>\n");
    EXPECT_EQ(Names(listing), std::vector<std::string>{"tcat.bmp"});
    std::string path;
    ASSERT_TRUE(listing.GetFullPath(0, &path));
    EXPECT_EQ(path, dir.Str() + "\\tcat.bmp");
}

TEST(ImageDirectory, FirstLetterInEitherCase) {
    testsupport::TempDir dir;
    dir.Write("Tcat.bmp", "t");
    dir.Write("Icat.bmp", "i");
    dir.Write("Acat.bmp", "a");
    std::filesystem::create_directory(dir.Path() / "Tdir");
    CImageDirectory listing;
    EXPECT_EQ(ScanPrinting(&listing, dir.Str()), "filename <Tcat.bmp>\n");
    EXPECT_EQ(Names(listing), std::vector<std::string>{"Tcat.bmp"});
}

TEST(ImageDirectory, MissingFolderListsNothing) {
    testsupport::TempDir dir;
    CImageDirectory listing;
    EXPECT_EQ(ScanPrinting(&listing, (dir.Path() / "none").string()), "");
    EXPECT_EQ(listing.GetCount(), 0);
}

TEST(ImageDirectory, AcceptanceByAttributesAndName) {
    CImageDirectory listing;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(listing.Accept(Found("t", FILE_ATTRIBUTE_NORMAL)));
    EXPECT_TRUE(listing.Accept(Found("T.BMP", FILE_ATTRIBUTE_READONLY)));
    EXPECT_FALSE(listing.Accept(Found("tdir", FILE_ATTRIBUTE_DIRECTORY)));
    EXPECT_FALSE(listing.Accept(Found("", FILE_ATTRIBUTE_NORMAL)));
    EXPECT_FALSE(listing.Accept(Found("xt.bmp", FILE_ATTRIBUTE_NORMAL)));
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "filename <t>\nfilename <T.BMP>\n");
}
