#pragma once
// Popup menus shown at a screen point, whose items are lines of text or
// pictures that the menu's owner draws itself, and the records the owner
// draws buttons and menu items from. Menus are shown through one
// replaceable service, so tests choose an item instead of a person.

#include "platform/wintypes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class CDC;
class QWidget;

// Menu item flags.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_SEPARATOR = 0x0800;

// Where the menu goes relative to the point.
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;

// Owner-draw records: kinds, actions and item states.
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_HOTLIGHT = 0x0040;

// What an owner draws: one menu item or one button, in its rectangle.
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    QWidget* hwndItem = nullptr;
    CDC* pDC = nullptr;
    RECT rcItem{0, 0, 0, 0};
    std::uintptr_t itemData = 0;
};

// The size an owner gives one of its menu items.
struct MEASUREITEMSTRUCT {
    UINT CtlType = ODT_MENU;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    std::uintptr_t itemData = 0;
};

// One entry of a menu: text items keep their text, owner-drawn ones the
// owner's item data.
struct MenuItem {
    UINT flags = 0;
    UINT id = 0;
    std::string text;
    std::uintptr_t data = 0;
};

class CMenu {
public:
    CMenu();
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Making -----------------------------------------------------------------
    // Starts an empty popup menu; items can be appended from then on.
    BOOL CreatePopupMenu();
    // Drops the items; FALSE when no menu was made.
    BOOL DestroyMenu();
    // A text item (or a separator with MF_SEPARATOR); FALSE without a menu.
    BOOL AppendMenu(UINT flags, UINT id, const std::string& text);
    // An item with MF_OWNERDRAW in its flags, carrying the owner's data.
    BOOL AppendMenu(UINT flags, UINT id, std::uintptr_t itemData);

    // Reading ------------------------------------------------------------------
    int GetMenuItemCount() const;
    const std::vector<MenuItem>& GetItems() const { return m_items; }

    // Showing ------------------------------------------------------------------
    // Shows the menu at a screen point, aligned by the TPM_ flags, and waits
    // for a choice. Answers the chosen item's identifier, 0 when the menu
    // was dismissed (or has no items).
    UINT TrackPopupMenu(UINT flags, int x, int y, QWidget* owner);

    // Owner-drawn items --------------------------------------------------------
    // The size of an owner-drawn item; the default leaves it as it is.
    virtual void MeasureItem(MEASUREITEMSTRUCT*) {}
    // Paints an owner-drawn item into its rectangle; the default paints
    // nothing.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}

private:
    bool m_bCreated;
    std::vector<MenuItem> m_items;
};

namespace platform {

// What shows popup menus: Qt menus unless a replacement is installed.
class PopupMenuService {
public:
    virtual ~PopupMenuService();
    // Answers the chosen identifier, 0 when dismissed.
    virtual UINT Track(CMenu& menu, UINT flags, POINT screenPoint, QWidget* owner) = 0;
};

PopupMenuService& PopupMenus();
// Installs a replacement (not owned); null restores the Qt menus. Returns
// the one that was in force before.
PopupMenuService* SetPopupMenus(PopupMenuService* service);

// One menu as the scripted chooser saw it.
struct PopupMenuRecord {
    std::vector<MenuItem> items;
    std::vector<SIZE> measured; // per item; owner-drawn items as the owner measured them
    UINT flags = 0;
    POINT point{0, 0};
    QWidget* owner = nullptr;
};

// A stand-in that records every menu (measuring its owner-drawn items as
// the real menu does) and answers chosen identifiers from a queue; with an
// empty queue it dismisses the menu.
class ScriptedPopupMenus : public PopupMenuService {
public:
    UINT Track(CMenu& menu, UINT flags, POINT screenPoint, QWidget* owner) override;

    std::vector<PopupMenuRecord> menus;
    std::deque<UINT> answers;
    UINT defaultAnswer = 0;
    // Runs while the menu is up, before the answer is given.
    std::function<void(CMenu&)> whileOpen;

    void Clear();
};

// Installs a scripted chooser for the lifetime of the object.
class ScopedScriptedPopupMenus : public ScriptedPopupMenus {
public:
    ScopedScriptedPopupMenus() : m_previous(SetPopupMenus(this)) {}
    ~ScopedScriptedPopupMenus() override { SetPopupMenus(m_previous); }
    ScopedScriptedPopupMenus(const ScopedScriptedPopupMenus&) = delete;
    ScopedScriptedPopupMenus& operator=(const ScopedScriptedPopupMenus&) = delete;

private:
    PopupMenuService* m_previous;
};

} // namespace platform
