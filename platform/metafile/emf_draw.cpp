// EMF records that create objects or draw: shapes, lines, text, regions
// and bitmaps. Each record reaching here has passed EmfRecordFits, so its
// declared counts and offsets lie within it.

#include "platform/metafile/playerdc.h"
#include "platform/metafile/players.h"
#include "platform/metafile/recorddata.h"

#include <uemf.h>

#include <cmath>
#include <cstring>
#include <string>

namespace platform::metafile {

namespace {

constexpr DWORD kStockFlag = 0x80000000;

CByteReader At(const BYTE* rec, size_t size, size_t offset) {
    CByteReader r(rec, size);
    r.Seek(offset);
    return r;
}

DWORD U32(const BYTE* rec, size_t size, size_t offset) {
    return At(rec, size, offset).U32();
}

QPointF Point(const BYTE* rec, size_t size, size_t offset) {
    CByteReader r = At(rec, size, offset);
    const double x = r.I32();
    return {x, double(r.I32())};
}

QRectF Rect(const BYTE* rec, size_t size, size_t offset) {
    CByteReader r = At(rec, size, offset);
    const double left = r.I32(), top = r.I32(), right = r.I32(), bottom = r.I32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QColor Color(DWORD ref) {
    return QColor(GetRValue(ref), GetGValue(ref), GetBValue(ref));
}

QPolygonF Points(CByteReader& r, size_t count, bool narrow) {
    QPolygonF points;
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count && !r.Failed(); ++i) {
        const double x = narrow ? r.I16() : r.I32();
        points.append(QPointF(x, narrow ? r.I16() : r.I32()));
    }
    return points;
}

// Rectangles of a region record's data, in the units the record uses.
std::vector<QRectF> RegionRects(const BYTE* rec, size_t size, size_t at) {
    std::vector<QRectF> rects;
    const size_t count = U32(rec, size, at + 8);
    CByteReader r = At(rec, size, at + 32);
    for (size_t i = 0; i < count && r.Has(16); ++i) {
        const double left = r.I32(), top = r.I32(), right = r.I32(), bottom = r.I32();
        rects.emplace_back(QPointF(left, top), QPointF(right, bottom));
    }
    return rects;
}

QImage RecordDib(const BYTE* rec, size_t size, size_t fields, DWORD usage, bool* bottomUp = nullptr,
                 bool sourceAlpha = false) {
    const size_t offInfo = U32(rec, size, fields), infoBytes = U32(rec, size, fields + 4);
    const size_t offBits = U32(rec, size, fields + 8), bitsBytes = U32(rec, size, fields + 12);
    if (infoBytes == 0)
        return {};
    return DecodeDib(rec + offInfo, infoBytes, rec + offBits, bitsBytes, usage, bottomUp,
                     sourceAlpha);
}

GdiBrush StockBrush(DWORD id) {
    static constexpr int kGrey[] = {255, 192, 128, 64, 0};
    const DWORD stock = id & ~kStockFlag;
    if (stock <= 4)
        return GdiBrush{U_BS_SOLID, QColor(kGrey[stock], kGrey[stock], kGrey[stock]), 0, {}};
    return GdiBrush{U_BS_NULL, Qt::white, 0, {}};
}

void PlayPoly(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    const bool narrow = type >= U_EMR_POLYBEZIER16;
    if (type == U_EMR_POLYPOLYLINE || type == U_EMR_POLYPOLYGON || type == U_EMR_POLYPOLYLINE16 ||
        type == U_EMR_POLYPOLYGON16) {
        const size_t polys = U32(rec, size, 24);
        CByteReader counts = At(rec, size, 32);
        CByteReader r = At(rec, size, 32 + polys * 4);
        std::vector<QPolygonF> shapes;
        for (size_t i = 0; i < polys; ++i)
            shapes.push_back(Points(r, counts.U32(), narrow));
        if (type == U_EMR_POLYPOLYGON || type == U_EMR_POLYPOLYGON16)
            dc.PolyPolygon(shapes);
        else
            dc.PolyPolyline(shapes);
        return;
    }
    const size_t count = U32(rec, size, 24);
    CByteReader r = At(rec, size, 28);
    const QPolygonF points = Points(r, count, narrow);
    switch (narrow ? type - (U_EMR_POLYBEZIER16 - U_EMR_POLYBEZIER) : type) {
    case U_EMR_POLYBEZIER:
        dc.PolyBezier(points);
        break;
    case U_EMR_POLYGON:
        dc.Polygon(points);
        break;
    case U_EMR_POLYLINE:
        dc.Polyline(points);
        break;
    case U_EMR_POLYBEZIERTO:
        dc.PolyBezierTo(points);
        break;
    case U_EMR_POLYLINETO:
        dc.PolylineTo(points);
        break;
    default:
        break;
    }
}

void PlayPolyDraw(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    const bool narrow = type == U_EMR_POLYDRAW16;
    const size_t count = U32(rec, size, 24);
    CByteReader r = At(rec, size, 28);
    const QPolygonF points = Points(r, count, narrow);
    const BYTE* kinds = r.Bytes(count);
    if (kinds)
        dc.PolyDraw(points, std::vector<BYTE>(kinds, kinds + count));
}

void CreateObject(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    const size_t index = U32(rec, size, 8);
    CByteReader r = At(rec, size, 12);
    switch (type) {
    case U_EMR_CREATEPEN: {
        const DWORD style = r.U32();
        const double width = std::abs(double(r.I32()));
        r.I32();
        dc.CreateObjectAt(index, GdiPen{style, width, Color(r.U32()), false});
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        r.Seek(28);
        DWORD style = r.U32();
        const double width = r.U32();
        const DWORD brushStyle = r.U32();
        const QColor color = Color(r.U32());
        if (brushStyle == U_BS_NULL)
            style = (style & ~DWORD(U_PS_STYLE_MASK)) | U_PS_NULL;
        dc.CreateObjectAt(index, GdiPen{style, width, color, true});
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        const DWORD style = r.U32();
        const QColor color = Color(r.U32());
        const DWORD hatch = r.U32();
        dc.CreateObjectAt(index, GdiBrush{style, color, hatch, {}});
        break;
    }
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT: {
        const DWORD usage = r.U32();
        dc.CreateObjectAt(
            index, GdiBrush{U_BS_DIBPATTERNPT, Qt::black, 0, RecordDib(rec, size, 16, usage)});
        break;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
        GdiFont font;
        font.height = r.I32();
        r.I32(); // width
        font.escapement = r.I32();
        r.I32(); // orientation
        font.weight = r.I32();
        font.italic = r.U8() != 0;
        font.underline = r.U8() != 0;
        font.strikeOut = r.U8() != 0;
        font.charSet = r.U8();
        r.Skip(4); // precisions, quality, pitch
        for (int i = 0; i < U_LF_FACESIZE; ++i) {
            const char16_t c = r.U16();
            if (c == 0 || r.Failed())
                break;
            font.face.append(QChar(c));
        }
        dc.CreateObjectAt(index, font);
        break;
    }
    default: // palettes: a slot only
        dc.CreateObjectAt(index, GdiOther{});
        break;
    }
}

void PlayText(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    TextRun run;
    run.reference = Point(rec, size, 36);
    const size_t chars = U32(rec, size, 44), offString = U32(rec, size, 48);
    run.options = U32(rec, size, 52);
    size_t dxField = 56;
    if (!(run.options & U_ETO_NO_RECT)) {
        const QRectF rect = Rect(rec, size, 56);
        if (!rect.isNull())
            run.rect = rect;
        dxField = 72;
    }
    if (type == U_EMR_EXTTEXTOUTW) {
        // The string need not sit on a 2-byte boundary of the record.
        std::u16string units(chars, u'\0');
        std::memcpy(units.data(), rec + offString, chars * 2);
        run.text = QString::fromStdU16String(units);
    } else {
        run.text = AnsiText(rec + offString, chars);
    }
    const size_t offDx = U32(rec, size, dxField);
    if (offDx != 0) {
        // With ETO_PDY each character has an x and a y advance.
        const size_t step = (run.options & U_ETO_PDY) ? 8 : 4;
        for (size_t i = 0; i < chars; ++i)
            run.dx.push_back(At(rec, size, offDx + i * step).I32());
    }
    dc.TextOut(run);
}

void PlayBitmap(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    QPointF dest, destSize, src, srcSize;
    DWORD rop = U_SRCCOPY, usage = 0;
    size_t fields = 84;
    bool countFromBottom = false, sourceAlpha = false;
    double opacity = 1.0;
    if (type == U_EMR_STRETCHDIBITS || type == U_EMR_SETDIBITSTODEVICE) {
        dest = Point(rec, size, 24);
        src = Point(rec, size, 32);
        srcSize = Point(rec, size, 40);
        fields = 48;
        usage = U32(rec, size, 64);
        countFromBottom = true;
        if (type == U_EMR_STRETCHDIBITS) {
            rop = U32(rec, size, 68);
            destSize = Point(rec, size, 72);
        } else {
            destSize = srcSize;
        }
    } else {
        dest = Point(rec, size, 24);
        destSize = Point(rec, size, 32);
        src = Point(rec, size, 44);
        usage = U32(rec, size, 80);
        srcSize = type == U_EMR_BITBLT ? destSize : Point(rec, size, 100);
        if (type == U_EMR_ALPHABLEND) {
            CByteReader blend = At(rec, size, 40);
            blend.Skip(2);
            opacity = blend.U8() / 255.0;
            sourceAlpha = (blend.U8() & 1) != 0; // AC_SRC_ALPHA
        } else {
            rop = U32(rec, size, 40);
        }
    }
    const QRectF target(dest, QSizeF(destSize.x(), destSize.y()));
    if (U32(rec, size, fields + 4) == 0 || !RopUsesSource(rop)) {
        dc.PatBlt(target, rop);
        return;
    }
    bool bottomUp = false;
    const QImage image = RecordDib(rec, size, fields, usage, &bottomUp, sourceAlpha);
    if (image.isNull())
        return;
    QRectF source(src, QSizeF(srcSize.x(), srcSize.y()));
    if (countFromBottom && bottomUp)
        source.moveTop(image.height() - src.y() - srcSize.y());
    dc.StretchImage(image, source, target, rop, opacity);
}

void PlayRegion(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    if (type == U_EMR_EXTSELECTCLIPRGN) {
        const int mode = static_cast<int>(U32(rec, size, 12));
        const bool empty = U32(rec, size, 8) == 0;
        dc.SelectClipDeviceRects(empty ? std::vector<QRectF>{} : RegionRects(rec, size, 16), mode);
        return;
    }
    if (type == U_EMR_PAINTRGN) {
        dc.FillRects(RegionRects(rec, size, 28), dc.CurrentBrush());
        return;
    }
    const DWORD brushIndex = U32(rec, size, 28);
    GdiBrush brush = StockBrush(brushIndex);
    if (!(brushIndex & kStockFlag)) {
        const GdiObject* object = dc.Object(brushIndex);
        if (!object || !std::holds_alternative<GdiBrush>(*object))
            return;
        brush = std::get<GdiBrush>(*object);
    }
    dc.FillRects(RegionRects(rec, size, 32), brush);
}

} // namespace

void PlayEmfDrawingRecord(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    switch (type) {
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT: {
        const DWORD index = U32(rec, size, 8);
        if (index & kStockFlag) {
            if (type == U_EMR_SELECTOBJECT)
                dc.SelectStockObject(index);
        } else if (type == U_EMR_SELECTOBJECT) {
            dc.SelectObject(index);
        } else {
            dc.DeleteObject(index);
        }
        break;
    }
    case U_EMR_CREATEPEN:
    case U_EMR_EXTCREATEPEN:
    case U_EMR_CREATEBRUSHINDIRECT:
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_EXTCREATEFONTINDIRECTW:
    case U_EMR_CREATEPALETTE:
        CreateObject(dc, type, rec, size);
        break;
    case U_EMR_RECTANGLE:
        dc.Rectangle(Rect(rec, size, 8));
        break;
    case U_EMR_ELLIPSE:
        dc.Ellipse(Rect(rec, size, 8));
        break;
    case U_EMR_ROUNDRECT: {
        const QPointF corner = Point(rec, size, 24);
        dc.RoundRect(Rect(rec, size, 8), corner.x(), corner.y());
        break;
    }
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO: {
        using Kind = CMetafileDC::ArcKind;
        const Kind kind = type == U_EMR_ARC     ? Kind::Arc
                          : type == U_EMR_CHORD ? Kind::Chord
                          : type == U_EMR_PIE   ? Kind::Pie
                                                : Kind::ArcTo;
        dc.ArcShape(kind, Rect(rec, size, 8), Point(rec, size, 24), Point(rec, size, 32));
        break;
    }
    case U_EMR_ANGLEARC: {
        CByteReader r = At(rec, size, 16);
        const double radius = r.U32();
        const float start = r.F32(), sweep = r.F32();
        if (std::isfinite(start) && std::isfinite(sweep))
            dc.AngleArc(Point(rec, size, 8), radius, start, sweep);
        break;
    }
    case U_EMR_SETPIXELV:
        dc.SetPixel(Point(rec, size, 8), U32(rec, size, 16));
        break;
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW:
        PlayText(dc, type, rec, size);
        break;
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_STRETCHDIBITS:
    case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_ALPHABLEND:
        PlayBitmap(dc, type, rec, size);
        break;
    case U_EMR_EXTSELECTCLIPRGN:
    case U_EMR_FILLRGN:
    case U_EMR_PAINTRGN:
        PlayRegion(dc, type, rec, size);
        break;
    case U_EMR_POLYDRAW:
    case U_EMR_POLYDRAW16:
        PlayPolyDraw(dc, type, rec, size);
        break;
    default:
        if ((type >= U_EMR_POLYBEZIER && type <= U_EMR_POLYPOLYGON) ||
            (type >= U_EMR_POLYBEZIER16 && type <= U_EMR_POLYPOLYGON16))
            PlayPoly(dc, type, rec, size);
        break;
    }
}

} // namespace platform::metafile
