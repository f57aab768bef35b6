// The staged resource folder holds every file the program loads, under the
// exact names it asks for, and each decodes as the type the program expects.
// BMP and PDF files are checked here byte by byte and with Qt's own reader,
// independently of the program's codec layer.

#include "app/messagetable.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kStage = MORVANE_STAGE_DIR;

// The file of a stored name ("res\\kv\\inquit") in the staged program folder.
std::string OnDisk(const std::string& stored) {
    return kStage + "/" + platform::NativePath(stored);
}

const char* Text(int id, int language) {
    return kMessageTable[id - 1000].texts[language - 1];
}

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

uint32_t Le32(const QByteArray& b, int at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const QByteArray& b, int at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

struct Bmp {
    int width = 0, height = 0, bits = 0;
    uint32_t compression = 0, colours = 0;
    QImage image; // as Qt decodes it
};

// Reads a BMP file and checks its headers against its length: signature,
// declared file size, a 40-byte information header, the pixel data offset,
// and for uncompressed pictures the exact size of the padded rows. Returns
// what is wrong, or an empty string.
std::string ReadBmp(const std::string& path, Bmp& bmp) {
    const QByteArray b = ReadAll(path);
    if (b.isEmpty())
        return "missing or empty";
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return "no BMP signature";
    if (Le32(b, 2) != uint32_t(b.size()))
        return "declared size " + std::to_string(Le32(b, 2)) + " but file has " +
               std::to_string(b.size());
    if (Le32(b, 14) != 40)
        return "information header is not 40 bytes";
    bmp.width = int(Le32(b, 18));
    bmp.height = int(Le32(b, 22));
    bmp.bits = Le16(b, 28);
    bmp.compression = Le32(b, 30);
    bmp.colours = Le32(b, 46);
    const uint32_t offset = Le32(b, 10);
    const uint32_t table = bmp.bits <= 8 ? 4 * (bmp.colours ? bmp.colours : 1u << bmp.bits) : 0;
    if (bmp.width <= 0 || bmp.height <= 0)
        return "not a bottom-up picture with a positive size";
    if (offset != 54 + table)
        return "pixel data offset " + std::to_string(offset) + ", expected " +
               std::to_string(54 + table);
    if (bmp.compression == 0) {
        const int64_t rows = int64_t((bmp.width * bmp.bits + 31) / 32) * 4 * bmp.height;
        if (offset + rows != b.size())
            return "pixel data of " + std::to_string(b.size() - offset) + " bytes, expected " +
                   std::to_string(rows);
    }
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    if (reader.format() != "bmp")
        return "not recognised as BMP by its content";
    bmp.image = reader.read();
    if (bmp.image.isNull())
        return "does not decode: " + reader.errorString().toStdString();
    if (bmp.image.width() != bmp.width || bmp.image.height() != bmp.height)
        return "decodes to another size";
    return std::string();
}

// The name of the image file that the loader opens for a stored picture name:
// the triple's names are derived by replacing the first letter of the file
// name by 'i', keeping folder and extension.
std::string DerivedImageName(std::string stored) {
    const size_t slash = stored.rfind('\\');
    stored[slash == std::string::npos ? 0 : slash + 1] = 'i';
    return stored;
}

// A strip of four looks of a button of the given size, 24-bit, under a name
// that the loader opens unchanged.
void ExpectStrip(const std::string& stored, int width, int height) {
    SCOPED_TRACE(stored);
    EXPECT_EQ(DerivedImageName(stored), stored) << "the loader would open another file";
    Bmp bmp;
    const std::string problem = ReadBmp(OnDisk(stored), bmp);
    ASSERT_EQ(problem, "");
    EXPECT_EQ(bmp.bits, 24);
    EXPECT_EQ(bmp.compression, 0u);
    EXPECT_EQ(bmp.height % 4, 0) << "strip height " << bmp.height;
    EXPECT_EQ(bmp.width, width);
    EXPECT_EQ(bmp.height, 4 * height);
    // The four looks differ: disabled, normal, hover and pressed.
    std::set<QByteArray> looks;
    for (int i = 0; i < 4; ++i) {
        const QImage look = bmp.image.copy(0, i * height, width, height);
        looks.insert(
            QByteArray(reinterpret_cast<const char*>(look.constBits()), look.sizeInBytes()));
    }
    EXPECT_EQ(looks.size(), 4u) << "some looks of the strip are identical";
}

void ExpectPicture(const std::string& stored, int width, int height) {
    SCOPED_TRACE(stored);
    Bmp bmp;
    ASSERT_EQ(ReadBmp(OnDisk(stored), bmp), "");
    EXPECT_EQ(bmp.bits, 24);
    EXPECT_EQ(bmp.width, width);
    EXPECT_EQ(bmp.height, height);
}

TEST(ResourcesTest, MainButtonSkinsOfEveryLanguageAreStripsOfTheirButtonSize) {
    // Messages 1001 to 1007: quit, load, save, print, preview, add text, edit text.
    const int sizes[7][2] = {{154, 52}, {154, 52}, {154, 52}, {154, 52},
                             {154, 52}, {116, 52}, {38, 52}};
    for (int id = 1001; id <= 1007; ++id)
        for (int language = 1; language <= 4; ++language)
            ExpectStrip(Text(id, language), sizes[id - 1001][0], sizes[id - 1001][1]);
}

TEST(ResourcesTest, StripScrollLayerAndWizardButtonsAreStrips) {
    ExpectStrip("res\\kv\\ieup", 56, 40);
    ExpectStrip("res\\kv\\iedown", 56, 40);
    for (const char* name :
         {"res\\kv\\ielup", "res\\kv\\ieldown", "res\\kv\\ieldel", "res\\kv\\iedelall"})
        ExpectStrip(name, 42, 59);
    ExpectStrip("res\\kv\\iewiz00", 256, 136);
    ExpectStrip("res\\kv\\iewiz01", 256, 136);
}

TEST(ResourcesTest, BackgroundsSplashAndPageModePictures) {
    ExpectPicture("res\\kv\\iebgnd", 800, 600);
    ExpectPicture("res\\kv\\iebgnd8", 800, 600);
    ExpectPicture("res\\kv\\iesplsh", 500, 400);
    ExpectPicture("res\\kv\\iesplsh8", 500, 400);
    for (const char* name : {"res\\kv\\iepp00", "res\\kv\\iepp01", "res\\kv\\iepp02"})
        ExpectPicture(name, 320, 240);

    // The 256-colour variants use the default palette's colours only.
    Bmp palette, background, splash;
    ASSERT_EQ(ReadBmp(OnDisk("res\\kv\\idefpal.bmp"), palette), "");
    ASSERT_EQ(ReadBmp(OnDisk("res\\kv\\iebgnd8"), background), "");
    ASSERT_EQ(ReadBmp(OnDisk("res\\kv\\iesplsh8"), splash), "");
    const QList<QRgb> table = palette.image.colorTable();
    const std::set<QRgb> allowed(table.begin(), table.end());
    for (const Bmp* picture : {&background, &splash}) {
        const QImage rgb = picture->image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                ASSERT_TRUE(allowed.count(rgb.pixel(x, y)))
                    << "pixel " << x << "," << y << " #" << std::hex << rgb.pixel(x, y)
                    << " is not in the default palette";
    }
}

TEST(ResourcesTest, DefaultPaletteIsAnEightBitPictureOf256DistinctColours) {
    Bmp bmp;
    ASSERT_EQ(ReadBmp(OnDisk("res\\kv\\idefpal.bmp"), bmp), "");
    EXPECT_EQ(bmp.bits, 8);
    EXPECT_EQ(bmp.compression, 0u);
    EXPECT_EQ(bmp.colours, 256u);
    const QList<QRgb> table = bmp.image.colorTable();
    ASSERT_EQ(table.size(), 256);
    const std::set<QRgb> distinct(table.begin(), table.end());
    EXPECT_EQ(distinct.size(), 256u);
    EXPECT_TRUE(distinct.count(qRgb(0, 0, 0)) && distinct.count(qRgb(255, 255, 255)));
    // Every step of a 6 x 6 x 6 colour cube is there, so any colour has a
    // neighbour at most 25 away per channel.
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 51)
            for (int b = 0; b < 256; b += 51)
                EXPECT_TRUE(distinct.count(qRgb(r, g, b))) << r << "," << g << "," << b;
}

TEST(ResourcesTest, HelpDocumentsOfEveryLanguageArePdfDocuments) {
    std::set<std::string> names;
    for (int language = 1; language <= 4; ++language) {
        const std::string stored = Text(1018, language);
        SCOPED_TRACE(stored);
        names.insert(stored);
        const QByteArray pdf = ReadAll(OnDisk(stored));
        ASSERT_GT(pdf.size(), 20000) << "missing or too small";
        EXPECT_TRUE(pdf.startsWith("%PDF-1."));
        EXPECT_TRUE(pdf.right(64).contains("%%EOF"));
        EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                      pdf.count("/Type /Page/") + pdf.count("/Type /Page "),
                  3)
            << "a user guide of fewer than three pages";
    }
    EXPECT_EQ(names.size(), 4u) << "languages share a help document";
}

// A design file read the way the program reads it: lines up to a line feed,
// past the end every line empty.
class DesignLines {
public:
    explicit DesignLines(QByteArray data) : m_data(std::move(data)) {}
    std::string Next() {
        if (m_pos >= m_data.size())
            return std::string();
        qsizetype end = m_data.indexOf('\n', m_pos);
        if (end < 0)
            end = m_data.size();
        std::string line = m_data.mid(m_pos, end - m_pos).toStdString();
        m_pos = end + 1;
        return line;
    }
    long Number() { return std::atol(Next().c_str()); }
    double Real() { return std::atof(Next().c_str()); }
    bool AtEnd() const { return m_pos >= m_data.size(); }

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// A picture path of a design as the loader resolves it: characters of
// "\n\r \\'./" trimmed from both ends, then taken from the program folder.
std::string ResolvePicture(std::string path) {
    const std::string trim = "\n\r \\'./";
    path.erase(0, path.find_first_not_of(trim));
    path.erase(path.find_last_not_of(trim) + 1);
    return OnDisk(path);
}

void ExpectDesign(const QString& file, const QStringList& families) {
    SCOPED_TRACE(file.toStdString());
    DesignLines in(ReadAll(file.toStdString()));
    for (int i = 0; i < 5; ++i) {
        const long colour = in.Number();
        EXPECT_TRUE(colour >= 0 && colour <= 0xffffff) << "colour line " << i + 1;
    }
    const long mode = in.Number();
    EXPECT_TRUE(mode >= 0 && mode <= 3) << "page mode " << mode;
    EXPECT_GT(in.Real(), 0.1) << "page aspect";
    const long layers = in.Number();
    EXPECT_GT(in.Number(), 0) << "page width";
    EXPECT_GT(in.Number(), 0) << "page height";
    ASSERT_GE(layers, 2) << "a template of fewer than two layers";
    for (long i = 0; i < layers; ++i) {
        const long kind = in.Number();
        const long opacity = in.Number();
        EXPECT_TRUE(opacity > 0 && opacity <= 255) << "layer " << i;
        if (kind == 1) {
            in.Number(); // colour
            EXPECT_LE(in.Number(), 2) << "alignment of layer " << i;
            ASSERT_EQ(in.Next(), "BEGIN_STRING") << "layer " << i;
            int lines = 0;
            for (std::string line = in.Next(); line != "END_STRING"; line = in.Next()) {
                ASSERT_FALSE(in.AtEnd()) << "text of layer " << i << " never ends";
                ++lines;
            }
            EXPECT_GT(lines, 0);
            long font[13];
            for (long& v : font)
                v = in.Number();
            EXPECT_LT(font[0], 0) << "font height of layer " << i << " is not in pixels";
            const std::string face = in.Next();
            EXPECT_LE(face.size(), 31u);
            EXPECT_TRUE(families.contains(QString::fromStdString(face)))
                << "font " << face << " is not installed";
        } else {
            // Clip art with its thumbnail, as the program writes it.
            ASSERT_EQ(kind, 3) << "layer " << i;
            in.Number(); // load mode
            const std::string image = in.Next();
            in.Next();
            in.Next();
            Bmp picture, alpha;
            EXPECT_EQ(ReadBmp(ResolvePicture(image), picture), "") << image;
            EXPECT_EQ(ReadBmp(ResolvePicture(
                                  DerivedImageName(image).replace(image.rfind('\\') + 1, 1, "a")),
                              alpha),
                      "")
                << "alpha of " << image;
        }
        EXPECT_EQ(in.Number(), 0) << "reserved value of layer " << i;
        const double x = in.Real(), y = in.Real(), w = in.Real(), h = in.Real();
        EXPECT_TRUE(w > 0 && h > 0 && x >= -1 && y >= -1) << "box of layer " << i;
        EXPECT_EQ(in.Number(), 1) << "layer " << i << " is hidden";
        in.Number();
        in.Number();
    }
    EXPECT_TRUE(in.AtEnd()) << "lines after the last layer";
}

TEST(ResourcesTest, TemplateFoldersOfTheWizardHoldDesignsOfBundledPictures) {
    const QStringList families = QFontDatabase::families();
    std::set<std::string> folders;
    for (int id = 1022; id <= 1026; ++id)
        for (int language = 1; language <= 4; ++language)
            folders.insert(Text(id, language));
    EXPECT_EQ(folders.size(), 6u);
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const QDir dir(QString::fromStdString(OnDisk(folder)));
        ASSERT_TRUE(dir.exists());
        const QStringList designs = dir.entryList({"*.prt"}, QDir::Files);
        EXPECT_GE(designs.size(), 3);
        for (const QString& design : designs)
            ExpectDesign(dir.filePath(design), families);
    }
}

// A picture's drawing, drawn at the picture's size, covers what its alpha
// mask covers: the same frame of the same drawing.
void ExpectDrawingFramedAsPicture(const QString& svg, const QImage& mask) {
    QSvgRenderer drawing(svg);
    ASSERT_TRUE(drawing.isValid()) << svg.toStdString();
    EXPECT_EQ(drawing.defaultSize(), mask.size());
    QImage drawn(mask.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::Antialiasing);
        drawing.render(&painter, QRectF(QPointF(0, 0), QSizeF(mask.size())));
    }
    int largest = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            largest =
                std::max(largest, std::abs(qAlpha(drawn.pixel(x, y)) - qBlue(mask.pixel(x, y))));
    EXPECT_LE(largest, 3) << "coverage of the drawing against the mask";
}

TEST(ResourcesTest, ClipArtCategoriesHoldCompleteTriples) {
    const QDir data(QString::fromStdString(OnDisk("res\\Data")));
    ASSERT_TRUE(data.exists());
    const QRegularExpression plainName("^[a-z0-9]+$");

    // The category strip lists every t-file of res/Data and opens the
    // folder named by its base name without the 't'.
    const QStringList thumbs = data.entryList({"*"}, QDir::Files);
    const QStringList categories = data.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_GE(categories.size(), 10);
    for (const QString& thumb : thumbs) {
        ASSERT_TRUE(thumb.startsWith('t') && thumb.endsWith(".bmp")) << thumb.toStdString();
        EXPECT_TRUE(categories.contains(thumb.mid(1, thumb.size() - 5)))
            << thumb.toStdString() << " names no category folder";
    }
    int pictures = 0;
    for (const QString& category : categories) {
        SCOPED_TRACE(category.toStdString());
        EXPECT_TRUE(plainName.match(category).hasMatch());
        EXPECT_TRUE(thumbs.contains("t" + category + ".bmp")) << "no category thumbnail";
        Bmp cover;
        EXPECT_EQ(ReadBmp(data.filePath("t" + category + ".bmp").toStdString(), cover), "");
        const QDir folder(data.filePath(category));
        const QStringList images = folder.entryList({"i*.bmp"}, QDir::Files);
        EXPECT_GE(images.size(), 12);
        EXPECT_LE(images.size(), 40);
        EXPECT_EQ(folder.entryList(QDir::Files).size(), 4 * images.size())
            << "files besides the triples and their drawings";
        for (const QString& file : images) {
            const QString name = file.mid(1, file.size() - 5);
            SCOPED_TRACE(name.toStdString());
            EXPECT_TRUE(plainName.match(name).hasMatch());
            Bmp image, alpha, thumb;
            ASSERT_EQ(ReadBmp(folder.filePath(file).toStdString(), image), "");
            EXPECT_EQ(image.bits, 24);
            EXPECT_GE(std::max(image.width, image.height), 512);
            ASSERT_EQ(ReadBmp(folder.filePath("a" + name + ".bmp").toStdString(), alpha), "");
            EXPECT_EQ(alpha.width, image.width);
            EXPECT_EQ(alpha.height, image.height);
            // The blue byte of the decoded mask is the alpha: a picture has
            // fully transparent pixels around it and (nearly) opaque ones;
            // some artwork is drawn at 98 % opacity.
            const QImage mask = alpha.image.convertToFormat(QImage::Format_RGB32);
            bool transparent = false, opaque = false;
            for (int y = 0; y < mask.height(); ++y)
                for (int x = 0; x < mask.width(); ++x) {
                    transparent |= qBlue(mask.pixel(x, y)) == 0;
                    opaque |= qBlue(mask.pixel(x, y)) >= 240;
                }
            EXPECT_TRUE(transparent && opaque);
            ExpectDrawingFramedAsPicture(folder.filePath("i" + name + ".svg"), mask);
            ASSERT_EQ(ReadBmp(folder.filePath("t" + name + ".bmp").toStdString(), thumb), "");
            EXPECT_EQ(thumb.bits, 24);
            const int longer = std::max(thumb.width, thumb.height);
            EXPECT_TRUE(longer >= 64 && longer <= 128) << "thumbnail of " << longer;
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 150);
}

} // namespace
