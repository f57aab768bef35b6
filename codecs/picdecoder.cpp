#include "codecs/picdecoder.h"

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"

#include <climits>

CPicDecoder::~CPicDecoder() = default;

void CPicDecoder::DecodeFile(const std::string& path, CBmp* bmp, int wantedDepth) {
    CFileSource source;
    const int code = source.OpenFile(path);
    if (code != 0)
        RaiseErrorF(code, "Opening %s failed", path.c_str());
    DecodeSource(&source, bmp, wantedDepth);
}

void CPicDecoder::DecodeSource(CDataSource* source, CBmp* bmp, int wantedDepth) {
    std::vector<RGBQUAD> palette;
    int depth = wantedDepth;
    DecodeBody(bmp, &palette, &depth, source);
}

void CPicDecoder::DecodeBody(CBmp*, std::vector<RGBQUAD>*, int*, CDataSource*) {}

CPicEncoder::~CPicEncoder() = default;

int CPicEncoder::SinkBufferSize(int memoryUsed) {
    return memoryUsed > 19999 ? int(memoryUsed * 1.2) : memoryUsed + 4096;
}

void CPicEncoder::EncodeFile(const std::string& path, CBmp* bmp) {
    CFileSink sink;
    if (sink.OpenFile(path, SinkBufferSize(bmp->MemoryUsed())) != 0)
        RaiseErrorF(kErrOutputOpen, "Opening %s failed", path.c_str());
    EncodeToSink(bmp, &sink);
    if (!sink.Close())
        RaiseErrorF(kErrOutputOpen, "Writing %s failed", path.c_str());
}

void CPicEncoder::EncodeToSink(CBmp* bmp, CDataSink* sink) {
    EncodeBody(bmp, sink);
}

namespace {

// A picture's pixels, or the most a long long holds: a file's two 32-bit
// sides multiply past it, and the wrapped product passed every limit.
long long PixelCount(long long width, long long height) {
    long long pixels;
    return __builtin_mul_overflow(width, height, &pixels) ? LLONG_MAX : pixels;
}

} // namespace

void CheckPictureSize(long long width, long long height, const char* decoderName) {
    if (width < 1 || height < 1)
        RaiseErrorF(kErrCorrupt, "%s: picture has no pixels (%lld x %lld).", decoderName, width,
                    height);
    if (PixelCount(width, height) <= kMaxPicturePixels)
        return;
    try {
        RaiseErrorF(kErrOutOfMemory,
                    "Out of memory: %s picture of %lld x %lld pixels is too large.", decoderName,
                    width, height);
    } catch (CTextException& e) {
        e.SetPictureSize(width, height);
        throw;
    }
}

void CheckPictureCost(long long width, long long height, long long dataBytes,
                      long long pixelsPerByte, const char* decoderName) {
    const long long pixels = PixelCount(width, height);
    if (pixels <= kPixelsAnyDataMayMake || pixels / pixelsPerByte <= dataBytes)
        return;
    RaiseErrorF(kErrCorrupt,
                "%s: a picture of %lld x %lld pixels cannot come from %lld bytes of data.",
                decoderName, width, height, dataBytes);
}

void RequireInput(const CDataSource* source, long long minBytes) {
    if (minBytes > source->GetRemaining())
        throw CTextException(kErrEndOfData, kEndOfFileText);
}
