#pragma once
// The window in which the user writes the text of a text layer and picks
// its typeface, alignment and colour. It edits four values that the opener
// hands in before creation and reads back after an accepted run; it knows
// nothing of layers.

#include "controls/wndcontrol.h"
#include "platform/gdi/gdiobjects.h"
#include "platform/logfont.h"

#include <string>

class CEditControl;

class CTextWindow : public CPopupWindow {
public:
    // Identifiers of its controls.
    static constexpr int kEditId = 65465445;
    static constexpr int kTypefaceId = 65468416;
    static constexpr int kAlignmentId = 45544065;
    static constexpr int kColourId = 5644715;
    static constexpr int kOkId = 619887564;
    static constexpr int kCancelId = 100000;
    static constexpr int kOuterGroupId = 3815214;
    static constexpr int kToolRowId = 45577897;
    static constexpr int kButtonRowId = 45615644;

    // How the main view opens it: centred, sizable, above the other windows.
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 350;
    static constexpr DWORD kStyle = 0x90840000;
    static constexpr DWORD kExStyle = 0x88;

    static constexpr COLORREF kBackground = 0x00BFBFBF;
    // Grounds of the edit field: dark under light text, light under dark.
    static constexpr COLORREF kDarkGround = 0x00321E14;
    static constexpr COLORREF kLightGround = 0x00FAE6DC;
    // Flags the font chooser opens with: screen fonts, starting from the
    // description, no simulated styles.
    static constexpr DWORD kFontDialogFlags = 0x1041;

    // Empty text, white, left aligned, an all-zero font description.
    CTextWindow();
    ~CTextWindow() override;

    // Creation --------------------------------------------------------------------
    // Makes the window with its labels (title, typeface button, the left,
    // centred and right alignments, OK, Cancel); FALSE when the window or a
    // control cannot be made.
    BOOL Create(int x, int y, int cx, int cy, const std::string& title, const std::string& typeface,
                const std::string& left, const std::string& centred, const std::string& right,
                const std::string& ok, const std::string& cancel, DWORD style, DWORD exStyle,
                CPopupCloseListener* closeListener = nullptr, UINT id = 0);
    // The main view's window: 450 x 350 centred on the screen, with the
    // labels 1029 to 1035 of the string server (an absent one is empty).
    BOOL CreateCentred(CStringServer& strings);
    BOOL CreateControls() override;

    // Running ---------------------------------------------------------------------------
    // The modal loop; answers 1 after OK, 0 after Cancel.
    int RunModal(BOOL restrictToWindow) override;
    int GetResult() const { return m_nResult; }

    // The values edited, written before creation and read after the run ----------------
    void SetText(const std::string& text) { m_strText = text; }
    const std::string& GetText() const { return m_strText; }
    void SetFontDescription(const LOGFONTA& font) { m_logFont = font; }
    const LOGFONTA& GetFontDescription() const { return m_logFont; }
    void SetColor(COLORREF colour) { m_crColor = colour; }
    COLORREF GetColor() const { return m_crColor; }
    void SetAlignment(int alignment) { m_nAlignment = alignment; }
    int GetAlignment() const { return m_nAlignment; }

    // The field's ground for a text colour: dark when the colour's average
    // is above 128, light otherwise.
    static COLORREF GroundForColor(COLORREF colour);

    // Handlers --------------------------------------------------------------------------------
    void OnNotify_Select(int sender, int value) override;

    CFont m_font; // the font the edit field shows the text in
    BOOL m_bFontCreated;
    std::string m_strTitle;
    std::string m_strTypeface;
    std::string m_strLeft;
    std::string m_strCentred;
    std::string m_strRight;
    std::string m_strOk;
    std::string m_strCancel;
    int m_nResult;
    std::string m_strText; // lines separated by "\r\n", as the edit field gives them
    LOGFONTA m_logFont;
    COLORREF m_crColor;
    int m_nAlignment; // 0 left, 1 centred, 2 right

private:
    CEditControl* EditField() const;
    // The ground and text colour of the edit field for the colour.
    void ApplyBrightness();
    // Takes the description and shows the text in its font.
    void ApplyFont(const LOGFONTA& font);
    // The edit field's alignment style for an alignment index.
    void ApplyAlignment(int alignment);
    void ChooseTypeface();
    BOOL AddOrDelete(CControlBase* control);
    BOOL CreateGroups();
};
