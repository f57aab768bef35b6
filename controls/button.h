#pragma once
// The push button of the program's interface. Buttons without a caption
// are drawn by the control from a strip: one picture holding the four
// looks of the button stacked vertically, from the top disabled, normal,
// hover and pressed. Buttons with a caption are ordinary push buttons,
// radio buttons or check boxes drawn by the window system's style. A
// button may be a toggle button; pressing any button raises a select.

#include "controls/controlbase.h"
#include "platform/popupmenu.h"

#include <QAbstractButton>

#include <string>

class CDC;

// Button look and behaviour bits of m_dwFlags.
enum : DWORD {
    BTN_DISABLED = 0x000001,      // disabled look
    BTN_ENABLED = 0x000002,       // enabled look
    BTN_HOVER = CTRL_ACTIVE,      // hover look: the button is the manager's active control
    BTN_PRESSED = 0x000008,       // pressed look
    BTN_KEEP_ASPECT = 0x000100,   // the picture keeps its proportions, centred
    BTN_STRIP = 0x1F0000,         // set together when a strip is assigned
    BTN_STRIP_NATURAL = 0x010000, // the natural size is then the margin box
    BTN_TOGGLE = 0x200000,        // each click flips BTN_TOGGLED
    BTN_TOGGLED = 0x400000,       // toggled on: shown with the pressed picture
};

// Button window styles: the kind of button in the low four bits.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;

// Check states of a radio button or check box.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// The pictures of a strip, from the bottom up.
enum : int { kLookPressed = 0, kLookHover = 1, kLookNormal = 2, kLookDisabled = 3 };

class CButtonControl : public QAbstractButton, public CControlBase {
public:
    CButtonControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                   const char* caption, DWORD initialFlags, DWORD extraStyle);
    // Gives the strip back to the manager's cache.
    ~CButtonControl() override;

    // Operations -----------------------------------------------------------------
    // Flips the toggle of a toggle button, then fires.
    virtual void OnClicked();
    virtual void OnDoubleClicked();
    // Commands routed through the button (a menu's choice); nothing here.
    virtual void OnCommandHook(UINT id, int code, void* extra, void* handlerInfo);
    // Recomputes the looks from an owner-draw paint, then draws.
    virtual void UpdateState(const DRAWITEMSTRUCT* dis);
    // An image already in memory becomes the strip (one reference in the
    // manager's cache).
    virtual BOOL SetBitmap(CDIB* image);
    // Loads the strip through the manager; FALSE keeps the previous one.
    virtual BOOL SetBitmapFile(const char* name);
    virtual void ReleaseBitmap();
    // Sets the toggled-on state (and the window's check); answers the
    // previous toggled-on state.
    virtual BOOL SetCheck(BOOL on);

    // Control slots -------------------------------------------------------------------
    // A select with value 0.
    BOOL Fire(int) override;
    // Draws the current look now.
    void Redraw(const RECT* area, int full) override;
    // The margin box for picture buttons, the measured caption plus the
    // margins for text buttons.
    const CRect* GetNaturalRect() override;

    // Drawing -------------------------------------------------------------------------
    // Draws the current look into the context, sized by the area or else
    // the window rectangle: what Redraw shows.
    virtual void OnPaint(CDC* dc, const RECT* area);
    // The strip picture the current looks select.
    int LookIndex() const;
    // The source band of picture k, counted from the strip's bottom row.
    CRect StripBand(int k) const;

    // Window state --------------------------------------------------------------------
    // The window's check (radio buttons and check boxes): BST_CHECKED or
    // BST_UNCHECKED.
    int GetCheck() const;
    bool IsOwnerDrawn() const { return m_strCaption.empty(); }
    const std::string& GetCaption() const { return m_strCaption; }
    CDIB* GetStrip() const { return m_pStrip; }

    std::string m_strCaption;
    CDIB* m_pStrip;
    int m_nMarginX;
    int m_nMarginY;

protected:
    // The rectangle DrawText with DT_CALCRECT gives the text in the
    // window's font, starting from the given rectangle.
    CRect MeasureText(const std::string& text, const CRect& start) const;
    // The owner-draw paint of the window.
    virtual void DrawItem(const DRAWITEMSTRUCT* dis);
    // Only auto check boxes and auto radio buttons change their check on
    // a click.
    void nextCheckState() override;

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    DWORD ButtonType() const { return m_dwStyle & BS_TYPEMASK; }
    // The button is the manager's active control and not held down: its
    // paints show the hover look.
    bool IsHotLight() const;
    // Takes a strip the cache already holds a reference for.
    void TakeStrip(CDIB* image);
    void PaintTextButton(QPainter& painter);
    void TrackMouse(const QMouseEvent* event);

    CDC* m_pPaintDC;   // the context of the paint in progress, or null
    bool m_bRedrawing; // the paint in progress was asked for by Redraw
    bool m_bHaveArea;  // Redraw gave an area for the paint in progress
    CRect m_rcRedrawArea;
};
