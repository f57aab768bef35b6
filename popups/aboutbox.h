#pragma once
// The splash and about box: the splash picture over the whole window. At
// start-up it stays up without waiting while the main window builds its
// controls; the About command runs it modally until the user clicks.

#include "controls/controlmanager.h"
#include "controls/wndcontrol.h"

class CAboutBox : public CPopupWindow, public CSplashPopup {
public:
    // Size and caption the control manager gives the box.
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 400;
    static constexpr const char* kTitle = "Popup window";
    static constexpr COLORREF kBackground = 0x00F7D9C8;

    CAboutBox();
    ~CAboutBox() override;

    // Makes the box 500 x 400 centred on the screen; FALSE when it fails.
    BOOL CreateCentred();

    // The splash picture ("res\\kv\\iesplsh", or "...8" on a palette
    // display) over the colour it falls back to; no controls.
    BOOL CreateControls() override;

    // With wait, keeps the box modal and painting until a left press that
    // starts while it waits; without, returns at once. Answers 0.
    int RunModal(BOOL wait) override;
    // The manager's modal showing: the wait for a click.
    void RunModal() override;
    // Paints the box now, before the program goes on without a loop.
    void ShowNow() override;
    // TRUE while the box waits for its click.
    BOOL IsWaitingForClick() const { return m_bWaitingForClick; }

    // A press while waiting is the click that closes the box.
    void OnLButtonDown(UINT flags, int x, int y) override;

private:
    BOOL m_bWaitingForClick;
};
