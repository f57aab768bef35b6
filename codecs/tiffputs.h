#pragma once
// Our own put routines for libtiff's RGBA reader, for the pixels it converts
// or reduces less well than other readers: CIELab (converted as sRGB with a
// D65 white, so white stays white) and 16-bit colours multiplied by a
// 16-bit alpha (divided before they are reduced to 8 bits).

#include <tiffio.h>

struct CTiffImage {
    TIFFRGBAImage image{};      // first: the library hands its address to the routines
    bool premultiplied = false; // the stored colours are multiplied by alpha
};

// Puts our routine in place of the library's where one applies (after
// TIFFRGBAImageBegin); true when it did.
bool InstallOwnPuts(CTiffImage* reader);

// One CIELab colour (L* 0 to 100, a* and b* as stored) as sRGB bytes
// packed as the RGBA reader packs them (red in the low byte, alpha 255).
uint32_t PackedLabColour(double lightness, double a, double b);

// A linear light value (clamped to 0 to 1, 0 for not a number) as an sRGB
// byte, rounded.
uint32_t SrgbByte(double linear);
