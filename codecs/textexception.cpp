#include "codecs/textexception.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

void RaiseError(int code, const std::string& message) {
    throw CTextException(code, "Decoder error: " + message + "\n");
}

void RaiseErrorF(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(size_t(needed > 0 ? needed : 0) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    RaiseError(code, text.data());
}
