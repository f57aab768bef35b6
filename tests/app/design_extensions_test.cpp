// The extension block after the last layer record: its exact lines, a
// reader of the records alone stopping in front of it, hostile blocks, and
// the round trip through the program, where lines it does not know stay
// with the layers that survive and a turned layer is exported turned.

#include "programtest.h"

#include "app/designextensions.h"
#include "app/designfile.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <cfloat>
#include <string>
#include <vector>

namespace {

using programtest::Click;
using programtest::Lines;
using programtest::ReadFile;
using programtest::Widget;

// A picture of the bundled clip art, as the design files name it.
std::string ClipArt() {
    const QDir data(QStringLiteral("res/Data"));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList files =
            QDir(data.filePath(category)).entryList({QStringLiteral("i*.bmp")}, QDir::Files);
        if (!files.isEmpty())
            return ("res\\Data\\" + category + "\\" + files.first()).toStdString();
    }
    return {};
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

DesignRecord Picture(const std::string& path, double x) {
    DesignRecord record;
    record.kind = kDesignPictureLayer;
    record.opacity = 255;
    record.picture = {1, path, "", ""};
    record.box = {0, x, 40.0, 120.0, 60.0, 1, 0, 0};
    return record;
}

DesignFile ThreeLayers() {
    DesignFile design;
    design.header.colours[0] = 16777215;
    design.header.pageMode = 1;
    design.header.aspect = 0.95;
    design.pageWidth = 400;
    design.pageHeight = 421;
    DesignRecord text;
    text.kind = kDesignTextLayer;
    text.opacity = 200;
    text.text.text = "Hallo";
    text.box = {0, 10.0, 20.0, 100.0, 30.0, 1, 0, 0};
    design.records = {Picture("res\\Data\\ione.bmp", 5.0), text,
                      Picture("res\\Data\\itwo.bmp", 50.0)};
    return design;
}

} // namespace

TEST(DesignExtensionsTest, TheBlockFollowsTheLastRecordWithItsExactLines) {
    const DesignFile plain = ThreeLayers();
    const std::string plainText = WriteDesignText(plain);
    EXPECT_EQ(plainText.find("EXTENSIONS"), std::string::npos) << "nothing new, no block";

    DesignFile turned = plain;
    turned.records[1].angle = 30.0;
    turned.records[2].extensionLines = {"TINT 255 0 0", ""};
    turned.extensionLines = {"PAPER dark"};
    const std::string text = WriteDesignText(turned);
    // The records are written as without the block: a reader of the
    // records alone reads the same design unturned and stops in front of it.
    EXPECT_EQ(text.substr(0, plainText.size()), plainText);
    EXPECT_EQ(text.substr(plainText.size()),
              Joined({"BEGIN_EXTENSIONS", "PAPER dark", "LAYER 1", "ROTATION 30.000000", "LAYER 2",
                      "TINT 255 0 0", "", "END_EXTENSIONS"}));

    const DesignFile read = ParseDesign(text);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].angle, 0.0);
    EXPECT_EQ(read.records[1].angle, 30.0);
    EXPECT_EQ(read.records[2].extensionLines, (std::vector<std::string>{"TINT 255 0 0", ""}));
    EXPECT_EQ(read.extensionLines, std::vector<std::string>{"PAPER dark"});
    EXPECT_EQ(WriteDesignText(read), text);
    EXPECT_FALSE(read.truncated);
}

TEST(DesignExtensionsTest, HostileBlocksKeepOnlyWhatBelongsToARecord) {
    const std::string records = WriteDesignText(ThreeLayers());
    // Records announced but missing: the block ends them; lines of records
    // that are not there are dropped; a missing end marker ends at the data.
    std::string file = records;
    file.replace(file.find("\n3\n400\n"), 7, "\n5\n400\n");
    file += Joined({"BEGIN_EXTENSIONS", "LAYER 7", "ROTATION 90", "KEPT? no", "LAYER -1", "x",
                    "LAYER 2", "ROTATION -90", "LAYER 0", "ROTATION 725.5", "ROTATION nonsense",
                    "LAYER 1", "ROTATION 1e999"});
    const DesignFile read = ParseDesign(file);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[0].angle, 0.0) << "the last ROTATION line of a layer counts";
    EXPECT_EQ(read.records[1].angle, NormaliseAngle(DBL_MAX));
    EXPECT_EQ(read.records[2].angle, 270.0);
    for (const DesignRecord& record : read.records)
        EXPECT_TRUE(record.extensionLines.empty());
    EXPECT_TRUE(read.extensionLines.empty());
    // A reader of the records alone would have read the block as two more
    // kind-0 records, which make nothing.
    EXPECT_EQ(DesignToInt("BEGIN_EXTENSIONS"), 0);

    // The number of kept lines is bounded.
    std::string flood = records + "BEGIN_EXTENSIONS\nLAYER 0\n";
    for (size_t i = 0; i < kMaxExtensionLines + 10; ++i)
        flood += "Z\n";
    const DesignFile flooded = ParseDesign(flood);
    EXPECT_EQ(flooded.records[0].extensionLines.size(), kMaxExtensionLines);
    EXPECT_TRUE(flooded.truncated);
}

namespace {

class DesignExtensionsViewTest : public ProgramTest {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    CLayerChannel* LayerOf(int index) const {
        const multimenu_package* item = Layers()->GetItem(index);
        return item ? Mixer()->GetLayer(Mixer()->FindLayerByKey(item->serial)) : nullptr;
    }
    std::string Block(const std::string& path) const {
        const std::string text = ReadFile(QString::fromStdString(path));
        const size_t at = text.find("BEGIN_EXTENSIONS\n");
        return at == std::string::npos ? std::string() : text.substr(at);
    }
};

// The rectangle of pixels that differ from the page's top-left pixel.
QRect Drawn(const QImage& image) {
    const QRgb page = image.pixel(0, 0);
    QRect drawn;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != page)
                drawn |= QRect(x, y, 1, 1);
    return drawn;
}

} // namespace

TEST_F(DesignExtensionsViewTest, UnknownLinesStayWithTheLayersThatSurvive) {
    testsupport::TempDir folder;
    ASSERT_TRUE(Start());
    DesignFile design = ThreeLayers();
    design.records[0] = Picture(ClipArt(), 5.0);
    design.records[2] = Picture(ClipArt(), 200.0);
    design.records[0].angle = 45.0;
    design.records[0].extensionLines = {"FIRST 1"};
    design.records[1].extensionLines = {"SECOND 2"};
    design.records[2].angle = 90.0;
    design.extensionLines = {"PAPER dark"};
    const std::string path = folder.Write("turned.prt", WriteDesignText(design));
    services.fileAnswers = {path};
    Click(Widget(View(), ID_LOAD));
    ASSERT_EQ(Layers()->GetItemCount(), 3);
    EXPECT_EQ(LayerOf(2)->m_dAngle, 45.0); // the first record lies at the back
    EXPECT_EQ(LayerOf(0)->m_dAngle, 90.0);
    EXPECT_EQ(LayerOf(1)->m_extensionLines, std::vector<std::string>{"SECOND 2"});

    const std::string same = folder.Str() + "/same.prt";
    services.fileAnswers = {same};
    Click(Widget(View(), ID_SAVE));
    EXPECT_EQ(Block(same), Block(path));

    // The back layer goes: its lines with it, the others renumbered.
    Key(Qt::Key_Left); // from the front to the last, the back
    ASSERT_EQ(Layers()->m_nCurrent, 2);
    services.messageAnswers = {IDOK};
    Key(Qt::Key_Delete);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    const std::string fewer = folder.Str() + "/fewer.prt";
    services.fileAnswers = {fewer};
    Click(Widget(View(), ID_SAVE));
    EXPECT_EQ(Block(fewer), Joined({"BEGIN_EXTENSIONS", "PAPER dark", "LAYER 0", "SECOND 2",
                                    "LAYER 1", "ROTATION 90.000000", "END_EXTENSIONS"}));
}

TEST_F(DesignExtensionsViewTest, AnExportShowsATurnedLayerTurned) {
    testsupport::TempDir folder;
    ASSERT_TRUE(Start());
    DesignFile design = ThreeLayers();
    DesignRecord only = Picture(ClipArt(), 100.0);
    only.box = {0, 100.0, 150.0, 200.0, 80.0, 1, 0, 0};
    design.records = {only};
    const std::string path = folder.Write("one.prt", WriteDesignText(design));
    services.fileAnswers = {path};
    Click(Widget(View(), ID_LOAD));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    const std::string flat = folder.Str() + "/flat.bmp", turned = folder.Str() + "/turned.bmp";
    services.fileAnswers = {flat};
    Click(Widget(View(), ID_SAVE));
    CLayerChannel* layer = LayerOf(0);
    layer->m_dAngle = 90.0;
    services.fileAnswers = {turned};
    Click(Widget(View(), ID_SAVE));
    const QImage flatImage(QString::fromStdString(flat));
    const QRect a = Drawn(flatImage);
    const QRect b = Drawn(QImage(QString::fromStdString(turned)));
    ASSERT_FALSE(a.isEmpty());
    // A quarter turn about the box's centre: the drawn area stands upright,
    // its middle turned about that centre.
    int w = 0, h = 0;
    Mixer()->GetPageSize(&w, &h);
    const double cx = (layer->m_dX + layer->m_dWidth / 2) * flatImage.width() / w;
    const double cy = (layer->m_dY + layer->m_dHeight / 2) * flatImage.height() / h;
    const double ax = (a.left() + a.right() + 1) / 2.0, ay = (a.top() + a.bottom() + 1) / 2.0;
    const double bx = (b.left() + b.right() + 1) / 2.0, by = (b.top() + b.bottom() + 1) / 2.0;
    EXPECT_NEAR(b.width(), a.height(), 3);
    EXPECT_NEAR(b.height(), a.width(), 3);
    EXPECT_NEAR(bx, cx - (ay - cy), 3);
    EXPECT_NEAR(by, cy + (ax - cx), 3);
}
