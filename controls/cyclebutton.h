#pragma once
// A button that holds a list of items (lines of text or pictures) and
// shows one of them, the current item. A press in the selector area (the
// left quarter) steps to the next item, or with Shift to the previous one;
// a press elsewhere drops down a picture menu of all items. Every change of
// the current item raises its index as an int value, then a select.

#include "controls/button.h"
#include "controls/multimenu.h"
#include "imaging/dibmanager.h"

#include <string>
#include <vector>

// Where an item goes in the list.
enum : int { kPlaceFront = 0, kPlaceEnd = 1, kPlaceAt = 2 };

class CCycleButtonControl : public CButtonControl {
public:
    // Starts with no items and item 0 current, which it reports at once.
    CCycleButtonControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                        int reserved1, int reserved2);
    // Empties the list; the pictures are not handed back to the manager
    // (RemoveAllItems does that).
    ~CCycleButtonControl() override;

    // Items --------------------------------------------------------------------------
    // Removes one item; the current index stays as it is. FALSE out of range.
    virtual BOOL RemoveItem(int index);
    // Adds a text item (null text: 0, nothing added); answers its index, -1
    // for a placement that adds nothing.
    virtual int AddTextItem(const char* text, const LOGFONT* font, int data1, int data2, int where,
                            int index);
    virtual int AddTextItem(const std::string* text, const LOGFONT* font, int data1, int data2,
                            int where, int index);
    // Adds a picture item shown at cx x cy; the image gets a reference in
    // the manager's cache and in the button's own.
    virtual int AddPictureItem(CDIB* image, int cx, int cy, int where, int index);
    // Enabled with at least one item; the selector box shows with two or more.
    virtual BOOL UpdateLook();
    // Releases every picture and empties the list; item 0 becomes current.
    void RemoveAllItems();
    // Makes an item current and reports it (again, once any item was added).
    BOOL SetCurrent(int index);
    // The current item, or null when the index is outside the list.
    multimenu_package* GetCurrentItem();
    // The two items change places; the current index stays as it is.
    BOOL SwapItems(int a, int b);
    int GetItemCount() const { return int(m_items.size()); }
    const multimenu_package* GetItem(int index) const;

    // Button operations -----------------------------------------------------------------
    // Steps when the press was in the selector area or there was no press.
    void OnClicked() override;
    // A menu choice: identifier n makes item n - 1 current.
    void OnCommandHook(UINT id, int code, void* extra, void* handlerInfo) override;
    // The current index as an int value, then a select.
    BOOL Fire(int) override;
    // Marks a step or toggles the selector box (Ctrl), else opens the menu.
    void OnLButtonDown(UINT flags, int x, int y) override;
    // Fits the widest item, the selector box and the margins.
    const CRect* GetNaturalRect() override;
    // Background, frame, selector box and the current item.
    void OnPaint(CDC* dc, const RECT* area) override;

    CDIBManager m_images;
    int m_nCurrent;
    int m_nMaxChars;
    BOOL m_bStepPending;
    BOOL m_bMenuOpen;
    BOOL m_bBackwards;
    BOOL m_bPressed;
    BOOL m_bShowSelector;
    BOOL m_bForce;
    std::vector<multimenu_package> m_items;
    COLORREF m_crText;
    COLORREF m_crTextGrey;
    COLORREF m_crPen;
    COLORREF m_crPenDisabled;
    COLORREF m_crBackDisabled;
    COLORREF m_crFocus;
    COLORREF m_crTextBack;

protected:
    // Whether a picture item is shown turned over, left to right or upside
    // down; a plain cycle button never turns its pictures.
    virtual void GetPictureTurn(const multimenu_package& item, bool* mirrored, bool* flipped) const;

private:
    // Puts a built item in its place; its index, or -1 when it was not added.
    int PlaceItem(multimenu_package item, int where, int index);
    // After an addition: a grown natural size makes the layout group lay
    // out again.
    void RelayoutGroupIfGrown(const CRect& before);
    // m_nCurrent = index, then look, notifications and drawing.
    void MakeCurrent(int index);
    void OpenItemMenu();
    void DrawSelector(CDC* dc, int w, int h, bool disabled);
    void DrawTextItem(CDC* dc, const multimenu_package& item, int w, int h, bool disabled);
    void DrawPictureItem(CDC* dc, const multimenu_package& item, int w, int h);
};
