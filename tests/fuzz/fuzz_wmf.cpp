#include "codecs/wemfdecoder.h"
#include "fuzzdecode.h"

// Windows metafiles, with or without the placeable header.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    static CWEMFDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.wmf");
}
