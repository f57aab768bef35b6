#include "imaging/dibmanager.h"
#include "imagingtest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace imagingtest;

// The cache loads the image part of a clip-art triple, so its paths name
// image files ("i...").
TEST(DIBManagerTest, SharesImagesByPathAndCountsReferences) {
    testsupport::TempDir dir;
    const std::string path = dir.Str() + "/iskin.bmp";
    ASSERT_TRUE(MakePicture(4, 8, [](int, int) { return 0x112233u; })->Save(path));
    CDIBManager cache;
    CDIB* first = cache.Load(path.c_str(), CDIB::kImage);
    ASSERT_NE(first, nullptr);
    CDIB* second = cache.Load(path.c_str(), CDIB::kImage);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_EQ(cache.Find(path.c_str()), first);
    EXPECT_EQ(first->GetRefCount(), 2); // Find adds none
    EXPECT_TRUE(cache.Release(first, false));
    EXPECT_EQ(cache.GetCount(), 1);
    EXPECT_TRUE(cache.Release(first, false)); // deleted and forgotten
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_EQ(cache.Find(path.c_str()), nullptr);
    EXPECT_EQ(cache.Load((dir.Str() + "/missing.bmp").c_str(), CDIB::kImage), nullptr);
    EXPECT_EQ(cache.GetCount(), 0);
}

TEST(DIBManagerTest, PathsDifferingInCaseAreDifferentImages) {
    testsupport::TempDir dir;
    const std::string path = dir.Str() + "/iskin.bmp";
    ASSERT_TRUE(MakePicture(2, 2, [](int, int) { return 0u; })->Save(path));
    CDIBManager cache;
    CDIB* image = cache.Load(path.c_str(), CDIB::kImage);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(cache.Find((dir.Str() + "/ISKIN.bmp").c_str()), nullptr);
    // Adding an image the cache holds adds a reference only.
    EXPECT_TRUE(cache.Add(image, CDIB::kImage));
    EXPECT_EQ(image->GetRefCount(), 2);
    EXPECT_EQ(cache.GetCount(), 1);
    // Releasing with removeAlways forgets it even though a reference stays.
    EXPECT_TRUE(cache.Release(image, true));
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_EQ(image->GetRefCount(), 1);
    EXPECT_FALSE(cache.Release(image, false)); // not in the cache any more
    image->Release();
    EXPECT_FALSE(cache.Add(nullptr, 0));
}
