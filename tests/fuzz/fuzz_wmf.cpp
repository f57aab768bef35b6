#include "codecs/wemfdecoder.h"
#include "fuzzdecode.h"

// Windows metafiles, with or without the placeable header; the first byte
// chooses an enhanced metafile instead, as the file's name would.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    static CWEMFDecoder decoder;
    if (size == 0)
        return 0;
    return FuzzDecode(decoder, data + 1, size - 1, (data[0] & 1) ? "fuzz.emf" : "fuzz.wmf");
}
