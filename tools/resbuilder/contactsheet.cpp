#include "contactsheet.h"

#include "designpreview.h"
#include "theme.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>

#include <stdexcept>
#include <vector>

namespace resbuilder {
namespace {

constexpr int kSheetWidth = 1800;
constexpr int kMargin = 16;
constexpr int kCaption = 16;

struct Item {
    QString caption;
    QImage image; // as shown (strips already laid out side by side)
    qreal scale = 1.0;
};

struct Section {
    QString title;
    std::vector<Item> items;
};

QImage Load(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error("cannot read " + path.toStdString() + ": " +
                                 reader.errorString().toStdString());
    return image;
}

// The four looks of a strip next to each other, from disabled to pressed.
QImage SideBySide(const QImage& strip) {
    const int h = strip.height() / 4, w = strip.width(), gap = 4;
    QImage row(4 * w + 3 * gap, h, QImage::Format_RGB32);
    row.fill(QColor(0x60, 0x60, 0x60));
    QPainter p(&row);
    for (int i = 0; i < 4; ++i)
        p.drawImage(i * (w + gap), 0, strip, 0, i * h, w, h);
    return row;
}

bool IsStrip(const QString& name) {
    static const QRegularExpression strip(
        QStringLiteral("^(i[nfeg](quit|load|save|print|pprev|txtadd|txted)|"
                       "ie(up|down|lup|ldown|ldel|delall)|iewiz0[01])$"));
    return strip.match(name).hasMatch();
}

Section SkinSection(const QString& title, const QDir& dir) {
    Section s{title, {}};
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name)) {
        // Skins have no extension or ".bmp"; help documents are not pictures.
        if (f.fileName().startsWith('.') || (!f.suffix().isEmpty() && f.suffix() != "bmp"))
            continue;
        const QImage image = Load(f.filePath());
        const QString name = f.fileName();
        const QString caption =
            QStringLiteral("%1  %2x%3").arg(name).arg(image.width()).arg(image.height());
        if (IsStrip(name))
            s.items.push_back({caption, SideBySide(image), 1.0});
        else
            s.items.push_back({caption, image.convertToFormat(QImage::Format_RGB32),
                               image.width() > 400 ? 0.5 : 1.0});
    }
    return s;
}

Section ThumbSection(const QString& title, const QDir& dir) {
    Section s{title, {}};
    for (const QFileInfo& f : dir.entryInfoList({"t*.bmp"}, QDir::Files, QDir::Name))
        s.items.push_back({f.completeBaseName().mid(1), Load(f.filePath()), 1.0});
    return s;
}

Section TemplateSection(const QString& title, const QDir& dir, const QString& programDir) {
    Section s{title, {}};
    for (const QFileInfo& f : dir.entryInfoList({"*.prt"}, QDir::Files, QDir::Name))
        s.items.push_back({f.fileName(), PreviewDesign(f.filePath(), programDir, 240), 1.0});
    return s;
}

// Lays the sections out row by row; with a null painter it only measures.
int Layout(const std::vector<Section>& sections, QPainter* p) {
    const QFont titleFont = InterfaceFont(20);
    const QFont captionFont = InterfaceFont(11, false);
    int y = kMargin;
    for (const Section& s : sections) {
        if (p) {
            p->setFont(titleFont);
            p->setPen(QColor(0x1a, 0x28, 0x50));
            p->drawText(QPointF(kMargin, y + 20), s.title);
        }
        y += 32;
        int x = kMargin, rowHeight = 0;
        for (const Item& item : s.items) {
            const QSize size = (QSizeF(item.image.size()) * item.scale).toSize();
            const QFontMetricsF fm(captionFont);
            const int width = std::max(size.width(), int(fm.horizontalAdvance(item.caption)));
            if (x > kMargin && x + width > kSheetWidth - kMargin) {
                x = kMargin;
                y += rowHeight + 12;
                rowHeight = 0;
            }
            if (p) {
                p->drawImage(QRect(QPoint(x, y), size), item.image);
                p->setFont(captionFont);
                p->setPen(QColor(0x30, 0x30, 0x30));
                p->drawText(QPointF(x, y + size.height() + 12), item.caption);
            }
            x += width + 12;
            rowHeight = std::max(rowHeight, size.height() + kCaption);
        }
        y += rowHeight + 24;
    }
    return y;
}

} // namespace

void DrawContactSheet(const QString& resDir, const QString& pngPath) {
    const QDir res(resDir);
    std::vector<Section> sections;
    sections.push_back(SkinSection("Skins and pictures in res/kv", QDir(res.filePath("kv"))));
    sections.push_back(SkinSection("Skins of the other languages in res", res));
    const QDir data(res.filePath("Data"));
    sections.push_back(ThumbSection("Clip-art categories (res/Data/t<category>.bmp)", data));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        sections.push_back(ThumbSection("res/Data/" + category, QDir(data.filePath(category))));

    const QDir templates(res.filePath("Tmplts"));
    for (const QString& folder : templates.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        sections.push_back(TemplateSection("res/Tmplts/" + folder, QDir(templates.filePath(folder)),
                                           QFileInfo(resDir).absolutePath()));

    QImage sheet(kSheetWidth, Layout(sections, nullptr), QImage::Format_RGB32);
    sheet.fill(QColor(0xe4, 0xe6, 0xea));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    Layout(sections, &p);
    p.end();
    if (!sheet.save(pngPath, "PNG"))
        throw std::runtime_error("cannot write " + pngPath.toStdString());
}

} // namespace resbuilder
