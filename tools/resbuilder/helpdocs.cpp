#include "helpdocs.h"

#include "artwork.h"
#include "designpreview.h"
#include "layout.h"
#include "output.h"
#include "theme.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>
#include <stdexcept>

namespace resbuilder {
namespace {

struct Guide {
    const char* source; // help/<source>.html
    const char* file;   // res/<file>
    const char* prefix; // where the language's button skins are
    const char* title;
};

const Guide kGuides[] = {
    {"nl", "dhelp.pdf", "res\\kv\\in", "Kavelo handleiding"},
    {"fr", "fhelp.pdf", "res\\if", "Guide de Kavelo"},
    {"en", "ehelp.pdf", "res\\ie", "Kavelo user guide"},
    {"de", "ghelp.pdf", "res\\ig", "Kavelo Handbuch"},
};

const char* const kCommandKeys[] = {"quit", "load", "save", "print", "pprev", "txtadd", "txted"};

// Sizes in pixels throughout: the document mixes them with its pictures,
// and the page is laid out at 96 pixels to the inch.
const char* const kStyleSheet = R"(
body { font-family: 'Liberation Sans'; font-size: 14px; color: #1f2533; }
h1 { font-family: 'DejaVu Sans'; font-size: 30px; color: #1a2850; margin-bottom: 4px; }
h2 { font-family: 'DejaVu Sans'; font-size: 20px; color: #2b5cc0; margin-top: 20px;
     margin-bottom: 6px; }
p { margin-top: 4px; margin-bottom: 7px; }
p.lead { font-size: 16px; color: #495057; margin-bottom: 16px; }
p.tip { background-color: #fff4d6; color: #5c4400; }
li { margin-bottom: 4px; }
table.pictures td { padding: 6px; vertical-align: top; }
table.keys { border-width: 1px; border-style: solid; border-color: #c5cbd8; }
table.keys th { background-color: #e7ecf7; color: #1a2850; padding: 4px; text-align: left; }
table.keys td { padding: 4px; }
)";

QImage ReadImage(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error("cannot read " + path.toStdString());
    return image;
}

const QImage& StripNamed(const QList<NamedPicture>& strips, const QString& name) {
    for (const NamedPicture& s : strips)
        if (s.storedName == name)
            return s.image;
    throw std::runtime_error("no button strip " + name.toStdString());
}

// A thumb of a strip as the program draws it: a black field with the
// picture fitted in it and a two-pixel frame in the thumb's colour.
void PaintThumb(QPainter& p, const QRect& box, const QImage& picture, const QColor& frame) {
    p.fillRect(box, QColor(0x40, 0x40, 0x40));
    const QRect field = box.adjusted(2, 2, -2, -2);
    p.fillRect(field, Qt::black);
    const QSize fitted = picture.size().scaled(field.size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(field.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted),
                picture);
    p.setPen(QPen(frame, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box.adjusted(1, 1, -1, -1));
}

// The thumbs of a strip, between its scroll buttons.
void PaintStrip(QPainter& p, const layout::Box& strip, const QList<QImage>& pictures) {
    for (int i = 0; i < 8 && i < pictures.size(); ++i) {
        const int top = strip.top + layout::kStripGapY +
                        (i + 1) * (layout::kStripMemberHeight + layout::kStripGapY);
        const QRect box(strip.left + layout::kStripGapX, top, layout::kStripMemberWidth,
                        layout::kStripMemberHeight);
        // The category strip's frames run from red to green.
        PaintThumb(p, box, pictures[i], QColor(255 - i * 32, i * 32, 0));
    }
}

// The main view of one language as the guide shows it: background, buttons,
// filled thumb strips, a template on the page, and numbered call-outs.
QImage Overview(const QString& resDir, const QList<NamedPicture>& strips, const Guide& g) {
    QImage view = MainBackground();
    QPainter p(&view);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QList<std::pair<const char*, layout::Box>> buttons = {
        {"quit", layout::kQuit},     {"load", layout::kLoad},     {"save", layout::kSave},
        {"print", layout::kPrint},   {"pprev", layout::kPreview}, {"txtadd", layout::kAddText},
        {"txted", layout::kEditText}};
    for (const auto& [key, box] : buttons)
        p.drawImage(box.left, box.top,
                    StripLook(StripNamed(strips, QString::fromLatin1(g.prefix) + key), 1));
    const QList<std::pair<const char*, layout::Box>> tools = {
        {"ielup", layout::kLayerUp},
        {"ieldown", layout::kLayerDown},
        {"ieldel", layout::kLayerDelete},
        {"iedelall", layout::kLayerDeleteAll}};
    for (const auto& [name, box] : tools)
        p.drawImage(box.left, box.top,
                    StripLook(StripNamed(strips, QStringLiteral("res\\kv\\") + name), 1));
    const QImage up = StripLook(StripNamed(strips, "res\\kv\\ieup"), 1);
    const QImage down = StripLook(StripNamed(strips, "res\\kv\\iedown"), 1);
    for (const layout::Box& strip : {layout::kCategoryStrip, layout::kFileStrip}) {
        const int x = strip.left + layout::kStripGapX;
        p.drawImage(x, strip.top + layout::kStripGapY, up);
        p.drawImage(x,
                    strip.top + layout::kStripGapY +
                        9 * (layout::kStripMemberHeight + layout::kStripGapY),
                    down);
    }

    const QDir data(resDir + "/Data");
    QList<QImage> categories, pictures;
    for (const QFileInfo& f : data.entryInfoList({"t*.bmp"}, QDir::Files, QDir::Name))
        categories.append(ReadImage(f.filePath()));
    const QDir animals(data.filePath("animals"));
    for (const QFileInfo& f : animals.entryInfoList({"t*.bmp"}, QDir::Files, QDir::Name))
        pictures.append(ReadImage(f.filePath()));
    PaintStrip(p, layout::kCategoryStrip, categories);
    PaintStrip(p, layout::kFileStrip, pictures);

    // A template on the page, centred in the page area.
    const QRect area = layout::kPage.ToQRect();
    p.fillRect(area, QColor(0x3c, 0x3c, 0x46));
    const QImage design = PreviewDesign(resDir + "/Tmplts/Kavelos/Surfclub.prt",
                                        QFileInfo(resDir).absolutePath(), area.height() - 24);
    p.drawImage(area.center() - QPoint(design.width() / 2, design.height() / 2), design);

    // Colour swatches as the program draws them: a yellow band around white.
    QList<layout::Box> swatches(std::begin(layout::kCornerColours),
                                std::end(layout::kCornerColours));
    swatches.append(layout::kMainColour);
    for (const layout::Box& s : swatches) {
        p.fillRect(s.ToQRect(), QColor(0xf9, 0xec, 0x77));
        p.fillRect(s.ToQRect().adjusted(5, 5, -5, -5), Qt::white);
    }

    // Call-outs, numbered as in the guide's list.
    // Placed on gaps and edges, so that no button label is hidden.
    const QPoint callouts[] = {{111, 200}, {690, 200}, {400, 560}, {400, 62},
                               {582, 100}, {46, 60},   {146, 111}, {776, 59}};
    p.setFont(InterfaceFont(17));
    for (int i = 0; i < 8; ++i) {
        p.setPen(QPen(Qt::white, 2.5));
        p.setBrush(colours::kAmber);
        p.drawEllipse(callouts[i], 13, 13);
        p.setPen(colours::kNavy);
        p.drawText(QRect(callouts[i] - QPoint(13, 13), QSize(26, 26)), Qt::AlignCenter,
                   QString::number(i + 1));
    }
    return view;
}

// The pictures a guide may name: skin:<key> for the buttons of its
// language and of the shared tools, art:<name> for the other pictures.
void AddResources(QTextDocument& doc, const QString& resDir, const QList<NamedPicture>& strips,
                  const Guide& g) {
    for (const char* key : kCommandKeys)
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("skin:") + key),
                        StripLook(StripNamed(strips, QString::fromLatin1(g.prefix) + key), 1));
    for (const char* name : {"ieup", "iedown", "ielup", "ieldown", "ieldel", "iedelall"})
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("skin:") + name),
                        StripLook(StripNamed(strips, QStringLiteral("res\\kv\\") + name), 1));

    QImage mark(600, 120, QImage::Format_RGB32);
    mark.fill(Qt::white);
    {
        QPainter p(&mark);
        PaintProductMark(p, QRectF(0, 10, 600, 100), false);
    }
    doc.addResource(QTextDocument::ImageResource, QUrl("art:mark"), mark);
    doc.addResource(QTextDocument::ImageResource, QUrl("art:wiz00"),
                    StripLook(WizardStrip(false), 1));
    doc.addResource(QTextDocument::ImageResource, QUrl("art:wiz01"),
                    StripLook(WizardStrip(true), 1));
    for (int mode = 0; mode < 3; ++mode)
        doc.addResource(QTextDocument::ImageResource,
                        QUrl(QStringLiteral("art:pp%1").arg(mode, 2, 10, QChar('0'))),
                        PageModePicture(mode));
    doc.addResource(QTextDocument::ImageResource, QUrl("art:overview"),
                    Overview(resDir, strips, g));
}

// Every picture the source names must be one the builder provides.
void CheckPictures(const QString& html, const QTextDocument& doc, const QString& source) {
    static const QRegularExpression src(QStringLiteral("src=\"([^\"]+)\""));
    for (auto it = src.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (doc.resource(QTextDocument::ImageResource, QUrl(name)).isNull())
            throw std::runtime_error(source.toStdString() + ": unknown picture " +
                                     name.toStdString());
    }
}

// Moves a heading that would end a page, without room for some of its text
// under it, to the top of the next page.
void KeepHeadingsWithText(QTextDocument& doc, qreal pageHeight) {
    constexpr qreal kRoomBelow = 80.0; // about four lines of text
    for (int pass = 0; pass < 8; ++pass) {
        bool moved = false;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
            QTextBlockFormat format = b.blockFormat();
            if (format.headingLevel() == 0 ||
                format.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
                continue;
            const QRectF r = doc.documentLayout()->blockBoundingRect(b);
            const qreal pageEnd = (std::floor(r.top() / pageHeight) + 1) * pageHeight;
            if (r.bottom() + kRoomBelow > pageEnd) {
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(b).setBlockFormat(format);
                // NOTE: the layout updates lazily and may keep stale blocks
                // after a format change; lay the whole document out again.
                doc.markContentsDirty(0, doc.characterCount());
                moved = true;
                break; // the layout below has changed: measure again
            }
        }
        if (!moved)
            return;
    }
}

// Lays the document out on pages at 96 pixels to the inch, the unit of its
// style sheet and pictures, and paints each page scaled onto an A4 sheet,
// with the title and the page number at the foot.
QByteArray RenderPdf(QTextDocument& doc, const QString& title) {
    constexpr int kDeviceDpi = 300;
    constexpr qreal kLayoutDpi = 96.0;
    constexpr qreal kFooter = 28.0; // layout pixels kept free at the foot
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Kavelo"));
    pdf.setResolution(kDeviceDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(18, 16, 18, 12), QPageLayout::Millimeter));
    const qreal scale = kDeviceDpi / kLayoutDpi;
    const QRectF paintable = pdf.pageLayout().paintRectPixels(kDeviceDpi);
    const QSizeF page(paintable.width() / scale, paintable.height() / scale - kFooter);
    doc.setDocumentMargin(0);
    doc.setPageSize(page);
    KeepHeadingsWithText(doc, page.height());

    QPainter p(&pdf);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(scale, scale);
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            pdf.newPage();
        p.save();
        p.translate(0, -i * page.height());
        doc.drawContents(&p, QRectF(0, i * page.height(), page.width(), page.height()));
        p.restore();
        const QRectF foot(0, page.height() + 8, page.width(), kFooter - 8);
        p.setPen(QPen(QColor(0xc5, 0xcb, 0xd8), 0.8));
        p.drawLine(foot.topLeft(), foot.topRight());
        p.setFont(InterfaceFont(11, false));
        p.setPen(QColor(0x6c, 0x75, 0x88));
        p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, title);
        p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
    }
    p.end();
    return buffer.data();
}

} // namespace

void BuildHelpDocuments(const QString& helpDir, const QString& resDir,
                        const QList<NamedPicture>& strips) {
    for (const Guide& g : kGuides) {
        const QString source = helpDir + '/' + g.source + ".html";
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + source.toStdString());
        const QString html = QString::fromUtf8(file.readAll());
        QTextDocument doc;
        doc.setDefaultFont(InterfaceFont(14, false));
        doc.setDefaultStyleSheet(QString::fromLatin1(kStyleSheet));
        AddResources(doc, resDir, strips, g);
        CheckPictures(html, doc, source);
        doc.setHtml(html);
        WriteFileAtomically(resDir + '/' + g.file, RenderPdf(doc, QString::fromUtf8(g.title)));
    }
}

} // namespace resbuilder
