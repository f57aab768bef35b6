#pragma once
// A window control that shows one image. At zoom 1.0 the image just covers
// the window, keeping its proportions and centred; dragging with the left
// button moves it (never so far that a gap opens, or that a smaller image
// leaves the window), dragging with the right button zooms it with a
// velocity that grows with the zoom. The page print window shows the
// picture of the chosen page mode in one.

#include "controls/wndcontrol.h"

#include <string>

class CDIB;

// Viewer bits of m_dwFlags.
enum : DWORD {
    VIEWER_HAS_IMAGE = 0x10000, // an image is shown
    VIEWER_NO_MOVE = 0x20000,   // the left-button drag does nothing
    VIEWER_NO_ZOOM = 0x40000,   // the right-button drag does nothing
};

class CDIBViewer : public CWndControl {
public:
    static constexpr double kMinZoom = 0.3;
    static constexpr double kMaxZoom = 8.0;

    // A black window without an image; never the active control.
    CDIBViewer(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD style);
    // Gives the image back to the manager's cache.
    ~CDIBViewer() override;

    // Images -------------------------------------------------------------------------
    // Shows the image of a stored name, loaded through the manager's cache;
    // zoom and pan start afresh. FALSE without a manager, for the image
    // already shown, and when it does not load (the viewer then shows
    // nothing).
    BOOL SetImageFile(const std::string& path);
    // The same for an image in memory; the cache takes a reference.
    BOOL SetImage(CDIB* image);
    CDIB* GetImage() const { return m_pImage; }

    // Zoom and pan ---------------------------------------------------------------------
    // Clamps to [0.3, 8.0] and redraws; the current value changes nothing.
    void SetZoom(double zoom);
    double GetZoom() const { return m_dZoom; }
    // The rectangle the image is shown in, in window pixels, as the last
    // redraw placed it.
    const CRect& GetDisplayRect() const { return m_rcDisplay; }

    // Control slots ----------------------------------------------------------------------
    void OnLButtonUp(UINT, int, int) override {}
    void OnRButtonUp(UINT, int, int) override {}
    // Left drag pans, right drag zooms (see the header comment).
    void OnMouseMove(UINT flags, int x, int y) override;
    // A press also stops the zoom velocity.
    void RememberPress(POINT* point) override;
    // Places the image (clamping zoom and pan) and repaints now.
    void Redraw(const RECT* area, int full) override;

    double m_dZoom;
    double m_dZoomSpeed;
    double m_dPanX; // from the centred place, in window pixels; x to the right
    double m_dPanY; // y downward
    CDIB* m_pImage; // held from the manager's cache; null when none

protected:
    // The image in its rectangle and the background around it.
    void OnPaint(CDC* dc) override;

private:
    // Takes an image that already holds a reference for the viewer.
    BOOL TakeImage(CDIB* image);
    void ReleaseShownImage();
    // Computes the display rectangle from the window, zoom and pan, and
    // clamps zoom and pan to what can be shown; FALSE with nothing to show.
    bool PlaceImage();

    CRect m_rcDisplay;
};
