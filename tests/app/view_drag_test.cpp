// Dragging thumbs onto the page: a file thumb dropped there adds its
// picture, a category thumb dropped there does nothing.

#include "programtest.h"

#include "controls/thumbcontrol.h"
#include "layers/layercycle.h"
#include "popups/dragicon.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

using programtest::Widget;

void Send(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
          Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class ViewDragTest : public ProgramTest {
protected:
    // Presses on the thumb, moves away with the button held and releases
    // over the page's centre; answers whether a drag icon followed the mouse.
    bool DragOntoPage(QWidget* thumb) {
        QWidget* page = Widget(View(), ID_MIXER);
        const QPoint target = page->mapToGlobal(page->rect().center());
        bool iconSeen = false;
        QTimer::singleShot(0, [&]() {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* icon = dynamic_cast<CDragNDropIcon*>(window);
                if (!icon || !icon->isVisible())
                    continue;
                iconSeen = true;
                // The icon follows the mouse, so each event is placed anew.
                Send(icon, QEvent::MouseMove, icon->mapFromGlobal(target), Qt::NoButton,
                     Qt::LeftButton);
                Send(icon, QEvent::MouseButtonRelease, icon->mapFromGlobal(target), Qt::LeftButton,
                     Qt::NoButton);
            }
        });
        const QPoint start = thumb->rect().center();
        Send(thumb, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        Send(thumb, QEvent::MouseMove, start + QPoint(0, 12), Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();
        return iconSeen;
    }
};

TEST_F(ViewDragTest, AFileThumbDroppedOnThePageAddsItsPicture) {
    ASSERT_TRUE(Start());
    QWidget* category = Widget(View(), ID_FIRST_CATEGORY_THUMB + 2);
    QTest::mouseMove(category, category->rect().center());
    QTest::mouseClick(category, Qt::LeftButton, Qt::NoModifier, category->rect().center());
    QApplication::processEvents();
    ASSERT_EQ(Layers()->GetItemCount(), 0);
    auto* thumb = dynamic_cast<CThumbControl*>(View()->FindControl(ID_FIRST_FILE_THUMB + 3));
    ASSERT_NE(thumb->GetImage(), nullptr) << "the category did not fill the file strip";
    ASSERT_TRUE(thumb->GetFlags() & CTRL_DRAGGABLE);
    EXPECT_TRUE(DragOntoPage(Widget(View(), ID_FIRST_FILE_THUMB + 3)));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_THUMBNAIL);
}

TEST_F(ViewDragTest, ACategoryThumbDroppedOnThePageDoesNothing) {
    ASSERT_TRUE(Start());
    // Category thumbs are not draggable: no icon follows and no layer comes.
    EXPECT_FALSE(DragOntoPage(Widget(View(), ID_FIRST_CATEGORY_THUMB + 2)));
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    // A drop notification from a category thumb is ignored by the view too.
    POINT point{100, 100};
    View()->OnNotify_Drop(ID_FIRST_CATEGORY_THUMB + 2, ID_MIXER, &point);
    EXPECT_EQ(Layers()->GetItemCount(), 0);
}

} // namespace
