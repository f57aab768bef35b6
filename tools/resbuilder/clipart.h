#pragma once
// The clip-art library: pictures chosen from openclipart-svg by the manifest
// clipart.txt, rendered into category folders under res/Data as triples
// i<name>.bmp (24-bit picture), a<name>.bmp (its alpha mask) and
// t<name>.bmp (thumbnail), each beside i<name>.svg, the drawing it was
// rendered from, framed as the picture (prints and exports at size draw
// it), plus one thumbnail t<category>.bmp per category in res/Data itself,
// whose base name is the category's folder.

#include <QList>
#include <QSize>
#include <QString>

namespace resbuilder {

struct ClipArtPicture {
    QString name;    // lower-case ASCII, no spaces: the triple's name
    QString svgPath; // relative to the openclipart svg folder
    QSize size;      // of the rendered picture, filled in by the builder
};

struct ClipArtCategory {
    QString name;  // the folder under res/Data
    QString cover; // the picture its category thumbnail shows
    QString tint;  // background colour of the category thumbnail, #rrggbb
    QList<ClipArtPicture> pictures;
};

struct ClipArtLibrary {
    QList<ClipArtCategory> categories;

    int PictureCount() const;
    // The picture of a category, or null.
    const ClipArtPicture* Find(const QString& category, const QString& name) const;
    // The stored name of a picture's image file: "res\\Data\\fruit\\iapple.bmp".
    static QString StoredImageName(const QString& category, const QString& name);
};

// Reads the manifest. Lines: "category <folder> <cover> <#rrggbb>" starts a
// category, "<name> <svg path>" adds a picture to it; '#' starts a comment
// line. Throws std::runtime_error with the line number on any mistake:
// a bad name, a duplicate, a missing cover, a category outside 12 to 40
// pictures.
ClipArtLibrary ReadClipArtManifest(const QString& manifestPath);

// Reads the manifest, renders every picture (several at a time) and writes
// the library under resDir/Data. Throws std::runtime_error when a picture
// cannot be read or renders empty.
ClipArtLibrary BuildClipArt(const QString& manifestPath, const QString& svgRoot,
                            const QString& resDir);

} // namespace resbuilder
