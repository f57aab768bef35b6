#include "codecs/anypicdecoder.h"

#include "codecs/bmpdecoder.h"
#include "codecs/datasource.h"
#include "codecs/jpegcodec.h"
#include "codecs/pcxdecoder.h"
#include "codecs/pictdecoder.h"
#include "codecs/pngdecoder.h"
#include "codecs/textexception.h"
#include "codecs/tgadecoder.h"
#include "codecs/tiffcodec.h"
#include "codecs/wemfdecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool BytesAre(const BYTE* bytes, int size, int at, std::initializer_list<int> expected) {
    if (at + int(expected.size()) > size)
        return false;
    int i = at;
    for (int b : expected)
        if (bytes[i++] != b)
            return false;
    return true;
}

DWORD LE32At(const BYTE* p) {
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

bool LooksLikeTga(const BYTE* b, int size) {
    if (size <= 16)
        return false;
    const auto in = [](int v, std::initializer_list<int> set) {
        return std::find(set.begin(), set.end(), v) != set.end();
    };
    return b[1] <= 1 && in(b[2], {0, 1, 2, 3, 9, 10, 11}) && in(b[7], {0, 8, 15, 16, 24, 32}) &&
           in(b[16], {8, 15, 16, 24, 32});
}

bool LooksLikePict(const BYTE* b, int size) {
    // NOTE: the picture follows a 512-byte header that is not part of it.
    return size > 540 && (BytesAre(b, size, 522, {0x00, 0x11, 0x02, 0xFF}) ||
                          BytesAre(b, size, 522, {0x00, 0x11, 0x01}) ||
                          BytesAre(b, size, 522, {0x11, 0x01, 0x01, 0x00}));
}

bool LooksLikeEpsWithTiff(const BYTE* b, int size) {
    return (BytesAre(b, size, 0, {0xC5, 0xD0, 0xD3, 0xC6}) ||
            BytesAre(b, size, 0, {0xC6, 0xD3, 0xD0, 0xC5})) &&
           size >= 28 && LE32At(b + 20) != 0 && LE32At(b + 24) != 0;
}

std::string UpperCase(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

PicType RecogniseType(const BYTE* b, int size) {
    if (BytesAre(b, size, 0, {0x42, 0x4D}))
        return PicType::Bmp;
    if (LooksLikeTga(b, size))
        return PicType::Tga;
    // Classic TIFF (42) and BigTIFF (43), either byte order.
    if (BytesAre(b, size, 0, {0x49, 0x49, 0x2A, 0x00}) ||
        BytesAre(b, size, 0, {0x4D, 0x4D, 0x00, 0x2A}) ||
        BytesAre(b, size, 0, {0x49, 0x49, 0x2B, 0x00}) ||
        BytesAre(b, size, 0, {0x4D, 0x4D, 0x00, 0x2B}))
        return PicType::Tiff;
    if (LooksLikePict(b, size))
        return PicType::Pict;
    if (BytesAre(b, size, 0, {0xFF, 0xD8, 0xFF}))
        return PicType::Jpeg;
    if (BytesAre(b, size, 0, {0x89, 0x50, 0x4E, 0x47}))
        return PicType::Png;
    if (LooksLikeEpsWithTiff(b, size))
        return PicType::EpsTiff;
    if (BytesAre(b, size, 0, {0x0A}) && BytesAre(b, size, 2, {0x01}))
        return PicType::Pcx;
    return PicType::Unknown;
}

CAnyPicDecoder::CAnyPicDecoder()
    : m_pBmpDec(std::make_unique<CBmpDecoder>()), m_pTGADec(std::make_unique<CTGADecoder>()),
      m_pTIFFDec(std::make_unique<CTIFFDecoder>()), m_pJPEGDec(std::make_unique<CJPEGDecoder>()),
      m_pPNGDec(std::make_unique<CPNGDecoder>()), m_pWEMFDec(std::make_unique<CWEMFDecoder>()),
      m_pPCXDec(std::make_unique<CPCXDecoder>()) {
    // NOTE: the PICT decoder is declared before the JPEG decoder it uses, so
    // it is made here, once the JPEG decoder exists.
    m_pPictDec = std::make_unique<CPictDecoder>(m_pJPEGDec.get());
}

CAnyPicDecoder::~CAnyPicDecoder() = default;

PicType CAnyPicDecoder::TypeOf(CDataSource* source) {
    const std::string name = UpperCase(source->GetName());
    if (name.find(".WMF") != std::string::npos)
        return PicType::Wmf;
    if (name.find(".EMF") != std::string::npos)
        return PicType::Emf;
    return RecogniseType(source->PeekBytes(512), source->GetRemaining());
}

CPicDecoder* CAnyPicDecoder::DecoderFor(PicType type) const {
    switch (type) {
    case PicType::Bmp:
        return m_pBmpDec.get();
    case PicType::Pict:
        return m_pPictDec.get();
    case PicType::Tga:
        return m_pTGADec.get();
    case PicType::Tiff:
    case PicType::EpsTiff:
        return m_pTIFFDec.get();
    case PicType::Jpeg:
        return m_pJPEGDec.get();
    case PicType::Png:
        return m_pPNGDec.get();
    case PicType::Wmf:
    case PicType::Emf:
        return m_pWEMFDec.get();
    case PicType::Pcx:
        return m_pPCXDec.get();
    case PicType::Unknown:
        break;
    }
    return nullptr;
}

void CAnyPicDecoder::DecodeSource(CDataSource* source, CBmp* bmp, int wantedDepth) {
    const PicType type = TypeOf(source);
    if (type == PicType::Unknown)
        RaiseError(kErrUnknownType, "Unknown file type.");
    CPicDecoder* decoder = DecoderFor(type);
    if (!decoder)
        RaiseError(kErrNoFeature, "Library not compiled for this file type.");
    if (type == PicType::EpsTiff) {
        // The TIFF preview starts at the offset stored at byte 20.
        const DWORD offset = LE32At(source->PeekBytes(24) + 20);
        source->ReadBytes(offset > 0x7FFFFFFF ? -1 : int(offset));
    }
    decoder->DecodeSource(source, bmp, wantedDepth);
}
