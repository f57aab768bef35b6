#pragma once
// Recognises a picture file's type by its name and first bytes and hands it
// to the decoder of that format.

#include "codecs/picdecoder.h"

#include <memory>

enum class PicType { Unknown, Bmp, Tga, Tiff, Pict, Jpeg, Png, EpsTiff, Pcx, Wmf, Emf };

// The type told by the first bytes of a file of the given size. Only bytes
// below the size are looked at.
PicType RecogniseType(const BYTE* bytes, int size);

class CAnyPicDecoder : public CPicDecoder {
public:
    CAnyPicDecoder();
    ~CAnyPicDecoder() override;

    // Recognises the type (".WMF" or ".EMF" anywhere in the name first, then
    // the content) and decodes with that format's decoder.
    void DecodeSource(CDataSource* source, CBmp* bmp, int wantedDepth) override;

    // The type the source would be decoded as.
    static PicType TypeOf(CDataSource* source);

private:
    CPicDecoder* DecoderFor(PicType type) const;

    // One decoder per format; the PICT decoder uses the JPEG decoder for
    // pictures that embed JPEG data.
    std::unique_ptr<CPicDecoder> m_pBmpDec;
    std::unique_ptr<CPicDecoder> m_pPictDec;
    std::unique_ptr<CPicDecoder> m_pTGADec;
    std::unique_ptr<CPicDecoder> m_pTIFFDec;
    std::unique_ptr<CPicDecoder> m_pJPEGDec;
    std::unique_ptr<CPicDecoder> m_pPNGDec;
    std::unique_ptr<CPicDecoder> m_pWEMFDec;
    std::unique_ptr<CPicDecoder> m_pPCXDec;
};
