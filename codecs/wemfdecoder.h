#pragma once
// Windows metafiles (with or without the placeable header) and enhanced
// metafiles, rendered at screen resolution onto a white picture.

#include "codecs/picdecoder.h"

// The longest side a metafile is drawn at as a picture: its size comes from
// its header alone, and a few bytes could otherwise ask for a drawing of
// hundreds of megabytes. Prints at size draw the metafile afresh instead.
#ifdef MORVANE_FUZZ_BUILD
constexpr int kMaxMetafileSide = 256;
#else
constexpr int kMaxMetafileSide = 2048;
#endif

class CWEMFDecoder : public CPicDecoder {
public:
    // Size in pixels of a metafile picture: from the placeable header when
    // there is one, else from the frame of the enhanced header; a width of
    // 0 or less becomes 320 and a height 200.
    static void PictureSize(int* width, int* height, bool placeable, const short box[4],
                            int unitsPerInch, const CRect& frame, const CSize& devicePixels,
                            const CSize& deviceMm);
    // Shrinks a size whose long side is beyond kMaxMetafileSide to that
    // side, keeping its proportions (rounded, at least 1 pixel).
    static void FitLongSide(int* width, int* height);

protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
