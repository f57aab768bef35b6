// Windows metafiles (16-bit records): the header is checked and every
// record framed at load; playing reads each record through libuemf once
// its own sizes and counts have been checked against the record length.

#include "platform/metafile/playerdc.h"
#include "platform/metafile/players.h"
#include "platform/metafile/recorddata.h"

#include <QPainter>

#include <uwmf.h>

#include <algorithm>

namespace platform::metafile {

namespace {

QPointF Pt(const U_POINT16& p) {
    return {double(p.x), double(p.y)};
}

QRectF Rect16(const U_RECT16& r) {
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

COLORREF Ref(const U_COLORREF& c) {
    return RGB(c.Red, c.Green, c.Blue);
}

const BYTE* Bytes(const char* p) {
    return reinterpret_cast<const BYTE*>(p);
}

class CWmfMetafile final : public CMetafile {
public:
    CWmfMetafile(std::vector<BYTE> data, size_t firstRecord, size_t objects)
        : m_data(std::move(data)), m_firstRecord(firstRecord), m_objects(objects) {
        // Without a picture size the window system makes the picture the
        // whole reference screen.
        const CSize px = ScreenSizePixels(), mm = ScreenSizeMm();
        m_header.bounds = CRect(0, 0, px.cx, px.cy);
        m_header.frame = CRect(0, 0, mm.cx * 100, mm.cy * 100);
        m_header.deviceSize = px;
        m_header.deviceMm = mm;
        m_header.paletteEntries = 0;
    }

    const MetafileHeader& Header() const override { return m_header; }
    void Play(QPainter& painter, const QRect& target) const override;

private:
    void PlayRecord(CMetafileDC& dc, const char* rec, size_t size) const;
    void PlayTextRecord(CMetafileDC& dc, int type, const char* rec, size_t size) const;
    void PlayPolyRecord(CMetafileDC& dc, int type, const char* rec, size_t size) const;

    std::vector<BYTE> m_data;
    size_t m_firstRecord;
    size_t m_objects;
    MetafileHeader m_header;
};

bool IsEndRecord(const std::vector<BYTE>& data, size_t offset) {
    return data[offset + 4] == 0 && data[offset + 5] == 0;
}

// Size in bytes of the record at offset, 0 when it is not a whole record.
size_t RecordSize(const std::vector<BYTE>& data, size_t offset) {
    if (data.size() - offset < kWmfRecordHead)
        return 0;
    CByteReader r(data.data() + offset, data.size() - offset);
    const unsigned long long bytes = 2ULL * r.U32();
    if (bytes < kWmfRecordHead || bytes > data.size() - offset)
        return 0;
    const char* rec = reinterpret_cast<const char*>(data.data() + offset);
    const char* limit = reinterpret_cast<const char*>(data.data() + data.size());
    return U_WMRRECSAFE_get(rec, limit) == bytes ? static_cast<size_t>(bytes) : 0;
}

} // namespace

std::unique_ptr<CMetafile> LoadWmf(const BYTE* data, size_t size, std::string* error) {
    std::vector<BYTE> bytes(data, data + size);
    const char* contents = reinterpret_cast<const char*>(bytes.data());
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER header{};
    const int headerBytes =
        size > U_SIZE_WMRHEADER ? wmfheader_get(contents, contents + size, &placeable, &header) : 0;
    if (headerBytes <= 0 || (header.iType != 1 && header.iType != 2) ||
        header.Size16w != U_SIZE_WMRHEADER / 2 ||
        (header.version != 0x0100 && header.version != 0x0300)) {
        *error = "The file is not a Windows metafile.";
        return nullptr;
    }
    const unsigned long long declared = 2ULL * (header.Sizew[0] | (DWORD(header.Sizew[1]) << 16));
    if (declared > size) {
        *error = "The metafile is shorter than its header says.";
        return nullptr;
    }
    // Bytes after the declared end are not part of the picture; a declared
    // size too small to hold any record is a writer's slip and is ignored.
    if (declared >= size_t(headerBytes) + kWmfRecordHead)
        bytes.resize(static_cast<size_t>(declared));
    // Every record must lie within the file, up to the closing record.
    size_t offset = static_cast<size_t>(headerBytes);
    for (;;) {
        const size_t recordSize = RecordSize(bytes, offset);
        if (recordSize == 0) {
            *error = "A metafile record runs past the end of the file.";
            return nullptr;
        }
        if (IsEndRecord(bytes, offset))
            break;
        offset += recordSize;
    }
    return std::make_unique<CWmfMetafile>(std::move(bytes), static_cast<size_t>(headerBytes),
                                          header.nObjects);
}

void CWmfMetafile::Play(QPainter& painter, const QRect& target) const {
    if (!painter.isActive() || target.isEmpty())
        return;
    const CSize px = m_header.deviceSize;
    const QTransform base =
        QTransform::fromScale(double(target.width()) / std::max(1L, long(px.cx)),
                              double(target.height()) / std::max(1L, long(px.cy))) *
        QTransform::fromTranslate(target.x(), target.y());
    painter.save();
    // The player draws in device pixels; a transform the caller set on the
    // painter becomes part of the mapping.
    const QTransform outer = painter.worldTransform();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    {
        CMetafileDC dc(painter, base * outer,
                       {QSizeF(px.cx, px.cy), QSizeF(m_header.deviceMm.cx, m_header.deviceMm.cy)},
                       m_objects);
        // The window of the file is mapped onto the whole reference screen.
        dc.SetMapMode(U_MM_ANISOTROPIC);
        dc.SetWindowExt(px.cx, px.cy);
        dc.SetViewportExt(px.cx, px.cy);
        size_t offset = m_firstRecord;
        while (offset < m_data.size()) {
            const size_t size = RecordSize(m_data, offset);
            const char* rec = reinterpret_cast<const char*>(m_data.data() + offset);
            if (size == 0 || IsEndRecord(m_data, offset))
                break;
            PlayRecord(dc, rec, size);
            offset += size;
        }
    }
    painter.restore();
}

void CWmfMetafile::PlayRecord(CMetafileDC& dc, const char* rec, size_t size) const {
    const int type = U_WMRTYPE(rec);
    // libuemf reads a record's fixed fields once it is at least its
    // smallest size; shorter records are skipped before it is asked.
    auto fits = [size](size_t least) { return size >= least; };
    U_COLORREF color{};
    uint16_t value = 0;
    int16_t level = 0;
    U_POINT16 p{}, q{};
    U_RECT16 r{};
    switch (type) {
    case U_WMR_SETBKCOLOR:
        if (fits(U_SIZE_WMRSETBKCOLOR) && U_WMRSETBKCOLOR_get(rec, &color))
            dc.SetBkColor(Ref(color));
        break;
    case U_WMR_SETTEXTCOLOR:
        if (fits(U_SIZE_WMRSETTEXTCOLOR) && U_WMRSETTEXTCOLOR_get(rec, &color))
            dc.SetTextColor(Ref(color));
        break;
    case U_WMR_SETBKMODE:
        if (fits(U_SIZE_WMRSETBKMODE) && U_WMRSETBKMODE_get(rec, &value))
            dc.SetBkMode(value);
        break;
    case U_WMR_SETMAPMODE:
        if (fits(U_SIZE_WMRSETMAPMODE) && U_WMRSETMAPMODE_get(rec, &value))
            dc.SetMapMode(value);
        break;
    case U_WMR_SETROP2:
        if (fits(U_SIZE_WMRSETROP2) && U_WMRSETROP2_get(rec, &value))
            dc.SetRop2(value);
        break;
    case U_WMR_SETPOLYFILLMODE:
        if (fits(U_SIZE_WMRSETPOLYFILLMODE) && U_WMRSETPOLYFILLMODE_get(rec, &value))
            dc.SetPolyFillMode(value);
        break;
    case U_WMR_SETTEXTALIGN:
        if (fits(U_SIZE_WMRSETTEXTALIGN) && U_WMRSETTEXTALIGN_get(rec, &value))
            dc.SetTextAlign(value);
        break;
    case U_WMR_SETWINDOWORG:
        if (fits(U_SIZE_WMRSETWINDOWORG) && U_WMRSETWINDOWORG_get(rec, &p))
            dc.SetWindowOrg(p.x, p.y);
        break;
    case U_WMR_SETWINDOWEXT:
        if (fits(U_SIZE_WMRSETWINDOWEXT) && U_WMRSETWINDOWEXT_get(rec, &p))
            dc.SetWindowExt(p.x, p.y);
        break;
    case U_WMR_SETVIEWPORTORG:
        if (fits(U_SIZE_WMRSETVIEWPORTORG) && U_WMRSETVIEWPORTORG_get(rec, &p))
            dc.SetViewportOrg(p.x, p.y);
        break;
    case U_WMR_SETVIEWPORTEXT:
        if (fits(U_SIZE_WMRSETVIEWPORTEXT) && U_WMRSETVIEWPORTEXT_get(rec, &p))
            dc.SetViewportExt(p.x, p.y);
        break;
    case U_WMR_OFFSETWINDOWORG:
        if (fits(U_SIZE_WMROFFSETWINDOWORG) && U_WMROFFSETWINDOWORG_get(rec, &p))
            dc.OffsetWindowOrg(p.x, p.y);
        break;
    case U_WMR_OFFSETVIEWPORTORG:
        if (fits(U_SIZE_WMROFFSETVIEWPORTORG) && U_WMROFFSETVIEWPORTORG_get(rec, &p))
            dc.OffsetViewportOrg(p.x, p.y);
        break;
    case U_WMR_SCALEWINDOWEXT:
        if (fits(U_SIZE_WMRSCALEWINDOWEXT) && U_WMRSCALEWINDOWEXT_get(rec, &p, &q))
            dc.ScaleWindowExt(q.x, p.x, q.y, p.y);
        break;
    case U_WMR_SCALEVIEWPORTEXT:
        if (fits(U_SIZE_WMRSCALEVIEWPORTEXT) && U_WMRSCALEVIEWPORTEXT_get(rec, &p, &q))
            dc.ScaleViewportExt(q.x, p.x, q.y, p.y);
        break;
    case U_WMR_MOVETO:
        if (fits(U_SIZE_WMRMOVETO) && U_WMRMOVETO_get(rec, &p))
            dc.MoveTo(Pt(p));
        break;
    case U_WMR_LINETO:
        if (fits(U_SIZE_WMRLINETO) && U_WMRLINETO_get(rec, &p))
            dc.LineTo(Pt(p));
        break;
    case U_WMR_EXCLUDECLIPRECT:
        if (fits(U_SIZE_WMREXCLUDECLIPRECT) && U_WMREXCLUDECLIPRECT_get(rec, &r))
            dc.ExcludeClipRect(Rect16(r));
        break;
    case U_WMR_INTERSECTCLIPRECT:
        if (fits(U_SIZE_WMRINTERSECTCLIPRECT) && U_WMRINTERSECTCLIPRECT_get(rec, &r))
            dc.IntersectClipRect(Rect16(r));
        break;
    case U_WMR_OFFSETCLIPRGN:
        if (fits(U_SIZE_WMROFFSETCLIPRGN) && U_WMROFFSETCLIPRGN_get(rec, &p))
            dc.OffsetClip(p.x, p.y);
        break;
    case U_WMR_RECTANGLE:
        if (fits(U_SIZE_WMRRECTANGLE) && U_WMRRECTANGLE_get(rec, &r))
            dc.Rectangle(Rect16(r));
        break;
    case U_WMR_ELLIPSE:
        if (fits(U_SIZE_WMRELLIPSE) && U_WMRELLIPSE_get(rec, &r))
            dc.Ellipse(Rect16(r));
        break;
    case U_WMR_ROUNDRECT: {
        int16_t h = 0, w = 0;
        if (fits(U_SIZE_WMRROUNDRECT) && U_WMRROUNDRECT_get(rec, &h, &w, &r))
            dc.RoundRect(Rect16(r), w, h);
        break;
    }
    case U_WMR_ARC:
        if (fits(U_SIZE_WMRARC) && U_WMRARC_get(rec, &p, &q, &r))
            dc.ArcShape(CMetafileDC::ArcKind::Arc, Rect16(r), Pt(p), Pt(q));
        break;
    case U_WMR_PIE:
        if (fits(U_SIZE_WMRPIE) && U_WMRPIE_get(rec, &p, &q, &r))
            dc.ArcShape(CMetafileDC::ArcKind::Pie, Rect16(r), Pt(p), Pt(q));
        break;
    case U_WMR_CHORD:
        if (fits(U_SIZE_WMRCHORD) && U_WMRCHORD_get(rec, &p, &q, &r))
            dc.ArcShape(CMetafileDC::ArcKind::Chord, Rect16(r), Pt(p), Pt(q));
        break;
    case U_WMR_PATBLT: {
        uint32_t rop = 0;
        if (fits(U_SIZE_WMRPATBLT) && U_WMRPATBLT_get(rec, &p, &q, &rop))
            dc.PatBlt(QRectF(p.x, p.y, q.x, q.y), rop);
        break;
    }
    case U_WMR_SETPIXEL:
        if (fits(U_SIZE_WMRSETPIXEL) && U_WMRSETPIXEL_get(rec, &color, &p))
            dc.SetPixel(Pt(p), Ref(color));
        break;
    case U_WMR_SAVEDC:
        dc.SaveDC();
        break;
    case U_WMR_RESTOREDC:
        if (fits(U_SIZE_WMRRESTOREDC) && U_WMRRESTOREDC_get(rec, &level))
            dc.RestoreDC(level);
        break;
    case U_WMR_SELECTOBJECT:
        if (fits(U_SIZE_WMRSELECTOBJECT) && U_WMRSELECTOBJECT_get(rec, &value))
            dc.SelectObject(value);
        break;
    case U_WMR_DELETEOBJECT:
        if (fits(U_SIZE_WMRDELETEOBJECT) && U_WMRDELETEOBJECT_get(rec, &value))
            dc.DeleteObject(value);
        break;
    case U_WMR_SELECTCLIPREGION:
        if (fits(U_SIZE_WMRSELECTCLIPREGION) && U_WMRSELECTCLIPREGION_get(rec, &value)) {
            const GdiObject* object = dc.Object(value);
            const auto* region = object ? std::get_if<GdiRegion>(object) : nullptr;
            // Anything but a region object selects no clipping at all.
            dc.SelectClipLogicalRects(region ? region->rects : std::vector<QRectF>{});
        }
        break;
    case U_WMR_FILLREGION: {
        uint16_t brush = 0;
        if (fits(U_SIZE_WMRFILLREGION) && U_WMRFILLREGION_get(rec, &value, &brush)) {
            const GdiObject* region = dc.Object(value);
            const GdiObject* fill = dc.Object(brush);
            if (region && fill && std::holds_alternative<GdiRegion>(*region) &&
                std::holds_alternative<GdiBrush>(*fill))
                dc.FillRects(std::get<GdiRegion>(*region).rects, std::get<GdiBrush>(*fill));
        }
        break;
    }
    case U_WMR_PAINTREGION:
        if (fits(U_SIZE_WMRPAINTREGION) && U_WMRPAINTREGION_get(rec, &value)) {
            const GdiObject* region = dc.Object(value);
            if (region && std::holds_alternative<GdiRegion>(*region))
                dc.FillRects(std::get<GdiRegion>(*region).rects, dc.CurrentBrush());
        }
        break;
    case U_WMR_TEXTOUT:
    case U_WMR_EXTTEXTOUT:
        PlayTextRecord(dc, type, rec, size);
        break;
    case U_WMR_POLYGON:
    case U_WMR_POLYLINE:
    case U_WMR_POLYPOLYGON:
        PlayPolyRecord(dc, type, rec, size);
        break;
    case U_WMR_BITBLT:
    case U_WMR_STRETCHBLT:
    case U_WMR_DIBBITBLT:
    case U_WMR_DIBSTRETCHBLT:
    case U_WMR_STRETCHDIB:
    case U_WMR_SETDIBTODEV:
        PlayWmfBitmapRecord(dc, type, rec, size);
        break;
    default:
        PlayWmfObjectRecord(dc, type, rec, size);
        break;
    }
}

void CWmfMetafile::PlayPolyRecord(CMetafileDC& dc, int type, const char* rec, size_t size) const {
    CByteReader r(Bytes(rec) + kWmfRecordHead, size - kWmfRecordHead);
    if (type != U_WMR_POLYPOLYGON) {
        const size_t count = r.U16();
        uint16_t length = 0;
        const char* data = nullptr;
        if (r.Failed() || !r.Has(count * 4))
            return;
        const bool ok = type == U_WMR_POLYGON ? U_WMRPOLYGON_get(rec, &length, &data)
                                              : U_WMRPOLYLINE_get(rec, &length, &data);
        if (!ok || length != count)
            return;
        if (type == U_WMR_POLYGON)
            dc.Polygon(Points16(Bytes(data), count));
        else
            dc.Polyline(Points16(Bytes(data), count));
        return;
    }
    // Every polygon's count, and all their points, must lie in the record.
    const size_t polygons = r.U16();
    if (r.Failed() || !r.Has(polygons * 2))
        return;
    std::vector<size_t> counts(polygons);
    size_t total = 0;
    for (size_t& c : counts) {
        c = r.U16();
        total += c;
    }
    if (!r.Has(total * 4))
        return;
    uint16_t n = 0;
    const uint16_t* countsAt = nullptr;
    const char* points = nullptr;
    if (!U_WMRPOLYPOLYGON_get(rec, &n, &countsAt, &points) || n != polygons)
        return;
    std::vector<QPolygonF> shapes;
    const BYTE* at = Bytes(points);
    for (size_t c : counts) {
        shapes.push_back(Points16(at, c));
        at += c * 4;
    }
    dc.PolyPolygon(shapes);
}

void CWmfMetafile::PlayTextRecord(CMetafileDC& dc, int type, const char* rec, size_t size) const {
    CByteReader r(Bytes(rec) + kWmfRecordHead, size - kWmfRecordHead);
    TextRun run;
    U_POINT16 at{};
    int16_t length = 0;
    const char* text = nullptr;
    if (type == U_WMR_TEXTOUT) {
        const int16_t declared = r.I16();
        // The string, padded to a word, then the position.
        if (r.Failed() || declared < 0 || !r.Has(((size_t(declared) + 1) & ~size_t(1)) + 4))
            return;
        if (!U_WMRTEXTOUT_get(rec, &at, &length, &text) || length != declared)
            return;
        run.reference = Pt(at);
        run.text = AnsiText(Bytes(text), size_t(length));
        dc.TextOut(run);
        return;
    }
    r.Skip(4); // position
    const int16_t declared = r.I16();
    const uint16_t options = r.U16();
    const size_t rectBytes = (options & (U_ETO_OPAQUE | U_ETO_CLIPPED)) ? 8 : 0;
    const size_t padded = (size_t(std::max<int16_t>(declared, 0)) + 1) & ~size_t(1);
    if (r.Failed() || declared < 0 || !r.Has(rectBytes + size_t(declared)))
        return;
    uint16_t opts = 0;
    const int16_t* dx = nullptr;
    U_RECT16 rect{};
    if (!U_WMREXTTEXTOUT_get(rec, &at, &length, &opts, &text, &dx, &rect) || length != declared)
        return;
    run.reference = Pt(at);
    run.text = AnsiText(Bytes(text), size_t(length));
    run.options = opts;
    if (rectBytes)
        run.rect = Rect16(rect);
    // The advances are optional: present only when the record holds them.
    if (declared > 0 && r.Has(rectBytes + padded + size_t(declared) * 2)) {
        CByteReader advances(reinterpret_cast<const BYTE*>(dx), size_t(declared) * 2);
        for (int16_t i = 0; i < declared; ++i)
            run.dx.push_back(advances.I16());
    }
    dc.TextOut(run);
}

} // namespace platform::metafile
