// The design file as data: the line reader, the parsed design, the exact
// lines the writers produce, picture path trimming and resolution, and the
// decoding of old files. Expected files are written out here in full.

#include "app/designfile.h"

#include "content/appsettings.h"
#include "testsupport.h"

#include <QProcess>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The lines as one string, each followed by a line feed.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        out += line;
        out += '\n';
    }
    return out;
}

const char* const kEmptyDesignLines[] = {"16777215", "255",      "65280", "16711680", "0",
                                         "1",        "0.950000", "0",     "400",      "421"};

DesignHeader SampleHeader() {
    DesignHeader header;
    header.colours[0] = 16777215;
    header.colours[1] = 255;
    header.colours[2] = 65280;
    header.colours[3] = 16711680;
    header.colours[4] = 0;
    header.pageMode = 1;
    header.aspect = 0.95;
    return header;
}

DesignRecord SamplePictureRecord() {
    DesignRecord record;
    record.kind = kDesignPictureLayer;
    record.opacity = 255;
    record.picture.loadMode = 1;
    record.picture.imagePath = "res\\Data\\ipicture.bmp";
    record.picture.alphaPath = "res\\Data\\apicture.bmp";
    record.picture.thumbPath = "res\\Data\\tpicture.bmp";
    record.box = {0, 50.0, 50.0, 200.0, 150.0, 1, 0, 0};
    return record;
}

DesignRecord SampleTextRecord() {
    DesignRecord record;
    record.kind = kDesignTextLayer;
    record.opacity = 128;
    record.text.colour = 255;
    record.text.alignment = 1;
    record.text.text = "AB\r\nCD";
    LOGFONTA& f = record.text.font;
    f.lfHeight = -60;
    f.lfWeight = 700;
    f.lfItalic = 1;
    f.lfOutPrecision = 3;
    f.lfClipPrecision = 2;
    f.lfQuality = 1;
    f.lfPitchAndFamily = 34;
    std::strcpy(f.lfFaceName, "Arial");
    record.box = {0, 10.5, -20.25, 300.0, -80.125, 1, 1, 0};
    return record;
}

const std::string kSampleDesignText =
    Lines({"16777215", "255", "65280", "16711680", "0", "1", "0.950000", "2", "400", "421",
           // the back-most layer: a picture
           "2", "255", "1", "res\\Data\\ipicture.bmp", "res\\Data\\apicture.bmp",
           "res\\Data\\tpicture.bmp", "0", "50.000000", "50.000000", "200.000000", "150.000000",
           "1", "0", "0",
           // the front-most layer: two lines of text
           "1", "128", "255", "1", "BEGIN_STRING", "AB\r", "CD", "END_STRING", "-60", "0", "0", "0",
           "700", "1", "0", "0", "0", "3", "2", "1", "34", "Arial", "0", "10.500000", "-20.250000",
           "300.000000", "-80.125000", "1", "1", "0"});

// A record of a picture layer with the given box values, as hand-made files have them.
std::string PictureRecordLines(const char* x, const char* y, const char* w, const char* h) {
    return Lines({"2", "255", "1", "pic.bmp", "", "", "0", x, y, w, h, "1", "0", "0"});
}

std::string HeaderAndPage(const char* count, const char* width, const char* height) {
    return Lines({"0", "0", "0", "0", "0", "0", "1.000000", count, width, height});
}

} // namespace

TEST(DesignLineReaderTest, LinesEndAtLineFeedOrZeroAndStayEmptyAtTheEnd) {
    const std::string data("a\r\nb\0c\n\nlast", 13);
    CDesignLineReader reader(data);
    EXPECT_EQ(reader.ReadLine(), "a\r"); // the carriage return stays
    EXPECT_EQ(reader.ReadLine(), "b");
    EXPECT_EQ(reader.ReadLine(), "c");
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "last");
    EXPECT_TRUE(reader.AtEnd());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.ReadLine(), "");
        EXPECT_EQ(reader.ReadInt(), 0);
        EXPECT_EQ(reader.ReadReal(), 0.0);
    }
    EXPECT_EQ(reader.Position(), data.size());
    EXPECT_FALSE(reader.WasCut());
}

TEST(DesignLineReaderTest, ConvertsLikeTheCRunTimeInTheCLocale) {
    EXPECT_EQ(DesignToInt("  -12abc"), -12);
    EXPECT_EQ(DesignToInt("+7"), 7);
    EXPECT_EQ(DesignToInt("\t 42\r"), 42);
    EXPECT_EQ(DesignToInt("abc"), 0);
    EXPECT_EQ(DesignToInt(""), 0);
    EXPECT_EQ(DesignToInt("- 5"), 0);
    EXPECT_EQ(DesignToInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(DesignToInt("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(DesignToLong("16777215"), 16777215);
    EXPECT_EQ(DesignToLong("-2147483648"), INT_MIN);

    EXPECT_EQ(DesignToReal("0.950000"), 0.95);
    EXPECT_EQ(DesignToReal("  -1.5e2x"), -150.0);
    EXPECT_EQ(DesignToReal(".5"), 0.5);
    EXPECT_EQ(DesignToReal("7."), 7.0);
    EXPECT_EQ(DesignToReal("12,5"), 12.0); // a decimal comma is not a decimal point
    EXPECT_EQ(DesignToReal("inf"), 0.0);
    EXPECT_EQ(DesignToReal("nan"), 0.0);
    EXPECT_EQ(DesignToReal("0x10"), 0.0);
    EXPECT_EQ(DesignToReal("1e999"), DBL_MAX);
    EXPECT_EQ(DesignToReal("-1e999"), -DBL_MAX);
    EXPECT_EQ(DesignToReal("0.001e400"), DBL_MAX);
    EXPECT_EQ(DesignToReal("1e-999"), 0.0);
    EXPECT_EQ(DesignToReal("0.0000001e-400"), 0.0);
}

TEST(DesignLineReaderTest, CutsOverlongLinesWithoutSplittingACharacter) {
    // One two-byte character straddles the limit.
    std::string line(kMaxDesignLineLength - 1, 'x');
    line += "\xC3\xA9";
    line += std::string(1000, 'y');
    const std::string data = line + "\nnext\n";
    CDesignLineReader reader(data);
    EXPECT_EQ(reader.ReadLine(), std::string(kMaxDesignLineLength - 1, 'x'));
    EXPECT_TRUE(reader.WasCut());
    EXPECT_EQ(reader.ReadLine(), "next"); // the rest of the long line was consumed
}

TEST(DesignWriterTest, ValuesAreWrittenOnePerLine) {
    std::string out;
    AppendDesignInt(out, -2147483648LL);
    AppendDesignReal(out, 0.95);
    AppendDesignReal(out, -0.0000004);
    AppendDesignReal(out, 2.0000005); // six decimals, rounded as printf rounds
    AppendDesignReal(out, 123456789.125);
    AppendDesignString(out, std::string("up to\0 the zero", 15));
    AppendDesignString(out, "");
    EXPECT_EQ(out, Lines({"-2147483648", "0.950000", "-0.000000", "2.000001", "123456789.125000",
                          "up to", ""}));

    std::string page;
    AppendDesignPageLines(page, 3, false, 640, 480);
    EXPECT_EQ(page, "3\n1000\n1000\n"); // no page image
    page.clear();
    AppendDesignPageLines(page, 0, true, 640, 480);
    EXPECT_EQ(page, "0\n640\n480\n");

    // The box of a new layer.
    std::string box;
    AppendDesignBox(box, DesignBox{0, 50.0, 50.0, 400.0, 300.0, 1, 0, 0});
    EXPECT_EQ(box,
              Lines({"0", "50.000000", "50.000000", "400.000000", "300.000000", "1", "0", "0"}));
}

TEST(DesignWriterTest, AnEmptyDesignIsTenLines) {
    std::string out;
    AppendDesignHeader(out, SampleHeader());
    AppendDesignPageLines(out, 0, true, 400, 421);
    std::string expected;
    for (const char* line : kEmptyDesignLines)
        expected += std::string(line) + "\n";
    EXPECT_EQ(out, expected);

    DesignFile design;
    design.header = SampleHeader();
    design.pageWidth = 400;
    design.pageHeight = 421;
    EXPECT_EQ(WriteDesignText(design), expected);

    const DesignFile read = ParseDesign(expected);
    EXPECT_EQ(read.header.colours[0], 16777215u);
    EXPECT_EQ(read.header.colours[3], 16711680u);
    EXPECT_EQ(read.header.pageMode, 1);
    EXPECT_EQ(read.header.aspect, 0.95);
    EXPECT_EQ(read.announcedCount, 0);
    EXPECT_TRUE(read.records.empty());
    EXPECT_FALSE(read.truncated);
}

TEST(DesignWriterTest, PictureAndTextLayersAreWrittenByteForByte) {
    DesignFile design;
    design.header = SampleHeader();
    design.pageWidth = 400;
    design.pageHeight = 421;
    design.records = {SamplePictureRecord(), SampleTextRecord()};
    EXPECT_EQ(WriteDesignText(design), kSampleDesignText);

    // The same lines from the pieces the view puts together.
    std::string pieces;
    AppendDesignHeader(pieces, design.header);
    AppendDesignPageLines(pieces, 2, true, 400, 421);
    for (const DesignRecord& record : design.records) {
        AppendDesignRecordStart(pieces, record.kind, record.opacity);
        if (record.IsText())
            AppendDesignTextBlock(pieces, record.text);
        else
            AppendDesignPictureBlock(pieces, record.picture);
        AppendDesignBox(pieces, record.box);
    }
    EXPECT_EQ(pieces, kSampleDesignText);
}

TEST(DesignReaderTest, ReadsBackWhatWasWrittenAndWritesItAgainUnchanged) {
    const DesignFile read = ParseDesign(kSampleDesignText);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.announcedCount, 2);
    EXPECT_EQ(read.pageWidth, 400);
    EXPECT_EQ(read.pageHeight, 421);

    const DesignRecord& picture = read.records[0];
    EXPECT_EQ(picture.kind, 2);
    EXPECT_EQ(picture.opacity, 255);
    EXPECT_EQ(picture.picture.loadMode, 1);
    EXPECT_EQ(picture.picture.imagePath, "res\\Data\\ipicture.bmp");
    EXPECT_EQ(picture.picture.alphaPath, "res\\Data\\apicture.bmp");
    EXPECT_EQ(picture.picture.thumbPath, "res\\Data\\tpicture.bmp");
    EXPECT_EQ(picture.box.x, 50.0);
    EXPECT_EQ(picture.box.height, 150.0);
    EXPECT_EQ(picture.box.visible, 1);

    const DesignRecord& text = read.records[1];
    EXPECT_EQ(text.kind, 1);
    EXPECT_EQ(text.opacity, 128);
    EXPECT_EQ(text.text.colour, 255u);
    EXPECT_EQ(text.text.alignment, 1);
    EXPECT_EQ(text.text.text, "AB\r\nCD");
    EXPECT_EQ(text.text.font.lfHeight, -60);
    EXPECT_EQ(text.text.font.lfWeight, 700);
    EXPECT_EQ(text.text.font.lfItalic, 1);
    EXPECT_EQ(text.text.font.lfPitchAndFamily, 34);
    EXPECT_STREQ(text.text.font.lfFaceName, "Arial");
    EXPECT_EQ(text.box.y, -20.25);
    EXPECT_EQ(text.box.height, -80.125);
    EXPECT_EQ(text.box.mirrored, 1);

    EXPECT_EQ(WriteDesignText(read), kSampleDesignText);
}

TEST(DesignReaderTest, EmptyTextIsAnEmptyLineBetweenTheMarkers) {
    DesignRecord record = SampleTextRecord();
    record.text.text.clear();
    std::string block;
    AppendDesignTextBlock(block, record.text);
    const std::string expected = Lines({"255", "1", "BEGIN_STRING", "", "END_STRING"});
    EXPECT_EQ(block.substr(0, expected.size()), expected);

    std::string file = HeaderAndPage("1", "400", "421");
    AppendDesignRecord(file, record);
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].text.text, "");
    EXPECT_EQ(read.records[0].text.font.lfHeight, -60);
    EXPECT_STREQ(read.records[0].text.font.lfFaceName, "Arial");
    EXPECT_EQ(read.records[0].box.x, 10.5);
}

TEST(DesignReaderTest, EndMarkerInAnyCaseEndsTheTextAndTheRestIsReadAsFont) {
    const std::string file =
        HeaderAndPage("1", "400", "421") +
        Lines({"1",   "255", "0", "2", "begin_string", "one", "eNd_StRiNg", "two", "END_STRING",
               "-40", "0",   "0", "0", "400",          "0",   "0",          "0",   "0",
               "0",   "0",   "0", "0", "Arial",        "0",   "1.0",        "2.0", "3.0",
               "4.0", "1",   "0", "0"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    const DesignTextBlock& text = read.records[0].text;
    EXPECT_EQ(text.alignment, 2);
    EXPECT_EQ(text.text, "one");
    // "two" and "END_STRING" became the first two font numbers; every later
    // line moved two places up.
    EXPECT_EQ(text.font.lfHeight, 0);
    EXPECT_EQ(text.font.lfWidth, 0);
    EXPECT_EQ(text.font.lfEscapement, -40);
    EXPECT_EQ(text.font.lfWeight, 0);
    EXPECT_EQ(text.font.lfUnderline, 144); // the low byte of 400
    EXPECT_STREQ(text.font.lfFaceName, "0");
    EXPECT_EQ(read.records[0].box.reserved, 0);
    EXPECT_EQ(read.records[0].box.x, 0.0);      // "Arial"
    EXPECT_EQ(read.records[0].box.y, 0.0);      // "0"
    EXPECT_EQ(read.records[0].box.width, 1.0);  // "1.0"
    EXPECT_EQ(read.records[0].box.height, 2.0); // "2.0"
    EXPECT_EQ(read.records[0].box.visible, 3);  // "3.0"
}

TEST(DesignReaderTest, TextBlockWithoutBeginMarkerHasNoTextAndNoFont) {
    const std::string file =
        HeaderAndPage("1", "400", "421") +
        Lines({"1", "200", "255", "0", "BEGIN_STRING\r", "5", "6", "7", "8", "1", "0", "1"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    const DesignRecord& record = read.records[0];
    EXPECT_EQ(record.opacity, 200);
    EXPECT_EQ(record.text.text, "");
    const LOGFONTA zero{};
    EXPECT_EQ(std::memcmp(&record.text.font, &zero, sizeof zero), 0);
    // The box follows the line that was not the begin marker.
    EXPECT_EQ(record.box.reserved, 5);
    EXPECT_EQ(record.box.x, 6.0);
    EXPECT_EQ(record.box.height, 1.0);
    EXPECT_EQ(record.box.flipped, 0); // past the end
}

TEST(DesignReaderTest, TextWithoutEndMarkerRunsToTheEndOfTheData) {
    const std::string file = HeaderAndPage("3", "400", "421") +
                             Lines({"1", "255", "0", "0", "BEGIN_STRING", "first", "second"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].text.text, "first\nsecond");
    EXPECT_EQ(read.records[0].text.font.lfHeight, 0);
    EXPECT_EQ(read.records[0].box.visible, 0);
}

TEST(DesignReaderTest, FaceNameIsCutTo31Characters) {
    const std::string face40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    ASSERT_EQ(face40.size(), 40u);
    std::string file = HeaderAndPage("1", "400", "421") +
                       Lines({"1", "255", "0", "0", "BEGIN_STRING", "x", "END_STRING"});
    for (int i = 0; i < 13; ++i)
        file += "0\n";
    file += face40 + "\n" + Lines({"0", "1", "2", "3", "4", "1", "0", "0"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(std::string(read.records[0].text.font.lfFaceName), face40.substr(0, 31));
    EXPECT_EQ(read.records[0].box.x, 1.0); // the whole face line was consumed

    // A character of two bytes at the cut is dropped whole.
    const std::string face = std::string(30, 'a') + "\xC3\xA9" + "zz";
    DesignTextBlock block;
    block.text = "x";
    std::string lines;
    AppendDesignTextBlock(lines, block);
    lines.replace(lines.size() - 1, 1, face + "\n");
    CDesignLineReader reader(lines);
    EXPECT_EQ(std::string(ReadDesignTextBlock(reader).font.lfFaceName), std::string(30, 'a'));
}

TEST(DesignReaderTest, KindsTellWhichBlockFollows) {
    const std::string file =
        HeaderAndPage("3", "400", "421") +
        Lines({"3", "511", "0", "thumb.bmp", "", "", "0", "1", "2", "3", "4", "1", "0", "1"}) +
        Lines({"7", "-1", "0", "5", "6", "7", "8", "0", "1", "0"}) +
        Lines({"0", "256", "0", "9", "9", "9", "9", "1", "1", "1"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_TRUE(read.records[0].IsPicture());
    EXPECT_EQ(read.records[0].opacity, 255); // the low byte of 511
    EXPECT_EQ(read.records[0].picture.imagePath, "thumb.bmp");
    EXPECT_EQ(read.records[0].box.flipped, 1);
    EXPECT_FALSE(read.records[1].IsPicture());
    EXPECT_FALSE(read.records[1].IsText());
    EXPECT_EQ(read.records[1].opacity, 255); // the low byte of -1
    EXPECT_EQ(read.records[1].box.x, 5.0);   // no block before the box
    EXPECT_EQ(read.records[1].box.mirrored, 1);
    EXPECT_EQ(read.records[2].opacity, 0);
    EXPECT_EQ(read.records[2].box.width, 9.0);
}

TEST(DesignReaderTest, ReadsOnlyTheRecordsThatArePresent) {
    // Five announced, two present.
    const std::string two =
        PictureRecordLines("1", "2", "3", "4") + PictureRecordLines("5", "6", "7", "8");
    DesignFile read = ParseDesign(HeaderAndPage("5", "400", "421") + two);
    EXPECT_EQ(read.announcedCount, 5);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[1].box.x, 5.0);
    EXPECT_FALSE(read.truncated);

    // The largest count there is: the reading stops at the end of the data.
    read = ParseDesign(HeaderAndPage("2147483647", "400", "421") + two);
    EXPECT_EQ(read.announcedCount, INT_MAX);
    EXPECT_EQ(read.records.size(), 2u);

    // No count, negative count.
    EXPECT_TRUE(ParseDesign(HeaderAndPage("0", "400", "421") + two).records.empty());
    EXPECT_TRUE(ParseDesign(HeaderAndPage("-3", "400", "421") + two).records.empty());
    // Nothing at all: zeros.
    read = ParseDesign("");
    EXPECT_EQ(read.header.aspect, 0.0);
    EXPECT_TRUE(read.records.empty());
}

TEST(DesignReaderTest, RecordsBeyondTheLimitAreNotRead) {
    std::string file = HeaderAndPage("2147483647", "400", "421");
    for (int i = 0; i < kMaxDesignRecords + 5; ++i)
        file += Lines({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0"});
    const DesignFile read = ParseDesign(file);
    EXPECT_EQ(int(read.records.size()), kMaxDesignRecords);
    EXPECT_TRUE(read.truncated);
}

TEST(DesignReaderTest, FilesBeyondTheSizeLimitAreReadUpToIt) {
    // An old file whose bytes all look like UTF-8 continuation bytes.
    std::string file = HeaderAndPage("1", "400", "421") + PictureRecordLines("1", "2", "3", "4");
    file.resize(kMaxDesignFileSize + 100, '\x80');
    const DesignFile read = ParseDesign(file);
    EXPECT_TRUE(read.truncated);
    EXPECT_EQ(read.header.aspect, 1.0);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].box.width, 3.0);
    EXPECT_EQ(read.records[0].box.flipped, 0);
}

TEST(DesignReaderTest, LongTextsAreCutAtTheLimit) {
    std::string file =
        HeaderAndPage("1", "400", "421") + Lines({"1", "255", "0", "0", "BEGIN_STRING"});
    const std::string line(1000, 'w');
    for (size_t i = 0; i < kMaxDesignTextLength / line.size() + 10; ++i)
        file += line + "\n";
    file += Lines({"END_STRING", "-30"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].text.text.size(), kMaxDesignTextLength);
    EXPECT_EQ(read.records[0].text.font.lfHeight, -30); // the end marker was still found
    EXPECT_TRUE(read.truncated);
}

TEST(DesignScaleTest, BoxesFollowThePageSize) {
    DesignFile design =
        ParseDesign(HeaderAndPage("1", "400", "421") +
                    PictureRecordLines("50.000000", "-21.500000", "200.250000", "-150.000000"));
    ScaleDesignToPage(design, 800, 842);
    ASSERT_EQ(design.records.size(), 1u);
    const DesignBox& box = design.records[0].box;
    EXPECT_EQ(box.x, 100.0);
    EXPECT_EQ(box.y, -43.0);
    EXPECT_EQ(box.width, 400.5);
    EXPECT_EQ(box.height, -300.0);

    EXPECT_EQ(DesignScaleFactor(800, 400), 2.0);
    EXPECT_EQ(DesignScaleFactor(300, 400), 0.75);
}

TEST(DesignScaleTest, PageSizeOfZeroOrLessScalesByOne) {
    for (const char* size : {"0", "-400", "", "garbage"}) {
        DesignFile design = ParseDesign(HeaderAndPage("1", size, size) +
                                        PictureRecordLines("50", "60", "70", "80"));
        ScaleDesignToPage(design, 800, 842);
        ASSERT_EQ(design.records.size(), 1u) << size;
        EXPECT_EQ(design.records[0].box.x, 50.0) << size;
        EXPECT_EQ(design.records[0].box.y, 60.0) << size;
        EXPECT_EQ(design.records[0].box.width, 70.0) << size;
        EXPECT_EQ(design.records[0].box.height, 80.0) << size;
    }
    // Only the broken side is left alone.
    DesignFile design =
        ParseDesign(HeaderAndPage("1", "400", "0") + PictureRecordLines("50", "60", "70", "80"));
    ScaleDesignToPage(design, 800, 842);
    EXPECT_EQ(design.records[0].box.x, 100.0);
    EXPECT_EQ(design.records[0].box.y, 60.0);
}

TEST(DesignScaleTest, HugeBoxesAreKeptWithinTheLimit) {
    DesignFile design = ParseDesign(HeaderAndPage("1", "1", "1") +
                                    PictureRecordLines("1e999", "-1e300", "999999", "0"));
    ASSERT_EQ(design.records.size(), 1u);
    EXPECT_EQ(design.records[0].box.x, kMaxDesignBoxMagnitude);
    EXPECT_EQ(design.records[0].box.y, -kMaxDesignBoxMagnitude);
    ScaleDesignToPage(design, 2000, 2000);
    EXPECT_EQ(design.records[0].box.x, kMaxDesignBoxMagnitude);
    EXPECT_EQ(design.records[0].box.width, kMaxDesignBoxMagnitude);
}

TEST(DesignPathTest, TrimsTheCharacterSetFromBothEnds) {
    EXPECT_EQ(TrimDesignPath(".\\res\\Data\\ipicture.bmp"), "res\\Data\\ipicture.bmp");
    EXPECT_EQ(TrimDesignPath(" '../res/Data/x.bmp'\r\n"), "res/Data/x.bmp");
    EXPECT_EQ(TrimDesignPath("pic.bmp.\\"), "pic.bmp");
    EXPECT_EQ(TrimDesignPath("C:\\Pictures\\a b.bmp"), "C:\\Pictures\\a b.bmp");
    EXPECT_EQ(TrimDesignPath("./\\. '"), "");
    EXPECT_EQ(TrimDesignPath(""), "");
}

TEST(DesignPathTest, ResolvesUnchangedThenProgramThenContentFolder) {
    testsupport::TempDir dir;
    const std::string program = WithTrailingSeparator(dir.Str() + "/program");
    const std::string content = WithTrailingSeparator(dir.Str() + "/content");
    const std::string inContent = dir.Write("content/res/Data/ipicture.bmp", "BM");
    const std::string name = TrimDesignPath(".\\res\\Data\\ipicture.bmp");
    EXPECT_EQ(ResolveDesignPath(name, program, content), inContent);

    const std::string inProgram = dir.Write("program/res/Data/ipicture.bmp", "BM");
    EXPECT_EQ(ResolveDesignPath(name, program, content), inProgram);

    // An absolute path of this system, whose leading slash the trimming took.
    const std::string absolute = dir.Write("elsewhere/own.bmp", "BM");
    EXPECT_EQ(ResolveDesignPath(TrimDesignPath(absolute), program, content), absolute);

    // Unchanged: relative to the working folder.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path() / "content");
    EXPECT_EQ(ResolveDesignPath(name, program, content), "res/Data/ipicture.bmp");
    std::filesystem::current_path(previous);

    // Folders, missing files, wildcards and empty names resolve to nothing.
    std::filesystem::create_directories(dir.Path() / "content/res/Folder.bmp");
    EXPECT_EQ(ResolveDesignPath("res\\Folder.bmp", program, content), "");
    EXPECT_EQ(ResolveDesignPath("res\\Data\\missing.bmp", program, content), "");
    EXPECT_EQ(ResolveDesignPath("res\\Data\\*.bmp", program, content), "");
    EXPECT_EQ(ResolveDesignPath("", program, content), "");
}

TEST(DesignEncodingTest, OldFilesAreReadAsWindows1252) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
    EXPECT_EQ(Windows1252ToUtf8("\x80\x81\x9F\xA0\xE9\xFF"),
              "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC2\xA0\xC3\xA9\xC3\xBF");

    const std::string old = HeaderAndPage("1", "400", "421") + Lines({"1",
                                                                      "255",
                                                                      "0",
                                                                      "0",
                                                                      "BEGIN_STRING",
                                                                      "Caf\xE9 \x80 5",
                                                                      "END_STRING",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "0",
                                                                      "Tr\xE9"
                                                                      "buchet",
                                                                      "0",
                                                                      "1",
                                                                      "2",
                                                                      "3",
                                                                      "4",
                                                                      "1",
                                                                      "0",
                                                                      "0"});
    const DesignFile read = ParseDesign(old);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].text.text, "Caf\xC3\xA9 \xE2\x82\xAC 5");
    EXPECT_STREQ(read.records[0].text.font.lfFaceName, "Tr\xC3\xA9"
                                                       "buchet");
    // Written again, the file is UTF-8.
    const std::string written = WriteDesignText(read);
    EXPECT_NE(written.find("Caf\xC3\xA9 \xE2\x82\xAC 5\n"), std::string::npos);
    EXPECT_TRUE(IsValidUtf8(written));

    // UTF-8 stays as it is; a byte-order mark is dropped.
    EXPECT_EQ(DecodeDesignBytes("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DecodeDesignBytes("\xEF\xBB\xBF"
                                "255\n"),
              "255\n");
    EXPECT_EQ(ParseDesign("\xEF\xBB\xBF"
                          "255\n")
                  .header.colours[0],
              255u);
}

// A process locale with a decimal comma must not change the file.
class DesignLocaleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_locale = nullptr;
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, name)) {
                s_locale = name;
                break;
            }
        if (!s_locale)
            s_locale = BuildPrivateLocale();
        std::setlocale(LC_ALL, previous.c_str());
    }

    // Compiles a German locale into a private folder when the system has
    // none installed.
    static const char* BuildPrivateLocale() {
        static testsupport::TempDir dir;
        const QString target = QString::fromStdString(dir.Str() + "/de_DE.UTF-8");
        if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", target}) != 0)
            return nullptr;
        qputenv("LOCPATH", QByteArray::fromStdString(dir.Str()));
        return std::setlocale(LC_ALL, "de_DE.UTF-8") ? "de_DE.UTF-8" : nullptr;
    }

    void SetUp() override {
        // tools/setup.sh installs the locale sources that localedef needs.
        ASSERT_NE(s_locale, nullptr) << "no locale with a decimal comma can be made here";
        m_previous = std::setlocale(LC_ALL, nullptr);
        ASSERT_TRUE(std::setlocale(LC_ALL, s_locale));
    }
    void TearDown() override {
        if (!m_previous.empty())
            std::setlocale(LC_ALL, m_previous.c_str());
    }

    std::string m_previous;

    static const char* s_locale;
};

const char* DesignLocaleTest::s_locale = nullptr;

TEST_F(DesignLocaleTest, NumbersAreWrittenAndReadWithAPoint) {
    char printed[32];
    std::snprintf(printed, sizeof printed, "%f", 0.95);
    ASSERT_STREQ(printed, "0,950000") << "the locale in force has no decimal comma";

    DesignFile design;
    design.header = SampleHeader();
    design.pageWidth = 400;
    design.pageHeight = 421;
    design.records = {SamplePictureRecord(), SampleTextRecord()};
    EXPECT_EQ(WriteDesignText(design), kSampleDesignText);

    const DesignFile read = ParseDesign(kSampleDesignText);
    EXPECT_EQ(read.header.aspect, 0.95);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[1].box.height, -80.125);
    EXPECT_EQ(DesignToReal("0,5"), 0.0);
}
