#include "../imaging/imagingtest.h"
#include "popups/aboutbox.h"
#include "popups/dragicon.h"
#include "popups/progresspopup.h"
#include "popups/registerpopups.h"
#include "popuptest.h"
#include "testsupport.h"

#include "controls/controlmanager.h"
#include "controls/progresscontrol.h"
#include "controls/wndcontrol.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "platform/window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using popuptest::DisplayFlags;
using popuptest::LoopGuard;
using popuptest::SendMouse;

namespace {

constexpr DWORD kExamined = CAppSettings::kDisplayExamined;

// A manager hosted by a plain 400 x 300 widget that logs the drops it gets.
class Host : public CControlManager {
public:
    Host() {
        m_widget.resize(400, 300);
        m_pHostWnd = &m_widget;
    }
    ~Host() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }
    void OnNotify_Drop(int source, int target, const POINT* p) override {
        drops.push_back(std::to_string(source) + "->" + std::to_string(target) + " at " +
                        std::to_string(p->x) + "," + std::to_string(p->y));
    }
    QWidget m_widget;
    std::vector<std::string> drops;
};

class Pad : public CWndControl {
public:
    Pad(CControlManager* m, QWidget* parent, int id, CRect r)
        : CWndControl(m, parent, id, &r, WS_CHILD | WS_VISIBLE) {}
};

// The visible top-level window with this caption, or null.
QWidget* TopLevel(const char* title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    return nullptr;
}

class RegisteredPopups : public ::testing::Test {
protected:
    void SetUp() override { RegisterFrameworkPopups(); }
    void TearDown() override {
        SetManagerPopupFactories({});
        SetTextProgressFactory(nullptr);
    }
    DisplayFlags m_flags{kExamined};
};

} // namespace

TEST_F(RegisteredPopups, SplashIsTheAboutBoxAndTheAboutCommandWaitsForAClick) {
    Host host;
    host.ShowSplash(FALSE);
    auto* splash = dynamic_cast<CAboutBox*>(host.m_pSplash.get());
    ASSERT_NE(splash, nullptr);
    const CSize screen = platform::ScreenSize();
    EXPECT_EQ(splash->geometry(), QRect((screen.cx - 500) / 2, (screen.cy - 400) / 2, 500, 400));
    EXPECT_TRUE(platform::FindTopLevelWindow("Popup window"));
    EXPECT_FALSE(splash->IsWaitingForClick()); // the start-up splash does not wait
    host.CloseSplash();
    EXPECT_FALSE(platform::FindTopLevelWindow("Popup window"));

    // The About command: modal until a click, then gone.
    std::vector<std::string> seen;
    LoopGuard guard([] {
        if (auto* box = dynamic_cast<CAboutBox*>(QApplication::activeModalWidget()))
            box->EndModal();
    });
    QTimer::singleShot(0, [&] {
        auto* box = dynamic_cast<CAboutBox*>(QApplication::activeModalWidget());
        seen.push_back(box ? "about box modal" : "no modal about box");
        if (!box)
            return;
        seen.push_back(box == host.m_pSplash.get() ? "held by the manager" : "a stranger");
        seen.push_back(box->IsWaitingForClick() ? "waiting" : "not waiting");
        SendMouse(box, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
    });
    host.ShowSplash(TRUE);
    EXPECT_FALSE(guard.Fired()) << "the about box did not close";
    EXPECT_EQ(seen,
              (std::vector<std::string>{"about box modal", "held by the manager", "waiting"}));
    EXPECT_EQ(host.m_pSplash, nullptr);
    EXPECT_FALSE(platform::FindTopLevelWindow("Popup window"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Counts the paints the splash gets.
class SplashPaints : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && dynamic_cast<CAboutBox*>(watched))
            ++count;
        return false;
    }
    int count = 0;
};

// A main window's manager that notes how often the splash was painted when
// its surface is built.
class StartingHost : public Host {
public:
    StartingHost() { m_nRole = 0; }
    BOOL CreateControls() override {
        paintsBeforeSurface = paints.count;
        return TRUE;
    }
    SplashPaints paints;
    int paintsBeforeSurface = -1;
};

TEST_F(RegisteredPopups, TheStartUpSplashIsPaintedBeforeTheSurfaceIsBuilt) {
    StartingHost host;
    qApp->installEventFilter(&host.paints);
    ASSERT_TRUE(host.Initialise());
    qApp->removeEventFilter(&host.paints);
    EXPECT_GE(host.paintsBeforeSurface, 1);
    EXPECT_EQ(host.m_pSplash, nullptr);
}

TEST_F(RegisteredPopups, StartDragTracksWithTheIconAndDropsOnTheControlBelow) {
    Host host;
    platform::SetDlgCtrlID(&host.m_widget, 900);
    auto* target = new Pad(&host, &host.m_widget, 2, CRect(100, 100, 200, 200));
    host.AddControl(target);
    host.m_widget.show();
    const std::unique_ptr<CDIB> image =
        imagingtest::MakePicture(30, 20, [](int, int) -> uint32_t { return 0x00FF00; });

    std::vector<std::string> seen;
    LoopGuard guard([] {
        if (auto* icon = dynamic_cast<CDragNDropIcon*>(TopLevel("Drag'n'Drop")))
            icon->EndModal();
    });
    QTimer::singleShot(0, [&] {
        auto* icon = dynamic_cast<CDragNDropIcon*>(TopLevel("Drag'n'Drop"));
        seen.push_back(icon ? "icon shown" : "no icon");
        if (!icon)
            return;
        seen.push_back(host.m_pDragIcon == icon ? "the manager's icon" : "a stranger");
        seen.push_back(host.IsDragging() ? "dragging" : "not dragging");
        const QRect g = icon->geometry();
        seen.push_back("icon " + std::to_string(g.x()) + "," + std::to_string(g.y()) + " " +
                       std::to_string(g.width()) + "x" + std::to_string(g.height()));
        // Released over the target control at (150, 120) of the host.
        const QPoint release = icon->mapFromGlobal(host.m_widget.mapToGlobal(QPoint(150, 120)));
        SendMouse(icon, QEvent::MouseButtonRelease, release, Qt::LeftButton, Qt::NoButton);
    });
    // The drag starts at (60, 70) of the host.
    const POINT start = platform::ClientToScreen(&host.m_widget, POINT{60, 70});
    POINT point = start;
    EXPECT_EQ(host.StartDrag(image.get(), &point, 7), 0);
    EXPECT_FALSE(guard.Fired()) << "the drag did not end";
    // The icon has the image's size, centred on the start.
    const std::string iconPlace =
        "icon " + std::to_string(start.x - 15) + "," + std::to_string(start.y - 10) + " 30x20";
    EXPECT_EQ(seen, (std::vector<std::string>{"icon shown", "the manager's icon", "dragging",
                                              iconPlace}));
    EXPECT_EQ(host.drops, (std::vector<std::string>{"7->2 at 50,20"}));
    EXPECT_EQ(CPoint(point), CPoint(150, 120)); // the drop in host coordinates
    EXPECT_FALSE(host.IsDragging());
    EXPECT_EQ(host.m_pDragIcon, nullptr);
    EXPECT_EQ(TopLevel("Drag'n'Drop"), nullptr);
}

TEST_F(RegisteredPopups, TextRendererShowsItsProgressInACentredPopup) {
    // Watches the progress popup while the renderer, which runs without an
    // event loop, has it up.
    struct Watcher : QObject {
        std::vector<std::string> shown;
        int maximum = -1;
        int last = -1;
        bool eventFilter(QObject* object, QEvent* event) override {
            auto* popup = dynamic_cast<CProgressPopUpWindow*>(object);
            if (popup && event->type() == QEvent::Show) {
                const QRect g = popup->geometry();
                shown.push_back(popup->windowTitle().toStdString() + " " + std::to_string(g.x()) +
                                "," + std::to_string(g.y()) + " " + std::to_string(g.width()) +
                                "x" + std::to_string(g.height()));
                CProgressControl* bar = popup->GetProgressControl();
                QObject::connect(bar, &QProgressBar::valueChanged, [this, bar](int value) {
                    last = value;
                    maximum = bar->maximum();
                });
            }
            return false;
        }
    } watcher;
    qApp->installEventFilter(&watcher);
    LOGFONTA font{};
    font.lfHeight = -20;
    font.lfWeight = FW_NORMAL;
    platform::SetFaceName(font, "DejaVu Sans");
    const std::string text = "Een heel lange eerste regel van de tekst\tmet een tab\nen meer";
    std::unique_ptr<CDIB> picture(RenderText(text, &font, 0, 0, 1200, 1200));
    qApp->removeEventFilter(&watcher);
    ASSERT_NE(picture, nullptr);

    const CSize screen = platform::ScreenSize();
    // The caption is the first line cut to 30 characters.
    EXPECT_EQ(watcher.shown,
              (std::vector<std::string>{"Een heel lange eerste regel va " +
                                        std::to_string((screen.cx - 200) / 2) + "," +
                                        std::to_string((screen.cy - 20) / 2) + " 300x60"}));
    // Rows 0 to height - 1 over the range 0 to height - 2: the bar ends full.
    EXPECT_EQ(watcher.maximum, picture->GetHeight() - 2);
    EXPECT_EQ(watcher.last, picture->GetHeight() - 2);
    EXPECT_EQ(TopLevel("Een heel lange eerste regel va"), nullptr); // closed afterwards
}
