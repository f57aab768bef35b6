// Text: extents, TextOut and DrawText's layout of lines, word breaks, tabs,
// '&' prefixes, ellipses and alignment.

#include "platform/gdi/dc.h"

#include "platform/gdi/dcstate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <vector>

using platform::dcdetail::ToQColor;
using platform::dcdetail::ToQRect;

namespace {

struct TextLine {
    QString text;
    int underline = -1; // index of the character drawn underlined, or -1
    int width = 0;
};

// How lines are measured and painted.
struct TextStyle {
    const QFontMetrics& metrics;
    int tabWidth; // 0: tabs are not expanded
    COLORREF textColor;
    COLORREF bkColor;
    bool opaque;
};

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The advance of a line; expanded tabs move on to the next tab stop.
int LineWidth(const QString& text, const TextStyle& style) {
    if (style.tabWidth <= 0)
        return style.metrics.horizontalAdvance(text);
    int x = 0, start = 0;
    for (int i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\t')
            continue;
        x += style.metrics.horizontalAdvance(text.mid(start, i - start));
        if (i < text.size())
            x = (x / style.tabWidth + 1) * style.tabWidth;
        start = i + 1;
    }
    return x;
}

// "&&" stands for '&'; a single '&' is dropped and underlines the character
// after it (the first such character of the text).
QString StripPrefixes(const QString& text, int* underline) {
    QString out;
    *underline = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            out += u'&';
            ++i;
        } else if (i + 1 < text.size() && *underline < 0) {
            *underline = int(out.size());
        }
    }
    return out;
}

// Where a paragraph's lines start and how long they are.
struct Piece {
    int start;
    int length;
};

// Breaks a paragraph between words so each line fits the width where it
// can; a word wider than the width keeps a line of its own. The blanks at a
// break belong to neither line.
void WrapParagraph(const QString& para, int offset, int maxWidth, const TextStyle& style,
                   std::vector<Piece>* pieces) {
    const int n = int(para.size());
    int lineStart = 0, lineEnd = -1, i = 0;
    while (true) {
        int wordStart = i;
        while (wordStart < n && IsBlank(para[wordStart]))
            ++wordStart;
        if (wordStart == n)
            break;
        int wordEnd = wordStart;
        while (wordEnd < n && !IsBlank(para[wordEnd]))
            ++wordEnd;
        if (lineEnd >= 0 && LineWidth(para.mid(lineStart, wordEnd - lineStart), style) > maxWidth) {
            pieces->push_back({offset + lineStart, lineEnd - lineStart});
            lineStart = wordStart;
        }
        lineEnd = wordEnd;
        i = wordEnd;
    }
    pieces->push_back({offset + lineStart, (lineEnd >= 0 ? lineEnd : n) - lineStart});
}

// The pieces of the text: one per paragraph, or more with word breaks. A
// break after the last paragraph does not start another.
std::vector<Piece> SplitLines(const QString& text, UINT format, int maxWidth,
                              const TextStyle& style) {
    std::vector<Piece> pieces;
    if (format & DT_SINGLELINE) {
        pieces.push_back({0, int(text.size())});
        return pieces;
    }
    int start = 0;
    while (start < text.size()) {
        int end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QString para = text.mid(start, end - start);
        if (format & DT_WORDBREAK)
            WrapParagraph(para, start, maxWidth, style, &pieces);
        else
            pieces.push_back({start, end - start});
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
            text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return pieces;
}

// Cuts a line that is too wide and ends it with "...".
void EndWithEllipsis(TextLine* line, int maxWidth, const TextStyle& style) {
    if (line->width <= maxWidth)
        return;
    const QString dots = QStringLiteral("...");
    int keep = int(line->text.size());
    while (keep > 0) {
        --keep;
        if (keep > 0 && line->text[keep].isLowSurrogate())
            continue;
        if (LineWidth(line->text.left(keep) + dots, style) <= maxWidth)
            break;
    }
    if (line->underline >= keep)
        line->underline = -1;
    line->text = line->text.left(keep) + dots;
    line->width = LineWidth(line->text, style);
}

std::vector<TextLine> LayOut(const std::string& utf8, UINT format, int maxWidth,
                             const TextStyle& style) {
    QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (format & DT_SINGLELINE)
        text.remove(u'\r').remove(u'\n');
    int underline = -1;
    if (!(format & DT_NOPREFIX))
        text = StripPrefixes(text, &underline);
    std::vector<TextLine> lines;
    for (const Piece& piece : SplitLines(text, format, maxWidth, style)) {
        TextLine line;
        line.text = text.mid(piece.start, piece.length);
        if (underline >= piece.start && underline < piece.start + piece.length)
            line.underline = underline - piece.start;
        line.width = LineWidth(line.text, style);
        if (format & DT_END_ELLIPSIS)
            EndWithEllipsis(&line, maxWidth, style);
        lines.push_back(line);
    }
    return lines;
}

// Paints one line with its top-left corner at (x, y).
void PaintLine(QPainter& painter, const TextLine& line, int x, int y, const TextStyle& style) {
    const QFontMetrics& fm = style.metrics;
    const int height = fm.ascent() + fm.descent();
    if (style.opaque)
        painter.fillRect(QRect(x, y, line.width, height), ToQColor(style.bkColor));
    painter.setPen(ToQColor(style.textColor));
    const int baseline = y + fm.ascent();
    int start = 0;
    for (int i = 0; i <= line.text.size(); ++i) {
        if (i < line.text.size() && (style.tabWidth <= 0 || line.text[i] != u'\t'))
            continue;
        const int at = LineWidth(line.text.left(start), style);
        painter.drawText(QPoint(x + at, baseline), line.text.mid(start, i - start));
        start = i + 1;
    }
    if (line.underline >= 0) {
        const int ux = x + LineWidth(line.text.left(line.underline), style);
        const int uw = fm.horizontalAdvance(line.text.mid(line.underline, 1));
        const int uy = std::min(baseline + std::max(1, fm.underlinePos()), y + height - 1);
        painter.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), ToQColor(style.textColor));
    }
}

} // namespace

CSize CDC::GetTextExtent(const std::string& text) const {
    if (!m_pPainter)
        return CSize();
    const QFontMetrics fm = m_pPainter->fontMetrics();
    return CSize(fm.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))),
                 fm.ascent() + fm.descent());
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
    if (!m_pPainter)
        return FALSE;
    const QFontMetrics fm = m_pPainter->fontMetrics();
    const DrawingState& s = m_pInternals->state;
    const TextStyle style{fm, 0, s.textColor, s.bkColor, s.bkMode == OPAQUE};
    TextLine line;
    line.text = QString::fromUtf8(text.data(), qsizetype(text.size()));
    line.width = LineWidth(line.text, style);
    PaintLine(*m_pPainter, line, x, y, style);
    return TRUE;
}

int CDC::DrawText(const std::string& text, RECT* rect, UINT format) {
    if (!m_pPainter || !rect)
        return 0;
    const QFontMetrics fm = m_pPainter->fontMetrics();
    const DrawingState& s = m_pInternals->state;
    // NOTE: tab stops fall every eight average character widths.
    const int tabWidth = (format & DT_EXPANDTABS) ? 8 * fm.averageCharWidth() : 0;
    const TextStyle style{fm, tabWidth, s.textColor, s.bkColor, s.bkMode == OPAQUE};
    const CRect box(*rect);
    const std::vector<TextLine> lines = LayOut(text, format, box.Width(), style);

    const int lineHeight = fm.ascent() + fm.descent();
    const int textHeight = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int top = box.top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top = box.top + (box.Height() - lineHeight) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        top = box.bottom - lineHeight;
    const bool clip = !(format & DT_NOCLIP);
    if (clip) {
        m_pPainter->save();
        m_pPainter->setClipRect(ToQRect(box), Qt::IntersectClip);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        int x = box.left;
        if (format & DT_CENTER)
            x = box.left + (box.Width() - line.width) / 2;
        else if (format & DT_RIGHT)
            x = box.right - line.width;
        PaintLine(*m_pPainter, line, x, top + int(i) * lineHeight, style);
    }
    if (clip)
        m_pPainter->restore();
    return top - box.top + textHeight;
}
