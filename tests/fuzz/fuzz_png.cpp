#include "codecs/pngdecoder.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CPNGDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.png");
}
