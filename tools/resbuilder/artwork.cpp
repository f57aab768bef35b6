#include "artwork.h"

#include "icons.h"
#include "layout.h"
#include "theme.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace resbuilder {
namespace {

QRectF Grown(const layout::Box& b, qreal by) {
    return QRectF(b.left - by, b.top - by, b.Width() + 2 * by, b.Height() + 2 * by);
}

// The diagonal weave of the backgrounds: faint lines like the threads of a
// fabric, so that large dark areas do not look flat.
void PaintWeave(QPainter& p, const QRectF& area, int alpha) {
    p.save();
    p.setClipRect(area);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
    for (qreal x = area.left() - area.height(); x < area.right(); x += 6)
        p.drawLine(QPointF(x, area.bottom()), QPointF(x + area.height(), area.top()));
    p.restore();
}

void PaintToolbar(QPainter& p) {
    const QRectF band(0, 0, layout::kDesignWidth, 165);
    QLinearGradient fill(band.topLeft(), band.bottomLeft());
    fill.setColorAt(0, QColor(0x24, 0x36, 0x6c));
    fill.setColorAt(1, QColor(0x1a, 0x28, 0x52));
    p.fillRect(band, fill);
    PaintWeave(p, band, 6);
    // Shadow under the band, over the workspace.
    QLinearGradient shadow(QPointF(0, 165), QPointF(0, 175));
    shadow.setColorAt(0, QColor(0, 0, 0, 120));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 165, layout::kDesignWidth, 10), shadow);
    p.fillRect(QRectF(0, 164, layout::kDesignWidth, 1), QColor(255, 255, 255, 40));

    // Groups: text and file buttons on the left, layer tools, colour
    // swatches, quit and print buttons on the right.
    PaintPanel(p, QRectF(3, 3, 162, 162));
    PaintPanel(p, QRectF(169, 41, 101, 124), 10, 0.7);
    PaintPanel(p, QRectF(526, 6, 110, 152));
    PaintPanel(p, QRectF(634, 3, 163, 162));
    PaintWell(p, Grown(layout::kLayerList, 2));
    PaintWell(p, Grown(layout::kOpacitySlider, 2));
    for (const layout::Box& swatch : layout::kCornerColours)
        PaintWell(p, Grown(swatch, 1.5), 4);
    PaintWell(p, Grown(layout::kMainColour, 1.5), 4);
    DrawIcon(p, Icon::Palette, QRectF(570, 10, 24, 24), QColor(0xdd, 0xe4, 0xf7));
    PaintProductMark(p, QRectF(276, 4, 250, 32), true);
}

void PaintWorkspace(QPainter& p) {
    const QRectF area(0, 165, layout::kDesignWidth, layout::kDesignHeight - 165);
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, QColor(0x14, 0x1e, 0x3c));
    fill.setColorAt(1, QColor(0x0c, 0x12, 0x2a));
    p.fillRect(area, fill);
    // A soft light behind the page.
    QRadialGradient light(QPointF(400, 380), 330);
    light.setColorAt(0, QColor(0x3a, 0x5a, 0xb0, 70));
    light.setColorAt(1, QColor(0x3a, 0x5a, 0xb0, 0));
    p.fillRect(area, light);
    PaintWeave(p, area, 4);
}

// A thumb strip sits in a dark well; its up and down buttons share it.
void PaintStripWell(QPainter& p, const layout::Box& strip) {
    const QRectF well(strip.left - 4, strip.top + 1, strip.Width() + 8, strip.Height() - 5);
    PaintPanel(p, well.adjusted(-3, -3, 3, 2), 10, 0.8);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 0, 150), 1));
    p.setBrush(colours::kStripWell);
    p.drawRoundedRect(well, 6, 6);
    p.restore();
}

void PaintPageFrame(QPainter& p) {
    const QRectF page = layout::kPage.ToQRect();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 6; i >= 1; --i) { // outer glow
        p.setPen(QPen(QColor(0x6e, 0x9c, 0xff, 10 + 4 * (6 - i)), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(page.adjusted(-i - 1, -i - 1, i + 1, i + 1), 6 + i, 6 + i);
    }
    p.setPen(QPen(QColor(0xa8, 0xc2, 0xff, 150), 1.5));
    p.setBrush(QColor(0x0a, 0x10, 0x26));
    p.drawRoundedRect(page.adjusted(-2.5, -2.5, 2.5, 2.5), 5, 5);
    p.restore();
}

// Gutters left of the category strip and right of the file strip carry a
// large, faint T-shirt: the product's motif, quiet enough to stay behind.
void PaintGutterMotif(QPainter& p, const QRectF& gutter) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = gutter.width() * 0.8;
    for (int i = 0; i < 3; ++i) {
        const QPointF centre(gutter.center().x(), gutter.top() + 70 + i * 140);
        p.save();
        p.translate(centre.x() - side / 2, centre.y() - side / 2);
        p.scale(side / 24.0, side / 24.0);
        p.setPen(QPen(QColor(255, 255, 255, 26), 1.2 * 24.0 / side * 1.5));
        p.setBrush(QColor(255, 255, 255, 8));
        p.drawPath(TShirtPath());
        p.restore();
    }
    p.restore();
}

} // namespace

QPainterPath TShirtPath() {
    QPainterPath shirt;
    shirt.moveTo(8.5, 3);
    shirt.cubicTo(9.5, 5.2, 14.5, 5.2, 15.5, 3);
    shirt.lineTo(21.5, 6);
    shirt.lineTo(19.8, 10.5);
    shirt.lineTo(17.3, 9.5);
    shirt.lineTo(17.3, 21);
    shirt.lineTo(6.7, 21);
    shirt.lineTo(6.7, 9.5);
    shirt.lineTo(4.2, 10.5);
    shirt.lineTo(2.5, 6);
    shirt.closeSubpath();
    return shirt;
}

void PaintProductMark(QPainter& p, const QRectF& box, bool onDark) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal h = box.height();
    const QFont font = DisplayFont(h * 0.78);
    const QFontMetricsF fm(font);
    const QString name = QStringLiteral("Kavelo");
    const qreal textWidth = fm.horizontalAdvance(name);
    const qreal gap = h * 0.22;
    const qreal total = h + gap + textWidth;
    const qreal x0 = box.left() + (box.width() - total) / 2;

    // Emblem: a rounded badge with the T-shirt in the accent gradient.
    const QRectF badge(x0, box.top(), h, h);
    QLinearGradient accent(badge.topLeft(), badge.bottomRight());
    accent.setColorAt(0, colours::kAmber);
    accent.setColorAt(1, colours::kCoral);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(badge, h * 0.24, h * 0.24);
    p.save();
    p.translate(badge.left() + h * 0.12, badge.top() + h * 0.1);
    p.scale(h * 0.76 / 24.0, h * 0.76 / 24.0);
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(TShirtPath());
    p.setBrush(colours::kCoral);
    p.drawEllipse(QPointF(12, 13.5), 2.6, 2.6); // the print on the shirt
    p.restore();

    // The word, with its baseline centred on the badge.
    const QPointF origin(badge.right() + gap, box.top() + (h + fm.ascent() - fm.descent()) / 2);
    p.setFont(font);
    if (onDark) {
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(origin + QPointF(0, 1.5), name);
    }
    p.setPen(onDark ? QColor(0xff, 0xff, 0xff) : QColor(0x1a, 0x28, 0x50));
    p.drawText(origin, name);
    p.restore();
}

QImage ApplicationIcon(int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = side * 0.06;
    const QRectF badge(inset, inset, side - 2 * inset, side - 2 * inset);
    QLinearGradient accent(badge.topLeft(), badge.bottomRight());
    accent.setColorAt(0, colours::kAmber);
    accent.setColorAt(1, colours::kCoral);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(badge.translated(0, side * 0.015), side * 0.2, side * 0.2);
    p.setBrush(accent);
    p.drawRoundedRect(badge, side * 0.2, side * 0.2);
    p.translate(badge.left() + badge.width() * 0.12, badge.top() + badge.height() * 0.1);
    p.scale(badge.width() * 0.76 / 24.0, badge.height() * 0.76 / 24.0);
    p.setBrush(Qt::white);
    p.drawPath(TShirtPath());
    p.setBrush(colours::kCoral);
    p.drawEllipse(QPointF(12, 13.5), 2.6, 2.6);
    return icon;
}

QImage DesignFileIcon(int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    // A portrait sheet, its top right corner folded over.
    const QRectF sheet(side * 0.16, side * 0.06, side * 0.68, side * 0.88);
    const qreal fold = side * 0.2;
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    p.setPen(QPen(colours::kNavy, qMax(1.0, side / 32.0)));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    corner.closeSubpath();
    p.setBrush(colours::kInk.darker(115));
    p.drawPath(corner);
    // The T-shirt in the accent gradient, in the lower part of the sheet.
    const QRectF motif(sheet.left() + sheet.width() * 0.12, sheet.top() + sheet.height() * 0.3,
                       sheet.width() * 0.76, sheet.width() * 0.76);
    QLinearGradient accent(motif.topLeft(), motif.bottomRight());
    accent.setColorAt(0, colours::kAmber);
    accent.setColorAt(1, colours::kCoral);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.translate(motif.topLeft());
    p.scale(motif.width() / 24.0, motif.height() / 24.0);
    p.drawPath(TShirtPath());
    return icon;
}

QImage MainBackground() {
    QImage image(layout::kDesignWidth, layout::kDesignHeight, QImage::Format_RGB32);
    image.fill(colours::kNight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintWorkspace(p);
    PaintGutterMotif(p, QRectF(0, 175, 72, 420));
    PaintGutterMotif(p, QRectF(728, 175, 72, 420));
    PaintStripWell(p, layout::kCategoryStrip);
    PaintStripWell(p, layout::kFileStrip);
    PaintPageFrame(p);
    PaintToolbar(p);
    return image;
}

} // namespace resbuilder
