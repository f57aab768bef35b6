#include "popups/aboutbox.h"

#include "content/appsettings.h"
#include "platform/window.h"

CAboutBox::CAboutBox() : m_bWaitingForClick(FALSE) {
    m_nRole = 2;
}

CAboutBox::~CAboutBox() = default;

BOOL CAboutBox::CreateCentred() {
    const CSize screen = platform::ScreenSize();
    return Create((screen.cx - kWidth) / 2, (screen.cy - kHeight) / 2, kWidth, kHeight, kTitle,
                  WS_POPUP | WS_VISIBLE);
}

BOOL CAboutBox::CreateControls() {
    SetBackgroundColor(kBackground);
    // A picture that does not load leaves the plain colour in force.
    const bool palette = AppSettings().TestDisplayFlags(CAppSettings::kPaletteDisplay);
    SetBackgroundImageFile(palette ? "res\\kv\\iesplsh8" : "res\\kv\\iesplsh");
    SetMinimumSize(200, 150);
    SetMaximumSize(kWidth, kHeight);
    return TRUE;
}

// NOTE: the box waits inside an event loop rather than by watching the
// mouse button, so every window of the program keeps repainting while it
// is up. A button still held from the menu click sends moves and a release
// but no press, so only a press that starts during the wait closes it.
int CAboutBox::RunModal(BOOL wait) {
    if (!wait)
        return 0;
    m_bWaitingForClick = TRUE;
    CPopupWindow::RunModal(TRUE);
    m_bWaitingForClick = FALSE;
    return 0;
}

void CAboutBox::RunModal() {
    RunModal(TRUE);
}

void CAboutBox::ShowNow() {
    platform::PaintNow(this);
}

void CAboutBox::OnLButtonDown(UINT flags, int x, int y) {
    CPopupWindow::OnLButtonDown(flags, x, y);
    if (m_bWaitingForClick)
        EndModal();
}
