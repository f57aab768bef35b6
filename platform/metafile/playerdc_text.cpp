// Text and images of the metafile device context. Both are drawn in the
// painter's pixels: the font is sized and the image stretched through the
// mapping in force.

#include "platform/logfont.h"
#include "platform/metafile/playerdc.h"

#include <QFontMetricsF>
#include <QPainter>

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::metafile {

namespace {

// Text larger than this many pixels is a damaged file, not clip art.
constexpr double kMaxFontPixels = 4096;
// The window system's default font cell when a font asks for height 0.
constexpr int kDefaultFontCell = 16;

double MappedLength(const QTransform& t, double dx, double dy) {
    return std::hypot(t.m11() * dx + t.m21() * dy, t.m12() * dx + t.m22() * dy);
}

QPainter::CompositionMode SourceRopMode(DWORD rop) {
    switch (rop) {
    case U_SRCAND:
        return QPainter::RasterOp_SourceAndDestination;
    case U_SRCPAINT:
        return QPainter::RasterOp_SourceOrDestination;
    case U_SRCINVERT:
        return QPainter::RasterOp_SourceXorDestination;
    case U_NOTSRCCOPY:
        return QPainter::RasterOp_NotSource;
    case 0x00440328: // SRCERASE
        return QPainter::RasterOp_SourceAndNotDestination;
    case 0x001100A6: // NOTSRCERASE
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0x00BB0226: // MERGEPAINT
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// Splits a string into the characters that dx advances apply to: a
// surrogate pair is one character with the advances of both halves.
std::vector<std::pair<QString, double>>
CharacterAdvances(const QString& text, const std::vector<double>& dx, double scale) {
    std::vector<std::pair<QString, double>> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const size_t at = static_cast<size_t>(i);
        double advance = at < dx.size() ? dx[at] * scale : 0;
        if (text[i].isHighSurrogate() && i + 1 < text.size()) {
            if (at + 1 < dx.size())
                advance += dx[at + 1] * scale;
            out.emplace_back(text.mid(i, 2), advance);
            ++i;
        } else {
            out.emplace_back(QString(text[i]), advance);
        }
    }
    return out;
}

} // namespace

// Text ------------------------------------------------------------------------------

QFont CMetafileDC::DeviceFont(double* angleDeg) const {
    const GdiFont& f = m_state.font;
    const QTransform t = Transform();
    LOGFONTA lf{};
    if (f.height == 0) {
        lf.lfHeight = kDefaultFontCell;
    } else {
        const double pixels =
            std::clamp(std::fabs(f.height) * MappedLength(t, 0, 1), 1.0, kMaxFontPixels);
        const LONG rounded = static_cast<LONG>(std::lround(pixels));
        lf.lfHeight = f.height < 0 ? -rounded : rounded;
    }
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strikeOut;
    lf.lfCharSet = f.charSet;
    SetFaceName(lf, f.face.toUtf8().constData());
    // Escapement turns counter-clockwise on the page; a world transform that
    // rotates turns the text with it.
    double angle = -f.escapement / 10.0;
    if (std::fabs(t.m12()) > 1e-9)
        angle += std::atan2(t.m12(), std::fabs(t.m11())) * 180 / std::numbers::pi;
    *angleDeg = angle;
    return FontFromLogFont(lf);
}

void CMetafileDC::TextOut(const TextRun& run) {
    State& s = m_state;
    const QTransform t = Transform();
    const QPointF reference = (s.textAlign & U_TA_UPDATECP) ? s.current : run.reference;
    double angle = 0;
    const QFont font = DeviceFont(&angle);
    const QFontMetricsF metrics(font, m_painter.device());
    const double xScale = MappedLength(t, 1, 0);

    const auto chars = CharacterAdvances(run.text, run.dx, xScale);
    double width = 0;
    if (run.dx.empty())
        width = metrics.horizontalAdvance(run.text);
    else
        for (const auto& c : chars)
            width += c.second;

    // Horizontal then vertical alignment of the run to its reference point.
    double x = 0, y = 0;
    if ((s.textAlign & U_TA_CENTER) == U_TA_CENTER)
        x = -width / 2;
    else if (s.textAlign & U_TA_RIGHT)
        x = -width;
    if ((s.textAlign & U_TA_BASELINE) == U_TA_BASELINE)
        y = 0;
    else if (s.textAlign & U_TA_BOTTOM)
        y = -metrics.descent();
    else
        y = metrics.ascent();

    QTransform place;
    const QPointF origin = t.map(reference);
    place.translate(origin.x(), origin.y());
    place.rotate(angle);

    if (s.inPath) {
        QPainterPath glyphs;
        glyphs.addText(QPointF(x, y), font, run.text);
        s.path.addPath(place.map(glyphs));
    } else {
        m_painter.save();
        ApplyClip();
        if (run.rect) {
            const QPainterPath box = DeviceRectPath(*run.rect);
            if (run.options & U_ETO_OPAQUE)
                m_painter.fillPath(box, s.bkColor);
            if (run.options & U_ETO_CLIPPED)
                m_painter.setClipPath(box, Qt::IntersectClip);
        }
        m_painter.setTransform(place);
        if (s.bkMode == U_OPAQUE)
            m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), s.bkColor);
        m_painter.setFont(font);
        m_painter.setPen(s.textColor);
        if (run.dx.empty()) {
            m_painter.drawText(QPointF(x, y), run.text);
        } else {
            double at = x;
            for (const auto& c : chars) {
                m_painter.drawText(QPointF(at, y), c.first);
                at += c.second;
            }
        }
        m_painter.restore();
    }
    if ((s.textAlign & U_TA_UPDATECP) && xScale > 0)
        s.current = reference + QPointF(width / xScale, 0);
}

// Images ----------------------------------------------------------------------------

void CMetafileDC::StretchImage(const QImage& image, const QRectF& src, const QRectF& dst, DWORD rop,
                               double opacity) {
    if (image.isNull() || src.width() == 0 || src.height() == 0)
        return;
    // A negative source size mirrors the picture; turning it round keeps
    // the same pixels on the same destination corners.
    QRectF source = src;
    QRectF target = dst;
    if (source.width() < 0) {
        source = QRectF(source.right(), source.top(), -source.width(), source.height());
        target = QRectF(target.right(), target.top(), -target.width(), target.height());
    }
    if (source.height() < 0) {
        source = QRectF(source.left(), source.bottom(), source.width(), -source.height());
        target = QRectF(target.left(), target.bottom(), target.width(), -target.height());
    }
    const QRectF visible = source & QRectF(image.rect());
    if (visible.isEmpty())
        return;

    // The source rectangle, in its own pixels, onto the destination's
    // corners in painter pixels.
    const QTransform t = Transform();
    const QPointF p0 = t.map(target.topLeft());
    const QPointF p1 = t.map(QPointF(target.left() + target.width(), target.top()));
    const QPointF p2 = t.map(QPointF(target.left(), target.top() + target.height()));
    const QTransform onto((p1.x() - p0.x()) / source.width(), (p1.y() - p0.y()) / source.width(),
                          (p2.x() - p0.x()) / source.height(), (p2.y() - p0.y()) / source.height(),
                          p0.x(), p0.y());
    if (!onto.isInvertible())
        return;

    m_painter.save();
    ApplyClip();
    m_painter.setTransform(onto);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_painter.setCompositionMode(SourceRopMode(rop));
    m_painter.setOpacity(std::clamp(opacity, 0.0, 1.0));
    m_painter.drawImage(QRectF(visible.topLeft() - source.topLeft(), visible.size()), image,
                        visible);
    m_painter.restore();
}

void CMetafileDC::PatBlt(const QRectF& dst, DWORD rop) {
    const QPainterPath device = DeviceRectPath(dst);
    m_painter.save();
    ApplyClip();
    switch (rop) {
    case U_BLACKNESS:
        m_painter.fillPath(device, Qt::black);
        break;
    case U_WHITENESS:
        m_painter.fillPath(device, Qt::white);
        break;
    case U_DSTINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter.fillPath(device, Qt::black);
        break;
    case U_PATINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        FillWithBrush(device, m_state.brush);
        break;
    case 0x00AA0029: // the destination unchanged
        break;
    default:
        FillWithBrush(device, m_state.brush);
        break;
    }
    m_painter.restore();
}

} // namespace platform::metafile
