#include "platform/fontchooser.h"

#include <QFont>
#include <QFontInfo>

namespace platform {

QFont FontForFontDialog(const LOGFONTA& initial) {
    QFont font = FontFromLogFont(initial);
    // The chooser lists sizes in points; a pixel size would show as none.
    const double points = QFontInfo(font).pointSizeF();
    if (points > 0)
        font.setPointSizeF(points);
    return font;
}

LOGFONTA LogFontFromFontDialog(const QFont& chosen, const QFont& shown, const LOGFONTA& initial) {
    LOGFONTA lf = initial;
    if (chosen.family() != shown.family())
        SetFaceName(lf, chosen.family().toUtf8().constData());
    if (chosen.pointSizeF() != shown.pointSizeF() || chosen.pixelSize() != shown.pixelSize()) {
        const int pixels =
            chosen.pixelSize() > 0 ? chosen.pixelSize() : QFontInfo(chosen).pixelSize();
        lf.lfHeight = -pixels;
    }
    if (chosen.weight() != shown.weight())
        lf.lfWeight = chosen.weight();
    if (chosen.italic() != shown.italic())
        lf.lfItalic = chosen.italic() ? 1 : 0;
    if (chosen.underline() != shown.underline())
        lf.lfUnderline = chosen.underline() ? 1 : 0;
    if (chosen.strikeOut() != shown.strikeOut())
        lf.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    return lf;
}

} // namespace platform
