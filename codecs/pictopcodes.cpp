#include "codecs/pictopcodes.h"

#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <iterator>

namespace pict {

namespace {

// The data of an opcode up to 0xA1: a byte count (0 and up) or a layout.
enum : signed char {
    kWordLength = -1,  // 16-bit length, then that many bytes
    kRegion = -2,      // region or polygon: 16-bit size that counts itself
    kLongText = -3,    // position (4), count (1), then count bytes of text
    kDHText = -4,      // offset (1), count (1), text; also DVText
    kDHDVText = -5,    // offsets (2), count (1), text
    kLongComment = -6, // kind (2), 16-bit size, then size bytes
    kPixPat = -7,      // a pixel pattern
    kBitRecord = -8,   // a bit map or pixel map: ends the decoding
    kDirect = -9,      // direct pixels: ends the decoding
};

constexpr signed char W = kWordLength;
constexpr signed char R = kRegion;

// Opcodes 0x00 to 0xA1, after the version 2 opcode table of QuickDraw.
// NOTE: 0x9B is a reserved opcode skipped by its length like 0x9C-0x9F.
constexpr signed char kDataLength[] = {
    /* 0x00 NOP, Clip, BkPat, TxFont, TxFace, TxMode, SpExtra, PnSize */
    0, R, 8, 2, 1, 2, 4, 4,
    /* 0x08 PnMode, PnPat, FillPat, OvSize, Origin, TxSize, FgColor, BkColor */
    2, 8, 8, 4, 4, 2, 4, 4,
    /* 0x10 TxRatio, Version, BkPixPat, PnPixPat, FillPixPat, PnLocHFrac, ChExtra, reserved */
    8, 1, kPixPat, kPixPat, kPixPat, 2, 2, 0,
    /* 0x18 reserved, reserved, RGBFgCol, RGBBkCol, HiliteMode, HiliteColor, DefHilite, OpColor */
    0, 0, 6, 6, 0, 6, 0, 6,
    /* 0x20 Line, LineFrom, ShortLine, ShortLineFrom, reserved x4 */
    8, 4, 6, 2, W, W, W, W,
    /* 0x28 LongText, DHText, DVText, DHDVText, reserved x4 */
    kLongText, kDHText, kDHText, kDHDVText, W, W, W, W,
    /* 0x30 rectangle operations */
    8, 8, 8, 8, 8, 8, 8, 8,
    /* 0x38 the same on the last rectangle */
    0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x40 rounded rectangle operations */
    8, 8, 8, 8, 8, 8, 8, 8,
    /* 0x48 the same on the last rounded rectangle */
    0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x50 oval operations */
    8, 8, 8, 8, 8, 8, 8, 8,
    /* 0x58 the same on the last oval */
    0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x60 arc operations: rectangle and two angles */
    12, 12, 12, 12, 12, 12, 12, 12,
    /* 0x68 arc operations on the last rectangle: two angles */
    4, 4, 4, 4, 4, 4, 4, 4,
    /* 0x70 polygon operations */
    R, R, R, R, R, R, R, R,
    /* 0x78 the same on the last polygon */
    0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x80 region operations */
    R, R, R, R, R, R, R, R,
    /* 0x88 the same on the last region */
    0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x90 BitsRect, BitsRgn, reserved x6 */
    kBitRecord, kBitRecord, W, W, W, W, W, W,
    /* 0x98 PackBitsRect, PackBitsRgn, Opcode_9A, reserved x5 */
    kBitRecord, kBitRecord, kDirect, W, W, W, W, W,
    /* 0xA0 ShortComment, LongComment */
    2, kLongComment};
static_assert(std::size(kDataLength) == 0xA2, "one row per opcode 0x00 to 0xA1");

constexpr int kQuickTimeOpcode = 0x8200;

// How the data of an opcode above 0xA1 is stored.
enum class LongLayout { None, WordLength, LongLength, HighByteTwice };

LongLayout LayoutAbove(int opcode) {
    if (opcode <= 0xAF)
        return LongLayout::WordLength;
    if (opcode <= 0xCF)
        return LongLayout::None;
    if (opcode <= 0xFE)
        return LongLayout::LongLength;
    // NOTE: 0x0100-0x7FFF hold twice their high byte, so the version 2
    // header 0x0C00 has 24 bytes.
    if (opcode <= 0x7FFF)
        return LongLayout::HighByteTwice;
    if (opcode <= 0x80FF)
        return LongLayout::None;
    return LongLayout::LongLength;
}

// Skips a 32-bit length; one beyond the input ends the decoding.
void SkipLong(CDataSource* source, DWORD length) {
    if (length > DWORD(source->GetRemaining()))
        throw CTextException(kErrEndOfData, kEndOfFileText);
    source->Skip(int(length));
}

// Skips text that follows a count byte, after `prefix` bytes of position.
void SkipText(CDataSource* source, int prefix) {
    source->Skip(prefix);
    source->Skip(source->ReadByte());
}

void SkipTableData(CDataSource* source, int length) {
    switch (length) {
    case kWordLength:
        source->Skip(source->ReadBE16());
        break;
    case kRegion:
        SkipRegion(source);
        break;
    case kLongText:
        SkipText(source, 4);
        break;
    case kDHText:
        SkipText(source, 1);
        break;
    case kDHDVText:
        SkipText(source, 2);
        break;
    case kLongComment:
        source->Skip(2);
        source->Skip(source->ReadBE16());
        break;
    default:
        source->Skip(length);
        break;
    }
}

} // namespace

OpcodeAction ActionOf(int opcode) {
    if (opcode == 0xFF || opcode == 0xFFFF)
        return OpcodeAction::EndOfPicture;
    if (opcode == kQuickTimeOpcode)
        return OpcodeAction::QuickTime;
    if (opcode >= int(std::size(kDataLength)))
        return OpcodeAction::SkipData;
    switch (kDataLength[opcode]) {
    case kPixPat:
        return OpcodeAction::PixelPattern;
    case kBitRecord:
        return OpcodeAction::BitRecord;
    case kDirect:
        return OpcodeAction::DirectPixels;
    default:
        return OpcodeAction::SkipData;
    }
}

void SkipOpcodeData(CDataSource* source, int opcode) {
    if (opcode < int(std::size(kDataLength))) {
        SkipTableData(source, kDataLength[opcode]);
        return;
    }
    switch (LayoutAbove(opcode)) {
    case LongLayout::None:
        break;
    case LongLayout::WordLength:
        source->Skip(source->ReadBE16());
        break;
    case LongLayout::LongLength:
        SkipLong(source, source->ReadBE32());
        break;
    case LongLayout::HighByteTwice:
        source->Skip(2 * (opcode >> 8));
        break;
    }
}

void SkipRegion(CDataSource* source) {
    const int size = source->ReadBE16();
    if (size < 2)
        RaiseErrorF(kErrCorrupt, "Decoding pict: region of %d bytes is shorter than its size.",
                    size);
    source->Skip(size - 2);
}

} // namespace pict
