#pragma once
// The default palette of 256-colour displays and the pictures matched to it.

#include <QImage>
#include <QList>
#include <QRgb>

namespace resbuilder {

// 256 distinct colours: the twenty static colours of such displays at both
// ends (indices 0-9 and 246-255) and in between a 6 x 6 x 6 colour cube,
// tones of the interface's own colours (greys and navy blues) and steps of
// grey.
QList<QRgb> DefaultPalette();

// The palette picture: an 8-bit image whose colour table is the palette,
// showing every entry as a 16 x 16 swatch.
QImage PalettePicture(const QList<QRgb>& palette);

// The image with every pixel replaced by a palette colour, the rounding
// errors spread to the neighbours (Floyd-Steinberg), so that the result
// shows unchanged on a display limited to the palette. 24-bit result.
QImage MatchToPalette(const QImage& image, const QList<QRgb>& palette);

} // namespace resbuilder
