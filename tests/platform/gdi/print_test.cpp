// Pictures and device capabilities of drawing contexts on images and on
// printers: StretchDIBits places, scales and mirrors packed DIBs exactly,
// and a printer context answers the printer's resolution, printable area
// and sheet.

#include "../pdfraster.h"
#include "dctest.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cstring>
#include <vector>

using dctest::Canvas;
using dctest::kPaper;
using pdfraster::RasterisePage;
using pdfraster::Rgb;

namespace {

// A packed DIB: header, colour table, rows padded to four bytes.
struct PackedDib {
    std::vector<BYTE> block;
    int bitsOffset = 0;

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(block.data()); }
    const BYTE* Bits() const { return block.data() + bitsOffset; }
};

// A 24-bit picture; colour(x, y) gives pixel (x, y) counted from the top.
// A negative height stores the rows top-down.
template <class ColourOf> PackedDib Dib24(int width, int height, ColourOf colour) {
    const int rows = std::abs(height);
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    PackedDib dib;
    dib.bitsOffset = sizeof(BITMAPINFOHEADER);
    dib.block.assign(size_t(dib.bitsOffset) + size_t(rowBytes) * rows, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.block.data(), &h, sizeof h);
    for (int y = 0; y < rows; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y;
        BYTE* row = dib.block.data() + dib.bitsOffset + size_t(stored) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    return dib;
}

// An 8-bit picture of colour indexes with its table.
PackedDib Dib8(int width, int height, const std::vector<COLORREF>& table,
               const std::vector<BYTE>& indexes) {
    const int rowBytes = (width + 3) / 4 * 4;
    PackedDib dib;
    dib.bitsOffset = int(sizeof(BITMAPINFOHEADER) + table.size() * 4);
    dib.block.assign(size_t(dib.bitsOffset) + size_t(rowBytes) * height, 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biClrUsed = DWORD(table.size());
    std::memcpy(dib.block.data(), &h, sizeof h);
    for (size_t i = 0; i < table.size(); ++i) {
        BYTE* q = dib.block.data() + sizeof h + i * 4;
        q[0] = GetBValue(table[i]);
        q[1] = GetGValue(table[i]);
        q[2] = GetRValue(table[i]);
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.block[size_t(dib.bitsOffset) + size_t(height - 1 - y) * rowBytes + x] =
                indexes[size_t(y * width + x)];
    return dib;
}

// Four quadrants: red, green above; blue, white below.
COLORREF Quadrant(int x, int y, int width, int height) {
    if (y < height / 2)
        return x < width / 2 ? RGB(255, 0, 0) : RGB(0, 255, 0);
    return x < width / 2 ? RGB(0, 0, 255) : RGB(255, 255, 255);
}

int Blit(CDC& dc, const PackedDib& dib, int xd, int yd, int wd, int hd, int xs, int ys, int ws,
         int hs) {
    return dc.StretchDIBits(xd, yd, wd, hd, xs, ys, ws, hs, dib.Bits(), dib.Info(), DIB_RGB_COLORS,
                            SRCCOPY);
}

// The colours of the quadrant picture expected at image pixels, checked
// two pixels inside each quadrant's corners.
void ExpectQuadrants(const QImage& image, const CRect& at, bool mirrored, const char* what) {
    const unsigned red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    const int midX = at.left + at.Width() / 2, midY = at.top + at.Height() / 2;
    const struct {
        int x, y;
        unsigned colour;
    } probes[] = {{at.left + 2, at.top + 2, mirrored ? green : red},
                  {midX - 3, midY - 3, mirrored ? green : red},
                  {midX + 2, at.top + 2, mirrored ? red : green},
                  {at.right - 3, midY - 3, mirrored ? red : green},
                  {at.left + 2, midY + 2, mirrored ? white : blue},
                  {midX - 3, at.bottom - 3, mirrored ? white : blue},
                  {midX + 2, midY + 2, mirrored ? blue : white},
                  {at.right - 3, at.bottom - 3, mirrored ? blue : white}};
    for (const auto& p : probes)
        EXPECT_EQ(Rgb(image, p.x, p.y), p.colour) << what << " at (" << p.x << ", " << p.y << ")";
}

} // namespace

TEST(StretchDIBitsTest, CopiesAndScalesByNearestPixels) {
    const PackedDib dib = Dib24(4, 2, [](int x, int y) { return RGB(x * 60, y * 200, 7); });
    Canvas canvas(20, 10);
    EXPECT_EQ(Blit(canvas.dc, dib, 1, 1, 4, 2, 0, 0, 4, 2), 2) << "answers the rows drawn";
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(canvas.At(1 + x, 1 + y), RGB(x * 60, y * 200, 7)) << x << ", " << y;
    EXPECT_EQ(canvas.At(0, 1), kPaper);
    EXPECT_EQ(canvas.At(5, 1), kPaper);
    EXPECT_EQ(canvas.At(1, 3), kPaper);

    // Three times as large: every source pixel becomes a 3 x 3 block.
    Canvas large(20, 10);
    Blit(large.dc, dib, 2, 1, 12, 6, 0, 0, 4, 2);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(large.At(2 + x, 1 + y), RGB((x / 3) * 60, (y / 3) * 200, 7))
                << x << ", " << y;
    EXPECT_EQ(large.At(14, 1), kPaper);
    EXPECT_EQ(large.At(2, 7), kPaper);
}

TEST(StretchDIBitsTest, SourceRowsCountFromTheBottomUnlessStoredTopDown) {
    // Rows from the top: 10, 20, 30, 40 in red.
    const auto rowColour = [](int, int y) { return RGB(10 * (y + 1), 0, 0); };
    const PackedDib bottomUp = Dib24(2, 4, rowColour);
    Canvas canvas(10, 10);
    // Source rows 0 and 1 from the bottom are the picture's last two.
    Blit(canvas.dc, bottomUp, 0, 0, 2, 2, 0, 0, 2, 2);
    EXPECT_EQ(canvas.At(0, 0), RGB(30, 0, 0));
    EXPECT_EQ(canvas.At(1, 1), RGB(40, 0, 0));
    EXPECT_EQ(canvas.At(0, 2), kPaper);

    const PackedDib topDown = Dib24(2, -4, rowColour);
    Canvas other(10, 10);
    Blit(other.dc, topDown, 0, 0, 2, 2, 0, 0, 2, 2);
    EXPECT_EQ(other.At(0, 0), RGB(10, 0, 0));
    EXPECT_EQ(other.At(1, 1), RGB(20, 0, 0));
}

TEST(StretchDIBitsTest, NegativeDestinationWidthMirrors) {
    const PackedDib dib = Dib24(4, 1, [](int x, int) { return RGB(x * 80, 0, 0); });
    Canvas canvas(10, 3);
    // Destination from x = 8 leftward: columns 4..7 hold the picture mirrored.
    Blit(canvas.dc, dib, 8, 1, -4, 1, 0, 0, 4, 1);
    EXPECT_EQ(canvas.At(7, 1), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(6, 1), RGB(80, 0, 0));
    EXPECT_EQ(canvas.At(5, 1), RGB(160, 0, 0));
    EXPECT_EQ(canvas.At(4, 1), RGB(240, 0, 0));
    EXPECT_EQ(canvas.At(3, 1), kPaper);
    EXPECT_EQ(canvas.At(8, 1), kPaper);
}

TEST(StretchDIBitsTest, ColourTablesAndRefusals) {
    const PackedDib dib = Dib8(3, 1, {RGB(1, 2, 3), RGB(200, 100, 50), RGB(9, 9, 9)}, {1, 0, 2});
    Canvas canvas(5, 2);
    EXPECT_EQ(Blit(canvas.dc, dib, 0, 0, 3, 1, 0, 0, 3, 1), 1);
    EXPECT_EQ(canvas.At(0, 0), RGB(200, 100, 50));
    EXPECT_EQ(canvas.At(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(2, 0), RGB(9, 9, 9));

    EXPECT_EQ(Blit(canvas.dc, dib, 0, 0, 3, 1, 0, 0, 0, 1), GDI_ERROR) << "no source width";
    EXPECT_EQ(canvas.dc.StretchDIBits(0, 0, 3, 1, 0, 0, 3, 1, nullptr, dib.Info(), DIB_RGB_COLORS,
                                      SRCCOPY),
              GDI_ERROR);
    CDC detached(nullptr);
    EXPECT_EQ(Blit(detached, dib, 0, 0, 3, 1, 0, 0, 3, 1), GDI_ERROR);
}

TEST(DeviceCapsTest, AnImageHasItsPixelsAndResolutionButNoSheet) {
    QImage image(320, 200, QImage::Format_RGB32);
    image.setDotsPerMeterX(4000); // 101.6 dots per inch
    image.setDotsPerMeterY(2000);
    QPainter painter(&image);
    CDC dc(&painter, &image);
    EXPECT_FALSE(dc.IsPrinting());
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 320);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 200);
    EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 80);
    EXPECT_EQ(dc.GetDeviceCaps(VERTSIZE), 100);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 102);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 51);
    EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);
    for (int index : {PHYSICALWIDTH, PHYSICALHEIGHT, PHYSICALOFFSETX, PHYSICALOFFSETY})
        EXPECT_EQ(dc.GetDeviceCaps(index), 0) << "index " << index;
    CDC detached(nullptr);
    EXPECT_EQ(detached.GetDeviceCaps(HORZRES), 0);
    EXPECT_FALSE(detached.IsPrinting());
}

TEST(DeviceCapsTest, APrinterAnswersItsResolutionPrintableAreaAndSheet) {
    // A PDF page is measured in points; at 288 dots per inch a point is 4
    // printer pixels, so every value is exact. The sheet is 600 x 800
    // points with margins of 36 (left), 72 (top), 18 (right), 54 (bottom).
    testsupport::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.Str() + "/caps.pdf"));
    printer.setResolution(288);
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(600, 800), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF(36, 72, 18, 54),
                                      QPageLayout::Point));
    QPainter painter(&printer);
    ASSERT_TRUE(painter.isActive());
    CDC dc(&painter);
    EXPECT_TRUE(dc.IsPrinting());
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 288);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), 288);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALWIDTH), 2400);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALHEIGHT), 3200);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETX), 144);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETY), 288);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 2184) << "inside the margins: 546 points";
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 2696) << "674 points";
    // 546 and 674 points are 192.6 and 237.8 mm.
    EXPECT_EQ(dc.GetDeviceCaps(HORZSIZE), 193);
    EXPECT_EQ(dc.GetDeviceCaps(VERTSIZE), 238);
    painter.end();

    // A4 at 600 dots per inch without margins: 210 x 297 mm, to a point.
    QPrinter a4(QPrinter::HighResolution);
    a4.setOutputFormat(QPrinter::PdfFormat);
    a4.setOutputFileName(QString::fromStdString(dir.Str() + "/a4.pdf"));
    a4.setResolution(600);
    a4.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter onA4(&a4);
    CDC a4dc(&onA4);
    EXPECT_EQ(a4dc.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_NEAR(a4dc.GetDeviceCaps(PHYSICALWIDTH), 210 / 25.4 * 600, 600 / 72.0);
    EXPECT_NEAR(a4dc.GetDeviceCaps(PHYSICALHEIGHT), 297 / 25.4 * 600, 600 / 72.0);
    EXPECT_EQ(a4dc.GetDeviceCaps(HORZRES), a4dc.GetDeviceCaps(PHYSICALWIDTH));
    EXPECT_EQ(a4dc.GetDeviceCaps(PHYSICALOFFSETX), 0);
}

TEST(DeviceCapsTest, APrinterPaintsFromThePrintableCorner) {
    // At 100 dots per inch a printer pixel is a pixel of the page rasterised
    // at 100; margins of 25.4 and 12.7 mm are 100 and 50 of them.
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/blit.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setResolution(100);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(25.4, 12.7, 10, 10), QPageLayout::Millimeter));
    const PackedDib dib = Dib24(40, 20, [](int x, int y) { return Quadrant(x, y, 40, 20); });
    {
        QPainter painter(&printer);
        ASSERT_TRUE(painter.isActive());
        CDC dc(&painter);
        EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETX), 100);
        EXPECT_EQ(dc.GetDeviceCaps(PHYSICALOFFSETY), 50);
        EXPECT_EQ(Blit(dc, dib, 20, 10, 200, 100, 0, 0, 40, 20), 20);
        // The same picture mirrored left to right below it.
        EXPECT_EQ(Blit(dc, dib, 420, 200, -200, 100, 0, 0, 40, 20), 20);
    }
    const QImage page = RasterisePage(pdf, 100, dir.Str());
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.size(), QSize(827, 1170)) << "A4 (595 x 842 points) at 100 dots per inch";
    ExpectQuadrants(page, CRect(120, 60, 320, 160), false, "picture");
    ExpectQuadrants(page, CRect(320, 250, 520, 350), true, "mirrored picture");
    // Paper around them.
    for (const QPoint p : {QPoint(117, 100), QPoint(200, 57), QPoint(323, 100), QPoint(200, 163),
                           QPoint(317, 300), QPoint(523, 300), QPoint(10, 10)})
        EXPECT_EQ(Rgb(page, p.x(), p.y()), 0xFFFFFFu) << "paper at " << p.x() << ", " << p.y();
}
