// The layer mixer as a window: its fields, layout, painting of the frame
// and the page, composition of what is dirty, colours, the context menu
// and the centring and fitting commands.

#include "controls/colorbutton.h"
#include "controls/notifier.h"
#include "mixertesthost.h"
#include "platform/gdi/dc.h"
#include "platform/logfont.h"
#include "platform/popupmenu.h"
#include "platform/userservices.h"

#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace mixertest;

namespace {

constexpr uint32_t kGuide = 0x3737C8;       // 0xC83737 as red, green, blue
constexpr uint32_t kRedHandle = 0xFF1414;   // 0x1414FF
constexpr uint32_t kGreenHandle = 0x14FF14; // 0x14FF14

const char* const kEnglishMenu[8] = {"To foreground",     "To background", "Move up",
                                     "Move down",         "Delete",        "Center horizontally",
                                     "Center vertically", "Fit to page"};

void SetEnglishMenu(CLayerMixer* mixer) {
    mixer->SetMenuTexts(kEnglishMenu[0], kEnglishMenu[1], kEnglishMenu[2], kEnglishMenu[3],
                        kEnglishMenu[4], kEnglishMenu[5], kEnglishMenu[6], kEnglishMenu[7]);
}

std::vector<std::string> TextsOf(const platform::PopupMenuRecord& menu) {
    std::vector<std::string> texts;
    for (const MenuItem& item : menu.items)
        texts.push_back(item.text);
    return texts;
}

// A manager that only hosts.
class PlainHost : public CControlManager {
public:
    BOOL CreateControls() override { return TRUE; }
};

} // namespace

TEST(LayerMixer, StartsWithEveryFieldAtItsInitialValue) {
    PlainHost host;
    QWidget parent;
    const CRect rect(0, 0, 300, 200);
    auto* mixer = new CLayerMixer(&host, &parent, kMixerId, &rect, WS_CHILD | WS_VISIBLE);
    host.AddControl(mixer);
    EXPECT_EQ(mixer->m_pLayerServer, nullptr);
    EXPECT_TRUE(mixer->m_layers.empty());
    EXPECT_EQ(mixer->m_pSelected, nullptr);
    EXPECT_EQ(mixer->m_pPage, nullptr);
    ASSERT_NE(mixer->m_pAlphaTable, nullptr);
    EXPECT_EQ(mixer->m_pAlphaTable[128 * 256 + 127], 64);
    EXPECT_EQ(mixer->m_bMenuOpen, FALSE);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mixer->m_crCorner[i], 0xE8E8E8u);
        EXPECT_EQ(mixer->m_pColourSource[i], nullptr);
    }
    EXPECT_TRUE(mixer->m_rcDirty.IsRectNull());
    EXPECT_EQ(mixer->m_tracker.m_nStyle, 0x15u);
    EXPECT_EQ(mixer->m_tracker.m_nHandleSize, 5);
    EXPECT_TRUE(mixer->m_tracker.m_rect.IsRectNull());
    EXPECT_EQ(mixer->m_dMarginX, 0.1);
    EXPECT_EQ(mixer->m_dMarginY, 0.2);
    EXPECT_EQ(mixer->m_dAspect, 0.95);
    EXPECT_EQ(mixer->m_nActiveHandle, 0);
    for (const std::string& text : mixer->m_strMenu)
        EXPECT_TRUE(text.empty());
    EXPECT_TRUE(mixer->GetFlags() & CTRL_NEVER_ACTIVE);
    EXPECT_EQ(mixer->m_crBackground, 0xE8E8E8u);
    const auto& listeners = host.GetListeners();
    EXPECT_NE(std::find(listeners.begin(), listeners.end(), mixer), listeners.end());
    host.Clear();
}

TEST(LayerMixer, RelayoutMakesThePageAndFitsTheMargins) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    EXPECT_EQ(m->m_dMarginY, 0.016);
    EXPECT_EQ(m->m_dMarginX, (469 - 0.968 * 0.95 * 419) / 938);
    EXPECT_EQ(m->GetPageRect(), CRect(41, 6, 427, 412));
    int w = 0, h = 0;
    ASSERT_TRUE(m->GetPageSize(&w, &h));
    EXPECT_EQ(w, 386);
    EXPECT_EQ(h, 406);
    EXPECT_EQ(m->GetPageOffset(), CPoint(41, 6));
    EXPECT_TRUE(m->m_rcDirty.IsRectEmpty()); // composed by the redraw
    // While the user sizes the host the page keeps its size.
    host.m_dwFlags |= MGR_SIZING;
    m->m_dAspect = 1.5;
    m->Relayout();
    m->GetPageSize(&w, &h);
    EXPECT_EQ(w, 386);
    EXPECT_NE(m->m_dMarginX, (469 - 0.968 * 0.95 * 419) / 938); // margins refitted
}

TEST(LayerMixer, PaintsBandsGuideLinesHandlesAndThePage) {
    MixerHost host(469, 419);
    const QImage shot = host.Grab();
    // Page rectangle (41, 6, 427, 412): the empty page is the flat grey.
    EXPECT_EQ(ScreenPixel(shot, 200, 200), Rgb(kPageGrey));
    EXPECT_EQ(ScreenPixel(shot, 20, 200), Rgb(kPageGrey)); // left band
    // Dash-dot guide lines: 9 on, 6 off, 3 on, from the start of each line.
    EXPECT_EQ(ScreenPixel(shot, 40, 5), kGuide);          // x = left - 1
    EXPECT_EQ(ScreenPixel(shot, 40, 10), Rgb(kPageGrey)); // the gap after 9
    EXPECT_EQ(ScreenPixel(shot, 40, 15), kGuide);         // the dot
    EXPECT_EQ(ScreenPixel(shot, 427, 0), kGuide);         // x = right
    EXPECT_EQ(ScreenPixel(shot, 0, 412), kGuide);         // y = bottom
    EXPECT_EQ(ScreenPixel(shot, 8, 412), kGuide);
    EXPECT_EQ(ScreenPixel(shot, 9, 412), Rgb(kPageGrey));
    EXPECT_EQ(ScreenPixel(shot, 100, 5), kGuide);         // y = top - 1: 96 + 4 is in a dash
    EXPECT_EQ(ScreenPixel(shot, 106, 5), Rgb(kPageGrey)); // 96 + 10 is in the gap
    // Handle 1: (l + hx, 0) -> (l, hx) -> (l, 0), hx = 7; red while idle.
    EXPECT_EQ(ScreenPixel(shot, 44, 0), kRedHandle);
    EXPECT_EQ(ScreenPixel(shot, 41, 3), kRedHandle);
    EXPECT_EQ(ScreenPixel(shot, 45, 3), kRedHandle); // on the diagonal
    // Handle 2: (0, t + hy - 1) -> (hy, t - 1) -> (0, t - 1), hy = 6.
    EXPECT_EQ(ScreenPixel(shot, 0, 8), kRedHandle);
    EXPECT_EQ(ScreenPixel(shot, 3, 5), kRedHandle);

    host.mixer->m_nActiveHandle = 2;
    host.mixer->PaintPage();
    const QImage active = host.Grab();
    EXPECT_EQ(ScreenPixel(active, 0, 8), kGreenHandle);
    EXPECT_EQ(ScreenPixel(active, 44, 0), kRedHandle);
}

TEST(LayerMixer, ANewPictureIsComposedSelectedAndFramed) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, 0xFF0000);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(m->m_pSelected, layer);
    // Page 386 x 406: bw = trunc(trunc(270.2) * 0.7) = 189, bh = 198;
    // fitted to the page's shape and then to the picture's.
    const CRect box = CLayerComposer::PageBox(layer);
    EXPECT_EQ(box.Width(), int(layer->m_dWidth));
    EXPECT_EQ(layer->m_dX + layer->m_dWidth / 2, 193.0 + (int(layer->m_dWidth) % 2 ? 0.5 : 0));
    EXPECT_NEAR(layer->m_dWidth / layer->m_dHeight, 40.0 / 30.0, 0.02);
    CRect framed = box;
    framed.OffsetRect(41, 6);
    EXPECT_EQ(m->m_tracker.m_rect, framed);
    EXPECT_EQ(PagePixel(m->m_pPage, box.left + 2, box.top + 5), 0xFF0000u);
    EXPECT_EQ(PagePixel(m->m_pPage, box.left - 1, box.top + 5), Rgb(kPageGrey));
    EXPECT_TRUE(m->m_rcDirty.IsRectEmpty());

    const QImage shot = host.Grab();
    EXPECT_EQ(ScreenPixel(shot, framed.left + 2, framed.top + 5), 0xFF0000u);
    // The frame: a line just outside the box, a handle in the corner of
    // the true rectangle (the box grown by 5).
    EXPECT_EQ(ScreenPixel(shot, framed.left - 1, framed.top + 10), 0x000000u);
    EXPECT_EQ(ScreenPixel(shot, framed.left - 5, framed.top - 5), 0x000000u);
    EXPECT_EQ(ScreenPixel(shot, framed.left - 3, framed.top - 3), 0x000000u);

    // No selection: no frame.
    m->SelectLayer(nullptr);
    EXPECT_TRUE(m->m_tracker.m_rect.IsRectNull());
    EXPECT_FALSE(m->SelectLayer(nullptr));
    m->PaintPage();
    EXPECT_EQ(ScreenPixel(host.Grab(), framed.left - 5, framed.top - 5), Rgb(kPageGrey));
}

TEST(LayerMixer, RedrawComposesOnlyTheDirtyRectangle) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, 0x00FF00);
    host.Place(layer, 10, 10, 40, 30);
    EXPECT_EQ(PagePixel(m->m_pPage, 20, 20), 0x00FF00u);
    // Moved without its old box being dirty: the old pixels stay.
    layer->SetGeometry(100, 100, 40, 30);
    m->InvalidateLayerBox(layer);
    EXPECT_EQ(m->m_rcDirty, CRect(100, 100, 140, 130));
    m->Redraw(nullptr, 0);
    EXPECT_EQ(PagePixel(m->m_pPage, 20, 20), 0x00FF00u);
    EXPECT_EQ(PagePixel(m->m_pPage, 110, 110), 0x00FF00u);
    // A given area is composed instead of the dirty rectangle.
    const CRect area(0, 0, 30, 30);
    m->Redraw(&area, 0);
    EXPECT_EQ(PagePixel(m->m_pPage, 20, 20), Rgb(kPageGrey));
    EXPECT_EQ(PagePixel(m->m_pPage, 35, 35), 0x00FF00u); // outside the area
    m->Redraw(nullptr, 1);
    EXPECT_EQ(PagePixel(m->m_pPage, 35, 35), Rgb(kPageGrey));
    EXPECT_TRUE(m->m_rcDirty.IsRectEmpty());
}

TEST(LayerMixer, ColoursComeFromTheCallsAndTheColourControls) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    m->SetAllBackgroundColours(0x0000FF);
    EXPECT_EQ(PagePixel(m->m_pPage, 0, 0), 0xFF0000u);
    EXPECT_EQ(PagePixel(m->m_pPage, 385, 405), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(host.Grab(), 200, 200), 0xFF0000u);

    // A source gives its colour at once, and later its notifications.
    const CRect swatch(0, 0, 20, 20);
    auto* colour = new CColorButtonControl(&host, &host.m_widget, 4711, &swatch, 0x00FF00, 0, 0);
    host.AddControl(colour);
    m->SetColourSource(0, colour);
    EXPECT_EQ(m->m_pColourSource[0], colour);
    EXPECT_EQ(m->m_crCorner[0], 0x00FF00u);
    EXPECT_EQ(PagePixel(m->m_pPage, 0, 0), 0x00FF00u); // the top-left corner
    host.Notify(4711, kNotifyValue, kValueDword, 0xFFFFFF);
    EXPECT_EQ(m->m_crCorner[0], 0xFFFFFFu);
    EXPECT_EQ(PagePixel(m->m_pPage, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(m->m_crCorner[3], 0x0000FFu);
    host.Notify(4712, kNotifyValue, kValueDword, 0x123456); // not a source
    EXPECT_EQ(m->m_crCorner[0], 0xFFFFFFu);

    // Stored for a design without composing.
    m->SetBackgroundColours(1, 2, 3, 4);
    EXPECT_EQ(m->m_crCorner[2], 3u);
    EXPECT_EQ(m->m_rcDirty, CRect(0, 0, 386, 406));
    EXPECT_EQ(PagePixel(m->m_pPage, 0, 0), 0xFFFFFFu);
}

TEST(LayerMixer, TheContextMenuOffersTheItemsOfTheSelectedPlace) {
    platform::ScopedScriptedPopupMenus menus;
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    SetEnglishMenu(m);
    CLayerChannel* only = host.AddPicture(40, 30, 0xFF0000);
    const CRect box = CLayerComposer::PageBox(only);
    const int x = box.left + 41 + 5, y = box.top + 6 + 5;
    int openDuring = -1;
    menus.whileOpen = [&](CMenu&) { openDuring = m->m_bMenuOpen; };
    SendMouse(m, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
    ASSERT_EQ(menus.menus.size(), 1u);
    EXPECT_EQ(TextsOf(menus.menus[0]),
              (std::vector<std::string>{"Delete", "Center horizontally", "Center vertically",
                                        "Fit to page"}));
    EXPECT_EQ(menus.menus[0].items[0].id, 5u);
    EXPECT_EQ(menus.menus[0].flags, TPM_CENTERALIGN);
    const POINT screen = platform::ClientToScreen(m, POINT{x, y});
    EXPECT_EQ(CPoint(menus.menus[0].point), CPoint(screen));
    EXPECT_EQ(openDuring, TRUE);
    EXPECT_EQ(m->m_bMenuOpen, FALSE);

    // Three layers, the first (front) selected, then the middle one.
    host.AddPicture(40, 30, 0x00FF00);
    host.AddPicture(40, 30, 0x0000FF);
    ASSERT_EQ(host.layers->GetCurrentLayer(), 0);
    SendMouse(m, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(
        TextsOf(menus.menus[1]),
        (std::vector<std::string>{"To background", "Move down", "Delete", "Center horizontally",
                                  "Center vertically", "Fit to page"}));
    host.layers->SetCurrentLayer(1);
    SendMouse(m, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(TextsOf(menus.menus[2]),
              (std::vector<std::string>{"To foreground", "Move up", "To background", "Move down",
                                        "Delete", "Center horizontally", "Center vertically",
                                        "Fit to page"}));
    // Without a selection there is no menu.
    m->SelectLayer(nullptr);
    SendMouse(m, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(menus.menus.size(), 3u);
}

TEST(LayerMixer, MenuCommandsBecomeSelectsAndCentreOrFitTheLayer) {
    platform::ScopedScriptedPopupMenus menus;
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    SetEnglishMenu(m);
    m->ResizePage(CRect(0, 0, 453, 405));
    CLayerChannel* layer = host.AddPicture(400, 300, 0xFF0000);
    host.Place(layer, 10, 20, 400, 300);
    host.log.clear();
    ASSERT_EQ(m->GetPageOffset(), CPoint((469 - 453) / 2, (419 - 405) / 2));
    const int px = 8 + 20, py = 7 + 30;

    menus.answers.push_back(8); // "Fit to page"
    SendMouse(m, QEvent::MouseButtonPress, px, py, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(host.log, std::vector<std::string>{"select 169813 0"});
    EXPECT_EQ(layer->m_dX, 0.0);
    EXPECT_EQ(layer->m_dY, 0.0);
    EXPECT_EQ(layer->m_dWidth, 453.0);
    EXPECT_EQ(layer->m_dHeight, 405.0);
    EXPECT_EQ(PagePixel(m->m_pPage, 452, 404), 0xFF0000u);

    host.Place(layer, 10, 20, 100, 50);
    host.log.clear();
    menus.answers.push_back(6); // "Center horizontally"
    SendMouse(m, QEvent::MouseButtonPress, px, py, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(layer->m_dX, (453 - 100) / 2.0);
    EXPECT_EQ(layer->m_dY, 20.0);
    EXPECT_EQ(PagePixel(m->m_pPage, 15, 30), Rgb(kPageGrey)); // old place recomposed
    EXPECT_EQ(PagePixel(m->m_pPage, 180, 30), 0xFF0000u);
    menus.answers.push_back(7); // "Center vertically"
    SendMouse(m, QEvent::MouseButtonPress, 185, py, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(layer->m_dY, (405 - 50) / 2.0);
    EXPECT_EQ(host.log, (std::vector<std::string>{"select 654711 0", "select 165498 0"}));

    // The list's commands are raised for the view to carry out.
    for (UINT item : {1u, 2u, 3u, 4u, 5u}) {
        host.log.clear();
        m->OnCommandHook(item, 0, nullptr, nullptr);
        const int ids[5] = {32776, 32777, 32774, 32775, 32773};
        EXPECT_EQ(host.log,
                  std::vector<std::string>{"select " + std::to_string(ids[item - 1]) + " 0"});
    }
    host.log.clear();
    m->OnCommandHook(9, 0, nullptr, nullptr);
    m->OnCommandHook(8, 1, nullptr, nullptr);
    EXPECT_TRUE(host.log.empty());
}

TEST(LayerMixer, DoubleClickOnATextLayerAsksForItsEditor) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    LOGFONTA font{};
    font.lfHeight = -40;
    font.lfWeight = FW_NORMAL;
    platform::SetFaceName(font, "DejaVu Sans");
    host.layers->AddTextItem("Hello", &font, 0x000000, 0, kPlaceFront, 0);
    ASSERT_EQ(m->m_layers.size(), 1u);
    ASSERT_EQ(m->m_pSelected->m_nKind, CLayerChannel::kText);
    const CRect framed = m->m_tracker.m_rect;
    host.log.clear();
    SendMouse(m, QEvent::MouseButtonDblClick, framed.left + 3, framed.top + 3, Qt::LeftButton,
              Qt::LeftButton);
    EXPECT_EQ(host.log, std::vector<std::string>{"select 32784 0"});

    // On a picture layer it is a plain press.
    host.AddPicture(40, 30, 0xFF0000);
    host.log.clear();
    const CRect picture = m->m_tracker.m_rect;
    const QPoint at(picture.left + 3, picture.top + 3);
    // The press tracks the frame until the button is released.
    QTimer::singleShot(0, [&] { QTest::mouseRelease(m, Qt::LeftButton, Qt::NoModifier, at); });
    SendMouse(m, QEvent::MouseButtonDblClick, at.x(), at.y(), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(m->m_tracker.m_rect, picture);
}

TEST(LayerMixer, DrawPageAtAnotherSizeComposesForItAndPutsThePageBack) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    CLayerChannel* layer = host.AddPicture(40, 30, 0x0000FF);
    host.Place(layer, 0, 0, 193, 203); // the top-left quarter
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        CDC dc(&painter, &canvas);
        const CRect dest(0, 0, 200, 100);
        const SIZE size{772, 812};
        EXPECT_TRUE(m->DrawPage(&dc, &dest, &size));
    }
    EXPECT_EQ(ScreenPixel(canvas, 20, 20), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(canvas, 150, 80), Rgb(kPageGrey));
    int w = 0, h = 0;
    m->GetPageSize(&w, &h);
    EXPECT_EQ(w, 386);
    EXPECT_EQ(h, 406);
    EXPECT_NEAR(layer->m_dWidth, 193, 1e-9);
    EXPECT_EQ(PagePixel(m->m_pPage, 100, 100), 0x0000FFu);
    EXPECT_FALSE(m->DrawPage(nullptr, nullptr, nullptr));
}

TEST(LayerMixer, ADropPointIsTakenOnceInPagePixels) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    host.Notify(kMixerId, kNotifyDrop, 12345, 141, 106);
    POINT p{0, 0};
    ASSERT_TRUE(m->TakeDropPoint(&p));
    EXPECT_EQ(CPoint(p), CPoint(100, 100));
    EXPECT_FALSE(m->TakeDropPoint(&p));

    host.Notify(kMixerId, kNotifyDrop, 12345, 141, 106);
    CLayerChannel* layer = host.AddPicture(40, 40, 0xFF0000);
    const CRect box = CLayerComposer::PageBox(layer);
    EXPECT_EQ(box.CenterPoint().x, 100);
    EXPECT_EQ(box.CenterPoint().y, 100);
}

TEST(LayerMixer, ThreeLayersWithOneSelectedLookAsDrawn) {
    MixerHost host(469, 419);
    CLayerMixer* m = host.mixer;
    CLayerChannel* back = host.AddPicture(40, 30, 0x2060C0);
    host.Place(back, 20, 40, 300, 200);
    CLayerChannel* middle = host.AddHalves(40, 30, 0xE0C020, 0x20A040);
    host.Place(middle, 150, 180, 180, 160);
    CLayerChannel* front = host.AddPicture(40, 30, 0xC02020);
    host.Place(front, 60, 260, 120, 90);
    host.layers->SetCurrentLayer(1);
    ASSERT_EQ(m->m_pSelected, middle);
    const QImage shot = host.Grab();
    // Set MORVANE_SCREENSHOT_DIR to look at it.
    if (const char* dir = std::getenv("MORVANE_SCREENSHOT_DIR"))
        shot.save(QString::fromStdString(std::string(dir) + "/mixer.png"));
    EXPECT_EQ(ScreenPixel(shot, 41 + 100, 6 + 100), 0x2060C0u);
    EXPECT_EQ(ScreenPixel(shot, 41 + 160, 6 + 220), 0xE0C020u);         // over the back layer
    EXPECT_EQ(ScreenPixel(shot, 41 + 100, 6 + 300), 0xC02020u);         // in front of all
    EXPECT_EQ(ScreenPixel(shot, 41 + 150 - 1, 6 + 250), 0x000000u);     // the frame's line
    EXPECT_EQ(ScreenPixel(shot, 41 + 150 - 5, 6 + 180 - 5), 0x000000u); // a corner handle
}
