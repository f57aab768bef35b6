#include "codecs/pngencoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <optional>
#include <string>

namespace {

constexpr double kMetresPerInch = 0.0254;

// libpng's error callback must not return: the message is kept and the
// encoder throws once it is out of the library's frames.
struct WriteState {
    CDataSink* sink;
    std::string message;
    std::optional<CTextException> pending; // the sink's own failure
};

void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    state->message = message ? message : "";
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    try {
        state->sink->WriteBytes(data, int(length));
    } catch (const CTextException& e) {
        state->pending = e;
        png_error(png, "the output buffer is full");
    }
}

void PngFlush(png_structp) {}

png_uint_32 PixelsPerMetre(double dpi) {
    return png_uint_32(std::lround(dpi / kMetresPerInch));
}

bool EncodeWithLibrary(png_structp png, png_infop info, WriteState* state, CBmp* bmp) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, state, PngWrite, PngFlush);
    const bool alpha = bmp->HasAlpha();
    png_set_IHDR(png, info, png_uint_32(bmp->GetWidth()), png_uint_32(bmp->GetHeight()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (bmp->GetResolutionX() > 0 && bmp->GetResolutionY() > 0)
        png_set_pHYs(png, info, PixelsPerMetre(bmp->GetResolutionX()),
                     PixelsPerMetre(bmp->GetResolutionY()), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    // The bitmap's pixels are blue, green, red and a fourth byte, which is
    // the alpha or is left out.
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < bmp->GetHeight(); ++y)
        png_write_row(png, bmp->Line(y));
    png_write_end(png, info);
    return true;
}

} // namespace

void CPNGEncoder::EncodeBody(CBmp* bmp, CDataSink* sink) {
    if (bmp->GetBitsPerPixel() != 32)
        RaiseError(kErrUnsupported, "PNG encoder: only 32-bit bitmaps can be written.");
    WriteState state{sink, {}, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        RaiseError(kErrOutOfMemory, "Out of memory creating the PNG writer.");
    }
    const bool ok = EncodeWithLibrary(png, info, &state, bmp);
    png_destroy_write_struct(&png, &info);
    if (ok)
        return;
    if (state.pending)
        throw *state.pending;
    RaiseError(kErrNoFeature, "PNG encoder: " + state.message);
}
