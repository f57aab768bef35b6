#pragma once
// Every window that hosts controls is a control manager: it owns its
// controls, lays them out by scaling their design rectangles to its client
// size, paints its background, tracks the control under the mouse, runs
// drag and drop, and dispatches every notification to itself and its
// listeners.

#include "controls/notifier.h"
#include "controls/stringserver.h"
#include "imaging/dibmanager.h"
#include "platform/gdi/palette.h"
#include "platform/wintypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CControlBase;
class CDC;
class CDIB;
class QWidget;

// Manager bits.
enum : DWORD {
    MGR_BACKGROUND_IMAGE = 0x01,
    MGR_BACKGROUND_COLOUR = 0x02,
    MGR_PALETTE = 0x04,
    MGR_LAYOUT_INIT = 0x08,
    MGR_MAX_SIZE = 0x10,
    MGR_MIN_SIZE = 0x20,
    MGR_SIZING = 0x40,
};

// Commands every manager knows.
constexpr int ID_HELP_INDEX = 57670;
constexpr int ID_QUIT = 100000;

// The popups the manager itself opens: the splash/about box and the icon
// that follows the mouse during a drag. The popup library provides them.
class CSplashPopup {
public:
    virtual ~CSplashPopup() = default;
    virtual void RunModal() = 0;
    // Shows the box at once: the start-up splash is up while the surface
    // is built, without an event loop to paint it.
    virtual void ShowNow() {}
};

class CDragIconPopup {
public:
    virtual ~CDragIconPopup() = default;
    // Follows the mouse until the button is released; TRUE with the drop
    // point in screen coordinates when the drag ended in a drop.
    virtual bool Track(POINT* dropPoint) = 0;
};

struct ManagerPopupFactories {
    // A 500 x 400 box centred on the screen, captioned "Popup window".
    std::function<std::unique_ptr<CSplashPopup>()> splash;
    // The icon showing the image (null: a 40 x 35 plain icon), centred on
    // the screen point.
    std::function<std::unique_ptr<CDragIconPopup>(CDIB* image, POINT screenPoint)> dragIcon;
};
void SetManagerPopupFactories(ManagerPopupFactories factories);

class CControlManager {
public:
    CControlManager();
    virtual ~CControlManager();
    CControlManager(const CControlManager&) = delete;
    CControlManager& operator=(const CControlManager&) = delete;

    // Lifecycle (overridable) ---------------------------------------------------------
    virtual void Clear();
    // The create sequence: palette, BeforeCreate, single-instance test and
    // splash (main window), CreateControls, layout, sizing, AfterCreate.
    virtual BOOL Initialise();
    virtual void ShowSplash(BOOL modal);
    virtual void CloseSplash();
    virtual void AfterCreate() {}
    virtual void Hook6(UINT, int, int) {}
    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void Hook9(UINT, int, int) {}
    virtual void Hook10(UINT, int, int) {}
    // The mouse is over the host background: no control is active.
    virtual void OnMouseMove(UINT flags, int x, int y);
    virtual void OnNcHitTest(int, int) {}
    virtual void OnCaptureChanged(QWidget*) {}
    virtual void OnClose() {}
    virtual void BeforeCreate() {}
    virtual BOOL CreateControls() = 0;

    // Handlers ------------------------------------------------------------------------
    // Help (57670) opens the help document, quit (100000) asks and closes.
    virtual void OnNotify_Select(int sender, int value);
    virtual void OnNotify_Activate(int, BYTE) {}
    virtual void OnNotify_Drop(int, int, const POINT*) {}
    virtual void OnNotify_DWORD(int, DWORD) {}
    virtual void OnNotify_Int(int, int) {}
    virtual void OnNotify_Double(int, double) {}
    virtual void OnNotify_Generic(int, int64_t, int64_t) {}
    virtual void OnNotify_Custom(int, int64_t, int64_t) {}
    // After a notification and everything it set off: the outermost
    // dispatch has ended.
    virtual void OnDispatchFinished(int /*kind*/) {}
    virtual DWORD GetFlags() { return m_dwFlags; }

    // Controls and listeners --------------------------------------------------------------
    BOOL AddControl(CControlBase* control);
    CControlBase* FindControl(int id) const;
    BOOL AddListener(CControlBase* control);
    const std::vector<CControlBase*>& GetControls() const { return m_controls; }
    const std::vector<CControlBase*>& GetListeners() const { return m_listeners; }

    // Notifications ---------------------------------------------------------------------
    BOOL Dispatch(CNotifier* record);
    BOOL Notify(int sender, int kind, int64_t value0 = 0, int64_t value1 = 0, int64_t value2 = 0);
    // Makes the control the active one (null: none), telling the old and the
    // new one in that order.
    BOOL SetActiveControl(CControlBase* control);
    CControlBase* GetActiveControl() const { return m_pActive; }
    // Runs the drag icon from a screen point; on a drop, dispatches kind 2
    // to the window under it. point receives the drop in host coordinates.
    int StartDrag(CDIB* image, POINT* point, int sourceId);
    BOOL IsDragging() const { return m_bDragging; }

    // Layout -----------------------------------------------------------------------------
    void InitLayout(int cx, int cy);
    void OnSize(UINT type, int cx, int cy);
    // The limits take effect at once on a host window that exists.
    void SetMinimumSize(int cx, int cy);
    void SetMaximumSize(int cx, int cy);
    // Fills the maximised size and position and the tracking sizes from
    // the limits that are set; null does nothing.
    void GetMinMaxInfo(MINMAXINFO* info) const;
    void SetSizing() { m_dwFlags |= MGR_SIZING; }
    // Clamps a proposed host size to the minimum and maximum sizes.
    CSize ClampSize(CSize size) const;
    void OnHScroll(UINT code, UINT pos, QWidget* bar);
    BOOL IsPaintEnabled() const { return m_bPaintEnabled; }
    void EnablePaint(BOOL enable) { m_bPaintEnabled = enable; }

    // Background, images and palette -----------------------------------------------------
    BOOL EraseBackground(CDC* dc);
    BOOL SetBackgroundImageFile(const char* name);
    BOOL SetBackgroundImage(CDIB* image, BOOL addToCache);
    void SetBackgroundColor(COLORREF colour);
    CDIB* LoadImage(const char* name, int parts, BOOL matchPalette);
    void ReleaseImage(CDIB* image);
    CPalette* GetPalette();
    void RealizePalette(QWidget* focus);

    // Messages -----------------------------------------------------------------------------
    // A message box on the host with the empty caption.
    int ShowMessage(const std::string& text, UINT type);
    int ShowMessage(const std::string* text, UINT type);

    CStringServer& Strings() { return m_strings; }
    CDIBManager& Images() { return m_dibManager; }

    int m_nRole; // 0 main window, 1 popup, 2 splash/about box, 3 drag icon
    QWidget* m_pHostWnd;
    std::vector<CControlBase*> m_controls;
    CDIBManager m_dibManager;
    CStringServer m_strings;
    CControlBase* m_pActive;
    CDIB* m_pBackgroundImage;
    COLORREF m_crBackground;
    DWORD m_dwFlags;
    CPalette m_palette;
    CSize m_sizeDesign;
    CSize m_sizeMin;
    CSize m_sizeMax;
    double m_dScaleX;
    double m_dScaleY;
    std::vector<CControlBase*> m_listeners;
    BOOL m_bPaintEnabled;
    std::unique_ptr<CSplashPopup> m_pSplash;
    CDragIconPopup* m_pDragIcon;
    BOOL m_bDragging;

protected:
    // Examines the display once per process and loads the display palette.
    void SetUpPalette();
    // The single-instance test of the main window.
    bool AnotherInstanceRuns() const;
    // Destroys the host window; the main window's quit ends the program.
    // The window is closed as destroyed, so its close handling does not ask
    // the quit question again.
    virtual void DestroyHost();
    // The minimum or maximum size changed; hosts apply them to their window.
    virtual void OnSizeLimitsChanged() {}

private:
    void DispatchRecord(CNotifier* record);

    int m_nDispatchDepth = 0;
};

// A scale factor divided in single precision, as layout computes them; a
// zero design extent gives 1e-6 widened from single precision.
double SingleScale(int extent, int designExtent);
