#pragma once
// The pictograms of the interface, drawn as lines and shapes so that they
// stay sharp at any size: one per command of the buttons, plus the motifs
// of the backgrounds and popup pictures.

#include <QColor>
#include <QRectF>

class QPainter;

namespace resbuilder {

enum class Icon {
    Quit,           // power symbol
    Open,           // open folder
    Save,           // floppy disk
    Print,          // printer
    Preview,        // page under a magnifier
    AddText,        // letter T with a plus badge
    EditText,       // letter T with a pencil
    ChevronUp,      // scroll back
    ChevronDown,    // scroll forward
    LayerUp,        // stacked sheets, arrow up
    LayerDown,      // stacked sheets, arrow down
    LayerDelete,    // waste bin
    LayerDeleteAll, // stacked sheets crossed out
    Palette,        // painter's palette
    Pictures,       // framed landscape picture
};

// Draws the icon centred in `box` (the drawing keeps a square shape, fitted
// to the smaller side) with lines and fills of `colour`.
void DrawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& colour);

} // namespace resbuilder
