#pragma once
// QuickDraw pictures (PICT, versions 1 and 2). The decoder draws nothing: it
// walks the picture's opcodes, skipping every drawing operation by its data
// length, up to the first opcode that carries a whole image (a bit map, a
// pixel map, direct pixels or a JPEG-compressed QuickTime image). It decodes
// that one image at 32 bits per pixel and reads no further. A picture
// without such an opcode fails with code 6.

#include "codecs/picdecoder.h"

class CPictDecoder : public CPicDecoder {
public:
    // jpegDecoder decodes the JPEG data of QuickTime images. It is owned by
    // the caller and must outlive this decoder.
    explicit CPictDecoder(CPicDecoder* jpegDecoder);

protected:
    // Bit maps give white and black pixels, pixel maps of 1 to 8 bits hand
    // their colour table back through palette; the bitmap has its alpha
    // flag set when the image has four components per pixel.
    void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                    CDataSource* source) override;

private:
    CPicDecoder* m_pJPEGDecoder; // not owned
};
