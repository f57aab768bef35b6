#pragma once
// The main window: holds the view, carries the menu and the keyboard
// commands and turns each into the view's notification for it, sizes
// itself from the window settings and follows the view's size limits.

#include "platform/wintypes.h"

#include <QKeyCombination>
#include <QMainWindow>
#include <QMargins>

#include <vector>

class CMorvaneDoc;
class CMorvaneView;
class QAction;

// Commands of the menu and the keyboard table that the frame routes.
enum : int {
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT_SETUP = 57606,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_ABOUT_KEY = 32785,
    ID_QUIT_KEY = 8,
};

class CMainFrame : public QMainWindow {
public:
    CMainFrame(CMorvaneView* view, CMorvaneDoc* document);

    // Where the window goes on a screen of that size: the width and height
    // settings centred, or the whole screen (for full screen, and on each
    // axis the screen is smaller than the setting).
    static CRect FrameRect(CSize screen, int width, int height, int fullScreen);
    // Places the window by the window settings on the primary screen: the
    // whole window, its frame included, takes the settings' rectangle, and
    // again once the window system has put its frame around it.
    void PlaceBySettings();

    // Runs a command of the menu or the keyboard table.
    void OnCommand(int command);

    CMorvaneView* View() const { return m_pView; }

protected:
    // The keypad keys of the keyboard table, read from the key press.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenu();
    void BuildKeyboardTable();
    QAction* AddCommandAction(const QString& text, int command);
    void PlaceWholeWindow();

    struct KeypadKey {
        QKeyCombination keys;
        int command;
    };

    CMorvaneView* m_pView;
    CMorvaneDoc* m_pDocument;
    std::vector<KeypadKey> m_keypadKeys;
    CRect m_rcWhole;         // the whole window as the settings place it
    QMargins m_frameApplied; // the frame the placement last allowed for
    bool m_bPlacing = false; // until the frame it was placed for is known
};
