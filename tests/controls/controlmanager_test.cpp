#include "content/appsettings.h"
#include "controls/controlbase.h"
#include "controls/controlmanager.h"
#include "controls/wndcontrol.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log = nullptr;
void Log(const std::string& line) {
    if (g_log)
        g_log->push_back(line);
}

// A control without a window that records what reaches it.
class Probe : public CControlBase {
public:
    Probe(CControlManager* m, int id, CRect r = CRect(0, 0, 10, 10))
        : CControlBase(m, nullptr, id, &r, 0) {}
    void OnNotify_Select(int sender, int value) override {
        Log("probe" + std::to_string(m_nId) + " select " + std::to_string(sender) + " " +
            std::to_string(value));
    }
    void OnNotify_Drop(int source, int target, const POINT* p) override {
        Log("probe" + std::to_string(m_nId) + " drop " + std::to_string(source) + "->" +
            std::to_string(target) + " at " + std::to_string(p->x) + "," + std::to_string(p->y));
        CControlBase::OnNotify_Drop(source, target, p);
    }
    void OnNotify_Custom(int sender, int64_t a, int64_t) override {
        Log("probe" + std::to_string(m_nId) + " custom " + std::to_string(sender) + " " +
            std::to_string(a));
    }
    void Redraw(const RECT*, int) override { ++redraws; }
    int GetIntValue() override { return intValue; }
    void SetIntValue(int v) override { intValue = v; }
    double GetDoubleValue() override { return doubleValue; }
    void SetDoubleValue(double v) override { doubleValue = v; }
    int intValue = 0;
    double doubleValue = 0;
    int redraws = 0;
};

// A manager hosted by a plain widget of 800 x 600.
class Host : public CControlManager {
public:
    Host() {
        m_widget.resize(800, 600);
        m_pHostWnd = &m_widget;
    }
    // The controls go before the widget that parents their windows.
    ~Host() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }
    void OnNotify_Select(int sender, int value) override {
        Log("manager select " + std::to_string(sender) + " " + std::to_string(value));
        if (passOn)
            CControlManager::OnNotify_Select(sender, value);
    }
    void OnNotify_Activate(int sender, BYTE active) override {
        Log("activate " + std::to_string(sender) + " " + std::to_string(active));
    }
    void OnNotify_Drop(int source, int target, const POINT* p) override {
        Log("manager drop " + std::to_string(source) + "->" + std::to_string(target) + " at " +
            std::to_string(p->x) + "," + std::to_string(p->y));
    }
    void OnNotify_Int(int sender, int v) override {
        Log("manager int " + std::to_string(sender) + " " + std::to_string(v));
    }
    void OnNotify_Double(int sender, double v) override {
        Log("manager double " + std::to_string(sender) + " " + std::to_string(v));
    }
    void OnNotify_Generic(int sender, int64_t t, int64_t v) override {
        Log("manager generic " + std::to_string(sender) + " " + std::to_string(t) + " " +
            std::to_string(v));
    }
    void OnNotify_Custom(int sender, int64_t a, int64_t) override {
        Log("manager custom " + std::to_string(sender) + " " + std::to_string(a));
    }
    void DestroyHost() override { Log("destroyed"); }
    QWidget m_widget;
    bool passOn = false;
};

class Recording : public ::testing::Test {
protected:
    void SetUp() override { g_log = &log; }
    void TearDown() override { g_log = nullptr; }
    std::vector<std::string> log;
};

} // namespace

TEST_F(Recording, AddAndFindKeepTheFirstOfAnIdentifier) {
    Host host;
    auto* a = new Probe(nullptr, 5);
    auto* b = new Probe(nullptr, 5);
    EXPECT_TRUE(host.AddControl(a));
    EXPECT_TRUE(host.AddControl(b)); // TRUE, but not added
    EXPECT_EQ(host.GetControls().size(), 1u);
    EXPECT_EQ(host.FindControl(5), a);
    EXPECT_EQ(a->m_pManager, &host);
    EXPECT_EQ(b->m_pManager, nullptr);
    EXPECT_FALSE(host.AddControl(nullptr));
    delete b;
}

TEST_F(Recording, ListenersAreNotAddedTwice) {
    Host host;
    Probe a(&host, 1), sameId(&host, 1), b(&host, 2);
    EXPECT_TRUE(host.AddListener(&a));
    EXPECT_TRUE(host.AddListener(&a));
    EXPECT_TRUE(host.AddListener(&sameId));
    EXPECT_TRUE(host.AddListener(&b));
    EXPECT_EQ(host.GetListeners(), (std::vector<CControlBase*>{&a, &b}));
    EXPECT_FALSE(host.AddListener(nullptr));
}

TEST_F(Recording, DispatchOrderPerKind) {
    Host host;
    Probe l1(&host, 11), l2(&host, 12);
    host.AddListener(&l1);
    host.AddListener(&l2);
    host.Notify(7, kNotifySelect, 3);
    EXPECT_EQ(log, (std::vector<std::string>{"manager select 7 3", "probe11 select 7 3",
                                             "probe12 select 7 3"}));
    log.clear();
    // A drop goes first to the listeners that are its target, then the manager.
    host.Notify(12, kNotifyDrop, 99, 40, 50);
    EXPECT_EQ(log, (std::vector<std::string>{"probe12 drop 99->12 at 40,50",
                                             "manager drop 99->12 at 40,50"}));
    POINT p{0, 0};
    EXPECT_TRUE(l2.TakeDropPoint(&p));
    EXPECT_EQ(p.x, 40);
    EXPECT_FALSE(l2.TakeDropPoint(&p)); // once per drop
    EXPECT_FALSE(l1.TakeDropPoint(&p));
    log.clear();
    host.Notify(7, kNotifyValue, kValueInt, 42);
    host.Notify(7, kNotifyValue, kValueDouble, FromDouble(2.5));
    host.Notify(7, kNotifyValue, 9, 77);
    host.Notify(7, 8, 5);
    host.Notify(7, -3, 6);
    host.Notify(7, 0, 1);
    host.Notify(7, 5, 1);
    host.Notify(7, kNotifyActivation, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"manager int 7 42", "manager double 7 2.500000",
                                             "manager generic 7 9 77", "manager custom 7 5",
                                             "probe11 custom 7 5", "probe12 custom 7 5",
                                             "manager custom 7 6", "probe11 custom 7 6",
                                             "probe12 custom 7 6", "activate 7 1"}));
}

TEST_F(Recording, ValueSourcesFollowTheirSourceOnly) {
    Host host;
    auto* source = new Probe(nullptr, 1);
    auto* other = new Probe(nullptr, 2);
    auto* mirror = new Probe(nullptr, 3);
    host.AddControl(source);
    host.AddControl(other);
    host.AddControl(mirror);
    source->intValue = 17;
    mirror->SetIntSource(source);
    EXPECT_EQ(mirror->intValue, 17); // at once
    EXPECT_EQ(host.GetListeners(), (std::vector<CControlBase*>{mirror}));
    source->intValue = 23;
    source->Notify(1, kNotifyValue, kValueInt, 23);
    EXPECT_EQ(mirror->intValue, 23);
    other->intValue = 99;
    other->Notify(2, kNotifyValue, kValueInt, 99);
    EXPECT_EQ(mirror->intValue, 23);
    source->doubleValue = 0.75;
    mirror->SetDoubleSource(source);
    EXPECT_EQ(mirror->doubleValue, 0.75);
    source->doubleValue = 0.5;
    source->Notify(1, kNotifyValue, kValueDouble, FromDouble(0.5));
    EXPECT_EQ(mirror->doubleValue, 0.5);
}

TEST_F(Recording, ActivationTellsTheOldControlThenTheNew) {
    Host host;
    auto* a = new Probe(nullptr, 1);
    auto* b = new Probe(nullptr, 2);
    host.AddControl(a);
    host.AddControl(b);
    host.SetActiveControl(a);
    EXPECT_TRUE(a->m_dwFlags & CTRL_ACTIVE);
    log.clear();
    host.SetActiveControl(b);
    EXPECT_EQ(log, (std::vector<std::string>{"activate 1 0", "activate 2 1"}));
    EXPECT_FALSE(a->m_dwFlags & CTRL_ACTIVE);
    EXPECT_TRUE(b->m_dwFlags & CTRL_ACTIVE);
    EXPECT_EQ(a->redraws, 2);
    log.clear();
    host.OnMouseMove(0, 5, 5); // the background: nobody is active
    EXPECT_EQ(log, (std::vector<std::string>{"activate 2 0"}));
    EXPECT_EQ(host.GetActiveControl(), nullptr);
    // A control that is never active clears the active control instead.
    b->m_dwFlags |= CTRL_NEVER_ACTIVE;
    host.SetActiveControl(a);
    log.clear();
    b->OnMouseMove(0, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"activate 1 0"}));
}

TEST_F(Recording, ScaleFactorsAreSinglePrecisionAndClamped) {
    Host host;
    auto* c = new Probe(nullptr, 1, CRect(100, 50, 300, 150));
    host.AddControl(c);
    host.InitLayout(800, 600);
    EXPECT_EQ(host.m_sizeDesign, CSize(800, 600));
    EXPECT_EQ(c->m_rcWindow, CRect(100, 50, 300, 150));
    // Scales are divided in single precision: 500 / 600 is 0.8333333134...,
    // so 150 design units become 124.99999... and truncate to 124.
    host.OnSize(0, 640, 500);
    EXPECT_EQ(host.m_dScaleX, double(640.0f / 800.0f));
    EXPECT_EQ(host.m_dScaleY, double(500.0f / 600.0f));
    EXPECT_EQ(c->m_rcWindow, CRect(80, 41, 240, 124));
    // A relayout without new sizes keeps the scales.
    c->m_rcDesign = CRect(0, 0, 100, 60);
    host.OnSize(0, -1, -1);
    EXPECT_EQ(host.m_dScaleX, double(640.0f / 800.0f));
    EXPECT_EQ(c->m_rcWindow, CRect(0, 0, 80, 49));
    // Wider than the screen: clamped to the screen first.
    const CSize screen = platform::ScreenSize();
    host.OnSize(0, screen.cx + 500, 300);
    EXPECT_EQ(host.m_dScaleX, double(float(screen.cx) / 800.0f));
    EXPECT_EQ(host.m_dScaleY, 0.5);
    // A zero design width gives 1e-6 in single precision, never a division by zero.
    EXPECT_EQ(SingleScale(500, 0), 9.99999997475242708e-07);
    host.m_sizeDesign = CSize(0, 600);
    host.OnSize(0, 500, 600);
    EXPECT_EQ(host.m_dScaleX, double(1e-6f));
}

TEST_F(Recording, DesignRectanglesAreFixedOnce) {
    Host host;
    auto* c = new Probe(nullptr, 1, CRect(10, 10, 20, 20));
    host.AddControl(c);
    const CRect fixed(1, 2, 3, 4);
    c->SetDesignRect(&fixed);
    const CRect other(5, 6, 7, 8);
    c->SetDesignRect(&other);
    EXPECT_EQ(c->m_rcDesign, fixed);
    host.InitLayout(0, 0); // design size from the client: 800 x 600
    EXPECT_EQ(host.m_sizeDesign, CSize(800, 600));
    EXPECT_EQ(c->m_rcDesign, fixed); // InitLayout leaves fixed design rectangles
    EXPECT_TRUE(host.IsPaintEnabled());
}

TEST_F(Recording, QuitAsksAndHelpOpensTheDocument) {
    platform::ScopedScriptedServices script;
    Host host;
    host.passOn = true;
    // Without the strings nothing happens.
    host.Notify(ID_QUIT, kNotifySelect, 0);
    EXPECT_TRUE(script.messages.empty());
    host.Strings().Add(1000, 0, "Het programma verlaten?");
    host.Strings().Add(1018, 0, "res\\dhelp.pdf");
    host.Strings().Add(1019, 0, "Kon het help-bestand niet openen.");
    script.messageAnswers = {IDCANCEL, IDOK};
    log.clear();
    host.Notify(ID_QUIT, kNotifySelect, 0);
    host.Notify(ID_QUIT, kNotifySelect, 0);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0].text, "Het programma verlaten?");
    EXPECT_EQ(script.messages[0].caption, "");
    EXPECT_EQ(script.messages[0].type, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(log.back(), "destroyed");
    EXPECT_EQ(std::count(log.begin(), log.end(), "destroyed"), 1);

    CAppSettings saved = AppSettings();
    AppSettings().SetProgramFolder("/prog");
    AppSettings().SetContentFolder("/content");
    script.Clear();
    script.shellResults = {2, 2};
    host.Notify(ID_HELP_INDEX, kNotifySelect, 0);
    ASSERT_EQ(script.shellOpens.size(), 2u);
    EXPECT_EQ(script.shellOpens[0].first, "/prog\\res\\dhelp.pdf");
    EXPECT_EQ(script.shellOpens[1].first, "/content\\res\\dhelp.pdf");
    ASSERT_EQ(script.messages.size(), 3u); // two shell failures, then the help failure
    EXPECT_EQ(script.messages[2].text, "Kon het help-bestand niet openen.");
    AppSettings() = saved;
}

namespace {

// A window control that logs its mouse operations.
class Pad : public CWndControl {
public:
    Pad(CControlManager* m, QWidget* parent, int id, CRect r)
        : CWndControl(m, parent, id, &r, WS_CHILD | WS_VISIBLE) {}
};

// A drag icon that drops at a scripted screen point, or cancels.
struct ScriptedIcon : CDragIconPopup {
    explicit ScriptedIcon(std::optional<POINT> d) : drop(d) {}
    bool Track(POINT* point) override {
        if (!drop)
            return false;
        *point = *drop;
        return true;
    }
    std::optional<POINT> drop;
};

} // namespace

TEST_F(Recording, DragStartsPastFourPixelsAndDropsOnTheWindowBelow) {
    Host host;
    platform::SetDlgCtrlID(&host.m_widget, 900);
    auto* source = new Pad(&host, &host.m_widget, 1, CRect(0, 0, 50, 50));
    auto* target = new Pad(&host, &host.m_widget, 2, CRect(100, 100, 200, 200));
    host.AddControl(source);
    host.AddControl(target);
    host.AddListener(target);
    source->SetDraggable(TRUE);
    host.m_widget.show();
    int drags = 0;
    std::optional<POINT> dropAt;
    SetManagerPopupFactories({nullptr, [&](CDIB*, POINT) {
                                  ++drags;
                                  return std::make_unique<ScriptedIcon>(dropAt);
                              }});
    POINT press{10, 10};
    source->RememberPress(&press);
    source->OnMouseMove(MK_LBUTTON, 14, 10); // 4 pixels from the press: no drag
    EXPECT_EQ(drags, 0);
    source->OnMouseMove(MK_LBUTTON, 13, 14); // (3, 4) away: 5 pixels, a drag, cancelled
    EXPECT_EQ(drags, 1);
    EXPECT_FALSE(host.IsDragging()); // the next drag can start
    source->OnMouseMove(0, 20, 10);  // button not held: no drag
    EXPECT_EQ(drags, 1);
    // Drop on the target control.
    dropAt = platform::ClientToScreen(&host.m_widget, POINT{150, 120});
    log.clear();
    source->OnMouseMove(MK_LBUTTON, 15, 10);
    EXPECT_EQ(drags, 2);
    EXPECT_FALSE(host.IsDragging());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "manager drop 1->2 at 50,20");
    POINT dropped{0, 0};
    EXPECT_TRUE(target->TakeDropPoint(&dropped)); // the target listener heard it first
    EXPECT_EQ(dropped.x, 50);
    EXPECT_EQ(dropped.y, 20);
    // On the background the sender is the host's own identifier.
    dropAt = platform::ClientToScreen(&host.m_widget, POINT{400, 400});
    log.clear();
    source->RememberPress(&press);
    source->OnMouseMove(MK_LBUTTON, 16, 10);
    EXPECT_EQ(log[0], "manager drop 1->900 at 400,400");
    // Outside the host: no drop at all; a cancelled drag neither.
    dropAt = platform::ClientToScreen(&host.m_widget, POINT{900, 900});
    log.clear();
    source->OnMouseMove(MK_LBUTTON, 17, 10);
    dropAt.reset();
    source->OnMouseMove(MK_LBUTTON, 18, 10);
    for (const auto& line : log)
        EXPECT_EQ(line.find("drop"), std::string::npos) << line;
    EXPECT_EQ(drags, 5);
    SetManagerPopupFactories({});
}
