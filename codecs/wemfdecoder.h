#pragma once
// Windows metafiles (with or without the placeable header) and enhanced
// metafiles, rendered at screen resolution onto a white picture.

#include "codecs/picdecoder.h"

class CWEMFDecoder : public CPicDecoder {
public:
    // Size in pixels of a metafile picture: from the placeable header when
    // there is one, else from the frame of the enhanced header; a width of
    // 0 or less becomes 320 and a height 200.
    static void PictureSize(int* width, int* height, bool placeable, const short box[4],
                            int unitsPerInch, const CRect& frame, const CSize& devicePixels,
                            const CSize& deviceMm);

protected:
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;
};
