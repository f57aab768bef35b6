// Every picture format says the resolution the picture prints at, as
// ImageMagick reads it back, and a PNG carries the alpha companion as its
// transparency.

#include "imaging/dib.h"
#include "imagingtest.h"
#include "testsupport.h"

#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace imagingtest;

namespace {

struct Seen {
    int width = 0, height = 0;
    double dpiX = 0, dpiY = 0;
    std::string channels;
};

// What ImageMagick's identify reads in the file.
Seen Identify(const std::string& path) {
    QProcess tool;
    tool.start("identify", {"-units", "PixelsPerInch", "-format", "%w %h %x %y %[channels]",
                            QString::fromStdString(path)});
    if (!tool.waitForStarted(10000)) {
        ADD_FAILURE() << "identify did not start: install imagemagick (tools/setup.sh)";
        return {};
    }
    tool.waitForFinished(30000);
    const QStringList words = QString::fromLatin1(tool.readAllStandardOutput()).split(' ');
    if (words.size() != 5) {
        ADD_FAILURE() << "identify could not read " << path;
        return {};
    }
    return {words[0].toInt(), words[1].toInt(), words[2].toDouble(), words[3].toDouble(),
            words[4].toStdString()};
}

void ExpectSeen(const std::string& path, int width, int height, double dpiX, double dpiY,
                const std::string& channels) {
    const Seen seen = Identify(path);
    EXPECT_EQ(seen.width, width) << path;
    EXPECT_EQ(seen.height, height) << path;
    // Pixels per metre or centimetre come back within a hundredth.
    EXPECT_NEAR(seen.dpiX, dpiX, 0.02) << path;
    EXPECT_NEAR(seen.dpiY, dpiY, 0.02) << path;
    EXPECT_EQ(seen.channels, channels) << path;
}

} // namespace

TEST(DibResolutionTest, EveryFormatSaysItsResolution) {
    testsupport::TempDir dir;
    auto picture = MakePicture(30, 20, [](int x, int y) { return uint32_t(x * 8) << 8 | y; });
    picture->SetResolution(300, 150);
    EXPECT_EQ(picture->GetHeader()->biXPelsPerMeter, 11811) << "300 dpi in pixels per metre";
    EXPECT_EQ(picture->GetHeader()->biYPelsPerMeter, 5906);
    for (const char* extension : {".bmp", ".jpg", ".tif", ".png"}) {
        const std::string path = dir.Str() + "/picture" + extension;
        ASSERT_TRUE(picture->Save(path)) << extension;
        ExpectSeen(path, 30, 20, 300, 150, "srgb");
    }
    // A resolution that is no whole number of dots per inch: the JPEG
    // says it in dots per centimetre (40), the others keep it.
    picture->SetResolution(101.6, 101.6);
    for (const char* extension : {".jpg", ".tif"}) {
        const std::string path = dir.Str() + "/metric" + extension;
        ASSERT_TRUE(picture->Save(path));
        ExpectSeen(path, 30, 20, 101.6, 101.6, "srgb");
    }
}

TEST(DibResolutionTest, APngCarriesTheAlphaCompanion) {
    testsupport::TempDir dir;
    auto picture = MakePicture(16, 8, [](int x, int) { return x < 8 ? 0xFF0000u : 0x0000FFu; });
    auto alpha = MakePicture(16, 8, [](int x, int y) { return uint32_t(x * 16 + y); });
    picture->SetAlpha(std::move(alpha));
    picture->SetResolution(300, 300);
    const std::string path = dir.Str() + "/transparent.png";
    ASSERT_TRUE(picture->Save(path));
    ExpectSeen(path, 16, 8, 300, 300, "srgba");
    const QImage read(QString::fromStdString(path));
    ASSERT_EQ(read.format(), QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(qAlpha(read.pixel(x, y)), x * 16 + y) << x << ", " << y;
            ASSERT_EQ(read.pixel(x, y) & 0xFFFFFF, x < 8 ? 0xFF0000u : 0x0000FFu);
        }
    // A new block says nothing about printing.
    picture->Create(4, 4, 24, nullptr);
    EXPECT_EQ(picture->GetResolutionX(), 0);
    EXPECT_EQ(picture->GetHeader()->biXPelsPerMeter, 0);
}
