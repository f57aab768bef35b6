#include "designpreview.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>

#include <stdexcept>

namespace resbuilder {
namespace {

// Reads the design's lines as the program does: up to a line feed, a
// carriage return stays in the line, and past the end every line is empty.
class Lines {
public:
    explicit Lines(QByteArray data) : m_data(std::move(data)) {}
    QString Next() {
        if (m_pos >= m_data.size())
            return QString();
        qsizetype end = m_data.indexOf('\n', m_pos);
        if (end < 0)
            end = m_data.size();
        const QString line = QString::fromUtf8(m_data.mid(m_pos, end - m_pos));
        m_pos = end + 1;
        return line;
    }
    int Int() { return Next().trimmed().toInt(); }
    double Real() { return Next().trimmed().toDouble(); }

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

QColor FromColourRef(int c) {
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

QImage ReadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error("cannot read " + path.toStdString());
    return image;
}

// The picture of a clip-art triple with its alpha mask applied.
QImage PictureWithAlpha(const QString& programDir, QString stored) {
    stored.replace('\\', '/');
    QImage image = ReadPicture(programDir + '/' + stored).convertToFormat(QImage::Format_ARGB32);
    const int slash = int(stored.lastIndexOf('/')) + 1;
    QString alphaName = stored;
    alphaName[slash] = 'a';
    const QImage alpha = ReadPicture(programDir + '/' + alphaName);
    if (alpha.size() != image.size())
        throw std::runtime_error("alpha of another size: " + alphaName.toStdString());
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = (row[x] & 0x00ffffff) | (uint(qBlue(alpha.pixel(x, y))) << 24);
    }
    return image;
}

QImage TextPicture(const QString& text, const QFont& font, const QColor& ink, int align) {
    const int flags = Qt::TextWordWrap | (align == 1   ? Qt::AlignHCenter
                                          : align == 2 ? Qt::AlignRight
                                                       : Qt::AlignLeft);
    const QRect r = QFontMetrics(font).boundingRect(QRect(0, 0, 1200, 1200), flags, text);
    QImage picture(std::max(1, r.width()), std::max(1, r.height()),
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRect(0, 0, picture.width(), picture.height()), flags, text);
    return picture;
}

void FillCorners(QImage& page, const QColor corners[4]) {
    const int w = page.width(), h = page.height();
    for (int y = 0; y < h; ++y) {
        const double v = h > 1 ? double(y) / (h - 1) : 0;
        QRgb* row = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double u = w > 1 ? double(x) / (w - 1) : 0;
            auto mix = [&](auto channel) {
                const double top = channel(corners[0]) * (1 - u) + channel(corners[1]) * u;
                const double bottom = channel(corners[2]) * (1 - u) + channel(corners[3]) * u;
                return int(top * (1 - v) + bottom * v + 0.5);
            };
            row[x] = qRgb(mix([](const QColor& c) { return c.red(); }),
                          mix([](const QColor& c) { return c.green(); }),
                          mix([](const QColor& c) { return c.blue(); }));
        }
    }
}

} // namespace

QImage PreviewDesign(const QString& prtPath, const QString& programDir, int longSide) {
    QFile file(prtPath);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + prtPath.toStdString());
    Lines in(file.readAll());
    in.Int(); // the main swatch colour reaches only its button
    QColor corners[4];
    for (QColor& c : corners)
        c = FromColourRef(in.Int());
    in.Int(); // page mode
    const double aspect = in.Real();
    const int layers = in.Int();
    const double fileWidth = in.Int(), fileHeight = in.Int();
    if (aspect <= 0 || fileWidth <= 0 || fileHeight <= 0)
        throw std::runtime_error("bad page in " + prtPath.toStdString());

    const QSize size = aspect >= 1 ? QSize(longSide, int(longSide / aspect))
                                   : QSize(int(longSide * aspect), longSide);
    QImage page(size, QImage::Format_RGB32);
    FillCorners(page, corners);
    QPainter p(&page);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    const double sx = size.width() / fileWidth, sy = size.height() / fileHeight;
    for (int i = 0; i < layers; ++i) {
        const int kind = in.Int();
        const int opacity = in.Int() & 0xff;
        QImage picture;
        if (kind == 1) {
            const QColor ink = FromColourRef(in.Int());
            const int align = in.Int();
            if (in.Next().compare("BEGIN_STRING", Qt::CaseInsensitive) != 0)
                throw std::runtime_error("text without BEGIN_STRING in " + prtPath.toStdString());
            QStringList lines;
            for (QString line = in.Next(); line.compare("END_STRING", Qt::CaseInsensitive) != 0;
                 line = in.Next())
                lines.append(QString(line).remove('\r'));
            int f[13];
            for (int& v : f)
                v = in.Int();
            QFont font(in.Next());
            font.setPixelSize(std::abs(f[0]));
            font.setBold(f[4] >= 600);
            font.setItalic(f[5] != 0);
            picture = TextPicture(lines.join('\n'), font, ink, align);
        } else if (kind == 2 || kind == 3) {
            in.Int(); // load mode
            picture = PictureWithAlpha(programDir, in.Next());
            in.Next(); // alpha and thumbnail paths: derived from the picture's
            in.Next();
        }
        in.Int(); // reserved
        const double x = in.Real() * sx, y = in.Real() * sy;
        const double w = in.Real() * sx, h = in.Real() * sy;
        const bool visible = in.Int() != 0, mirrored = in.Int() != 0, flipped = in.Int() != 0;
        if (picture.isNull() || !visible)
            continue;
        p.save();
        p.setOpacity(opacity / 255.0);
        p.translate(x + w / 2, y + h / 2);
        p.scale(mirrored ? -1 : 1, flipped ? -1 : 1);
        p.drawImage(QRectF(-w / 2, -h / 2, w, h), picture);
        p.restore();
    }
    return page;
}

} // namespace resbuilder
