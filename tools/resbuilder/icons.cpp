#include "icons.h"

#include <QPainter>
#include <QPainterPath>

namespace resbuilder {
namespace {

// Every icon is drawn on a 24 x 24 grid; DrawIcon maps the grid onto the box.
constexpr qreal kGrid = 24.0;

QPen Line(const QColor& c, qreal width = 2.0) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Quit(QPainter& p, const QColor& c) {
    p.setPen(Line(c, 2.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 5, 16, 16), 125 * 16, -250 * 16);
    p.drawLine(QPointF(12, 3), QPointF(12, 12));
}

void Open(QPainter& p, const QColor& c) {
    p.setPen(Line(c));
    p.setBrush(Qt::NoBrush);
    QPainterPath back;
    back.moveTo(3, 19);
    back.lineTo(3, 6);
    back.lineTo(9, 6);
    back.lineTo(11, 8);
    back.lineTo(18, 8);
    back.lineTo(18, 11);
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(3, 19);
    front.lineTo(6.5, 11);
    front.lineTo(22, 11);
    front.lineTo(18.5, 19);
    front.closeSubpath();
    QColor fill = c;
    fill.setAlpha(70);
    p.setBrush(fill);
    p.drawPath(front);
}

void Save(QPainter& p, const QColor& c) {
    p.setPen(Line(c));
    QColor fill = c;
    fill.setAlpha(50);
    p.setBrush(fill);
    QPainterPath body;
    body.moveTo(4, 4);
    body.lineTo(17, 4);
    body.lineTo(20, 7);
    body.lineTo(20, 20);
    body.lineTo(4, 20);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(8, 4, 7, 5));
    p.drawRect(QRectF(7, 13, 10, 7));
    p.drawLine(QPointF(9, 16), QPointF(15, 16));
}

void Print(QPainter& p, const QColor& c) {
    p.setPen(Line(c));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7, 3, 10, 6));
    QColor fill = c;
    fill.setAlpha(60);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(7, 14, 10, 7));
    p.drawLine(QPointF(9, 17), QPointF(15, 17));
    p.setPen(Line(c, 2.6));
    p.drawPoint(QPointF(17.5, 12));
}

void Preview(QPainter& p, const QColor& c) {
    p.setPen(Line(c));
    p.setBrush(Qt::NoBrush);
    QPainterPath page;
    page.moveTo(13, 21);
    page.lineTo(4, 21);
    page.lineTo(4, 3);
    page.lineTo(13, 3);
    page.lineTo(17, 7);
    page.lineTo(17, 9);
    p.drawPath(page);
    QColor fill = c;
    fill.setAlpha(60);
    p.setBrush(fill);
    p.drawEllipse(QPointF(15, 14), 4.2, 4.2);
    p.setPen(Line(c, 2.6));
    p.drawLine(QPointF(18.2, 17.2), QPointF(21.5, 20.5));
}

void LetterT(QPainter& p, const QColor& c, qreal x, qreal y, qreal size) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal bar = size * 0.22;
    p.drawRect(QRectF(x, y, size, bar));
    p.drawRect(QRectF(x + size / 2 - bar / 2, y, bar, size));
}

void AddText(QPainter& p, const QColor& c) {
    LetterT(p, c, 2.5, 3.5, 14);
    p.setPen(Line(c, 2.4));
    p.drawLine(QPointF(18.5, 13), QPointF(18.5, 21));
    p.drawLine(QPointF(14.5, 17), QPointF(22.5, 17));
}

void EditText(QPainter& p, const QColor& c) {
    LetterT(p, c, 2, 3, 13);
    p.save();
    p.translate(17, 15);
    p.rotate(45);
    p.setPen(Line(c, 1.6));
    QColor fill = c;
    fill.setAlpha(90);
    p.setBrush(fill);
    p.drawRect(QRectF(-2, -8, 4, 11));
    QPainterPath tip;
    tip.moveTo(-2, 3);
    tip.lineTo(0, 6.5);
    tip.lineTo(2, 3);
    p.setBrush(c);
    p.drawPath(tip);
    p.restore();
}

void Chevron(QPainter& p, const QColor& c, bool up) {
    p.setPen(Line(c, 3.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath v;
    v.moveTo(5, up ? 15 : 9);
    v.lineTo(12, up ? 8 : 16);
    v.lineTo(19, up ? 15 : 9);
    p.drawPath(v);
}

// Two stacked sheets seen at an angle, as in "layers".
void Sheets(QPainter& p, const QColor& c, qreal dy) {
    auto sheet = [&](qreal y, int alpha) {
        QPainterPath d;
        d.moveTo(2, y);
        d.lineTo(10, y - 4);
        d.lineTo(18, y);
        d.lineTo(10, y + 4);
        d.closeSubpath();
        QColor fill = c;
        fill.setAlpha(alpha);
        p.setBrush(fill);
        p.setPen(Line(c, 1.6));
        p.drawPath(d);
    };
    sheet(15 + dy, 40);
    sheet(10 + dy, 110);
}

void LayerMove(QPainter& p, const QColor& c, bool up) {
    Sheets(p, c, 2);
    p.setPen(Line(c, 2.2));
    const qreal x = 20;
    p.drawLine(QPointF(x, 4), QPointF(x, 15));
    QPainterPath head;
    if (up) {
        head.moveTo(x - 3, 7);
        head.lineTo(x, 4);
        head.lineTo(x + 3, 7);
    } else {
        head.moveTo(x - 3, 12);
        head.lineTo(x, 15);
        head.lineTo(x + 3, 12);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(head);
}

void Bin(QPainter& p, const QColor& c) {
    p.setPen(Line(c));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(4, 6), QPointF(20, 6));
    p.drawLine(QPointF(9.5, 6), QPointF(10, 3.5));
    p.drawLine(QPointF(10, 3.5), QPointF(14, 3.5));
    p.drawLine(QPointF(14, 3.5), QPointF(14.5, 6));
    QPainterPath body;
    body.moveTo(6, 6);
    body.lineTo(7, 21);
    body.lineTo(17, 21);
    body.lineTo(18, 6);
    QColor fill = c;
    fill.setAlpha(45);
    p.setBrush(fill);
    p.drawPath(body);
    p.drawLine(QPointF(10, 10), QPointF(10.3, 17.5));
    p.drawLine(QPointF(14, 10), QPointF(13.7, 17.5));
}

void DeleteAll(QPainter& p, const QColor& c) {
    Sheets(p, c, 0);
    Sheets(p, c, 5);
    p.setPen(Line(c, 2.6));
    p.drawLine(QPointF(15, 13), QPointF(22, 20));
    p.drawLine(QPointF(22, 13), QPointF(15, 20));
}

void Palette(QPainter& p, const QColor& c) {
    QPainterPath board;
    board.moveTo(12, 2.5);
    board.cubicTo(5, 2.5, 2, 8, 2.5, 13);
    board.cubicTo(3, 19, 8, 21.5, 12, 21.5);
    board.cubicTo(15, 21.5, 15, 18.5, 13.5, 17);
    board.cubicTo(12, 15.5, 13, 13.5, 15, 13.5);
    board.lineTo(18, 13.5);
    board.cubicTo(21, 13.5, 22, 11, 21.5, 9);
    board.cubicTo(20.5, 5, 16.5, 2.5, 12, 2.5);
    p.setPen(Line(c, 1.6));
    QColor fill = c;
    fill.setAlpha(60);
    p.setBrush(fill);
    p.drawPath(board);
    const QColor dots[] = {QColor(0xf2, 0x67, 0x4f), QColor(0xff, 0xb8, 0x3b),
                           QColor(0x2c, 0xc3, 0xb5), QColor(0x52, 0x91, 0xf2)};
    const QPointF at[] = {{7, 12}, {8, 7}, {13, 6}, {17.5, 8.5}};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 4; ++i) {
        p.setBrush(dots[i]);
        p.drawEllipse(at[i], 1.9, 1.9);
    }
}

void Pictures(QPainter& p, const QColor& c) {
    p.setPen(Line(c, 1.8));
    QColor fill = c;
    fill.setAlpha(40);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2, 2);
    QPainterPath hills;
    hills.moveTo(3.5, 18.5);
    hills.lineTo(9, 11);
    hills.lineTo(13, 15.5);
    hills.lineTo(15.5, 13);
    hills.lineTo(20.5, 18.5);
    hills.closeSubpath();
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawPath(hills);
    p.drawEllipse(QPointF(16.5, 8.5), 1.8, 1.8);
}

} // namespace

void DrawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& colour) {
    const qreal side = std::min(box.width(), box.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    p.scale(side / kGrid, side / kGrid);
    switch (icon) {
    case Icon::Quit:
        Quit(p, colour);
        break;
    case Icon::Open:
        Open(p, colour);
        break;
    case Icon::Save:
        Save(p, colour);
        break;
    case Icon::Print:
        Print(p, colour);
        break;
    case Icon::Preview:
        Preview(p, colour);
        break;
    case Icon::AddText:
        AddText(p, colour);
        break;
    case Icon::EditText:
        EditText(p, colour);
        break;
    case Icon::ChevronUp:
        Chevron(p, colour, true);
        break;
    case Icon::ChevronDown:
        Chevron(p, colour, false);
        break;
    case Icon::LayerUp:
        LayerMove(p, colour, true);
        break;
    case Icon::LayerDown:
        LayerMove(p, colour, false);
        break;
    case Icon::LayerDelete:
        Bin(p, colour);
        break;
    case Icon::LayerDeleteAll:
        DeleteAll(p, colour);
        break;
    case Icon::Palette:
        Palette(p, colour);
        break;
    case Icon::Pictures:
        Pictures(p, colour);
        break;
    }
    p.restore();
}

} // namespace resbuilder
