// Fuzz target of the design file reader: any bytes must parse within the
// limits, write back as valid UTF-8 and read back as the same design. A
// broken invariant aborts, so the fuzzer reports it as a finding.

#include "app/designfile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "design invariant broken: %s\n", what);
        std::abort();
    }
}

// Reals are written with six decimals, so a value read back may differ by
// the rounding of its sixth decimal.
bool NearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-6 + 1e-15 * std::fmax(std::fabs(a), std::fabs(b));
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBox(const DesignBox& a, const DesignBox& b) {
    return a.reserved == b.reserved && NearlyEqual(a.x, b.x) && NearlyEqual(a.y, b.y) &&
           NearlyEqual(a.width, b.width) && NearlyEqual(a.height, b.height) &&
           a.visible == b.visible && a.mirrored == b.mirrored && a.flipped == b.flipped;
}

bool SameRecord(const DesignRecord& a, const DesignRecord& b) {
    if (a.kind != b.kind || a.opacity != b.opacity || !SameBox(a.box, b.box))
        return false;
    if (a.IsText())
        return a.text.colour == b.text.colour && a.text.alignment == b.text.alignment &&
               a.text.text == b.text.text && SameFont(a.text.font, b.text.font);
    if (a.IsPicture())
        return a.picture.loadMode == b.picture.loadMode &&
               a.picture.imagePath == b.picture.imagePath &&
               a.picture.alphaPath == b.picture.alphaPath &&
               a.picture.thumbPath == b.picture.thumbPath;
    return true;
}

bool BoxWithinLimit(const DesignBox& box) {
    for (double v : {box.x, box.y, box.width, box.height})
        if (!std::isfinite(v) || std::fabs(v) > kMaxDesignBoxMagnitude)
            return false;
    return true;
}

void CheckLimits(const DesignFile& design) {
    Require(std::isfinite(design.header.aspect), "finite aspect");
    Require(design.records.size() <= size_t(kMaxDesignRecords), "record limit");
    for (const DesignRecord& record : design.records) {
        Require(BoxWithinLimit(record.box), "box within limit");
        Require(record.text.text.size() <= kMaxDesignTextLength, "text limit");
        Require(IsValidUtf8(record.text.text), "text is UTF-8");
        Require(strnlen(record.text.font.lfFaceName, LF_FACESIZE) <= kMaxDesignFaceName,
                "face name terminated");
        Require(IsValidUtf8(record.text.font.lfFaceName), "face name is UTF-8");
        Require(record.picture.imagePath.size() <= kMaxDesignLineLength, "line limit");
    }
}

void CheckReadBack(const DesignFile& design, const std::string& written) {
    const DesignFile again = ParseDesign(written);
    Require(again.records.size() == design.records.size(), "record count read back");
    Require(NearlyEqual(again.header.aspect, design.header.aspect), "aspect read back");
    Require(
        std::memcmp(again.header.colours, design.header.colours, sizeof design.header.colours) == 0,
        "colours read back");
    Require(again.header.pageMode == design.header.pageMode, "page mode read back");
    Require(again.pageWidth == design.pageWidth && again.pageHeight == design.pageHeight,
            "page size read back");
    for (size_t i = 0; i < design.records.size(); ++i)
        Require(SameRecord(again.records[i], design.records[i]), "record read back");
}

void CheckPaths(const DesignFile& design) {
    for (const DesignRecord& record : design.records) {
        const std::string trimmed = TrimDesignPath(record.picture.imagePath);
        Require(trimmed.size() <= record.picture.imagePath.size(), "trim only shortens");
        if (!trimmed.empty()) {
            Require(std::strchr("\n\r \\'./", trimmed.front()) == nullptr, "trimmed front");
            Require(std::strchr("\n\r \\'./", trimmed.back()) == nullptr, "trimmed back");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DesignFile design = ParseDesign(bytes);
    CheckLimits(design);
    CheckPaths(design);

    const std::string written = WriteDesignText(design);
    Require(IsValidUtf8(written), "written file is UTF-8");
    // A cut text may end in a piece of a marker line, and a written file
    // beyond the size limit is cut again: only whole designs read back alike.
    if (!design.truncated && written.size() <= kMaxDesignFileSize)
        CheckReadBack(design, written);

    ScaleDesignToPage(design, 800, 842);
    for (const DesignRecord& record : design.records)
        Require(BoxWithinLimit(record.box), "scaled box within limit");
    return 0;
}
