#include "codecs/jpegcodec.h"
#include "fuzzdecode.h"

// JPEG pictures, their EXIF orientation included.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CJPEGDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.jpg");
}
