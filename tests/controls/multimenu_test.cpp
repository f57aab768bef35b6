#include "buttontestsupport.h"
#include "controls/multimenu.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/popupmenu.h"
#include "testsupport.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidgetAction>
#include <gtest/gtest.h>

#include <memory>

using namespace buttontest;

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 200);

multimenu_package PictureItem(CDIB* image, int cx, int cy, int kind = MMP_PICTURE) {
    multimenu_package item;
    item.kind = kind;
    item.image = image;
    item.cx = cx;
    item.cy = cy;
    return item;
}

// Draws one item through the menu's DrawItem into a fresh image.
QImage DrawMenuItem(CMultiMenu& menu, const multimenu_package& item, CRect rect, UINT state) {
    QImage image(rect.Width(), rect.Height(), QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    CDC dc(&painter, &image);
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_MENU;
    dis.itemState = state;
    dis.pDC = &dc;
    dis.rcItem = rect;
    dis.itemData = reinterpret_cast<std::uintptr_t>(&item);
    menu.DrawItem(&dis);
    painter.end();
    return image;
}

void SendToMenu(QWidget* target, QEvent::Type type, QPoint p) {
    QMouseEvent event(type, QPointF(p), target->mapToGlobal(QPointF(p)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST(MultiMenu, AppendsTextAsItsFirstLineAndPicturesOwnerDrawn) {
    std::unique_ptr<CDIB> image(MakePicture(4, 4, [](int, int) { return 0; }));
    multimenu_package text;
    text.kind = MMP_TEXT;
    text.flags = MF_CHECKED;
    text.text = "Eerste regel die langer is dan toegestaan\ntweede";
    const multimenu_package picture = PictureItem(image.get(), 10, 6);
    multimenu_package empty; // kind 0

    CMultiMenu menu;
    EXPECT_FALSE(menu.AppendItem(&text, 1, 25)); // no menu made yet
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendItem(&text, 1, 12));
    EXPECT_TRUE(menu.AppendItem(&picture, 2, 12));
    EXPECT_FALSE(menu.AppendItem(&empty, 3, 12));
    EXPECT_FALSE(menu.AppendItem(nullptr, 4, 12));
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    const MenuItem& first = menu.GetItems()[0];
    EXPECT_EQ(first.text, "Eerste regel");
    EXPECT_EQ(first.flags, MF_CHECKED);
    EXPECT_EQ(first.id, 1u);
    const MenuItem& second = menu.GetItems()[1];
    EXPECT_EQ(second.flags, MF_OWNERDRAW);
    EXPECT_EQ(second.id, 2u);
    EXPECT_EQ(second.data, reinterpret_cast<std::uintptr_t>(&picture));
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_EQ(menu.GetMenuItemCount(), -1);
    EXPECT_FALSE(menu.DestroyMenu());
}

TEST(MultiMenu, MeasuresPicturesOneLargerThanTheirSize) {
    std::unique_ptr<CDIB> image(MakePicture(4, 4, [](int, int) { return 0; }));
    CMultiMenu menu;
    const multimenu_package picture = PictureItem(image.get(), 50, 50);
    MEASUREITEMSTRUCT mis;
    mis.itemData = reinterpret_cast<std::uintptr_t>(&picture);
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 51u);
    EXPECT_EQ(mis.itemHeight, 51u);

    // Without an image the default stays.
    const multimenu_package blank = PictureItem(nullptr, 50, 50);
    MEASUREITEMSTRUCT other;
    other.itemWidth = 7;
    other.itemHeight = 8;
    other.itemData = reinterpret_cast<std::uintptr_t>(&blank);
    menu.MeasureItem(&other);
    EXPECT_EQ(other.itemWidth, 7u);
    EXPECT_EQ(other.itemHeight, 8u);
}

TEST(MultiMenu, DrawsThePictureCentredInTwoFramesColouredByState) {
    std::unique_ptr<CDIB> image(MakePicture(5, 3, [](int, int) { return kBlue; }));
    CMultiMenu menu;
    const multimenu_package item = PictureItem(image.get(), 10, 6);
    // In (0, 0, 20, 12) the picture box is (5, 3, 15, 9).
    QImage normal = DrawMenuItem(menu, item, CRect(0, 0, 20, 12), 0);
    EXPECT_EQ(PixelAt(normal, 4, 5), 0xFF00FFu); // outside stays
    EXPECT_EQ(PixelAt(normal, 5, 3), 0x154449u);
    EXPECT_EQ(PixelAt(normal, 6, 4), 0x154449u);
    EXPECT_EQ(PixelAt(normal, 14, 8), 0x000000u);
    EXPECT_EQ(PixelAt(normal, 13, 7), 0x000000u);
    EXPECT_EQ(PixelAt(normal, 7, 5), kBlue);
    EXPECT_EQ(PixelAt(normal, 12, 6), kBlue);
    EXPECT_EQ(PixelAt(normal, 15, 5), 0xFF00FFu);

    QImage selected = DrawMenuItem(menu, item, CRect(0, 0, 20, 12), ODS_SELECTED);
    EXPECT_EQ(PixelAt(selected, 5, 3), 0x000000u);
    EXPECT_EQ(PixelAt(selected, 14, 8), 0x154449u);
    QImage disabled = DrawMenuItem(menu, item, CRect(0, 0, 20, 12), ODS_DISABLED | ODS_GRAYED);
    EXPECT_EQ(PixelAt(disabled, 5, 3), 0x34B1BFu);
    EXPECT_EQ(PixelAt(disabled, 14, 8), 0x154449u);

    // Text items are not drawn by the menu.
    multimenu_package text;
    text.kind = MMP_TEXT;
    text.text = "Links";
    QImage untouched = DrawMenuItem(menu, text, CRect(0, 0, 20, 12), 0);
    EXPECT_EQ(PixelAt(untouched, 5, 3), 0xFF00FFu);
}

TEST(MultiMenu, ThumbnailItemsDrawTheThumbnail) {
    testsupport::TempDir dir;
    std::unique_ptr<CDIB> file(MakePicture(6, 4, [](int, int) { return RGB(10, 200, 10); }));
    ASSERT_TRUE(file->WriteBitmapFile((dir.Path() / "tpic.bmp").string()));
    CDIB image;
    ASSERT_TRUE(image.Load((dir.Path() / "ipic.bmp").string(), CDIB::kThumbnail, 1));
    CMultiMenu menu;
    const multimenu_package item = PictureItem(&image, 10, 6, MMP_THUMBNAIL);
    QImage drawn = DrawMenuItem(menu, item, CRect(0, 0, 20, 12), 0);
    EXPECT_EQ(PixelAt(drawn, 9, 6), RGB(10, 200, 10));
}

TEST(PopupMenu, AnEmptyOrUnmadeMenuIsNeverShown) {
    platform::ScopedScriptedPopupMenus menus;
    CMenu unmade;
    EXPECT_EQ(unmade.TrackPopupMenu(TPM_CENTERALIGN, 0, 0, nullptr), 0u);
    CMenu empty;
    empty.CreatePopupMenu();
    EXPECT_EQ(empty.TrackPopupMenu(TPM_CENTERALIGN, 0, 0, nullptr), 0u);
    EXPECT_TRUE(menus.menus.empty());
}

TEST(PopupMenu, TheQtMenuDrawsPictureItemsAndAnswersTheChosenItem) {
    platform::PopupMenuService* previous = platform::SetPopupMenus(nullptr);
    QWidget owner;
    owner.resize(300, 300);
    owner.show();
    std::unique_ptr<CDIB> image(MakePicture(3, 2, [](int, int) { return kBlue; }));
    multimenu_package text;
    text.kind = MMP_TEXT;
    text.text = "Links";
    const multimenu_package picture = PictureItem(image.get(), 30, 20);
    CMultiMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem(&text, 1, 25);
    menu.AppendItem(&picture, 2, 25);

    // Closes whatever menu is still up, so the test can never hang.
    auto closeAfterAWhile = [&owner] {
        QTimer::singleShot(5000, &owner, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
    };

    // First run: click the picture item after looking at it.
    QImage drawn;
    QTimer::singleShot(0, &owner, [&drawn] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        // Centred on the point horizontally, its top at the point.
        EXPECT_EQ(popup->pos(), QPoint(100 - popup->sizeHint().width() / 2, 100));
        ASSERT_EQ(popup->actions().size(), 2);
        auto* action = qobject_cast<QWidgetAction*>(popup->actions()[1]);
        ASSERT_NE(action, nullptr);
        QWidget* item = action->defaultWidget();
        drawn = Grab(item);
        SendToMenu(item, QEvent::MouseButtonRelease, QPoint(10, 10));
    });
    closeAfterAWhile();
    EXPECT_EQ(menu.TrackPopupMenu(TPM_CENTERALIGN, 100, 100, &owner), 2u);
    // As high as the owner measured it, as wide as the menu; the picture
    // is centred in it.
    ASSERT_EQ(drawn.height(), 21);
    ASSERT_GE(drawn.width(), 31);
    const int left = (drawn.width() - 30) >> 1;
    EXPECT_EQ(PixelAt(drawn, left, 0), 0x154449u);
    EXPECT_EQ(PixelAt(drawn, left + 29, 19), 0x000000u);
    EXPECT_EQ(PixelAt(drawn, left + 15, 10), kBlue);

    // Second run: click the text item.
    QTimer::singleShot(0, &owner, [] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(popup, nullptr);
        QAction* action = popup->actions()[0];
        EXPECT_EQ(action->text(), QString("Links"));
        const QPoint centre = popup->actionGeometry(action).center();
        SendToMenu(popup, QEvent::MouseButtonPress, centre);
        SendToMenu(popup, QEvent::MouseButtonRelease, centre);
    });
    closeAfterAWhile();
    EXPECT_EQ(menu.TrackPopupMenu(TPM_CENTERALIGN, 100, 100, &owner), 1u);

    // Third run: dismissed.
    QTimer::singleShot(0, &owner, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    EXPECT_EQ(menu.TrackPopupMenu(TPM_CENTERALIGN, 100, 100, &owner), 0u);
    platform::SetPopupMenus(previous);
}
