// The layer list: the layer server operations, its companion controls,
// moving, deleting (with its questions) and the opacity.

#include "controls/notifier.h"
#include "mixertesthost.h"
#include "platform/logfont.h"
#include "platform/userservices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace mixertest;

namespace {

constexpr int kLower = 501, kHigher = 502, kDelete = 503, kDeleteAll = 504, kOpacity = 505;
constexpr int kCleared = 32790;

// A companion control that remembers whether it is enabled.
class Companion : public CControlBase {
public:
    Companion(CControlManager* manager, int id) : CControlBase(manager, nullptr, id, &kRect, 0) {}
    BOOL Enable(BOOL on) override {
        enabled = on;
        return TRUE;
    }
    int enabled = -1; // never told

private:
    static constexpr CRect kRect{0, 0, 10, 10};
};

// The mixer host with the five companions set on the list, and the two
// questions in the message table.
struct ListHost : MixerHost {
    ListHost() {
        Strings().Add(1010, 3, "Remove the item from the drawing?");
        Strings().Add(1011, 3, "Clear the drawing?");
        for (auto [slot, id] : {std::pair{&lower, kLower},
                                {&higher, kHigher},
                                {&remove, kDelete},
                                {&removeAll, kDeleteAll},
                                {&opacity, kOpacity}}) {
            *slot = new Companion(this, id);
            AddControl(*slot);
        }
        layers->SetLowerButton(lower);
        layers->SetHigherButton(higher);
        layers->SetDeleteButton(remove);
        layers->SetDeleteAllButton(removeAll);
        layers->SetOpacityControl(opacity);
        layers->SetClearedCommand(kCleared);
    }
    std::vector<int> States() const {
        return {lower->enabled, higher->enabled, remove->enabled, removeAll->enabled,
                opacity->enabled};
    }
    int KeyAt(int index) { return layers->GetItem(index)->serial; }

    Companion* lower;
    Companion* higher;
    Companion* remove;
    Companion* removeAll;
    Companion* opacity;
};

LOGFONTA Font() {
    LOGFONTA lf{};
    lf.lfHeight = -30;
    lf.lfWeight = FW_BOLD;
    platform::SetFaceName(lf, "DejaVu Sans");
    return lf;
}

} // namespace

TEST(LayerCycle, CompanionsFollowTheCountAndTheSelectedPlace) {
    ListHost host;
    EXPECT_EQ(host.States(), (std::vector<int>{0, 0, 0, 0, 0}));
    host.AddPicture(40, 30, 0xFF0000);
    EXPECT_EQ(host.States(), (std::vector<int>{0, 0, 1, 1, 1}));
    host.AddPicture(40, 30, 0x00FF00);
    ASSERT_EQ(host.layers->GetCurrentLayer(), 0);
    EXPECT_EQ(host.States(), (std::vector<int>{0, 1, 1, 1, 1}));
    host.layers->SetCurrentLayer(1);
    EXPECT_EQ(host.States(), (std::vector<int>{1, 0, 1, 1, 1}));
}

TEST(LayerCycle, ServesTheMixerKeysChangedMarksAndLayers) {
    ListHost host;
    const LOGFONTA font = Font();
    host.layers->AddTextItem("Tekst\nregel", &font, 0x0000FF, 2, kPlaceFront, 0);
    host.AddPicture(40, 30, 0xFF0000);
    CLayerCycle* list = host.layers;
    ASSERT_EQ(list->GetLayerCount(), 2);
    int changed = -1;
    BYTE opacity = 0;
    EXPECT_EQ(list->GetLayerKey(2, &changed, &opacity), 0);
    const int pictureKey = list->GetLayerKey(0, &changed, &opacity);
    EXPECT_EQ(pictureKey, host.KeyAt(0));
    EXPECT_NE(pictureKey, 0);
    EXPECT_EQ(opacity, 255);

    std::unique_ptr<CLayerChannel> text(list->CreateLayer(1));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->m_nKind, CLayerChannel::kText);
    EXPECT_EQ(text->m_nKey, host.KeyAt(1));
    auto* t = static_cast<CLayerChannel_Text*>(text.get());
    EXPECT_EQ(t->m_strText, "Tekst\nregel");
    EXPECT_EQ(t->m_crText, 0x0000FFu);
    EXPECT_EQ(t->m_nAlignment, 2);
    EXPECT_EQ(t->m_font.lfWeight, FW_BOLD);
    std::unique_ptr<CLayerChannel> picture(list->CreateLayer(0));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->m_nKind, CLayerChannel::kPicture);
    EXPECT_EQ(static_cast<CLayerChannel_DIB*>(picture.get())->m_pPicture, list->GetItem(0)->image);
    EXPECT_EQ(list->CreateLayer(2), nullptr);
    EXPECT_EQ(list->CreateLayer(-1), nullptr);

    // A move marks the moved item once (the mixer, which would read the
    // mark at its redraw, is away for the moment).
    list->SetMixer(nullptr);
    host.Notify(kHigher, kNotifySelect, 0);
    EXPECT_EQ(list->GetCurrentLayer(), 1);
    EXPECT_EQ(list->GetLayerKey(1, &changed, &opacity), pictureKey);
    EXPECT_EQ(changed, 1);
    list->GetLayerKey(1, &changed, &opacity);
    EXPECT_EQ(changed, 0);
    // The mixer follows the new order.
    list->SetMixer(host.mixer);
    host.mixer->Redraw(nullptr, 0);
    EXPECT_EQ(host.mixer->m_layers[1]->m_nKey, pictureKey);

    EXPECT_FALSE(list->RemoveLayer(2));
    EXPECT_TRUE(list->RemoveLayer(0));
    EXPECT_EQ(list->GetLayerCount(), 1);
}

TEST(LayerCycle, MovingRaisesTheSelectThenTheOpacity) {
    ListHost host;
    host.AddPicture(40, 30, 0xFF0000);
    host.AddPicture(40, 30, 0x00FF00);
    host.layers->SetLayerOpacity(0, 99);
    const int front = host.KeyAt(0);
    host.log.clear();
    host.Notify(kHigher, kNotifySelect, 0);
    EXPECT_EQ(host.KeyAt(1), front);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 1);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"select 502 0", "select 11116578 0", "int 11116578 99"}));
    // Already last: the higher button changes nothing.
    host.Notify(kHigher, kNotifySelect, 0);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 1);
    host.Notify(kLower, kNotifySelect, 0);
    EXPECT_EQ(host.KeyAt(0), front);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 0);

    // To the end and back to the start.
    host.AddPicture(40, 30, 0x0000FF);
    const int newest = host.KeyAt(0);
    EXPECT_TRUE(host.layers->MoveCurrentToEnd());
    EXPECT_EQ(host.KeyAt(2), newest);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 2);
    EXPECT_FALSE(host.layers->MoveCurrentToEnd());
    EXPECT_EQ(host.mixer->m_layers[2]->m_nKey, newest); // the mixer was redrawn
    EXPECT_TRUE(host.layers->MoveCurrentToStart());
    EXPECT_EQ(host.KeyAt(0), newest);
    EXPECT_FALSE(host.layers->MoveCurrentToStart());
}

TEST(LayerCycle, DeletingAsksFirstAndSelectsTheNeighbour) {
    platform::ScopedScriptedServices services;
    ListHost host;
    host.AddPicture(40, 30, 0xFF0000);
    host.AddPicture(40, 30, 0x00FF00);
    host.AddPicture(40, 30, 0x0000FF);
    const int second = host.KeyAt(1);
    host.layers->SetCurrentLayer(2);

    // Declined: nothing changes.
    services.messageAnswers.push_back(IDCANCEL);
    host.Notify(kDelete, kNotifySelect, 0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Remove the item from the drawing?");
    EXPECT_EQ(services.messages[0].type, 0x21u);
    EXPECT_EQ(host.layers->GetLayerCount(), 3);

    // The last of three, selected: index 1 is selected after it.
    host.Notify(kDelete, kNotifySelect, 0);
    EXPECT_EQ(host.layers->GetLayerCount(), 2);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 1);
    EXPECT_EQ(host.KeyAt(1), second);
    EXPECT_EQ(host.mixer->m_layers.size(), 2u);
    EXPECT_EQ(host.mixer->m_pSelected, host.mixer->m_layers[1]);

    // The first: the former second is now index 0. A value skips the question.
    host.layers->SetCurrentLayer(0);
    host.Notify(kDelete, kNotifySelect, 1);
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(host.layers->GetLayerCount(), 1);
    EXPECT_EQ(host.layers->GetCurrentLayer(), 0);
    EXPECT_EQ(host.KeyAt(0), second);
}

TEST(LayerCycle, DeletingAllAsksRaisesTheClearedCommandAndEmptiesThePage) {
    platform::ScopedScriptedServices services;
    ListHost host;
    CLayerChannel* layer = host.AddPicture(40, 30, 0xFF0000);
    host.Place(layer, 0, 0, 100, 100);
    host.AddPicture(40, 30, 0x00FF00);
    services.messageAnswers.push_back(IDCANCEL);
    host.Notify(kDeleteAll, kNotifySelect, 0);
    EXPECT_EQ(host.layers->GetLayerCount(), 2);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Clear the drawing?");

    host.log.clear();
    host.Notify(kDeleteAll, kNotifySelect, 0);
    EXPECT_EQ(host.layers->GetLayerCount(), 0);
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "select 32790 0"), host.log.end());
    EXPECT_TRUE(host.mixer->m_layers.empty());
    EXPECT_EQ(host.mixer->m_pSelected, nullptr);
    EXPECT_EQ(PagePixel(host.mixer->m_pPage, 50, 50), Rgb(kPageGrey));
    EXPECT_EQ(host.States(), (std::vector<int>{0, 0, 0, 0, 0}));
    // An empty list asks nothing.
    host.Notify(kDeleteAll, kNotifySelect, 0);
    host.Notify(kDelete, kNotifySelect, 0);
    EXPECT_EQ(services.messages.size(), 2u);
}

TEST(LayerCycle, OpacityFromItsControlChangesTheLayerOnlyWhenItDiffers) {
    ListHost host;
    CLayerChannel* layer = host.AddPicture(40, 30, 0x0000FF);
    host.Place(layer, 0, 0, 100, 100);
    host.log.clear();
    host.Notify(kOpacity, kNotifyValue, kValueInt, 255);
    EXPECT_EQ(host.log, std::vector<std::string>{"int 505 255"});
    EXPECT_EQ(PagePixel(host.mixer->m_pPage, 50, 50), 0x0000FFu);

    host.log.clear();
    host.Notify(kOpacity, kNotifyValue, kValueInt, 0);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"int 505 0", "select 11116578 0", "int 11116578 0"}));
    EXPECT_EQ(host.layers->GetItem(0)->opacity, 0);
    EXPECT_EQ(host.layers->GetIntValue(), 0);
    EXPECT_EQ(layer->m_nOpacity, 0);                                   // the mixer took it over ...
    EXPECT_EQ(PagePixel(host.mixer->m_pPage, 50, 50), Rgb(kPageGrey)); // ... and hid it

    EXPECT_FALSE(host.layers->SetLayerOpacity(0, 0));
    EXPECT_FALSE(host.layers->SetLayerOpacity(1, 10));
    EXPECT_TRUE(host.layers->SetLayerOpacity(0, 255));
    int changed = 0;
    BYTE opacity = 0;
    host.layers->GetLayerKey(0, &changed, &opacity);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(opacity, 255);
}

TEST(LayerCycle, SerialisesTheKindOpacityAndContentOfAnItem) {
    ListHost host;
    const LOGFONTA font = Font();
    host.layers->AddTextItem("Hallo", &font, 0x00FF00, 1, kPlaceFront, 0);
    host.layers->SetLayerOpacity(0, 200);
    std::string out = "x\n";
    EXPECT_EQ(host.layers->SerialiseLayer(0, &out), host.KeyAt(0));
    EXPECT_EQ(out, "x\n1\n200\n65280\n1\nBEGIN_STRING\nHallo\nEND_STRING\n-30\n0\n0\n0\n700\n"
                   "0\n0\n0\n0\n0\n0\n0\n0\nDejaVu Sans\n");
    std::string none;
    EXPECT_EQ(host.layers->SerialiseLayer(1, &none), 0);
    EXPECT_TRUE(none.empty());

    host.AddPicture(10, 10, 0xFF0000);
    std::string picture;
    host.layers->SerialiseLayer(0, &picture);
    // Kind, opacity, the load mode and the three paths of the triple.
    EXPECT_EQ(picture.substr(0, 6), "2\n255\n");
    EXPECT_EQ(std::count(picture.begin(), picture.end(), '\n'), 6);
}
