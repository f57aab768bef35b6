// The pictures of the popup windows: splash, wizard choices, page modes.
#include "artwork.h"

#include "layout.h"
#include "theme.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace resbuilder {
namespace {

const QColor kShirtOutline(0x1a, 0x28, 0x50);

// A T-shirt filling `box` (kept square), in `fill` with a dark outline.
void PaintShirt(QPainter& p, const QRectF& box, const QColor& fill, qreal outline = 0.45) {
    const qreal side = std::min(box.width(), box.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / 24.0, side / 24.0);
    p.setPen(QPen(kShirtOutline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient shade(QPointF(0, 3), QPointF(0, 21));
    shade.setColorAt(0, fill.lighter(108));
    shade.setColorAt(1, fill.darker(108));
    p.setBrush(shade);
    p.drawPath(TShirtPath());
    p.restore();
}

// A sunset print: a disc over stripes and hills, the kind of design the
// program makes, clipped to a rounded rectangle.
void PaintSunsetPrint(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(r, r.width() * 0.12, r.width() * 0.12);
    p.setClipPath(clip);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x5b, 0x3f, 0xd6));
    sky.setColorAt(0.6, QColor(0xf2, 0x67, 0x4f));
    sky.setColorAt(1, colours::kAmber);
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe6, 0x8a));
    p.drawEllipse(QPointF(r.center().x(), r.top() + r.height() * 0.58), r.width() * 0.26,
                  r.width() * 0.26);
    QPainterPath hills;
    hills.moveTo(r.left(), r.bottom());
    hills.lineTo(r.left(), r.top() + r.height() * 0.72);
    hills.quadTo(QPointF(r.left() + r.width() * 0.3, r.top() + r.height() * 0.55),
                 QPointF(r.center().x(), r.top() + r.height() * 0.76));
    hills.quadTo(QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.62),
                 QPointF(r.right(), r.top() + r.height() * 0.7));
    hills.lineTo(r.right(), r.bottom());
    hills.closeSubpath();
    p.setBrush(QColor(0x1a, 0x28, 0x50));
    p.drawPath(hills);
    p.restore();
}

void PaintStar(QPainter& p, QPointF c, qreal outer, const QColor& colour) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const qreal rad = (i % 2) ? outer * 0.45 : outer;
        const QPointF pt(c.x() + rad * std::cos(a), c.y() + rad * std::sin(a));
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(star);
}

// An arrow with heads at both ends and a label in its middle.
void PaintDimension(QPainter& p, QPointF a, QPointF b, const QString& label) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x2b, 0x3d, 0x78);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    const QLineF line(a, b);
    for (const auto& [tip, angle] :
         {std::pair{a, line.angle()}, std::pair{b, line.angle() + 180}}) {
        QLineF h1 = QLineF::fromPolar(9, angle + 28).translated(tip);
        QLineF h2 = QLineF::fromPolar(9, angle - 28).translated(tip);
        p.drawLine(h1);
        p.drawLine(h2);
    }
    const QFont font = InterfaceFont(15);
    const QFontMetricsF fm(font);
    const QPointF mid = (a + b) / 2;
    const QRectF tag(mid.x() - fm.horizontalAdvance(label) / 2 - 6, mid.y() - 11,
                     fm.horizontalAdvance(label) + 12, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe9, 0xed, 0xf5));
    p.drawRoundedRect(tag, 6, 6);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(tag, Qt::AlignCenter, label);
    p.restore();
}

void PaintModeCanvas(QPainter& p, const QRectF& r) {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(0xf4, 0xf6, 0xfb));
    fill.setColorAt(1, QColor(0xdc, 0xe2, 0xee));
    p.fillRect(r, fill);
}

// The card that a wizard choice shows: white, with an illustration.
void PaintWizardFace(QPainter& p, const QRectF& cell, Look look, bool fromTemplate) {
    p.setRenderHint(QPainter::Antialiasing);
    const qreal shift = look == Look::Pressed ? kPressedShift : 0;
    const QRectF card = cell.adjusted(5 + shift, 5 + shift, -6 + shift, -7 + shift);
    if (look != Look::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 45));
        p.drawRoundedRect(card.translated(1, 3), 12, 12);
    }
    const bool off = look == Look::Disabled;
    QColor paper = off ? QColor(0xd6, 0xd6, 0xd6) : QColor(0xff, 0xff, 0xff);
    if (look == Look::Pressed)
        paper = QColor(0xee, 0xf1, 0xf8);
    p.setBrush(paper);
    p.setPen(look == Look::Hover || look == Look::Pressed ? QPen(colours::kAmber, 3)
                                                          : QPen(QColor(0xa0, 0xa8, 0xb8), 1));
    p.drawRoundedRect(card, 12, 12);

    const QRectF art = card.adjusted(14, 12, -14, -12);
    p.save();
    if (off)
        p.setOpacity(0.45);
    if (!fromTemplate) {
        // A fresh sheet with a dashed border and a plus: start from nothing.
        const QRectF sheet(art.center().x() - art.height() * 0.42, art.top(), art.height() * 0.84,
                           art.height());
        p.setPen(QPen(QColor(0x52, 0x91, 0xf2), 2, Qt::DashLine));
        p.setBrush(QColor(0xf3, 0xf7, 0xff));
        p.drawRoundedRect(sheet, 8, 8);
        const QPointF c = sheet.center();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x52, 0x91, 0xf2));
        p.drawEllipse(c, 22, 22);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-10, 0), c + QPointF(10, 0));
        p.drawLine(c + QPointF(0, -10), c + QPointF(0, 10));
    } else {
        // Three finished cards fanned out: start from a template.
        const QSizeF cardSize(art.height() * 0.68, art.height() * 0.92);
        const QColor tints[3] = {QColor(0x30, 0xc4, 0xb4), QColor(0x9f, 0x72, 0xfb),
                                 QColor(0xf5, 0x7e, 0x66)};
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.translate(art.center().x() + (i - 1) * cardSize.width() * 0.62,
                        art.center().y() + (i == 1 ? -2 : 4));
            p.rotate((i - 1) * 12);
            const QRectF c(-cardSize.width() / 2, -cardSize.height() / 2, cardSize.width(),
                           cardSize.height());
            p.setPen(QPen(QColor(0x8a, 0x94, 0xa8), 1));
            p.setBrush(Qt::white);
            p.drawRoundedRect(c, 5, 5);
            p.setPen(Qt::NoPen);
            p.setBrush(tints[i]);
            p.drawRoundedRect(QRectF(c.left() + 5, c.top() + 5, c.width() - 10, c.height() * 0.45),
                              3, 3);
            PaintStar(p, QPointF(0, c.top() + 5 + c.height() * 0.225), c.width() * 0.18, Qt::white);
            p.setBrush(QColor(0x9a, 0xa3, 0xb5));
            for (int line = 0; line < 3; ++line)
                p.drawRoundedRect(QRectF(c.left() + 8, c.top() + c.height() * (0.6 + line * 0.11),
                                         (c.width() - 16) * (line == 2 ? 0.6 : 1.0), 3),
                                  1.5, 1.5);
            p.restore();
        }
    }
    p.restore();
}

} // namespace

QImage SplashPicture() {
    const QSize size = layout::kSplash;
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), size);
    QLinearGradient fill(all.topLeft(), all.bottomRight());
    fill.setColorAt(0, QColor(0x24, 0x36, 0x6c));
    fill.setColorAt(1, QColor(0x0e, 0x15, 0x30));
    p.fillRect(all, fill);
    QRadialGradient glow(QPointF(250, 250), 260);
    glow.setColorAt(0, QColor(0x52, 0x91, 0xf2, 90));
    glow.setColorAt(1, QColor(0x52, 0x91, 0xf2, 0));
    p.fillRect(all, glow);

    // Three shirts with prints, the middle one in front.
    PaintShirt(p, QRectF(40, 150, 190, 190), QColor(0x30, 0xc4, 0xb4));
    PaintShirt(p, QRectF(270, 150, 190, 190), QColor(0xf5, 0x7e, 0x66));
    PaintStar(p, QPointF(135, 262), 24, QColor(0xff, 0xe6, 0x8a));
    PaintStar(p, QPointF(365, 262), 24, Qt::white);
    PaintShirt(p, QRectF(130, 120, 240, 240), QColor(0xff, 0xff, 0xff));
    PaintSunsetPrint(p, QRectF(210, 232, 80, 80));

    PaintProductMark(p, QRectF(0, 34, 500, 64), true);
    p.setFont(InterfaceFont(17, false));
    p.setPen(QColor(0xc8, 0xd6, 0xf5));
    p.drawText(QRectF(0, 104, 500, 24), Qt::AlignCenter,
               QString::fromUtf8("Design \u00b7 Print \u00b7 Wear"));
    // Sparkles around the mark.
    PaintStar(p, QPointF(70, 60), 7, colours::kAmber);
    PaintStar(p, QPointF(440, 110), 5, colours::kTeal);
    PaintStar(p, QPointF(452, 46), 8, colours::kCoral);
    PaintStar(p, QPointF(46, 128), 4, Qt::white);

    p.fillRect(QRectF(0, 366, 500, 34), QColor(0, 0, 0, 70));
    p.setFont(InterfaceFont(12, false));
    p.setPen(QColor(0xa8, 0xb6, 0xd8));
    p.drawText(QRectF(16, 366, 468, 34), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Morvane \u00b7 Kavelo 0.1"));
    p.drawText(QRectF(16, 366, 468, 34), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("T-shirts \u00b7 Logos \u00b7 Transfers"));
    return image;
}

QImage WizardStrip(bool fromTemplate) {
    QImage backdrop(layout::kWizardPicture, QImage::Format_RGB32);
    backdrop.fill(colours::kPopupGrey);
    return MakeStrip(
        layout::kWizardPicture,
        [fromTemplate](QPainter& p, QRectF cell, Look look) {
            PaintWizardFace(p, cell, look, fromTemplate);
        },
        &backdrop);
}

QImage PageModePicture(int mode) {
    const QSize size = layout::kPageModePicture;
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), size);
    PaintModeCanvas(p, all);
    if (mode == 0 || mode == 1) {
        const QRectF shirtBox(40, 8, 240, 240);
        PaintShirt(p, shirtBox, Qt::white, 0.3);
        if (mode == 0) {
            // The whole front carries the print.
            PaintSunsetPrint(p, QRectF(102, 86, 116, 124));
        } else {
            // A small logo on the chest.
            PaintSunsetPrint(p, QRectF(178, 88, 30, 30));
            p.setPen(QPen(colours::kCoral, 2, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(193, 103), 26, 26);
        }
    } else {
        // A sheet with a design of a chosen size, measured both ways.
        const QRectF sheet(70, 18, 150, 206);
        p.setPen(QPen(QColor(0x9a, 0xa3, 0xb5), 1));
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        const QRectF design(86, 36, 100, 80);
        PaintSunsetPrint(p, design);
        p.setPen(QPen(QColor(0x52, 0x91, 0xf2), 1.5, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(design.adjusted(-3, -3, 3, 3));
        PaintDimension(p, QPointF(83, 140), QPointF(189, 140), QStringLiteral("cm"));
        PaintDimension(p, QPointF(250, 33), QPointF(250, 119), QStringLiteral("cm"));
    }
    return image;
}

} // namespace resbuilder
