// The commands of the main view, driven as the user drives them: clicks on
// the real controls and keys on the frame.

#include "programtest.h"

#include "controls/colorbutton.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace {

using programtest::Click;
using programtest::Widget;

class CommandsTest : public ProgramTest {
protected:
    // Chooses the first category and adds the picture of file thumb i.
    void AddClipArt(int thumb) {
        Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
        Click(Widget(View(), ID_FIRST_FILE_THUMB + thumb));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
};

TEST_F(CommandsTest, ChoosingAFileThumbAddsItsPictureInFrontAndEnablesTheButtons) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    AddClipArt(1);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->m_nCurrent, 0);
    const multimenu_package* front = Layers()->GetItem(0);
    ASSERT_NE(front, nullptr);
    // Clip art is shown in the list by its thumbnail.
    EXPECT_EQ(front->kind, MMP_THUMBNAIL);
    EXPECT_EQ(front->cx, 50);
    for (int id : {ID_SAVE, ID_PRINT, ID_PRINT_PREVIEW, ID_OPACITY_SLIDER})
        EXPECT_TRUE(Widget(View(), id)->isEnabled()) << id;
    // A picture is selected: the text cannot be edited.
    EXPECT_FALSE(Widget(View(), ID_EDIT_TEXT)->isEnabled());
    EXPECT_EQ(Mixer()->m_layers.size(), 2u);
}

TEST_F(CommandsTest, RightAndTabWrapToTheFirstLayerAndLeftToTheLast) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    AddClipArt(2);
    ASSERT_EQ(Layers()->m_nCurrent, 0);
    Key(Qt::Key_Left);
    EXPECT_EQ(Layers()->m_nCurrent, 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(Layers()->m_nCurrent, 0);
    Key(Qt::Key_Right);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Layers()->m_nCurrent, 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Layers()->m_nCurrent, 0);
}

TEST_F(CommandsTest, KeysBAndFSendTheSelectedLayerBackAndFront) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    const int front = Layers()->GetItem(0)->serial;
    Key(Qt::Key_B);
    EXPECT_EQ(Layers()->GetItem(1)->serial, front);
    EXPECT_EQ(Layers()->m_nCurrent, 1);
    Key(Qt::Key_F);
    EXPECT_EQ(Layers()->GetItem(0)->serial, front);
}

TEST_F(CommandsTest, KeypadPlusAndMinusNudgeTheOpacitySlider) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    CControlBase* slider = View()->FindControl(ID_OPACITY_SLIDER);
    slider->SetDoubleValue(0.5);
    // The slider holds whole steps of 1/255: each nudge lands within a step.
    const double step = 1.0 / 255;
    const double before = slider->GetDoubleValue();
    Key(Qt::Key_Plus, Qt::KeypadModifier);
    const double raised = slider->GetDoubleValue();
    EXPECT_NEAR(raised, before + 0.01, step);
    Key(Qt::Key_Minus, Qt::KeypadModifier);
    const double lowered = slider->GetDoubleValue();
    EXPECT_NEAR(lowered, raised - 0.01, step);
    EXPECT_LT(lowered, raised);
    // The selected layer follows the slider.
    EXPECT_EQ(Layers()->GetIntValue(), int(lowered * 255 + 0.5));

    // From a real keyboard no shortcut takes a keypad key: it arrives as a
    // plain key press with the keypad modifier, at the widget with focus.
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : Frame();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, QStringLiteral("+"));
    QApplication::sendEvent(focus, &press);
    EXPECT_NEAR(slider->GetDoubleValue(), lowered + 0.01, step);
    // The main keyboard's plus is no key of the table.
    const double kept = slider->GetDoubleValue();
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier, QStringLiteral("+"));
    QApplication::sendEvent(focus, &plain);
    EXPECT_EQ(slider->GetDoubleValue(), kept);
}

TEST_F(CommandsTest, NewWithLayersAsksAndCancelKeepsThemWithoutAWizard) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    services.messageAnswers = {IDCANCEL};
    Key(Qt::Key_N);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "De tekening wissen?");
    EXPECT_EQ(Layers()->GetItemCount(), 1);
}

TEST_F(CommandsTest, NewWithoutLayersDoesNothing) {
    ASSERT_TRUE(Start());
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(CommandsTest, DeleteKeyAsksAndRemovesTheSelectedLayer) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    services.messageAnswers = {IDOK};
    Key(Qt::Key_Delete);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Het item van de tekening verwijderen?");
    EXPECT_EQ(Layers()->GetItemCount(), 1);
}

TEST_F(CommandsTest, TheMainColourTurnsTheCornersAndTheWholePageRed) {
    ASSERT_TRUE(Start());
    services.colorAnswers = {0x000000FF};
    Click(Widget(View(), ID_COLOUR_MAIN));
    for (int id :
         {ID_COLOUR_TOP_LEFT, ID_COLOUR_TOP_RIGHT, ID_COLOUR_BOTTOM_LEFT, ID_COLOUR_BOTTOM_RIGHT})
        EXPECT_EQ(dynamic_cast<CColorButtonControl*>(View()->FindControl(id))->m_crColor,
                  COLORREF(0x000000FF))
            << id;
    for (COLORREF corner : Mixer()->m_crCorner)
        EXPECT_EQ(corner, COLORREF(0x000000FF));
}

} // namespace

namespace {

class KeysTest : public ProgramTest {
protected:
    void AddClipArtForKeys() {
        Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
        Click(Widget(View(), ID_FIRST_FILE_THUMB));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
};

TEST_F(KeysTest, OAndCtrlOOpenTheLoadDialogWithItsFilter) {
    ASSERT_TRUE(Start());
    Key(Qt::Key_O);
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(services.fileDialogs.size(), 2u);
    for (const auto& dialog : services.fileDialogs) {
        EXPECT_TRUE(dialog.open);
        EXPECT_EQ(dialog.defaultExtension, ".prt");
        EXPECT_EQ(dialog.filters,
                  (std::vector<std::string>{"Print file (*.prt)", "Bitmap file (*.bmp)",
                                            "JPeg/JFif file (*.jpg)", "Targa file (*.tga)",
                                            "Png file (*.png)", "Pcx file (*.pcx)",
                                            "Tiff file (*.tif)", "All Files (*)"}));
    }
}

TEST_F(KeysTest, HAndF1OpenTheDutchHelpDocument) {
    ASSERT_TRUE(Start());
    Key(Qt::Key_H);
    Key(Qt::Key_F1);
    ASSERT_EQ(services.shellOpens.size(), 2u);
    for (const auto& open : services.shellOpens) {
        EXPECT_NE(open.first.find("dhelp.pdf"), std::string::npos) << open.first;
        EXPECT_EQ(open.second, "open");
    }
}

TEST_F(KeysTest, AShowsTheAboutBoxUntilAClick) {
    ASSERT_TRUE(Start());
    std::string caption;
    WhenPopupOpens([&](QWidget* popup) {
        caption = popup->windowTitle().toStdString();
        QTest::mouseClick(popup, Qt::LeftButton, Qt::NoModifier, popup->rect().center());
    });
    Key(Qt::Key_A);
    EXPECT_EQ(caption, "Popup window");
}

TEST_F(KeysTest, PAsksThePageModeFirstAndCancelPrintsNothing) {
    ASSERT_TRUE(Start());
    AddClipArtForKeys();
    std::string title;
    WhenPopupOpens([&](QWidget* popup) {
        title = popup->windowTitle().toStdString();
        auto* manager = dynamic_cast<CControlManager*>(popup);
        auto* cancel = dynamic_cast<QWidget*>(manager->FindControl(100000));
        QTest::mouseClick(cancel, Qt::LeftButton, Qt::NoModifier, cancel->rect().center());
    });
    Key(Qt::Key_P);
    EXPECT_EQ(title, "Kies hoe u de pagina wil afdrukken");
    EXPECT_TRUE(services.printDialogs.empty());
}

TEST_F(KeysTest, UpAndDownMoveTheSelectedLayerLikeItsButtons) {
    ASSERT_TRUE(Start());
    AddClipArtForKeys();
    AddClipArtForKeys();
    const int front = Layers()->GetItem(0)->serial;
    Key(Qt::Key_Down);
    EXPECT_EQ(Layers()->GetItem(1)->serial, front);
    Key(Qt::Key_Up);
    EXPECT_EQ(Layers()->GetItem(0)->serial, front);
}

} // namespace
