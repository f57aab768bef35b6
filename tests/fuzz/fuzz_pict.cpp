#include "codecs/jpegcodec.h"
#include "codecs/pictdecoder.h"
#include "fuzzdecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CJPEGDecoder jpeg;
    static CPictDecoder decoder(&jpeg);
    return FuzzDecode(decoder, data, size, "fuzz.pict");
}
