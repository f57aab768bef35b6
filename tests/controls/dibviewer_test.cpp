#include "controls/dibviewer.h"
#include "testsupport.h"

#include "content/appsettings.h"
#include "imaging/dib.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kViewerId = 651641;

// Eight bands of 50 columns across a 400 x 200 picture; the lower half of
// each band differs in its blue.
constexpr uint32_t kBands[8] = {0xFF0000, 0x00FF00, 0x0000C0, 0xFFFF00,
                                0xFF00C0, 0x00FFC0, 0x808000, 0xC08040};

uint32_t BandColour(int x, int y) {
    return kBands[x / 50] | (y < 100 ? 0 : 0x3F);
}

CDIB* MakeBands(int width = 400, int height = 200) {
    auto* dib = new CDIB;
    dib->Create(width, height, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = BandColour(x * 400 / width, y * 200 / height);
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            p[0] = BYTE(c);
            p[1] = BYTE(c >> 8);
            p[2] = BYTE(c >> 16);
        }
    dib->EndPixelAccess();
    return dib;
}

// A viewer that counts its redraws.
class CountingViewer : public CDIBViewer {
public:
    using CDIBViewer::CDIBViewer;
    void Redraw(const RECT* area, int full) override {
        ++redraws;
        CDIBViewer::Redraw(area, full);
    }
    int redraws = 0;
};

// A 300 x 300 popup whose whole client area is the viewer.
class ViewerHost : public CPopupWindow {
public:
    explicit ViewerHost(int size = 300) : m_nSize(size) {}
    ~ViewerHost() override { Clear(); }
    BOOL CreateControls() override {
        SetBackgroundColor(0x808080);
        const CRect rect(0, 0, m_nSize, m_nSize);
        viewer = new CountingViewer(this, this, kViewerId, &rect, WS_CHILD | WS_VISIBLE);
        return AddControl(viewer);
    }
    bool Make() { return Create(0, 0, m_nSize, m_nSize, "viewer", WS_POPUP | WS_VISIBLE); }

    CountingViewer* viewer = nullptr;

private:
    int m_nSize;
};

// Every seventh column and eleventh row of the grabbed viewer: inside the
// display rectangle the picture's pixel under the pixel's centre, black
// outside. Points closer than a picture pixel to a band edge are skipped.
void ExpectShows(CDIBViewer* viewer, const CRect& shown, int iw = 400, int ih = 200) {
    const QImage image = viewer->grab().toImage();
    int checked = 0, failures = 0;
    for (int y = 0; y < image.height(); y += 11)
        for (int x = 0; x < image.width(); x += 7) {
            const uint32_t actual = image.pixel(x, y) & 0xFFFFFF;
            uint32_t expected = 0x000000;
            if (shown.PtInRect(CPoint(x, y))) {
                const double ix = (x + 0.5 - shown.left) * iw / shown.Width() * 400 / iw;
                const double iy = (y + 0.5 - shown.top) * ih / shown.Height() * 200 / ih;
                const double toBand = std::fabs(ix - 50 * std::round(ix / 50));
                if (toBand < 1.5 || std::fabs(iy - 100) < 1.5)
                    continue;
                expected = BandColour(int(ix), int(iy));
            }
            ++checked;
            if (actual != expected && ++failures <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): expected " << std::hex
                              << expected << ", got " << actual;
        }
    EXPECT_GT(checked, 1000);
}

void Drag(QWidget* widget, Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(widget, button, Qt::NoModifier, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, button, Qt::NoModifier, to);
}

} // namespace

TEST(DIBViewerTest, StartsBlackWithoutAnImage) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    EXPECT_EQ(viewer->m_dZoom, 1.0);
    EXPECT_EQ(viewer->m_dZoomSpeed, 0.0);
    EXPECT_EQ(viewer->m_pImage, nullptr);
    EXPECT_EQ(viewer->m_crBackground, 0x000000u);
    EXPECT_TRUE(viewer->m_dwFlags & CTRL_NEVER_ACTIVE);
    EXPECT_FALSE(viewer->m_dwFlags & VIEWER_HAS_IMAGE);
    const QImage image = viewer->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(150, 150), QPoint(299, 299)})
        EXPECT_EQ(image.pixel(p) & 0xFFFFFF, 0x000000u);
}

TEST(DIBViewerTest, SetZoomClampsAndIgnoresTheCurrentValue) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CountingViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));
    viewer->redraws = 0;
    viewer->SetZoom(10.0);
    EXPECT_EQ(viewer->GetZoom(), 8.0);
    viewer->SetZoom(8.0);
    EXPECT_EQ(viewer->redraws, 1) << "the current zoom does not redraw";
    viewer->SetZoom(0.1);
    EXPECT_EQ(viewer->GetZoom(), 0.3);
    viewer->SetZoom(0.3);
    EXPECT_EQ(viewer->redraws, 2);
    viewer->SetZoom(2.5);
    EXPECT_EQ(viewer->GetZoom(), 2.5);
    EXPECT_EQ(viewer->redraws, 3);
}

TEST(DIBViewerTest, AtZoomOneThePictureCoversTheWindowCentred) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));
    EXPECT_TRUE(viewer->m_dwFlags & VIEWER_HAS_IMAGE);
    // 400 x 200 widened from 300 x 300: 600 x 300, centred.
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(-150, 0, 450, 300));
    ExpectShows(viewer, CRect(-150, 0, 450, 300));
    // Bands 2 to 5 fill the window, 75 pixels each.
    const QImage image = viewer->grab().toImage();
    EXPECT_EQ(image.pixel(1, 40) & 0xFFFFFF, kBands[2]);
    EXPECT_EQ(image.pixel(298, 260) & 0xFFFFFF, kBands[5] | 0x3F);
}

TEST(DIBViewerTest, LeftDragPansWithinWhatCoversTheWindow) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));

    Drag(viewer, Qt::LeftButton, {100, 100}, {140, 100});
    EXPECT_EQ(viewer->m_dPanX, 40.0);
    EXPECT_EQ(viewer->m_dPanY, 0.0);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(-110, 0, 490, 300));
    ExpectShows(viewer, CRect(-110, 0, 490, 300));

    // 150 pixels either way at most, and not at all vertically.
    Drag(viewer, Qt::LeftButton, {100, 100}, {300, 180});
    EXPECT_EQ(viewer->m_dPanX, 150.0);
    EXPECT_EQ(viewer->m_dPanY, 0.0);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(0, 0, 600, 300));
    Drag(viewer, Qt::LeftButton, {290, 10}, {0, 10});
    Drag(viewer, Qt::LeftButton, {290, 10}, {100, 10});
    EXPECT_EQ(viewer->m_dPanX, -150.0);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(-300, 0, 300, 300));
    ExpectShows(viewer, CRect(-300, 0, 300, 300));

    // Moving without a button does nothing.
    QTest::mouseMove(viewer, {10, 10});
    QTest::mouseMove(viewer, {200, 10});
    EXPECT_EQ(viewer->m_dPanX, -150.0);
}

TEST(DIBViewerTest, AtTheSmallestZoomThePictureStaysInsideTheWindow) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));
    viewer->SetZoom(0.3);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(60, 105, 240, 195));
    ExpectShows(viewer, CRect(60, 105, 240, 195));

    Drag(viewer, Qt::LeftButton, {150, 150}, {290, 290});
    EXPECT_EQ(viewer->m_dPanX, 60.0);
    EXPECT_EQ(viewer->m_dPanY, 105.0);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(120, 210, 300, 300));
    ExpectShows(viewer, CRect(120, 210, 300, 300));
    Drag(viewer, Qt::LeftButton, {290, 290}, {0, 0});
    Drag(viewer, Qt::LeftButton, {290, 290}, {0, 0});
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(0, 0, 180, 90));
}

TEST(DIBViewerTest, RightDragZoomsWithASmoothedVelocity) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));

    QTest::mousePress(viewer, Qt::RightButton, Qt::NoModifier, {100, 100});
    QTest::mouseMove(viewer, {110, 100});
    // ln(1 + 2.718282) * 10 * 0.006
    EXPECT_DOUBLE_EQ(viewer->m_dZoomSpeed, 0.07879570401916139);
    EXPECT_DOUBLE_EQ(viewer->m_dZoom, 1.0787957040191614);
    QTest::mouseMove(viewer, {116, 108}); // ten pixels down to the right
    EXPECT_DOUBLE_EQ(viewer->m_dZoomSpeed, 0.14309046795268587);
    EXPECT_DOUBLE_EQ(viewer->m_dZoom, 1.2218861719718472);
    QTest::mouseRelease(viewer, Qt::RightButton, Qt::NoModifier, {116, 108});
    // 366 x 366 widened to 732 x 366, centred.
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(-216, -33, 516, 333));
    ExpectShows(viewer, CRect(-216, -33, 516, 333));

    // A new press stops the velocity; dragging left zooms out.
    QTest::mousePress(viewer, Qt::RightButton, Qt::NoModifier, {100, 100});
    EXPECT_EQ(viewer->m_dZoomSpeed, 0.0);
    QTest::mouseMove(viewer, {80, 100});
    EXPECT_DOUBLE_EQ(viewer->m_dZoomSpeed, -0.16454680867686292);
    EXPECT_DOUBLE_EQ(viewer->m_dZoom, 1.0573393632949843);
    QTest::mouseRelease(viewer, Qt::RightButton, Qt::NoModifier, {80, 100});
    // Far drags end at the limits.
    Drag(viewer, Qt::RightButton, {290, 100}, {0, 100});
    EXPECT_EQ(viewer->m_dZoom, 0.3);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(60, 105, 240, 195));
    for (int i = 0; i < 4; ++i)
        Drag(viewer, Qt::RightButton, {0, 100}, {290, 100});
    EXPECT_EQ(viewer->m_dZoom, 8.0);
    EXPECT_EQ(viewer->GetDisplayRect(), CRect(-2250, -1050, 2550, 1350));
}

TEST(DIBViewerTest, FlagsSwitchMovingAndZoomingOff) {
    ViewerHost host;
    ASSERT_TRUE(host.Make());
    CDIBViewer* viewer = host.viewer;
    ASSERT_TRUE(viewer->SetImage(MakeBands()));
    viewer->m_dwFlags |= VIEWER_NO_MOVE | VIEWER_NO_ZOOM;
    Drag(viewer, Qt::LeftButton, {100, 100}, {140, 100});
    Drag(viewer, Qt::RightButton, {100, 100}, {140, 100});
    EXPECT_EQ(viewer->m_dPanX, 0.0);
    EXPECT_EQ(viewer->m_dZoom, 1.0);
    viewer->m_dwFlags &= ~VIEWER_NO_ZOOM;
    Drag(viewer, Qt::RightButton, {100, 100}, {110, 100});
    EXPECT_DOUBLE_EQ(viewer->m_dZoom, 1.0787957040191614);
}

TEST(DIBViewerTest, ImagesComeFromTheCacheAndGoBackToIt) {
    testsupport::TempDir empty;
    const CAppSettings saved = AppSettings();
    AppSettings().SetProgramFolder(empty.Str());
    AppSettings().SetContentFolder(empty.Str());
    {
        ViewerHost host;
        ASSERT_TRUE(host.Make());
        CDIBViewer* viewer = host.viewer;
        CDIB* first = MakeBands();
        first->DeriveFileNames("res\\kv\\iepp00", 0);
        host.Images().Add(first, CDIB::kImage); // the test's own reference
        CDIB* second = MakeBands(200, 200);
        second->DeriveFileNames("res\\kv\\iepp01", 0);
        host.Images().Add(second, CDIB::kImage);

        ASSERT_TRUE(viewer->SetImageFile("res\\kv\\iepp00"));
        EXPECT_EQ(viewer->GetImage(), first);
        EXPECT_EQ(first->GetRefCount(), 2);
        // The picture already shown: no change and no further reference.
        EXPECT_FALSE(viewer->SetImageFile("res\\kv\\iepp00"));
        EXPECT_EQ(first->GetRefCount(), 2);

        viewer->SetZoom(2.0);
        Drag(viewer, Qt::LeftButton, {100, 100}, {130, 100});
        ASSERT_TRUE(viewer->SetImageFile("res\\kv\\iepp01"));
        EXPECT_EQ(first->GetRefCount(), 1) << "the previous picture is released";
        EXPECT_EQ(second->GetRefCount(), 2);
        EXPECT_EQ(viewer->m_dZoom, 1.0) << "zoom and pan start afresh";
        EXPECT_EQ(viewer->m_dPanX, 0.0);
        EXPECT_EQ(viewer->GetDisplayRect(), CRect(0, 0, 300, 300));
        ExpectShows(viewer, CRect(0, 0, 300, 300), 200, 200);

        // A picture that does not load leaves the viewer empty.
        EXPECT_FALSE(viewer->SetImageFile("res\\kv\\missing"));
        EXPECT_EQ(viewer->GetImage(), nullptr);
        EXPECT_FALSE(viewer->m_dwFlags & VIEWER_HAS_IMAGE);
        EXPECT_EQ(second->GetRefCount(), 1);
        EXPECT_EQ(viewer->grab().toImage().pixel(150, 150) & 0xFFFFFF, 0x000000u);

        ASSERT_TRUE(viewer->SetImage(second));
        EXPECT_EQ(second->GetRefCount(), 2);
        EXPECT_FALSE(viewer->SetImage(second));
        EXPECT_EQ(second->GetRefCount(), 2);
        host.Clear(); // the viewer goes and gives its reference back
        EXPECT_EQ(second->GetRefCount(), 1);
    }
    AppSettings() = saved;
}
