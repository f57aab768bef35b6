// An item that comes back under its key (the editing history puts it
// back) takes the layer it had, with its pixels, instead of a new build.

#include "mixertesthost.h"

#include <gtest/gtest.h>

using namespace mixertest;

TEST(LayerMixerRetired, AnItemPutBackUnderItsKeyTakesItsOldLayer) {
    MixerHost host;
    CLayerMixer* m = host.mixer;
    CLayerChannel* back = host.AddPicture(40, 30, 0xFF0000);
    CLayerChannel* front = host.AddPicture(40, 30, 0x00FF00);
    host.Place(front, 10, 10, 60, 60);
    const multimenu_package kept = *host.layers->GetItem(0);
    ASSERT_EQ(kept.serial, front->m_nKey);
    // The front item goes (its picture stays alive, as the history holds it).
    kept.image->AddRef();
    ASSERT_TRUE(host.layers->RemoveCurrent());
    m->Redraw(nullptr, 0);
    ASSERT_EQ(m->m_layers.size(), 1u);
    EXPECT_EQ(m->GetLayer(0), back);
    EXPECT_EQ(PagePixel(m->m_pPage, 20, 20), Rgb(kPageGrey));
    // Back under its key: the same layer object, its stream never rebuilt.
    ASSERT_EQ(host.layers->RestoreItem(kept, 0), 0);
    m->Redraw(nullptr, 0);
    ASSERT_EQ(m->m_layers.size(), 2u);
    EXPECT_EQ(m->GetLayer(0), front);
    EXPECT_TRUE(front->m_stream.IsValid());
    EXPECT_EQ(PagePixel(m->m_pPage, 20, 20), 0x00FF00u);
    // An item of a new key builds a layer of its own.
    host.AddPicture(40, 30, 0x0000FF);
    EXPECT_NE(m->GetLayer(0), front);
    EXPECT_EQ(m->GetLayer(1), front);
    kept.image->Release();
}
