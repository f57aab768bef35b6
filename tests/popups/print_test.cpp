// Printing a design: where each page mode puts the picture on the sheet,
// the mirrored design stretched into its cells on images and on PDF pages
// rasterised back, and the whole road from the print command through the
// page print window to the printed page.

#include "../imaging/imagingtest.h"
#include "../platform/pdfraster.h"
#include "popuptest.h"
#include "testsupport.h"

#include "controls/button.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/printing.h"
#include "platform/userservices.h"
#include "popups/pageprintwindow.h"
#include "popups/printdesign.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using pdfraster::RasterisePage;
using pdfraster::Rgb;

namespace {

constexpr unsigned kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

CPrintSettings Settings(int mode, int keepAspect, int fillPage, int width = 0, int height = 0) {
    CPrintSettings s;
    s.m_nPageMode = mode;
    s.m_nKeepAspect = keepAspect;
    s.m_nFillPage = fillPage;
    s.m_nWidth = width;
    s.m_nHeight = height;
    return s;
}

CPrintDevice Device(int dpi, int horz, int vert) {
    CPrintDevice d;
    d.m_nDpiX = d.m_nDpiY = dpi;
    d.m_nHorzRes = horz;
    d.m_nVertRes = vert;
    return d;
}

// Four quadrants of the rendered design: red, green above; blue, white below.
unsigned Quadrant(int x, int y, int width, int height) {
    if (y < height / 2)
        return x < width / 2 ? kRed : kGreen;
    return x < width / 2 ? kBlue : kWhite;
}

// The quadrants mirrored left to right, as the sheet must show them.
unsigned MirroredQuadrant(int x, int y, int width, int height) {
    return Quadrant(width - 1 - x, y, width, height);
}

// Stands in for the view's layer mixer: paints the quadrants at whatever
// size it is asked for, and remembers how it was asked.
class QuadrantRenderer : public CDesignRenderer {
public:
    explicit QuadrantRenderer(CSize size) : m_size(size) {}
    CSize GetCompositionSize() override { return m_size; }
    BOOL RenderInto(CDIB* image) override {
        sizes.emplace_back(image->GetWidth(), image->GetHeight());
        clearedBefore =
            imagingtest::PixelOf(*image, 0, 0) == 0 &&
            imagingtest::PixelOf(*image, image->GetWidth() - 1, image->GetHeight() - 1) == 0;
        waitCursorShown = QApplication::overrideCursor() &&
                          QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        if (!renders)
            return FALSE;
        const int w = image->GetWidth(), h = image->GetHeight();
        image->BeginPixelAccess();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                BYTE* p = image->PixelAddress(unsigned(x), unsigned(y));
                const unsigned c = Quadrant(x, y, w, h);
                p[0] = BYTE(c), p[1] = BYTE(c >> 8), p[2] = BYTE(c >> 16);
            }
        image->EndPixelAccess();
        return TRUE;
    }

    CSize m_size;
    bool renders = true;
    std::vector<CSize> sizes;
    bool clearedBefore = false;
    bool waitCursorShown = false;
};

// Checks the mirrored quadrants three pixels inside each quadrant's corners.
void ExpectMirroredDesign(const std::function<unsigned(int, int)>& pixel, const CRect& at,
                          const std::string& what) {
    const int midX = at.left + at.Width() / 2, midY = at.top + at.Height() / 2;
    const struct {
        int x, y;
        unsigned colour;
    } probes[] = {{at.left + 3, at.top + 3, kGreen}, {midX - 4, midY - 4, kGreen},
                  {midX + 3, at.top + 3, kRed},      {at.right - 4, midY - 4, kRed},
                  {at.left + 3, midY + 3, kWhite},   {midX - 4, at.bottom - 4, kWhite},
                  {midX + 3, midY + 3, kBlue},       {at.right - 4, at.bottom - 4, kBlue}};
    for (const auto& p : probes)
        EXPECT_EQ(pixel(p.x, p.y), p.colour) << what << " at (" << p.x << ", " << p.y << ")";
}

// A PDF printer at 100 dots per inch on A4 with margins of 25.4 mm left
// and 12.7 mm top: a printer pixel is a pixel of the page rasterised at
// 100, and the printable area starts at (100, 50) of it.
void SetUpPdfPrinter(QPrinter& printer, const std::string& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setResolution(100);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(25.4, 12.7, 10, 10), QPageLayout::Millimeter));
}

} // namespace

TEST(PrintLayoutTest, FullShirtAndSmallLogo) {
    const CPrintDevice device = Device(600, 4800, 6600);
    const CPrintLayout full = ComputePrintLayout({400, 300}, Settings(1, 1, 0), device);
    EXPECT_EQ(full.m_sizeImage, CSize(800, 600)) << "twice the composition";
    EXPECT_EQ(full.m_sizeTarget, CSize(4800, 3600)) << "4 : 3 is wider than the sheet";
    ASSERT_EQ(full.m_cells.size(), 1u);
    EXPECT_EQ(full.m_cells[0], CRect(0, 0, 4800, 3600)) << "at the top left, not centred";

    const CPrintLayout fullStretched = ComputePrintLayout({400, 300}, Settings(1, 0, 0), device);
    EXPECT_EQ(fullStretched.m_sizeTarget, CSize(4800, 6600));

    const CPrintLayout logo = ComputePrintLayout({400, 300}, Settings(2, 0, 0), device);
    EXPECT_EQ(logo.m_sizeTarget, CSize(1600, 1650)) << "a third by a quarter";
    ASSERT_EQ(logo.m_cells.size(), 1u);
    EXPECT_EQ(logo.m_cells[0], CRect(0, 0, 1600, 1650));

    const CPrintLayout logoKept = ComputePrintLayout({400, 300}, Settings(2, 1, 0), device);
    EXPECT_EQ(logoKept.m_sizeTarget, CSize(1600, 1200));

    // A tall design keeps the height and narrows the width.
    const CPrintLayout tall = ComputePrintLayout({100, 400}, Settings(1, 1, 0), device);
    EXPECT_EQ(tall.m_sizeTarget, CSize(1650, 6600));
}

TEST(PrintLayoutTest, OwnSizeInCentimetres) {
    const CPrintDevice device = Device(600, 4800, 6600);
    // 10 / 2.54 x 600 = 2362.2; keep aspect does not apply.
    const CPrintLayout own = ComputePrintLayout({400, 300}, Settings(3, 1, 0, 10, 10), device);
    EXPECT_EQ(own.m_sizeTarget, CSize(2362, 2362));
    ASSERT_EQ(own.m_cells.size(), 1u);
    EXPECT_EQ(own.m_cells[0], CRect(0, 0, 2362, 2362));

    const CPrintLayout grid = ComputePrintLayout({400, 300}, Settings(3, 0, 1, 10, 10), device);
    EXPECT_EQ(grid.m_nColumns, 2);
    EXPECT_EQ(grid.m_nRows, 2);
    const std::vector<CRect> cells = {CRect(0, 0, 2362, 2362), CRect(2362, 0, 4724, 2362),
                                      CRect(0, 2362, 2362, 4724), CRect(2362, 2362, 4724, 4724)};
    EXPECT_EQ(grid.m_cells, cells) << "row by row from the top, each from the left";

    // Different resolutions across and down.
    CPrintDevice uneven = Device(300, 4800, 6600);
    uneven.m_nDpiY = 150;
    const CPrintLayout unevenOwn = ComputePrintLayout({400, 300}, Settings(3, 0, 0, 5, 20), uneven);
    EXPECT_EQ(unevenOwn.m_sizeTarget, CSize(590, 1181)) << "590.55 and 1181.1, truncated";
}

TEST(PrintLayoutTest, OwnSizeIsLimitedToThePrintableAreaOfA4) {
    testsupport::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, dir.Str() + "/a4.pdf");
    QPainter painter(&printer);
    ASSERT_TRUE(painter.isActive());
    CDC dc(&painter);
    const CPrintDevice device = CPrintDevice::FromDC(dc);
    EXPECT_EQ(device.m_nDpiX, 100);
    // 210 - 35.4 mm across, 297 - 22.7 mm down.
    EXPECT_NEAR(device.m_nHorzRes, (210 - 35.4) / 25.4 * 100, 1.5);
    EXPECT_NEAR(device.m_nVertRes, (297 - 22.7) / 25.4 * 100, 1.5);
    const CPrintLayout wide = ComputePrintLayout({400, 300}, Settings(3, 0, 0, 50, 10), device);
    EXPECT_EQ(wide.m_sizeTarget, CSize(device.m_nHorzRes, 393)) << "50 cm is wider than A4";
    const CPrintLayout both = ComputePrintLayout({400, 300}, Settings(3, 0, 0, 50, 90), device);
    EXPECT_EQ(both.m_sizeTarget, CSize(device.m_nHorzRes, device.m_nVertRes));
    painter.end();
}

TEST(PrintLayoutTest, FillPageAndTheCasesThatDrawNothing) {
    const CPrintDevice device = Device(600, 4800, 6600);
    const CPrintLayout once = ComputePrintLayout({400, 300}, Settings(1, 0, 1), device);
    ASSERT_EQ(once.m_cells.size(), 1u) << "the whole sheet holds one copy";
    EXPECT_EQ(once.m_cells[0], CRect(0, 0, 4800, 6600));

    const CPrintLayout logos = ComputePrintLayout({400, 300}, Settings(2, 0, 1), device);
    EXPECT_EQ(logos.m_nColumns, 3);
    EXPECT_EQ(logos.m_nRows, 4);
    ASSERT_EQ(logos.m_cells.size(), 12u);
    EXPECT_EQ(logos.m_cells[4], CRect(1600, 1650, 3200, 3300));
    EXPECT_EQ(logos.m_cells[11], CRect(3200, 4950, 4800, 6600));

    // Kept proportions: 1600 x 1200 fits 3 across and 5 down.
    const CPrintLayout kept = ComputePrintLayout({400, 300}, Settings(2, 1, 1), device);
    EXPECT_EQ(kept.m_nColumns, 3);
    EXPECT_EQ(kept.m_nRows, 5);
    EXPECT_EQ(kept.m_cells.size(), 15u);

    EXPECT_TRUE(ComputePrintLayout({400, 300}, Settings(0, 1, 0), device).m_cells.empty())
        << "no page mode";
    EXPECT_TRUE(ComputePrintLayout({400, 300}, Settings(3, 0, 0, 0, 10), device).m_cells.empty())
        << "no width";
    EXPECT_TRUE(
        ComputePrintLayout({400, 300}, Settings(1, 1, 0), Device(600, 0, 0)).m_cells.empty())
        << "no printable area";
}

TEST(PrintDesignTest, TheMirroredDesignIsStretchedIntoEveryCell) {
    // An image device of 300 x 200 pixels at 254 dots per inch (10000 dots
    // per metre): a logo is 100 x 50, the page filled with 3 x 4 of them.
    QImage sheet(300, 200, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    sheet.setDotsPerMeterX(10000);
    sheet.setDotsPerMeterY(10000);
    auto rendered = imagingtest::MakePicture(
        40, 20, [](int x, int y) { return uint32_t(Quadrant(x, y, 40, 20)); });
    {
        QPainter painter(&sheet);
        CDC dc(&painter, &sheet);
        EXPECT_TRUE(PrintRenderedDesign(&dc, rendered.get(), {20, 10}, Settings(2, 0, 1), nullptr));
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(imagingtest::PixelOf(*rendered, x, y), MirroredQuadrant(x, y, 40, 20))
                << "the image itself is mirrored, at " << x << ", " << y;
    const auto pixel = [&sheet](int x, int y) { return unsigned(sheet.pixel(x, y) & 0xFFFFFF); };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            ExpectMirroredDesign(pixel, CRect(c * 100, r * 50, c * 100 + 100, r * 50 + 50),
                                 "cell " + std::to_string(c) + ", " + std::to_string(r));

    // Own size 2 x 1 cm at 254 dots per inch is 200 x 100 pixels.
    QImage own(300, 200, QImage::Format_RGB32);
    own.fill(Qt::black);
    own.setDotsPerMeterX(10000);
    own.setDotsPerMeterY(10000);
    rendered->Mirror(0);
    {
        QPainter painter(&own);
        CDC dc(&painter, &own);
        EXPECT_TRUE(
            PrintRenderedDesign(&dc, rendered.get(), {20, 10}, Settings(3, 1, 0, 2, 1), nullptr));
    }
    const auto ownPixel = [&own](int x, int y) { return unsigned(own.pixel(x, y) & 0xFFFFFF); };
    ExpectMirroredDesign(ownPixel, CRect(0, 0, 200, 100), "own size");
    EXPECT_EQ(ownPixel(200, 50), 0u) << "nothing right of the copy";
    EXPECT_EQ(ownPixel(100, 100), 0u) << "nothing below it";
}

TEST(PrintDesignTest, TheRoutineRendersOneCopyAtItsSizeWithTheWaitCursor) {
    QImage sheet(300, 200, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QuadrantRenderer renderer({30, 20});
    {
        QPainter painter(&sheet);
        CDC dc(&painter, &sheet);
        EXPECT_TRUE(PrintDesign(&dc, &renderer, Settings(1, 0, 0), nullptr));
    }
    ASSERT_EQ(renderer.sizes.size(), 1u);
    EXPECT_EQ(renderer.sizes[0], CSize(300, 200)) << "the sheet's pixels, not twice the design";
    EXPECT_TRUE(renderer.clearedBefore) << "the image starts black";
    EXPECT_TRUE(renderer.waitCursorShown);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the arrow is back";
    const auto pixel = [&sheet](int x, int y) { return unsigned(sheet.pixel(x, y) & 0xFFFFFF); };
    ExpectMirroredDesign(pixel, CRect(0, 0, 300, 200), "whole sheet");

    // Nothing is printed without a composition or when rendering fails.
    QImage empty(50, 50, QImage::Format_RGB32);
    empty.fill(Qt::black);
    QuadrantRenderer none({0, 0});
    QuadrantRenderer failing({10, 10});
    failing.renders = false;
    {
        QPainter painter(&empty);
        CDC dc(&painter, &empty);
        EXPECT_FALSE(PrintDesign(&dc, &none, Settings(1, 0, 0), nullptr));
        EXPECT_TRUE(none.sizes.empty());
        EXPECT_FALSE(PrintDesign(&dc, &failing, Settings(1, 0, 0), nullptr));
        EXPECT_EQ(failing.sizes.size(), 1u);
        EXPECT_FALSE(PrintDesign(&dc, nullptr, Settings(1, 0, 0), nullptr));
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (int y = 0; y < 50; y += 7)
        for (int x = 0; x < 50; x += 7)
            EXPECT_EQ(empty.pixel(x, y) & 0xFFFFFF, 0u) << x << ", " << y;
}

TEST(PrintDesignTest, APdfPageHoldsTheMirrorImageAtTheComputedPlace) {
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/logos.pdf";
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, pdf);
    QuadrantRenderer renderer({40, 30});
    CPrintDevice device;
    {
        QPainter painter(&printer);
        ASSERT_TRUE(painter.isActive());
        CDC dc(&painter);
        device = CPrintDevice::FromDC(dc);
        EXPECT_TRUE(PrintDesign(&dc, &renderer, Settings(2, 1, 1), nullptr));
    }
    const CPrintLayout layout = ComputePrintLayout({40, 30}, Settings(2, 1, 1), device);
    ASSERT_GE(layout.m_cells.size(), 4u);
    const QImage page = RasterisePage(pdf, 100, dir.Str());
    ASSERT_FALSE(page.isNull());
    const auto pixel = [&page](int x, int y) { return Rgb(page, x, y); };
    // The printable area starts 100 pixels across and 50 down the page.
    for (size_t i = 0; i < layout.m_cells.size(); ++i) {
        CRect cell = layout.m_cells[i];
        cell.OffsetRect(100, 50);
        ExpectMirroredDesign(pixel, cell, "copy " + std::to_string(i));
    }
    const CRect last = layout.m_cells.back();
    EXPECT_EQ(Rgb(page, 100 + layout.m_sizeTarget.cx * layout.m_nColumns + 2, 60), kWhite)
        << "paper right of the grid";
    EXPECT_EQ(Rgb(page, 120, 50 + last.bottom + 2), kWhite) << "paper below the grid";
    EXPECT_EQ(Rgb(page, 97, 60), kWhite) << "paper in the margin";
}

// The print command asks the page layout first: Cancel there ends it
// before the print dialog; OK goes on to the dialog and the printed page.
class PageWindowClient : public platform::CPrintClient {
public:
    BOOL OnPreparePrinting(platform::CPrintInfo* info) override {
        info->SetMaxPage(1);
        CPagePrintWindow window;
        if (!window.Create(0, 0, 450, 300, "Page", "Keep aspect", settings.m_nKeepAspect,
                           CPagePrintWindow::kStyle, CPagePrintWindow::kExStyle))
            return FALSE;
        settings.m_nPageMode = popuptest::RunWith(window, [&window, this] { user(window); });
        settings.ReadFrom(window);
        return settings.m_nPageMode != 0;
    }
    void OnPrint(CDC* dc, platform::CPrintInfo*) override {
        ++prints;
        PrintDesign(dc, &renderer, settings, nullptr);
    }

    std::function<void(CPagePrintWindow&)> user;
    CPrintSettings settings;
    QuadrantRenderer renderer{CSize(40, 30)};
    int prints = 0;
};

void Click(CPagePrintWindow& window, int id) {
    popuptest::ClickCentre(dynamic_cast<QWidget*>(window.FindControl(id)));
}

TEST(PrintCommandTest, CancelInThePagePrintWindowEndsPrintingAndPreviewBeforeAnyDialog) {
    platform::ScopedScriptedServices services;
    testsupport::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, dir.Str() + "/never.pdf");
    PageWindowClient client;
    client.user = [](CPagePrintWindow& w) { Click(w, CPagePrintWindow::kCancelId); };
    EXPECT_FALSE(platform::DoPrint(nullptr, &client, &printer));
    EXPECT_FALSE(platform::DoPrintPreview(nullptr, &client, &printer));
    EXPECT_TRUE(services.printDialogs.empty());
    EXPECT_TRUE(services.previews.empty());
    EXPECT_EQ(client.prints, 0);
    EXPECT_EQ(client.settings.m_nPageMode, 0);
}

TEST(PrintCommandTest, OkPrintsTheChosenModeThroughThePrintDialog) {
    platform::ScopedScriptedServices services;
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/printed.pdf";
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, dir.Str() + "/unused.pdf");
    services.printAnswers.push_back(pdf);
    PageWindowClient client;
    client.settings.m_nKeepAspect = 0;
    // Own size 5 x 4 cm, filling the page.
    client.user = [](CPagePrintWindow& w) {
        Click(w, CPagePrintWindow::kOwnSizeId);
        Click(w, CPagePrintWindow::kFillPageId);
        auto* width = w.FindControl(CPagePrintWindow::kWidthFieldId);
        auto* height = w.FindControl(CPagePrintWindow::kHeightFieldId);
        width->SetIntValue(5);
        height->SetIntValue(4);
        Click(w, CPagePrintWindow::kOkId);
    };
    EXPECT_TRUE(platform::DoPrint(nullptr, &client, &printer));
    ASSERT_EQ(services.printDialogs.size(), 1u);
    EXPECT_EQ(client.prints, 1);
    EXPECT_EQ(client.settings.m_nPageMode, 3);
    EXPECT_EQ(client.settings.m_nFillPage, 1);
    EXPECT_EQ(client.settings.m_nWidth, 5);
    EXPECT_EQ(client.settings.m_nHeight, 4);
    EXPECT_EQ(client.settings.m_nKeepAspect, 0) << "the flag handed in, the box never clicked";

    // 5 and 4 cm at 100 dots per inch: 196 x 157 printer pixels.
    const QImage page = RasterisePage(pdf, 100, dir.Str());
    ASSERT_FALSE(page.isNull());
    const auto pixel = [&page](int x, int y) { return Rgb(page, x, y); };
    ExpectMirroredDesign(pixel, CRect(100, 50, 296, 207), "first copy");
    ExpectMirroredDesign(pixel, CRect(296, 207, 492, 364), "second row, second column");
}
