#include "codecs/bmpdecoder.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CBmpDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.bmp");
}
