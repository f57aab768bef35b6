#pragma once
// The one error of the codec layer: a numeric code and a text. Decoders,
// encoders, sources and sinks report every failure by throwing it.

#include <exception>
#include <string>

// Error codes.
enum : int {
    kErrOutputOpen = -1,  // output file cannot be opened
    kErrWrongFormat = 1,  // not of the expected format (signature, version)
    kErrUnsupported = 2,  // a variant of the format that is not supported
    kErrPathNotFound = 3, // path not found
    kErrFileNotFound = 4, // file not found, or any other open failure
    kErrAccessDenied = 5, // access denied, sharing violation, cannot map
    kErrNoFeature = 6,    // feature not available, or the library failed
    kErrCorrupt = 7,      // the data is corrupt
    kErrUnknownType = 8,  // unknown file type
    kErrOutOfMemory = 10, // out of memory
    kErrEndOfData = 11,   // end of input, or end of output buffer
};

class CTextException : public std::exception {
public:
    CTextException(int code, const std::string& text) : m_nCode(code), m_strText(text) {}

    int Code() const { return m_nCode; }
    const char* Text() const { return m_strText.c_str(); }
    const char* what() const noexcept override { return m_strText.c_str(); }

    // A picture refused for its size alone carries that size, so that the
    // program can tell the user in words of its own.
    void SetPictureSize(long long width, long long height) {
        m_llWidth = width;
        m_llHeight = height;
    }
    bool IsPictureTooLarge() const { return m_llWidth > 0 && m_llHeight > 0; }
    long long PictureWidth() const { return m_llWidth; }
    long long PictureHeight() const { return m_llHeight; }

private:
    int m_nCode;
    std::string m_strText;
    long long m_llWidth = 0;
    long long m_llHeight = 0;
};

// Throws the common form: "Decoder error: <message>\n" with the code.
[[noreturn]] void RaiseError(int code, const std::string& message);
// The same with a printf-style message.
[[noreturn]] void RaiseErrorF(int code, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The two end-of-data texts, thrown as they stand.
constexpr const char* kEndOfFileText = "End of file reached while decoding.\n";
constexpr const char* kBufferOverflowText = "Buffer overflow while encoding.\n";
