// The main frame: where it goes on the screen, its menu, and the keys that
// reach the view's commands.

#include "programtest.h"

#include "layers/layercycle.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

TEST(FrameRectTest, CentresTheSettingOrTakesTheWholeScreen) {
    EXPECT_EQ(CMainFrame::FrameRect(CSize(1024, 768), 812, 650, 0), CRect(106, 59, 918, 709));
    EXPECT_EQ(CMainFrame::FrameRect(CSize(800, 600), 900, 700, 0), CRect(0, 0, 800, 600));
    EXPECT_EQ(CMainFrame::FrameRect(CSize(1024, 768), 1024, 768, 0), CRect(0, 0, 1024, 768));
    EXPECT_EQ(CMainFrame::FrameRect(CSize(1280, 1024), 812, 650, 1), CRect(0, 0, 1280, 1024));
    // Only the axis the screen is too small for takes the screen's extent.
    EXPECT_EQ(CMainFrame::FrameRect(CSize(1024, 600), 812, 650, 0), CRect(106, 0, 918, 600));
    // An odd difference rounds down.
    EXPECT_EQ(CMainFrame::FrameRect(CSize(1025, 769), 812, 650, 0), CRect(106, 59, 918, 709));
}

using FrameTest = ProgramTest;

TEST_F(FrameTest, MenuHoldsTheFileEditAndHelpItems) {
    ASSERT_TRUE(Start());
    QStringList texts;
    for (QAction* menu : Frame()->menuBar()->actions()) {
        texts << menu->text();
        for (QAction* item : menu->menu()->actions())
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    // The Edit menu and the recent files speak the program's language.
    EXPECT_EQ(texts.join('|').toStdString(),
              "&File|&New...\tCtrl+N|&Open...\tCtrl+O|&Save\tCtrl+S|-|&Print...\tCtrl+P|"
              "Print Pre&view|P&rint Setup...|-|&Recente bestanden|-|E&xit|"
              "Be&werken|&Ongedaan maken\tCtrl+Z|Opnieu&w\tCtrl+Y|-|&Kopiëren\tCtrl+C|"
              "&Plakken\tCtrl+V|&Dupliceren\tCtrl+D|-|90° naar &links draaien|"
              "90° naar &rechts draaien|&Help|Help|&About...");
}

TEST_F(FrameTest, TheWholeWindowWithItsFrameStaysOnASmallScreen) {
    // The program's 812 x 650 on the 800 x 800 screen of the test platform,
    // whose windows have a frame: the frame is the whole screen's width and
    // 650 high, centred, and stays on the screen.
    ASSERT_TRUE(Start());
    const QMargins frame = Frame()->windowHandle()->frameMargins();
    ASSERT_FALSE(frame.isNull()) << "a window without a frame shows nothing here";
    ASSERT_EQ(Frame()->screen()->geometry(), QRect(0, 0, 800, 800));
    EXPECT_EQ(Frame()->frameGeometry(), QRect(0, 75, 800, 650));
    EXPECT_EQ(Frame()->size(),
              QSize(800 - frame.left() - frame.right(), 650 - frame.top() - frame.bottom()));
}

TEST_F(FrameTest, KeyQAsksTheQuitQuestionOnceAndCancelKeepsTheProgram) {
    ASSERT_TRUE(Start());
    services.messageAnswers = {IDCANCEL};
    Frame()->activateWindow();
    QTest::keyClick(Frame(), Qt::Key_Q);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Het programma verlaten?");
    EXPECT_EQ(services.messages[0].type, UINT(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(Frame()->isVisible());

    services.messageAnswers = {IDOK};
    QTest::keyClick(Frame(), Qt::Key_Q);
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_FALSE(Frame()->isVisible());
}

TEST_F(FrameTest, ClosingTheWindowAsksOnceAndEndsOnOk) {
    ASSERT_TRUE(Start());
    services.messageAnswers = {IDOK};
    Frame()->close();
    QApplication::processEvents();
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_FALSE(Frame()->isVisible());
}

TEST_F(FrameTest, EveryKeyOfTheTableHasItsCommand) {
    ASSERT_TRUE(Start());
    const struct {
        int command;
        QKeySequence keys;
    } table[] = {{32785, Qt::Key_A},
                 {32777, Qt::Key_B},
                 {32784, Qt::Key_E},
                 {32776, Qt::Key_F},
                 {57670, Qt::Key_H},
                 {32772, Qt::Key_N},
                 {57601, Qt::Key_O},
                 {57607, Qt::Key_P},
                 {8, Qt::Key_Q},
                 {57603, Qt::Key_S},
                 {32783, Qt::Key_T},
                 {32778, Qt::Key_W},
                 {32773, Qt::Key_Delete},
                 {32774, Qt::Key_Up},
                 {32775, Qt::Key_Down},
                 {32780, Qt::Key_Left},
                 {32779, Qt::Key_Right},
                 {57670, Qt::Key_F1},
                 {57643, QKeySequence(Qt::CTRL | Qt::Key_Z)},
                 {57644, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                 {57644, QKeySequence(Qt::CTRL | Qt::Key_Y)},
                 {57634, QKeySequence(Qt::CTRL | Qt::Key_C)},
                 {57637, QKeySequence(Qt::CTRL | Qt::Key_V)},
                 {32800, QKeySequence(Qt::CTRL | Qt::Key_D)},
                 {32803, QKeySequence(Qt::SHIFT | Qt::Key_Left)},
                 {32806, QKeySequence(Qt::SHIFT | Qt::Key_Down)},
                 {32808, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)},
                 {32809, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up)}};
    for (const auto& entry : table) {
        bool found = false;
        for (QAction* action : Frame()->actions())
            if (action->shortcut() == entry.keys &&
                action->property("morvaneCommand").toInt() == entry.command)
                found = true;
        EXPECT_TRUE(found) << entry.keys.toString().toStdString() << " -> " << entry.command;
    }
}

} // namespace
