#pragma once
// Font descriptions through the font chooser. The chooser works in points
// and shows only a family, a style, a size and the effects, so a
// description would not survive a round trip through it unchanged: a pixel
// height becomes a point size, a weight the nearest style. What the user
// left as the chooser showed it therefore keeps its exact value from the
// description it opened on.

#include "platform/logfont.h"

class QFont;

namespace platform {

// The font the chooser opens on: the description's font with its size in
// points.
QFont FontForFontDialog(const LOGFONTA& initial);

// The description of the chooser's result. shown is the font the chooser
// showed when it opened (its current font before the user acted), chosen
// the one it gave back; each of family, size, weight, italic, underline
// and strike-out that is the same in both keeps the initial value.
LOGFONTA LogFontFromFontDialog(const QFont& chosen, const QFont& shown, const LOGFONTA& initial);

} // namespace platform
