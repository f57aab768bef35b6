#pragma once
// Controls that own a plain child window and paint their whole area
// themselves, and the base of the program's popup windows: a top-level
// window that is a control manager with a modal loop.

#include "controls/controlbase.h"
#include "controls/controlmanager.h"
#include "platform/popupmenu.h"
#include "platform/window.h"

#include <QWidget>

#include <string>

class CDC;

// Mouse flags of a Qt mouse event, as the control operations take them.
UINT MouseFlags(const QMouseEvent* event);

// Hit-test codes and the mouse message the cursor hook is asked with.
constexpr UINT HTCLIENT = 1;
constexpr UINT WM_MOUSEMOVE = 0x0200;

class CWndControl : public QWidget, public CControlBase {
public:
    CWndControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD style);
    ~CWndControl() override;

    // Asked on every mouse move over the window, once m_ptMouse holds the
    // new point and before the move is handled. TRUE lets the window show the default arrow; FALSE
    // means the control set the cursor itself (setCursor) and keeps it.
    virtual BOOL OnSetCursorHook(QWidget*, UINT, UINT) { return TRUE; }
    // A command chosen in a menu the control showed: code 0 for a menu
    // item. Controls that track a popup menu route its answer here.
    virtual void OnCommandHook(UINT, int, void*, void*) {}
    // Shows the menu at a screen point and routes the chosen command to
    // OnCommandHook; answers the command, 0 when the menu was dismissed.
    UINT TrackCommandMenu(CMenu& menu, UINT flags, int x, int y);

    // Repaints the window now.
    void Redraw(const RECT* area, int full) override;

protected:
    // Draws the control: the background brush; derived controls add their
    // content.
    virtual void OnPaint(CDC* dc);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void TrackMouse(const QMouseEvent* event);
};

class CPopupWindow;

// Told when a popup's window is closed, after the window went.
class CPopupCloseListener {
public:
    virtual ~CPopupCloseListener() = default;
    virtual void OnPopupClosed(CPopupWindow* popup) = 0;
};

class CPopupWindow : public QWidget, public CControlManager {
public:
    CPopupWindow();
    ~CPopupWindow() override;

    // Makes the window (style bits of the window system mapped to Qt's
    // window flags) and runs the create sequence; FALSE when it fails.
    // WS_POPUP without a caption is frameless (a one-pixel frame drawn for
    // WS_BORDER); WS_THICKFRAME keeps the window system's frame so the
    // user can size and move it.
    BOOL Create(int x, int y, int cx, int cy, const std::string& title, DWORD style,
                CPopupCloseListener* closeListener = nullptr, DWORD exStyle = 0, UINT id = 0);
    bool IsCreated() const { return m_bCreated; }

    // The modal loop; restricted to the window it makes the popup modal.
    virtual int RunModal(BOOL restrictToWindow);
    void EndModal();
    virtual void Close();
    BOOL IsRunning() const { return m_bRunning; }

    BOOL CreateControls() override;
    void Clear() override;

    // The mouse goes to this window wherever it is, until released; the
    // manager hears OnCaptureChanged when the capture ends.
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const { return m_bCapture; }

protected:
    // Applies the manager's minimum and maximum sizes to the window.
    void OnSizeLimitsChanged() override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void DestroyHost() override;

    CPopupCloseListener* m_pCloseListener;
    BOOL m_bRunning;

private:
    // Every mouse event is hit-tested first, as the window system does.
    void HitTest(const QMouseEvent* event);

    platform::CModalLoop m_loop;
    bool m_bCreated;
    bool m_bBorder;  // a frameless window with WS_BORDER draws its frame
    bool m_bCapture; // the window holds the mouse
};
