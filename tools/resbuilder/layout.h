#pragma once
// Where the controls of the main view sit, in design units of its 800 x 600
// design (left, top, right, bottom; right and bottom exclusive). The main
// view scales these with the window, and it stretches its background picture
// the same way, so a skin drawn at its rectangle's size lines up with the
// background behind it.

#include <QRect>

namespace resbuilder::layout {

struct Box {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
};

inline constexpr int kDesignWidth = 800;
inline constexpr int kDesignHeight = 600;

// Buttons of the main view.
inline constexpr Box kQuit{638, 7, 792, 59};
inline constexpr Box kLoad{7, 59, 161, 111};
inline constexpr Box kSave{7, 111, 161, 163};
inline constexpr Box kPrint{638, 59, 792, 111};
inline constexpr Box kPreview{638, 112, 792, 164};
inline constexpr Box kAddText{46, 8, 162, 60};
inline constexpr Box kEditText{8, 8, 46, 60};

// Layer tools.
inline constexpr Box kLayerUp{174, 46, 216, 105};
inline constexpr Box kLayerDown{224, 46, 266, 105};
inline constexpr Box kLayerDelete{175, 104, 217, 163};
inline constexpr Box kLayerDeleteAll{224, 104, 266, 163};
inline constexpr Box kLayerList{280, 40, 521, 117};
inline constexpr Box kOpacitySlider{279, 122, 520, 153};

// Background colour swatches: the main one and the four page corners.
inline constexpr Box kMainColour{531, 39, 633, 81};
inline constexpr Box kCornerColours[4] = {
    {531, 88, 578, 117}, {586, 88, 633, 117}, {531, 123, 578, 152}, {586, 123, 633, 152}};

// The two thumb strips and the page.
inline constexpr Box kCategoryStrip{81, 165, 141, 601};
inline constexpr Box kFileStrip{660, 165, 720, 601};
inline constexpr Box kPage{166, 165, 635, 584};

// A thumb strip is a column of ten equal members (up button, eight thumbs,
// down button) with gaps of 2 at the sides and 3 between them: each member
// is 56 wide and about 40 high at the design size.
inline constexpr int kStripMembers = 10;
inline constexpr int kStripGapX = 2;
inline constexpr int kStripGapY = 3;
inline constexpr int kStripMemberWidth = 60 - 2 * kStripGapX;
inline constexpr int kStripMemberHeight = (436 - kStripGapY * (kStripMembers + 1)) / kStripMembers;

// Popups: the wizard's two picture buttons share a 270 x 350 window with a
// heading and a check box; the page print window's picture viewer takes
// about 1.6 / 2.6 of a 450 x 300 window's width.
inline constexpr QSize kWizardPicture{256, 136};
inline constexpr QSize kPageModePicture{320, 240};
inline constexpr QSize kSplash{500, 400};

} // namespace resbuilder::layout
