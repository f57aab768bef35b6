#include "codecs/tiffcodec.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CTIFFDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.tif");
}
