#include "codecs/pictdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/pictdecoder_rows.h"
#include "codecs/pictopcodes.h"
#include "codecs/textexception.h"

#include <cstdint>
#include <new>

namespace {

using pict::RowLayout;

constexpr const char* kDecoderName = "PICT decoder";
constexpr RGBQUAD kWhite = {255, 255, 255, 255};
constexpr RGBQUAD kBlack = {0, 0, 0, 255};
constexpr int kPaletteSize = 256;

// A QuickDraw rectangle: top, left, bottom, right.
// NOTE: coordinates are signed, so a rectangle may lie left of or above the
// origin; one whose right or bottom edge is not beyond the left or top edge
// holds no pixels.
struct PictRect {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// The two fields of a pixel map that decoding uses.
struct PixMapFields {
    int pixelSize = 0; // bits per pixel
    int cmpCount = 0;  // components per pixel: 4 means alpha
};

int ReadSigned16(CDataSource* source) {
    return int16_t(source->ReadBE16());
}

PictRect ReadRect(CDataSource* source) {
    PictRect rect;
    rect.top = ReadSigned16(source);
    rect.left = ReadSigned16(source);
    rect.bottom = ReadSigned16(source);
    rect.right = ReadSigned16(source);
    return rect;
}

// Skips the application header and the picture's size and frame, and reads
// the version opcode: 1 or 2.
int ReadVersion(CDataSource* source) {
    source->Skip(512); // application header
    source->Skip(2);   // picture size
    source->Skip(8);   // picture frame
    // NOTE: in version 2 the version opcode is the word 0x0011, whose high
    // byte is skipped here with any other zero bytes.
    BYTE b = 0;
    do {
        b = source->ReadByte();
    } while (b == 0);
    if (b != 0x11)
        RaiseError(kErrWrongFormat, "Error decoding pict: Version number missing.");
    const BYTE version = source->ReadByte();
    if (version == 1)
        return 1;
    if (version == 2 && source->ReadByte() == 0xFF)
        return 2;
    RaiseError(kErrWrongFormat, "Illegal version number.");
}

int ReadOpcode(CDataSource* source, int version) {
    if (version == 1)
        return source->ReadByte();
    // NOTE: version 2 opcodes are words at even offsets from the start of
    // the file; data of odd length is followed by a pad byte.
    if (source->GetBytesConsumed() % 2)
        source->Skip(1);
    return source->ReadBE16();
}

// The pixel map fields after the bounds rectangle, 36 bytes.
PixMapFields ReadPixMapFields(CDataSource* source) {
    source->Skip(2 + 2 + 4); // version, packing type, packed size
    source->Skip(4 + 4 + 2); // resolutions, pixel type
    PixMapFields fields;
    fields.pixelSize = source->ReadBE16();
    fields.cmpCount = source->ReadBE16();
    source->Skip(2 + 4 + 4 + 4); // component size, plane bytes, colour table, reserved
    return fields;
}

// Reads a colour table into a 256-entry palette. Entries the table leaves
// out are black.
void ReadColourTable(CDataSource* source, std::vector<RGBQUAD>* palette) {
    source->Skip(4); // seed
    const int flags = source->ReadBE16();
    const int count = source->ReadBE16() + 1;
    try {
        palette->assign(kPaletteSize, kBlack);
    } catch (const std::bad_alloc&) {
        RaiseError(kErrOutOfMemory, "Out of memory allocationg color table.");
    }
    // NOTE: with the top bit of the flags set (a device's colour table) the
    // entries go by position and their values are ignored.
    const bool byPosition = flags & 0x8000;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = source->ReadBytes(8); // value, red, green, blue
        const int value = byPosition ? i : (entry[0] << 8) | entry[1];
        if (value >= count) {
            palette->clear();
            RaiseError(kErrUnsupported, "pixel value greater than colour table size.");
        }
        // A table may have up to 65536 entries, but no pixel can refer to a
        // value beyond 255, so such entries are dropped.
        if (value < kPaletteSize)
            (*palette)[size_t(value)] = {entry[6], entry[4], entry[2], 255};
    }
}

// Skips the pixel data of a full pixel pattern.
void SkipPatternPixels(CDataSource* source, int rowLengthWord, const PictRect& bounds,
                       int pixelSize) {
    const int width = bounds.Width();
    const int height = bounds.Height();
    if (width < 0 || height < 0)
        RaiseError(kErrCorrupt, "Decoding pict: pixel pattern with inverted bounds.");
    int rowLength = pixelSize <= 8 ? rowLengthWord & 0x7FFF : rowLengthWord;
    if (rowLength == 0)
        rowLength = pixelSize == 16 ? 2 * width : width;
    if (rowLength < 8) {
        RequireInput(source, (long long)height * rowLength);
        source->Skip(height * rowLength);
        return;
    }
    for (int y = 0; y < height; ++y)
        source->Skip(rowLength > 250 ? source->ReadBE16() : source->ReadByte());
}

// BkPixPat, PnPixPat and FillPixPat: a pattern is read to find its end.
void SkipPixelPattern(CDataSource* source) {
    const int type = source->ReadBE16();
    if (type == 2) {
        source->Skip(8); // one-bit pattern
        source->Skip(6); // RGB colour
        return;
    }
    if (type != 1)
        RaiseError(kErrUnsupported, "Unknown pattern type in pixPat.");
    source->Skip(8); // one-bit pattern
    const int rowLengthWord = source->ReadBE16();
    const PictRect bounds = ReadRect(source);
    const PixMapFields fields = ReadPixMapFields(source);
    std::vector<RGBQUAD> unused;
    ReadColourTable(source, &unused);
    SkipPatternPixels(source, rowLengthWord, bounds, fields.pixelSize);
}

// Checks an image's size and row layout against our limits and the input
// left, before anything is allocated.
RowLayout PlanImage(CDataSource* source, const PictRect& bounds, int bpp, int rowLengthWord,
                    int cmpCount) {
    CheckPictureSize(bounds.Width(), bounds.Height(), kDecoderName);
    const RowLayout layout =
        pict::PlanRows(bpp, rowLengthWord, bounds.Width(), bounds.Height(), cmpCount);
    RequireInput(source, pict::MinimumRowInput(layout));
    return layout;
}

void SkipRectsAndMode(CDataSource* source, bool withRegion) {
    source->Skip(8 + 8); // source and destination rectangles
    source->Skip(2);     // transfer mode
    if (withRegion)
        pict::SkipRegion(source); // mask region
}

void DecodeBitMap(CDataSource* source, CBmp* bmp, int rowLengthWord, bool withRegion) {
    const PictRect bounds = ReadRect(source);
    SkipRectsAndMode(source, withRegion);
    const RowLayout layout = PlanImage(source, bounds, 1, rowLengthWord, 1);
    bmp->Create(layout.width, layout.height, 32, false);
    // NOTE: in a bit map a clear bit is white and a set bit black.
    const RGBQUAD colours[2] = {kWhite, kBlack};
    pict::DecodeRows(source, bmp, layout, colours);
}

void DecodePixMap(CDataSource* source, CBmp* bmp, std::vector<RGBQUAD>* palette, int rowLengthWord,
                  bool withRegion) {
    const PictRect bounds = ReadRect(source);
    const PixMapFields fields = ReadPixMapFields(source);
    ReadColourTable(source, palette);
    SkipRectsAndMode(source, withRegion);
    const RowLayout layout =
        PlanImage(source, bounds, fields.pixelSize, rowLengthWord, fields.cmpCount);
    bmp->Create(layout.width, layout.height, 32, fields.cmpCount == 4);
    pict::DecodeRows(source, bmp, layout, *palette);
}

// BitsRect, BitsRgn, PackBitsRect and PackBitsRgn. The region forms carry a
// mask region after the transfer mode.
void DecodeBitRecord(CDataSource* source, CBmp* bmp, std::vector<RGBQUAD>* palette,
                     bool withRegion) {
    const int rowLengthWord = source->ReadBE16();
    // NOTE: the top bit of the row length tells a pixel map (colour) from a
    // bit map (one bit per pixel).
    if (rowLengthWord & 0x8000)
        DecodePixMap(source, bmp, palette, rowLengthWord, withRegion);
    else
        DecodeBitMap(source, bmp, rowLengthWord, withRegion);
}

// Opcode_9A: a pixel map without colour table or region.
void DecodeDirectPixels(CDataSource* source, CBmp* bmp) {
    source->Skip(4); // base address
    source->Skip(2); // row length: follows from the width and pixel size
    const PictRect bounds = ReadRect(source);
    const PixMapFields fields = ReadPixMapFields(source);
    SkipRectsAndMode(source, false);
    const int bpp = fields.pixelSize;
    if (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8)
        RaiseErrorF(kErrUnsupported,
                    "Decoding pict: direct pixels of %d bits come without a colour table.", bpp);
    const RowLayout layout = PlanImage(source, bounds, bpp, 0, fields.cmpCount);
    bmp->Create(layout.width, layout.height, 32, fields.cmpCount == 4);
    pict::DecodeRows(source, bmp, layout, {});
}

// A JPEG start-of-image marker followed by the next marker.
bool AtJpegStart(CDataSource* source) {
    if (source->GetRemaining() < 3)
        return false;
    const BYTE* p = source->PeekBytes(3);
    return p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF;
}

// A compressed QuickTime image: an image description followed by the
// compressed data. Only JPEG data is understood; it is found by its marker.
void DecodeQuickTime(CDataSource* source, CBmp* bmp, CPicDecoder* jpegDecoder) {
    const DWORD length = source->ReadBE32();
    for (DWORD i = 0; i < length; ++i) {
        if (AtJpegStart(source)) {
            if (!jpegDecoder)
                RaiseError(kErrNoFeature, "Library not compiled for this file type.");
            jpegDecoder->DecodeSource(source, bmp, 32);
            return;
        }
        source->Skip(1);
    }
    RaiseError(kErrNoFeature, "PICT file contains unrecognized quicktime data.\n");
}

} // namespace

CPictDecoder::CPictDecoder(CPicDecoder* jpegDecoder) : m_pJPEGDecoder(jpegDecoder) {}

void CPictDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int*, CDataSource* source) {
    const int version = ReadVersion(source);
    for (;;) {
        const int opcode = ReadOpcode(source, version);
        switch (pict::ActionOf(opcode)) {
        case pict::OpcodeAction::SkipData:
            pict::SkipOpcodeData(source, opcode);
            break;
        case pict::OpcodeAction::PixelPattern:
            SkipPixelPattern(source);
            break;
        case pict::OpcodeAction::BitRecord:
            // NOTE: BitsRgn (0x91) and PackBitsRgn (0x99) are the odd ones.
            DecodeBitRecord(source, bmp, palette, opcode & 1);
            return;
        case pict::OpcodeAction::DirectPixels:
            DecodeDirectPixels(source, bmp);
            return;
        case pict::OpcodeAction::QuickTime:
            DecodeQuickTime(source, bmp, m_pJPEGDecoder);
            return;
        case pict::OpcodeAction::EndOfPicture:
            RaiseError(kErrNoFeature, "PICT contained only vector data!\n");
        }
    }
}
