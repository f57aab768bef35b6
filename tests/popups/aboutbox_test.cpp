#include "../imaging/imagingtest.h"
#include "popups/aboutbox.h"
#include "popuptest.h"
#include "testsupport.h"

#include "content/appsettings.h"
#include "imaging/dib.h"
#include "platform/window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using popuptest::DisplayFlags;
using popuptest::Grab;
using popuptest::LoopGuard;
using popuptest::PixelOf;
using popuptest::SendMouse;

namespace {

constexpr DWORD kExamined = CAppSettings::kDisplayExamined;
constexpr DWORD kPalette = CAppSettings::kPaletteDisplay;

// A 100 x 80 splash picture of four quadrants (red, green / blue, white),
// or of one colour, put into the box's image cache under a stored name.
CDIB* SeedPicture(CAboutBox& box, const char* name, unsigned plain = 0) {
    CDIB* picture = imagingtest::MakePicture(100, 80, [plain](int x, int y) -> uint32_t {
                        if (plain)
                            return plain;
                        if (y < 40)
                            return x < 50 ? 0xFF0000 : 0x00FF00;
                        return x < 50 ? 0x0000FF : 0xFFFFFF;
                    }).release();
    picture->DeriveFileNames(name, 0);
    box.Images().Add(picture, CDIB::kImage);
    return picture;
}

// A top-level window standing in for the main window, counting its paints.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

TEST(AboutBoxTest, ShowsTheSplashPictureOverACentredBox) {
    DisplayFlags flags(kExamined);
    CDIB* splash = nullptr;
    {
        CAboutBox box;
        splash = SeedPicture(box, "res\\kv\\iesplsh");
        SeedPicture(box, "res\\kv\\iesplsh8", 0x123456);
        ASSERT_TRUE(box.CreateCentred());
        const CSize screen = platform::ScreenSize();
        EXPECT_EQ(box.geometry(), QRect((screen.cx - 500) / 2, (screen.cy - 400) / 2, 500, 400));
        EXPECT_EQ(box.windowTitle().toStdString(), "Popup window");
        EXPECT_TRUE(box.isVisible());
        EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(box.m_nRole, 2);
        EXPECT_EQ(box.minimumSize(), QSize(200, 150));
        EXPECT_EQ(box.maximumSize(), QSize(500, 400));
        EXPECT_EQ(box.m_pBackgroundImage, splash);
        EXPECT_TRUE(box.GetControls().empty());

        // The picture is stretched over the whole box: each quadrant 250 x 200.
        const QImage shown = Grab(&box);
        ASSERT_EQ(shown.size(), QSize(500, 400));
        const struct {
            int x, y;
            unsigned colour;
        } expected[] = {{0, 0, 0xFF0000},     {249, 199, 0xFF0000}, {250, 0, 0x00FF00},
                        {499, 199, 0x00FF00}, {0, 200, 0x0000FF},   {249, 399, 0x0000FF},
                        {250, 200, 0xFFFFFF}, {499, 399, 0xFFFFFF}, {125, 100, 0xFF0000},
                        {375, 300, 0xFFFFFF}};
        for (const auto& e : expected)
            EXPECT_EQ(PixelOf(shown, e.x, e.y), e.colour) << "at " << e.x << ", " << e.y;
    }
    // The box's background keeps one reference that the cache does not give back.
    splash->Release();
}

TEST(AboutBoxTest, PaletteDisplayShowsThe256ColourPicture) {
    DisplayFlags flags(kExamined | kPalette);
    CDIB* splash8 = nullptr;
    {
        CAboutBox box;
        SeedPicture(box, "res\\kv\\iesplsh", 0xFF0000);
        splash8 = SeedPicture(box, "res\\kv\\iesplsh8", 0x00FF00);
        ASSERT_TRUE(box.CreateCentred());
        EXPECT_EQ(box.m_pBackgroundImage, splash8);
        const QImage shown = Grab(&box);
        EXPECT_EQ(PixelOf(shown, 0, 0), 0x00FF00u);
        EXPECT_EQ(PixelOf(shown, 499, 399), 0x00FF00u);
    }
    splash8->Release();
}

TEST(AboutBoxTest, MissingPictureLeavesThePlainColour) {
    DisplayFlags flags(kExamined);
    testsupport::TempDir empty;
    const CAppSettings saved = AppSettings();
    AppSettings().SetProgramFolder(empty.Str());
    AppSettings().SetContentFolder(empty.Str());
    {
        CAboutBox box;
        ASSERT_TRUE(box.CreateCentred());
        EXPECT_EQ(box.m_pBackgroundImage, nullptr);
        EXPECT_EQ(box.m_dwFlags & (MGR_BACKGROUND_COLOUR | MGR_BACKGROUND_IMAGE),
                  DWORD(MGR_BACKGROUND_COLOUR));
        EXPECT_EQ(box.m_crBackground, 0x00F7D9C8u);
        const QImage shown = Grab(&box);
        // 0x00F7D9C8 is red C8, green D9, blue F7.
        for (const QPoint p : {QPoint(0, 0), QPoint(250, 200), QPoint(499, 399)})
            EXPECT_EQ(PixelOf(shown, p.x(), p.y()), 0xC8D9F7u) << "at " << p.x() << ", " << p.y();
    }
    AppSettings() = saved;
}

TEST(AboutBoxTest, WaitEndsOnlyOnAPressThatStartsDuringIt) {
    DisplayFlags flags(kExamined);
    PaintCounter mainWindow;
    mainWindow.resize(300, 200);
    mainWindow.show();
    CAboutBox box;
    ASSERT_TRUE(box.CreateCentred());
    // The press of the menu click that opened the box came before the wait.
    SendMouse(&box, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(box.IsRunning());

    std::vector<std::string> seen;
    auto state = [&box] { return std::string(box.IsRunning() ? "open" : "closed"); };
    int paintsBefore = 0;
    LoopGuard guard([&box] { box.EndModal(); });
    QTimer::singleShot(0, &box, [&] {
        seen.push_back(box.IsWaitingForClick() ? "waiting" : "not waiting");
        seen.push_back(QApplication::activeModalWidget() == &box ? "modal" : "not modal");
        // That button, still held, moves and is released over the box.
        SendMouse(&box, QEvent::MouseMove, {40, 40}, Qt::NoButton, Qt::LeftButton);
        SendMouse(&box, QEvent::MouseButtonRelease, {40, 40}, Qt::LeftButton, Qt::NoButton);
        seen.push_back("held button released: " + state());
        SendMouse(&box, QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton);
        SendMouse(&box, QEvent::MouseButtonRelease, {50, 50}, Qt::RightButton, Qt::NoButton);
        seen.push_back("right click: " + state());
        // The rest of the program keeps painting while the box waits.
        paintsBefore = mainWindow.paints;
        mainWindow.update();
        QTimer::singleShot(50, &box, [&] {
            seen.push_back(mainWindow.paints > paintsBefore ? "main window repainted"
                                                            : "main window frozen");
            SendMouse(&box, QEvent::MouseButtonPress, {60, 60}, Qt::LeftButton, Qt::LeftButton);
            seen.push_back("fresh press: " + state());
        });
    });
    EXPECT_EQ(box.RunModal(TRUE), 0);
    EXPECT_FALSE(guard.Fired()) << "the box did not close";
    EXPECT_EQ(seen, (std::vector<std::string>{"waiting", "modal", "held button released: open",
                                              "right click: open", "main window repainted",
                                              "fresh press: closed"}));
    EXPECT_FALSE(box.IsWaitingForClick());
}

TEST(AboutBoxTest, RunWithoutWaitingReturnsAtOnce) {
    DisplayFlags flags(kExamined);
    CAboutBox box;
    // A box whose window was never made has nothing to wait in.
    EXPECT_EQ(box.RunModal(TRUE), 0);
    ASSERT_TRUE(box.CreateCentred());
    EXPECT_EQ(box.RunModal(FALSE), 0);
    EXPECT_FALSE(box.IsWaitingForClick());
    EXPECT_FALSE(box.IsRunning());
    EXPECT_NE(QApplication::activeModalWidget(), &box);
}
