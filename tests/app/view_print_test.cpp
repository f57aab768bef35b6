// A real design printed into a PDF file: the page holds the design mirrored
// left to right, as an iron-on transfer needs it.

#include "programtest.h"

#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/pdfraster.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>
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

TEST_F(ViewPrintTest, TheSheetShowsTheDesignMirroredAtTheTopLeft) {
    ASSERT_TRUE(Start());
    testsupport::TempDir folder;
    // A red square as a layer over the left quarter of a blue page.
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    // The top corners' colour is the picture's transparent one.
    red.setPixel(0, 0, qRgb(255, 255, 255));
    red.setPixel(63, 0, qRgb(255, 255, 255));
    const std::string picture = folder.Str() + "/red.bmp";
    ASSERT_TRUE(red.save(QString::fromStdString(picture)));
    ASSERT_TRUE(View()->LoadDesign(picture));
    services.messages.clear();
    Mixer()->SetAllBackgroundColours(0x00FF0000);
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    CLayerChannel* layer = Mixer()->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    Mixer()->InvalidateLayerBox(layer);
    layer->SetGeometry(0, 0, width / 4.0, height);
    Mixer()->InvalidateLayerBox(layer);

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
