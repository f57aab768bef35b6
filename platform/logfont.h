#pragma once
// The font description of text layers, laid out exactly as it is kept in
// memory and written, field by field, into design files.

#include "platform/wintypes.h"

class QFont;

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight; // < 0: character height in pixels; > 0: cell height; 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight; // 0 default, 400 normal, 700 bold
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
using LOGFONT = LOGFONTA;

static_assert(sizeof(LOGFONTA) == 60);

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;

namespace platform {

// Builds the Qt font a font description asks for. A positive height is a
// cell height (ascent plus descent) and is converted with the font's own
// metrics, so this needs a running QGuiApplication.
QFont FontFromLogFont(const LOGFONTA& lf);

// The font description of a Qt font: the height as a negative pixel height,
// the face name cut to 31 bytes on a character boundary.
LOGFONTA LogFontFromFont(const QFont& font);

// Copies a UTF-8 face name into the fixed field, cut to at most 31 bytes
// without splitting a character.
void SetFaceName(LOGFONTA& lf, const char* name);

} // namespace platform
