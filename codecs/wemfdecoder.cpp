#include "codecs/wemfdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"
#include "platform/metafile/metafile.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableHeaderSize = 22;

bool NameSaysEmf(const std::string& name) {
    std::string upper(name);
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper.find(".EMF") != std::string::npos;
}

short Le16At(const BYTE* p) {
    return short(p[0] | (p[1] << 8));
}

// Some writers count the 22 bytes of the placeable header in the size field
// (in 16-bit words, at byte 6) of the metafile header that follows it. Such
// a size is taken as the metafile's own, so that a file whose records are
// all there is read; the records are checked as for any metafile.
const BYTE* WithOwnSize(const BYTE* data, size_t size, std::vector<BYTE>* copy) {
    if (size < 10)
        return data;
    const unsigned long long words =
        DWORD(data[6]) | (DWORD(data[7]) << 8) | (DWORD(data[8]) << 16) | (DWORD(data[9]) << 24);
    if (words * 2 <= size || words * 2 - kPlaceableHeaderSize > size)
        return data;
    copy->assign(data, data + size);
    const DWORD own = DWORD(words - kPlaceableHeaderSize / 2);
    for (int i = 0; i < 4; ++i)
        (*copy)[size_t(6 + i)] = BYTE(own >> (8 * i));
    return copy->data();
}

} // namespace

void CWEMFDecoder::PictureSize(int* width, int* height, bool placeable, const short box[4],
                               int unitsPerInch, const CRect& frame, const CSize& devicePixels,
                               const CSize& deviceMm) {
    long long w = 0, h = 0;
    if (placeable) {
        // NOTE: a placeable header gives its box in units per inch; a zero
        // unit count has no size and falls back to the default below.
        if (unitsPerInch > 0) {
            w = (long long)(box[2] - box[0]) * platform::ScreenLogPixelsX() / unitsPerInch;
            h = (long long)(box[3] - box[1]) * platform::ScreenLogPixelsY() / unitsPerInch;
        }
    } else {
        // The frame's edges are the file's: their distance may not fit an int.
        const long long frameWidth = (long long)frame.right - frame.left;
        const long long frameHeight = (long long)frame.bottom - frame.top;
        if (deviceMm.cx > 0)
            w = frameWidth * devicePixels.cx / ((long long)deviceMm.cx * 100);
        if (deviceMm.cy > 0)
            h = frameHeight * devicePixels.cy / ((long long)deviceMm.cy * 100);
    }
    *width = w <= 0 ? 320 : int(std::min<long long>(w, 1 << 30));
    *height = h <= 0 ? 200 : int(std::min<long long>(h, 1 << 30));
}

void CWEMFDecoder::FitLongSide(int* width, int* height) {
    const int longSide = std::max(*width, *height);
    if (longSide <= kMaxMetafileSide)
        return;
    const auto fit = [longSide](int side) {
        return int(
            std::max<long long>(1, ((long long)side * kMaxMetafileSide + longSide / 2) / longSide));
    };
    *width = fit(*width);
    *height = fit(*height);
}

void CWEMFDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>*, int*, CDataSource* source) {
    const bool emf = NameSaysEmf(source->GetName());
    bool placeable = false;
    short box[4] = {0, 0, 0, 0};
    int unitsPerInch = 0;
    if (!emf && source->GetRemaining() >= kPlaceableHeaderSize) {
        const BYTE* head = source->PeekBytes(kPlaceableHeaderSize);
        DWORD key;
        std::memcpy(&key, head, 4);
        if (key == kPlaceableKey) {
            placeable = true;
            for (int i = 0; i < 4; ++i)
                box[i] = Le16At(head + 6 + i * 2);
            unitsPerInch = WORD(Le16At(head + 14));
            source->Skip(kPlaceableHeaderSize);
        }
    }
    std::string reason;
    std::vector<BYTE> copy;
    const size_t size = size_t(source->GetRemaining());
    const BYTE* data = source->CurrentPointer();
    if (placeable)
        data = WithOwnSize(data, size, &copy);
    const auto metafile = platform::CMetafile::Load(
        data, size, emf ? platform::CMetafile::Kind::Emf : platform::CMetafile::Kind::Wmf, &reason);
    if (!metafile)
        RaiseError(kErrNoFeature, "Windows Metafile functions failed to load this image.");
    const platform::MetafileHeader& header = metafile->Header();
    int width = 0, height = 0;
    PictureSize(&width, &height, placeable, box, unitsPerInch, header.frame, header.deviceSize,
                header.deviceMm);
    FitLongSide(&width, &height);
    CheckPictureSize(width, height, "Metafile decoder");

    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        RaiseError(kErrOutOfMemory, "Cannot allocate memory bitmap.");
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        metafile->Play(painter, QRect(0, 0, width, height));
    }
    bmp->Create(width, height, 32, true);
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        BYTE* out = bmp->Line(y);
        // The picture is opaque: every pixel gets alpha 255.
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = BYTE(qBlue(in[x]));
            out[1] = BYTE(qGreen(in[x]));
            out[2] = BYTE(qRed(in[x]));
            out[3] = 255;
        }
    }
    source->Skip(source->GetRemaining());
}
