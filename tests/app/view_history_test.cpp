// Undo and redo of every kind of change, driven as the user drives the
// program: keys on the frame, clicks and drags on the real controls, the
// page's context menu, the text window and the file dialogs (scripted).

#include "programtest.h"

#include "app/designhistory.h"
#include "controls/colorbutton.h"
#include "controls/editcontrol.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/popupmenu.h"
#include "popups/textwindow.h"
#include "popups/wizardwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using programtest::Click;
using programtest::Widget;

QWidget* ControlOf(QWidget* popup, int id) {
    auto* manager = dynamic_cast<CControlManager*>(popup);
    return manager ? dynamic_cast<QWidget*>(manager->FindControl(id)) : nullptr;
}

class ViewHistoryTest : public ProgramTest {
protected:
    CDesignHistory* History() const { return View()->History(); }

    void AddClipArt(int thumb) {
        Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
        Click(Widget(View(), ID_FIRST_FILE_THUMB + thumb));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { Key(Qt::Key_Y, Qt::ControlModifier); }

    CLayerChannel* LayerOf(int index) const {
        const multimenu_package* item = Layers()->GetItem(index);
        return item ? Mixer()->GetLayer(Mixer()->FindLayerByKey(item->serial)) : nullptr;
    }
    // Presses on a page point, follows the script while the page tracks
    // the mouse, and releases where the script ends.
    void DragOnPage(POINT from, POINT to) {
        QWidget* page = Widget(View(), ID_MIXER);
        const CPoint o = Mixer()->GetPageOffset();
        const QPoint a(from.x + o.x, from.y + o.y), b(to.x + o.x, to.y + o.y);
        QTimer::singleShot(0, [=] {
            QTest::mouseMove(page, (a + b) / 2);
            QTest::mouseMove(page, b);
            QTest::mouseRelease(page, Qt::LeftButton, {}, b);
        });
        QTest::mousePress(page, Qt::LeftButton, {}, a);
        QApplication::processEvents();
    }
    // Writes the text with the key's text window and confirms it.
    void WriteText(int key, const QString& text) {
        WhenPopupOpens([=](QWidget* popup) {
            auto* window = dynamic_cast<CTextWindow*>(popup);
            auto* field = dynamic_cast<CEditControl*>(window->FindControl(CTextWindow::kEditId));
            QWidget* editor = field->GetEditor();
            editor->setFocus();
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
            Click(ControlOf(popup, CTextWindow::kOkId));
        });
        Key(key);
    }
    void ChooseBlankInTheWizard() {
        WhenPopupOpens(
            [](QWidget* popup) { Click(ControlOf(popup, CWizardWindow::kFirstChoiceId)); });
    }
};

TEST_F(ViewHistoryTest, AddingDeletingAndClearingComeBackWithTheirLayers) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(History()->CanUndo());
    AddClipArt(0);
    AddClipArt(1);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(History()->Count(), 2);
    const int first = Layers()->GetItem(1)->serial, second = Layers()->GetItem(0)->serial;

    Undo();
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->serial, first);
    Redo();
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(0)->serial, second) << "the layer comes back as itself";
    EXPECT_EQ(Mixer()->m_layers.size(), 2u);

    // Delete (asked and confirmed): the layer comes back at its place.
    const CRect box = CLayerComposer::PageBox(LayerOf(0));
    services.messageAnswers = {IDOK};
    Key(Qt::Key_Delete);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    Key(Qt::Key_Right); // selecting is no change
    Undo();
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(0)->serial, second);
    EXPECT_EQ(CLayerComposer::PageBox(LayerOf(0)), box);
    EXPECT_EQ(Mixer()->m_pSelected, LayerOf(0)) << "the selection follows the undone change";

    // Clearing the drawing and starting a blank design is one step.
    const int steps = History()->Index();
    services.messageAnswers = {IDOK};
    ChooseBlankInTheWizard();
    Key(Qt::Key_N);
    ASSERT_EQ(Layers()->GetItemCount(), 0);
    EXPECT_EQ(History()->Index(), steps + 1);
    Undo();
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(1)->serial, first);
    EXPECT_EQ(CLayerComposer::PageBox(LayerOf(0)), box);
}

TEST_F(ViewHistoryTest, AMoveAResizeAndATurnAreOneStepEachAndTheSelectionFollows) {
    platform::ScopedScriptedPopupMenus menus;
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    CLayerChannel* moved = LayerOf(0);
    const CRect start = CLayerComposer::PageBox(moved);
    const int steps = History()->Count();
    DragOnPage(start.CenterPoint(), CPoint(start.CenterPoint().x + 30, start.CenterPoint().y + 20));
    const CRect after = CLayerComposer::PageBox(moved);
    EXPECT_EQ(after, CRect(start.left + 30, start.top + 20, start.right + 30, start.bottom + 20));
    EXPECT_EQ(History()->Count(), steps + 1) << "one drag, one step";

    Key(Qt::Key_Right); // the other layer is selected
    ASSERT_NE(Mixer()->m_pSelected, moved);
    Undo();
    EXPECT_EQ(CLayerComposer::PageBox(moved), start);
    EXPECT_EQ(Mixer()->m_pSelected, moved);
    Redo();
    EXPECT_EQ(CLayerComposer::PageBox(moved), after);

    // The right side through the left: mirrored, and back by an undo.
    const int rightX = after.right + 2, midY = after.CenterPoint().y;
    DragOnPage(CPoint(rightX, midY), CPoint(after.left - 40, midY));
    EXPECT_EQ(moved->m_nMirrored, 1);
    Undo();
    EXPECT_EQ(moved->m_nMirrored, 0);
    EXPECT_EQ(CLayerComposer::PageBox(moved), after);

    // A quarter turn from the page's context menu, its last item.
    menus.answers.push_back(11);
    const CPoint o = Mixer()->GetPageOffset();
    QTest::mouseClick(Widget(View(), ID_MIXER), Qt::RightButton, {},
                      QPoint(after.CenterPoint().x + o.x, after.CenterPoint().y + o.y));
    EXPECT_EQ(moved->m_dAngle, 90.0);
    Undo();
    EXPECT_EQ(moved->m_dAngle, 0.0);
    Redo();
    EXPECT_EQ(moved->m_dAngle, 90.0);
}

TEST_F(ViewHistoryTest, OpacityOrderTextAndColoursAreUndone) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    // The opacity slider dragged: every value on the way, one step.
    auto* slider = Widget(View(), ID_OPACITY_SLIDER)->findChild<QSlider*>();
    if (!slider)
        slider = dynamic_cast<QSlider*>(Widget(View(), ID_OPACITY_SLIDER));
    ASSERT_NE(slider, nullptr);
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum(), option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    const QPoint handle =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    int steps = History()->Count();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    for (int dx : {20, 40, 60})
        QTest::mouseMove(slider, handle - QPoint(dx, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle - QPoint(60, 0));
    QApplication::processEvents();
    const int dragged = Layers()->GetItem(0)->opacity;
    EXPECT_LT(dragged, 255);
    EXPECT_EQ(History()->Count(), steps + 1) << "one slider drag, one step";
    EXPECT_EQ(LayerOf(0)->m_nOpacity, dragged);
    Undo();
    EXPECT_EQ(Layers()->GetItem(0)->opacity, 255);
    EXPECT_EQ(LayerOf(0)->m_nOpacity, 255);
    EXPECT_EQ(Layers()->GetIntValue(), 255) << "the slider follows the list";

    // The order: to the back and undone.
    const int front = Layers()->GetItem(0)->serial;
    Key(Qt::Key_B);
    ASSERT_EQ(Layers()->GetItem(1)->serial, front);
    Undo();
    EXPECT_EQ(Layers()->GetItem(0)->serial, front);
    EXPECT_EQ(Mixer()->m_layers[0]->m_nKey, front);

    // A text, then an edit of it: undone back to the first text.
    WriteText(Qt::Key_T, QStringLiteral("Een"));
    ASSERT_EQ(Layers()->GetItem(0)->text, "Een");
    const int een = Layers()->GetItem(0)->serial;
    Frame()->OnCommand(ID_LAYER_ROTATE_RIGHT); // the Edit menu's quarter turn
    ASSERT_EQ(LayerOf(0)->m_dAngle, 90.0);
    steps = History()->Count();
    WriteText(Qt::Key_E, QStringLiteral("Twee"));
    ASSERT_EQ(Layers()->GetItem(0)->text, "Twee");
    EXPECT_EQ(LayerOf(0)->m_dAngle, 90.0) << "an edited text keeps its turn";
    EXPECT_EQ(History()->Count(), steps + 1);
    Undo();
    EXPECT_EQ(Layers()->GetItem(0)->text, "Een");
    EXPECT_EQ(Layers()->GetItem(0)->serial, een);
    EXPECT_EQ(Layers()->GetItemCount(), 3);

    // The main colour: corners and page, and back to white.
    services.colorAnswers = {0x000000FF};
    steps = History()->Index();
    Click(Widget(View(), ID_COLOUR_MAIN));
    ASSERT_EQ(Mixer()->m_crCorner[0], COLORREF(0x000000FF));
    EXPECT_EQ(History()->Index(), steps + 1) << "the button's colour and the corners, one step";
    Undo();
    for (COLORREF corner : Mixer()->m_crCorner)
        EXPECT_EQ(corner, Mixer()->m_crCorner[0]);
    EXPECT_NE(Mixer()->m_crCorner[0], COLORREF(0x000000FF));
    auto* main = dynamic_cast<CColorButtonControl*>(View()->FindControl(ID_COLOUR_MAIN));
    EXPECT_EQ(main->m_crColor, COLORREF(0x00FFFFFF));
}

TEST_F(ViewHistoryTest, LoadingAndSavingSetTheCleanStateAndAnUndoAfterASaveChangesAgain) {
    testsupport::TempDir folder;
    ASSERT_TRUE(Start());
    AddClipArt(0);
    const std::string first = folder.Str() + "/first.prt";
    services.fileAnswers = {first};
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(Document()->IsModified());
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(Document()->IsModified());
    Undo();
    EXPECT_FALSE(Document()->IsModified()) << "back to the saved design";
    Undo();
    EXPECT_TRUE(Document()->IsModified()) << "before the save";
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    Redo();
    EXPECT_FALSE(Document()->IsModified());

    // A second design, opened: the first comes back by an undo, with its title.
    AddClipArt(1);
    const std::string second = folder.Str() + "/second.prt";
    services.fileAnswers = {second};
    Click(Widget(View(), ID_SAVE)); // Ctrl+S would write first.prt again
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    services.fileAnswers = {first};
    Key(Qt::Key_O);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "first.prt - Kavelo");
    EXPECT_FALSE(Document()->IsModified());
    Undo();
    EXPECT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "second.prt - Kavelo");
    // The history knows one saved state, the design read last: leaving it
    // counts as a change, so nothing unsaved goes without a question.
    EXPECT_TRUE(Document()->IsModified());
    Redo();
    EXPECT_FALSE(Document()->IsModified());
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "first.prt - Kavelo");
}

TEST_F(ViewHistoryTest, TheHistoryHoldsMoreThanAHundredSteps) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    CLayerChannel* layer = LayerOf(0);
    const double x = layer->m_dX;
    for (int i = 0; i < 130; ++i)
        Key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(layer->m_dX, x + 130);
    EXPECT_EQ(History()->Count(), 131);
    for (int i = 0; i < 130; ++i)
        Undo();
    EXPECT_EQ(layer->m_dX, x);
    EXPECT_EQ(Layers()->GetItemCount(), 1);
    Undo();
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    EXPECT_FALSE(History()->CanUndo());
}

} // namespace
