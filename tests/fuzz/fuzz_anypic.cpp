#include "codecs/anypicdecoder.h"
#include "fuzzdecode.h"

// Every format through recognition, as a picture file of unknown name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    static CAnyPicDecoder decoder;
    return FuzzDecode(decoder, data, size, "fuzz.pic");
}
