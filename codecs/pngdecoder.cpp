#include "codecs/pngdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Chunk names, each closed by a zero byte, as libpng takes them.
constexpr png_byte kUnusedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL";

// libpng's error callback must not return. It keeps the message and jumps
// back; the decoder throws once it is out of the library's frames.
struct ReadState {
    CDataSource* source;
    std::string message;
    std::optional<CTextException> pending; // end of input met by the reader
};

void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    state->message = message ? message : "";
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    try {
        std::memcpy(data, state->source->ReadBytes(int(length)), length);
    } catch (const CTextException& e) {
        state->pending = e;
        png_error(png, "read past the end of the data");
    }
}

// Sets up the transformations that bring every colour type to blue, green,
// red and alpha bytes, and answers whether the picture carries alpha: an
// alpha channel, or a transparency chunk (a transparent colour or grey, or
// an alpha per palette entry), which becomes alpha.
bool SetTransformations(png_structp png, png_infop info) {
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool transparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    const bool alpha = colourType == PNG_COLOR_TYPE_GRAY_ALPHA ||
                       colourType == PNG_COLOR_TYPE_RGBA || transparencyChunk;
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA ||
        colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_expand(png);
    if (transparencyChunk)
        png_set_tRNS_to_alpha(png);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return alpha;
}

bool DecodeWithLibrary(png_structp png, png_infop info, ReadState* state, CBmp* bmp) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, state, PngRead);
    png_read_info(png, info);
    const long long width = png_get_image_width(png, info);
    const long long height = png_get_image_height(png, info);
    // Deflate makes at most 1032 bytes of each byte it reads.
    const long long bitsPerPixel = png_get_bit_depth(png, info) * png_get_channels(png, info);
    try {
        CheckPictureSize(width, height, "PNG decoder");
        CheckPictureCost(width, height, state->source->GetRemaining(),
                         std::max(1LL, 1032 * 8 / bitsPerPixel), "PNG decoder");
    } catch (const CTextException& e) {
        state->pending = e;
        return false;
    }
    const bool alpha = SetTransformations(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) {
        state->message = "unexpected row layout";
        return false;
    }
    bmp->Create(int(width), int(height), 32, alpha);
    png_read_image(png, bmp->GetLineArray());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

void CPNGDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>*, int*, CDataSource* source) {
    ReadState state{source, {}, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        RaiseError(kErrOutOfMemory, "Out of memory creating the PNG reader.");
    }
    // libpng's own side limit; the picture size limit with its message is
    // ours, checked once the header is read.
    png_set_user_limits(png, 1000000, 1000000);
    // Side data the picture does not need (texts, colour profiles, palettes
    // of suggestions, EXIF, scales) is passed over unread: libpng holds such
    // a chunk whole, taking its length field at its word and only warning of
    // a length beyond its limit, so a 167-byte file asked for 1.9 GB.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnusedChunks,
                                int(sizeof kUnusedChunks / 5));
    const bool ok = DecodeWithLibrary(png, info, &state, bmp);
    png_destroy_read_struct(&png, &info, nullptr);
    if (ok)
        return;
    if (state.pending)
        throw *state.pending;
    RaiseError(kErrUnsupported, state.message);
}
