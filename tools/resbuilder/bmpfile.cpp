#include "bmpfile.h"

#include "output.h"

#include <QtEndian>

#include <stdexcept>
#include <vector>

namespace resbuilder {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;

void Put16(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void Put32(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

int RowSize(int width, int bits) {
    return ((width * bits + 31) / 32) * 4;
}

// File header and information header for a picture whose colour table has
// `colours` entries and whose pixel data takes `dataSize` bytes.
QByteArray Headers(int width, int height, int bits, quint32 compression, int colours,
                   int dataSize) {
    const int offset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
    QByteArray out;
    out.reserve(offset);
    out.append("BM", 2);
    Put32(out, quint32(offset + dataSize));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, quint32(offset));
    Put32(out, kInfoHeaderSize);
    Put32(out, quint32(width));
    Put32(out, quint32(height)); // positive: rows stored bottom-up
    Put16(out, 1);
    Put16(out, quint16(bits));
    Put32(out, compression);
    Put32(out, quint32(dataSize));
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, quint32(colours));
    Put32(out, 0);
    return out;
}

void CheckSize(const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        throw std::runtime_error("empty image cannot be written as BMP");
}

// One row of the mask as BI_RLE8 packets. Runs of equal bytes become
// (count, value); stretches of differing bytes become absolute packets
// (0, n, bytes, padding to an even length). NOTE: an absolute packet needs at
// least three bytes, because (0, 1) and (0, 2) are the end-of-picture and
// delta escapes; shorter stretches are written as runs of one.
void EncodeRleRow(const uchar* row, int width, QByteArray& out) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2) {
            out.append(char(run));
            out.append(char(row[x]));
            x += run;
            continue;
        }
        // Collect a literal stretch up to the next run of two or more.
        int n = 1;
        while (x + n < width && n < 255 && !(x + n + 1 < width && row[x + n] == row[x + n + 1]))
            ++n;
        if (n < 3) {
            for (int i = 0; i < n; ++i) {
                out.append(char(1));
                out.append(char(row[x + i]));
            }
        } else {
            out.append(char(0));
            out.append(char(n));
            out.append(reinterpret_cast<const char*>(row + x), n);
            if (n & 1)
                out.append(char(0));
        }
        x += n;
    }
    out.append(char(0)); // end of row
    out.append(char(0));
}

} // namespace

QByteArray EncodeBmp24(const QImage& image) {
    CheckSize(image);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height(), rowSize = RowSize(w, 24);
    QByteArray out = Headers(w, h, 24, kBiRgb, 0, rowSize * h);
    QByteArray row(rowSize, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const uchar* src = rgb.constScanLine(y);
        for (int x = 0; x < w; ++x) { // RGB in the image, BGR in the file
            row[3 * x] = char(src[3 * x + 2]);
            row[3 * x + 1] = char(src[3 * x + 1]);
            row[3 * x + 2] = char(src[3 * x]);
        }
        out.append(row);
    }
    return out;
}

QByteArray EncodeBmp8(const QImage& indexed) {
    CheckSize(indexed);
    if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() > 256 ||
        indexed.colorCount() == 0)
        throw std::runtime_error("EncodeBmp8 needs an indexed image with 1 to 256 colours");
    const int w = indexed.width(), h = indexed.height(), rowSize = RowSize(w, 8);
    const QList<QRgb> table = indexed.colorTable();
    QByteArray out = Headers(w, h, 8, kBiRgb, int(table.size()), rowSize * h);
    for (QRgb c : table) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    QByteArray row(rowSize, '\0');
    for (int y = h - 1; y >= 0; --y) {
        std::copy_n(indexed.constScanLine(y), w, row.begin());
        out.append(row);
    }
    return out;
}

QByteArray EncodeMaskRle8(const QImage& mask) {
    CheckSize(mask);
    const QImage grey = mask.convertToFormat(QImage::Format_Grayscale8);
    QByteArray data;
    for (int y = grey.height() - 1; y >= 0; --y)
        EncodeRleRow(grey.constScanLine(y), grey.width(), data);
    data.append(char(0)); // end of picture
    data.append(char(1));
    QByteArray out = Headers(grey.width(), grey.height(), 8, kBiRle8, 256, int(data.size()));
    for (int v = 0; v < 256; ++v) {
        out.append(char(v));
        out.append(char(v));
        out.append(char(v));
        out.append(char(0));
    }
    out.append(data);
    return out;
}

void WriteBmp24(const QImage& image, const QString& path) {
    WriteFileAtomically(path, EncodeBmp24(image));
}

void WriteBmp8(const QImage& indexed, const QString& path) {
    WriteFileAtomically(path, EncodeBmp8(indexed));
}

void WriteMaskRle8(const QImage& mask, const QString& path) {
    WriteFileAtomically(path, EncodeMaskRle8(mask));
}

} // namespace resbuilder
