// The command-line renderer as a user runs it: the real executable from
// another working folder, its exit status, its messages on the standard
// error and the pictures and designs it writes.

#include "app/messagetable.h"
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
        EXPECT_NE(usage.errors.find("usage: morvane-render DESIGN OUTPUT [--width N]"),
                  std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(Path("a.bmp")));
}

} // namespace
