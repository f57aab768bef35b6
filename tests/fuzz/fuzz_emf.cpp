#include "codecs/wemfdecoder.h"
#include "fuzzdecode.h"

// Enhanced metafiles: the decoder knows them by the file's name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    static CWEMFDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.emf");
}
