#pragma once
// A button that shows one clip-art picture: the thumbnail part of the image
// it holds, fitted into a black field inside a two-pixel coloured frame,
// with an edge that follows the look (pressed, hover, enabled, disabled).
// The image comes from the manager's cache like a button's strip; thumb
// strips move pictures between their thumbs instead of loading them again.

#include "controls/button.h"

#include <memory>

// Thumb bits of m_dwFlags, besides the button bits (BTN_KEEP_ASPECT keeps
// the picture's proportions).
constexpr DWORD THUMB_IMAGE = 0x1E0000; // set when an image is assigned
constexpr DWORD THUMB_PLACEHOLDER =
    0x4000000; // the field stays black while the picture is replaced

class CThumbControl : public CButtonControl {
public:
    // A button with the first seven arguments; the insets are the border
    // between the window edge and the picture field, frame the colour of
    // the frame drawn inside that border.
    CThumbControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                  const char* caption, DWORD initialFlags, DWORD extraStyle, int insetX, int insetY,
                  COLORREF frame);
    ~CThumbControl() override;

    // Pictures between thumbs ------------------------------------------------------------
    // Takes over the other's image and thumbnail (and its placeholder look),
    // leaving the other empty; FALSE for null.
    virtual BOOL TakeImageFrom(CThumbControl* other);
    // Another reference to the other's image and a copy of its thumbnail;
    // FALSE when there is nothing to copy or the copy has no thumbnail.
    virtual BOOL CopyImageFrom(CThumbControl* other);
    // Exchanges image, thumbnail and the whole state word; FALSE for null.
    virtual BOOL SwapImagesWith(CThumbControl* other);
    // Gives the image back to the cache and shows the empty field.
    virtual void ClearImage();

    // Loading ---------------------------------------------------------------------------
    // Loads only the thumbnail part through the cache, without palette
    // matching. FALSE for an empty name, a file that does not load, or an
    // image without a thumbnail (it is kept, but the field stays black).
    BOOL SetBitmapFile(const char* name) override;
    // The same for an image in memory, added to the cache first.
    BOOL SetBitmap(CDIB* image) override;

    // Drawing and dragging ----------------------------------------------------------------
    // Draws the thumb at the area's size, else at the window's current size.
    void OnPaint(CDC* dc, const RECT* area) override;
    // A snapshot of the window at its current size, for the drag icon.
    CDIB* CreateDragImage() override;
    // Sets the frame colour and repaints when it changed.
    void SetFrameColor(COLORREF colour);

    CDIB* GetImage() const { return m_pStrip; }
    CDIB* GetThumbnail() const { return m_pThumbnail; }

    int m_nInsetX;
    int m_nInsetY;
    COLORREF m_crFrame;
    CDIB* m_pThumbnail; // the thumbnail part shown, or null

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Takes an image the cache holds a reference for; TRUE when it has a
    // thumbnail to show.
    BOOL TakeImage(CDIB* image);
    void ForgetThumbnail();
    // Ends the button's press after a drag took the mouse away from it.
    void LetGoAfterDrag(const QMouseEvent* event);

    std::unique_ptr<CDIB> m_pOwnThumbnail; // a thumbnail copied from another thumb
    bool m_bDragRan;                       // a drag started during this mouse move
};
