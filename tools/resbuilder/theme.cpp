#include "theme.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <stdexcept>

namespace resbuilder {
namespace {

struct ToneColours {
    QColor top, bottom, border;
};

ToneColours ColoursOf(Tone tone) {
    switch (tone) {
    case Tone::Blue:
        return {QColor(0x52, 0x91, 0xf2), QColor(0x2b, 0x5c, 0xc0), QColor(0x86, 0xb4, 0xff)};
    case Tone::Teal:
        return {QColor(0x30, 0xc4, 0xb4), QColor(0x14, 0x86, 0x80), QColor(0x7c, 0xe6, 0xdb)};
    case Tone::Violet:
        return {QColor(0x9f, 0x72, 0xfb), QColor(0x66, 0x3d, 0xcc), QColor(0xc3, 0xa8, 0xff)};
    case Tone::Coral:
        return {QColor(0xf5, 0x7e, 0x66), QColor(0xc9, 0x43, 0x36), QColor(0xff, 0xb1, 0xa1)};
    case Tone::Slate:
        break;
    }
    return {QColor(0x5a, 0x6b, 0xa0), QColor(0x38, 0x46, 0x74), QColor(0x8c, 0x9c, 0xcc)};
}

const QColor kDisabledTop(0x3b, 0x42, 0x5e);
const QColor kDisabledBottom(0x2f, 0x35, 0x4f);
const QColor kDisabledBorder(0x4c, 0x54, 0x74);

QString PickFamily(const QStringList& wanted) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : wanted)
        if (installed.contains(family))
            return family;
    return QString();
}

} // namespace

QColor ContentColour(Look look) {
    return look == Look::Disabled ? QColor(0x80, 0x89, 0xa8) : colours::kInk;
}

void PaintButtonFace(QPainter& p, const QRectF& rect, Tone tone, Look look, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const ToneColours c = ColoursOf(tone);
    const QRectF face = rect.adjusted(1, 1, -1, -2);

    // A soft shadow under raised looks sits in the bottom pixel row.
    if (look != Look::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRoundedRect(face.translated(0, 1.5), radius, radius);
    }

    QColor top = c.top, bottom = c.bottom, border = c.border;
    switch (look) {
    case Look::Disabled:
        top = kDisabledTop;
        bottom = kDisabledBottom;
        border = kDisabledBorder;
        break;
    case Look::Normal:
        break;
    case Look::Hover:
        top = c.top.lighter(118);
        bottom = c.bottom.lighter(122);
        border = colours::kAmber;
        break;
    case Look::Pressed:
        top = c.bottom.darker(125);
        bottom = c.top.darker(112);
        border = colours::kAmber.darker(115);
        break;
    }
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setBrush(fill);
    p.setPen(QPen(border, look == Look::Hover || look == Look::Pressed ? 2.0 : 1.0));
    const qreal inset = look == Look::Hover || look == Look::Pressed ? 1.0 : 0.5;
    p.drawRoundedRect(face.adjusted(inset, inset, -inset, -inset), radius, radius);

    if (look == Look::Pressed) {
        // Inner shadow along the top edge: the face is pushed in.
        QLinearGradient shade(face.topLeft(), face.topLeft() + QPointF(0, face.height() * 0.35));
        shade.setColorAt(0, QColor(0, 0, 0, 90));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(face.adjusted(2, 2, -2, -2), radius - 1, radius - 1);
    } else if (look != Look::Disabled) {
        // Gloss: a light band over the upper half.
        QLinearGradient gloss(face.topLeft(), face.topLeft() + QPointF(0, face.height() * 0.5));
        gloss.setColorAt(0, QColor(255, 255, 255, look == Look::Hover ? 70 : 50));
        gloss.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(gloss);
        p.drawRoundedRect(face.adjusted(2, 2, -2, -face.height() * 0.45), radius - 2, radius - 2);
    }
    p.restore();
}

QImage MakeStrip(QSize size, const std::function<void(QPainter&, QRectF, Look)>& paint,
                 const QImage* backdrop) {
    QImage strip(size.width(), size.height() * 4, QImage::Format_RGB32);
    strip.fill(colours::kNight);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(0, i * size.height(), size.width(), size.height());
        if (backdrop)
            p.drawImage(cell, *backdrop);
        p.save();
        p.setClipRect(cell);
        paint(p, cell, kStripOrder[i]);
        p.restore();
    }
    return strip;
}

void PaintPanel(QPainter& p, const QRectF& rect, qreal radius, qreal lift) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(rect.translated(0, 2), radius, radius);
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, QColor(255, 255, 255, int(26 * lift)));
    fill.setColorAt(1, QColor(255, 255, 255, int(10 * lift)));
    p.setBrush(fill);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(rect.topLeft() + QPointF(radius, 1.5), rect.topRight() + QPointF(-radius, 1.5));
    p.restore();
}

void PaintWell(QPainter& p, const QRectF& rect, qreal radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 36), 1));
    p.setBrush(QColor(0x0a, 0x10, 0x26, 200));
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    QLinearGradient shade(rect.topLeft(), rect.topLeft() + QPointF(0, 8));
    shade.setColorAt(0, QColor(0, 0, 0, 110));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    p.restore();
}

QFont InterfaceFont(qreal pixelSize, bool bold) {
    QFont f(PickFamily({"Liberation Sans", "DejaVu Sans"}));
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont DisplayFont(qreal pixelSize) {
    QFont f(PickFamily({"DejaVu Sans", "Liberation Sans"}));
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Black);
    f.setBold(true);
    f.setLetterSpacing(QFont::PercentageSpacing, 96);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool DrawFittedLabel(QPainter& p, const QRectF& box, const QString& text, QColor colour, int flags,
                     qreal maxPixelSize, qreal minPixelSize) {
    for (qreal size = maxPixelSize; size >= minPixelSize; size -= 0.5) {
        const QFont font = InterfaceFont(size);
        const QFontMetricsF fm(font);
        QStringList lines{text};
        if (fm.horizontalAdvance(text) > box.width()) {
            // Two lines, broken at the space that balances them best.
            int best = -1;
            qreal bestWidth = 1e9;
            for (int i = text.indexOf(' '); i >= 0; i = text.indexOf(' ', i + 1)) {
                const qreal w = std::max(fm.horizontalAdvance(text.left(i)),
                                         fm.horizontalAdvance(text.mid(i + 1)));
                if (w < bestWidth) {
                    bestWidth = w;
                    best = i;
                }
            }
            if (best < 0 || bestWidth > box.width())
                continue;
            lines = {text.left(best), text.mid(best + 1)};
        }
        const qreal lineHeight = fm.ascent() + fm.descent();
        const qreal total = lineHeight * lines.size();
        if (total > box.height())
            continue;
        p.save();
        p.setFont(font);
        qreal y = box.top() + (box.height() - total) / 2;
        for (const QString& line : lines) {
            const QRectF lineBox(box.left(), y, box.width(), lineHeight);
            p.setPen(QColor(0, 0, 0, colour.lightness() > 160 ? 90 : 0));
            p.drawText(lineBox.translated(0, 1), flags | Qt::AlignVCenter, line);
            p.setPen(colour);
            p.drawText(lineBox, flags | Qt::AlignVCenter, line);
            y += lineHeight;
        }
        p.restore();
        return true;
    }
    return false;
}

void RequireFonts() {
    for (const char* family : {"DejaVu Sans", "Liberation Sans", "Liberation Serif"})
        if (!QFontDatabase::families().contains(QString::fromLatin1(family)))
            throw std::runtime_error(std::string("font family not installed: ") + family +
                                     " (run tools/setup.sh)");
}

} // namespace resbuilder
