#include "clipart.h"

#include "bmpfile.h"
#include "theme.h"

#include <QFile>
#include <QLinearGradient>
#include <QMutex>
#include <QPainter>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextStream>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <utility>

namespace resbuilder {
namespace {

constexpr int kPictureSide = 512;   // longer side of every picture
constexpr int kPictureMargin = 6;   // transparent border around it
constexpr QSize kThumbnail{96, 64}; // the thumbs' own shape, 3:2
constexpr int kMinPerCategory = 12;
constexpr int kMaxPerCategory = 40;
// A staged drawing renders within this of its picture in every channel.
constexpr int kStagedDrawingTolerance = 3;

const QRegularExpression kNamePattern(QStringLiteral("^[a-z0-9]+$"));

[[noreturn]] void Fail(const QString& where, int line, const QString& what) {
    throw std::runtime_error(
        QStringLiteral("%1:%2: %3").arg(where).arg(line).arg(what).toStdString());
}

// One picture to render, with the folder it goes to.
struct Job {
    const ClipArtCategory* category;
    ClipArtPicture* picture;
};

// The rectangle of pixels whose alpha is above a trace, or an empty one.
QRect OpaqueBounds(const QImage& argb) {
    int left = argb.width(), top = argb.height(), right = -1, bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) > 2) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Renders the document so that the whole view box is `scale` pixels per unit
// and its origin lands at `offset`.
QImage Render(QSvgRenderer& svg, QSize size, qreal scale, QPointF offset) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box = svg.viewBoxF();
    svg.render(&p, QRectF(offset, box.size() * scale));
    return image;
}

// A picture as rendered, and the part of its drawing's view box it shows.
struct RenderedPicture {
    QImage image; // premultiplied ARGB
    QRectF frame; // in the drawing's own view-box coordinates
};

// The picture cut to its drawn part and scaled so that its longer side is
// kPictureSide, margin included: a first rendering finds the drawn part, a
// second one draws it at its final size, so edges stay crisp.
RenderedPicture RenderPicture(const QString& file) {
    QSvgRenderer svg(file);
    if (!svg.isValid())
        throw std::runtime_error("cannot read " + file.toStdString());
    const QSizeF box = svg.viewBoxF().size();
    if (box.isEmpty())
        throw std::runtime_error("no size: " + file.toStdString());
    const qreal probeScale = 1024.0 / std::max(box.width(), box.height());
    const QSize probeSize(int(std::ceil(box.width() * probeScale)),
                          int(std::ceil(box.height() * probeScale)));
    const QRect drawn = OpaqueBounds(Render(svg, probeSize, probeScale, QPointF(0, 0)));
    if (drawn.isEmpty())
        throw std::runtime_error("renders empty: " + file.toStdString());
    // The drawn part in view-box units, widened by a pixel of the probe.
    const QRectF part(QPointF(drawn.left() - 1, drawn.top() - 1) / probeScale,
                      QSizeF(drawn.width() + 2, drawn.height() + 2) / probeScale);
    const qreal scale = (kPictureSide - 2 * kPictureMargin) / std::max(part.width(), part.height());
    const QSize size(
        std::min(kPictureSide, int(std::ceil(part.width() * scale)) + 2 * kPictureMargin),
        std::min(kPictureSide, int(std::ceil(part.height() * scale)) + 2 * kPictureMargin));
    const QPointF offset = QPointF(kPictureMargin, kPictureMargin) - part.topLeft() * scale;
    // Pixel p of the picture shows view-box point origin + (p - offset) / scale.
    const QRectF frame(svg.viewBoxF().topLeft() - offset / scale, QSizeF(size) / scale);
    return {Render(svg, size, scale, offset), frame};
}

// The root element's start tag of an SVG text read byte for byte (Latin-1),
// skipping comments: its first and one-past-last character, or -1.
std::pair<qsizetype, qsizetype> RootTag(const QString& text) {
    static const QRegularExpression root(QStringLiteral("<(?:[A-Za-z_][\\w.-]*:)?svg[\\s>]"));
    for (auto match = root.globalMatch(text); match.hasNext();) {
        const qsizetype start = match.next().capturedStart();
        const qsizetype comment = text.lastIndexOf(QLatin1String("<!--"), start);
        if (comment >= 0 && text.indexOf(QLatin1String("-->"), comment) > start)
            continue;
        QChar quote;
        for (qsizetype i = start; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!quote.isNull())
                quote = c == quote ? QChar() : quote;
            else if (c == QLatin1Char('"') || c == QLatin1Char('\''))
                quote = c;
            else if (c == QLatin1Char('>'))
                return {start, i + 1};
        }
        break;
    }
    return {-1, -1};
}

// The drawing with its root element's size and view box replaced, so that
// it shows exactly the frame at the given pixel size, nothing else of the
// file changed. Empty when the file has no recognisable root element.
QByteArray FramedDrawing(const QByteArray& original, const QRectF& frame, QSize size) {
    const QString text = QString::fromLatin1(original);
    const auto [start, end] = RootTag(text);
    if (start < 0)
        return QByteArray();
    static const QRegularExpression sizing(QStringLiteral(
        "\\s(?:width|height|viewBox|preserveAspectRatio)\\s*=\\s*(?:\"[^\"]*\"|'[^']*')"));
    QString tag = text.mid(start, end - start);
    tag.remove(sizing);
    const qsizetype nameEnd = tag.indexOf(QRegularExpression(QStringLiteral("[\\s/>]")), 1);
    tag.insert(nameEnd, QStringLiteral(" width=\"%1\" height=\"%2\" viewBox=\"%3 %4 %5 %6\""
                                       " preserveAspectRatio=\"none\"")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(frame.x(), 0, 'g', 17)
                            .arg(frame.y(), 0, 'g', 17)
                            .arg(frame.width(), 0, 'g', 17)
                            .arg(frame.height(), 0, 'g', 17));
    return (text.left(start) + tag + text.mid(end)).toLatin1();
}

// The largest difference of a channel between two premultiplied pictures.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            largest = std::max(
                {largest, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                 std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
    }
    return largest;
}

// Writes the picture's drawing framed as its image file, so that prints
// and exports at size draw it sharp, after checking that it renders as the
// image file does.
void StageDrawing(const QString& svgFile, const RenderedPicture& picture, const QString& path) {
    QFile in(svgFile);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + svgFile.toStdString());
    const QByteArray framed = FramedDrawing(in.readAll(), picture.frame, picture.image.size());
    QSvgRenderer staged(framed);
    if (framed.isEmpty() || !staged.isValid())
        throw std::runtime_error("cannot frame the drawing " + svgFile.toStdString());
    QImage check(picture.image.size(), QImage::Format_ARGB32_Premultiplied);
    check.fill(Qt::transparent);
    {
        QPainter p(&check);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        staged.render(&p, QRectF(QPointF(0, 0), QSizeF(check.size())));
    }
    const int difference = LargestDifference(check, picture.image);
    if (difference > kStagedDrawingTolerance)
        throw std::runtime_error(
            QStringLiteral("the framed drawing of %1 differs from its picture by %2")
                .arg(svgFile)
                .arg(difference)
                .toStdString());
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(framed) != framed.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// The picture's colours without premultiplied alpha, white where it is
// fully transparent, so that a reader ignoring the mask sees it on white.
QImage StraightColours(const QImage& premultiplied) {
    QImage straight = premultiplied.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(straight.scanLine(y));
        for (int x = 0; x < straight.width(); ++x)
            if (qAlpha(row[x]) == 0)
                row[x] = qRgba(255, 255, 255, 0);
    }
    return straight;
}

QImage AlphaMask(const QImage& premultiplied) {
    QImage mask(premultiplied.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < mask.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        uchar* out = mask.scanLine(y);
        for (int x = 0; x < mask.width(); ++x)
            out[x] = uchar(qAlpha(in[x]));
    }
    return mask;
}

// Draws the picture fitted into `area`, keeping its proportions.
void DrawFitted(QPainter& p, const QImage& picture, const QRectF& area) {
    const QSizeF fitted = QSizeF(picture.size()).scaled(area.size(), Qt::KeepAspectRatio);
    const QRectF target(area.center().x() - fitted.width() / 2,
                        area.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    // Halve in steps so that the large reduction averages every pixel.
    QImage reduced = picture;
    while (reduced.width() > 2 * fitted.width() + 2)
        reduced =
            reduced.scaled(reduced.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(target, reduced);
}

QImage Thumbnail(const QImage& premultiplied) {
    QImage thumb(kThumbnail, QImage::Format_RGB32);
    thumb.fill(Qt::white);
    QPainter p(&thumb);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    DrawFitted(p, premultiplied, QRectF(4, 4, kThumbnail.width() - 8, kThumbnail.height() - 8));
    return thumb;
}

// A category's thumbnail: its cover picture on a tinted, softly lit card.
QImage CategoryThumbnail(const QImage& cover, const QColor& tint) {
    QImage thumb(kThumbnail, QImage::Format_RGB32);
    QPainter p(&thumb);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF all(QPointF(0, 0), kThumbnail);
    QLinearGradient fill(all.topLeft(), all.bottomLeft());
    fill.setColorAt(0, tint.lighter(125));
    fill.setColorAt(1, tint.darker(112));
    p.fillRect(all, fill);
    QRadialGradient halo(all.center(), kThumbnail.height() * 0.55);
    halo.setColorAt(0, QColor(255, 255, 255, 200));
    halo.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(all, halo);
    DrawFitted(p, cover, all.adjusted(8, 5, -8, -5));
    return thumb;
}

void RenderJob(const Job& job, const QString& svgRoot, const QString& dataDir) {
    const QString svgFile = svgRoot + QLatin1Char('/') + job.picture->svgPath;
    const RenderedPicture rendered = RenderPicture(svgFile);
    const QImage& picture = rendered.image;
    job.picture->size = picture.size();
    const QString folder = dataDir + QLatin1Char('/') + job.category->name + QLatin1Char('/');
    WriteBmp24(StraightColours(picture), folder + QLatin1Char('i') + job.picture->name + ".bmp");
    WriteMaskRle8(AlphaMask(picture), folder + QLatin1Char('a') + job.picture->name + ".bmp");
    WriteBmp24(Thumbnail(picture), folder + QLatin1Char('t') + job.picture->name + ".bmp");
    StageDrawing(svgFile, rendered, folder + QLatin1Char('i') + job.picture->name + ".svg");
    if (job.picture->name == job.category->cover)
        WriteBmp24(CategoryThumbnail(picture, QColor(job.category->tint)),
                   dataDir + QLatin1Char('/') + QLatin1Char('t') + job.category->name + ".bmp");
}

} // namespace

int ClipArtLibrary::PictureCount() const {
    int n = 0;
    for (const ClipArtCategory& c : categories)
        n += int(c.pictures.size());
    return n;
}

const ClipArtPicture* ClipArtLibrary::Find(const QString& category, const QString& name) const {
    for (const ClipArtCategory& c : categories)
        if (c.name == category)
            for (const ClipArtPicture& picture : c.pictures)
                if (picture.name == name)
                    return &picture;
    return nullptr;
}

QString ClipArtLibrary::StoredImageName(const QString& category, const QString& name) {
    return QStringLiteral("res\\Data\\%1\\i%2.bmp").arg(category, name);
}

ClipArtLibrary ReadClipArtManifest(const QString& manifestPath) {
    QFile file(manifestPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + manifestPath.toStdString());
    ClipArtLibrary library;
    std::set<QString> categoryNames;
    std::set<QString> pictureNames; // per category
    QTextStream in(&file);
    int lineNumber = 0;
    auto checkCategory = [&](int line) {
        if (library.categories.isEmpty())
            return;
        const ClipArtCategory& c = library.categories.back();
        const int n = int(c.pictures.size());
        if (n < kMinPerCategory || n > kMaxPerCategory)
            Fail(manifestPath, line,
                 QStringLiteral("category %1 has %2 pictures, wants %3 to %4")
                     .arg(c.name)
                     .arg(n)
                     .arg(kMinPerCategory)
                     .arg(kMaxPerCategory));
        if (!pictureNames.count(c.cover))
            Fail(manifestPath, line, "cover " + c.cover + " is not a picture of " + c.name);
    };
    while (!in.atEnd()) {
        ++lineNumber;
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList words = line.split(QRegularExpression("\\s+"));
        if (words[0] == QLatin1String("category")) {
            if (words.size() != 4)
                Fail(manifestPath, lineNumber, "want: category <folder> <cover> <#rrggbb>");
            checkCategory(lineNumber);
            if (!kNamePattern.match(words[1]).hasMatch() || !categoryNames.insert(words[1]).second)
                Fail(manifestPath, lineNumber, "bad or repeated category name " + words[1]);
            if (!QColor(words[3]).isValid())
                Fail(manifestPath, lineNumber, "bad colour " + words[3]);
            library.categories.append({words[1], words[2], words[3], {}});
            pictureNames.clear();
            continue;
        }
        if (words.size() != 2 || library.categories.isEmpty())
            Fail(manifestPath, lineNumber, "want: <name> <svg path> after a category line");
        if (!kNamePattern.match(words[0]).hasMatch() || !pictureNames.insert(words[0]).second)
            Fail(manifestPath, lineNumber, "bad or repeated picture name " + words[0]);
        library.categories.back().pictures.append({words[0], words[1], QSize()});
    }
    checkCategory(lineNumber);
    if (library.categories.isEmpty())
        Fail(manifestPath, lineNumber, "no categories");
    return library;
}

ClipArtLibrary BuildClipArt(const QString& manifestPath, const QString& svgRoot,
                            const QString& resDir) {
    ClipArtLibrary library = ReadClipArtManifest(manifestPath);
    QList<Job> jobs;
    for (ClipArtCategory& category : library.categories)
        for (ClipArtPicture& picture : category.pictures)
            jobs.append({&category, &picture});
    const QString dataDir = resDir + QStringLiteral("/Data");
    QMutex mutex;
    QStringList errors;
    QtConcurrent::blockingMap(jobs, [&](const Job& job) {
        try {
            RenderJob(job, svgRoot, dataDir);
        } catch (const std::exception& e) {
            const QMutexLocker lock(&mutex);
            errors.append(QString::fromStdString(e.what()));
        }
    });
    if (!errors.isEmpty())
        throw std::runtime_error(errors.join(QLatin1Char('\n')).toStdString());
    return library;
}

} // namespace resbuilder
