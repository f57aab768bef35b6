// A real design printed into a PDF file: the page holds the design mirrored
// left to right, as an iron-on transfer needs it, or as designed on paper
// for dark fabric, with cut marks when asked, and the choice is there again
// at the next print. Saved as a PNG, the design becomes a picture for
// printing at the size asked.

#include "programtest.h"

#include "content/fileutil.h"
#include "controls/button.h"
#include "controls/editcontrol.h"
#include "popups/exportsizewindow.h"
#include "popups/pageprintwindow.h"

#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/pdfraster.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

namespace {

using programtest::Click;

bool IsRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}
bool IsBlue(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60;
}

using ViewPrintTest = ProgramTest;

// A red square as a layer over the left quarter of a blue page.
void RedQuarterOnBlue(CMorvaneView* view, CLayerMixer* mixer, const std::string& folder) {
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    // The top corners' colour is the picture's transparent one.
    red.setPixel(0, 0, qRgb(255, 255, 255));
    red.setPixel(63, 0, qRgb(255, 255, 255));
    const std::string picture = folder + "/red.bmp";
    ASSERT_TRUE(red.save(QString::fromStdString(picture)));
    ASSERT_TRUE(view->LoadDesign(picture));
    mixer->SetAllBackgroundColours(0x00FF0000);
    int width = 0, height = 0;
    ASSERT_TRUE(mixer->GetPageSize(&width, &height));
    CLayerChannel* layer = mixer->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    mixer->InvalidateLayerBox(layer);
    layer->SetGeometry(0, 0, width / 4.0, height);
    mixer->InvalidateLayerBox(layer);
}

CButtonControl* ButtonOf(QWidget* popup, int id) {
    return dynamic_cast<CButtonControl*>(dynamic_cast<CControlManager*>(popup)->FindControl(id));
}

void TypeInto(QWidget* popup, int id, const char* text) {
    auto* field =
        dynamic_cast<CEditControl*>(dynamic_cast<CControlManager*>(popup)->FindControl(id));
    QLineEdit* editor = field->GetSingleLineEditor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

TEST_F(ViewPrintTest, TheSheetShowsTheDesignMirroredAtTheTopLeft) {
    ASSERT_TRUE(Start());
    testsupport::TempDir folder;
    RedQuarterOnBlue(View(), Mixer(), folder.Str());
    services.messages.clear();

    const std::string pdf = folder.Str() + "/transfer.pdf";
    services.printAnswers = {pdf};
    WhenPopupOpens([](QWidget* popup) {
        auto* manager = dynamic_cast<CControlManager*>(popup);
        Click(dynamic_cast<QWidget*>(manager->FindControl(1))); // OK: full T-shirt, keep aspect
    });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT)));
    ASSERT_EQ(View()->m_print.m_nPageMode, 1);

    const QImage sheet = pdfraster::RasterisePage(pdf, 40, folder.Str());
    ASSERT_FALSE(sheet.isNull());
    // The design fills the printable width from the left; its right quarter
    // is the red layer, the rest the blue page.
    int left = sheet.width(), right = -1;
    const int row = 10;
    for (int x = 0; x < sheet.width(); ++x)
        if (IsBlue(sheet.pixel(x, row)) || IsRed(sheet.pixel(x, row))) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_LT(left, right);
    const int span = right - left + 1;
    EXPECT_GT(span, sheet.width() * 3 / 4); // the printable width, less the margins
    const int quarter = span / 4;
    for (int x = left + 2; x < right - quarter - 2; ++x)
        EXPECT_TRUE(IsBlue(sheet.pixel(x, row))) << "blue page expected at " << x;
    for (int x = right - quarter + 2; x < right - 1; ++x)
        EXPECT_TRUE(IsRed(sheet.pixel(x, row))) << "red layer expected at " << x;
}

} // namespace

namespace {

TEST_F(ViewPrintTest, DarkFabricPrintsAsDesignedWithCutMarksAndIsRememberedForTheNextPrint) {
    ASSERT_TRUE(Start());
    testsupport::TempDir folder;
    RedQuarterOnBlue(View(), Mixer(), folder.Str());
    services.messages.clear();
    const std::string pdf = folder.Str() + "/dark.pdf";
    services.printAnswers = {pdf};
    WhenPopupOpens([](QWidget* popup) {
        EXPECT_EQ(ButtonOf(popup, CPagePrintWindow::kLightFabricId)->GetCheck(), BST_CHECKED)
            << "light fabric until another is chosen";
        EXPECT_EQ(ButtonOf(popup, CPagePrintWindow::kDarkFabricId)->text(),
                  "Donkere stof (niet gespiegeld)");
        Click(ButtonOf(popup, CPagePrintWindow::kDarkFabricId));
        Click(ButtonOf(popup, CPagePrintWindow::kCutMarksId));
        Click(ButtonOf(popup, CPagePrintWindow::kSmallLogoId));
        Click(ButtonOf(popup, CPagePrintWindow::kOkId));
    });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT)));
    ASSERT_EQ(View()->m_print.m_nPageMode, 2);
    EXPECT_EQ(View()->m_print.m_nDarkFabric, 1);
    EXPECT_EQ(View()->m_print.m_nCutMarks, 1);

    // The logo at the top left of the printable area, red on its left as
    // designed; cut marks in the margin above its edges.
    const QImage sheet = pdfraster::RasterisePage(pdf, 300, folder.Str());
    ASSERT_FALSE(sheet.isNull());
    int left = sheet.width(), right = -1;
    const int row = 160;
    for (int x = 0; x < sheet.width(); ++x)
        if (IsBlue(sheet.pixel(x, row)) || IsRed(sheet.pixel(x, row))) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_LT(left, right);
    const int quarter = (right - left + 1) / 4;
    EXPECT_TRUE(IsRed(sheet.pixel(left + quarter / 2, row))) << "red stays on the left";
    EXPECT_TRUE(IsBlue(sheet.pixel(right - quarter / 2, row)));
    int top = 0;
    while (top < sheet.height() && !IsRed(sheet.pixel(left + 2, top)) &&
           !IsBlue(sheet.pixel(left + 2, top)))
        ++top;
    // 2 mm above the copy (24 pixels at 300 dpi) up to the paper's edge.
    bool marked = false;
    for (int x = left - 2; x <= left + 2; ++x)
        marked = marked || pdfraster::Rgb(sheet, x, top - 32) == 0;
    EXPECT_TRUE(marked) << "a cut mark above the left edge";
    EXPECT_EQ(pdfraster::Rgb(sheet, left, top - 12), 0xFFFFFFu) << "paper between mark and copy";

    DWORD remembered = 0;
    EXPECT_TRUE(ReadRegistryDword(&remembered, HKEY_CURRENT_USER, kRegistryKey, "darkfabric"));
    EXPECT_EQ(remembered, 1u);
    WhenPopupOpens([](QWidget* popup) {
        EXPECT_EQ(ButtonOf(popup, CPagePrintWindow::kDarkFabricId)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(ButtonOf(popup, CPagePrintWindow::kCutMarksId)->GetCheck(), BST_CHECKED);
        // Going back to light fabric but cancelling keeps what was chosen.
        Click(ButtonOf(popup, CPagePrintWindow::kLightFabricId));
        Click(ButtonOf(popup, CPagePrintWindow::kCancelId));
    });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT)));
    EXPECT_TRUE(ReadRegistryDword(&remembered, HKEY_CURRENT_USER, kRegistryKey, "darkfabric"));
    EXPECT_EQ(remembered, 1u);
    WriteRegistryDword(0, HKEY_CURRENT_USER, kRegistryKey, "darkfabric");
    WriteRegistryDword(0, HKEY_CURRENT_USER, kRegistryKey, "cutmarks");
}

// "width height xdpi ydpi channels" as ImageMagick reads the picture.
QString Identify(const std::string& path) {
    QProcess tool;
    tool.start("identify", {"-units", "PixelsPerInch", "-format", "%w %h %x %y %[channels]",
                            QString::fromStdString(path)});
    tool.waitForFinished(30000);
    return QString::fromLatin1(tool.readAllStandardOutput());
}

TEST_F(ViewPrintTest, APngIsAPictureForPrintingAtTheSizeAsked) {
    ASSERT_TRUE(Start());
    testsupport::TempDir folder;
    RedQuarterOnBlue(View(), Mixer(), folder.Str());
    services.messages.clear();
    const std::string png = folder.Str() + "/shop.png";
    services.fileAnswers.push_back(png);
    WhenPopupOpens([](QWidget* popup) {
        auto* window = dynamic_cast<CExportSizeWindow*>(popup);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->GetWidthCm(), 25) << "no own size: 25 cm";
        EXPECT_EQ(window->GetDpi(), 300);
        TypeInto(popup, CExportSizeWindow::kWidthFieldId, "10");
        TypeInto(popup, CExportSizeWindow::kResolutionFieldId, "200");
        Click(ButtonOf(popup, CExportSizeWindow::kOkId));
    });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_SAVE)));
    ASSERT_FALSE(services.fileDialogs.empty());
    const auto& filters = services.fileDialogs.back().filters;
    EXPECT_NE(std::find(filters.begin(), filters.end(), "Png file (*.png)"), filters.end());
    // 10 cm at 200 dpi: 787 pixels, as high as the page's proportion.
    const int width = 787, height = int(std::lround(787 / Mixer()->m_dAspect));
    EXPECT_EQ(Identify(png), QString("%1 %2 200 200 srgba").arg(width).arg(height));
    const QImage picture(QString::fromStdString(png));
    EXPECT_EQ(qAlpha(picture.pixel(width - 5, 5)), 0) << "no background";
    EXPECT_EQ(picture.pixel(20, height / 2), qRgba(255, 0, 0, 255)) << "the layer, opaque";
    EXPECT_EQ(qAlpha(picture.pixel(width / 4 + 3, height / 2)), 0) << "right of the layer";

    // A bitmap stays the program's 1000-pixel picture and says it prints 25
    // cm wide.
    const std::string bmp = folder.Str() + "/page.bmp";
    services.fileAnswers.push_back(bmp);
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_SAVE)));
    const QStringList seen = Identify(bmp).split(' ');
    ASSERT_EQ(seen.size(), 5);
    EXPECT_EQ(seen[0], "1000");
    EXPECT_NEAR(seen[2].toDouble(), 101.6, 0.01) << "1000 pixels over 25 cm";
}

} // namespace
