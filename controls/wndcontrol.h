#pragma once
// Controls that own a plain child window and paint their whole area
// themselves, and the base of the program's popup windows: a top-level
// window that is a control manager with a modal loop.

#include "controls/controlbase.h"
#include "controls/controlmanager.h"
#include "platform/window.h"

#include <QWidget>

#include <string>

class CDC;

// Mouse flags of a Qt mouse event, as the control operations take them.
UINT MouseFlags(const QMouseEvent* event);

class CWndControl : public QWidget, public CControlBase {
public:
    CWndControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect, DWORD style);
    ~CWndControl() override;

    // FALSE when the control set the cursor itself.
    virtual BOOL OnSetCursorHook(QWidget*, UINT, UINT) { return TRUE; }
    virtual void OnCommandHook(UINT, int, void*, void*) {}

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

class CPopupWindow : public QWidget, public CControlManager {
public:
    CPopupWindow();
    ~CPopupWindow() override;

    // Makes the window (style bits of the window system mapped to Qt's
    // window flags) and runs the create sequence; FALSE when it fails.
    BOOL Create(int x, int y, int cx, int cy, const std::string& title, DWORD style,
                void* closeListener = nullptr, DWORD exStyle = 0, UINT id = 0);
    bool IsCreated() const { return m_bCreated; }

    // The modal loop; restricted to the window it makes the popup modal.
    virtual int RunModal(BOOL restrictToWindow);
    void EndModal();
    virtual void Close();
    BOOL IsRunning() const { return m_bRunning; }

    BOOL CreateControls() override;
    void Clear() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void DestroyHost() override;

    void* m_pCloseListener;
    BOOL m_bRunning;

private:
    platform::CModalLoop m_loop;
    bool m_bCreated;
};
