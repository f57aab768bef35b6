// WMF records that create drawing objects or draw bitmaps. Sizes and counts
// are checked against the record length before libuemf reads the fields.

#include "platform/metafile/playerdc.h"
#include "platform/metafile/players.h"
#include "platform/metafile/recorddata.h"

#include <uwmf.h>

#include <algorithm>

namespace platform::metafile {

namespace {

// Pattern brushes of the old device-dependent kind are not decoded; they
// fill with a middle grey so the shape still shows.
const QColor kUndecodedPattern(128, 128, 128);

QPointF Pt(const U_POINT16& p) {
    return {double(p.x), double(p.y)};
}

const BYTE* Bytes(const char* p) {
    return reinterpret_cast<const BYTE*>(p);
}

QColor ColorAt(CByteReader& r) {
    const BYTE red = r.U8(), green = r.U8(), blue = r.U8();
    r.U8();
    return QColor(red, green, blue);
}

GdiBrush BrushFromLog(DWORD style, QColor color, DWORD hatch) {
    if (style == U_BS_PATTERN || style == U_BS_DIBPATTERN || style == U_BS_DIBPATTERNPT)
        return GdiBrush{style, kUndecodedPattern, hatch, {}};
    return GdiBrush{style, color, hatch, {}};
}

GdiFont FontAt(const BYTE* data, size_t size) {
    CByteReader r(data, size);
    GdiFont font;
    font.height = r.I16();
    r.I16(); // width
    font.escapement = r.I16();
    r.I16(); // orientation
    font.weight = r.I16();
    font.italic = r.U8() != 0;
    font.underline = r.U8() != 0;
    font.strikeOut = r.U8() != 0;
    font.charSet = r.U8();
    r.Skip(4); // precisions, quality, pitch
    // The face name ends at its terminator, at 32 bytes or at the record end.
    const size_t room = std::min<size_t>(32, size > r.Offset() ? size - r.Offset() : 0);
    const BYTE* face = r.Bytes(room);
    if (face)
        font.face = AnsiText(face, std::find(face, face + room, 0) - face);
    return font;
}

// A region: scans of rows, each a run of left/right pairs, in logical units.
GdiRegion RegionAt(const BYTE* data, size_t size) {
    CByteReader r(data, size);
    GdiRegion region;
    r.Skip(8); // next-in-chain, object type, object count, size
    const int scans = r.I16();
    r.Skip(2 + 8); // largest scan, bounds
    for (int i = 0; i < scans && !r.Failed(); ++i) {
        const size_t count = r.U16();
        const double top = r.I16(), bottom = r.I16();
        if (!r.Has(count * 2 + 2))
            break;
        for (size_t k = 0; k + 1 < count; k += 2) {
            const double left = r.I16(), right = r.I16();
            region.rects.emplace_back(QPointF(left, top), QPointF(right, bottom));
        }
        if (count % 2)
            r.Skip(2);
        r.U16(); // count repeated
    }
    return region;
}

void CreatePatternBrush(CMetafileDC& dc, const char* rec, size_t size) {
    uint16_t style = 0, usage = 0;
    const char* bitmap16 = nullptr;
    const char* dib = nullptr;
    if (!U_WMRDIBCREATEPATTERNBRUSH_get(rec, &style, &usage, &bitmap16, &dib))
        return;
    GdiBrush brush{U_BS_DIBPATTERNPT, kUndecodedPattern, 0, {}};
    if (dib) {
        const size_t offset = static_cast<size_t>(dib - rec);
        if (offset <= size)
            brush.pattern = DecodePackedDib(Bytes(dib), size - offset, usage);
    }
    dc.AddObject(brush);
}

} // namespace

QString AnsiText(const BYTE* s, size_t n) {
    static constexpr char16_t k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i)
        text.append(QChar(s[i] >= 0x80 && s[i] < 0xA0 ? k80[s[i] - 0x80] : char16_t(s[i])));
    return text;
}

QPolygonF Points16(const BYTE* data, size_t count) {
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    CByteReader r(data, count * 4);
    for (size_t i = 0; i < count; ++i) {
        const double x = r.I16();
        points.append(QPointF(x, r.I16()));
    }
    return points;
}

bool RopUsesSource(DWORD rop) {
    const DWORD index = (rop >> 16) & 0xFF;
    return (((index >> 2) ^ index) & 0x33) != 0;
}

void PlayWmfObjectRecord(CMetafileDC& dc, int type, const char* rec, size_t size) {
    const BYTE* params = Bytes(rec) + kWmfRecordHead;
    const size_t paramBytes = size - kWmfRecordHead;
    switch (type) {
    case U_WMR_CREATEPENINDIRECT: {
        U_PEN pen{};
        if (size < U_SIZE_WMRCREATEPENINDIRECT || !U_WMRCREATEPENINDIRECT_get(rec, &pen))
            return;
        const auto width = static_cast<int16_t>(pen.Widthw[0]);
        dc.AddObject(GdiPen{pen.Style, double(std::abs(width)),
                            QColor(pen.Color.Red, pen.Color.Green, pen.Color.Blue), false});
        return;
    }
    case U_WMR_CREATEBRUSHINDIRECT: {
        const char* brush = nullptr;
        if (size < U_SIZE_WMRCREATEBRUSHINDIRECT || !U_WMRCREATEBRUSHINDIRECT_get(rec, &brush))
            return;
        CByteReader r(Bytes(brush), U_SIZE_WLOGBRUSH);
        const DWORD style = r.U16();
        const QColor color = ColorAt(r);
        dc.AddObject(BrushFromLog(style, color, r.U16()));
        return;
    }
    case U_WMR_CREATEFONTINDIRECT: {
        const char* font = nullptr;
        if (size < U_SIZE_WMRCREATEFONTINDIRECT || !U_WMRCREATEFONTINDIRECT_get(rec, &font))
            return;
        dc.AddObject(FontAt(params, paramBytes));
        return;
    }
    case U_WMR_CREATEREGION: {
        const char* region = nullptr;
        if (size < U_SIZE_WMRCREATEREGION || !U_WMRCREATEREGION_get(rec, &region))
            return;
        dc.AddObject(RegionAt(params, paramBytes));
        return;
    }
    case U_WMR_DIBCREATEPATTERNBRUSH:
        if (size >= U_SIZE_WMRDIBCREATEPATTERNBRUSH)
            CreatePatternBrush(dc, rec, size);
        return;
    case U_WMR_CREATEPATTERNBRUSH:
        dc.AddObject(GdiBrush{U_BS_PATTERN, kUndecodedPattern, 0, {}});
        return;
    case U_WMR_CREATEPALETTE:
    case U_WMR_CREATEBITMAP:
    case U_WMR_CREATEBITMAPINDIRECT:
        // Objects not drawn with still take their slot in the table.
        dc.AddObject(GdiOther{});
        return;
    default:
        return; // records the player does not draw
    }
}

void PlayWmfBitmapRecord(CMetafileDC& dc, int type, const char* rec, size_t size) {
    U_POINT16 dst{}, dstSize{}, src{}, srcSize{};
    uint32_t rop = 0;
    uint16_t usage = 0;
    const char* dib = nullptr;
    bool countFromBottom = false; // StretchDIBits counts source rows from the bottom
    switch (type) {
    case U_WMR_STRETCHDIB:
        if (size < U_SIZE_WMRSTRETCHDIB ||
            !U_WMRSTRETCHDIB_get(rec, &dst, &dstSize, &src, &srcSize, &usage, &rop, &dib))
            return;
        countFromBottom = true;
        break;
    case U_WMR_DIBSTRETCHBLT:
        if (size < U_SIZE_WMRDIBSTRETCHBLT_NOPX ||
            !U_WMRDIBSTRETCHBLT_get(rec, &dst, &dstSize, &src, &srcSize, &rop, &dib))
            return;
        break;
    case U_WMR_DIBBITBLT:
        if (size < U_SIZE_WMRDIBBITBLT_NOPX ||
            !U_WMRDIBBITBLT_get(rec, &dst, &dstSize, &src, &rop, &dib))
            return;
        srcSize = dstSize;
        break;
    case U_WMR_SETDIBTODEV: {
        uint16_t scans = 0, first = 0;
        if (size < U_SIZE_WMRSETDIBTODEV ||
            !U_WMRSETDIBTODEV_get(rec, &dst, &dstSize, &src, &usage, &scans, &first, &dib))
            return;
        srcSize = dstSize;
        rop = U_SRCCOPY;
        countFromBottom = true;
        break;
    }
    case U_WMR_BITBLT:
    case U_WMR_STRETCHBLT: {
        // Only their source-less forms are drawn: old device bitmaps are not.
        U_BITMAP16 bitmap{};
        const char* px = nullptr;
        const bool ok =
            type == U_WMR_BITBLT
                ? size >= U_SIZE_WMRBITBLT_NOPX &&
                      U_WMRBITBLT_get(rec, &dst, &dstSize, &src, &rop, &bitmap, &px)
                : size >= U_SIZE_WMRSTRETCHBLT_NOPX &&
                      U_WMRSTRETCHBLT_get(rec, &dst, &dstSize, &src, &srcSize, &rop, &bitmap, &px);
        if (ok && !px && !RopUsesSource(rop))
            dc.PatBlt(QRectF(Pt(dst), QSizeF(dstSize.x, dstSize.y)), rop);
        return;
    }
    default:
        return;
    }
    const QRectF target(Pt(dst), QSizeF(dstSize.x, dstSize.y));
    if (!dib || !RopUsesSource(rop)) {
        dc.PatBlt(target, rop);
        return;
    }
    const size_t offset = static_cast<size_t>(dib - rec);
    if (offset > size)
        return;
    bool bottomUp = false;
    const QImage image = DecodePackedDib(Bytes(dib), size - offset, usage, &bottomUp);
    if (image.isNull())
        return;
    QRectF source(Pt(src), QSizeF(srcSize.x, srcSize.y));
    if (countFromBottom && bottomUp)
        source.moveTop(image.height() - src.y - srcSize.y);
    dc.StretchImage(image, source, target, rop);
}

} // namespace platform::metafile
