#pragma once
// The look shared by every drawn resource: the colours of the interface,
// the faces of buttons in their four looks, panels, fonts and fitted labels.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

namespace resbuilder {

// --- Colours of the interface
namespace colours {
inline const QColor kNight{0x0f, 0x17, 0x33};     // darkest background
inline const QColor kNavy{0x1a, 0x28, 0x50};      // toolbar band
inline const QColor kInk{0xf2, 0xf5, 0xff};       // text and icons on buttons
inline const QColor kAmber{0xff, 0xb8, 0x3b};     // hover and focus accent
inline const QColor kCoral{0xf2, 0x67, 0x4f};     // accent of the product mark
inline const QColor kTeal{0x2c, 0xc3, 0xb5};      // second accent
inline const QColor kStripWell{0x32, 0x32, 0x32}; // thumb strips paint this behind thumbs
inline const QColor kPopupGrey{0xbf, 0xbf, 0xbf}; // background of the popup windows
} // namespace colours

// --- Buttons
// The four looks of a button strip, in their order from the top of the strip.
enum class Look { Disabled, Normal, Hover, Pressed };
inline constexpr Look kStripOrder[4] = {Look::Disabled, Look::Normal, Look::Hover, Look::Pressed};

// The colour family of a button: one per group of commands.
enum class Tone { Blue, Teal, Violet, Coral, Slate };

// Paints a rounded button face filling `rect` in the given look. The area
// outside the rounded corners is left untouched, so the caller fills it with
// whatever lies behind the button first.
void PaintButtonFace(QPainter& p, const QRectF& rect, Tone tone, Look look, qreal radius = 8);

// The colour of icons and labels on a face of this look.
QColor ContentColour(Look look);

// How far the content of a pressed button moves right and down.
inline constexpr qreal kPressedShift = 1.0;

// A strip: the four looks of a face of `size`, stacked vertically from the
// top in the order disabled, normal, hover, pressed. `paint` draws one look
// into the given rectangle; `backdrop`, when not null, is drawn first behind
// each look (it is scaled to the face).
QImage MakeStrip(QSize size, const std::function<void(QPainter&, QRectF, Look)>& paint,
                 const QImage* backdrop = nullptr);

// --- Panels of the backgrounds
// A softly lit rounded panel: translucent fill, light border, inner shadow.
void PaintPanel(QPainter& p, const QRectF& rect, qreal radius = 10, qreal lift = 1.0);
// A recessed well in which a control sits.
void PaintWell(QPainter& p, const QRectF& rect, qreal radius = 6);

// --- Text
// The interface face: a bold sans-serif that is installed on every machine
// that builds the resources (Liberation Sans from fonts-liberation2, else
// DejaVu Sans from fonts-dejavu-core).
QFont InterfaceFont(qreal pixelSize, bool bold = true);
QFont DisplayFont(qreal pixelSize); // the product mark

// Draws a label into `box`, centred vertically, aligned by `flags`
// (Qt::AlignLeft or Qt::AlignHCenter), on one line when it fits at
// `maxPixelSize`, else broken into two lines, shrinking the font down to
// `minPixelSize`. Returns false when even the smallest size does not fit.
bool DrawFittedLabel(QPainter& p, const QRectF& box, const QString& text, QColor colour, int flags,
                     qreal maxPixelSize, qreal minPixelSize);

// Checks that the fonts the resources are drawn with are installed; throws
// std::runtime_error naming the missing family otherwise.
void RequireFonts();

} // namespace resbuilder
