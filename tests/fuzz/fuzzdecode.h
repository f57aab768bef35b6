#pragma once
// Shared body of the decoder fuzz targets: decode the bytes as a file of
// the given name; a refusal is an expected outcome, anything else (a crash,
// a sanitizer report, an escaping exception of another type) is a finding.

#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/picdecoder.h"
#include "codecs/textexception.h"

#include <climits>
#include <cstddef>
#include <cstdint>

inline int FuzzDecode(CPicDecoder& decoder, const uint8_t* data, size_t size, const char* name) {
    if (size > size_t(INT_MAX))
        return 0;
    CMemorySource source(data, int(size), name);
    CWinBmp bmp;
    try {
        decoder.DecodeSource(&source, &bmp, 32);
        // Touch both ends of every row, so that a wrong row table shows up
        // without the cost of reading every pixel.
        unsigned sum = 0;
        const size_t rowBytes = size_t(bmp.GetWidth()) * 4;
        for (int y = 0; y < bmp.GetHeight() && rowBytes > 0; ++y)
            sum += bmp.Line(y)[0] + bmp.Line(y)[rowBytes - 1];
        return int(sum & 0);
    } catch (const CTextException&) {
        return 0;
    }
}

// The fuzz targets that play metafiles or fonts need a Qt application.
void EnsureGuiApplication();
