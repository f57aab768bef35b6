// What the user made or opened is never lost without a question: the save
// keys on a new design offer a design file of the program's types, a
// picture the user opened is not overwritten by S, a cancelled colour
// chooser changes nothing, and an edited text is saved with the opacity it
// shows.

#include "programtest.h"

#include "controls/colorbutton.h"
#include "controls/editcontrol.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/paths.h"
#include "popups/textwindow.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

using programtest::Click;
using programtest::Lines;
using programtest::ReadFile;

const std::vector<std::string> kSaveTypes = {"Print file (*.prt)", "Bitmap file (*.bmp)",
                                             "JPeg/JFif file (*.jpg)", "Tiff file (*.tif)",
                                             "Png file (*.png)"};

class DesignKeepTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
    }
    std::string Temp(const char* name) const { return m_folder.filePath(name).toStdString(); }
    QWidget* Control(int id) const { return programtest::Widget(View(), id); }
    CColorButtonControl* Colour(int id) const {
        return dynamic_cast<CColorButtonControl*>(View()->FindControl(id));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    void AddClipArt() {
        Click(Control(ID_FIRST_CATEGORY_THUMB + 7));
        Click(Control(ID_FIRST_FILE_THUMB + 7));
    }

    QTemporaryDir m_folder;
};

TEST_F(DesignKeepTest, SaveKeysOnANewDesignOfferAnUntitledDesignOfTheProgramsTypes) {
    ASSERT_TRUE(Start());
    AddClipArt();
    Key(Qt::Key_S); // cancelled
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    const platform::FileDialogRequest asked = services.fileDialogs[0];
    EXPECT_FALSE(asked.open);
    EXPECT_EQ(asked.initialPath, platform::DocumentsFolder() + "Untitled.prt");
    EXPECT_EQ(asked.defaultExtension, ".prt");
    EXPECT_EQ(asked.filters, kSaveTypes);
    EXPECT_TRUE(services.messages.empty());

    services.fileAnswers.push_back(Temp("first.prt"));
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(services.fileDialogs.size(), 2u);
    EXPECT_EQ(services.fileDialogs[1].filters, kSaveTypes);
    EXPECT_EQ(Lines(ReadFile(m_folder.filePath("first.prt")))[10], "3"); // a design
    // Now the design has its file: the keys write it without a question.
    Key(Qt::Key_S);
    EXPECT_EQ(services.fileDialogs.size(), 2u);
    EXPECT_EQ(services.messages.back().text, Temp("first.prt") + " ... OK");
}

TEST_F(DesignKeepTest, SaveKeysAfterOpeningAPictureAskForADesignNameAndLeaveThePicture) {
    ASSERT_TRUE(Start());
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(qRgb(10, 120, 200));
    ASSERT_TRUE(photo.save(m_folder.filePath("photo.jpg")));
    const std::string bytes = ReadFile(m_folder.filePath("photo.jpg"));
    services.fileAnswers.push_back(Temp("photo.jpg"));
    Key(Qt::Key_O);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("photo.jpg - Kavelo"));
    services.fileDialogs.clear();
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        Key(Qt::Key_S, modifiers); // cancelled
        ASSERT_FALSE(services.fileDialogs.empty());
        EXPECT_EQ(services.fileDialogs.back().initialPath, Temp("photo.prt"));
    }
    EXPECT_EQ(services.fileDialogs.size(), 2u);
    EXPECT_EQ(ReadFile(m_folder.filePath("photo.jpg")), bytes);
}

TEST_F(DesignKeepTest, CancelInTheMainColourChooserKeepsTheFourCorners) {
    ASSERT_TRUE(Start());
    services.colorAnswers = {COLORREF(0x000000FF), std::nullopt};
    Click(Control(ID_COLOUR_TOP_LEFT));
    ASSERT_EQ(Colour(ID_COLOUR_TOP_LEFT)->m_crColor, COLORREF(0x000000FF));
    Click(Control(ID_COLOUR_MAIN));
    ASSERT_EQ(services.colorDialogs.size(), 2u);
    EXPECT_EQ(Colour(ID_COLOUR_TOP_LEFT)->m_crColor, COLORREF(0x000000FF));
    EXPECT_EQ(Colour(ID_COLOUR_TOP_RIGHT)->m_crColor, COLORREF(0x00FFFFFF));
    EXPECT_EQ(Mixer()->m_crCorner[0], COLORREF(0x000000FF));
    EXPECT_EQ(Mixer()->m_crCorner[1], COLORREF(0x00FFFFFF));
}

TEST_F(DesignKeepTest, AnEditedTextIsSavedWithTheOpacityItShows) {
    ASSERT_TRUE(Start());
    auto write = [this](int key, const QString& text) {
        WhenPopupOpens([text](QWidget* popup) {
            auto* window = dynamic_cast<CTextWindow*>(popup);
            auto* field = dynamic_cast<CEditControl*>(window->FindControl(CTextWindow::kEditId));
            field->GetEditor()->setFocus();
            QTest::keyClick(field->GetEditor(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field->GetEditor(), text);
            Click(dynamic_cast<QWidget*>(window->FindControl(CTextWindow::kOkId)));
        });
        Key(key);
    };
    write(Qt::Key_T, QStringLiteral("Een"));
    for (int i = 0; i < 10; ++i)
        Key(Qt::Key_Minus, Qt::KeypadModifier);
    const int shown = Layers()->GetItem(0)->opacity;
    ASSERT_LT(shown, 240);
    write(Qt::Key_E, QStringLiteral("Twee"));
    ASSERT_EQ(Layers()->GetItem(0)->text, "Twee");
    CLayerServer* server = Layers();
    const CLayerChannel* layer =
        Mixer()->GetLayer(Mixer()->FindLayerByKey(server->GetLayerKey(0, nullptr, nullptr)));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->m_nOpacity, shown);
    EXPECT_EQ(Layers()->GetItem(0)->opacity, shown);
    EXPECT_EQ(Layers()->GetIntValue(), shown); // the slider's value
    services.fileAnswers.push_back(Temp("text.prt"));
    Click(Control(ID_SAVE));
    EXPECT_EQ(Lines(ReadFile(m_folder.filePath("text.prt")))[11], std::to_string(shown));
}

} // namespace
