// Decodes every file of the BMP suite made by others: good files must match
// Qt's reading of the same file, questionable and bad ones may be refused,
// and none may crash.

#include "codecs/textexception.h"
#include "codectest.h"
#include "testsupport.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace codectest;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> files;
    const fs::path dir = fs::path(testsupport::TestDataDir()) / "bmpsuite" / folder;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".bmp")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Per-channel tolerance against Qt: this decoder widens channels narrower
// than 8 bits to the full range where Qt shifts them.
int MaskTolerance(const std::string& name) {
    return name.rfind("rgb16", 0) == 0 || name.rfind("rgba16", 0) == 0 ? 17 : 1;
}

// Files whose masks Qt narrows differently (2- and 3-bit channels, 11-bit
// and 18-bit channels); they are checked at the picture's pure red corner instead.
bool QtMisreadsMasks(const std::string& name) {
    return name == "rgb16-231.bmp" || name == "rgb16-3103.bmp" || name == "rgb32-111110.bmp" ||
           name == "rgb32-7187.bmp";
}

struct Outcome {
    bool decoded = false;
    int code = 0;
};

Outcome Decode(const std::string& path, CWinBmp* bmp) {
    Outcome o;
    try {
        DecodeFile(path, bmp);
        o.decoded = true;
    } catch (const CTextException& e) {
        o.code = e.Code();
    }
    return o;
}

} // namespace

TEST(BmpSuiteTest, GoodFilesOfReadableKindsMatchQt) {
    const auto files = Files("g");
    ASSERT_GE(files.size(), 20u);
    int compared = 0;
    for (const auto& path : files) {
        CWinBmp bmp;
        const Outcome o = Decode(path, &bmp);
        const std::string name = fs::path(path).filename().string();
        // Files with other information headers are refused by design.
        const bool otherHeader =
            name == "pal8os2.bmp" || name == "pal8v4.bmp" || name == "pal8v5.bmp";
        if (otherHeader) {
            EXPECT_FALSE(o.decoded) << name;
            EXPECT_EQ(o.code, 2) << name;
            continue;
        }
        ASSERT_TRUE(o.decoded) << name << " refused with code " << o.code;
        // NOTE: five-bit channels are widened to the full 0..255 range; Qt
        // shifts them (31 becomes 248), so 16-bit files differ by up to 7.
        const int tolerance = name.rfind("rgb16", 0) == 0 ? 7 : 0;
        EXPECT_TRUE(SamePixels(bmp, QImage(QString::fromStdString(path)), false, tolerance))
            << name;
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

TEST(BmpSuiteTest, QuestionableFilesDecodeCorrectlyOrAreRefused) {
    for (const auto& path : Files("q")) {
        CWinBmp bmp;
        const Outcome o = Decode(path, &bmp);
        const std::string name = fs::path(path).filename().string();
        if (!o.decoded) {
            EXPECT_NE(o.code, 0) << name;
            continue;
        }
        // What is shown must be what the file holds, where Qt reads it too.
        const QImage qt(QString::fromStdString(path));
        if (QtMisreadsMasks(name)) {
            EXPECT_EQ(Pixel(bmp, 0, 0) & 0xFFFFFF, 0xFF0000u) << name;
            continue;
        }
        if (!qt.isNull())
            EXPECT_TRUE(SamePixels(bmp, qt, false, MaskTolerance(name))) << name;
    }
}

TEST(BmpSuiteTest, BadFilesAreRefusedCleanly) {
    int refused = 0;
    for (const auto& path : Files("b")) {
        CWinBmp bmp;
        const Outcome o = Decode(path, &bmp);
        if (!o.decoded)
            ++refused;
        else
            EXPECT_GT(bmp.GetWidth(), 0) << path;
    }
    EXPECT_GE(refused, 12);
}
