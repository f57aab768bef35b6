// Rendering a text layer's text into a two-colour picture.

#include "content/fileutil.h"
#include "imaging/dib.h"
#include "imaging/progress.h"
#include "imaging/sizedpixels.h"
#include "layers/layerchannel.h"
#include "platform/gdi/dc.h"
#include "platform/largeblock.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include <cmath>
#include <vector>

namespace {

TextProgressFactory& Factory() {
    static TextProgressFactory factory;
    return factory;
}

Qt::Alignment AlignmentFlags(int alignment) {
    const Qt::Alignment horizontal = alignment == 1   ? Qt::AlignHCenter
                                     : alignment == 2 ? Qt::AlignRight
                                                      : Qt::AlignLeft;
    return horizontal | Qt::AlignTop;
}

// The text's extent when wrapped at the width: the widest line and the
// height of all lines, as measuring with word breaks reports them.
CRect Measure(const QFontMetrics& metrics, const QString& text, int alignment, int wrapWidth,
              int wrapHeight) {
    const QRect measured = metrics.boundingRect(
        QRect(0, 0, wrapWidth, wrapHeight),
        int(AlignmentFlags(alignment) | Qt::TextWordWrap | Qt::TextExpandTabs), text);
    return CRect(0, 0, measured.width(), measured.height());
}

QFont TextFont(const LOGFONTA* font) {
    QFont qfont = font ? platform::FontFromLogFont(*font) : QFont();
    // Only ink and paper may appear: no smoothed edges.
    qfont.setStyleStrategy(QFont::NoAntialias);
    return qfont;
}

// The picture's rectangle: the measured text, clamped to 1800 x 1500.
CRect TextBox(const QFont& font, const QString& text, int alignment, int wrapWidth,
              int wrapHeight) {
    CRect box = Measure(QFontMetrics(font), text, alignment, wrapWidth, wrapHeight);
    if (box.IsRectEmpty())
        return CRect();
    box.right = std::min<LONG>(box.right, 1800);
    box.bottom = std::min<LONG>(box.bottom, 1500);
    return box;
}

// One line of the text as laid out in the stream's picture.
struct LaidLine {
    QString text;
    QRectF place; // in the picture's pixels
};

// The lines as drawing the text into its picture breaks and places them:
// at the picture's width, line separators for line breaks, the font's
// leading between lines.
std::vector<LaidLine> LayOut(const QString& text, const QFont& font, int alignment, int width) {
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(flat, font);
    QTextOption option(AlignmentFlags(alignment) & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char('x')) * 8);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font).leading();
    std::vector<LaidLine> lines;
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (!lines.empty())
            y += leading;
        // The spaces a line breaks after take no room in its alignment.
        QString words = flat.mid(line.textStart(), line.textLength());
        while (!words.isEmpty() && words.back().isSpace())
            words.chop(1);
        lines.push_back({words, QRectF(0, y, width, line.height())});
        y += line.height();
    }
    layout.endLayout();
    return lines;
}

// The text drawn with its font at the box's size, line by line where the
// stream's picture broke and placed its lines.
class CTextPixels : public CDrawnPixels {
public:
    CTextPixels(const QString& text, const QFont& font, COLORREF ink, int alignment, CSize layout,
                int width, int height)
        : CDrawnPixels(width, height), m_lines(LayOut(text, font, alignment, layout.cx)),
          m_font(font), m_ink(GetRValue(ink), GetGValue(ink), GetBValue(ink)),
          m_alignment(alignment), m_layout(layout) {
        const double scale = double(height) / layout.cy;
        const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
        m_font.setPixelSize(std::max(1, int(std::lround(pixels * scale))));
    }

protected:
    void DrawBand(QPainter& painter, int top) const override {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(0, -top);
        const double sy = double(GetHeight()) / m_layout.cy;
        // A box stretched out of the text's proportions stretches the letters.
        painter.scale(double(GetWidth()) / m_layout.cx / sy, 1.0);
        painter.setClipRect(QRectF(0, 0, m_layout.cx * sy, GetHeight()));
        painter.setFont(m_font);
        painter.setPen(m_ink);
        const int flags = int(AlignmentFlags(m_alignment)) | Qt::TextExpandTabs | Qt::TextDontClip;
        for (const LaidLine& line : m_lines) {
            const QRectF place(line.place.x() * sy, line.place.y() * sy, line.place.width() * sy,
                               line.place.height() * sy);
            painter.drawText(place, flags, line.text);
        }
    }

private:
    std::vector<LaidLine> m_lines;
    QFont m_font;
    QColor m_ink;
    int m_alignment;
    CSize m_layout;
};

} // namespace

CSize TextPictureSize(const std::string& text, const LOGFONTA* font, int alignment, int wrapWidth,
                      int wrapHeight) {
    if (text.empty())
        return CSize(0, 0);
    const CRect box =
        TextBox(TextFont(font), QString::fromUtf8(text.c_str()), alignment, wrapWidth, wrapHeight);
    return CSize(box.Width(), box.Height());
}

std::unique_ptr<CLayerPixels> DrawnTextPixels(const std::string& text, const LOGFONTA& font,
                                              COLORREF ink, int alignment, CSize layout, int width,
                                              int height) {
    if (text.empty() || layout.cx <= 0 || layout.cy <= 0 || width <= 0 || height <= 0)
        return nullptr;
    QFont qfont = platform::FontFromLogFont(font);
    // The stream's font lays the lines out; the same font at the box's size
    // draws them, with smooth edges.
    qfont.setStyleStrategy(QFont::PreferAntialias);
    return std::make_unique<CTextPixels>(QString::fromUtf8(text.c_str()), qfont, ink, alignment,
                                         layout, width, height);
}

void SetTextProgressFactory(TextProgressFactory factory) {
    Factory() = std::move(factory);
}

TextProgressFactory GetTextProgressFactory() {
    return Factory();
}

CDIB* RenderText(const std::string& text, const LOGFONTA* font, COLORREF ink, int alignment,
                 int wrapWidth, int wrapHeight) {
    if (text.empty())
        return nullptr;
    const QFont qfont = TextFont(font);
    const QString qtext = QString::fromUtf8(text.c_str());

    std::string caption = text;
    FirstLineCut(&caption, 30);
    std::unique_ptr<CProgressReceiver> progress;
    if (Factory())
        progress = Factory()(caption);

    const CRect box = TextBox(qfont, qtext, alignment, wrapWidth, wrapHeight);
    if (box.IsRectEmpty())
        return nullptr;

    // The canvas in memory that takes huge pages: a long text's canvas is
    // megabytes, written once by the fill below.
    const qsizetype bytesPerLine = qsizetype(box.Width()) * 4;
    void* memory = platform::AllocateLarge(size_t(bytesPerLine) * size_t(box.Height()));
    if (!memory)
        return nullptr;
    QImage canvas(
        static_cast<uchar*>(memory), box.Width(), box.Height(), bytesPerLine, QImage::Format_RGB32,
        [](void* block) { platform::FreeLarge(block); }, memory);
    if (canvas.isNull()) {
        platform::FreeLarge(memory); // an image that was not made does not own it
        return nullptr;
    }
    // White paper under black ink, black paper under any other ink; the
    // paper is what the canvas really stores at (0, 0).
    const COLORREF wanted = ink == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    canvas.setPixel(0, 0, qRgb(GetRValue(wanted), GetGValue(wanted), GetBValue(wanted)));
    const QRgb stored = canvas.pixel(0, 0);
    const COLORREF paper = RGB(qRed(stored), qGreen(stored), qBlue(stored));
    canvas.fill(stored);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(qfont);
    painter.setPen(QColor(GetRValue(ink), GetGValue(ink), GetBValue(ink)));
    painter.drawText(QRect(0, 0, box.Width(), box.Height()),
                     int(AlignmentFlags(alignment) | Qt::TextWordWrap | Qt::TextExpandTabs), qtext);

    auto picture = std::make_unique<CDIB>();
    if (!picture->Create(box.Width(), box.Height(), 24, nullptr))
        return nullptr;
    CDC dc(&painter, &canvas);
    if (!picture->CaptureTwoColour(&dc, box.Width() - 1, box.Height() - 1, ink, paper,
                                   progress.get()))
        return nullptr;
    return picture.release();
}
