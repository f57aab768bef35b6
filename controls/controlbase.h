#pragma once
// The second base of every control: identifier, design and window
// rectangles, state bits, background colour, value sources and drag state,
// and the operations the control manager calls. The first base of a
// control is its Qt widget (the layout group has none).

#include "platform/wintypes.h"

#include <cstdint>

class CControlManager;
class CDIB;
class QWidget;

// State bits of m_dwFlags used by the framework.
enum : DWORD {
    CTRL_ACTIVE = 0x0004,       // under the mouse; only SetActiveControl changes it
    CTRL_DESIGN_FIXED = 0x0010, // SetDesignRect no longer changes the design rectangle
    CTRL_NEVER_ACTIVE = 0x0040, // moving over it clears the active control instead
    CTRL_SEE_THROUGH = 0x0080,  // redrawn after the host background
    CTRL_REDRAWN = 0x0200,      // redrawn since the last background paint
    CTRL_ON_GROUP = 0x0400,     // a layout group positions it
    CTRL_NATURAL_MIN = 0x0800,  // its natural extent is its smallest size in a group
    CTRL_LAID_OUT = 0x1000,     // Relayout ran since InitLayout
    CTRL_OWN_BRUSH = 0x2000,    // has its own background brush
    CTRL_DRAGGABLE = 0x4000,
};

// Mouse flags of the mouse operations.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;

class CControlBase {
public:
    CControlBase(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD style);
    virtual ~CControlBase();
    CControlBase(const CControlBase&) = delete;
    CControlBase& operator=(const CControlBase&) = delete;

    // Window and state ------------------------------------------------------------
    virtual BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags);
    virtual BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags);
    virtual void Hook1(int) {}
    virtual BOOL RealizePaletteHook() { return TRUE; }
    virtual BOOL Enable(BOOL enable);
    // The control's action when it is operated; controls raise their
    // notifications here.
    virtual BOOL Fire(int) { return TRUE; }
    // Recomputes the window rectangle from the design rectangle.
    virtual void Relayout();
    virtual void* GetBackgroundBrush() { return nullptr; }

    // Mouse ----------------------------------------------------------------------------
    virtual void OnLButtonDown(UINT flags, int x, int y);
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnRButtonDown(UINT flags, int x, int y);
    virtual void OnRButtonUp(UINT, int, int) {}
    virtual void OnLButtonDblClk(UINT flags, int x, int y);
    // Starts a drag past 4 pixels with the left button held, then updates
    // the active control.
    virtual void OnMouseMove(UINT flags, int x, int y);
    virtual void RememberPress(POINT* point);

    // Dragging ------------------------------------------------------------------------
    virtual void FreeDragImage();
    // A snapshot of the control's window for the drag icon.
    virtual CDIB* CreateDragImage();

    // Paints the control now: updates its state and repaints its window.
    virtual void Redraw(const RECT*, int) {}

    // Listener handlers ---------------------------------------------------------------
    virtual void OnNotify_Select(int, int) {}
    virtual void Hook2(int, int) {}
    virtual void OnNotify_Drop(int sourceId, int targetId, const POINT* point);
    virtual void OnNotify_DWORD(int, DWORD) {}
    virtual void OnNotify_Int(int sender, int value);
    virtual void OnNotify_Double(int sender, double value);
    virtual void OnNotify_Generic(int, int64_t, int64_t) {}
    virtual void OnNotify_Custom(int, int64_t, int64_t) {}

    // Values and options ---------------------------------------------------------------
    virtual void SetDraggable(BOOL draggable);
    virtual const CRect* GetNaturalRect() { return &m_rcNatural; }
    virtual DWORD GetFlags() { return m_dwFlags; }
    virtual int GetIntValue() { return 0; }
    virtual double GetDoubleValue() { return 0.0; }
    virtual int GetUserData() { return m_nUserData; }
    virtual CControlBase* GetIntSource() { return m_pIntSource; }
    virtual CControlBase* GetDoubleSource() { return m_pDoubleSource; }
    // The last drop point, once: TRUE and the point, then FALSE.
    virtual BOOL TakeDropPoint(POINT* out);
    virtual void SetDesignRect(const CRect* rect);
    virtual void SetIntValue(int) {}
    virtual void SetDoubleValue(double) {}
    // Mirrors the source's value, now and after each of its value notifications.
    virtual void SetIntSource(CControlBase* source);
    virtual void SetDoubleSource(CControlBase* source);
    virtual void SetUserData(int data) { m_nUserData = data; }
    virtual void SetBackgroundColor(COLORREF colour);

    // Non-virtual helpers ----------------------------------------------------------------
    // Raises a notification with this control's manager; FALSE without one.
    BOOL Notify(int sender, int kind, int64_t value0 = 0, int64_t value1 = 0, int64_t value2 = 0);
    void MoveWindowTo(int x, int y, int cx, int cy);
    // The last mouse movement in design units.
    BOOL GetMouseDelta(double* dx, double* dy) const;

    CControlManager* m_pManager;
    QWidget* m_pParentWnd;
    QWidget* m_pWnd;
    int m_nId;
    CRect m_rcWindow;
    CRect m_rcDesign;
    DWORD m_dwStyle;
    CControlBase* m_pGroup; // the layout group that holds the control, or null
    double m_dWeight;
    CRect m_rcNatural;
    DWORD m_dwFlags;
    COLORREF m_crBackground;
    CControlBase* m_pIntSource;
    CControlBase* m_pDoubleSource;
    int m_nUserData;
    double m_dScaleX;
    double m_dScaleY;
    CDIB* m_pDragImage;
    POINT m_ptPrevMouse;
    POINT m_ptMouse;
    POINT m_ptPress;
    POINT m_ptDrop;
    BOOL m_bDropPending;
};

// Window styles the controls are created with.
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
