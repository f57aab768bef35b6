#pragma once
// The start-up choice between two ways of beginning a design, each a large
// picture button, with an optional check box that says whether the window
// comes up again. The window only reports which picture was pressed and
// the state of the check box; the opener acts on them.

#include "controls/wndcontrol.h"

#include <string>

class CWizardWindow : public CPopupWindow {
public:
    // Identifiers of its controls.
    static constexpr int kHeadingId = 455562;
    static constexpr int kFirstChoiceId = 564564;
    static constexpr int kSecondChoiceId = 564565;
    static constexpr int kCheckBoxId = 218944;
    static constexpr int kGroupId = 54541;

    // How the main view opens it: centred, sizable, above the other windows.
    static constexpr int kWidth = 270;
    static constexpr int kHeight = 350;
    static constexpr DWORD kStyle = 0x90840000;
    static constexpr DWORD kExStyle = 0x08;

    static constexpr COLORREF kBackground = 0x00BFBFBF;
    // The picture strips of the two choices.
    static constexpr const char* kFirstPicture = "res\\kv\\iewiz00";
    static constexpr const char* kSecondPicture = "res\\kv\\iewiz01";

    // Choice 0, show again 1, no check box, empty texts.
    CWizardWindow();
    ~CWizardWindow() override;

    // Creation ------------------------------------------------------------------------
    // Makes the window with the heading as its title; the check box only
    // with checkBox set, ticked when showAgain is. FALSE when a picture does
    // not load or a control cannot be made.
    BOOL Create(int x, int y, int cx, int cy, const std::string& heading, int checkBox,
                int showAgain, const std::string& checkBoxCaption, DWORD style, DWORD exStyle,
                CPopupCloseListener* closeListener = nullptr, UINT id = 0);
    // The main view's window: 270 x 350 centred on the screen.
    BOOL CreateCentred(const std::string& heading, int checkBox, int showAgain,
                       const std::string& checkBoxCaption);
    BOOL CreateControls() override;

    // Running ----------------------------------------------------------------------------
    // The modal loop; answers the choice: 0 after the first picture, 1
    // after the second, kCancelled when the window was closed without one.
    int RunModal(BOOL restrictToWindow) override;
    static constexpr int kCancelled = -1;

    // Values read after the run ------------------------------------------------------------
    int GetChoice() const { return m_nChoice; }
    // The check box's state (the value handed in when there is none).
    int GetShowAgain() const { return m_nShowAgain; }
    int HasCheckBox() const { return m_nCheckBox; }

    void OnNotify_Select(int sender, int value) override;
    // Closed through the window system (its close button, Alt+F4): no choice.
    void OnClose() override;

    int m_nChoice;
    int m_nShowAgain;
    int m_nCheckBox;
    std::string m_strCheckBoxCaption;
    std::string m_strHeading;

private:
    BOOL AddOrDelete(CControlBase* control);
    BOOL CreatePictureButton(int id, const char* strip);
};
