#pragma once
// The small window with one progress bar that the text renderer shows
// while it turns a text into pixels; it receives the renderer's progress
// and passes it to the bar.

#include "controls/wndcontrol.h"
#include "imaging/progress.h"

#include <string>

class CProgressControl;

class CProgressPopUpWindow : public CPopupWindow, public CProgressReceiver {
public:
    // Identifiers of its controls.
    static constexpr int kProgressId = 1654564774;
    static constexpr int kGroupId = 11687689;
    static constexpr COLORREF kBackground = 0x003C1E14;

    CProgressPopUpWindow();
    ~CProgressPopUpWindow() override;

    // The renderer's popup: 200 x 20 centred on the screen with the caption,
    // made 300 x 60 by its minimum size; FALSE when it fails.
    BOOL CreateCentred(const std::string& caption);

    // The bar (range 0 to 255) in a row group over the client area; fails
    // when the manager refuses the bar.
    BOOL CreateControls() override;
    // The bar, or null.
    CProgressControl* GetProgressControl();

    // Progress to the bar.
    void SetRange(int lower, int upper) override;
    void SetPos(int position) override;

    // Writes the value and the sender to the standard output.
    void OnNotify_Int(int sender, int value) override;
};
