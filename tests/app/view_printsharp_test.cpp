// A design printed at 300 dots per inch shows its text and its clip art as
// sharp as the font and the drawing themselves drawn at that size, where the
// page rendered at twice its size and stretched showed them in steps.

#include "programtest.h"

#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/gdi/dc.h"
#include "platform/logfont.h"
#include "platform/paths.h"
#include "platform/pdfraster.h"
#include "testsupport.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace {

// The first picture of the first clip-art folder, as designs name it.
std::string FirstClipArt() {
    const QDir data(QStringLiteral("res/Data"));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList files =
            QDir(data.filePath(category)).entryList({QStringLiteral("i*.bmp")}, QDir::Files);
        if (!files.isEmpty())
            return ("res\\Data\\" + category + "\\" + files.first()).toStdString();
    }
    return {};
}

QImage ImageOf(CDIB& dib) {
    QImage image(dib.GetWidth(), dib.GetHeight(), QImage::Format_RGB32);
    dib.BeginPixelAccess();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const BYTE* p = dib.PixelAddress(unsigned(x), unsigned(y));
            image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
        }
    dib.EndPixelAccess();
    return image;
}

int Channels(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The centre of the ink (darkness) of an area of a picture.
QPointF InkCentre(const QImage& image, const QRect& area) {
    double mass = 0, x = 0, y = 0;
    for (int j = 0; j < area.height(); ++j)
        for (int i = 0; i < area.width(); ++i) {
            const double ink = 255 - qGray(image.pixel(area.x() + i, area.y() + j));
            mass += ink;
            x += ink * i;
            y += ink * j;
        }
    return mass > 0 ? QPointF(x / mass, y / mass) : QPointF();
}

// How far the print strays from the reference along the reference's edges
// (where it changes from a pixel to the next), where sharpness shows: the
// mean difference of the largest channel, 0 to 255, at the best of the
// shifts by a pixel.
double EdgeDifference(const QImage& print, const QRect& part, const QImage& reference) {
    const int margin = 2;
    double best = 255;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            double sum = 0;
            int edges = 0;
            for (int y = margin; y + margin < part.height(); ++y)
                for (int x = margin; x + margin < part.width(); ++x) {
                    const QRgb r = reference.pixel(x, y);
                    if (Channels(r, reference.pixel(x + 1, y)) < 24 &&
                        Channels(r, reference.pixel(x, y + 1)) < 24)
                        continue;
                    ++edges;
                    sum += Channels(r, print.pixel(part.x() + x + dx, part.y() + y + dy));
                }
            if (edges > 0)
                best = std::min(best, sum / edges);
        }
    return best;
}

QImage White(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

using ViewPrintSharpTest = ProgramTest;

TEST_F(ViewPrintSharpTest, TextAndClipArtPrintAsSharpAsTheirFontAndDrawing) {
    ASSERT_TRUE(Start());
    const std::string clipArt = FirstClipArt();
    ASSERT_FALSE(clipArt.empty());
    ASSERT_TRUE(View()->LoadDesign(clipArt));
    services.messages.clear();
    LOGFONTA font = platform::LogFontFromFont(QFont(QStringLiteral("DejaVu Sans")));
    font.lfHeight = -24;
    const std::string text = "Ag";
    Layers()->AddTextItem(&text, &font, 0x00202020, 0, 0, 0);
    Mixer()->SetAllBackgroundColours(0x00FFFFFF);
    Mixer()->SynchroniseLayers();
    int pageW = 0, pageH = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&pageW, &pageH));
    ASSERT_EQ(Mixer()->m_layers.size(), 2u);
    auto* words = dynamic_cast<CLayerChannel_Text*>(Mixer()->m_layers[0]);
    ASSERT_NE(words, nullptr);
    CLayerChannel* picture = Mixer()->m_layers[1];
    // The picture in the top half, the text below it, each in its own
    // proportions.
    const double pw = pageW * 0.8,
                 ph = pw * picture->m_stream.GetHeight() / picture->m_stream.GetWidth();
    picture->SetGeometry(pageW * 0.1, 5, pw, std::min(ph, pageH * 0.55));
    const double tw = pageW * 0.4;
    words->SetGeometry(pageW * 0.1, pageH * 0.65, tw,
                       tw * words->m_stream.GetHeight() / words->m_stream.GetWidth());
    Mixer()->MarkPageDirty();

    // Printed face up at 300 dpi on A4, as large as it fits in its proportions.
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/sharp.pdf";
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        printer.setResolution(300);
        View()->m_print.m_nPageMode = 1;
        View()->m_print.m_nKeepAspect = 1;
        View()->m_print.m_nDarkFabric = 1;
        QPainter painter(&printer);
        CDC dc(&painter);
        ASSERT_TRUE(View()->PrintDesign(&dc));
    }
    const auto images = pdfraster::Images(pdf, dir.Str() + "/images");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].ppiX, 300);
    // Rows are kept bottom-up in the file.
    const QImage print = images[0].pixels.mirrored(false, true);
    const double sx = double(print.width()) / pageW, sy = double(print.height()) / pageH;

    // The page as printing made it before: twice its size, stretched.
    CDIB twice;
    ASSERT_TRUE(twice.Create(2 * pageW, 2 * pageH, 24, nullptr));
    ASSERT_TRUE(Mixer()->RenderInto(&twice, nullptr));
    const QImage old =
        ImageOf(twice).scaled(print.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);

    const auto boxOf = [sx, sy](const CLayerChannel* layer) {
        const int x = int(layer->m_dX * sx), y = int(layer->m_dY * sy);
        return QRect(x, y, int(layer->m_dWidth * sx), int(layer->m_dHeight * sy));
    };
    // The clip art: its drawing straight from Qt Svg at the box's size.
    const QRect art = boxOf(picture);
    QImage drawing = White(art.size());
    {
        std::string svg = clipArt;
        svg.replace(svg.size() - 4, 4, ".svg");
        QSvgRenderer renderer(QString::fromStdString(platform::NativePath(svg)));
        ASSERT_TRUE(renderer.isValid());
        QPainter painter(&drawing);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, art.width(), art.height()));
    }
    const double artNow = EdgeDifference(print, art, drawing);
    const double artBefore = EdgeDifference(old, art, drawing);
    // The text: its font at the box's height, drawn straight onto paper.
    const QRect line = boxOf(words);
    const auto letters = [&](QPointF offset) {
        QImage lettering = White(line.size());
        QFont qfont = platform::FontFromLogFont(font);
        // The font's 24 pixels grown as the text's line grew into the box.
        const double lineGrowth =
            line.height() / (words->m_stream.GetHeight() / double(words->m_nDrawFactor));
        qfont.setPixelSize(int(std::lround(24.0 * lineGrowth)));
        QPainter painter(&lettering);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(qfont);
        painter.setPen(QColor(0x20, 0x20, 0x20));
        painter.translate(offset);
        painter.drawText(QRect(QPoint(0, 0), line.size()), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(text));
        return lettering;
    };
    // Font hinting may place the letters a fraction of a pixel or two
    // apart: the reference is laid over the print by their ink.
    const QImage first = letters(QPointF(0, 0));
    const QImage lettering = letters(InkCentre(print, line) - InkCentre(first, first.rect()));
    const double textNow = EdgeDifference(print, line, lettering);
    const double textBefore = EdgeDifference(old, line, lettering);
    RecordProperty("clip_art_edges",
                   std::to_string(artNow) + " (before " + std::to_string(artBefore) + ")");
    RecordProperty("text_edges",
                   std::to_string(textNow) + " (before " + std::to_string(textBefore) + ")");
    // Measured: clip art 0.1 against 34 before, text 19 against 64 before
    // (the text differs only where Qt smooths letters onto paper and onto
    // a transparent layer a little differently).
    EXPECT_LT(artNow, 2.0);
    EXPECT_GT(artBefore, 20.0) << "the page at twice its size stretched shows steps";
    EXPECT_LT(textNow, 25.0);
    EXPECT_GT(textBefore, 50.0) << "the page at twice its size stretched shows steps";
}

} // namespace
