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

// How the values of one picture or colour map are stored.
struct ValueFormat {
    int bits;
    bool grey;     // 16 bits: grey and alpha bytes, not 5-5-5 colour
    bool alphaBit; // 16 bits: the top bit is alpha (the file declares one)
};

// Five bits widened to eight so that 31 is 255, as other readers do it.
BYTE Widen5(int v) {
    return BYTE(v * 255 / 31);
}

// One colour in the given format. 8 bits is an index into the palette.
RGBQUAD ReadColour(CDataSource* source, const ValueFormat& f, const std::vector<RGBQUAD>& palette) {
    switch (f.bits) {
    case 8:
        return palette[source->ReadByte()];
    case 15:
    case 16: {
        if (f.grey) {
            const BYTE* p = source->ReadBytes(2);
            return {p[0], p[0], p[0], p[1]};
        }
        const WORD w = source->ReadLE16();
        // The top bit is a whole alpha: opaque or transparent.
        const BYTE alpha = f.bits == 16 && f.alphaBit && !(w & 0x8000) ? 0 : 255;
        return {Widen5(w & 0x1F), Widen5((w >> 5) & 0x1F), Widen5((w >> 10) & 0x1F), alpha};
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

// The descriptor's low four bits count the alpha bits of each pixel.
int AlphaBits(const TgaHeader& h) {
    return h.descriptor & 0x0F;
}

void ReadColourMap(CDataSource* source, const TgaHeader& h, std::vector<RGBQUAD>* palette) {
    if (!IsTrueColourDepth(h.mapEntryBits))
        RaiseError(kErrUnsupported, "TGA colour map entry size not supported.");
    if (h.firstEntry + h.mapLength > 256)
        RaiseError(kErrUnsupported, "TGA colour map reaches beyond index 255.");
    const ValueFormat format{h.mapEntryBits, false, AlphaBits(h) > 0};
    for (int i = h.firstEntry; i < h.firstEntry + h.mapLength; ++i)
        (*palette)[size_t(i)] = ReadColour(source, format, *palette);
}

void PutPixel(BYTE* row, int x, const RGBQUAD& c) {
    BYTE* p = row + x * 4;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = c.rgbReserved;
}

// Run-length packets: a header byte h, then one value repeated (h & 0x7F) + 1
// times when its top bit is set, else (h & 0x7F) + 1 values. A packet may
// run on across the end of a row into the next, never past the picture.
class RlePackets {
public:
    RlePackets(CDataSource* source, const ValueFormat& format, const std::vector<RGBQUAD>& palette)
        : m_source(source), m_format(format), m_palette(palette) {}

    RGBQUAD Next() {
        if (m_left == 0) {
            const int header = m_source->ReadByte();
            // NOTE: the count is stored minus one: 0x85 repeats a pixel 6 times.
            m_left = (header & 0x7F) + 1;
            m_repeat = header & 0x80;
            if (m_repeat)
                m_value = ReadColour(m_source, m_format, m_palette);
        }
        --m_left;
        return m_repeat ? m_value : ReadColour(m_source, m_format, m_palette);
    }
    // Pixels of the last packet not used yet.
    int Left() const { return m_left; }

private:
    CDataSource* m_source;
    ValueFormat m_format;
    const std::vector<RGBQUAD>& m_palette;
    int m_left = 0;
    bool m_repeat = false;
    RGBQUAD m_value{};
};

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
    const ValueFormat format{h.depth, grey && h.depth == 16, AlphaBits(h) > 0};
    // 16-bit colour pixels carry alpha only when the file declares an alpha
    // bit; grey ones always carry an alpha byte.
    const bool alpha = h.depth == 32 || (h.depth == 16 && (format.grey || format.alphaBit));
    bmp->Create(h.width, h.height, 32, alpha);
    palette->assign(256, {0, 0, 0, 255});
    if (mapped)
        ReadColourMap(source, h, palette);
    if (grey)
        for (int i = 0; i < 256; ++i)
            (*palette)[size_t(i)] = {BYTE(i), BYTE(i), BYTE(i), 255};
    const bool topDown = h.descriptor & 0x20;
    const bool rightToLeft = h.descriptor & 0x10;
    RlePackets packets(source, format, *palette);
    for (int i = 0; i < h.height; ++i) {
        BYTE* row = bmp->Line(topDown ? i : h.height - 1 - i);
        for (int x = 0; x < h.width; ++x)
            PutPixel(row, rightToLeft ? h.width - 1 - x : x,
                     rle ? packets.Next() : ReadColour(source, format, *palette));
    }
    if (packets.Left() > 0)
        RaiseError(kErrCorrupt, "TGA run-length packet runs past the end of the picture.");
}
