// The command-line renderer as a user runs it: the real executable from
// another working folder, its exit status, its messages on the standard
// error and the pictures and designs it writes.

#include "app/messagetable.h"
#include "platform/pdfraster.h"
#include "programtest.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using programtest::Lines;
using programtest::ReadFile;
using programtest::WriteFile;

const QString kRenderer = QStringLiteral(MORVANE_STAGE_DIR "/morvane-render");

struct Outcome {
    int status = -1;
    std::string errors;
    bool finished = false;
};

// The first clip-art picture of the staged resources, as designs name it.
std::string ClipArt() {
    const QDir data(QStringLiteral(MORVANE_STAGE_DIR "/res/Data"));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList files =
            QDir(data.filePath(category)).entryList({QStringLiteral("i*.bmp")}, QDir::Files);
        if (!files.isEmpty())
            return ("res\\Data\\" + category + "\\" + files.first()).toStdString();
    }
    return {};
}

std::string MessageText(int id) {
    for (const MessageTableRow& row : kMessageTable)
        if (row.id == id)
            return row.texts[kLanguageDutch - 1];
    return {};
}

// A design with the four corner colours, its aspect, and the records given.
std::string Design(const std::string& corners, const std::string& aspect, const std::string& count,
                   const std::string& page, const std::string& records) {
    return "16777215\n" + corners + "0\n" + aspect + "\n" + count + "\n" + page + records;
}

std::string PictureRecord(const std::string& path) {
    return "2\n255\n1\n" + path +
           "\n\n\n0\n100.000000\n100.000000\n200.000000\n200.000000\n1\n0\n0\n";
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

    QString Path(const char* name) const { return m_folder.filePath(QString::fromUtf8(name)); }

    // Runs the renderer in the temporary folder, with no display and no
    // platform chosen: it must choose the offscreen one itself.
    Outcome Render(const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_folder.path());
        process.start(kRenderer, arguments);
        Outcome run;
        run.finished = process.waitForFinished(60000);
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.errors = process.readAllStandardError().toStdString();
        return run;
    }

    QTemporaryDir m_folder;
};

bool Near(QRgb pixel, int red, int green, int blue) {
    return std::abs(qRed(pixel) - red) <= 2 && std::abs(qGreen(pixel) - green) <= 2 &&
           std::abs(qBlue(pixel) - blue) <= 2;
}

TEST_F(RenderTest, ADesignBecomesAPictureOfAThousandPixelsByItsAspectWithItsColours) {
    // Red, green, blue and white corners; a page twice as wide as high.
    WriteFile(Path("corners.prt"),
              Design("255\n65280\n16711680\n16777215\n", "2.000000", "0", "400\n200\n", ""));
    const Outcome run = Render({"corners.prt", "corners.bmp"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errors;
    const QImage image(Path("corners.bmp"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1000);
    // The page frame settles the proportion near the written one.
    EXPECT_NEAR(image.height(), 500, 3);
    EXPECT_TRUE(Near(image.pixel(0, 0), 255, 0, 0)) << std::hex << image.pixel(0, 0);
    EXPECT_TRUE(Near(image.pixel(999, 0), 0, 255, 0)) << std::hex << image.pixel(999, 0);
    const int bottom = image.height() - 1;
    EXPECT_TRUE(Near(image.pixel(0, bottom), 0, 0, 255)) << std::hex << image.pixel(0, bottom);
    EXPECT_TRUE(Near(image.pixel(999, bottom), 255, 255, 255));
    // The same design written as a design again: its colours and no layers.
    const Outcome again = Render({"corners.prt", "copy.prt"});
    EXPECT_EQ(again.status, 0) << again.errors;
    const std::vector<std::string> lines = Lines(ReadFile(Path("copy.prt")));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], "255");
    EXPECT_EQ(lines[2], "65280");
    EXPECT_EQ(lines[3], "16711680");
    EXPECT_EQ(lines[4], "16777215");
    EXPECT_EQ(lines[7], "0");
    // The exported height is 1000 / the aspect as the design holds it.
    EXPECT_EQ(image.height(), int(1000 / std::atof(lines[6].c_str())));
}

TEST_F(RenderTest, WidthGivesThePictureSizeAndThePictureLayerLandsOnThePage) {
    ASSERT_FALSE(ClipArt().empty());
    // All-black page, one picture over the middle of a 400 x 400 page.
    WriteFile(Path("one.prt"),
              Design("0\n0\n0\n0\n", "1.000000", "1", "400\n400\n", PictureRecord(ClipArt())));
    const Outcome run = Render({"one.prt", "one.jpg", "--width", "200"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(ReadFile(Path("one.jpg")).substr(0, 3), "\xFF\xD8\xFF");
    const QImage jpeg(Path("one.jpg"));
    ASSERT_FALSE(jpeg.isNull());
    EXPECT_EQ(jpeg.width(), 200);
    EXPECT_NEAR(jpeg.height(), 200, 2);
    // Outside the layer's box (100..300 of 400) the page is black; inside
    // something of the picture shows.
    EXPECT_TRUE(Near(jpeg.pixel(10, 10), 0, 0, 0));
    EXPECT_TRUE(Near(jpeg.pixel(190, 190), 0, 0, 0));
    int lit = 0;
    for (int y = 55; y < 145; ++y)
        for (int x = 55; x < 145; ++x)
            lit += qGray(jpeg.pixel(x, y)) > 40;
    EXPECT_GT(lit, 90 * 90 / 10);

    // The same as a bitmap at the program's width: 1000 wide.
    const Outcome full = Render({"one.prt", "one.bmp"});
    EXPECT_EQ(full.status, 0) << full.errors;
    const QImage bmp(Path("one.bmp"));
    EXPECT_EQ(bmp.width(), 1000);
    EXPECT_TRUE(Near(bmp.pixel(20, 20), 0, 0, 0));
}

TEST_F(RenderTest, APictureFileIsOpenedAsTheOneLayerOfTheDesign) {
    const QString picture = QStringLiteral(MORVANE_STAGE_DIR "/") +
                            QString::fromStdString(ClipArt()).replace('\\', '/');
    const Outcome run = Render({picture, "picture.prt"});
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> lines = Lines(ReadFile(Path("picture.prt")));
    ASSERT_EQ(lines.size(), 10u + 2 + 4 + 8);
    EXPECT_EQ(lines[7], "1");
    EXPECT_EQ(lines[13], picture.toStdString());
}

TEST_F(RenderTest, AMissingPictureIsReportedAndSkipped) {
    WriteFile(Path("missing.prt"),
              Design("0\n0\n0\n0\n", "1.000000", "2", "400\n400\n",
                     PictureRecord(".\\res\\Data\\inothere.bmp") + PictureRecord(ClipArt())));
    const Outcome run = Render({"missing.prt", "kept.prt"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find(MessageText(1016) + " res\\Data\\inothere.bmp"), std::string::npos)
        << run.errors;
    const std::vector<std::string> lines = Lines(ReadFile(Path("kept.prt")));
    ASSERT_EQ(lines.size(), 10u + 2 + 4 + 8);
    EXPECT_EQ(lines[13], ClipArt());
}

TEST_F(RenderTest, AHostileDesignEndsWithTheDataItHolds) {
    WriteFile(Path("hostile.prt"), Design("0\n0\n0\n0\n", "0.000000", "2147483647", "0\n0\n",
                                          PictureRecord(ClipArt()) + "1\n255\n0\n0\nBEGIN_STRING\n"
                                                                     "no end\n"));
    const Outcome run = Render({"hostile.prt", "hostile.prt.prt"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> lines = Lines(ReadFile(Path("hostile.prt.prt")));
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[7], "2");
    // A page of no size keeps the box as written (up to the page frame
    // settling by a pixel or two when the page is laid out again).
    EXPECT_NEAR(std::atof(lines[17].c_str()), 100.0, 1.5) << lines[17];
    EXPECT_NEAR(std::atof(lines[19].c_str()), 200.0, 3.0) << lines[19];
}

TEST_F(RenderTest, FailuresEndWithTheProgramsMessageAndAStatus) {
    WriteFile(Path("empty.prt"), Design("0\n0\n0\n0\n", "1.000000", "0", "400\n400\n", ""));
    const Outcome gif = Render({"empty.prt", "page.gif"});
    EXPECT_NE(gif.status, 0);
    EXPECT_NE(gif.errors.find("Error: unknown file format"), std::string::npos) << gif.errors;
    EXPECT_FALSE(QFile::exists(Path("page.gif")));

    const Outcome absent = Render({"absent.prt", "page.bmp"});
    EXPECT_NE(absent.status, 0);
    EXPECT_NE(absent.errors.find("Error: could not read file <" +
                                 QDir::toNativeSeparators(Path("absent.prt")).toStdString() + ">."),
              std::string::npos)
        << absent.errors;
    EXPECT_FALSE(QFile::exists(Path("page.bmp")));

    WriteFile(Path("junk.bmp"), "no picture");
    const Outcome junk = Render({"junk.bmp", "page.bmp"});
    EXPECT_NE(junk.status, 0);
    EXPECT_FALSE(QFile::exists(Path("page.bmp")));

    for (const QStringList& wrong :
         {QStringList{}, QStringList{"empty.prt"}, QStringList{"empty.prt", "a.bmp", "b.bmp"},
          QStringList{"empty.prt", "a.bmp", "--width"},
          QStringList{"empty.prt", "a.bmp", "--width", "0"},
          QStringList{"empty.prt", "a.bmp", "--width", "12x"}}) {
        const Outcome usage = Render(wrong);
        EXPECT_EQ(usage.status, 2) << wrong.join(' ').toStdString();
        EXPECT_NE(usage.errors.find("usage: morvane-render DESIGN OUTPUT [options]"),
                  std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(Path("a.bmp")));
}

// "width height xdpi ydpi channels" as ImageMagick reads the picture.
QStringList Identify(const QString& path) {
    QProcess tool;
    tool.start("identify", {"-units", "PixelsPerInch", "-format", "%w %h %x %y %[channels]", path});
    tool.waitForFinished(30000);
    return QString::fromLatin1(tool.readAllStandardOutput()).split(' ');
}

QString PageSize(const QString& pdf) {
    for (const QString& line : pdfraster::RunTool("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith("Page size:"))
            return line.mid(10).simplified();
    return {};
}

TEST_F(RenderTest, APdfOutputIsPrintedWithTheOptionsGiven) {
    WriteFile(Path("one.prt"),
              Design("0\n0\n0\n0\n", "1.000000", "1", "400\n400\n", PictureRecord(ClipArt())));
    // Own size 10 x 8 cm on paper for dark fabric, with cut marks, at 300 dpi.
    const Outcome dark =
        Render({"one.prt", "dark.pdf", "--cm", "10x8", "--dark", "--marks", "--dpi", "300"});
    ASSERT_EQ(dark.status, 0) << dark.errors;
    EXPECT_EQ(PageSize(Path("dark.pdf")), "595 x 842 pts (A4)");
    const auto darkImages =
        pdfraster::Images(Path("dark.pdf").toStdString(), Path("d").toStdString());
    ASSERT_EQ(darkImages.size(), 1u);
    // 10 / 2.54 x 300 = 1181.1 and 8 / 2.54 x 300 = 944.9, truncated.
    EXPECT_EQ(darkImages[0].width, 1181);
    EXPECT_EQ(darkImages[0].height, 944);
    EXPECT_EQ(darkImages[0].ppiX, 300);
    const Outcome light = Render({"one.prt", "light.pdf", "--mode=3", "--cm=10x8", "--dpi=300"});
    ASSERT_EQ(light.status, 0) << light.errors;
    const auto lightImages =
        pdfraster::Images(Path("light.pdf").toStdString(), Path("l").toStdString());
    ASSERT_EQ(lightImages.size(), 1u);
    EXPECT_TRUE(lightImages[0].pixels == darkImages[0].pixels.mirrored(true, false))
        << "light fabric is the mirror of dark fabric";

    // Small logos filling a Letter sheet at 300 dpi: one picture, every cell.
    const Outcome logos = Render(
        {"one.prt", "logos.pdf", "--mode", "2", "--fill", "--paper", "Letter", "--dpi", "300"});
    ASSERT_EQ(logos.status, 0) << logos.errors;
    EXPECT_EQ(PageSize(Path("logos.pdf")), "612 x 792 pts (letter)");
    const auto cells = pdfraster::Images(Path("logos.pdf").toStdString(), Path("g").toStdString());
    EXPECT_EQ(cells.size(), 12u);
}

TEST_F(RenderTest, APictureAtSizeHasItsCentimetresAndResolution) {
    WriteFile(Path("one.prt"),
              Design("0\n0\n0\n0\n", "1.000000", "1", "400\n400\n", PictureRecord(ClipArt())));
    const Outcome png =
        Render({"one.prt", "shirt.png", "--cm", "25", "--dpi", "300", "--transparent"});
    ASSERT_EQ(png.status, 0) << png.errors;
    const QStringList seen = Identify(Path("shirt.png"));
    ASSERT_EQ(seen.size(), 5);
    EXPECT_EQ(seen[0], "2953") << "25 / 2.54 x 300 = 2952.8";
    // The page's proportion, as the page frame settles it near the written 1.
    EXPECT_NEAR(seen[1].toInt(), 2953, 25);
    EXPECT_NEAR(seen[2].toDouble(), 300, 0.01);
    EXPECT_EQ(seen[4], "srgba");
    EXPECT_EQ(qAlpha(QImage(Path("shirt.png")).pixel(5, 5)), 0) << "no background";

    const Outcome tif = Render({"one.prt", "small.tif", "--cm", "10", "--dpi", "150"});
    ASSERT_EQ(tif.status, 0) << tif.errors;
    const QStringList small = Identify(Path("small.tif"));
    ASSERT_EQ(small.size(), 5);
    EXPECT_EQ(small[0], "591");
    EXPECT_NEAR(small[2].toDouble(), 150, 0.01);
    EXPECT_EQ(small[4], "srgb");
}

TEST_F(RenderTest, OptionsThatDoNotFitTheOutputAreUsageErrors) {
    WriteFile(Path("empty.prt"), Design("0\n0\n0\n0\n", "1.000000", "0", "400\n400\n", ""));
    // A design that prints at its own size, whose size the file does not hold.
    WriteFile(Path("own.prt"), "16777215\n0\n0\n0\n0\n3\n1.000000\n0\n400\n400\n");
    const struct {
        QStringList arguments;
        const char* why;
    } wrong[] = {
        {{"empty.prt", "a.pdf", "--mode", "3"}, "--mode 3 needs --cm WxH"},
        {{"empty.prt", "a.pdf", "--mode", "1", "--cm", "10x8"}, "--cm is the size of mode 3"},
        {{"empty.prt", "a.pdf", "--cm", "10"}, "--cm takes WxH"},
        {{"empty.prt", "a.pdf", "--paper", "A3"}, "--paper takes A4 or Letter"},
        {{"empty.prt", "a.pdf", "--transparent"}, "--transparent does not apply"},
        {{"empty.prt", "a.png", "--dark"}, "--dark does not apply"},
        {{"empty.prt", "a.bmp", "--transparent"}, "--transparent needs a .png"},
        {{"empty.prt", "a.bmp", "--width", "200", "--cm", "10"}, "--width is the program"},
        {{"empty.prt", "a.bmp", "--cm", "10x8"}, "--cm takes the width"},
        {{"empty.prt", "a.bmp", "--dpi", "0"}, "--dpi takes 1 to 2400"},
        {{"empty.prt", "a.bmp", "--fast"}, "unknown option --fast"},
        {{"empty.prt", "a.prt", "--dpi", "300"}, "--dpi does not apply"},
        {{"own.prt", "a.pdf"}, "the design prints at its own size: give --cm WxH"},
    };
    for (const auto& w : wrong) {
        const Outcome usage = Render(w.arguments);
        EXPECT_EQ(usage.status, 2) << w.arguments.join(' ').toStdString();
        EXPECT_NE(usage.errors.find(w.why), std::string::npos)
            << w.arguments.join(' ').toStdString() << ": " << usage.errors;
        EXPECT_NE(usage.errors.find("usage:"), std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(Path("a.pdf")));
}

} // namespace
