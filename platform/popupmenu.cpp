#include "platform/popupmenu.h"

#include "platform/gdi/dc.h"

#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidgetAction>

// CMenu ------------------------------------------------------------------------------

CMenu::CMenu() : m_bCreated(false) {}

CMenu::~CMenu() = default;

BOOL CMenu::CreatePopupMenu() {
    m_items.clear();
    m_bCreated = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (!m_bCreated)
        return FALSE;
    m_items.clear();
    m_bCreated = false;
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT id, const std::string& text) {
    if (!m_bCreated)
        return FALSE;
    m_items.push_back(MenuItem{flags, id, text, 0});
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT id, std::uintptr_t itemData) {
    if (!m_bCreated)
        return FALSE;
    m_items.push_back(MenuItem{flags, id, std::string(), itemData});
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return m_bCreated ? int(m_items.size()) : -1;
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, QWidget* owner) {
    if (!m_bCreated || m_items.empty())
        return 0;
    return platform::PopupMenus().Track(*this, flags, POINT{x, y}, owner);
}

namespace platform {

PopupMenuService::~PopupMenuService() = default;

namespace {

bool IsEnabled(const MenuItem& item) {
    return !(item.flags & (MF_GRAYED | MF_DISABLED));
}

SIZE Measure(CMenu& menu, const MenuItem& item) {
    MEASUREITEMSTRUCT mis;
    mis.itemID = item.id;
    mis.itemData = item.data;
    menu.MeasureItem(&mis);
    return SIZE{LONG(mis.itemWidth), LONG(mis.itemHeight)};
}

// An owner-drawn item inside a Qt menu: sized by the owner's measure and
// painted by the owner's DrawItem, selected while the mouse is over it.
class OwnerDrawnItem final : public QWidget {
public:
    OwnerDrawnItem(CMenu& menu, const MenuItem& item, QMenu& qmenu, UINT& chosen)
        : m_menu(menu), m_item(item), m_qmenu(qmenu), m_chosen(chosen) {
        const SIZE size = Measure(menu, item);
        m_size = QSize(size.cx, size.cy);
        setMouseTracking(true);
        setEnabled(IsEnabled(item));
    }
    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        CDC dc(&painter);
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_MENU;
        dis.itemID = m_item.id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = State();
        dis.hwndItem = this;
        dis.pDC = &dc;
        dis.rcItem = RECT{0, 0, width(), height()};
        dis.itemData = m_item.data;
        m_menu.DrawItem(&dis);
    }
    void enterEvent(QEnterEvent*) override { update(); }
    void leaveEvent(QEvent*) override { update(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
            return;
        m_chosen = m_item.id;
        m_qmenu.close();
    }

private:
    UINT State() const {
        UINT state = 0;
        if (underMouse())
            state |= ODS_SELECTED;
        if (m_item.flags & MF_GRAYED)
            state |= ODS_GRAYED | ODS_DISABLED;
        if (m_item.flags & MF_DISABLED)
            state |= ODS_DISABLED;
        if (m_item.flags & MF_CHECKED)
            state |= ODS_CHECKED;
        return state;
    }

    CMenu& m_menu;
    MenuItem m_item;
    QMenu& m_qmenu;
    UINT& m_chosen;
    QSize m_size;
};

void AddItem(QMenu& qmenu, CMenu& menu, const MenuItem& item, UINT& chosen) {
    if (item.flags & MF_SEPARATOR) {
        qmenu.addSeparator();
        return;
    }
    if (item.flags & MF_OWNERDRAW) {
        auto* action = new QWidgetAction(&qmenu);
        action->setDefaultWidget(new OwnerDrawnItem(menu, item, qmenu, chosen));
        qmenu.addAction(action);
        return;
    }
    QAction* action = qmenu.addAction(QString::fromStdString(item.text));
    action->setData(item.id);
    action->setEnabled(IsEnabled(item));
    if (item.flags & MF_CHECKED) {
        action->setCheckable(true);
        action->setChecked(true);
    }
}

// The top-left corner of a menu of the given size aligned at the point.
QPoint AlignedCorner(UINT flags, POINT p, QSize size) {
    int x = p.x, y = p.y;
    if (flags & TPM_CENTERALIGN)
        x -= size.width() / 2;
    else if (flags & TPM_RIGHTALIGN)
        x -= size.width();
    if (flags & TPM_VCENTERALIGN)
        y -= size.height() / 2;
    else if (flags & TPM_BOTTOMALIGN)
        y -= size.height();
    return QPoint(x, y);
}

class QtPopupMenus final : public PopupMenuService {
public:
    UINT Track(CMenu& menu, UINT flags, POINT screenPoint, QWidget* owner) override {
        QMenu qmenu(owner);
        UINT chosen = 0;
        for (const MenuItem& item : menu.GetItems())
            AddItem(qmenu, menu, item, chosen);
        const QAction* action = qmenu.exec(AlignedCorner(flags, screenPoint, qmenu.sizeHint()));
        if (action && action->data().isValid())
            chosen = action->data().toUInt();
        return chosen;
    }
};

QtPopupMenus& QtPopupMenusInstance() {
    static QtPopupMenus service;
    return service;
}

PopupMenuService* g_popupMenus = nullptr;

} // namespace

PopupMenuService& PopupMenus() {
    return g_popupMenus ? *g_popupMenus : QtPopupMenusInstance();
}

PopupMenuService* SetPopupMenus(PopupMenuService* service) {
    PopupMenuService* previous = g_popupMenus;
    g_popupMenus = service;
    return previous;
}

UINT ScriptedPopupMenus::Track(CMenu& menu, UINT flags, POINT screenPoint, QWidget* owner) {
    PopupMenuRecord record;
    record.items = menu.GetItems();
    for (const MenuItem& item : record.items)
        record.measured.push_back((item.flags & MF_OWNERDRAW) ? Measure(menu, item) : SIZE{0, 0});
    record.flags = flags;
    record.point = screenPoint;
    record.owner = owner;
    menus.push_back(std::move(record));
    if (whileOpen)
        whileOpen(menu);
    if (answers.empty())
        return defaultAnswer;
    const UINT answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedPopupMenus::Clear() {
    menus.clear();
    answers.clear();
}

} // namespace platform
