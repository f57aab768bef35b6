#include "codecs/tiffcodec.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/orientation.h"
#include "codecs/textexception.h"
#include "codecs/tiffputs.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// libtiff's messages go to one process-wide buffer that the codec raises.
char g_tiffMessage[1024];

void TiffError(const char* module, const char* format, va_list args) {
    char text[900];
    std::vsnprintf(text, sizeof text, format, args);
    std::snprintf(g_tiffMessage, sizeof g_tiffMessage, "%s%s%s\n", module ? module : "",
                  module ? ": " : "", text);
}

void TiffWarning(const char*, const char*, va_list) {}

void InstallHandlers() {
    static const bool installed = [] {
        TIFFSetErrorHandler(TiffError);
        TIFFSetWarningHandler(TiffWarning);
        return true;
    }();
    (void)installed;
}

// An in-memory stream: data, position, capacity and the used size, which
// for writing lives in the sink.
struct MemSource {
    BYTE* data;
    toff_t position;
    toff_t capacity;
    int* used;
    char mode; // 'r' or 'w'
};

tmsize_t MemRead(thandle_t h, void* buffer, tmsize_t size) {
    auto* m = static_cast<MemSource*>(h);
    if (m->mode != 'r' || size < 0 || m->position >= m->capacity)
        return 0;
    const toff_t n = std::min<toff_t>(toff_t(size), m->capacity - m->position);
    std::memcpy(buffer, m->data + m->position, size_t(n));
    m->position += n;
    return tmsize_t(n);
}

void RaiseUsed(MemSource* m) {
    if (m->mode == 'w' && m->position > toff_t(*m->used))
        *m->used = int(std::min<toff_t>(m->position, m->capacity));
}

tmsize_t MemWrite(thandle_t h, void* buffer, tmsize_t size) {
    auto* m = static_cast<MemSource*>(h);
    if (size < 0 || m->position >= m->capacity)
        return 0;
    // NOTE: output beyond the capacity is cut; the short count makes
    // libtiff fail the write instead of producing a truncated file.
    const toff_t n = std::min<toff_t>(toff_t(size), m->capacity - m->position);
    std::memcpy(m->data + m->position, buffer, size_t(n));
    m->position += n;
    RaiseUsed(m);
    return tmsize_t(n);
}

toff_t MemSeek(thandle_t h, toff_t offset, int whence) {
    auto* m = static_cast<MemSource*>(h);
    const toff_t used = m->mode == 'r' ? m->capacity : toff_t(*m->used);
    switch (whence) {
    case SEEK_SET:
        m->position = offset;
        break;
    case SEEK_CUR:
        m->position += offset;
        break;
    case SEEK_END:
        m->position = used - offset;
        break;
    default:
        return toff_t(-1);
    }
    RaiseUsed(m);
    return m->position;
}

int MemClose(thandle_t) {
    return 0;
}

toff_t MemSize(thandle_t h) {
    auto* m = static_cast<MemSource*>(h);
    return m->mode == 'r' ? m->capacity : toff_t(*m->used);
}

// A read stream is its own map: libtiff then takes strips and tiles straight
// from the buffer (checking their offsets against its size) instead of
// copying them into buffers of its own rounded-up sizes, which it refuses
// for uncompressed tiles smaller than its rounding.
int MemMap(thandle_t h, void** base, toff_t* size) {
    auto* m = static_cast<MemSource*>(h);
    if (m->mode != 'r')
        return 0;
    *base = m->data;
    *size = m->capacity;
    return 1;
}
void MemUnmap(thandle_t, void*, toff_t) {}

TIFF* OpenStream(MemSource* stream, const char* mode) {
    InstallHandlers();
    g_tiffMessage[0] = '\0';
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    // No single allocation of a hostile file may exceed what a picture of
    // the largest allowed size needs.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kMaxPicturePixels) * 4);
    TIFF* tiff = TIFFClientOpenExt("MemSource", mode, stream, MemRead, MemWrite, MemSeek, MemClose,
                                   MemSize, MemMap, MemUnmap, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

[[noreturn]] void RaiseTiff(int code) {
    RaiseError(code, g_tiffMessage);
}

// The RGBA reader multiplies unassociated alpha into the colours; described
// as associated, its samples are copied as they are stored. Answers whether
// the stored colours themselves are pre-multiplied (associated alpha), so
// that the picture's own colours must be recovered from them.
bool PrepareAlpha(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* info = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &info) || count == 0 || !info)
        return false;
    if (info[0] == EXTRASAMPLE_ASSOCALPHA)
        return true;
    if (info[0] != EXTRASAMPLE_UNASSALPHA)
        return false;
    // NOTE: the library frees its array when the field is set; pass a copy.
    std::vector<uint16_t> described(info, info + count);
    described[0] = EXTRASAMPLE_ASSOCALPHA;
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, count, described.data());
    return false;
}

// Divides a pre-multiplied colour by its alpha, rounded; a transparent
// pixel keeps colour 0, which is all its file holds.
BYTE Unpremultiplied(uint32_t colour, uint32_t alpha) {
    if (alpha == 0)
        return 0;
    return BYTE(std::min<uint32_t>(255, (colour * 255 + alpha / 2) / alpha));
}

} // namespace

namespace {

// The library turns orientations 1 to 4 upright itself; 5 to 8 (rows and
// columns swapped) it is asked to leave as stored, and they are turned
// once the picture is read.
int RequestOrientation(TIFFRGBAImage* image) {
    const int orientation =
        image->orientation >= 1 && image->orientation <= 8 ? image->orientation : 1;
    image->req_orientation = uint16_t(orientation >= 5 ? orientation : ORIENTATION_TOPLEFT);
    return orientation;
}

void CopyRaster(const std::vector<uint32_t>& raster, CBmp* bmp, bool divide) {
    const int width = bmp->GetWidth();
    for (int y = 0; y < bmp->GetHeight(); ++y) {
        const uint32_t* in = raster.data() + size_t(y) * size_t(width);
        BYTE* out = bmp->Line(y);
        for (int x = 0; x < width; ++x, out += 4) {
            const uint32_t a = TIFFGetA(in[x]);
            if (divide) {
                out[0] = Unpremultiplied(TIFFGetB(in[x]), a);
                out[1] = Unpremultiplied(TIFFGetG(in[x]), a);
                out[2] = Unpremultiplied(TIFFGetR(in[x]), a);
            } else {
                out[0] = BYTE(TIFFGetB(in[x]));
                out[1] = BYTE(TIFFGetG(in[x]));
                out[2] = BYTE(TIFFGetR(in[x]));
            }
            out[3] = BYTE(a);
        }
    }
}

} // namespace

void CTIFFDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>*, int*, CDataSource* source) {
    MemSource stream{const_cast<BYTE*>(source->CurrentPointer()), 0, toff_t(source->GetRemaining()),
                     nullptr, 'r'};
    TIFF* tiff = OpenStream(&stream, "r");
    if (!tiff)
        RaiseTiff(kErrWrongFormat);
    const bool premultiplied = PrepareAlpha(tiff);
    char message[1024] = "";
    CTiffImage reader;
    TIFFRGBAImage& image = reader.image;
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&image, tiff, 0, message)) {
        TIFFClose(tiff);
        RaiseError(kErrWrongFormat, std::string(message) + "\n");
    }
    const long long width = image.width, height = image.height;
    try {
        CheckPictureSize(width, height, "TIFF decoder");
        // Deflate, the most compressing of the usual schemes, at one bit per
        // pixel; a blank fax page may compress further and is refused.
        CheckPictureCost(width, height, (long long)stream.capacity, 1032 * 8, "TIFF decoder");
    } catch (const CTextException&) {
        TIFFRGBAImageEnd(&image);
        TIFFClose(tiff);
        throw;
    }
    const int orientation = RequestOrientation(&image);
    reader.premultiplied = premultiplied;
    // Pixels the library would reduce or convert less well are put by our
    // own routines: CIELab, and 16-bit colours multiplied by alpha.
    const bool ownPut = InstallOwnPuts(&reader);
    const bool alpha = image.alpha != 0;
    const bool divide = !ownPut && premultiplied && image.alpha == EXTRASAMPLE_ASSOCALPHA;
    bmp->Create(int(width), int(height), 32, alpha);
    std::vector<uint32_t> raster;
    try {
        raster.resize(size_t(width * height));
    } catch (const std::bad_alloc&) {
        TIFFRGBAImageEnd(&image);
        TIFFClose(tiff);
        RaiseError(kErrOutOfMemory, "Out of memory allocating TIFF buffer.");
    }
    const int ok = TIFFRGBAImageGet(&image, raster.data(), uint32_t(width), uint32_t(height));
    TIFFRGBAImageEnd(&image);
    TIFFClose(tiff);
    if (!ok)
        RaiseTiff(kErrWrongFormat);
    // NOTE: with the requested orientation the raster's rows run from the top.
    CopyRaster(raster, bmp, divide);
    if (orientation >= 5)
        ApplyOrientation(bmp, orientation);
}

void CTIFFEncoder::EncodeBody(CBmp* bmp, CDataSink* sink) {
    if (bmp->GetBitsPerPixel() != 32)
        RaiseError(kErrUnsupported, "TIFF encoder: only 32-bit bitmaps can be written.");
    MemSource stream{sink->GetBuffer() + sink->GetBytesWritten(), 0,
                     toff_t(sink->GetBufferSize() - sink->GetBytesWritten()),
                     sink->BytesWrittenPointer(), 'w'};
    TIFF* tiff = OpenStream(&stream, "w");
    if (!tiff)
        RaiseTiff(kErrNoFeature);
    const int width = bmp->GetWidth();
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(bmp->GetHeight()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    if (bmp->GetResolutionX() > 0 && bmp->GetResolutionY() > 0) {
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(bmp->GetResolutionX()));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(bmp->GetResolutionY()));
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    }
    std::vector<BYTE> rgb(size_t(width) * 3);
    bool ok = true;
    for (int y = 0; ok && y < bmp->GetHeight(); ++y) {
        const BYTE* in = bmp->Line(y);
        for (int x = 0; x < width; ++x) {
            rgb[size_t(x) * 3] = in[x * 4 + 2];
            rgb[size_t(x) * 3 + 1] = in[x * 4 + 1];
            rgb[size_t(x) * 3 + 2] = in[x * 4];
        }
        ok = TIFFWriteScanline(tiff, rgb.data(), uint32_t(y), 0) == 1;
    }
    ok = ok && TIFFFlush(tiff) == 1;
    TIFFClose(tiff);
    if (!ok)
        RaiseError(kErrEndOfData, "TIFF encoder: the picture does not fit the output buffer.");
}
