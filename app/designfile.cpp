#include "app/designfile.h"

#include "app/designextensions.h"
#include "platform/paths.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

constexpr const char* kBeginMarker = "BEGIN_STRING";
constexpr const char* kEndMarker = "END_STRING";
constexpr std::string_view kPathTrimSet = "\n\r \\'./";

bool IsContinuationByte(char c) {
    return (BYTE(c) & 0xC0) == 0x80;
}

// The length of a prefix of at most maxLength bytes that does not split a
// UTF-8 character. A character has at most three continuation bytes, so the
// cut never steps back further (bytes that are not UTF-8 lose at most three).
size_t Utf8PrefixLength(std::string_view text, size_t maxLength) {
    if (text.size() <= maxLength)
        return text.size();
    size_t length = maxLength;
    while (length > 0 && maxLength - length < 3 && IsContinuationByte(text[length]))
        --length;
    return length;
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips leading white space and a sign; answers whether the sign was '-'.
size_t SkipSpaceAndSign(std::string_view line, bool* negative) {
    size_t i = 0;
    while (i < line.size() && IsCSpace(line[i]))
        ++i;
    *negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        *negative = line[i++] == '-';
    return i;
}

long long SaturatedDecimal(std::string_view line) {
    bool negative = false;
    size_t i = SkipSpaceAndSign(line, &negative);
    long long value = 0;
    const long long limit = negative ? -(long long)INT_MIN : (long long)INT_MAX;
    for (; i < line.size() && IsDigit(line[i]); ++i)
        value = std::min(limit, value * 10 + (line[i] - '0'));
    return negative ? -value : value;
}

// The decimal magnitude (position of the first significant digit relative
// to the point, plus the exponent) of a number that from_chars found out of
// range: above 0 it overflowed, otherwise it underflowed.
bool OverflowedRange(std::string_view number) {
    size_t i = 0;
    long long magnitude = 0;
    bool seenSignificant = false, afterPoint = false;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            afterPoint = true;
        } else if (!seenSignificant && number[i] != '0') {
            seenSignificant = true;
            if (afterPoint)
                --magnitude;
        } else if (!seenSignificant && afterPoint) {
            --magnitude;
        } else if (seenSignificant && !afterPoint) {
            ++magnitude;
        }
    }
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E'))
        magnitude += SaturatedDecimal(number.substr(i + 1));
    return magnitude >= 0;
}

double ClampBoxValue(double value) {
    return std::clamp(value, -kMaxDesignBoxMagnitude, kMaxDesignBoxMagnitude);
}

bool EqualsIgnoringCase(std::string_view line, std::string_view marker) {
    if (line.size() != marker.size())
        return false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != marker[i])
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// NOTE: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same number, as
// the system's own conversion does.
constexpr unsigned short kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the valid UTF-8 sequence at the start of the bytes, or 0.
size_t Utf8SequenceLength(std::string_view bytes) {
    const BYTE lead = BYTE(bytes[0]);
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned code, minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuationByte(bytes[i]))
            return 0;
        code = (code << 6) | (BYTE(bytes[i]) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return (code < minimum || code > 0x10FFFF || surrogate) ? 0 : length;
}

DesignPictureBlock ReadPictureBlock(CDesignLineReader& reader) {
    DesignPictureBlock block;
    block.loadMode = reader.ReadInt();
    block.imagePath = reader.ReadLine();
    block.alphaPath = reader.ReadLine();
    block.thumbPath = reader.ReadLine();
    return block;
}

DesignBox ReadBox(CDesignLineReader& reader) {
    DesignBox box;
    box.reserved = reader.ReadInt();
    box.x = ClampBoxValue(reader.ReadReal());
    box.y = ClampBoxValue(reader.ReadReal());
    box.width = ClampBoxValue(reader.ReadReal());
    box.height = ClampBoxValue(reader.ReadReal());
    box.visible = reader.ReadInt();
    box.mirrored = reader.ReadInt();
    box.flipped = reader.ReadInt();
    return box;
}

DesignRecord ReadRecord(CDesignLineReader& reader) {
    DesignRecord record;
    record.kind = reader.ReadInt();
    record.opacity = BYTE(reader.ReadInt());
    if (record.IsText())
        record.text = ReadDesignTextBlock(reader);
    else if (record.IsPicture())
        record.picture = ReadPictureBlock(reader);
    record.box = ReadBox(reader);
    return record;
}

void ReadFont(CDesignLineReader& reader, LOGFONTA& font) {
    font.lfHeight = reader.ReadLong();
    font.lfWidth = reader.ReadLong();
    font.lfEscapement = reader.ReadLong();
    font.lfOrientation = reader.ReadLong();
    font.lfWeight = reader.ReadLong();
    for (BYTE* field :
         {&font.lfItalic, &font.lfUnderline, &font.lfStrikeOut, &font.lfCharSet,
          &font.lfOutPrecision, &font.lfClipPrecision, &font.lfQuality, &font.lfPitchAndFamily})
        *field = BYTE(reader.ReadInt());
    // One byte more than the field keeps, so the cut can see a character
    // that would be split.
    const std::string face = reader.ReadLine().substr(0, kMaxDesignFaceName + 1);
    platform::SetFaceName(font, face.c_str());
}

} // namespace

// Reading --------------------------------------------------------------------

std::string_view CDesignLineReader::NextLine() {
    const size_t start = std::min(m_nPos, m_data.size());
    size_t end = start;
    while (end < m_data.size() && m_data[end] != '\n' && m_data[end] != '\0')
        ++end;
    m_nPos = end < m_data.size() ? end + 1 : end;
    const std::string_view line = m_data.substr(start, end - start);
    const size_t kept = Utf8PrefixLength(line, kMaxDesignLineLength);
    if (kept < line.size())
        m_bCut = true;
    return line.substr(0, kept);
}

std::string CDesignLineReader::ReadLine() {
    return std::string(NextLine());
}

std::string_view CDesignLineReader::PeekLine() const {
    const size_t start = std::min(m_nPos, m_data.size());
    size_t end = start;
    while (end < m_data.size() && m_data[end] != '\n' && m_data[end] != '\0')
        ++end;
    return m_data.substr(start, end - start);
}

int CDesignLineReader::ReadInt() {
    return DesignToInt(NextLine());
}

LONG CDesignLineReader::ReadLong() {
    return DesignToLong(NextLine());
}

double CDesignLineReader::ReadReal() {
    return DesignToReal(NextLine());
}

int DesignToInt(std::string_view line) {
    return int(SaturatedDecimal(line));
}

LONG DesignToLong(std::string_view line) {
    return LONG(SaturatedDecimal(line));
}

// NOTE: the conversion of the old run time read plain decimals only: no
// "inf", "nan" or hexadecimal numbers, so such lines give 0 here too. Out of
// range values saturate instead of becoming infinite.
double DesignToReal(std::string_view line) {
    bool negative = false;
    const size_t start = SkipSpaceAndSign(line, &negative);
    const std::string_view number = line.substr(start);
    if (number.empty() || !(IsDigit(number[0]) || number[0] == '.'))
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = OverflowedRange(number) ? DBL_MAX : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

bool IsValidUtf8(std::string_view bytes) {
    while (!bytes.empty()) {
        if (BYTE(bytes[0]) < 0x80) { // the common case: plain ASCII
            bytes.remove_prefix(1);
            continue;
        }
        const size_t length = Utf8SequenceLength(bytes);
        if (length == 0)
            return false;
        bytes.remove_prefix(length);
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const BYTE b = BYTE(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

std::string DecodeDesignBytes(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

DesignTextBlock ReadDesignTextBlock(CDesignLineReader& reader) {
    DesignTextBlock block;
    block.colour = COLORREF(reader.ReadLong());
    block.alignment = reader.ReadInt();
    if (!EqualsIgnoringCase(reader.ReadLine(), kBeginMarker))
        return block; // no text, no font, nothing more of this block
    // Without an end marker the text runs to the end of the data.
    bool firstLine = true;
    while (!reader.AtEnd()) {
        const std::string line = reader.ReadLine();
        if (EqualsIgnoringCase(line, kEndMarker))
            break;
        std::string piece = firstLine ? line : "\n" + line;
        firstLine = false;
        const size_t room = kMaxDesignTextLength - block.text.size();
        const size_t kept = Utf8PrefixLength(piece, room);
        if (kept < piece.size())
            reader.MarkCut();
        block.text.append(piece, 0, kept);
    }
    ReadFont(reader, block.font);
    return block;
}

DesignFile ParseDesign(std::string_view bytes) {
    DesignFile design;
    const size_t kept = Utf8PrefixLength(bytes, kMaxDesignFileSize);
    design.truncated = kept < bytes.size();
    bytes = bytes.substr(0, kept);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    // Valid UTF-8 is read in place; only an old file needs a decoded copy.
    const bool utf8 = IsValidUtf8(bytes);
    const std::string decoded = utf8 ? std::string() : Windows1252ToUtf8(bytes);
    const std::string_view text = utf8 ? bytes : std::string_view(decoded);
    CDesignLineReader reader(text);
    for (COLORREF& colour : design.header.colours)
        colour = COLORREF(reader.ReadLong());
    design.header.pageMode = reader.ReadInt();
    design.header.aspect = reader.ReadReal();
    design.announcedCount = reader.ReadInt();
    design.pageWidth = reader.ReadInt();
    design.pageHeight = reader.ReadInt();
    // Past the end of the data every record would read as kind 0 and add
    // nothing, so the count line is trusted only as far as the data goes.
    // A record takes ten lines at least, which bounds the room to reserve.
    const size_t room = std::min<size_t>(text.size() / 10 + 1, size_t(kMaxDesignRecords));
    design.records.reserve(std::min<size_t>(room, size_t(std::max(design.announcedCount, 0))));
    for (int i = 0; i < design.announcedCount && !reader.AtEnd(); ++i) {
        if (reader.PeekLine() == kExtensionsBegin)
            break; // fewer records than announced
        if (int(design.records.size()) >= kMaxDesignRecords) {
            design.truncated = true;
            break;
        }
        design.records.push_back(ReadRecord(reader));
    }
    if (reader.PeekLine() == kExtensionsBegin)
        ReadDesignExtensions(reader, design);
    design.truncated = design.truncated || reader.WasCut();
    return design;
}

double DesignScaleFactor(int currentSize, int fileSize) {
    return fileSize > 0 ? double(currentSize) / double(fileSize) : 1.0;
}

void ScaleDesignToPage(DesignFile& design, int pageWidth, int pageHeight) {
    const double sx = DesignScaleFactor(pageWidth, design.pageWidth);
    const double sy = DesignScaleFactor(pageHeight, design.pageHeight);
    for (DesignRecord& record : design.records) {
        DesignBox& box = record.box;
        box.x = ClampBoxValue(box.x * sx);
        box.y = ClampBoxValue(box.y * sy);
        box.width = ClampBoxValue(box.width * sx);
        box.height = ClampBoxValue(box.height * sy);
    }
}

// Writing --------------------------------------------------------------------

void AppendDesignInt(std::string& out, long long value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
    out += '\n';
}

// std::to_chars writes as printf does in the "C" locale, so a process
// running with a decimal comma still writes the point the reader expects.
void AppendDesignReal(std::string& out, double value) {
    char text[DBL_MAX_10_EXP + 32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    out.append(text, result.ptr);
    out += '\n';
}

void AppendDesignString(std::string& out, std::string_view text) {
    out += text.substr(0, text.find('\0'));
    out += '\n';
}

void AppendDesignHeader(std::string& out, const DesignHeader& header) {
    for (COLORREF colour : header.colours)
        AppendDesignInt(out, LONG(colour));
    AppendDesignInt(out, header.pageMode);
    AppendDesignReal(out, header.aspect);
}

void AppendDesignPageLines(std::string& out, int count, bool hasPage, int pageWidth,
                           int pageHeight) {
    AppendDesignInt(out, count);
    AppendDesignInt(out, hasPage ? pageWidth : 1000);
    AppendDesignInt(out, hasPage ? pageHeight : 1000);
}

void AppendDesignRecordStart(std::string& out, int kind, int opacity) {
    AppendDesignInt(out, kind);
    AppendDesignInt(out, opacity);
}

void AppendDesignTextBlock(std::string& out, const DesignTextBlock& block) {
    const LOGFONTA& f = block.font;
    AppendDesignInt(out, LONG(block.colour));
    AppendDesignInt(out, block.alignment);
    AppendDesignString(out, kBeginMarker);
    AppendDesignString(out, block.text);
    AppendDesignString(out, kEndMarker);
    for (LONG value : {f.lfHeight, f.lfWidth, f.lfEscapement, f.lfOrientation, f.lfWeight})
        AppendDesignInt(out, value);
    for (BYTE value : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                       f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        AppendDesignInt(out, value);
    AppendDesignString(out, std::string_view(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)));
}

void AppendDesignPictureBlock(std::string& out, const DesignPictureBlock& block) {
    AppendDesignInt(out, block.loadMode);
    AppendDesignString(out, block.imagePath);
    AppendDesignString(out, block.alphaPath);
    AppendDesignString(out, block.thumbPath);
}

void AppendDesignBox(std::string& out, const DesignBox& box) {
    AppendDesignInt(out, box.reserved);
    for (double value : {box.x, box.y, box.width, box.height})
        AppendDesignReal(out, value);
    AppendDesignInt(out, box.visible);
    AppendDesignInt(out, box.mirrored);
    AppendDesignInt(out, box.flipped);
}

void AppendDesignRecord(std::string& out, const DesignRecord& record) {
    AppendDesignRecordStart(out, record.kind, record.opacity);
    if (record.IsText())
        AppendDesignTextBlock(out, record.text);
    else if (record.IsPicture())
        AppendDesignPictureBlock(out, record.picture);
    AppendDesignBox(out, record.box);
}

std::string WriteDesignText(const DesignFile& design) {
    std::string out;
    AppendDesignHeader(out, design.header);
    AppendDesignPageLines(out, int(design.records.size()), true, design.pageWidth,
                          design.pageHeight);
    for (const DesignRecord& record : design.records)
        AppendDesignRecord(out, record);
    AppendDesignExtensions(out, design.extensionLines, ExtensionsOf(design));
    return out;
}

// Picture paths ----------------------------------------------------------------

std::string TrimDesignPath(std::string_view path) {
    const size_t first = path.find_first_not_of(kPathTrimSet);
    if (first == std::string_view::npos)
        return std::string();
    const size_t last = path.find_last_not_of(kPathTrimSet);
    return std::string(path.substr(first, last - first + 1));
}

std::string ResolveDesignPath(const std::string& trimmedPath, const std::string& programFolder,
                              const std::string& contentFolder, const std::string& designFolder) {
    if (trimmedPath.empty())
        return std::string();
    std::vector<std::string> candidates = {trimmedPath, programFolder + trimmedPath,
                                           contentFolder + trimmedPath, "/" + trimmedPath};
    if (!designFolder.empty())
        candidates.push_back(designFolder + trimmedPath);
    for (const std::string& candidate : candidates) {
        const std::string native = platform::NativePath(candidate);
        std::error_code ec;
        if (std::filesystem::is_regular_file(native, ec))
            return native;
    }
    return std::string();
}
