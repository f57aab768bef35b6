#pragma once
// The main window's Edit menu and its recent files. The Edit menu follows
// the File menu: undo, redo, copy, paste, duplicate and the quarter turns,
// each showing its key; the File menu gains the designs opened last, above
// Exit. Their texts come from the extra texts in the program's language,
// taken when the window is shown and whenever a menu opens; a menu opening
// also enables the items that can act now.

class CMainFrame;
class QMenu;

// The property that names a menu action's command.
constexpr const char* kMenuCommandProperty = "morvaneCommand";

void AddEditingMenus(CMainFrame* frame, QMenu* fileMenu);
