#include "codecs/pcxdecoder.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CPCXDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.pcx");
}
