#pragma once
// Windows metafiles (WMF) and enhanced metafiles (EMF), the vector clip-art
// formats: parsed record by record with every length checked, and played
// onto a Qt painter the way the window system plays them.

#include "platform/bitmapheaders.h"

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QRect;

namespace platform {

// What the enhanced header of a metafile tells about its size.
struct MetafileHeader {
    CRect bounds;         // inclusive-exclusive bounds in device units
    CRect frame;          // picture frame in 0.01 mm
    CSize deviceSize;     // reference device, pixels
    CSize deviceMm;       // reference device, millimetres
    DWORD paletteEntries; // entries of the palette the file carries, 0 for none
    std::vector<RGBQUAD> palette;
};

class CMetafile {
public:
    enum class Kind { Wmf, Emf };

    // Parses a metafile from memory. A WMF here never has the 22-byte
    // placeable header (the caller skips it). Answers null, with a reason
    // in *error, when the data is not a well-formed metafile of that kind.
    static std::unique_ptr<CMetafile> Load(const BYTE* data, size_t size, Kind kind,
                                           std::string* error);
    virtual ~CMetafile();

    // The enhanced header: an EMF's own; for a WMF the one the window system
    // makes when no picture size is supplied (the frame is the whole
    // reference screen).
    virtual const MetafileHeader& Header() const = 0;

    // Plays every record into the target rectangle: an EMF's frame, or a
    // WMF's window (its first window origin and extent), is mapped onto it.
    // Records the player does not know are skipped.
    virtual void Play(QPainter& painter, const QRect& target) const = 0;
};

// The screen the pictures are rendered for: pixels per logical inch and its
// size in pixels and millimetres (96 dpi under the offscreen platform).
int ScreenLogPixelsX();
int ScreenLogPixelsY();
CSize ScreenSizePixels();
CSize ScreenSizeMm();

} // namespace platform
