#include "codecs/pcxdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <cstring>

namespace {

struct PcxHeader {
    int bitsPerPixel;
    int width;
    int height;
    int planes;
    int bytesPerLine;
    RGBQUAD colours[16]; // red, green, blue as stored, kept in rgbRed.. order
};

int LE16(const BYTE* p) {
    return p[0] | (p[1] << 8);
}

PcxHeader ReadHeader(CDataSource* source) {
    const BYTE* raw = source->ReadBytes(128);
    if (raw[0] != 10)
        RaiseError(kErrWrongFormat, "Error decoding pcx: Not a PCX file.");
    if (raw[2] != 1)
        RaiseError(kErrWrongFormat, "File has unknown encoding scheme.");
    PcxHeader h{};
    h.bitsPerPixel = raw[3];
    h.width = LE16(raw + 8) - LE16(raw + 4) + 1;
    h.height = LE16(raw + 10) - LE16(raw + 6) + 1;
    h.planes = raw[65];
    h.bytesPerLine = LE16(raw + 66);
    for (int i = 0; i < 16; ++i)
        h.colours[i] = {raw[16 + i * 3 + 2], raw[16 + i * 3 + 1], raw[16 + i * 3], 255};
    return h;
}

void CheckLayout(const PcxHeader& h) {
    if (h.bitsPerPixel == 1) {
        if (h.planes > 4)
            RaiseError(kErrUnsupported, "Can't handle image with more than 4 planes.");
        if (h.planes < 1)
            RaiseError(kErrUnsupported, "Can't handle bits per pixel image with planes.");
    } else if (!((h.bitsPerPixel == 2 || h.bitsPerPixel == 4 || h.bitsPerPixel == 8) &&
                 (h.planes == 1 || h.planes == 3)) ||
               (h.planes == 3 && h.bitsPerPixel != 8)) {
        RaiseError(kErrUnsupported, "Can't handle bits per pixel image with planes.");
    }
    // Every pixel of a row must lie within the stored bytes of its plane.
    const long long pixelsPerLine = (long long)h.bytesPerLine * 8 / h.bitsPerPixel;
    if (pixelsPerLine < h.width)
        RaiseError(kErrCorrupt, "Error decoding pcx: bytes per line too small for the width.");
}

std::vector<BYTE> Decompress(CDataSource* source, size_t total) {
    std::vector<BYTE> data(total);
    size_t filled = 0;
    while (filled < total) {
        const BYTE b = source->ReadByte();
        if (b < 0xC0) {
            data[filled++] = b;
            continue;
        }
        // NOTE: the low six bits count the copies of the next byte; a count
        // of 0 consumes the byte and writes nothing.
        const size_t count = b & 0x3F;
        const BYTE value = source->ReadByte();
        if (count > total - filled)
            RaiseError(kErrCorrupt, "repeat count spans end of image.");
        std::memset(data.data() + filled, value, count);
        filled += count;
    }
    return data;
}

void ReadVgaPalette(CDataSource* source, RGBQUAD table[256]) {
    if (source->ReadByte() != 12)
        RaiseError(kErrCorrupt, "bad color map signature.");
    const BYTE* raw = source->ReadBytes(768);
    for (int i = 0; i < 256; ++i)
        table[i] = {raw[i * 3 + 2], raw[i * 3 + 1], raw[i * 3], 255};
}

void UnpackSinglePlane(const BYTE* line, int bytesPerLine, int bits, std::vector<BYTE>* indices) {
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int i = 0; i < bytesPerLine * perByte; ++i)
        (*indices)[size_t(i)] = BYTE((line[i / perByte] >> (8 - bits * (i % perByte + 1))) & mask);
}

void CombineBitPlanes(const BYTE* row, const PcxHeader& h, std::vector<BYTE>* indices) {
    std::fill(indices->begin(), indices->end(), 0);
    for (int p = 0; p < h.planes; ++p) {
        const BYTE* plane = row + size_t(h.bytesPerLine) * p;
        for (int i = 0; i < h.bytesPerLine * 8; ++i)
            if (plane[i / 8] & (0x80 >> (i % 8)))
                (*indices)[size_t(i)] |= BYTE(1 << p);
    }
}

} // namespace

void CPCXDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>*, int*, CDataSource* source) {
    const PcxHeader h = ReadHeader(source);
    CheckLayout(h);
    CheckPictureSize(h.width, h.height, "PCX decoder");
    const size_t lineBytes = size_t(h.planes) * size_t(h.bytesPerLine);
    const long long total = (long long)lineBytes * h.height;
    // One run byte pair expands to at most 63 bytes.
    RequireInput(source, (total + 62) / 63);
    if (total > kMaxPicturePixels * 4)
        RaiseError(kErrOutOfMemory, "Out of memory: PCX picture data is too large.");
    bmp->Create(h.width, h.height, 32, false);
    const std::vector<BYTE> data = Decompress(source, size_t(total));

    RGBQUAD table[256] = {};
    std::memcpy(table, h.colours, sizeof h.colours);
    if (h.bitsPerPixel == 8 && h.planes == 1)
        ReadVgaPalette(source, table);

    std::vector<BYTE> indices(size_t(h.bytesPerLine) * 8);
    for (int y = 0; y < h.height; ++y) {
        const BYTE* row = data.data() + size_t(y) * lineBytes;
        BYTE* out = bmp->Line(y);
        if (h.bitsPerPixel == 8 && h.planes == 3) {
            for (int x = 0; x < h.width; ++x) {
                BYTE* p = out + x * 4;
                p[0] = row[size_t(h.bytesPerLine) * 2 + x];
                p[1] = row[size_t(h.bytesPerLine) + x];
                p[2] = row[x];
                p[3] = 255;
            }
            continue;
        }
        if (h.planes == 1)
            UnpackSinglePlane(row, h.bytesPerLine, h.bitsPerPixel, &indices);
        else
            CombineBitPlanes(row, h, &indices);
        for (int x = 0; x < h.width; ++x) {
            const RGBQUAD& c = table[indices[size_t(x)]];
            std::memcpy(out + x * 4, &c, 4);
        }
    }
}
