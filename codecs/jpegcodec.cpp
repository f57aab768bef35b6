#include "codecs/jpegcodec.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/orientation.h"
#include "codecs/textexception.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

// libjpeg reports fatal errors through a callback that must not return.
// The callback keeps the library's message and jumps back to the caller,
// which then throws: no C++ exception ever crosses the library's frames.
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    std::optional<CTextException> pending; // an error of our own callbacks
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void SilentOutput(j_common_ptr) {}

void InitErrorManager(ErrorManager* err) {
    jpeg_std_error(&err->pub);
    err->pub.error_exit = ErrorExit;
    err->pub.output_message = SilentOutput;
    err->message[0] = '\0';
}

[[noreturn]] void RaiseFromLibrary(ErrorManager* err) {
    if (err->pending)
        throw *err->pending;
    RaiseError(kErrNoFeature, std::string(err->message) + "\n");
}

// Memory source: the rest of the data source as one buffer. When libjpeg
// wants more than there is, it gets an end-of-image marker and a warning,
// so a truncated file still decodes as far as its data goes.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

struct MemorySource {
    jpeg_source_mgr pub;
    bool exhausted; // the data ran out and the end marker was supplied
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    reinterpret_cast<MemorySource*>(cinfo->src)->exhausted = true;
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    if (size_t(count) > cinfo->src->bytes_in_buffer) {
        FillInputBuffer(cinfo);
        return;
    }
    cinfo->src->next_input_byte += count;
    cinfo->src->bytes_in_buffer -= size_t(count);
}

} // namespace

struct CJPEGDecoder::Impl {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    MemorySource source;
};

CJPEGDecoder::CJPEGDecoder() : m_impl(std::make_unique<Impl>()) {
    InitErrorManager(&m_impl->err);
    m_impl->cinfo.err = &m_impl->err.pub;
    jpeg_create_decompress(&m_impl->cinfo);
}

CJPEGDecoder::~CJPEGDecoder() {
    jpeg_destroy_decompress(&m_impl->cinfo);
}

namespace {

// Rows come out three bytes a pixel (blue, green, red) or four, the
// fourth opaque.
void CmykToBgr(const JSAMPLE* in, BYTE* out, int width, int pixelBytes, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += pixelBytes) {
        // Adobe writes CMYK inverted; plain CMYK is complemented first.
        const int c = inverted ? in[0] : 255 - in[0];
        const int m = inverted ? in[1] : 255 - in[1];
        const int y = inverted ? in[2] : 255 - in[2];
        const int k = inverted ? in[3] : 255 - in[3];
        out[0] = BYTE(y * k / 255);
        out[1] = BYTE(m * k / 255);
        out[2] = BYTE(c * k / 255);
        if (pixelBytes == 4)
            out[3] = 255;
    }
}

void GreyToBgr(const JSAMPLE* in, BYTE* out, int width, int pixelBytes) {
    for (int x = 0; x < width; ++x, out += pixelBytes) {
        out[0] = out[1] = out[2] = in[x];
        if (pixelBytes == 4)
            out[3] = 255;
    }
}

constexpr int kExifMarker = JPEG_APP0 + 1;

// Every 8 x 8 block of a scan costs at least one bit of Huffman code: 512
// pixels a byte for grey, fewer for colour; arithmetic coding is given
// eight times that.
constexpr long long kJpegPixelsPerByte = 4096;

// The orientation of the first EXIF block among the markers libjpeg kept.
int OrientationFromMarkers(const jpeg_decompress_struct* cinfo) {
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next)
        if (m->marker == kExifMarker && m->data_length >= 6 &&
            std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

// Everything that calls into libjpeg lives here, below the jump target,
// with no objects that need destructors. Colours are upsampled the way
// libjpeg does by default (smoothly, "fancy"), as other readers show them.
// Asked for 24 bits, the bitmap gets three bytes a pixel, which colour
// pictures are decoded into directly; otherwise four.
bool DecodeWithLibrary(jpeg_decompress_struct* cinfo, ErrorManager* err, CBmp* bmp, int depth,
                       std::vector<JSAMPLE>* scratch, int* orientation) {
    if (setjmp(err->jump)) {
        jpeg_abort_decompress(cinfo);
        return false;
    }
    jpeg_save_markers(cinfo, kExifMarker, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    *orientation = OrientationFromMarkers(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    const J_COLOR_SPACE in = cinfo->jpeg_color_space;
    const bool cmyk = in == JCS_CMYK || in == JCS_YCCK;
    const int pixelBytes = depth == 24 ? 3 : 4;
    const J_COLOR_SPACE direct = pixelBytes == 3 ? JCS_EXT_BGR : JCS_EXT_BGRX;
    if (cinfo->out_color_space != JCS_GRAYSCALE)
        cinfo->out_color_space = cmyk ? JCS_CMYK : direct;
    jpeg_calc_output_dimensions(cinfo);
    const long long width = cinfo->output_width, height = cinfo->output_height;
    try {
        CheckPictureSize(width, height, "JPEG decoder");
        CheckPictureCost(width, height, (long long)cinfo->src->bytes_in_buffer, kJpegPixelsPerByte,
                         "JPEG decoder");
    } catch (const CTextException& e) {
        err->pending = e;
        jpeg_abort_decompress(cinfo);
        return false;
    }
    jpeg_start_decompress(cinfo);
    const int w = int(cinfo->output_width), h = int(cinfo->output_height);
    bmp->Create(w, h, pixelBytes * 8, false);
    scratch->resize(size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        JSAMPROW row = cinfo->out_color_space == direct ? bmp->Line(y) : scratch->data();
        jpeg_read_scanlines(cinfo, &row, 1);
        BYTE* out = bmp->Line(y);
        if (cinfo->out_color_space == JCS_GRAYSCALE)
            GreyToBgr(scratch->data(), out, w, pixelBytes);
        else if (cinfo->out_color_space == JCS_CMYK)
            CmykToBgr(scratch->data(), out, w, pixelBytes, cinfo->saw_Adobe_marker);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

void CJPEGDecoder::DecodeBody(CBmp* bmp, std::vector<RGBQUAD>*, int* depth, CDataSource* source) {
    Impl& m = *m_impl;
    m.err.pending.reset();
    jpeg_source_mgr& src = m.source.pub;
    src.init_source = InitSource;
    src.fill_input_buffer = FillInputBuffer;
    src.skip_input_data = SkipInputData;
    src.resync_to_restart = jpeg_resync_to_restart;
    src.term_source = TermSource;
    src.next_input_byte = source->CurrentPointer();
    src.bytes_in_buffer = size_t(source->GetRemaining());
    m.source.exhausted = false;
    m.cinfo.src = &src;
    std::vector<JSAMPLE> scratch;
    int orientation = 1;
    if (!DecodeWithLibrary(&m.cinfo, &m.err, bmp, depth ? *depth : 32, &scratch, &orientation))
        RaiseFromLibrary(&m.err);
    // Cameras store the picture as the sensor saw it and say in EXIF how to
    // turn it upright.
    ApplyOrientation(bmp, orientation);
    // What libjpeg read is consumed, so data after the picture stays unread.
    source->Skip(m.source.exhausted ? source->GetRemaining()
                                    : source->GetRemaining() - int(src.bytes_in_buffer));
}

// Encoder ---------------------------------------------------------------------

namespace {

constexpr size_t kOutputChunk = 8192;

struct Destination {
    jpeg_destination_mgr pub;
    CDataSink* sink;
    JOCTET* buffer;
    ErrorManager* err;
};

void Flush(j_compress_ptr cinfo, size_t bytes) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    try {
        dest->sink->WriteBytes(dest->buffer, int(bytes));
    } catch (const CTextException& e) {
        dest->err->pending = e;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(j_common_ptr(cinfo), JPOOL_IMAGE, kOutputChunk));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutputChunk;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    Flush(cinfo, kOutputChunk);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutputChunk;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    Flush(cinfo, kOutputChunk - dest->pub.free_in_buffer);
}

// The JFIF density: whole dots per inch where the resolution is one,
// else dots per centimetre, which say a metric resolution more exactly.
void SetDensity(jpeg_compress_struct* cinfo, const CBmp& bmp) {
    const double x = bmp.GetResolutionX(), y = bmp.GetResolutionY();
    if (x <= 0 || y <= 0)
        return;
    const bool wholeInches =
        std::fabs(x - std::round(x)) < 0.005 && std::fabs(y - std::round(y)) < 0.005;
    const double scale = wholeInches ? 1.0 : 1 / 2.54;
    const auto density = [scale](double dpi) {
        return UINT16(std::clamp(std::lround(dpi * scale), 1L, 65535L));
    };
    cinfo->write_JFIF_header = TRUE;
    cinfo->density_unit = wholeInches ? 1 : 2;
    cinfo->X_density = density(x);
    cinfo->Y_density = density(y);
}

bool EncodeWithLibrary(jpeg_compress_struct* cinfo, ErrorManager* err, CBmp* bmp) {
    if (setjmp(err->jump)) {
        jpeg_abort_compress(cinfo);
        return false;
    }
    cinfo->image_width = JDIMENSION(bmp->GetWidth());
    cinfo->image_height = JDIMENSION(bmp->GetHeight());
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(cinfo);
    SetDensity(cinfo, *bmp);
    cinfo->dct_method = JDCT_FLOAT;
    jpeg_start_compress(cinfo, TRUE);
    for (int y = 0; y < bmp->GetHeight(); ++y) {
        JSAMPROW row = bmp->Line(y);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

struct CJPEGEncoder::Impl {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    Destination dest;
};

CJPEGEncoder::CJPEGEncoder() : m_impl(std::make_unique<Impl>()) {
    InitErrorManager(&m_impl->err);
    m_impl->cinfo.err = &m_impl->err.pub;
    jpeg_create_compress(&m_impl->cinfo);
}

CJPEGEncoder::~CJPEGEncoder() {
    jpeg_destroy_compress(&m_impl->cinfo);
}

void CJPEGEncoder::EncodeBody(CBmp* bmp, CDataSink* sink) {
    if (bmp->GetBitsPerPixel() != 32)
        RaiseError(kErrUnsupported, "JPEG encoder: only 32-bit bitmaps can be written.");
    Impl& m = *m_impl;
    m.err.pending.reset();
    m.dest.pub.init_destination = InitDestination;
    m.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    m.dest.pub.term_destination = TermDestination;
    m.dest.sink = sink;
    m.dest.err = &m.err;
    m.cinfo.dest = &m.dest.pub;
    if (!EncodeWithLibrary(&m.cinfo, &m.err, bmp))
        RaiseFromLibrary(&m.err);
}
