#include "codecs/tgadecoder.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTGADecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.tga");
}
