#include "buttontestsupport.h"
#include "controls/button.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace buttontest;

namespace {

using Log = std::vector<std::string>;

constexpr int kId = 4711;

// A strip whose every row can be told apart: red names the band (from the
// top: disabled, normal, hover, pressed), green the row counted from the
// top, blue the column.
COLORREF StripPixel(int x, int y) {
    return RGB(40 + (y / 25) * 60, y * 2, x * 5);
}

CDIB* MakeFortyByHundredStrip() {
    return MakePicture(40, 100, StripPixel);
}

// A strip of four flat bands, each one colour.
constexpr COLORREF kBandColour[4] = {0x0000C0, 0x00C000, 0xC00000, 0x00C0C0};
CDIB* MakeFlatStrip(int width, int height) {
    return MakePicture(width, height,
                       [height](int, int y) { return kBandColour[y / (height / 4)]; });
}

// The strip row (from the top) that a look shows in its first pixel row.
int FirstRowOfLook(int k) {
    return (3 - k) * 25;
}

// Checks that every pixel of a 40 x 25 rendering is the strip's pixel of
// the look's band.
void ExpectBandDrawn(const QImage& image, int k, const char* what) {
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x) {
            const COLORREF expected = StripPixel(x, FirstRowOfLook(k) + y);
            const COLORREF actual = PixelAt(image, x, y);
            if (actual != expected) {
                ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") expected 0x"
                              << std::hex << expected << " got 0x" << actual;
                return;
            }
        }
}

CButtonControl* AddButton(LoggingHost& host, CRect rect, const char* caption = "", DWORD flags = 0,
                          DWORD style = 0, int id = kId) {
    auto* button = new CButtonControl(&host, host.Widget(), id, &rect, caption, flags, style);
    EXPECT_TRUE(host.AddControl(button));
    return button;
}

} // namespace

TEST(ButtonLooks, PrecedenceIsDisabledHoverPressedToggledNormal) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25));
    const DWORD toggledOn = BTN_TOGGLE | BTN_TOGGLED;
    const std::vector<std::pair<DWORD, int>> cases = {
        {0, kLookNormal},
        {BTN_ENABLED, kLookNormal},
        {BTN_PRESSED, kLookPressed},
        {BTN_HOVER, kLookHover},
        {BTN_HOVER | BTN_PRESSED, kLookHover},
        {BTN_DISABLED | BTN_HOVER | BTN_PRESSED | toggledOn, kLookDisabled},
        {toggledOn, kLookPressed},
        {toggledOn | BTN_HOVER, kLookHover},
        {BTN_TOGGLED, kLookNormal}, // toggled on counts only on a toggle button
        {BTN_TOGGLE, kLookNormal},
    };
    for (const auto& [flags, look] : cases) {
        b->m_dwFlags = CTRL_NATURAL_MIN | flags;
        EXPECT_EQ(b->LookIndex(), look) << "flags 0x" << std::hex << flags;
    }
}

TEST(ButtonLooks, FortyByHundredStripHasBandsOfTwentyFiveRowsFromTheBottom) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25));
    EXPECT_EQ(b->StripBand(kLookDisabled), CRect()); // no strip yet
    ASSERT_TRUE(b->SetBitmap(MakeFortyByHundredStrip()));
    EXPECT_EQ(b->StripBand(kLookPressed), CRect(0, 0, 40, 25));
    EXPECT_EQ(b->StripBand(kLookHover), CRect(0, 25, 40, 50));
    EXPECT_EQ(b->StripBand(kLookNormal), CRect(0, 50, 40, 75));
    EXPECT_EQ(b->StripBand(kLookDisabled), CRect(0, 75, 40, 100));
    // Rows left over by the division by four are never shown: they are the
    // top rows, above the disabled picture.
    ASSERT_TRUE(b->SetBitmap(MakePicture(40, 103, StripPixel)));
    EXPECT_EQ(b->StripBand(kLookDisabled), CRect(0, 75, 40, 100));
}

TEST(ButtonPaint, EachLookDrawsItsBandRowForRow) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25), "", BTN_TOGGLE);
    ASSERT_TRUE(b->SetBitmap(MakeFortyByHundredStrip()));
    b->m_dwFlags = (b->m_dwFlags & ~0xFFu) | BTN_ENABLED;
    ExpectBandDrawn(RenderLook(*b, 40, 25, 0xFF00FF), kLookNormal, "normal");
    b->m_dwFlags |= BTN_PRESSED;
    ExpectBandDrawn(RenderLook(*b, 40, 25, 0xFF00FF), kLookPressed, "pressed");
    b->m_dwFlags |= BTN_HOVER;
    ExpectBandDrawn(RenderLook(*b, 40, 25, 0xFF00FF), kLookHover, "hover while pressed");
    b->m_dwFlags |= BTN_DISABLED;
    ExpectBandDrawn(RenderLook(*b, 40, 25, 0xFF00FF), kLookDisabled, "disabled");
    b->m_dwFlags &= ~(BTN_DISABLED | BTN_HOVER | BTN_PRESSED);
    b->SetCheck(TRUE);
    ExpectBandDrawn(RenderLook(*b, 40, 25, 0xFF00FF), kLookPressed, "toggled on");
}

TEST(ButtonPaint, WindowShowsHoverFromActivationAndDisabledLook) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(10, 10, 50, 35));
    CButtonControl* other = AddButton(host, CRect(60, 10, 100, 35), "", 0, 0, kId + 1);
    ASSERT_TRUE(b->SetBitmap(MakeFortyByHundredStrip()));
    ExpectBandDrawn(Grab(b), kLookNormal, "at rest");
    EXPECT_TRUE(b->GetFlags() & BTN_ENABLED);

    // The mouse over the button makes it the active control: hover look,
    // and it stays through later paints of the window.
    Move(b, 5, 5);
    EXPECT_EQ(host.GetActiveControl(), b);
    EXPECT_TRUE(b->GetFlags() & BTN_HOVER);
    ExpectBandDrawn(Grab(b), kLookHover, "active");
    ExpectBandDrawn(Grab(b), kLookHover, "active, painted again");

    // Held down, the button shows its pressed picture: the paint of the
    // press takes the hover look away while the button stays active.
    b->setDown(true);
    ExpectBandDrawn(Grab(b), kLookPressed, "pressed while active");
    EXPECT_TRUE(b->GetFlags() & BTN_PRESSED);
    EXPECT_FALSE(b->GetFlags() & BTN_HOVER);
    EXPECT_EQ(host.GetActiveControl(), b);

    // Moving on to another control ends the activation in order.
    Move(other, 5, 5);
    EXPECT_EQ(host.log, (Log{"activate 4711 1", "activate 4711 0", "activate 4712 1"}));
    ExpectBandDrawn(Grab(b), kLookPressed, "pressed, no longer active");
    b->setDown(false);
    ExpectBandDrawn(Grab(b), kLookNormal, "released");

    // A disabled window shows the disabled picture, even when active.
    host.SetActiveControl(b);
    b->Enable(FALSE);
    ExpectBandDrawn(Grab(b), kLookDisabled, "disabled");
    EXPECT_TRUE(b->GetFlags() & BTN_DISABLED);
    b->Enable(TRUE);
    ExpectBandDrawn(Grab(b), kLookHover, "enabled again");
    EXPECT_FALSE(b->GetFlags() & BTN_DISABLED);
    EXPECT_TRUE(b->GetFlags() & BTN_ENABLED);
}

TEST(ButtonPaint, KeepAspectFitsAHundredByFiftyPictureCentredInSixtyBySixty) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 60, 60), "", BTN_KEEP_ASPECT);
    ASSERT_TRUE(b->SetBitmap(MakeFlatStrip(100, 200)));
    b->m_dwFlags |= BTN_ENABLED;
    const QImage image = RenderLook(*b, 60, 60, 0xFF00FF);
    // The picture lands at (0, 15, 60, 45); the rest is left as it was.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const COLORREF expected = (y >= 15 && y < 45) ? kBandColour[1] : 0xFF00FF;
            ASSERT_EQ(PixelAt(image, x, y), expected) << "pixel (" << x << ", " << y << ")";
        }
    // The grabbed window shows the same band in the same rows.
    const QImage grabbed = Grab(b);
    for (int y = 15; y < 45; ++y)
        ASSERT_EQ(PixelAt(grabbed, 30, y), kBandColour[1]) << "row " << y;
    EXPECT_NE(PixelAt(grabbed, 30, 14), kBandColour[1]);
    EXPECT_NE(PixelAt(grabbed, 30, 45), kBandColour[1]);

    // Without the bit the picture is stretched over the window.
    b->m_dwFlags &= ~BTN_KEEP_ASPECT;
    const QImage stretched = RenderLook(*b, 60, 60, 0xFF00FF);
    EXPECT_EQ(PixelAt(stretched, 0, 0), kBandColour[1]);
    EXPECT_EQ(PixelAt(stretched, 59, 59), kBandColour[1]);
}

TEST(ButtonBehaviour, ClicksFireSelectsAndFlipTheToggle) {
    LoggingHost host;
    CButtonControl* plain = AddButton(host, CRect(0, 0, 40, 25));
    CButtonControl* toggle = AddButton(host, CRect(50, 0, 90, 25), "", BTN_TOGGLE, 0, kId + 1);
    plain->click();
    EXPECT_FALSE(plain->GetFlags() & BTN_TOGGLED);
    toggle->click();
    EXPECT_TRUE(toggle->GetFlags() & BTN_TOGGLED);
    toggle->click();
    EXPECT_FALSE(toggle->GetFlags() & BTN_TOGGLED);
    EXPECT_EQ(host.log, (Log{"select 4711 0", "select 4712 0", "select 4712 0"}));

    // The mouse: a press and a release give one click.
    host.log.clear();
    Press(toggle, 5, 5);
    EXPECT_TRUE(host.log.empty());
    Release(toggle, 5, 5);
    EXPECT_EQ(host.log, (Log{"select 4712 0"}));
    EXPECT_TRUE(toggle->GetFlags() & BTN_TOGGLED);

    // A double click is two clicks: the toggle ends where it started.
    host.log.clear();
    Press(toggle, 5, 5);
    Release(toggle, 5, 5);
    DoubleClick(toggle, 5, 5);
    Release(toggle, 5, 5);
    EXPECT_EQ(host.log, (Log{"select 4712 0", "select 4712 0"}));
    EXPECT_TRUE(toggle->GetFlags() & BTN_TOGGLED);

    // Without a manager a click notifies nobody.
    CRect r(0, 0, 10, 10);
    CButtonControl loose(nullptr, host.Widget(), 9, &r, "", 0, 0);
    EXPECT_FALSE(loose.Fire(0));
}

TEST(ButtonBehaviour, SetCheckAnswersThePreviousToggledState) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25), "", BTN_TOGGLE);
    EXPECT_FALSE(b->SetCheck(TRUE));
    EXPECT_TRUE(b->SetCheck(TRUE));
    EXPECT_TRUE(b->GetFlags() & BTN_TOGGLED);
    EXPECT_TRUE(b->SetCheck(FALSE));
    EXPECT_FALSE(b->SetCheck(FALSE));
    EXPECT_FALSE(b->GetFlags() & BTN_TOGGLED);
    EXPECT_TRUE(host.log.empty()); // presetting notifies nobody
}

TEST(ButtonStrip, SetBitmapHoldsOneCacheReferencePerStrip) {
    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25));
    EXPECT_FALSE(b->SetBitmap(nullptr));
    EXPECT_FALSE(b->GetFlags() & BTN_STRIP);

    CDIB* first = MakeFortyByHundredStrip();
    ASSERT_TRUE(b->SetBitmap(first));
    EXPECT_EQ(b->GetStrip(), first);
    EXPECT_EQ(b->GetFlags() & BTN_STRIP, BTN_STRIP);
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(host.Images().GetCount(), 1);
    // The same strip again keeps its single reference.
    ASSERT_TRUE(b->SetBitmap(first));
    EXPECT_EQ(first->GetRefCount(), 1);

    // Another strip gives the first back to the cache, which lets it go.
    CDIB* second = MakeFortyByHundredStrip();
    ASSERT_TRUE(b->SetBitmap(second));
    EXPECT_EQ(b->GetStrip(), second);
    EXPECT_EQ(host.Images().GetCount(), 1);
    EXPECT_EQ(second->GetRefCount(), 1);

    b->ReleaseBitmap();
    EXPECT_EQ(b->GetStrip(), nullptr);
    EXPECT_EQ(host.Images().GetCount(), 0);

    // Without a manager nothing is taken.
    CRect r(0, 0, 10, 10);
    CButtonControl loose(nullptr, host.Widget(), 9, &r, "", 0, 0);
    CDIB* third = MakeFortyByHundredStrip();
    EXPECT_FALSE(loose.SetBitmap(third));
    EXPECT_FALSE(loose.SetBitmapFile("anything.bmp"));
    delete third;
}

TEST(ButtonStrip, SetBitmapFileLoadsThroughTheCacheAndKeepsTheStripOnFailure) {
    testsupport::TempDir dir;
    CDIB* picture = MakeFortyByHundredStrip();
    const std::string path = (dir.Path() / "istrip.bmp").string();
    ASSERT_TRUE(picture->WriteBitmapFile(path));
    delete picture;

    LoggingHost host;
    CButtonControl* b = AddButton(host, CRect(0, 0, 40, 25));
    CButtonControl* twin = AddButton(host, CRect(50, 0, 90, 25), "", 0, 0, kId + 1);
    ASSERT_TRUE(b->SetBitmapFile(path.c_str()));
    ASSERT_TRUE(twin->SetBitmapFile(path.c_str()));
    EXPECT_EQ(b->GetStrip(), twin->GetStrip()); // loaded once, shared
    EXPECT_EQ(b->GetStrip()->GetRefCount(), 2);
    ExpectBandDrawn(Grab(b), kLookNormal, "loaded strip");

    {
        platform::ScopedScriptedServices services;
        CDIB* before = b->GetStrip();
        EXPECT_FALSE(b->SetBitmapFile((dir.Path() / "imissing.bmp").string().c_str()));
        EXPECT_EQ(b->GetStrip(), before);
    }
    // Loading the same name again keeps the count.
    ASSERT_TRUE(b->SetBitmapFile(path.c_str()));
    EXPECT_EQ(b->GetStrip()->GetRefCount(), 2);
}

TEST(ButtonNatural, PictureButtonsAreTheMarginBoxTextButtonsFollowTheirCaption) {
    LoggingHost host;
    CButtonControl* picture = AddButton(host, CRect(0, 0, 200, 40));
    EXPECT_EQ(*picture->GetNaturalRect(), CRect(0, 0, 26, 26));
    EXPECT_TRUE(picture->GetFlags() & CTRL_NATURAL_MIN);

    CButtonControl* text = AddButton(host, CRect(0, 50, 200, 90), "Volledig T-shirt\nKlein", 0,
                                     BS_AUTORADIOBUTTON, kId + 1);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(text->font());
    CDC dc(&painter, &scratch);
    CRect expected(0, 0, 1000, 1000);
    dc.DrawText("Volledig T-shirt\nKlein", &expected, DT_CALCRECT);
    ASSERT_GT(expected.Width(), 0);
    const CRect natural = *text->GetNaturalRect();
    EXPECT_EQ(natural, CRect(0, 0, 10 + expected.Width(), 10 + expected.Height()));
    EXPECT_GT(natural.Height(), 2 * 10); // two lines

    text->m_dwFlags |= BTN_STRIP_NATURAL;
    EXPECT_EQ(*text->GetNaturalRect(), CRect(0, 0, 26, 26));
}

TEST(TextButtons, AreDrawnByTheStyleAndNeverUseTheirStrip) {
    LoggingHost host;
    CButtonControl* push = AddButton(host, CRect(0, 0, 120, 30), "OK");
    EXPECT_FALSE(push->IsOwnerDrawn());
    ASSERT_TRUE(push->SetBitmap(MakeFlatStrip(40, 100)));
    const QImage image = Grab(push);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (COLORREF band : kBandColour)
                ASSERT_NE(PixelAt(image, x, y), band) << "strip colour at " << x << ", " << y;
    const QImage empty = RenderLook(*push, 120, 30, 0xFF00FF);
    EXPECT_EQ(PixelAt(empty, 60, 15), 0xFF00FFu); // OnPaint draws no strip either
}

TEST(TextButtons, RadioButtonsAndCheckBoxesKeepTheWindowsCheck) {
    LoggingHost host;
    CButtonControl* first = AddButton(host, CRect(0, 0, 150, 25), "Volledig T-shirt", BTN_TOGGLE,
                                      BS_AUTORADIOBUTTON, 1);
    CButtonControl* second =
        AddButton(host, CRect(0, 30, 150, 55), "Klein logo", 0, BS_AUTORADIOBUTTON, 2);
    CButtonControl* box =
        AddButton(host, CRect(0, 60, 150, 85), "Pagina vullen", BTN_TOGGLE, BS_AUTOCHECKBOX, 3);
    CButtonControl* push = AddButton(host, CRect(0, 90, 150, 115), "OK", 0, 0, 4);
    EXPECT_EQ(first->m_dwStyle, 0x50010009u);
    EXPECT_EQ(box->m_dwStyle, 0x50010003u);

    EXPECT_FALSE(first->SetCheck(TRUE));
    EXPECT_EQ(first->GetCheck(), BST_CHECKED);
    EXPECT_EQ(second->GetCheck(), BST_UNCHECKED);
    // A click on the second radio button ticks it and unticks the first.
    second->click();
    EXPECT_EQ(first->GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(second->GetCheck(), BST_CHECKED);
    // Unticking by program works, also on the ticked radio button.
    second->SetCheck(FALSE);
    EXPECT_EQ(second->GetCheck(), BST_UNCHECKED);

    // The check box ticks itself and flips its toggle with each click.
    box->click();
    EXPECT_EQ(box->GetCheck(), BST_CHECKED);
    EXPECT_TRUE(box->GetFlags() & BTN_TOGGLED);
    box->click();
    EXPECT_EQ(box->GetCheck(), BST_UNCHECKED);
    EXPECT_FALSE(box->GetFlags() & BTN_TOGGLED);

    push->SetCheck(TRUE);
    EXPECT_EQ(push->GetCheck(), BST_UNCHECKED); // push buttons have no check
    EXPECT_EQ(host.log, (Log{"select 2 0", "select 3 0", "select 3 0"}));
}
