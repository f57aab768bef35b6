// The metafile player: WMF and EMF byte streams made here, played into
// white images and checked pixel by pixel; headers; and damaged files.

#include "platform/metafile/metafile.h"
#include "testsupport.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using platform::CMetafile;

namespace {

using Bytes = std::vector<BYTE>;

void Put16(Bytes& b, int v) {
    b.push_back(BYTE(v & 0xFF));
    b.push_back(BYTE((v >> 8) & 0xFF));
}

void Put32(Bytes& b, long long v) {
    Put16(b, int(v & 0xFFFF));
    Put16(b, int((v >> 16) & 0xFFFF));
}

void Set32(Bytes& b, size_t at, long long v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = BYTE((v >> (8 * i)) & 0xFF);
}

// A 2x2 24-bit bitmap, rows from the bottom: bottom row blue, green; top
// row red, white.
Bytes TwoByTwoDib(bool withHeader = true) {
    Bytes b;
    if (withHeader) {
        Put32(b, 40);
        Put32(b, 2);
        Put32(b, 2);
        Put16(b, 1);
        Put16(b, 24);
        for (int i = 0; i < 6; ++i)
            Put32(b, 0);
    }
    const BYTE rows[] = {255, 0, 0,   0,   255, 0,   0, 0,  // blue, green, padding
                         0,   0, 255, 255, 255, 255, 0, 0}; // red, white, padding
    b.insert(b.end(), std::begin(rows), std::end(rows));
    return b;
}

// WMF records: a function and its 16-bit parameters, or raw parameter bytes.
class WmfBuilder {
public:
    WmfBuilder& Rec(int function, std::initializer_list<int> words) {
        Bytes params;
        for (int w : words)
            Put16(params, w);
        return Raw(function, params);
    }
    WmfBuilder& Raw(int function, const Bytes& params) {
        Bytes rec;
        Put32(rec, (6 + params.size() + 1) / 2);
        Put16(rec, function);
        rec.insert(rec.end(), params.begin(), params.end());
        if (rec.size() % 2)
            rec.push_back(0);
        m_records.insert(m_records.end(), rec.begin(), rec.end());
        return *this;
    }
    WmfBuilder& Window(int w, int h) { return Rec(0x020B, {0, 0}).Rec(0x020C, {h, w}); }
    WmfBuilder& Brush(COLORREF c, int style = 0, int hatch = 0) {
        Bytes p;
        Put16(p, style);
        Put32(p, c);
        Put16(p, hatch);
        return Raw(0x02FC, p);
    }
    WmfBuilder& Pen(COLORREF c, int style = 0, int width = 0) {
        Bytes p;
        Put16(p, style);
        Put16(p, width);
        Put16(p, 0);
        Put32(p, c);
        return Raw(0x02FA, p);
    }
    WmfBuilder& Select(int index) { return Rec(0x012D, {index}); }
    WmfBuilder& Rectangle(int l, int t, int r, int b) { return Rec(0x041B, {b, r, t, l}); }

    Bytes Build() const {
        Bytes b;
        Put16(b, 1); // in memory
        Put16(b, 9); // header words
        Put16(b, 0x0300);
        const size_t total = 18 + m_records.size() + 6;
        Put32(b, static_cast<long long>(total / 2));
        Put16(b, 16); // objects
        Put32(b, 0);
        Put16(b, 0);
        b.insert(b.end(), m_records.begin(), m_records.end());
        Put32(b, 3);
        Put16(b, 0); // end of file
        return b;
    }

private:
    Bytes m_records;
};

// EMF records: a type and its 32-bit fields; the header and the closing
// record are added by Build.
class EmfBuilder {
public:
    EmfBuilder& Rec(DWORD type, std::initializer_list<long long> fields) {
        Bytes params;
        for (long long f : fields)
            Put32(params, f);
        return Raw(type, params);
    }
    EmfBuilder& Raw(DWORD type, Bytes params) {
        while (params.size() % 4)
            params.push_back(0);
        Put32(m_records, type);
        Put32(m_records, static_cast<long long>(8 + params.size()));
        m_records.insert(m_records.end(), params.begin(), params.end());
        ++m_count;
        return *this;
    }
    EmfBuilder& Brush(DWORD index, COLORREF c) { return Rec(39, {index, 0, c, 0}); }
    EmfBuilder& Select(long long index) { return Rec(37, {index}); }
    EmfBuilder& Rectangle(int l, int t, int r, int b) { return Rec(43, {l, t, r, b}); }
    EmfBuilder& NullPen() { return Select(0x80000008); }

    // frame in 0.01 mm; the reference device is 4 pixels per millimetre.
    Bytes Build(RECT frame = {0, 0, 2000, 1000}, std::vector<COLORREF> palette = {}) const {
        Bytes b;
        Put32(b, 1);
        Put32(b, 108);
        for (long long v : {0, 0, 79, 39})
            Put32(b, v); // bounds
        for (long long v : {frame.left, frame.top, frame.right, frame.bottom})
            Put32(b, v);
        Put32(b, 0x464D4520);
        Put32(b, 0x10000);
        Put32(b, 0); // size, set below
        Put32(b, m_count + 2);
        Put16(b, 8); // handles
        Put16(b, 0);
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, static_cast<long long>(palette.size()));
        for (long long v : {1000, 800, 250, 200})
            Put32(b, v); // device pixels and millimetres
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, 250000);
        Put32(b, 200000);
        b.insert(b.end(), m_records.begin(), m_records.end());
        Put32(b, 14);
        Put32(b, static_cast<long long>(20 + 4 * palette.size()));
        Put32(b, static_cast<long long>(palette.size()));
        Put32(b, 16);
        for (COLORREF c : palette)
            Put32(b, c);
        Put32(b, static_cast<long long>(20 + 4 * palette.size()));
        Set32(b, 48, static_cast<long long>(b.size()));
        return b;
    }

private:
    Bytes m_records;
    long long m_count = 0;
};

std::unique_ptr<CMetafile> Load(const Bytes& b, CMetafile::Kind kind) {
    std::string error;
    auto mf = CMetafile::Load(b.data(), b.size(), kind, &error);
    EXPECT_TRUE(mf) << error;
    return mf;
}

QImage Play(const CMetafile& mf, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    mf.Play(painter, QRect(0, 0, w, h));
    painter.end();
    return image;
}

QImage PlayWmf(const WmfBuilder& wmf, int w, int h) {
    auto mf = Load(wmf.Build(), CMetafile::Kind::Wmf);
    return mf ? Play(*mf, w, h) : QImage();
}

QImage PlayEmf(const EmfBuilder& emf, int w = 160, int h = 80) {
    auto mf = Load(emf.Build(), CMetafile::Kind::Emf);
    return mf ? Play(*mf, w, h) : QImage();
}

std::string Hex(QRgb c) {
    char s[16];
    std::snprintf(s, sizeof s, "#%06X", c & 0xFFFFFF);
    return s;
}

// Pixel (x, y) must be exactly the colour given.
#define EXPECT_PIXEL(image, x, y, expected)                                                        \
    EXPECT_EQ(Hex((image).pixel((x), (y))), Hex(QColor(expected).rgb()))                           \
        << "pixel (" << (x) << ", " << (y) << ")"

// Counts the pixels of a rectangle that are not white.
int Inked(const QImage& image, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return n;
}

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

} // namespace

// WMF playing ---------------------------------------------------------------------

TEST(MetafileWmfTest, WindowMapsOntoTargetWithShapesAndPens) {
    // A 100x100 window onto a 200x100 target: x doubles, y stays.
    WmfBuilder wmf;
    wmf.Window(100, 100).Brush(kRed).Select(0).Pen(0, 5).Select(1);
    wmf.Rectangle(10, 10, 50, 50);
    QImage image = PlayWmf(wmf, 200, 100);
    EXPECT_PIXEL(image, 20, 10, Qt::red);
    EXPECT_PIXEL(image, 99, 49, Qt::red);
    EXPECT_PIXEL(image, 19, 30, Qt::white);
    EXPECT_PIXEL(image, 100, 30, Qt::white);
    EXPECT_PIXEL(image, 60, 9, Qt::white);
    EXPECT_PIXEL(image, 60, 50, Qt::white);

    // A transform already set on the painter moves the whole picture.
    auto mf = Load(wmf.Build(), CMetafile::Kind::Wmf);
    ASSERT_TRUE(mf);
    QImage moved(200, 100, QImage::Format_RGB32);
    moved.fill(Qt::white);
    QPainter painter(&moved);
    painter.translate(10, 0);
    mf->Play(painter, QRect(0, 0, 200, 100));
    painter.end();
    EXPECT_PIXEL(moved, 30, 10, Qt::red);
    EXPECT_PIXEL(moved, 29, 10, Qt::white);
    EXPECT_PIXEL(moved, 109, 49, Qt::red);
    EXPECT_PIXEL(moved, 110, 49, Qt::white);

    // A one-pixel blue pen around a hollow rectangle, 1:1.
    WmfBuilder outline;
    outline.Window(100, 100).Pen(kBlue).Select(0).Brush(0, 1).Select(1).Rectangle(10, 10, 50, 50);
    image = PlayWmf(outline, 100, 100);
    EXPECT_PIXEL(image, 10, 30, Qt::blue);
    EXPECT_PIXEL(image, 30, 10, Qt::blue);
    EXPECT_PIXEL(image, 30, 30, Qt::white);
    EXPECT_PIXEL(image, 5, 30, Qt::white);
}

TEST(MetafileWmfTest, PolygonEllipseAndFillModes) {
    WmfBuilder wmf;
    wmf.Window(100, 100).Pen(0, 5).Select(0).Brush(kGreen).Select(1);
    wmf.Rec(0x0324, {3, 10, 10, 90, 10, 50, 90}); // triangle
    QImage image = PlayWmf(wmf, 100, 100);
    EXPECT_PIXEL(image, 50, 40, Qt::green);
    EXPECT_PIXEL(image, 15, 80, Qt::white);
    EXPECT_PIXEL(image, 85, 80, Qt::white);

    WmfBuilder ellipse;
    ellipse.Window(100, 100).Pen(0, 5).Select(0).Brush(kBlue).Select(1);
    ellipse.Rec(0x0418, {60, 80, 20, 20}); // ellipse (20,20)-(80,60)
    image = PlayWmf(ellipse, 100, 100);
    EXPECT_PIXEL(image, 50, 40, Qt::blue);
    EXPECT_PIXEL(image, 21, 21, Qt::white);
    EXPECT_PIXEL(image, 78, 58, Qt::white);

    // Two squares drawn the same way round: alternate leaves the inner one
    // empty, winding fills it.
    for (int mode : {1, 2}) {
        WmfBuilder pp;
        pp.Window(100, 100).Pen(0, 5).Select(0).Brush(kRed).Select(1).Rec(0x0106, {mode});
        pp.Rec(0x0538, {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70});
        image = PlayWmf(pp, 100, 100);
        EXPECT_PIXEL(image, 20, 50, Qt::red) << "fill mode " << mode;
        EXPECT_PIXEL(image, 50, 50, mode == 1 ? Qt::white : Qt::red) << "fill mode " << mode;
    }
}

TEST(MetafileWmfTest, SavedStatesObjectsAndClipping) {
    // SaveDC, a new brush, RestoreDC(-1): the red brush is back.
    WmfBuilder wmf;
    wmf.Window(100, 100).Pen(0, 5).Select(0).Brush(kRed).Select(1).Rec(0x001E, {});
    wmf.Brush(kBlue).Select(2).Rec(0x0127, {-1}).Rectangle(0, 0, 50, 50);
    // Deleting a brush frees its slot for the next object.
    wmf.Rec(0x01F0, {2}).Brush(kGreen).Select(2).Rectangle(50, 50, 100, 100);
    QImage image = PlayWmf(wmf, 100, 100);
    EXPECT_PIXEL(image, 25, 25, Qt::red);
    EXPECT_PIXEL(image, 75, 75, Qt::green);

    // Intersect then exclude: only the left half, less a hole, is filled.
    WmfBuilder clip;
    clip.Window(100, 100).Pen(0, 5).Select(0).Brush(0).Select(1);
    clip.Rec(0x0416, {100, 50, 0, 0}).Rec(0x0415, {60, 40, 40, 10});
    clip.Rectangle(0, 0, 100, 100);
    image = PlayWmf(clip, 100, 100);
    EXPECT_PIXEL(image, 5, 50, Qt::black);
    EXPECT_PIXEL(image, 45, 10, Qt::black);
    EXPECT_PIXEL(image, 20, 50, Qt::white);
    EXPECT_PIXEL(image, 55, 50, Qt::white);
    EXPECT_PIXEL(image, 75, 20, Qt::white);
}

TEST(MetafileWmfTest, StretchedBitmapGivesFourBlocks) {
    // StretchDIB of the whole 2x2 bitmap onto (10,10) 20x20.
    Bytes p;
    for (int v : {0x0020, 0x00CC, 0 /*usage*/, 2, 2, 0, 0, 20, 20, 10, 10})
        Put16(p, v);
    const Bytes dib = TwoByTwoDib();
    p.insert(p.end(), dib.begin(), dib.end());
    WmfBuilder wmf;
    wmf.Window(100, 100).Raw(0x0F43, p);
    QImage image = PlayWmf(wmf, 100, 100);
    EXPECT_PIXEL(image, 10, 10, Qt::red);
    EXPECT_PIXEL(image, 19, 19, Qt::red);
    EXPECT_PIXEL(image, 20, 10, Qt::white);
    EXPECT_PIXEL(image, 29, 19, Qt::white);
    EXPECT_PIXEL(image, 10, 20, Qt::blue);
    EXPECT_PIXEL(image, 19, 29, Qt::blue);
    EXPECT_PIXEL(image, 20, 20, Qt::green);
    EXPECT_PIXEL(image, 29, 29, Qt::green);
    EXPECT_PIXEL(image, 30, 30, Qt::white);
    EXPECT_PIXEL(image, 9, 9, Qt::white);

    // DIBStretchBlt counts its source from the top: the lower half of the
    // bitmap (blue, green) onto a 20x10 band.
    Bytes q;
    for (int v : {0x0020, 0x00CC, 1, 2, 1, 0, 10, 20, 50, 10})
        Put16(q, v);
    q.insert(q.end(), dib.begin(), dib.end());
    WmfBuilder blt;
    blt.Window(100, 100).Raw(0x0B41, q);
    image = PlayWmf(blt, 100, 100);
    EXPECT_PIXEL(image, 10, 50, Qt::blue);
    EXPECT_PIXEL(image, 25, 55, Qt::green);
    EXPECT_PIXEL(image, 10, 61, Qt::white);
}

TEST(MetafileWmfTest, TextDrawsInsideItsBox) {
    Bytes font;
    for (int v : {-20, 0, 0, 0, 400})
        Put16(font, v);
    for (int i = 0; i < 8; ++i)
        font.push_back(0);
    for (char c : std::string("DejaVu Sans"))
        font.push_back(BYTE(c));
    font.push_back(0);
    Bytes text;
    Put16(text, 4);
    for (char c : std::string("Mmmm"))
        text.push_back(BYTE(c));
    Put16(text, 10); // y
    Put16(text, 10); // x
    WmfBuilder wmf;
    wmf.Window(100, 100).Raw(0x02FB, font).Select(0).Rec(0x0209, {0xFF, 0}).Rec(0x0102, {1});
    wmf.Raw(0x0521, text);
    QImage image = PlayWmf(wmf, 100, 100);
    EXPECT_GT(Inked(image, QRect(10, 10, 70, 25)), 40);
    EXPECT_EQ(Inked(image, QRect(0, 40, 100, 60)), 0);
    EXPECT_EQ(Inked(image, QRect(0, 0, 9, 100)), 0);
    // The ink is the text colour.
    bool red = false;
    for (int y = 10; y < 35 && !red; ++y)
        for (int x = 10; x < 80 && !red; ++x)
            red = image.pixel(x, y) == QColor(Qt::red).rgb();
    EXPECT_TRUE(red);
}

TEST(MetafileWmfTest, ClipArtStyleFileWithFlippedWindow) {
    // Old clip art: window origin at the bottom left, y growing upwards
    // through a negative extent, objects made and dropped as it goes.
    WmfBuilder wmf;
    wmf.Rec(0x0103, {8}).Rec(0x020B, {1000, -500}).Rec(0x020C, {-1000, 2000});
    wmf.Pen(0, 5).Select(0).Brush(kBlue).Select(1);
    wmf.Rectangle(-500, 1000, 500, 500); // the upper left quarter
    wmf.Rec(0x01F0, {1}).Brush(kRed).Select(1);
    wmf.Rec(0x0324, {4, 500, 500, 1500, 500, 1500, 0, 500, 0}); // the lower right quarter
    QImage image = PlayWmf(wmf, 200, 100);
    EXPECT_PIXEL(image, 10, 10, Qt::blue);
    EXPECT_PIXEL(image, 90, 40, Qt::blue);
    EXPECT_PIXEL(image, 110, 60, Qt::red);
    EXPECT_PIXEL(image, 190, 90, Qt::red);
    EXPECT_PIXEL(image, 150, 20, Qt::white);
    EXPECT_PIXEL(image, 50, 80, Qt::white);
}

TEST(MetafileWmfTest, HeaderIsTheWholeReferenceScreen) {
    WmfBuilder wmf;
    auto mf = Load(wmf.Window(10, 10).Build(), CMetafile::Kind::Wmf);
    ASSERT_TRUE(mf);
    const CSize px = platform::ScreenSizePixels(), mm = platform::ScreenSizeMm();
    EXPECT_EQ(mf->Header().frame, CRect(0, 0, mm.cx * 100, mm.cy * 100));
    EXPECT_EQ(mf->Header().deviceSize, px);
    EXPECT_EQ(mf->Header().deviceMm, mm);
    EXPECT_EQ(mf->Header().paletteEntries, 0u);
    EXPECT_EQ(platform::ScreenLogPixelsX(), 96);
    EXPECT_EQ(platform::ScreenLogPixelsY(), 96);
}

// EMF playing ---------------------------------------------------------------------

TEST(MetafileEmfTest, HeaderValuesAndPalette) {
    EmfBuilder emf;
    auto mf =
        Load(emf.Build({0, 0, 2000, 1000}, {RGB(1, 2, 3), RGB(250, 128, 0)}), CMetafile::Kind::Emf);
    ASSERT_TRUE(mf);
    const platform::MetafileHeader& h = mf->Header();
    EXPECT_EQ(h.frame, CRect(0, 0, 2000, 1000));
    EXPECT_EQ(h.bounds, CRect(0, 0, 80, 40));
    EXPECT_EQ(h.deviceSize, CSize(1000, 800));
    EXPECT_EQ(h.deviceMm, CSize(250, 200));
    EXPECT_EQ(h.paletteEntries, 2u);
    ASSERT_EQ(h.palette.size(), 2u);
    EXPECT_EQ(h.palette[0].rgbRed, 1);
    EXPECT_EQ(h.palette[0].rgbGreen, 2);
    EXPECT_EQ(h.palette[0].rgbBlue, 3);
    EXPECT_EQ(h.palette[1].rgbRed, 250);
    EXPECT_EQ(h.palette[1].rgbGreen, 128);
}

TEST(MetafileEmfTest, FrameMapsOntoTargetWithTransforms) {
    // 4 pixels per millimetre: the 20x10 mm frame is 80x40 device pixels,
    // played into 160x80 it doubles.
    EmfBuilder emf;
    emf.NullPen().Brush(1, kRed).Select(1).Rectangle(10, 10, 30, 20);
    QImage image = PlayEmf(emf);
    EXPECT_PIXEL(image, 20, 20, Qt::red);
    EXPECT_PIXEL(image, 59, 39, Qt::red);
    EXPECT_PIXEL(image, 60, 30, Qt::white);
    EXPECT_PIXEL(image, 19, 30, Qt::white);

    // A world transform scaling by 2 and moving by (5, 0), then a stock
    // black brush.
    EmfBuilder world;
    Bytes xf;
    for (float v : {2.0f, 0.0f, 0.0f, 2.0f, 5.0f, 0.0f}) {
        DWORD bits;
        std::memcpy(&bits, &v, 4);
        Put32(xf, bits);
    }
    world.NullPen().Select(0x80000004).Raw(35, xf).Rectangle(0, 0, 10, 10);
    image = PlayEmf(world);
    EXPECT_PIXEL(image, 10, 0, Qt::black);
    EXPECT_PIXEL(image, 49, 39, Qt::black);
    EXPECT_PIXEL(image, 50, 20, Qt::white);
    EXPECT_PIXEL(image, 9, 20, Qt::white);

    // Anisotropic mapping: a 10x10 window onto a 40x20 viewport.
    EmfBuilder aniso;
    aniso.NullPen().Select(0x80000004).Rec(17, {8}).Rec(9, {10, 10}).Rec(11, {40, 20});
    aniso.Rectangle(0, 0, 5, 5);
    image = PlayEmf(aniso);
    EXPECT_PIXEL(image, 39, 19, Qt::black);
    EXPECT_PIXEL(image, 41, 10, Qt::white);
    EXPECT_PIXEL(image, 10, 21, Qt::white);
}

TEST(MetafileEmfTest, PathsClippingAndSavedStates) {
    // A path filled with the brush in force.
    EmfBuilder path;
    path.NullPen().Brush(1, kBlue).Select(1).Rec(59, {}).Rec(27, {10, 5});
    path.Rec(54, {30, 5}).Rec(54, {30, 15}).Rec(54, {10, 15}).Rec(61, {}).Rec(60, {});
    path.Rec(62, {0, 0, 0, 0});
    QImage image = PlayEmf(path);
    EXPECT_PIXEL(image, 21, 11, Qt::blue);
    EXPECT_PIXEL(image, 58, 28, Qt::blue);
    EXPECT_PIXEL(image, 61, 20, Qt::white);

    // A clip path cuts a fill; RestoreDC brings back the unclipped state.
    EmfBuilder clip;
    clip.NullPen().Select(0x80000004).Rec(33, {});
    clip.Rec(59, {}).Rectangle(0, 0, 20, 40).Rec(60, {}).Rec(67, {5}); // RGN_COPY
    clip.Rectangle(0, 0, 40, 10).Rec(34, {-1}).Rectangle(0, 30, 40, 40);
    image = PlayEmf(clip);
    EXPECT_PIXEL(image, 20, 10, Qt::black);
    EXPECT_PIXEL(image, 60, 10, Qt::white);
    EXPECT_PIXEL(image, 60, 70, Qt::black);
    EXPECT_PIXEL(image, 60, 50, Qt::white);

    // IntersectClipRect, then a clip-region reset with ExtSelectClipRgn.
    EmfBuilder reset;
    reset.NullPen().Select(0x80000004).Rec(30, {0, 0, 10, 10}).Rectangle(0, 0, 40, 20);
    reset.Rec(75, {0, 5}).Rectangle(0, 30, 40, 40);
    image = PlayEmf(reset);
    EXPECT_PIXEL(image, 10, 10, Qt::black);
    EXPECT_PIXEL(image, 30, 30, Qt::white);
    EXPECT_PIXEL(image, 70, 70, Qt::black);
}

TEST(MetafileEmfTest, StretchDibitsAndText) {
    Bytes p;
    for (long long v : {0, 0, 0, 0, 0, 0, 0, 0, 2, 2}) // bounds, dest, src, source size
        Put32(p, v);
    const Bytes info = TwoByTwoDib(), bits(info.begin() + 40, info.end());
    for (long long v :
         {80LL, 40LL, 120LL, static_cast<long long>(bits.size()), 0LL, 0x00CC0020LL, 10LL, 10LL})
        Put32(p, v);
    p.insert(p.end(), info.begin(), info.begin() + 40);
    p.insert(p.end(), bits.begin(), bits.end());
    EmfBuilder emf;
    emf.Raw(81, p);
    QImage image = PlayEmf(emf);
    EXPECT_PIXEL(image, 0, 0, Qt::red);
    EXPECT_PIXEL(image, 9, 9, Qt::red);
    EXPECT_PIXEL(image, 10, 0, Qt::white);
    EXPECT_PIXEL(image, 0, 10, Qt::blue);
    EXPECT_PIXEL(image, 19, 19, Qt::green);
    EXPECT_PIXEL(image, 20, 20, Qt::white);

    // A font 10 device pixels high (20 in the target) and a string.
    Bytes font;
    for (long long v : {2, -10, 0, 0, 0, 700, 0, 0})
        Put32(font, v);
    for (char16_t c : std::u16string(u"DejaVu Sans"))
        Put16(font, c);
    font.resize(4 + 92, 0);
    Bytes text;
    for (long long v : {0, 0, 0, 0, 1, 0, 0, 5, 5, 3, 76, 0, 0, 0, 0, 0, 0})
        Put32(text, v);
    for (char16_t c : std::u16string(u"WWW"))
        Put16(text, c);
    EmfBuilder words;
    words.Raw(82, font).Select(2).Rec(24, {kGreen}).Rec(18, {1}).Raw(84, text);
    image = PlayEmf(words);
    EXPECT_GT(Inked(image, QRect(10, 10, 60, 25)), 40);
    EXPECT_EQ(Inked(image, QRect(0, 45, 160, 35)), 0);
}

TEST(MetafileEmfTest, SixteenBitPointsPiesAndPixels) {
    EmfBuilder emf;
    emf.NullPen().Brush(1, kGreen).Select(1);
    emf.Rec(86, {0, 0, 0, 0, 3, (5 << 16) | 0, (5 << 16) | 20, (25 << 16) | 10}); // a triangle
    emf.Brush(2, kBlue).Select(2);
    emf.Rec(47, {40, 0, 80, 40, 80, 20, 60, 0}); // pie: the upper right quarter
    emf.Rec(38, {3, 0, 0, 0, kRed}).Select(3);
    emf.Rec(87, {0, 0, 0, 0, 2, (30 << 16) | 0, (30 << 16) | 40}); // a line along y = 30
    emf.Rec(15, {5, 35, kBlue});
    QImage image = PlayEmf(emf);
    // The triangle (0,5) (20,5) (10,25), doubled.
    EXPECT_PIXEL(image, 20, 20, Qt::green);
    EXPECT_PIXEL(image, 4, 40, Qt::white);
    // The pie's box is (80,0)-(160,80) in the target, its centre (120,40).
    EXPECT_PIXEL(image, 140, 20, Qt::blue);
    EXPECT_PIXEL(image, 121, 5, Qt::blue);
    EXPECT_PIXEL(image, 140, 60, Qt::white);
    EXPECT_PIXEL(image, 100, 20, Qt::white);
    // A zero-width pen is one pixel wide at any scale; so is a pixel.
    EXPECT_PIXEL(image, 40, 60, Qt::red);
    EXPECT_PIXEL(image, 40, 59, Qt::white);
    EXPECT_PIXEL(image, 40, 61, Qt::white);
    EXPECT_PIXEL(image, 10, 70, Qt::blue);
    EXPECT_PIXEL(image, 11, 71, Qt::white);
}

// Damaged and hostile files ---------------------------------------------------------

namespace {

void LoadAndPlayEveryPrefix(const Bytes& file, CMetafile::Kind kind) {
    for (size_t n = 0; n < file.size(); ++n) {
        std::string error;
        auto mf = CMetafile::Load(file.data(), n, kind, &error);
        if (!mf) {
            EXPECT_FALSE(error.empty()) << "length " << n;
            continue;
        }
        Play(*mf, 40, 20);
    }
}

// Plays the file when it loads; a refusal must say why. True when played.
bool ExpectPlaysOrRefuses(const Bytes& file, CMetafile::Kind kind) {
    std::string error;
    auto mf = CMetafile::Load(file.data(), file.size(), kind, &error);
    if (mf)
        Play(*mf, 64, 64);
    else
        EXPECT_FALSE(error.empty());
    return mf != nullptr;
}

} // namespace

TEST(MetafileHostileTest, TruncatedFilesAreRefused) {
    WmfBuilder wmf;
    wmf.Window(100, 100).Brush(kRed).Select(0).Rectangle(1, 1, 50, 50);
    const Bytes w = wmf.Build();
    LoadAndPlayEveryPrefix(w, CMetafile::Kind::Wmf);
    std::string error;
    EXPECT_FALSE(CMetafile::Load(w.data(), w.size() - 1, CMetafile::Kind::Wmf, &error));
    EXPECT_EQ(error, "The metafile is shorter than its header says.");

    EmfBuilder emf;
    emf.Brush(1, kRed).Select(1).Rectangle(1, 1, 50, 50);
    const Bytes e = emf.Build();
    LoadAndPlayEveryPrefix(e, CMetafile::Kind::Emf);
    EXPECT_FALSE(CMetafile::Load(e.data(), 20, CMetafile::Kind::Emf, &error));
    EXPECT_EQ(error, "The file is not an enhanced metafile.");
    EXPECT_FALSE(CMetafile::Load(e.data(), 0, CMetafile::Kind::Emf, &error));
    EXPECT_EQ(error, "The metafile is empty.");
}

TEST(MetafileHostileTest, RecordsWithImpossibleSizesAndCounts) {
    // A WMF record claiming more words than the file has, one of size 0.
    Bytes w = WmfBuilder().Rectangle(1, 1, 5, 5).Build();
    Set32(w, 18, 0x7FFFFFFF);
    std::string error;
    EXPECT_FALSE(CMetafile::Load(w.data(), w.size(), CMetafile::Kind::Wmf, &error));
    EXPECT_EQ(error, "A metafile record runs past the end of the file.");
    Set32(w, 18, 0);
    EXPECT_FALSE(CMetafile::Load(w.data(), w.size(), CMetafile::Kind::Wmf, &error));

    // Counts far beyond their records: polygon, polypolygon, text, bitmap.
    WmfBuilder counts;
    counts.Window(10, 10).Rec(0x0324, {0x7FFF, 1, 1}).Rec(0x0538, {2, 0x7FFF, 0x7FFF, 1, 1});
    counts.Rec(0x0521, {0x7FFF, 65, 0}).Rec(0x0A32, {0, 0, 0x7FFF, 0, 65});
    Bytes huge;
    for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 20, 20, 10, 10, 40, 0, 0x7FFF, 0x7FFF, 1, 24})
        Put16(huge, v);
    counts.Raw(0x0F43, huge);
    EXPECT_TRUE(ExpectPlaysOrRefuses(counts.Build(), CMetafile::Kind::Wmf));

    // EMF: a polygon whose count overflows 32-bit arithmetic, polypolygon
    // counts adding up beyond their points, text and bitmap offsets out of
    // the record, a zero-size record and one running past the end.
    EmfBuilder emf;
    emf.Rec(3, {0, 0, 0, 0, 0x20000001, 1, 1});
    emf.Rec(8, {0, 0, 0, 0, 2, 2, 0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 2, 2});
    emf.Rec(84, {0, 0, 0, 0, 1, 0, 0, 5, 5, 0x7FFFFFFF, 0x7FFFFFF0, 0, 0, 0, 0, 0, 0});
    emf.Rec(81, {0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0xFFFFFFF0, 0x40, 80, 4, 0, 0xCC0020, 2, 2});
    EXPECT_TRUE(ExpectPlaysOrRefuses(emf.Build(), CMetafile::Kind::Emf));
    Bytes e = EmfBuilder().Rectangle(1, 1, 5, 5).Build();
    Set32(e, 108 + 4, 0);
    EXPECT_FALSE(CMetafile::Load(e.data(), e.size(), CMetafile::Kind::Emf, &error));
    Set32(e, 108 + 4, 0x7FFFFFFC);
    EXPECT_FALSE(CMetafile::Load(e.data(), e.size(), CMetafile::Kind::Emf, &error));
    EXPECT_EQ(error, "A metafile record runs past the end of the file.");

    // A bitmap far over the size limit is not unpacked.
    Bytes big;
    for (long long v : {0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0xCC0020, 10, 10})
        Put32(big, v);
    for (long long v : {40, 100000, 100000, 0x00180001, 0, 0, 0, 0, 0, 0})
        Put32(big, v);
    big.resize(big.size() + 16, 0xFF);
    EmfBuilder bigEmf;
    bigEmf.Raw(81, big);
    QImage image = PlayEmf(bigEmf);
    EXPECT_EQ(Inked(image, image.rect()), 0);

    // Endless SaveDC and RestoreDC past the first state.
    EmfBuilder saves;
    for (int i = 0; i < 2000; ++i)
        saves.Rec(33, {});
    saves.Rec(34, {-5000}).Rec(34, {0x7FFFFFFF}).Rec(34, {-1});
    EXPECT_TRUE(ExpectPlaysOrRefuses(saves.Build(), CMetafile::Kind::Emf));

    // Styled lines across the whole 16-bit range, blown up a thousandfold,
    // and an enormous font: drawn within limits, not dash by dash.
    WmfBuilder far;
    far.Window(1, 1).Pen(0, 2).Select(0).Rec(0x0214, {-32768, -32768}).Rec(0x0213, {32767, 32767});
    Bytes font;
    for (int v : {-32768, 0, 900, 0, 400, 0, 0, 0, 0})
        Put16(font, v);
    Bytes text;
    Put16(text, 3);
    for (char c : std::string("Abc"))
        text.push_back(BYTE(c));
    text.push_back(0);
    Put16(text, 0);
    Put16(text, 0);
    far.Raw(0x02FB, font).Select(1).Raw(0x0521, text);
    EXPECT_TRUE(ExpectPlaysOrRefuses(far.Build(), CMetafile::Kind::Wmf));
}

TEST(MetafileHostileTest, RandomBytesAndMutatedFiles) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        Bytes junk(static_cast<size_t>(byte(random)) + 1);
        for (BYTE& b : junk)
            b = BYTE(byte(random));
        std::string error;
        EXPECT_FALSE(CMetafile::Load(junk.data(), junk.size(), CMetafile::Kind::Wmf, &error));
        EXPECT_FALSE(CMetafile::Load(junk.data(), junk.size(), CMetafile::Kind::Emf, &error));
    }
    // Valid files with a few bytes changed after their headers.
    WmfBuilder wmf;
    wmf.Window(100, 100).Brush(kRed).Select(0).Rectangle(1, 1, 50, 50).Rec(0x0324, {2, 1, 1, 9, 9});
    EmfBuilder emf;
    emf.Brush(1, kRed).Select(1).Rectangle(1, 1, 50, 50).Rec(3, {0, 0, 0, 0, 2, 1, 1, 9, 9});
    for (const auto& [file, kind, first] :
         {std::tuple{wmf.Build(), CMetafile::Kind::Wmf, size_t(18)},
          std::tuple{emf.Build(), CMetafile::Kind::Emf, size_t(108)}}) {
        int played = 0;
        for (int round = 0; round < 300; ++round) {
            Bytes copy = file;
            for (int k = 0; k < 2; ++k) {
                std::uniform_int_distribution<size_t> at(first, copy.size() - 1);
                copy[at(random)] = BYTE(byte(random));
            }
            played += ExpectPlaysOrRefuses(copy, kind);
        }
        // Most changes hit record contents, not framing: those files play.
        EXPECT_GT(played, 50);
    }
}
