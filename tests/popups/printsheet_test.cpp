// What a printed sheet holds: one copy rendered at the printer's resolution
// (at most 600 dots per inch, within the pixel budget), stored once however
// many cells show it, mirrored for light fabric and not for dark, exactly
// the size asked, with cut marks outside the copies, and the print preview
// drawing what the print draws.

#include "../platform/pdfraster.h"
#include "popuptest.h"
#include "testsupport.h"

#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/printing.h"
#include "platform/userservices.h"
#include "popups/printdesign.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CPrintSettings Settings(int mode, int fill, int width = 0, int height = 0, int dark = 0,
                        int marks = 0) {
    CPrintSettings s;
    s.m_nPageMode = mode;
    s.m_nKeepAspect = 0;
    s.m_nFillPage = fill;
    s.m_nWidth = width;
    s.m_nHeight = height;
    s.m_nDarkFabric = dark;
    s.m_nCutMarks = marks;
    return s;
}

CPrintDevice Device(int dpi, int horz, int vert) {
    CPrintDevice d;
    d.m_nDpiX = d.m_nDpiY = dpi;
    d.m_nHorzRes = horz;
    d.m_nVertRes = vert;
    return d;
}

// No two pixels of a row alike, so that a mirror or a shift shows.
uint32_t Pattern(int x, int y) {
    return uint32_t((x * 7 + y * 3) & 0xFF) << 16 | uint32_t((x * 13) & 0xFF) << 8 |
           uint32_t((y * 5 + x) & 0xFF);
}

class PatternRenderer : public CDesignRenderer {
public:
    CSize GetCompositionSize() override { return CSize(400, 300); }
    BOOL RenderInto(CDIB* image) override {
        sizes.emplace_back(image->GetWidth(), image->GetHeight());
        image->BeginPixelAccess();
        for (int y = 0; y < image->GetHeight(); ++y)
            for (int x = 0; x < image->GetWidth(); ++x) {
                BYTE* p = image->PixelAddress(unsigned(x), unsigned(y));
                const uint32_t c = Pattern(x, y);
                p[0] = BYTE(c), p[1] = BYTE(c >> 8), p[2] = BYTE(c >> 16);
            }
        image->EndPixelAccess();
        return TRUE;
    }
    std::vector<CSize> sizes;
};

// A PDF printer at the given resolution on A4 with margins of 25.4 mm left
// and 12.7 mm top.
void SetUpPdfPrinter(QPrinter& printer, const std::string& path, int dpi) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    printer.setResolution(dpi);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(25.4, 12.7, 10, 10), QPageLayout::Millimeter));
}

CPrintLayout PrintToPdf(const std::string& path, int dpi, const CPrintSettings& settings,
                        PatternRenderer* renderer) {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, path, dpi);
    QPainter painter(&printer);
    CDC dc(&painter);
    const CPrintDevice device = CPrintDevice::FromDC(dc);
    EXPECT_TRUE(PrintDesign(&dc, renderer, settings, nullptr));
    return ComputePrintLayout(renderer->GetCompositionSize(), settings, device);
}

QImage Flipped(const QImage& image) {
    return image.mirrored(true, false);
}

} // namespace

TEST(PrintSheetTest, TheCopyIsRenderedAtTheDevicesResolutionUpTo600Dpi) {
    // 10 x 10 cm at 1200 dots per inch is 4724 device pixels a side: the
    // copy is rendered at 600, half as many.
    const CCopyResolution fine = ComputeCopyResolution({4724, 4724}, Device(1200, 9000, 13000));
    EXPECT_EQ(fine.m_size, CSize(2362, 2362));
    EXPECT_NEAR(fine.m_dDpiX, 600, 0.2);
    EXPECT_FALSE(fine.m_bReduced);
    const CCopyResolution plain = ComputeCopyResolution({2480, 3508}, Device(300, 2480, 3508));
    EXPECT_EQ(plain.m_size, CSize(2480, 3508)) << "300 dpi as it is";
    // A0 at 600 dpi would be 558 million pixels: 80 million at most, in the
    // copy's proportions, about 227 dpi.
    const CCopyResolution big = ComputeCopyResolution({19866, 28087}, Device(600, 19866, 28087));
    EXPECT_TRUE(big.m_bReduced);
    EXPECT_LE((long long)big.m_size.cx * big.m_size.cy, kMaxCopyPixels);
    EXPECT_GT((long long)big.m_size.cx * big.m_size.cy, kMaxCopyPixels - 20000);
    EXPECT_NEAR(double(big.m_size.cx) / big.m_size.cy, 19866.0 / 28087, 0.001);
    EXPECT_NEAR(big.m_dDpiX, 227, 1);
    EXPECT_TRUE(ComputeCopyResolution({0, 10}, Device(600, 10, 10)).m_size == CSize(0, 0));
}

TEST(PrintSheetTest, LightFabricPrintsTheMirrorOfDarkFabricStoredOnce) {
    testsupport::TempDir dir;
    // 6 x 4 cm at 1200 dpi, once: the copy is rendered at 600.
    PatternRenderer light, dark;
    const std::string lightPdf = dir.Str() + "/light.pdf", darkPdf = dir.Str() + "/dark.pdf";
    const CPrintLayout layout = PrintToPdf(lightPdf, 1200, Settings(3, 0, 6, 4), &light);
    PrintToPdf(darkPdf, 1200, Settings(3, 0, 6, 4, 1), &dark);
    ASSERT_EQ(light.sizes.size(), 1u);
    const CSize copy((layout.m_sizeTarget.cx + 1) / 2, (layout.m_sizeTarget.cy + 1) / 2);
    EXPECT_EQ(light.sizes[0], copy);
    EXPECT_EQ(copy, CSize(1417, 945));

    const std::vector<pdfraster::PdfImage> lights = pdfraster::Images(lightPdf, dir.Str() + "/l");
    const std::vector<pdfraster::PdfImage> darks = pdfraster::Images(darkPdf, dir.Str() + "/d");
    ASSERT_EQ(lights.size(), 1u);
    ASSERT_EQ(darks.size(), 1u);
    EXPECT_EQ(lights[0].width, copy.cx);
    EXPECT_EQ(lights[0].height, copy.cy);
    EXPECT_NEAR(lights[0].ppiX, 600, 1);
    EXPECT_NEAR(lights[0].ppiY, 600, 1);
    // The file keeps the rows bottom-up, as the copy stores them.
    const QImage& shown = darks[0].pixels;
    ASSERT_EQ(shown.size(), QSize(copy.cx, copy.cy));
    for (int y = 0; y < shown.height(); y += 97)
        for (int x = 0; x < shown.width(); x += 89)
            ASSERT_EQ(shown.pixel(x, shown.height() - 1 - y) & 0xFFFFFF, Pattern(x, y))
                << "dark fabric as designed at " << x << ", " << y;
    EXPECT_TRUE(lights[0].pixels == Flipped(shown)) << "light fabric: the exact mirror";

    // Filling the page with logos: every cell shows one picture of the file.
    PatternRenderer logos;
    const std::string logosPdf = dir.Str() + "/logos.pdf";
    const CPrintLayout grid = PrintToPdf(logosPdf, 300, Settings(2, 1), &logos);
    const auto cells = pdfraster::Images(logosPdf, dir.Str() + "/g");
    ASSERT_EQ(cells.size(), grid.m_cells.size());
    ASSERT_EQ(cells.size(), 12u);
    for (const auto& cell : cells)
        EXPECT_EQ(cell.object, cells[0].object) << "one picture in the file";
}

TEST(PrintSheetTest, OwnSizeMeasuresTheCentimetresAskedOnTheSheet) {
    testsupport::TempDir dir;
    // 7 x 5 cm, filling the page at 1200 dpi, rasterised at 254 dpi: a
    // pixel is 0.1 mm, so 70 mm are 700 pixels, within 0.2 mm.
    PatternRenderer renderer;
    const std::string pdf = dir.Str() + "/own.pdf";
    PrintToPdf(pdf, 1200, Settings(3, 1, 7, 5), &renderer);
    const QImage page = pdfraster::RasterisePage(pdf, 254, dir.Str());
    ASSERT_FALSE(page.isNull());
    // The printable area starts at 25.4 mm, 12.7 mm: pixels 254 and 127.
    const auto paper = [&page](int x, int y) { return pdfraster::Rgb(page, x, y) == 0xFFFFFF; };
    int right = 254;
    while (right < page.width() && !paper(right, 200))
        ++right;
    int bottom = 127;
    while (bottom < page.height() && !paper(400, bottom))
        ++bottom;
    // Two copies across (14 cm of 17.46) and five down (25 cm of 26.43).
    EXPECT_NEAR(right - 254, 1400, 2) << "two copies of 70 mm";
    EXPECT_NEAR(bottom - 127, 2500, 2) << "five copies of 50 mm";
    EXPECT_FALSE(paper(253 + 700, 200)) << "the first copy reaches 70 mm";
}

TEST(PrintSheetTest, CutMarksContinueTheEdgesOutsideTheCopies) {
    // A 2 x 2 grid of 10 x 5 mm copies at 254 dpi (a pixel is 0.1 mm):
    // marks 2 mm from the corners, 5 mm long, 0.2 mm wide, only outside.
    const CPrintDevice device = Device(254, 200, 100);
    const CPrintLayout grid = [&] {
        CPrintLayout g;
        g.m_cells = {CRect(0, 0, 100, 50), CRect(100, 0, 200, 50), CRect(0, 50, 100, 100),
                     CRect(100, 50, 200, 100)};
        return g;
    }();
    std::vector<CRect> marks = ComputeCutMarks(grid, device);
    std::vector<CRect> expected;
    for (int x : {0, 100, 200}) {
        expected.emplace_back(x - 1, -70, x + 1, -20); // above
        expected.emplace_back(x - 1, 120, x + 1, 170); // below
    }
    for (int y : {0, 50, 100}) {
        expected.emplace_back(-70, y - 1, -20, y + 1); // left
        expected.emplace_back(220, y - 1, 270, y + 1); // right
    }
    const auto order = [](const CRect& a, const CRect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) <
               std::tie(b.left, b.top, b.right, b.bottom);
    };
    std::sort(marks.begin(), marks.end(), order);
    std::sort(expected.begin(), expected.end(), order);
    EXPECT_EQ(marks, expected);

    // Printed: black where the marks are, paper between them and the copy.
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/marks.pdf";
    PatternRenderer renderer;
    // 8 cm at 254 dpi: 8 / 2.54 x 254 lies just below 800, so 799 pixels.
    const int w = PrintToPdf(pdf, 254, Settings(3, 1, 8, 6, 0, 1), &renderer).m_sizeTarget.cx;
    ASSERT_EQ(w, 799);
    const QImage page = pdfraster::RasterisePage(pdf, 254, dir.Str());
    ASSERT_FALSE(page.isNull());
    const int left = 254, top = 127; // the printable area's corner on the page
    const auto black = [&page](int x, int y) { return pdfraster::Rgb(page, x, y) == 0; };
    const auto white = [&page](int x, int y) { return pdfraster::Rgb(page, x, y) == 0xFFFFFF; };
    EXPECT_TRUE(black(left, top - 45)) << "above the first copy's left edge";
    EXPECT_TRUE(white(left, top - 10)) << "the gap above it";
    EXPECT_TRUE(black(left + w, top - 45)) << "above the line between two copies";
    EXPECT_TRUE(black(left - 45, top + 600)) << "left of the line between two rows";
    EXPECT_TRUE(white(left - 45, top + 300)) << "beside a copy, away from its corners";
    EXPECT_FALSE(white(left + 400, top + 600)) << "no mark over a copy";
}

TEST(PrintSheetTest, ThePreviewDrawsWhatThePrintDraws) {
    platform::ScopedScriptedServices services;
    testsupport::TempDir dir;
    struct Client : platform::CPrintClient {
        BOOL OnPreparePrinting(platform::CPrintInfo* info) override {
            info->SetMaxPage(1);
            return TRUE;
        }
        void OnPrint(CDC* dc, platform::CPrintInfo*) override {
            PrintDesign(dc, &renderer, Settings(3, 0, 6, 4, 0, 1), nullptr);
        }
        PatternRenderer renderer;
    } client;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPdfPrinter(printer, dir.Str() + "/unused.pdf", 1200);
    const std::string printed = dir.Str() + "/printed.pdf", previewed = dir.Str() + "/preview.pdf";
    services.printAnswers.push_back(printed);
    services.previewAnswers.push_back(previewed);
    ASSERT_TRUE(platform::DoPrint(nullptr, &client, &printer));
    ASSERT_TRUE(platform::DoPrintPreview(nullptr, &client, &printer));
    const auto print = pdfraster::Images(printed, dir.Str() + "/p");
    const auto preview = pdfraster::Images(previewed, dir.Str() + "/v");
    ASSERT_EQ(print.size(), 1u);
    ASSERT_EQ(preview.size(), 1u);
    EXPECT_EQ(preview[0].ppiX, print[0].ppiX);
    EXPECT_TRUE(preview[0].pixels == print[0].pixels) << "the same copy, mirrored the same";
    EXPECT_TRUE(pdfraster::RasterisePage(previewed, 100, dir.Str()) ==
                pdfraster::RasterisePage(printed, 100, dir.Str()))
        << "the same place and the same cut marks";
}
