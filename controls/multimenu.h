#pragma once
// The item record of cycle buttons, picture menus and the layer list, and
// the popup menu that lists such items: text items as their first line,
// picture items drawn by the menu itself in a frame.

#include "platform/logfont.h"
#include "platform/popupmenu.h"
#include "platform/wintypes.h"

#include <string>

class CDIB;
class CPalette;

// Kinds of items.
enum : int {
    MMP_TEXT = 1,
    MMP_PICTURE = 2,
    MMP_THUMBNAIL = 3, // the picture is the thumbnail part of the item's image
};

// One item. Items are kept by value; the list that holds them owns the
// texts, the image cache the pictures.
struct multimenu_package {
    int kind = 0;
    UINT flags = 0;  // MF_GRAYED, MF_CHECKED
    int serial = 0;  // process-wide, never 0: the layer identity in the layer list
    int changed = 0; // set by the layer list when opacity or place change
    std::string text;
    CDIB* image = nullptr;
    CPalette* palette = nullptr; // the manager's palette when the item was made
    BYTE opacity = 0;
    int cx = 0; // the size a picture item is shown at
    int cy = 0;
    LOGFONT font{};
    int data1 = 0; // free for the creator of a text item
    int data2 = 0;
};

// The picture a picture item shows: its image, or for MMP_THUMBNAIL the
// image's thumbnail; null for text items and missing pictures.
CDIB* ItemPicture(const multimenu_package& item);

class CMultiMenu : public CMenu {
public:
    // Picture items with an image measure (cx + 1) x (cy + 1).
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    // Picture items: the picture centred at cx x cy, framed twice in the
    // colours of the item's state.
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    // Text items as their first line cut to maxChars characters, picture
    // items owner-drawn with the item's address as their data. FALSE for
    // other kinds.
    BOOL AppendItem(const multimenu_package* item, UINT id, int maxChars);
};
