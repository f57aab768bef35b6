#include "buttontestsupport.h"
#include "controls/cyclebutton.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/popupmenu.h"
#include "platform/window.h"
#include "testsupport.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace buttontest;

namespace {

using Log = std::vector<std::string>;

constexpr int kId = 45544065;

CCycleButtonControl* AddCycle(LoggingHost& host, CRect rect = CRect(10, 10, 130, 60)) {
    auto* cycle = new CCycleButtonControl(&host, host.Widget(), kId, &rect, 0, 0);
    EXPECT_TRUE(host.AddControl(cycle));
    return cycle;
}

// A cycle button with the three alignment captions and the given index.
CCycleButtonControl* AddAlignmentCycle(LoggingHost& host, int current) {
    CCycleButtonControl* cycle = AddCycle(host);
    for (const char* text : {"Links", "Gecentreerd", "Rechts"})
        cycle->AddTextItem(text, nullptr, 0, 0, kPlaceEnd, 0);
    cycle->SetCurrent(current);
    host.log.clear();
    return cycle;
}

Log Reported(int index) {
    return {"int 45544065 " + std::to_string(index), "select 45544065 0"};
}

// A group stand-in that counts what the cycle button asks of it.
class GroupProbe : public CControlBase {
public:
    explicit GroupProbe(CControlManager* manager) : CControlBase(manager, nullptr, 77, &kRect, 0) {}
    void Relayout() override { ++relayouts; }
    void Redraw(const RECT*, int) override { ++redraws; }
    int relayouts = 0;
    int redraws = 0;

private:
    static constexpr CRect kRect{0, 0, 10, 10};
};

CSize TextSize(const QFont& font, const std::string& text) {
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter painter(&scratch);
    painter.setFont(font);
    CDC dc(&painter, &scratch);
    CRect r(0, 0, 1000, 1000);
    dc.DrawText(text, &r, DT_CALCRECT);
    return r.Size();
}

} // namespace

TEST(CycleButton, ConstructionReportsIndexZeroOnceAndStartsDisabled) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    EXPECT_EQ(host.log, Reported(0));
    EXPECT_EQ(cycle->m_nCurrent, 0);
    EXPECT_EQ(cycle->GetFlags() & 0x0840u, 0x0840u);
    EXPECT_FALSE(cycle->m_bShowSelector); // no items, no selector box
    EXPECT_FALSE(cycle->isEnabled());
    EXPECT_EQ(cycle->GetCurrentItem(), nullptr);
    EXPECT_EQ(cycle->m_crBackground, 0x77ECF9u);
    EXPECT_TRUE(cycle->GetFlags() & CTRL_OWN_BRUSH);
}

TEST(CycleButton, SetCurrentNotifiesTheSameIndexAgainOnlyOnceItemsWereAdded) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    host.log.clear();
    EXPECT_TRUE(cycle->SetCurrent(0));
    EXPECT_TRUE(host.log.empty());
    EXPECT_FALSE(cycle->SetCurrent(1));
    EXPECT_FALSE(cycle->SetCurrent(-1));

    cycle->AddTextItem("Links", nullptr, 0, 0, kPlaceEnd, 0);
    cycle->AddTextItem("Rechts", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_TRUE(host.log.empty()); // adding notifies nobody
    EXPECT_TRUE(cycle->SetCurrent(0));
    EXPECT_TRUE(cycle->SetCurrent(1));
    EXPECT_TRUE(cycle->SetCurrent(1));
    Log expected = Reported(0);
    for (int i : {1, 1})
        for (const std::string& line : Reported(i))
            expected.push_back(line);
    EXPECT_EQ(host.log, expected);
    EXPECT_FALSE(cycle->SetCurrent(2));
    EXPECT_TRUE(cycle->isEnabled());
    EXPECT_TRUE(cycle->m_bShowSelector);
}

TEST(CycleButton, PressInTheSelectorStepsForwardAndWithShiftBackward) {
    platform::ScopedScriptedPopupMenus menus;
    LoggingHost host;
    CCycleButtonControl* cycle = AddAlignmentCycle(host, 2);
    ASSERT_TRUE(cycle->m_bShowSelector);
    // The selector area is the left quarter: x < 120 / 4.
    Press(cycle, 29, 20);
    Release(cycle, 29, 20);
    EXPECT_EQ(cycle->m_nCurrent, 0); // wrapped past the last item
    EXPECT_EQ(host.log, Reported(0));

    host.log.clear();
    Press(cycle, 5, 20, Qt::ShiftModifier);
    Release(cycle, 5, 20, Qt::ShiftModifier);
    EXPECT_EQ(cycle->m_nCurrent, 2); // wrapped back to the last item
    EXPECT_EQ(host.log, Reported(2));

    host.log.clear();
    Press(cycle, 5, 20, Qt::ShiftModifier);
    Release(cycle, 5, 20, Qt::ShiftModifier);
    EXPECT_EQ(cycle->m_nCurrent, 1);
    EXPECT_EQ(host.log, Reported(1));
    EXPECT_TRUE(menus.menus.empty());

    // A click from the keyboard steps too, in the last press's direction.
    host.log.clear();
    cycle->click();
    EXPECT_EQ(cycle->m_nCurrent, 0);
    EXPECT_EQ(host.log, Reported(0));
}

TEST(CycleButton, CtrlPressInTheSelectorOnlyTogglesTheSelectorBox) {
    platform::ScopedScriptedPopupMenus menus;
    LoggingHost host;
    CCycleButtonControl* cycle = AddAlignmentCycle(host, 1);
    const CRect withBox = *cycle->GetNaturalRect();
    Press(cycle, 10, 20, Qt::ControlModifier);
    Release(cycle, 10, 20, Qt::ControlModifier);
    EXPECT_FALSE(cycle->m_bShowSelector);
    EXPECT_EQ(cycle->m_nCurrent, 1);
    EXPECT_TRUE(host.log.empty());
    EXPECT_TRUE(menus.menus.empty());
    EXPECT_EQ(cycle->GetNaturalRect()->Width(), withBox.Width() - 30);
    // The next update sets the box again from the item count.
    cycle->UpdateLook();
    EXPECT_TRUE(cycle->m_bShowSelector);
}

TEST(CycleButton, PressOutsideTheSelectorOpensTheItemMenuAndItsChoiceSelects) {
    platform::ScopedScriptedPopupMenus menus;
    LoggingHost host;
    CCycleButtonControl* cycle = AddAlignmentCycle(host, 0);
    QImage whileOpen;
    menus.whileOpen = [&](CMenu&) { whileOpen = Grab(cycle); };
    menus.answers.push_back(3);
    Press(cycle, 80, 20);
    Release(cycle, 80, 20);
    EXPECT_EQ(cycle->m_nCurrent, 2);
    EXPECT_EQ(host.log, Reported(2)); // the menu's choice only; the press does not step

    ASSERT_EQ(menus.menus.size(), 1u);
    const platform::PopupMenuRecord& menu = menus.menus[0];
    ASSERT_EQ(menu.items.size(), 3u);
    EXPECT_EQ(menu.items[0].text, "Links");
    EXPECT_EQ(menu.items[1].text, "Gecentreerd");
    EXPECT_EQ(menu.items[2].text, "Rechts");
    for (UINT i = 0; i < 3; ++i) {
        EXPECT_EQ(menu.items[i].id, i + 1);
        EXPECT_EQ(menu.items[i].flags, 0u);
    }
    EXPECT_EQ(menu.flags, TPM_CENTERALIGN);
    EXPECT_EQ(menu.owner, cycle);
    const POINT origin = platform::ClientToScreen(cycle, POINT{0, 0});
    EXPECT_EQ(CPoint(menu.point),
              CPoint(origin.x + 75, origin.y + 47)); // 0.625 and 0.95 of 120 x 50

    // While the menu is up the current text sits on the highlight.
    ASSERT_FALSE(whileOpen.isNull());
    EXPECT_EQ(PixelAt(whileOpen, 37, 6), 0xAAAAAAu);
    EXPECT_FALSE(cycle->m_bMenuOpen);
    EXPECT_EQ(PixelAt(Grab(cycle), 37, 6), 0x77ECF9u);

    // A dismissed menu changes nothing.
    host.log.clear();
    menus.whileOpen = nullptr;
    Press(cycle, 80, 20);
    Release(cycle, 80, 20);
    EXPECT_EQ(cycle->m_nCurrent, 2);
    EXPECT_TRUE(host.log.empty());
    EXPECT_FALSE(cycle->isDown());
}

TEST(CycleButton, WithTheSelectorHiddenAPressOnTheLeftOpensTheMenuAndMarksAStep) {
    platform::ScopedScriptedPopupMenus menus;
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    cycle->AddTextItem("Alleen", nullptr, 0, 0, kPlaceEnd, 0);
    cycle->SetCurrent(0);
    ASSERT_FALSE(cycle->m_bShowSelector);
    host.log.clear();
    Press(cycle, 10, 20);
    ASSERT_EQ(menus.menus.size(), 1u);
    const POINT origin = platform::ClientToScreen(cycle, POINT{0, 0});
    EXPECT_EQ(CPoint(menus.menus[0].point), CPoint(origin.x + 60, origin.y + 47));
    EXPECT_TRUE(cycle->m_bStepPending);
    Release(cycle, 10, 20);
    EXPECT_TRUE(host.log.empty());
}

TEST(CycleButton, MenuCommandOneOnAnEmptyListSelectsIndexZero) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    host.log.clear();
    // A fresh button: index 0 is current already and nothing was added.
    cycle->OnCommandHook(1, 0, nullptr, nullptr);
    EXPECT_TRUE(host.log.empty());

    cycle->AddTextItem("Links", nullptr, 0, 0, kPlaceEnd, 0);
    cycle->RemoveAllItems();
    EXPECT_EQ(host.log, Reported(0));
    host.log.clear();
    cycle->OnCommandHook(1, 0, nullptr, nullptr);
    EXPECT_EQ(host.log, Reported(0));
    EXPECT_EQ(cycle->m_nCurrent, 0);

    host.log.clear();
    cycle->OnCommandHook(2, 0, nullptr, nullptr); // past the end
    cycle->OnCommandHook(0, 0, nullptr, nullptr); // no item
    cycle->OnCommandHook(1, 1, nullptr, nullptr); // not a command
    EXPECT_TRUE(host.log.empty());
}

TEST(CycleButton, SwapItemsLeavesTheCurrentIndex) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddAlignmentCycle(host, 1);
    const int serial1 = cycle->GetItem(1)->serial, serial2 = cycle->GetItem(2)->serial;
    EXPECT_TRUE(cycle->SwapItems(1, 2));
    EXPECT_EQ(cycle->m_nCurrent, 1);
    EXPECT_EQ(cycle->GetCurrentItem()->text, "Rechts");
    EXPECT_EQ(cycle->GetItem(1)->serial, serial2);
    EXPECT_EQ(cycle->GetItem(2)->serial, serial1);
    EXPECT_EQ(cycle->GetItem(2)->text, "Gecentreerd");
    EXPECT_FALSE(cycle->SwapItems(0, 0));
    EXPECT_FALSE(cycle->SwapItems(0, 3));
    EXPECT_FALSE(cycle->SwapItems(-1, 0));
    EXPECT_TRUE(host.log.empty());
}

TEST(CycleButton, ItemsArePlacedAtTheFrontTheEndOrAnIndex) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    LOGFONT font{};
    font.lfHeight = -17;
    platform::SetFaceName(font, "Arial");
    EXPECT_EQ(cycle->AddTextItem("b", nullptr, 0, 0, kPlaceEnd, 0), 0);
    EXPECT_EQ(cycle->AddTextItem("a", &font, 0x00FF00, 2, kPlaceFront, 0), 0);
    EXPECT_EQ(cycle->AddTextItem("c", nullptr, 0, 0, kPlaceEnd, 0), 2);
    EXPECT_EQ(cycle->AddTextItem("x", nullptr, 0, 0, kPlaceAt, 1), 1);
    EXPECT_EQ(cycle->AddTextItem("y", nullptr, 0, 0, kPlaceAt, 9), -1);
    EXPECT_EQ(cycle->AddTextItem("y", nullptr, 0, 0, kPlaceAt, -1), -1);
    EXPECT_EQ(cycle->AddTextItem("y", nullptr, 0, 0, 3, 0), -1);
    EXPECT_EQ(cycle->AddTextItem(static_cast<const char*>(nullptr), nullptr, 0, 0, kPlaceEnd, 0),
              0);
    ASSERT_EQ(cycle->GetItemCount(), 4);
    const char* order[] = {"a", "x", "b", "c"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(cycle->GetItem(i)->text, order[i]);

    const multimenu_package& a = *cycle->GetItem(0);
    EXPECT_EQ(a.kind, MMP_TEXT);
    EXPECT_EQ(a.opacity, 255);
    EXPECT_EQ(a.changed, 0);
    EXPECT_EQ(a.flags, 0u);
    EXPECT_EQ(a.font.lfHeight, -17);
    EXPECT_STREQ(a.font.lfFaceName, "Arial");
    EXPECT_EQ(a.data1, 0x00FF00);
    EXPECT_EQ(a.data2, 2);
    EXPECT_EQ(cycle->GetItem(2)->font.lfHeight, 0); // no font given
    EXPECT_NE(cycle->GetItem(2)->serial, 0);
    EXPECT_GT(cycle->GetItem(3)->serial, cycle->GetItem(2)->serial);
    EXPECT_TRUE(cycle->m_bForce);

    // Removal keeps the index, even when it now points past the end.
    cycle->SetCurrent(3);
    host.log.clear();
    EXPECT_TRUE(cycle->RemoveItem(3));
    EXPECT_FALSE(cycle->RemoveItem(3));
    EXPECT_EQ(cycle->m_nCurrent, 3);
    EXPECT_EQ(cycle->GetCurrentItem(), nullptr);
    EXPECT_TRUE(host.log.empty());
}

TEST(CycleButton, PictureItemsHoldAReferenceInBothCaches) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    CDIB* image = MakePicture(20, 10, [](int, int) { return RGB(200, 0, 0); });
    image->EnsureParts(CDIB::kImage);
    EXPECT_EQ(cycle->AddPictureItem(image, 40, 20, kPlaceEnd, 0), 0);
    EXPECT_EQ(cycle->GetItem(0)->kind, MMP_PICTURE);
    EXPECT_EQ(cycle->GetItem(0)->cx, 40);
    EXPECT_EQ(cycle->GetItem(0)->image, image);
    EXPECT_EQ(cycle->GetItem(0)->palette, host.GetPalette());
    EXPECT_EQ(image->GetRefCount(), 2);
    EXPECT_EQ(host.Images().GetCount(), 1);
    EXPECT_EQ(cycle->m_images.GetCount(), 1);

    // Removing the item gives both references back; the picture goes.
    EXPECT_TRUE(cycle->RemoveItem(0));
    EXPECT_EQ(host.Images().GetCount(), 0);
    EXPECT_EQ(cycle->m_images.GetCount(), 0);

    CDIB* kept = MakePicture(20, 10, [](int, int) { return RGB(0, 200, 0); });
    host.Images().Add(kept, CDIB::kImage); // someone else holds it as well
    cycle->AddPictureItem(kept, 40, 20, kPlaceEnd, 0);
    cycle->AddTextItem("tekst", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_EQ(kept->GetRefCount(), 3);
    host.log.clear();
    cycle->RemoveAllItems();
    EXPECT_EQ(cycle->GetItemCount(), 0);
    EXPECT_EQ(kept->GetRefCount(), 1);
    EXPECT_EQ(cycle->m_images.GetCount(), 0);
    EXPECT_EQ(host.log, Reported(0));
}

TEST(CycleButton, AThumbnailOnlyPictureIsShownByItsThumbnail) {
    testsupport::TempDir dir;
    CDIB* file = MakePicture(20, 10, [](int, int) { return RGB(0, 0, 250); });
    ASSERT_TRUE(file->WriteBitmapFile((dir.Path() / "tflower.bmp").string()));
    ASSERT_TRUE(file->WriteBitmapFile((dir.Path() / "iflower.bmp").string()));
    delete file;
    auto* image = new CDIB;
    ASSERT_TRUE(image->Load((dir.Path() / "iflower.bmp").string(), CDIB::kThumbnail, 1));
    ASSERT_NE(image->GetThumbnail(), nullptr);

    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    cycle->AddPictureItem(image, 20, 10, kPlaceEnd, 0);
    cycle->SetCurrent(0);
    EXPECT_EQ(cycle->GetItem(0)->kind, MMP_THUMBNAIL);
    EXPECT_EQ(ItemPicture(*cycle->GetItem(0)), image->GetThumbnail());
    EXPECT_EQ(PixelAt(Grab(cycle), 60, 25), RGB(0, 0, 250));
}

TEST(CycleButton, NaturalSizeFitsItemsSelectorAndMargins) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    EXPECT_EQ(*cycle->GetNaturalRect(), CRect(0, 0, 20, 10));
    CDIB* wide = MakePicture(4, 4, [](int, int) { return 0; });
    CDIB* tall = MakePicture(4, 4, [](int, int) { return 0; });
    cycle->AddPictureItem(wide, 40, 20, kPlaceEnd, 0);
    cycle->SetCurrent(0);
    EXPECT_FALSE(cycle->m_bShowSelector);
    EXPECT_EQ(*cycle->GetNaturalRect(), CRect(0, 0, 61, 31));
    cycle->AddPictureItem(tall, 30, 30, kPlaceEnd, 0);
    cycle->SetCurrent(0);
    EXPECT_EQ(*cycle->GetNaturalRect(), CRect(0, 0, 91, 41));

    LoggingHost textHost;
    CCycleButtonControl* texts = AddAlignmentCycle(textHost, 0);
    const CSize size = TextSize(texts->font(), "Gecentreerd");
    const int height = std::max(size.cy + 10, 30);
    EXPECT_EQ(*texts->GetNaturalRect(), CRect(0, 0, size.cx + 30 + 10 + 26, height));
}

TEST(CycleButton, AGrownNaturalSizeLaysTheGroupOutAgain) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    GroupProbe group(&host);
    cycle->m_pGroup = &group;
    cycle->AddTextItem("Gecentreerd", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_EQ(group.relayouts, 1);
    EXPECT_EQ(group.redraws, 1);
    cycle->AddTextItem("Ab", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_EQ(group.relayouts, 1);
    cycle->AddTextItem("Gecentreerd en meer", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_EQ(group.relayouts, 2);
    host.EnablePaint(FALSE);
    cycle->AddTextItem("Gecentreerd en nog veel meer", nullptr, 0, 0, kPlaceEnd, 0);
    EXPECT_EQ(group.relayouts, 3);
    EXPECT_EQ(group.redraws, 2); // no redraw while painting is off
    host.EnablePaint(TRUE);
    cycle->m_pGroup = nullptr;
}

TEST(CycleButton, DrawsTheCurrentPictureScaledCentredAndFramed) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host); // 120 x 50
    CDIB* red = MakePicture(20, 10, [](int, int) { return RGB(220, 0, 0); });
    cycle->AddPictureItem(red, 20, 10, kPlaceEnd, 0);
    cycle->SetCurrent(0);
    // Scaled by 50 * 0.82 / 10 to 82 x 41, centred on half the width.
    QImage image = Grab(cycle);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x154449u);
    EXPECT_EQ(PixelAt(image, 119, 49), 0x000000u);
    EXPECT_EQ(PixelAt(image, 10, 25), 0x77ECF9u);
    EXPECT_EQ(PixelAt(image, 19, 4), 0x154449u);
    EXPECT_EQ(PixelAt(image, 100, 44), 0x000000u);
    EXPECT_EQ(PixelAt(image, 20, 5), RGB(220, 0, 0));
    EXPECT_EQ(PixelAt(image, 99, 43), RGB(220, 0, 0));
    EXPECT_EQ(PixelAt(image, 101, 25), 0x77ECF9u);

    // With two items the selector box shows and the picture moves right.
    CDIB* green = MakePicture(20, 10, [](int, int) { return RGB(0, 220, 0); });
    cycle->AddPictureItem(green, 20, 10, kPlaceEnd, 0);
    cycle->SetCurrent(1);
    image = Grab(cycle);
    EXPECT_EQ(PixelAt(image, 34, 4), 0x154449u);
    EXPECT_EQ(PixelAt(image, 60, 25), RGB(0, 220, 0));
    EXPECT_EQ(PixelAt(image, 6, 25), 0x323232u);  // box side, thick pen
    EXPECT_EQ(PixelAt(image, 12, 25), 0x77ECF9u); // hollow inside
    EXPECT_EQ(PixelAt(image, 35, 46), 0x323232u); // divider line
    EXPECT_EQ(PixelAt(image, 36, 46), 0x77ECF9u);

    // Disabled: its own background and the disabled pens and frame.
    cycle->Enable(FALSE);
    image = Grab(cycle);
    EXPECT_EQ(PixelAt(image, 0, 0), 0x34B1BFu);
    EXPECT_EQ(PixelAt(image, 12, 25), 0x28645Au);
    EXPECT_EQ(PixelAt(image, 6, 25), 0x828282u);
}

TEST(CycleButton, CheckedTextItemsShowTheCheckPicture) {
    LoggingHost host;
    CCycleButtonControl* cycle = AddAlignmentCycle(host, 0);
    cycle->m_items[0].flags = MF_CHECKED;
    // The band starts at 0.3 of 120; the check sits at (36, (50 - 16) / 2).
    QImage image = Grab(cycle);
    EXPECT_EQ(PixelAt(image, 36, 17), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(image, 48, 20), 0x000000u);
    cycle->Enable(FALSE);
    image = Grab(cycle);
    EXPECT_EQ(PixelAt(image, 36, 17), 0xC0C0C0u);
    EXPECT_EQ(PixelAt(image, 48, 20), 0x808080u);
}

TEST(CycleButton, MenuShowsTheFirstLineCutToTwentyFiveCharacters) {
    platform::ScopedScriptedPopupMenus menus;
    LoggingHost host;
    CCycleButtonControl* cycle = AddCycle(host);
    cycle->AddTextItem("abcdefghijklmnopqrstuvwxyz0123\nsecond line", nullptr, 0, 0, kPlaceEnd, 0);
    cycle->AddTextItem("tab\tafter", nullptr, 0, 0, kPlaceEnd, 0);
    CDIB* picture = MakePicture(8, 8, [](int, int) { return 0; });
    cycle->AddPictureItem(picture, 30, 20, kPlaceEnd, 0);
    cycle->m_items[1].flags = MF_GRAYED;
    cycle->SetCurrent(0);
    Press(cycle, 80, 20);
    Release(cycle, 80, 20);
    ASSERT_EQ(menus.menus.size(), 1u);
    const platform::PopupMenuRecord& menu = menus.menus[0];
    ASSERT_EQ(menu.items.size(), 3u);
    EXPECT_EQ(menu.items[0].text, "abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(menu.items[1].text, "tab");
    EXPECT_EQ(menu.items[1].flags, MF_GRAYED);
    EXPECT_EQ(menu.items[2].flags, MF_OWNERDRAW);
    EXPECT_EQ(menu.items[2].data, reinterpret_cast<std::uintptr_t>(cycle->GetItem(2)));
    EXPECT_EQ(menu.measured[2].cx, 31);
    EXPECT_EQ(menu.measured[2].cy, 21);
}
