#pragma once
// Base classes of the decoders and encoders, and the size guards every
// decoder applies before it allocates a picture.

#include "platform/bitmapheaders.h"

#include <string>
#include <vector>

class CBmp;
class CDataSource;
class CDataSink;

class CPicDecoder {
public:
    virtual ~CPicDecoder();

    // Decodes the file into the bitmap at 32 bits per pixel; a decoder that
    // can (JPEG) gives 24 when that is the wanted depth, so check the
    // bitmap's depth. Throws CTextException.
    virtual void DecodeFile(const std::string& path, CBmp* bmp, int wantedDepth);
    // Decodes from the source's current position.
    virtual void DecodeSource(CDataSource* source, CBmp* bmp, int wantedDepth);

protected:
    // The format's own work: read the header, Create the bitmap, fill rows.
    // A palette the format needs lives in *palette until decoding ends.
    virtual void DecodeBody(CBmp* bmp, std::vector<RGBQUAD>* palette, int* destinationDepth,
                            CDataSource* source);
};

class CPicEncoder {
public:
    virtual ~CPicEncoder();

    // Encodes the bitmap into the file. Throws CTextException; an existing
    // file is replaced only by a completely written one.
    virtual void EncodeFile(const std::string& path, CBmp* bmp);
    virtual void EncodeToSink(CBmp* bmp, CDataSink* sink);

    // Output buffer size for a bitmap: 1.2 times its memory above 19999
    // bytes, else its memory plus 4096.
    static int SinkBufferSize(int memoryUsed);

protected:
    virtual void EncodeBody(CBmp* bmp, CDataSink* sink) = 0;
};

// Size guards ------------------------------------------------------------------

// The largest picture any decoder makes (100 megapixels, 400 MB at 32 bits).
// Fuzz builds refuse pictures beyond 512 x 512 pixels (1 MB), so that no
// input costs more than a few milliseconds, first writes to fresh memory
// included, and the fuzzer reaches millions of inputs; the program and its
// tests always use the real limit.
#ifdef MORVANE_FUZZ_BUILD
constexpr long long kMaxPicturePixels = 262'144;
#else
constexpr long long kMaxPicturePixels = 100'000'000;
#endif

// Refuses, before anything is allocated, a width or height below 1 (code 7)
// and a picture beyond kMaxPicturePixels (code 10).
void CheckPictureSize(long long width, long long height, const char* decoderName);

// Pictures up to this size are made whatever data they come with (2048 x
// 2048: about 30 MB for the decoded picture and the image made from it).
#ifdef MORVANE_FUZZ_BUILD
constexpr long long kPixelsAnyDataMayMake = 65'536;
#else
constexpr long long kPixelsAnyDataMayMake = 4'194'304;
#endif

// Compressed data says how large its picture is apart from the data itself,
// so a file of a few bytes could make a picture of hundreds of megabytes.
// A picture beyond kPixelsAnyDataMayMake is refused (code 7) before it is
// made when it has more pixels than its data could hold: dataBytes times
// the format's densest code, in pixels per byte.
void CheckPictureCost(long long width, long long height, long long dataBytes,
                      long long pixelsPerByte, const char* decoderName);

// Throws code 11 unless the source still holds at least minBytes: a header
// that claims more pixel data than the file has fails before allocating.
void RequireInput(const CDataSource* source, long long minBytes);
