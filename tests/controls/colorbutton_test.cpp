#include "buttontestsupport.h"
#include "controls/colorbutton.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace buttontest;

namespace {

using Log = std::vector<std::string>;

constexpr int kId = 5647321;

CColorButtonControl* AddColorButton(LoggingHost& host, COLORREF colour, int id = kId,
                                    CRect rect = CRect(0, 0, 30, 30)) {
    auto* button = new CColorButtonControl(&host, host.Widget(), id, &rect, colour, 0, 0x5001000B);
    EXPECT_TRUE(host.AddControl(button));
    return button;
}

// A chooser whose answer presses another colour button while it is open.
class NestingServices : public platform::ScopedScriptedServices {
public:
    std::optional<COLORREF> ColorDialog(QWidget* owner, COLORREF initial) override {
        if (inner) {
            CColorButtonControl* pressed = inner;
            inner = nullptr;
            pressed->click();
        }
        return ScriptedServices::ColorDialog(owner, initial);
    }
    CColorButtonControl* inner = nullptr;
};

} // namespace

TEST(ColorButton, ACancelledChooserChangesAndReportsNothing) {
    platform::ScopedScriptedServices services;
    services.colorAnswers.push_back(std::nullopt);
    LoggingHost host;
    CColorButtonControl* b = AddColorButton(host, 0x00FFFFFF);
    b->click();
    ASSERT_EQ(services.colorDialogs.size(), 1u);
    EXPECT_EQ(services.colorDialogs[0], 0x00FFFFFFu); // opened on the button's colour
    EXPECT_EQ(b->m_crColor, 0x00FFFFFFu);
    EXPECT_EQ(host.log, Log{});
}

TEST(ColorButton, ChoiceIsStoredAndReported) {
    platform::ScopedScriptedServices services;
    services.colorAnswers.push_back(RGB(0x12, 0x34, 0x56));
    LoggingHost host;
    CColorButtonControl* b = AddColorButton(host, 0x00FFFFFF);
    b->click();
    EXPECT_EQ(b->m_crColor, RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(host.log, (Log{"dword 5647321 0x563412", "select 5647321 0"}));
    // The button keeps no toggle, even with the toggle bit.
    b->m_dwFlags |= BTN_TOGGLE;
    b->click();
    EXPECT_FALSE(b->GetFlags() & BTN_TOGGLED);
}

TEST(ColorButton, SecondButtonWhileTheChooserIsOpenReportsNothing) {
    NestingServices services;
    services.colorAnswers.push_back(RGB(1, 2, 3));
    LoggingHost host;
    CColorButtonControl* outer = AddColorButton(host, 0x00FFFFFF);
    CColorButtonControl* inner = AddColorButton(host, 0x00000080, 5446475);
    services.inner = inner;
    outer->click();
    // Only one chooser was asked; the inner button, refused one, reported
    // nothing.
    EXPECT_EQ(services.colorDialogs.size(), 1u);
    EXPECT_EQ(inner->m_crColor, 0x00000080u);
    EXPECT_EQ(outer->m_crColor, RGB(1, 2, 3));
    EXPECT_EQ(host.log, (Log{"dword 5647321 0x030201", "select 5647321 0"}));
}

TEST(ColorButton, WithoutAManagerNoChooserOpens) {
    platform::ScopedScriptedServices services;
    LoggingHost host;
    CRect rect(0, 0, 30, 30);
    CColorButtonControl loose(nullptr, host.Widget(), 1, &rect, 0x123456, 0, 0);
    loose.click();
    EXPECT_TRUE(services.colorDialogs.empty());
    EXPECT_EQ(loose.m_crColor, 0x123456u);
}

TEST(ColorButton, NaturalSizeAndNeverActive) {
    LoggingHost host;
    CColorButtonControl* b = AddColorButton(host, 0);
    EXPECT_EQ(*b->GetNaturalRect(), CRect(0, 0, 20, 20));
    EXPECT_EQ(b->GetFlags() & 0x0840u, 0x0840u);
    host.SetActiveControl(nullptr);
    Move(b, 3, 3);
    EXPECT_EQ(host.GetActiveControl(), nullptr);
    EXPECT_FALSE(b->GetFlags() & BTN_HOVER);
    EXPECT_TRUE(host.log.empty());
}

TEST(ColorButton, SwatchBordersAndFramesFollowTheLook) {
    LoggingHost host;
    CColorButtonControl* b = AddColorButton(host, RGB(200, 10, 20));
    b->m_dwFlags = (b->m_dwFlags & ~0xFFu) | BTN_ENABLED;
    QImage image = RenderLook(*b, 30, 30, 0xFF00FF);
    // Outer frame: top-left dark, bottom-right black.
    EXPECT_EQ(PixelAt(image, 0, 0), 0x154449u);
    EXPECT_EQ(PixelAt(image, 29, 29), 0x000000u);
    EXPECT_EQ(PixelAt(image, 29, 0), 0x000000u); // the top-right corner is bottom-right's
    // Border bands inside it.
    EXPECT_EQ(PixelAt(image, 2, 2), 0x77ECF9u);
    EXPECT_EQ(PixelAt(image, 27, 15), 0x77ECF9u);
    EXPECT_EQ(PixelAt(image, 15, 27), 0x77ECF9u);
    // The swatch (5, 5, 25, 25) framed black / dark, the colour inside.
    EXPECT_EQ(PixelAt(image, 5, 5), 0x000000u);
    EXPECT_EQ(PixelAt(image, 24, 24), 0x154449u);
    EXPECT_EQ(PixelAt(image, 6, 6), RGB(200, 10, 20));
    EXPECT_EQ(PixelAt(image, 23, 23), RGB(200, 10, 20));

    b->m_dwFlags |= BTN_PRESSED;
    image = RenderLook(*b, 30, 30, 0xFF00FF);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x000000u);
    EXPECT_EQ(PixelAt(image, 29, 29), 0x154449u);
    EXPECT_EQ(PixelAt(image, 5, 5), 0x154449u);
    EXPECT_EQ(PixelAt(image, 24, 24), 0x000000u);

    // The disabled look, from the disabled window.
    b->Enable(FALSE);
    image = Grab(b);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x34B1BFu);
    EXPECT_EQ(PixelAt(image, 29, 29), 0x154449u);
    EXPECT_EQ(PixelAt(image, 5, 5), 0x154449u);
    EXPECT_EQ(PixelAt(image, 24, 24), 0x34B1BFu);
    EXPECT_EQ(PixelAt(image, 12, 12), RGB(200, 10, 20));
}
