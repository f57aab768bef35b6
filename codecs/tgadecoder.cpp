#include "codecs/tgadecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

namespace {

struct TgaHeader {
    int idLength;
    int colourMapType;
    int imageType;
    int firstEntry;
    int mapLength;
    int mapEntryBits;
    int width;
    int height;
    int depth;
    int descriptor;
};

TgaHeader ReadHeader(CDataSource* source) {
    TgaHeader h{};
    h.idLength = source->ReadByte();
    h.colourMapType = source->ReadByte();
    h.imageType = source->ReadByte();
    h.firstEntry = source->ReadLE16();
    h.mapLength = source->ReadLE16();
    h.mapEntryBits = source->ReadByte();
    source->Skip(4); // x and y origin
    h.width = source->ReadLE16();
    h.height = source->ReadLE16();
    h.depth = source->ReadByte();
    h.descriptor = source->ReadByte();
    source->Skip(h.idLength);
    return h;
}

bool IsTrueColourDepth(int bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// One colour at the given bit size. 8 bits is an index into the palette.
RGBQUAD ReadColour(CDataSource* source, int bits, const std::vector<RGBQUAD>& palette) {
    switch (bits) {
    case 8:
        return palette[source->ReadByte()];
    case 15:
    case 16: {
        const WORD w = source->ReadLE16();
        const BYTE alpha = bits == 15 ? 255 : ((w & 0x8000) ? 0x80 : 0);
        return {BYTE((w & 0x1F) << 3), BYTE((w >> 2) & 0xF8), BYTE((w >> 7) & 0xF8), alpha};
    }
    case 24: {
        const BYTE* p = source->ReadBytes(3);
        return {p[0], p[1], p[2], 255};
    }
    default: {
        const BYTE* p = source->ReadBytes(4);
        return {p[0], p[1], p[2], p[3]};
    }
    }
}

void ReadColourMap(CDataSource* source, const TgaHeader& h, std::vector<RGBQUAD>* palette) {
    if (!IsTrueColourDepth(h.mapEntryBits))
        RaiseError(kErrUnsupported, "TGA colour map entry size not supported.");
    if (h.firstEntry + h.mapLength > 256)
        RaiseError(kErrUnsupported, "TGA colour map reaches beyond index 255.");
    for (int i = h.firstEntry; i < h.firstEntry + h.mapLength; ++i)
        (*palette)[size_t(i)] = ReadColour(source, h.mapEntryBits, *palette);
}

void PutPixel(BYTE* row, int x, const RGBQUAD& c) {
    BYTE* p = row + x * 4;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = c.rgbReserved;
}

void DecodeRleRow(CDataSource* source, BYTE* row, const TgaHeader& h,
                  const std::vector<RGBQUAD>& palette) {
    int x = 0;
    while (x < h.width) {
        const int header = source->ReadByte();
        // NOTE: the count is stored minus one: 0x85 repeats a pixel 6 times.
        const int count = (header & 0x7F) + 1;
        if (x + count > h.width)
            RaiseError(kErrCorrupt, "TGA run-length packet spans the end of a row.");
        if (header & 0x80) {
            const RGBQUAD c = ReadColour(source, h.depth, palette);
            for (int i = 0; i < count; ++i)
                PutPixel(row, x++, c);
        } else {
            for (int i = 0; i < count; ++i)
                PutPixel(row, x++, ReadColour(source, h.depth, palette));
        }
    }
}

} // namespace

void CTGADecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int*, CDataSource* source) {
    const TgaHeader h = ReadHeader(source);
    const int type = h.imageType;
    if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11)
        RaiseError(kErrUnsupported, "Unknown TGA image type.");
    const bool grey = type == 3 || type == 11;
    const bool mapped = h.colourMapType != 0;
    if (h.depth == 8 ? !(mapped || grey) : !IsTrueColourDepth(h.depth))
        RaiseError(kErrUnsupported, "TGA pixel depth not supported.");
    CheckPictureSize(h.width, h.height, "TGA decoder");
    const long long pixelBytes = (h.depth + 7) / 8;
    // A run-length packet holds at most 128 pixels in 1 + pixelBytes bytes.
    const bool rle = type >= 9;
    RequireInput(source, rle ? ((long long)h.width * h.height + 127) / 128 * (1 + pixelBytes)
                             : (long long)h.width * h.height * pixelBytes);
    bmp->Create(h.width, h.height, 32, h.depth == 16 || h.depth == 32);
    palette->assign(256, {0, 0, 0, 255});
    if (mapped)
        ReadColourMap(source, h, palette);
    if (grey)
        for (int i = 0; i < 256; ++i)
            (*palette)[size_t(i)] = {BYTE(i), BYTE(i), BYTE(i), 255};
    const bool topDown = h.descriptor & 0x20;
    for (int i = 0; i < h.height; ++i) {
        BYTE* row = bmp->Line(topDown ? i : h.height - 1 - i);
        if (rle) {
            DecodeRleRow(source, row, h, *palette);
        } else {
            for (int x = 0; x < h.width; ++x)
                PutPixel(row, x, ReadColour(source, h.depth, *palette));
        }
    }
}
