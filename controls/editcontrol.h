#pragma once
// A text field that reports its content as numbers when it is numeric, or
// as its length when it is not, and raises the int, double and select
// notifications on every change of its text, typing included. Multi-line
// fields (ES_MULTILINE) edit with a QPlainTextEdit, the others with a
// QLineEdit; either fills the control's window.

#include "controls/controlbase.h"

#include <QWidget>

#include <string>

class QFont;
class QLineEdit;
class QPlainTextEdit;

// Edit styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;

// Control bit of a numeric field: its values are parsed from its text.
constexpr DWORD EDIT_NUMERIC = 0x10000;

class CEditControl : public QWidget, public CControlBase {
public:
    // A numeric field is always single-line. text may be null.
    CEditControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                 const char* text, DWORD initialFlags, DWORD style);
    ~CEditControl() override;

    // Text ----------------------------------------------------------------------------
    // The text in UTF-8; the lines of a multi-line field are separated by
    // "\r\n", as the window system's edit gives them.
    std::string GetWindowText() const;
    // Replaces the text (taking "\r\n" or "\n" between lines) and notifies
    // once, as any change of the text does.
    void SetWindowText(const std::string& text);
    // The Qt editor inside: exactly one of them exists.
    QPlainTextEdit* GetMultiLineEditor() const { return m_pMultiLine; }
    QLineEdit* GetSingleLineEditor() const { return m_pSingleLine; }
    QWidget* GetEditor() const;

    // Control operations ------------------------------------------------------------------
    // Raises the int, the double, then the select notification.
    BOOL Fire(int force) override;
    // Puts the text and background colours into the editor's palette, which
    // is what the field draws with; answers the base's brush.
    void* GetBackgroundBrush() override;
    // Takes up the current style and colours and repaints the field now.
    void Redraw(const RECT* area, int full) override;
    // Style changes (alignment, read-only, border...) apply at once.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) override;
    // The font the text is shown in; with redraw the field repaints now.
    void SetFont(const QFont& font, BOOL redraw = TRUE);

    // Values ----------------------------------------------------------------------------
    // Numeric: the text as a number (-1 for an empty field); otherwise the
    // length of the text.
    int GetIntValue() override;
    double GetDoubleValue() override;
    // Write the number as text ("%d", "%.6f") when it differs, then fire.
    void SetIntValue(int value) override;
    void SetDoubleValue(double value) override;

    COLORREF m_crText; // text colour

protected:
    // The background and the one-pixel border around the editor.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Keeps Enter out of a multi-line field without ES_WANTRETURN.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateEditor();
    // The editor fills the window inside the border.
    void FitEditor();
    void ApplyStyle();
    void ApplyColours();
    // Replaces the editor's text without the change notification.
    void SetTextQuietly(const std::string& text);
    void OnTextChanged();
    // The text as the numeric field reads it: at most 499 bytes.
    std::string NumericText() const;

    QPlainTextEdit* m_pMultiLine;
    QLineEdit* m_pSingleLine;
    bool m_bQuiet; // set while the field writes its own text
};
