#pragma once
// The picture that follows the mouse while a control is dragged to
// another: it tracks the mouse in its own loop until the button is
// released, and tells whether that was a drop and where on the screen.

#include "controls/controlmanager.h"
#include "controls/wndcontrol.h"

class CDIB;

class CDragNDropIcon : public CPopupWindow, public CDragIconPopup {
public:
    static constexpr const char* kTitle = "Drag'n'Drop";
    static constexpr COLORREF kBackground = 0x00F7D9C8;
    // The size of an icon without a picture.
    static constexpr int kPlainWidth = 40;
    static constexpr int kPlainHeight = 35;
    // Where the icon's top-left corner sits relative to the mouse once it moves.
    static constexpr int kMouseOffset = 20;

    CDragNDropIcon();
    ~CDragNDropIcon() override;

    // Makes the icon window showing the image (not owned; null: the plain
    // colour); FALSE when it fails.
    BOOL Create(const CRect& rect, CDIB* image, const std::string& title, DWORD style,
                DWORD exStyle);
    // The icon the control manager starts a drag with: the image's size
    // (40 x 35 without one) centred on the screen point.
    BOOL CreateAt(POINT screenPoint, CDIB* image);

    // The image over the background colour, shrunk into at most 80 x 70.
    BOOL CreateControls() override;

    // The tracking loop: captures the mouse and dispatches events until the
    // button is released or found up. Answers 0.
    int RunModal(BOOL restrictToWindow) override;
    // Runs the tracking loop; TRUE and the screen point when it ended in a drop.
    bool Track(POINT* dropPoint) override;

    // Follows the mouse; a move without the left button ends without a drop.
    void OnMouseMove(UINT flags, int x, int y) override;
    // The drop: remembered in screen coordinates, and the loop ends.
    void OnLButtonUp(UINT flags, int x, int y) override;

    int GetDropFlag() const { return m_nDropped; }
    POINT GetDropPoint() const { return POINT{m_nDropX, m_nDropY}; }

    CDIB* m_pImage;
    int m_nDropped;
    int m_nDropX;
    int m_nDropY;
};
