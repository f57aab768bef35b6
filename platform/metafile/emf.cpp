// Enhanced metafiles (32-bit records): the header is read and every record
// framed at load; playing checks each record's counts and offsets against
// its length, then lets libuemf check it again before any field is used.

#include "platform/metafile/playerdc.h"
#include "platform/metafile/players.h"
#include "platform/metafile/recorddata.h"

#include <QPainter>

#include <uemf.h>
#include <uemf_safe.h>

#include <algorithm>
#include <cmath>

namespace platform::metafile {

namespace {

constexpr DWORD kEmfSignature = 0x464D4520; // " EMF"
constexpr size_t kEmfRecordHead = 8;
// Without a usable reference device, 0.01 mm become pixels at 96 dpi.
constexpr double kFallbackPixelsPer01Mm = 96.0 / 2540.0;

QPointF PointAt(const BYTE* rec, size_t offset) {
    CByteReader r(rec, offset + 8);
    r.Seek(offset);
    const double x = r.I32();
    return {x, double(r.I32())};
}

QRectF RectAt(const BYTE* rec, size_t offset) {
    CByteReader r(rec, offset + 16);
    r.Seek(offset);
    const double left = r.I32(), top = r.I32(), right = r.I32(), bottom = r.I32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

DWORD U32At(const BYTE* rec, size_t offset) {
    CByteReader r(rec, offset + 4);
    r.Seek(offset);
    return r.U32();
}

// A transform whose numbers are all finite and which can be undone.
std::optional<QTransform> TransformAt(const BYTE* rec, size_t offset) {
    CByteReader r(rec, offset + 24);
    r.Seek(offset);
    float m[6];
    for (float& v : m) {
        v = r.F32();
        if (!std::isfinite(v))
            return std::nullopt;
    }
    const QTransform t(m[0], m[1], m[2], m[3], m[4], m[5]);
    if (!t.isInvertible())
        return std::nullopt;
    return t;
}

class CEmfMetafile final : public CMetafile {
public:
    CEmfMetafile(std::vector<BYTE> data, MetafileHeader header, size_t handles)
        : m_data(std::move(data)), m_header(std::move(header)), m_handles(handles) {}

    const MetafileHeader& Header() const override { return m_header; }
    void Play(QPainter& painter, const QRect& target) const override;

private:
    QTransform FrameToTarget(const QRect& target) const;

    std::vector<BYTE> m_data;
    MetafileHeader m_header;
    size_t m_handles;
};

// Size of the record at offset when it is a whole, aligned record within
// the data; 0 otherwise.
size_t RecordSize(const std::vector<BYTE>& data, size_t offset) {
    if (data.size() - offset < kEmfRecordHead)
        return 0;
    const DWORD size = U32At(data.data() + offset, 4);
    if (size < kEmfRecordHead || size % 4 != 0 || size > data.size() - offset)
        return 0;
    return size;
}

DWORD RecordType(const std::vector<BYTE>& data, size_t offset) {
    return U32At(data.data() + offset, 0);
}

// The palette the closing record carries, when it lies within the record.
std::vector<RGBQUAD> ClosingPalette(const BYTE* rec, size_t size) {
    std::vector<RGBQUAD> palette;
    if (size < 20)
        return palette;
    const unsigned long long count = U32At(rec, 8), offset = U32At(rec, 12);
    if (count == 0 || offset + count * 4 > size)
        return palette;
    for (unsigned long long i = 0; i < count; ++i) {
        const BYTE* e = rec + offset + i * 4;
        palette.push_back(RGBQUAD{e[2], e[1], e[0], 0});
    }
    return palette;
}

} // namespace

std::unique_ptr<CMetafile> LoadEmf(const BYTE* data, size_t size, std::string* error) {
    std::vector<BYTE> bytes(data, data + size);
    const size_t headerSize = RecordSize(bytes, 0);
    if (headerSize < U_SIZE_EMRHEADER_MIN || RecordType(bytes, 0) != U_EMR_HEADER ||
        U32At(bytes.data(), 40) != kEmfSignature ||
        !U_emf_record_safe(reinterpret_cast<const char*>(bytes.data()))) {
        *error = "The file is not an enhanced metafile.";
        return nullptr;
    }
    const auto* h = reinterpret_cast<const U_EMRHEADER*>(bytes.data());
    if (h->nBytes > size) {
        *error = "The metafile is shorter than its header says.";
        return nullptr;
    }
    if (h->nBytes >= headerSize)
        bytes.resize(h->nBytes);
    MetafileHeader header;
    header.bounds =
        CRect(h->rclBounds.left, h->rclBounds.top, h->rclBounds.right, h->rclBounds.bottom);
    // The file's bounds include their right and bottom edges.
    if (header.bounds.right < INT32_MAX)
        ++header.bounds.right;
    if (header.bounds.bottom < INT32_MAX)
        ++header.bounds.bottom;
    header.frame = CRect(h->rclFrame.left, h->rclFrame.top, h->rclFrame.right, h->rclFrame.bottom);
    header.deviceSize = CSize(h->szlDevice.cx, h->szlDevice.cy);
    header.deviceMm = CSize(h->szlMillimeters.cx, h->szlMillimeters.cy);
    header.paletteEntries = h->nPalEntries;
    const size_t handles = h->nHandles;

    // Every record must lie within the file, up to the closing record.
    for (size_t offset = 0; offset < bytes.size();) {
        const size_t recordSize = RecordSize(bytes, offset);
        if (recordSize == 0) {
            *error = "A metafile record runs past the end of the file.";
            return nullptr;
        }
        if (RecordType(bytes, offset) == U_EMR_EOF) {
            header.palette = ClosingPalette(bytes.data() + offset, recordSize);
            if (header.palette.size() > header.paletteEntries)
                header.palette.resize(header.paletteEntries);
            break;
        }
        offset += recordSize;
    }
    return std::make_unique<CEmfMetafile>(std::move(bytes), std::move(header), handles);
}

// The picture frame, in the reference device's pixels, onto the target, as
// the window system plays an enhanced metafile into a rectangle.
QTransform CEmfMetafile::FrameToTarget(const QRect& target) const {
    const MetafileHeader& h = m_header;
    const double perX = h.deviceMm.cx > 0 && h.deviceSize.cx > 0
                            ? double(h.deviceSize.cx) / (h.deviceMm.cx * 100.0)
                            : kFallbackPixelsPer01Mm;
    const double perY = h.deviceMm.cy > 0 && h.deviceSize.cy > 0
                            ? double(h.deviceSize.cy) / (h.deviceMm.cy * 100.0)
                            : kFallbackPixelsPer01Mm;
    const double left = h.frame.left * perX, top = h.frame.top * perY;
    const double width = (double(h.frame.right) - h.frame.left) * perX;
    const double height = (double(h.frame.bottom) - h.frame.top) * perY;
    const double sx = width > 0 ? target.width() / width : 1.0;
    const double sy = height > 0 ? target.height() / height : 1.0;
    return QTransform::fromTranslate(-left, -top) * QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(target.x(), target.y());
}

void CEmfMetafile::Play(QPainter& painter, const QRect& target) const {
    if (!painter.isActive() || target.isEmpty())
        return;
    const MetafileHeader& h = m_header;
    painter.save();
    // The player draws in device pixels; a transform the caller set on the
    // painter becomes part of the mapping.
    const QTransform outer = painter.worldTransform();
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    {
        CMetafileDC dc(
            painter, FrameToTarget(target) * outer,
            {QSizeF(h.deviceSize.cx, h.deviceSize.cy), QSizeF(h.deviceMm.cx, h.deviceMm.cy)},
            m_handles);
        size_t offset = RecordSize(m_data, 0);
        while (offset < m_data.size()) {
            const size_t size = RecordSize(m_data, offset);
            const DWORD type = size ? RecordType(m_data, offset) : U_EMR_EOF;
            if (type == U_EMR_EOF)
                break;
            const BYTE* rec = m_data.data() + offset;
            if (EmfRecordFits(type, rec, size))
                PlayEmfRecord(dc, type, rec, size);
            offset += size;
        }
    }
    painter.restore();
}

// Records that set state; drawing records go on to PlayEmfDrawingRecord.
void PlayEmfRecord(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size) {
    const QPointF pair = size >= 16 ? PointAt(rec, 8) : QPointF();
    const DWORD value = size >= 12 ? U32At(rec, 8) : 0;
    switch (type) {
    case U_EMR_SETWINDOWEXTEX:
        dc.SetWindowExt(pair.x(), pair.y());
        break;
    case U_EMR_SETWINDOWORGEX:
        dc.SetWindowOrg(pair.x(), pair.y());
        break;
    case U_EMR_SETVIEWPORTEXTEX:
        dc.SetViewportExt(pair.x(), pair.y());
        break;
    case U_EMR_SETVIEWPORTORGEX:
        dc.SetViewportOrg(pair.x(), pair.y());
        break;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
        const QPointF x = PointAt(rec, 8), y = PointAt(rec, 16);
        if (type == U_EMR_SCALEWINDOWEXTEX)
            dc.ScaleWindowExt(x.x(), x.y(), y.x(), y.y());
        else
            dc.ScaleViewportExt(x.x(), x.y(), y.x(), y.y());
        break;
    }
    case U_EMR_SETMAPMODE:
        dc.SetMapMode(static_cast<int>(value));
        break;
    case U_EMR_SETBKMODE:
        dc.SetBkMode(static_cast<int>(value));
        break;
    case U_EMR_SETPOLYFILLMODE:
        dc.SetPolyFillMode(static_cast<int>(value));
        break;
    case U_EMR_SETROP2:
        dc.SetRop2(static_cast<int>(value));
        break;
    case U_EMR_SETTEXTALIGN:
        dc.SetTextAlign(value);
        break;
    case U_EMR_SETTEXTCOLOR:
        dc.SetTextColor(value);
        break;
    case U_EMR_SETBKCOLOR:
        dc.SetBkColor(value);
        break;
    case U_EMR_SETARCDIRECTION:
        dc.SetArcDirection(static_cast<int>(value));
        break;
    case U_EMR_SAVEDC:
        dc.SaveDC();
        break;
    case U_EMR_RESTOREDC:
        dc.RestoreDC(static_cast<int>(value));
        break;
    case U_EMR_SETWORLDTRANSFORM:
        if (auto t = TransformAt(rec, 8))
            dc.SetWorldTransform(*t);
        break;
    case U_EMR_MODIFYWORLDTRANSFORM:
        if (U32At(rec, 32) == U_MWT_IDENTITY)
            dc.ModifyWorldTransform(QTransform(), U_MWT_IDENTITY);
        else if (auto t = TransformAt(rec, 8))
            dc.ModifyWorldTransform(*t, U32At(rec, 32));
        break;
    case U_EMR_MOVETOEX:
        dc.MoveTo(pair);
        break;
    case U_EMR_LINETO:
        dc.LineTo(pair);
        break;
    case U_EMR_EXCLUDECLIPRECT:
        dc.ExcludeClipRect(RectAt(rec, 8));
        break;
    case U_EMR_INTERSECTCLIPRECT:
        dc.IntersectClipRect(RectAt(rec, 8));
        break;
    case U_EMR_OFFSETCLIPRGN:
        dc.OffsetClip(pair.x(), pair.y());
        break;
    case U_EMR_BEGINPATH:
        dc.BeginPath();
        break;
    case U_EMR_ENDPATH:
        dc.EndPath();
        break;
    case U_EMR_ABORTPATH:
        dc.AbortPath();
        break;
    case U_EMR_CLOSEFIGURE:
        dc.CloseFigure();
        break;
    case U_EMR_FILLPATH:
        dc.FillPath();
        break;
    case U_EMR_STROKEPATH:
        dc.StrokePath();
        break;
    case U_EMR_STROKEANDFILLPATH:
        dc.StrokeAndFillPath();
        break;
    case U_EMR_WIDENPATH:
        dc.WidenPath();
        break;
    case U_EMR_SELECTCLIPPATH:
        dc.SelectClipPath(static_cast<int>(value));
        break;
    default:
        PlayEmfDrawingRecord(dc, type, rec, size);
        break;
    }
}

} // namespace platform::metafile
