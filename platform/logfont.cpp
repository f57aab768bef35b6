#include "platform/logfont.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

QFont::Weight WeightFromLogFont(LONG weight) {
    if (weight <= 0)
        return QFont::Normal;
    // Both scales run from 100 (thin) to 900 (black) in steps of 100.
    return static_cast<QFont::Weight>(std::clamp<int>(weight, 100, 900));
}

// Pixel size whose cell (ascent + descent) is as close to cellHeight as the
// font allows.
int PixelSizeForCellHeight(QFont font, int cellHeight) {
    font.setPixelSize(cellHeight);
    const int measured = QFontMetrics(font).height();
    if (measured <= 0)
        return cellHeight;
    const double scaled = double(cellHeight) * cellHeight / measured;
    return std::max(1, int(std::lround(scaled)));
}

} // namespace

void SetFaceName(LOGFONTA& lf, const char* name) {
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    if (!name)
        return;
    size_t len = std::min(std::strlen(name), size_t(LF_FACESIZE - 1));
    // Step back over continuation bytes so no character is split.
    while (len > 0 && len < std::strlen(name) && (BYTE(name[len]) & 0xC0) == 0x80)
        --len;
    std::memcpy(lf.lfFaceName, name, len);
}

QFont FontFromLogFont(const LOGFONTA& lf) {
    QFont font;
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    if (face[0])
        font.setFamily(QString::fromUtf8(face));
    if (lf.lfHeight < 0)
        font.setPixelSize(-lf.lfHeight);
    else if (lf.lfHeight > 0)
        font.setPixelSize(PixelSizeForCellHeight(font, lf.lfHeight));
    font.setWeight(WeightFromLogFont(lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    if (lf.lfQuality == NONANTIALIASED_QUALITY)
        font.setStyleStrategy(QFont::NoAntialias);
    if ((lf.lfPitchAndFamily & 0x3) == FIXED_PITCH)
        font.setFixedPitch(true);
    return font;
}

LOGFONTA LogFontFromFont(const QFont& font) {
    LOGFONTA lf{};
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    lf.lfHeight = -pixels;
    lf.lfWeight = font.weight();
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    lf.lfPitchAndFamily = font.fixedPitch() ? FIXED_PITCH : VARIABLE_PITCH;
    if (font.styleStrategy() & QFont::NoAntialias)
        lf.lfQuality = NONANTIALIASED_QUALITY;
    SetFaceName(lf, font.family().toUtf8().constData());
    return lf;
}

} // namespace platform
