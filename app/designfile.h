#pragma once
// The ".prt" design file as data: a plain text of one value per line that
// records the page colours, the print page mode, the page proportions, the
// page size at the time of saving and every layer with its content and its
// box. This file reads such a text into a parsed design and writes the lines
// back, byte for byte; the main view turns a parsed design into layers and
// its layers into lines. Files come from outside and are read as hostile:
// every read is bounded, and the reading stops at the end of the data
// whatever the file announces.

#include "platform/logfont.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Limits against damaged and hostile files ------------------------------------

// Bytes read from a design file; the rest of a larger file is ignored.
constexpr size_t kMaxDesignFileSize = 16u << 20;
// Bytes kept of one line; the rest of the line is consumed and dropped.
constexpr size_t kMaxDesignLineLength = 64u << 10;
// Bytes kept of the text of a text layer (far more than a layer can show).
constexpr size_t kMaxDesignTextLength = 64u << 10;
// Records read from a design file, whatever its count line announces.
constexpr int kMaxDesignRecords = 10000;
// Box values, after scaling, are kept within this magnitude so that the
// integer boxes derived from them always fit.
constexpr double kMaxDesignBoxMagnitude = 1e6;
// The face name field holds 31 bytes and its terminator.
constexpr size_t kMaxDesignFaceName = LF_FACESIZE - 1;

// Layer kinds of a record.
constexpr int kDesignTextLayer = 1;
constexpr int kDesignPictureLayer = 2;
constexpr int kDesignThumbnailLayer = 3; // a picture shown by its thumbnail part

// The parsed design --------------------------------------------------------------

// Lines 1 to 7.
struct DesignHeader {
    COLORREF colours[5] = {}; // main, top-left, top-right, bottom-left, bottom-right
    int pageMode = 0;         // 0 none, 1 full T-shirt, 2 small logo, 3 own size
    double aspect = 0.0;      // page width / page height, as written (may be 0)
};

struct DesignTextBlock {
    COLORREF colour = 0;
    int alignment = 0; // 0 left, 1 centred, 2 right
    std::string text;  // lines joined with "\n"; a carriage return stays
    LOGFONTA font{};   // all zero when the block had no begin marker
};

struct DesignPictureBlock {
    int loadMode = 0;      // given back to the picture as it was written
    std::string imagePath; // as written: trim and resolve before loading
    std::string alphaPath; // written, never used on reading
    std::string thumbPath; // written, never used on reading
};

// The box of a layer in page pixels; width and height may be negative.
struct DesignBox {
    int reserved = 0;
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    int visible = 0;
    int mirrored = 0;
    int flipped = 0;
};

struct DesignRecord {
    int kind = 0;               // 1 text, 2 and 3 picture, any other: no block, no layer
    BYTE opacity = 0;           // the low byte of the number written
    DesignTextBlock text;       // kind 1 only
    DesignPictureBlock picture; // kinds 2 and 3 only
    DesignBox box;
    // From the extension block (designextensions.h), not the record.
    double angle = 0.0;                      // degrees clockwise, [0, 360)
    std::vector<std::string> extensionLines; // kept lines this program does not know

    bool IsText() const { return kind == kDesignTextLayer; }
    bool IsPicture() const { return kind == kDesignPictureLayer || kind == kDesignThumbnailLayer; }
};

struct DesignFile {
    DesignHeader header;
    int announcedCount = 0; // line 8, as written; records may be fewer
    int pageWidth = 0;      // lines 9 and 10: the page size when it was saved
    int pageHeight = 0;
    // From the back-most layer to the front-most, as in the file.
    std::vector<DesignRecord> records;
    // Lines of the extension block that belong to the design as a whole.
    std::vector<std::string> extensionLines;
    bool truncated = false; // a limit above cut the data short
};

// Reading ----------------------------------------------------------------------

// Reads the lines of a design text. A line runs up to the next line feed or
// zero byte, which is consumed but not kept; a carriage return stays in the
// line. At the end of the data every further line is empty.
class CDesignLineReader {
public:
    // The reader keeps a view of the data, which must outlive it.
    explicit CDesignLineReader(std::string_view data) : m_data(data) {}
    explicit CDesignLineReader(std::string&&) = delete;

    std::string ReadLine();
    // The next line without reading it.
    std::string_view PeekLine() const;
    // The conversions of the C run time in the "C" locale, whatever the
    // process locale: leading white space, a sign, digits; 0 for a line
    // that does not start with a number. Integers saturate at 32 bits.
    int ReadInt();
    LONG ReadLong();
    double ReadReal();

    bool AtEnd() const { return m_nPos >= m_data.size(); }
    size_t Position() const { return m_nPos; }
    // True once a line or a text longer than its limit was cut.
    bool WasCut() const { return m_bCut; }
    void MarkCut() { m_bCut = true; }

private:
    // The next line as a view of the data, cut to the line limit.
    std::string_view NextLine();

    std::string_view m_data;
    size_t m_nPos = 0;
    bool m_bCut = false;
};

// The number conversions of the reader, for one line.
int DesignToInt(std::string_view line);
LONG DesignToLong(std::string_view line);
double DesignToReal(std::string_view line);

// The file bytes as UTF-8: unchanged when they are valid UTF-8 (a leading
// byte-order mark is dropped), otherwise read as Windows-1252, the code page
// of designs from older installations.
std::string DecodeDesignBytes(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);

// Parses the bytes of a design file (decoded as above). Never fails: what
// is missing reads as empty lines and zeros, and reading stops at the end
// of the data or at a limit. Boxes are as written, not yet scaled. The
// records end early where the extension block begins.
DesignFile ParseDesign(std::string_view bytes);
// Reads the text block that follows a record's kind and opacity lines.
DesignTextBlock ReadDesignTextBlock(CDesignLineReader& reader);

// Scale factors from the page size of the file to the current page: W / Wf
// and H / Hf, or 1 where the file's size is 0 or negative.
double DesignScaleFactor(int currentSize, int fileSize);
// Every record's box multiplied by the factors for the current page size,
// kept within kMaxDesignBoxMagnitude.
void ScaleDesignToPage(DesignFile& design, int pageWidth, int pageHeight);

// Writing: each value on its own line, "%d", "%f" (six decimals, always with
// a point) or "%s", never a carriage return of its own -------------------

void AppendDesignInt(std::string& out, long long value);
void AppendDesignReal(std::string& out, double value);
// The text up to its first zero byte, as "%s" writes it.
void AppendDesignString(std::string& out, std::string_view text);

// Lines 1 to 7.
void AppendDesignHeader(std::string& out, const DesignHeader& header);
// Lines 8 to 10: the count and the page size, "1000\n1000\n" without a page.
void AppendDesignPageLines(std::string& out, int count, bool hasPage, int pageWidth,
                           int pageHeight);
// The two common lines of a record: kind and opacity.
void AppendDesignRecordStart(std::string& out, int kind, int opacity);
// Colour, alignment, the text between its markers, 13 font lines, face name.
void AppendDesignTextBlock(std::string& out, const DesignTextBlock& block);
// Load mode and the image, alpha and thumbnail paths.
void AppendDesignPictureBlock(std::string& out, const DesignPictureBlock& block);
// Reserved, x, y, width, height, visible, mirrored, flipped.
void AppendDesignBox(std::string& out, const DesignBox& box);
// A whole record: common lines, the block of its kind, the box.
void AppendDesignRecord(std::string& out, const DesignRecord& record);
// The whole file of a parsed design, its count line being its record
// count, with its extension block when it has one.
std::string WriteDesignText(const DesignFile& design);

// Picture paths --------------------------------------------------------------------

// The image path with every character of "\n\r \\'./" removed from both ends:
// ".\\res\\Data\\ipicture.bmp" becomes "res\\Data\\ipicture.bmp".
std::string TrimDesignPath(std::string_view path);
// The first of: the trimmed path unchanged, under the program folder, under
// the content folder, rooted at "/" (an absolute path of this system lost
// its leading slash to the trimming), that names an existing file; as a path
// of this system (backslashes to '/'). Empty when none exists. The folders
// end in a separator, as the application settings keep them.
// A design folder, when given, is tried last: pictures that were pasted
// into a design are stored beside it and named without a folder.
std::string ResolveDesignPath(const std::string& trimmedPath, const std::string& programFolder,
                              const std::string& contentFolder,
                              const std::string& designFolder = std::string());
