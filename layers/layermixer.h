#pragma once
// The control that shows the design on the page and lets the user arrange
// it: the layer composer in a window. It paints the composed page inside
// its frame (bands of the background colour around it, dash-dot guide
// lines just outside it and two triangle handles that set the page's
// proportions), draws the selection frame around the selected layer and
// turns the mouse into edits: a click selects the layer under it (the
// smallest one), the frame moves and sizes it (a side dragged through the
// opposite one mirrors or flips it), a click on empty page area clears
// the selection, a double click on a text layer asks for the text editor,
// and the right button opens a menu of eight commands.
//
// Coordinates: the page image lies centred in the control; layer boxes are
// page pixels, the tracker's rectangle is control pixels.

#include "controls/wndcontrol.h"
#include "layers/layercomposer.h"
#include "layers/selectiontracker.h"

#include <memory>
#include <string>

class CDC;

namespace platform {
class COverlay;
}

// Commands of the context menu, raised as selects with these senders.
enum : int {
    ID_LAYER_TO_FOREGROUND = 32776,
    ID_LAYER_TO_BACKGROUND = 32777,
    ID_LAYER_MOVE_UP = 32774,
    ID_LAYER_MOVE_DOWN = 32775,
    ID_LAYER_DELETE = 32773,
    ID_LAYER_CENTER_HORIZONTALLY = 654711,
    ID_LAYER_CENTER_VERTICALLY = 165498,
    ID_LAYER_FIT_TO_PAGE = 169813,
    // A double click on the frame of a selected text layer.
    ID_LAYER_EDIT_TEXT = 32784,
    // Added to the context menu: a copy of the layer beside it (the view
    // makes it), quarter turns (the mixer turns the layer).
    ID_LAYER_DUPLICATE = 32800,
    ID_LAYER_ROTATE_LEFT = 32801,
    ID_LAYER_ROTATE_RIGHT = 32802,
    // Keys that move the selected layer by a page pixel, and by ten.
    ID_LAYER_NUDGE_LEFT = 32803,
    ID_LAYER_NUDGE_RIGHT,
    ID_LAYER_NUDGE_UP,
    ID_LAYER_NUDGE_DOWN,
    ID_LAYER_NUDGE_LEFT_FAR,
    ID_LAYER_NUDGE_RIGHT_FAR,
    ID_LAYER_NUDGE_UP_FAR,
    ID_LAYER_NUDGE_DOWN_FAR,
};

class CLayerMixer : public CWndControl, public CLayerComposer {
public:
    static constexpr COLORREF kGuideColour = 0xC83737;
    static constexpr COLORREF kActiveHandleColour = 0x14FF14;
    static constexpr COLORREF kHandleColour = 0x1414FF;
    static constexpr double kMaxMargin = 0.484; // half the control less the tight margin

    // A child window with the page background colour 0xE8E8E8, never the
    // active control, listening to its manager; no page image until the
    // first Relayout.
    CLayerMixer(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD style);
    ~CLayerMixer() override;

    // Page on screen --------------------------------------------------------------------
    // The page image takes the page rectangle (unless the user is sizing the
    // host), the margins are fitted to the new size, and the page redrawn.
    void Relayout() override;
    // Synchronises the layers, composes the area (null: the dirty
    // rectangle; full: the whole page) and repaints the control.
    void Redraw(const RECT* area, int full) override;
    // While held (the holds counted), redraws only gather their area: a
    // design read layer by layer is composed once, when it is whole.
    void HoldRedraws(bool hold);
    // Repaints the frame and the page as they stand; FALSE without a page.
    BOOL PaintPage();
    // Draws the page image into the destination (null: the whole control).
    // With a size other than the page's, the design is composed at that
    // size for the drawing and the page put back afterwards.
    bool DrawPage(CDC* dc, const RECT* dest, const SIZE* size);
    // The selection, and the frame around it in control pixels.
    BOOL SelectLayer(CLayerChannel* layer) override;

    // Colours -----------------------------------------------------------------------------
    // All four corners take the colour; the page is composed and redrawn.
    void SetAllBackgroundColours(COLORREF colour);
    // The colour control whose value notifications set a corner (0 top-left,
    // 1 top-right, 2 bottom-left, 3 bottom-right); its colour applies now.
    void SetColourSource(int corner, CControlBase* control);
    // The eight texts of the context menu, in item order.
    void SetMenuTexts(const std::string& toForeground, const std::string& toBackground,
                      const std::string& moveUp, const std::string& moveDown,
                      const std::string& remove, const std::string& centerHorizontally,
                      const std::string& centerVertically, const std::string& fitToPage);

    // The texts of the three items after the eight: duplicate, turn left,
    // turn right. Without them the menu keeps its eight items.
    void SetExtraMenuTexts(const std::string& duplicate, const std::string& rotateLeft,
                           const std::string& rotateRight);

    // Coordinates -----------------------------------------------------------------------
    // The page image's top-left corner in the control.
    CPoint GetPageOffset() const;
    // Frame handle under a control point: 1 margin x, 2 margin y, 0 none.
    int HitFrameHandle(int x, int y) const;
    // The front-most of the smallest layers whose box holds a page point;
    // -1 for none.
    int HitTestLayers(POINT pagePoint) const;

    // Control slots -------------------------------------------------------------------------
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    void OnRButtonDown(UINT flags, int x, int y) override;
    void OnRButtonUp(UINT, int, int) override {}
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    // Centring, fitting, turning and nudging of the selected layer.
    void OnNotify_Select(int sender, int value) override;
    // A corner colour from its colour control.
    void OnNotify_DWORD(int sender, DWORD value) override;
    // A chosen context-menu item becomes its command.
    void OnCommandHook(UINT id, int code, void* extra, void* handlerInfo) override;
    // A pending drop, once, in page pixels.
    BOOL TakeDropPoint(POINT* out) override;
    // Over the selection frame the cursor of the part under the mouse.
    BOOL OnSetCursorHook(QWidget* wnd, UINT hitTest, UINT message) override;

    BOOL m_bMenuOpen;
    CControlBase* m_pColourSource[4];
    CSelectionTracker m_tracker;
    int m_nActiveHandle; // 0 none, 1 margin x, 2 margin y
    std::string m_strMenu[8];
    std::string m_strExtraMenu[3]; // duplicate, rotate left, rotate right

protected:
    CSize GetControlSize() const override;
    void OnTextLayerCreated() override;
    void OnNoLayersLeft() override;
    // Bands, guide lines, handles, the page and the selection frame.
    void OnPaint(CDC* dc) override;

private:
    bool PaintEnabled() const;
    void PaintFrame(CDC* dc);
    void DrawFrameHandles(CDC* dc, const CRect& page, int hx, int hy);
    // The selected layer's box in control pixels.
    CRect TrackerRectOf(const CLayerChannel* layer) const;
    // Composes the whole page now.
    void ComposeWholePage();
    // Tracks the frame from a press; TRUE when the layer's box changed.
    bool TrackSelection(int x, int y);
    // The frame's rectangle after a drag becomes the selected layer's box.
    void ApplyTrackedRect(CRect rect);
    void ClearSelection();
    // The page rectangle eases from the old frame to the new one.
    void AnimateFrame(const CRect& from, const CRect& to);
    void CentreSelected(bool horizontally);
    void FitSelectedToPage();

    // The selection frame (layermixer_frame.cpp) ------------------------------------
    // The part of the frame under a control point: the turning knob, a
    // turned frame's parts, else the tracker's.
    int FrameHitTest(int x, int y) const;
    // Drags the part of the frame under the press; TRUE when the layer changed.
    bool TrackFrame(int x, int y);
    bool TrackTurnedFrame(int hit, int x, int y);
    bool TrackRotation(int x, int y);
    // The tracker's frame or the turned one, and the knob.
    void DrawSelectionFrame(CDC* dc);
    // The selected layer at its place while a drag goes on: its old cover
    // and the new one composed and shown.
    void ShowSelectedLive(const CRect& before);
    // The page was edited by the mouse: the manager hears it as a select
    // from the mixer.
    void NotifyEdited();
    // Quarter turns and nudges of the selected layer.
    void RotateSelected(double degrees);
    void NudgeSelected(int dx, int dy);
    bool OnTransformCommand(int sender);

    std::unique_ptr<platform::COverlay> m_pOverlay; // the frame animation
    int m_nRedrawHolds = 0;
};
