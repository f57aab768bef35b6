#include "templates.h"

#include "clipart.h"
#include "output.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTextStream>

#include <stdexcept>

namespace resbuilder {
namespace {

// The page size written into the file; the program rescales every box from
// it to its own page, so only the proportions matter.
constexpr double kPageWidth = 400.0;
// The text layer wraps its text at this width before it is scaled to its box.
constexpr int kWrapWidth = 1200;

struct Source {
    QString path;
    int line = 0;
    [[noreturn]] void Fail(const QString& what) const {
        throw std::runtime_error(
            QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what).toStdString());
    }
};

int ColourRef(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QColor ParseColour(const Source& src, const QString& word) {
    const QColor c(word);
    if (!word.startsWith('#') || !c.isValid())
        src.Fail("bad colour " + word);
    return c;
}

double ParseNumber(const Source& src, const QString& word) {
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok)
        src.Fail("bad number " + word);
    return v;
}

// Splits a line into words; a word in double quotes may hold spaces. The
// rest of a text statement after its fixed words is kept whole.
QStringList Words(const QString& line, int maxWords) {
    QStringList words;
    int i = 0;
    while (i < line.size() && words.size() < maxWords - 1) {
        while (i < line.size() && line[i].isSpace())
            ++i;
        if (i >= line.size())
            break;
        if (line[i] == '"') {
            const int end = line.indexOf('"', i + 1);
            words.append(line.mid(i + 1, end < 0 ? -1 : end - i - 1));
            i = end < 0 ? int(line.size()) : end + 1;
        } else {
            int end = i;
            while (end < line.size() && !line[end].isSpace())
                ++end;
            words.append(line.mid(i, end - i));
            i = end;
        }
    }
    const QString rest = line.mid(i).trimmed();
    if (!rest.isEmpty())
        words.append(rest);
    return words;
}

struct Design {
    double aspect = 0.95;
    int mode = 0;
    QColor colours[5] = {Qt::white, Qt::white, Qt::white, Qt::white, Qt::white};
    QStringList layers; // text of each layer record, back to front
    double PageHeight() const { return std::round(kPageWidth / aspect); }
};

QString BoxBlock(double x, double y, double w, double h, bool mirrored, bool flipped) {
    return QStringLiteral("0\n%1\n%2\n%3\n%4\n1\n%5\n%6\n")
        .arg(x, 0, 'f', 6)
        .arg(y, 0, 'f', 6)
        .arg(w, 0, 'f', 6)
        .arg(h, 0, 'f', 6)
        .arg(mirrored ? 1 : 0)
        .arg(flipped ? 1 : 0);
}

// The left edge in page pixels: a fraction, or "c" to centre the box.
double Left(const Source& src, const QString& word, double width) {
    return word == "c" ? (kPageWidth - width) / 2 : ParseNumber(src, word) * kPageWidth;
}

void CheckInside(const Source& src, const Design& d, double x, double y, double w, double h) {
    const double slack = 0.5;
    if (x < -slack || y < -slack || x + w > kPageWidth + slack || y + h > d.PageHeight() + slack)
        src.Fail(QStringLiteral("box %1,%2 %3x%4 leaves the page %5x%6")
                     .arg(x)
                     .arg(y)
                     .arg(w)
                     .arg(h)
                     .arg(kPageWidth)
                     .arg(d.PageHeight()));
}

void AddPicture(const Source& src, Design& d, const QStringList& w, const ClipArtLibrary& library) {
    if (w.size() < 5)
        src.Fail("want: picture <category>/<name> <left> <top> <width> [options]");
    const QStringList id = w[1].split('/');
    const ClipArtPicture* picture = id.size() == 2 ? library.Find(id[0], id[1]) : nullptr;
    if (!picture)
        src.Fail("no such clip art: " + w[1]);
    const double width = ParseNumber(src, w[4]) * kPageWidth;
    const double height = width * picture->size.height() / picture->size.width();
    const double x = Left(src, w[2], width), y = ParseNumber(src, w[3]) * d.PageHeight();
    int opacity = 255;
    bool mirrored = false, flipped = false;
    for (int i = 5; i < w.size(); ++i) {
        if (w[i] == "opacity" && i + 1 < w.size())
            opacity = int(ParseNumber(src, w[++i]));
        else if (w[i] == "mirrored")
            mirrored = true;
        else if (w[i] == "flipped")
            flipped = true;
        else
            src.Fail("unknown picture option " + w[i]);
    }
    CheckInside(src, d, x, y, width, height);
    const QString image = ClipArtLibrary::StoredImageName(id[0], id[1]);
    QString alpha = image, thumb = image;
    const int letter = int(image.lastIndexOf('\\')) + 1; // the "i" of the triple
    alpha[letter] = 'a';
    thumb[letter] = 't';
    // Kind 3: clip art comes with its thumbnail, and the layer list keeps
    // such a picture as a thumbnail item, so the program writes it so too.
    d.layers.append(QStringLiteral("3\n%1\n0\n%2\n%3\n%4\n").arg(opacity).arg(image, alpha, thumb) +
                    BoxBlock(x, y, width, height, mirrored, flipped));
}

void AddText(const Source& src, Design& d, const QStringList& w) {
    if (w.size() != 10)
        src.Fail("want: text <left> <top> <width> <align> <#colour> \"<face>\" <size> <style> "
                 "<text>");
    const QMap<QString, int> aligns{{"left", 0}, {"centre", 1}, {"right", 2}};
    if (!aligns.contains(w[4]))
        src.Fail("bad alignment " + w[4]);
    const QColor colour = ParseColour(src, w[5]);
    const QString face = w[6];
    const int size = int(ParseNumber(src, w[7]));
    const QString style = w[8];
    const bool bold = style.startsWith("bold"), italic = style.endsWith("italic");
    if (!bold && !italic && style != "regular")
        src.Fail("bad style " + style);
    const QString wantedStyle = bold && italic ? "Bold Italic"
                                : bold         ? "Bold"
                                : italic       ? "Italic"
                                               : QString();
    if (!QFontDatabase::families().contains(face) ||
        (!wantedStyle.isEmpty() && !QFontDatabase::styles(face).contains(wantedStyle)))
        src.Fail("font not installed: " + face + " " + style);
    QString text = w[9];
    text.replace('|', '\n');

    // The proportions of the text as the text layer renders it: word-wrapped
    // at 1200 pixels, as wide as its widest line and as high as its lines.
    QFont font(face);
    font.setPixelSize(size);
    font.setBold(bold);
    font.setItalic(italic);
    const int flags = Qt::TextWordWrap | (w[4] == "centre"  ? Qt::AlignHCenter
                                          : w[4] == "right" ? Qt::AlignRight
                                                            : Qt::AlignLeft);
    const QRect measured =
        QFontMetrics(font).boundingRect(QRect(0, 0, kWrapWidth, kWrapWidth), flags, text);
    const double width = ParseNumber(src, w[3]) * kPageWidth;
    const double height = width * measured.height() / measured.width();
    const double x = Left(src, w[1], width), y = ParseNumber(src, w[2]) * d.PageHeight();
    CheckInside(src, d, x, y, width, height);

    QString record = QStringLiteral("1\n255\n%1\n%2\nBEGIN_STRING\n%3\nEND_STRING\n")
                         .arg(ColourRef(colour))
                         .arg(aligns[w[4]])
                         .arg(QString(text).replace("\n", "\r\n"));
    // The font description: height (negative: character pixels), width,
    // escapement, orientation, weight, italic, underline, strike-out,
    // character set, output, clip and quality precision, pitch and family.
    record += QStringLiteral("%1\n0\n0\n0\n%2\n%3\n0\n0\n0\n0\n0\n0\n0\n%4\n")
                  .arg(-size)
                  .arg(bold ? 700 : 400)
                  .arg(italic ? 1 : 0)
                  .arg(face);
    d.layers.append(record + BoxBlock(x, y, width, height, false, false));
}

QByteArray ReadDesign(const QString& path, const ClipArtLibrary& library) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + path.toStdString());
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    Source src{path};
    Design d;
    bool sawPage = false;
    while (!in.atEnd()) {
        ++src.line;
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList w = Words(line, line.startsWith("text") ? 10 : 64);
        if (w[0] == "page" && w.size() == 3) {
            d.aspect = ParseNumber(src, w[1]);
            d.mode = int(ParseNumber(src, w[2]));
            if (d.aspect < 0.2 || d.aspect > 5 || d.mode < 0 || d.mode > 3)
                src.Fail("page aspect or mode out of range");
            sawPage = true;
        } else if (w[0] == "colours" && w.size() == 6) {
            for (int i = 0; i < 5; ++i)
                d.colours[i] = ParseColour(src, w[i + 1]);
        } else if (w[0] == "picture") {
            if (!sawPage)
                src.Fail("page must come first");
            AddPicture(src, d, w, library);
        } else if (w[0] == "text") {
            if (!sawPage)
                src.Fail("page must come first");
            AddText(src, d, w);
        } else {
            src.Fail("unknown statement: " + line);
        }
    }
    if (d.layers.isEmpty())
        src.Fail("a template without layers");
    QString out;
    for (const QColor& c : d.colours)
        out += QString::number(ColourRef(c)) + '\n';
    out += QStringLiteral("%1\n%2\n%3\n%4\n%5\n")
               .arg(d.mode)
               .arg(d.aspect, 0, 'f', 6)
               .arg(d.layers.size())
               .arg(int(kPageWidth))
               .arg(int(d.PageHeight()));
    for (const QString& layer : d.layers)
        out += layer;
    return out.toUtf8();
}

} // namespace

int BuildTemplates(const QString& sourceDir, const QString& resDir, const ClipArtLibrary& library) {
    const QDir sources(sourceDir);
    int written = 0;
    for (const QString& folder : sources.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir in(sources.filePath(folder));
        for (const QFileInfo& f : in.entryInfoList({"*.tpl"}, QDir::Files, QDir::Name)) {
            const QByteArray design = ReadDesign(f.filePath(), library);
            WriteFileAtomically(resDir + "/Tmplts/" + folder + '/' + f.completeBaseName() + ".prt",
                                design);
            ++written;
        }
    }
    return written;
}

} // namespace resbuilder
