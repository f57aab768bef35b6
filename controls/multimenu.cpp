#include "controls/multimenu.h"

#include "content/fileutil.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"

namespace {

constexpr COLORREF kDark = 0x154449;
constexpr COLORREF kLight = 0x34B1BF;
constexpr COLORREF kBlack = 0x000000;

bool IsPictureKind(int kind) {
    return kind == MMP_PICTURE || kind == MMP_THUMBNAIL;
}

const multimenu_package* ItemOf(std::uintptr_t data) {
    return reinterpret_cast<const multimenu_package*>(data);
}

} // namespace

CDIB* ItemPicture(const multimenu_package& item) {
    if (item.kind == MMP_PICTURE)
        return item.image;
    if (item.kind == MMP_THUMBNAIL && item.image)
        return item.image->GetThumbnail();
    return nullptr;
}

void CMultiMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
    const multimenu_package* item = mis ? ItemOf(mis->itemData) : nullptr;
    if (!item || !IsPictureKind(item->kind) || !item->image)
        return;
    mis->itemWidth = UINT(item->cx + 1);
    mis->itemHeight = UINT(item->cy + 1);
}

void CMultiMenu::DrawItem(DRAWITEMSTRUCT* dis) {
    const multimenu_package* item = dis ? ItemOf(dis->itemData) : nullptr;
    if (!item || !IsPictureKind(item->kind) || !dis->pDC)
        return;
    const RECT& r = dis->rcItem;
    // Centred at the item's size; halves by arithmetic shift.
    CRect box((r.left + r.right - item->cx) >> 1, (r.top + r.bottom - item->cy) >> 1,
              (r.left + r.right + item->cx) >> 1, (r.top + r.bottom + item->cy) >> 1);
    if (CDIB* picture = ItemPicture(*item))
        picture->Draw(dis->pDC, &box, nullptr, item->palette, false);
    COLORREF topLeft = kDark, bottomRight = kBlack;
    if (dis->itemState & ODS_DISABLED) {
        topLeft = kLight;
        bottomRight = kDark;
    } else if (dis->itemState & ODS_SELECTED) {
        topLeft = kBlack;
        bottomRight = kDark;
    }
    dis->pDC->Draw3dRect(box, topLeft, bottomRight);
    box.DeflateRect(1, 1);
    dis->pDC->Draw3dRect(box, topLeft, bottomRight);
}

BOOL CMultiMenu::AppendItem(const multimenu_package* item, UINT id, int maxChars) {
    if (!item)
        return FALSE;
    if (item->kind == MMP_TEXT) {
        std::string text = item->text;
        FirstLineCut(&text, maxChars);
        return AppendMenu(item->flags, id, text);
    }
    if (IsPictureKind(item->kind))
        return AppendMenu(item->flags | MF_OWNERDRAW, id, reinterpret_cast<std::uintptr_t>(item));
    return FALSE;
}
