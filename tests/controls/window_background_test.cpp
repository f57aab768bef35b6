// The host background in a real popup window: the manager's colour, its
// picture stretched over the client area with the see-through controls
// drawn after it, the window's own colour when the manager declines; and
// Clear, which deletes the controls and empties the listeners.

#include "buttontestsupport.h"
#include "controls/controlbase.h"
#include "controls/wndcontrol.h"
#include "imaging/dib.h"

#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace buttontest;

namespace {

constexpr COLORREF kHostColour = 0x102030;
// The four quadrants of the background picture, from the top left.
constexpr COLORREF kTopLeft = 0x0000C0, kTopRight = 0x00C000, kBottomLeft = 0xC00000,
                   kBottomRight = 0xC0C0C0;

// A 4 x 2 picture of four 2 x 1 quadrants.
CDIB* MakeQuadrants() {
    return MakePicture(4, 2, [](int x, int y) {
        if (y == 0)
            return x < 2 ? kTopLeft : kTopRight;
        return x < 2 ? kBottomLeft : kBottomRight;
    });
}

// A windowless control that counts its redraws and its deletion.
class CountingControl : public CControlBase {
public:
    CountingControl(CControlManager* manager, int id, int* deleted)
        : CControlBase(manager, nullptr, id, nullptr, 0), m_pDeleted(deleted) {}
    ~CountingControl() override { ++*m_pDeleted; }
    void Redraw(const RECT*, int) override { ++redraws; }
    int redraws = 0;

private:
    int* m_pDeleted;
};

class BackgroundHost : public CPopupWindow {
public:
    std::function<BOOL(BackgroundHost&)> build = [](BackgroundHost&) { return TRUE; };
    BOOL CreateControls() override { return build(*this); }
};

void ExpectQuadrants(QWidget* host, const char* what) {
    const QImage image = Grab(host);
    ASSERT_EQ(image.size(), QSize(200, 100)) << what;
    // The 4 x 2 picture stretched to 200 x 100: 100 x 50 per quadrant,
    // corners and the pixels either side of each seam included.
    const struct {
        int x, y;
        COLORREF colour;
    } probes[] = {{0, 0, kTopLeft},        {99, 49, kTopLeft},     {100, 0, kTopRight},
                  {199, 49, kTopRight},    {0, 50, kBottomLeft},   {99, 99, kBottomLeft},
                  {100, 50, kBottomRight}, {199, 99, kBottomRight}};
    for (const auto& p : probes)
        EXPECT_EQ(PixelAt(image, p.x, p.y), p.colour) << what << " at " << p.x << "," << p.y;
}

void ExpectFlat(QWidget* host, COLORREF colour, const char* what) {
    const QImage image = Grab(host);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) != colour) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") 0x" << std::hex
                              << PixelAt(image, x, y) << " instead of 0x" << colour;
                return;
            }
}

} // namespace

TEST(HostBackground, ColourWithoutAPictureFillsTheClientArea) {
    BackgroundHost host;
    host.build = [](BackgroundHost& h) {
        h.SetBackgroundColor(kHostColour);
        return TRUE;
    };
    ASSERT_TRUE(host.Create(0, 0, 200, 100, "Colour", WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    ExpectFlat(&host, kHostColour, "colour");
    host.resize(260, 140); // the whole new client area, not the old one
    ExpectFlat(&host, kHostColour, "colour after a resize");
}

TEST(HostBackground, PictureIsStretchedOverTheClientAreaAndSeeThroughControlsFollow) {
    int deleted = 0;
    CountingControl* seeThrough = nullptr;
    CountingControl* opaque = nullptr;
    BackgroundHost host;
    host.build = [&](BackgroundHost& h) {
        seeThrough = new CountingControl(&h, 601, &deleted);
        seeThrough->m_dwFlags |= CTRL_SEE_THROUGH;
        opaque = new CountingControl(&h, 602, &deleted);
        return h.AddControl(seeThrough) && h.AddControl(opaque) &&
               h.SetBackgroundImage(MakeQuadrants(), TRUE);
    };
    ASSERT_TRUE(host.Create(0, 0, 200, 100, "Picture", WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    EXPECT_EQ(host.m_dwFlags & (MGR_BACKGROUND_IMAGE | MGR_BACKGROUND_COLOUR),
              DWORD(MGR_BACKGROUND_IMAGE));
    ExpectQuadrants(&host, "picture");

    // The see-through control was drawn over the picture once, and is not
    // drawn again until it has drawn itself; the opaque one never.
    EXPECT_EQ(seeThrough->redraws, 1);
    EXPECT_TRUE(seeThrough->m_dwFlags & CTRL_REDRAWN);
    ExpectQuadrants(&host, "picture painted again");
    EXPECT_EQ(seeThrough->redraws, 1);
    EXPECT_EQ(opaque->redraws, 0);
    EXPECT_FALSE(opaque->m_dwFlags & CTRL_REDRAWN);

    // Without the picture the colour is back, and nothing is redrawn for it.
    seeThrough->m_dwFlags &= ~CTRL_REDRAWN;
    host.SetBackgroundImage(nullptr, FALSE);
    host.m_crBackground = kHostColour;
    ExpectFlat(&host, kHostColour, "picture removed");
    EXPECT_EQ(seeThrough->redraws, 1);
}

TEST(HostBackground, WithNeitherTheWindowPaintsItsOwnColour) {
    BackgroundHost host;
    ASSERT_TRUE(host.Create(0, 0, 200, 100, "Neither", WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    host.m_dwFlags &= ~(MGR_BACKGROUND_IMAGE | MGR_BACKGROUND_COLOUR);
    const QColor own = host.palette().window().color();
    ExpectFlat(&host, RGB(own.red(), own.green(), own.blue()), "window colour");
    // A picture flag without a picture declines as well.
    host.m_dwFlags |= MGR_BACKGROUND_IMAGE;
    ExpectFlat(&host, RGB(own.red(), own.green(), own.blue()), "flag without a picture");
}

TEST(ManagerClear, DeletesTheControlsAndEmptiesTheListeners) {
    int deleted = 0;
    BackgroundHost host;
    CountingControl* first = nullptr;
    host.build = [&](BackgroundHost& h) {
        first = new CountingControl(&h, 701, &deleted);
        auto* second = new CountingControl(&h, 702, &deleted);
        auto* third = new CountingControl(&h, 703, &deleted);
        return h.AddControl(first) && h.AddControl(second) && h.AddControl(third) &&
               h.AddListener(first) && h.AddListener(third) &&
               h.SetBackgroundImage(MakeQuadrants(), TRUE);
    };
    ASSERT_TRUE(host.Create(0, 0, 200, 100, "Clear", WS_POPUP | WS_VISIBLE));
    host.SetActiveControl(first);
    ASSERT_EQ(host.GetControls().size(), 3u);
    ASSERT_EQ(host.GetListeners().size(), 2u);

    host.Clear();
    EXPECT_EQ(deleted, 3);
    EXPECT_TRUE(host.GetControls().empty());
    EXPECT_TRUE(host.GetListeners().empty());
    EXPECT_EQ(host.FindControl(701), nullptr);
    EXPECT_EQ(host.GetActiveControl(), nullptr);
    EXPECT_EQ(host.m_pBackgroundImage, nullptr);
    EXPECT_EQ(host.m_dwFlags, 0u);
    EXPECT_FALSE(host.IsDragging());

    // A notification after Clear reaches no deleted listener, and a
    // second Clear deletes nothing twice.
    EXPECT_TRUE(host.Notify(701, kNotifySelect, 0));
    host.Clear();
    EXPECT_EQ(deleted, 3);

    // The identifiers are free again.
    auto* again = new CountingControl(&host, 701, &deleted);
    EXPECT_TRUE(host.AddControl(again));
    EXPECT_EQ(host.FindControl(701), again);
    host.Clear();
    EXPECT_EQ(deleted, 4);
}
