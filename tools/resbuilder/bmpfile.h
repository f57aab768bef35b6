#pragma once
// Windows bitmap files as the program reads them: bottom-up rows padded to
// four bytes, a 40-byte information header, uncompressed 24-bit pictures,
// 8-bit pictures with a colour table, and 8-bit run-length coded masks.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace resbuilder {

// The bytes of a 24-bit BMP file of the image (alpha is dropped).
QByteArray EncodeBmp24(const QImage& image);

// The bytes of an 8-bit BMP file of an indexed image (QImage::Format_Indexed8)
// with its colour table of up to 256 entries.
QByteArray EncodeBmp8(const QImage& indexed);

// The bytes of an 8-bit run-length coded BMP (BI_RLE8) of a grey mask
// (QImage::Format_Grayscale8) with a grey-ramp colour table: colour index v
// is grey v, so a decoded pixel has the blue byte v.
QByteArray EncodeMaskRle8(const QImage& mask);

// EncodeBmp24 / EncodeBmp8 / EncodeMaskRle8 written atomically to a path.
void WriteBmp24(const QImage& image, const QString& path);
void WriteBmp8(const QImage& indexed, const QString& path);
void WriteMaskRle8(const QImage& mask, const QString& path);

} // namespace resbuilder
