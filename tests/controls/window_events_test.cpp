// Controls in a real popup window, driven by the mouse through Qt's own
// event dispatch: hover and pressed looks, activation notifications, the
// popup's wiring of window events to its manager, and the create sequence.

#include "buttontestsupport.h"
#include "content/appsettings.h"
#include "controls/button.h"
#include "controls/layoutgroup.h"
#include "controls/wndcontrol.h"
#include "imaging/dib.h"
#include "platform/userservices.h"
#include "platform/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace buttontest;

namespace {

using Log = std::vector<std::string>;

constexpr int kA = 501;
constexpr int kB = 502;
constexpr COLORREF kHostColour = 0x203040;

// Four flat bands, from the top: disabled, normal, hover, pressed.
constexpr COLORREF kDisabled = 0x000080, kNormal = 0x008000, kHover = 0x800000, kPressed = 0x808000;

CDIB* MakeBandStrip(int width, int height) {
    return MakePicture(width, height, [height](int, int y) {
        const COLORREF bands[4] = {kDisabled, kNormal, kHover, kPressed};
        return bands[y / (height / 4)];
    });
}

// Every pixel of the grabbed widget has the colour.
void ExpectFlat(QWidget* widget, COLORREF colour, const char* what) {
    const QImage image = Grab(widget);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) != colour) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") expected 0x"
                              << std::hex << colour << " got 0x" << PixelAt(image, x, y);
                return;
            }
}

// A popup whose controls are made by a function, logging what its manager
// hears.
class EventHost : public CPopupWindow {
public:
    std::function<BOOL(EventHost&)> build = [](EventHost&) { return TRUE; };
    Log log;

    BOOL CreateControls() override {
        log.push_back("create controls");
        SetBackgroundColor(kHostColour);
        return build(*this);
    }
    void BeforeCreate() override { log.push_back("before create"); }
    void AfterCreate() override { log.push_back("after create"); }
    void OnNotify_Select(int sender, int value) override {
        log.push_back("select " + std::to_string(sender) + " " + std::to_string(value));
    }
    void OnNotify_Activate(int sender, BYTE active) override {
        log.push_back("activate " + std::to_string(sender) + " " + std::to_string(active));
    }
    void OnLButtonDown(UINT, int x, int y) override {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnLButtonUp(UINT, int x, int y) override {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnNcHitTest(int x, int y) override { hitTests.push_back(POINT{x, y}); }
    void OnClose() override { log.push_back("close"); }
    void OnCaptureChanged(QWidget*) override { log.push_back("capture changed"); }

    CButtonControl* AddStripButton(int id, CRect rect) {
        auto* button = new CButtonControl(this, this, id, &rect, "", 0, 0);
        if (!AddControl(button) || !button->SetBitmap(MakeBandStrip(40, 100)))
            return nullptr;
        return button;
    }

    std::vector<POINT> hitTests;
};

// A host of two strip buttons, A at (10, 10) and B at (60, 10), 40 x 25.
struct TwoButtons {
    EventHost host;
    CButtonControl* a = nullptr;
    CButtonControl* b = nullptr;

    TwoButtons() {
        host.build = [this](EventHost& h) {
            a = h.AddStripButton(kA, CRect(10, 10, 50, 35));
            b = h.AddStripButton(kB, CRect(60, 10, 100, 35));
            return a && b;
        };
        EXPECT_TRUE(host.Create(100, 100, 300, 200, "Event host", WS_POPUP | WS_VISIBLE));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host));
        host.log.clear();
    }
};

} // namespace

TEST(WindowEvents, HoverLookWithOneActivationPerEnterAndLeave) {
    TwoButtons t;
    QTest::mouseMove(&t.host, QPoint(200, 150));
    ExpectFlat(t.a, kNormal, "at rest");

    // Moving about over the button activates it once and shows its hover
    // picture, however often the mouse moves.
    QTest::mouseMove(t.a, QPoint(5, 5));
    QTest::mouseMove(t.a, QPoint(12, 9));
    QTest::mouseMove(t.a, QPoint(30, 20));
    EXPECT_EQ(t.host.log, (Log{"activate 501 1"}));
    EXPECT_EQ(t.host.GetActiveControl(), t.a);
    ExpectFlat(t.a, kHover, "hovered");

    // From one button straight to the other: the old one is told first.
    QTest::mouseMove(t.b, QPoint(5, 5));
    EXPECT_EQ(t.host.log, (Log{"activate 501 1", "activate 501 0", "activate 502 1"}));
    ExpectFlat(t.a, kNormal, "left");
    ExpectFlat(t.b, kHover, "other hovered");

    // The background clears the active control.
    QTest::mouseMove(&t.host, QPoint(200, 150));
    EXPECT_EQ(t.host.log.back(), "activate 502 0");
    EXPECT_EQ(t.host.log.size(), 4u);
    EXPECT_EQ(t.host.GetActiveControl(), nullptr);
    ExpectFlat(t.b, kNormal, "background");
}

TEST(WindowEvents, PressedLookWhileHeldAndOneClick) {
    TwoButtons t;
    QTest::mouseMove(t.a, QPoint(5, 5));
    QTest::mousePress(t.a, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ExpectFlat(t.a, kPressed, "held down");
    // Moving while held keeps the pressed look and raises nothing.
    QTest::mouseMove(t.a, QPoint(9, 7));
    ExpectFlat(t.a, kPressed, "held down and moved");
    EXPECT_EQ(t.host.log, (Log{"activate 501 1"}));

    QTest::mouseRelease(t.a, Qt::LeftButton, Qt::NoModifier, QPoint(9, 7));
    EXPECT_EQ(t.host.log, (Log{"activate 501 1", "select 501 0"}));
    // Released under the mouse, the button is hovered again.
    ExpectFlat(t.a, kHover, "released");

    QTest::mouseMove(&t.host, QPoint(200, 150));
    EXPECT_EQ(t.host.log, (Log{"activate 501 1", "select 501 0", "activate 501 0"}));
}

TEST(WindowEvents, APictureFillsTheWindowALayoutGroupGaveItsMember) {
    // A member of a row group (gaps 10 and 50) in a host twice its design
    // size: the group makes its window 600 - 2 x 10 by 200 - 2 x 50; the
    // picture fills that, not the 60 x 30 it was made with.
    EventHost host;
    CButtonControl* member = nullptr;
    host.build = [&](EventHost& h) {
        h.InitLayout(300, 100);
        const CRect groupRect(0, 0, 300, 100);
        auto* group = new CLayoutGroup(&h, &h, 900, &groupRect, 0, 10, 50);
        member = h.AddStripButton(kA, CRect(0, 0, 60, 30));
        return h.AddControl(group) && member && group->AddMember(member);
    };
    ASSERT_TRUE(host.Create(0, 0, 600, 200, "Group host", WS_POPUP | WS_VISIBLE));
    host.OnSize(0, 600, 200);
    EXPECT_EQ(member->width(), 580);
    EXPECT_EQ(member->height(), 100);
    ExpectFlat(member, kNormal, "member at twice the size");
}

TEST(WindowEvents, PopupPassesSizeMouseAndCloseToItsManager) {
    struct Listener : CPopupCloseListener {
        std::vector<CPopupWindow*> closed;
        void OnPopupClosed(CPopupWindow* p) override { closed.push_back(p); }
    } listener;
    EventHost host;
    CButtonControl* a = nullptr;
    host.build = [&](EventHost& h) {
        a = h.AddStripButton(kA, CRect(10, 10, 50, 35));
        return a != nullptr;
    };
    ASSERT_TRUE(host.Create(50, 60, 200, 100, "Wiring", WS_POPUP | WS_VISIBLE, &listener));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    // A resize scales the design rectangles.
    host.resize(400, 200);
    EXPECT_EQ(a->geometry(), QRect(20, 20, 80, 50));
    // The background is the manager's colour.
    EXPECT_EQ(PixelAt(Grab(&host), 300, 150), kHostColour);

    // Presses on the background reach the manager in client coordinates,
    // each hit-tested first in screen coordinates.
    host.log.clear();
    QTest::mouseClick(&host, Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_EQ(host.log, (Log{"down 300,150", "up 300,150"}));
    ASSERT_GE(host.hitTests.size(), 2u);
    const QPoint screen = host.mapToGlobal(QPoint(300, 150));
    EXPECT_EQ(host.hitTests.back().x, screen.x());
    EXPECT_EQ(host.hitTests.back().y, screen.y());

    // Closing tells the manager, ends a running modal loop and then the
    // close listener.
    host.log.clear();
    QTimer::singleShot(0, &host, [&] { host.close(); });
    EXPECT_EQ(host.RunModal(TRUE), 0);
    EXPECT_EQ(host.log, (Log{"close"}));
    EXPECT_EQ(listener.closed, (std::vector<CPopupWindow*>{&host}));
}

TEST(WindowEvents, CaptureChangesAreReported) {
    EventHost host;
    ASSERT_TRUE(host.Create(0, 0, 100, 100, "Capture", WS_POPUP | WS_VISIBLE));
    host.log.clear();
    host.SetCapture();
    EXPECT_TRUE(host.HasCapture());
    host.ReleaseCapture();
    host.ReleaseCapture(); // a second release changes nothing
    EXPECT_FALSE(host.HasCapture());
    host.SetCapture();
    host.hide(); // a hidden window loses the mouse
    EXPECT_EQ(host.log, (Log{"capture changed", "capture changed"}));
}

TEST(WindowEvents, SizeLimitsApplyWheneverTheyAreSet) {
    EventHost host;
    host.build = [](EventHost& h) {
        h.SetMinimumSize(150, 120);
        return TRUE;
    };
    // Too small for the minimum: the create sequence widens it, keeping
    // the top-left corner.
    ASSERT_TRUE(host.Create(30, 40, 100, 100, "Limits", WS_POPUP | WS_VISIBLE));
    EXPECT_EQ(host.size(), QSize(150, 120));
    EXPECT_EQ(host.minimumSize(), QSize(150, 120));

    // Later changes take effect at once.
    host.SetMaximumSize(300, 200);
    EXPECT_EQ(host.maximumSize(), QSize(300, 200));
    host.resize(500, 500);
    EXPECT_EQ(host.size(), QSize(300, 200));

    MINMAXINFO info{};
    host.GetMinMaxInfo(&info);
    const CSize screen = platform::ScreenSize();
    EXPECT_EQ(info.ptMinTrackSize.x, 150);
    EXPECT_EQ(info.ptMinTrackSize.y, 120);
    EXPECT_EQ(info.ptMaxTrackSize.x, 300);
    EXPECT_EQ(info.ptMaxSize.y, 200);
    EXPECT_EQ(info.ptMaxPosition.x, (screen.cx - 300) / 2);
    EXPECT_EQ(info.ptMaxPosition.y, (screen.cy - 200) / 2);
    host.GetMinMaxInfo(nullptr);
}

TEST(WindowEvents, BorderedFramelessPopupDrawsItsFrame) {
    EventHost host;
    ASSERT_TRUE(host.Create(0, 0, 60, 40, "Frame", WS_POPUP | WS_VISIBLE | WS_BORDER));
    const QImage image = Grab(&host);
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);
    EXPECT_EQ(PixelAt(image, 59, 39), 0u);
    EXPECT_EQ(PixelAt(image, 30, 0), 0u);
    EXPECT_EQ(PixelAt(image, 1, 1), kHostColour);
    EXPECT_TRUE(host.windowFlags() & Qt::FramelessWindowHint);

    // A sizeable popup keeps the window system's frame.
    EventHost sized;
    ASSERT_TRUE(
        sized.Create(0, 0, 60, 40, "Sized", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_THICKFRAME));
    EXPECT_FALSE(sized.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(PixelAt(Grab(&sized), 0, 0), kHostColour);
}

TEST(WindowEvents, CreateSequenceRunsInOrderAndAFailureAbortsStartUp) {
    AppSettings().SetStartupAbort(0);
    EventHost good;
    ASSERT_TRUE(good.Create(0, 0, 50, 50, "Good", WS_POPUP));
    EXPECT_EQ(good.log, (Log{"before create", "create controls", "after create"}));
    EXPECT_TRUE(good.GetFlags() & MGR_LAYOUT_INIT);
    EXPECT_EQ(AppSettings().GetStartupAbort(), 0);

    EventHost bad;
    bad.build = [](EventHost&) { return FALSE; };
    EXPECT_FALSE(bad.Create(0, 0, 50, 50, "Bad", WS_POPUP));
    EXPECT_EQ(bad.log, (Log{"before create", "create controls"}));
    EXPECT_FALSE(bad.IsCreated());
    EXPECT_EQ(AppSettings().GetStartupAbort(), 1);
    AppSettings().SetStartupAbort(0);
}

namespace {

// The main window's manager: the splash and instance test belong to it.
class MainHost : public CControlManager {
public:
    explicit MainHost(Log& log) : m_log(log) {
        m_nRole = 0;
        m_widget.resize(200, 100);
        m_pHostWnd = &m_widget;
    }
    ~MainHost() override { Clear(); }
    void BeforeCreate() override { m_log.push_back("before create"); }
    BOOL CreateControls() override {
        m_log.push_back(std::string("create controls, splash ") + (m_pSplash ? "up" : "none"));
        return m_bCreate;
    }
    void AfterCreate() override { m_log.push_back("after create"); }
    void ShowSplash(BOOL modal) override {
        m_log.push_back("show splash");
        CControlManager::ShowSplash(modal);
    }
    void CloseSplash() override {
        m_log.push_back("close splash");
        CControlManager::CloseSplash();
    }
    BOOL m_bCreate = TRUE;

private:
    Log& m_log;
    QWidget m_widget;
};

struct RecordingSplash : CSplashPopup {
    explicit RecordingSplash(Log& l) : log(l) { log.push_back("splash made"); }
    ~RecordingSplash() override { log.push_back("splash gone"); }
    void RunModal() override { log.push_back("splash modal"); }
    Log& log;
};

} // namespace

TEST(WindowEvents, MainWindowSequenceShowsTheSplashAroundTheControls) {
    Log log;
    SetManagerPopupFactories({[&log] { return std::make_unique<RecordingSplash>(log); }, nullptr});
    AppSettings().SetStartupAbort(0);
    {
        MainHost host(log);
        EXPECT_TRUE(host.Initialise());
    }
    EXPECT_EQ(log, (Log{"before create", "show splash", "splash made", "create controls, splash up",
                        "close splash", "splash gone", "after create"}));

    // A failing surface closes the splash and aborts the start-up.
    log.clear();
    {
        MainHost host(log);
        host.m_bCreate = FALSE;
        EXPECT_FALSE(host.Initialise());
    }
    EXPECT_EQ(log, (Log{"before create", "show splash", "splash made", "create controls, splash up",
                        "close splash", "splash gone"}));
    EXPECT_EQ(AppSettings().GetStartupAbort(), 1);

    // Another copy's splash on the screen: nothing is built at all.
    log.clear();
    AppSettings().SetStartupAbort(0);
    {
        QWidget otherSplash;
        otherSplash.setWindowTitle("Popup window");
        otherSplash.show();
        MainHost host(log);
        EXPECT_FALSE(host.Initialise());
    }
    EXPECT_EQ(log, (Log{"before create"}));
    EXPECT_EQ(AppSettings().GetStartupAbort(), 1);
    AppSettings().SetStartupAbort(0);
    SetManagerPopupFactories({});
}

namespace {

// A window that turns its close box into the quit question, as the main
// window does, unless it is being destroyed by the quit itself.
class QuitHost : public QWidget, public CControlManager {
public:
    QuitHost() {
        m_nRole = 0;
        m_pHostWnd = this;
        m_strings.Add(1000, 0, "Really quit?");
    }
    ~QuitHost() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (platform::IsBeingDestroyed(this))
            return event->accept();
        // The answer OK destroys the window while its close is handled.
        event->ignore();
        Notify(ID_QUIT, kNotifySelect);
        if (platform::IsBeingDestroyed(this))
            event->accept();
    }
    void DestroyHost() override { CControlManager::DestroyHost(); }
};

} // namespace

TEST(WindowEvents, QuitAsksOnceWhicheverWayItStarts) {
    platform::ScopedScriptedServices services;
    QuitHost host;
    host.show();
    // The close box asks; Cancel keeps the window.
    services.messageAnswers = {IDCANCEL};
    host.close();
    EXPECT_TRUE(host.isVisible());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Really quit?");

    // OK closes it without a second question.
    services.messageAnswers = {IDOK};
    host.close();
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(services.messages.size(), 2u);

    // The quit button's own notification asks once as well.
    host.show();
    services.messageAnswers = {IDOK};
    host.Notify(ID_QUIT, kNotifySelect);
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(services.messages.size(), 3u);
}

namespace {

// A window control that shows its own cursor over its left half.
class CursorControl : public CWndControl {
public:
    CursorControl(CControlManager* m, QWidget* parent, const CRect& r)
        : CWndControl(m, parent, 700, &r, WS_CHILD | WS_VISIBLE) {}
    BOOL OnSetCursorHook(QWidget*, UINT hitTest, UINT message) override {
        asked.push_back(hitTest * 0x10000 + message);
        if (m_ptMouse.x < width() / 2) {
            setCursor(Qt::SizeAllCursor);
            return FALSE;
        }
        return TRUE;
    }
    std::vector<UINT> asked;
};

} // namespace

TEST(WindowEvents, CursorHookDecidesTheCursorAndMouseDeltaIsInDesignUnits) {
    EventHost host;
    CursorControl* control = nullptr;
    host.build = [&](EventHost& h) {
        control = new CursorControl(&h, &h, CRect(0, 0, 100, 50));
        return h.AddControl(control);
    };
    ASSERT_TRUE(host.Create(0, 0, 100, 50, "Cursor", WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    // The first move only enters the window; the hook runs on the moves after it.
    QTest::mouseMove(control, QPoint(60, 20));
    QTest::mouseMove(control, QPoint(10, 10));
    EXPECT_EQ(control->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(control, QPoint(80, 10));
    EXPECT_EQ(control->cursor().shape(), Qt::ArrowCursor);
    ASSERT_FALSE(control->asked.empty());
    EXPECT_EQ(control->asked.back(), HTCLIENT * 0x10000 + WM_MOUSEMOVE);

    // At twice the design size a move of 10 window pixels is 5 design units.
    host.resize(200, 100);
    QTest::mouseMove(control, QPoint(40, 40));
    QTest::mouseMove(control, QPoint(50, 46));
    double dx = 0, dy = 0;
    ASSERT_TRUE(control->GetMouseDelta(&dx, &dy));
    EXPECT_DOUBLE_EQ(dx, 5.0);
    EXPECT_DOUBLE_EQ(dy, 3.0);
}
