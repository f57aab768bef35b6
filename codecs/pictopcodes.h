#pragma once
// The opcodes of QuickDraw pictures, as far as the PICT decoder needs them:
// which opcodes carry an image, and how long the data of all others is, so
// that drawing operations can be skipped without being understood.

class CDataSource;

namespace pict {

// What the decoder does with an opcode.
enum class OpcodeAction {
    SkipData,     // a drawing operation, comment or header: skipped by its length
    PixelPattern, // BkPixPat, PnPixPat, FillPixPat: skipped by reading the pattern
    BitRecord,    // BitsRect, BitsRgn, PackBitsRect, PackBitsRgn: a bit map or pixel map
    DirectPixels, // Opcode_9A: direct pixels
    QuickTime,    // a compressed QuickTime image
    EndOfPicture,
};

// The action for an opcode: a byte in version 1 pictures, a word in version 2.
OpcodeAction ActionOf(int opcode);

// Skips the data of an opcode whose action is SkipData. Reads past the end
// of the input throw code 11.
void SkipOpcodeData(CDataSource* source, int opcode);

// Skips a region or polygon: a 16-bit size that counts itself, then the
// rest. A size below 2 is refused with code 7.
void SkipRegion(CDataSource* source);

} // namespace pict
