#pragma once
// PNG through libpng: 32-bit bitmaps written as 8-bit RGB, or RGBA when the
// bitmap carries alpha, with the print resolution as a pHYs chunk.

#include "codecs/picdecoder.h"

class CPNGEncoder : public CPicEncoder {
protected:
    void EncodeBody(CBmp* bmp, CDataSink* sink) override;
};
