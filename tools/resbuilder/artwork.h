#pragma once
// The pictures of the interface that are not buttons: the main view's
// background, the splash picture, the wizard's two choices and the page
// print window's mode pictures, and the product mark they share.

#include <QImage>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace resbuilder {

// --- The product mark
// A T-shirt outline on a 24 x 24 grid.
QPainterPath TShirtPath();
// The emblem (a T-shirt in the accent gradient on a rounded badge) and the
// word "Kavelo", fitted into `box` and centred in it; `onDark` picks white
// or navy letters.
void PaintProductMark(QPainter& p, const QRectF& box, bool onDark);

// The application icon for desktop menus: the emblem alone, `side` pixels
// square, on a transparent ground.
QImage ApplicationIcon(int side);
// The icon of a design file in file managers: a sheet with a folded corner
// and the emblem's T-shirt on it, `side` pixels square.
QImage DesignFileIcon(int side);

// --- Main view
// The 800 x 600 background: a toolbar band with panels behind the button
// groups, wells behind the layer list and the opacity slider, the colour
// swatch panel, wells for the two thumb strips, a frame around the page and
// the product mark.
QImage MainBackground();

// --- Popups
// The splash and about picture, 500 x 400.
QImage SplashPicture();
// The strip (four looks) of a wizard choice: a blank design, or a design
// started from a template.
QImage WizardStrip(bool fromTemplate);
// The picture of a page mode: 0 a full T-shirt print, 1 a small logo,
// 2 a size of one's own.
QImage PageModePicture(int mode);

} // namespace resbuilder
