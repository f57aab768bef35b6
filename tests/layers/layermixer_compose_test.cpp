// The window-less half of the mixer: frame arithmetic, page image, layer
// synchronisation and placement, composition, export and rendering.

#include "layers/layercomposer.h"
#include "layers/layerserver.h"
#include "mixertesthost.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <memory>
#include <vector>

using namespace mixertest;

namespace {

// A composer shown in a control of a fixed size, with an optional pending
// drop point.
class TestComposer : public CLayerComposer {
public:
    explicit TestComposer(int w = 469, int h = 419) : size(w, h) {}
    CSize GetControlSize() const override { return size; }
    BOOL TakeDropPoint(POINT* out) override {
        if (!dropPending)
            return FALSE;
        dropPending = false;
        *out = drop;
        return TRUE;
    }
    void OnNoLayersLeft() override { ++noLayersLeft; }
    using CLayerComposer::AddDirty;

    CSize size;
    bool dropPending = false;
    POINT drop{0, 0};
    int noLayersLeft = 0;
};

// A layer whose stream can never be built.
class BrokenLayer : public CLayerChannel {
public:
    explicit BrokenLayer(int key) : CLayerChannel(kPicture, key, 255) {}
    bool BuildStream() override { return false; }
};

// A layer list of picture items that counts what the composer asks.
class FakeServer : public CLayerServer {
public:
    struct Item {
        int key;
        int changed;
        BYTE opacity;
        CDIB* picture; // null: the layer cannot be built
    };
    ~FakeServer() {
        for (CDIB* p : pictures)
            delete p;
    }
    int Add(int w, int h, uint32_t rgb, BYTE opacity = 255) {
        pictures.push_back(SolidPicture(w, h, rgb));
        items.push_back({nextKey, 0, opacity, pictures.back()});
        return nextKey++;
    }
    int AddBroken() {
        items.push_back({nextKey, 0, 255, nullptr});
        return nextKey++;
    }
    int GetLayerCount() override { return int(items.size()); }
    int GetLayerKey(int index, int* changed, BYTE* opacity) override {
        if (index < 0 || index >= int(items.size()))
            return 0;
        *changed = items[size_t(index)].changed;
        items[size_t(index)].changed = 0;
        *opacity = items[size_t(index)].opacity;
        return items[size_t(index)].key;
    }
    CLayerChannel* CreateLayer(int index) override {
        ++created;
        const Item& item = items[size_t(index)];
        if (!item.picture)
            return new BrokenLayer(item.key);
        return new CLayerChannel_DIB(item.picture, item.key, item.opacity);
    }
    BOOL RemoveLayer(int index) override {
        removed.push_back(index);
        items.erase(items.begin() + index);
        return TRUE;
    }
    int GetCurrentLayer() override { return current; }
    BOOL SetCurrentLayer(int index) override {
        current = index;
        return TRUE;
    }

    std::vector<Item> items;
    std::vector<CDIB*> pictures;
    std::vector<int> removed;
    int nextKey = 101;
    int current = 0;
    int created = 0;
};

// The frame arithmetic written out once more, step by step.
struct Frame {
    double mx, my, aspect;
};

void FitMargins(Frame& f, double W, double H) {
    if (W / H >= f.aspect) {
        f.my = 0.016;
        f.mx = (W - (1 - 2 * 0.016) * f.aspect * H) / (2 * W);
    } else {
        f.mx = 0.016;
        f.my = (H - (1 - 2 * 0.016) * W / f.aspect) / (2 * H);
    }
}

} // namespace

TEST(LayerComposer, ProductTableHoldsEveryProduct) {
    TestComposer c;
    ASSERT_NE(c.m_pAlphaTable, nullptr);
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            ASSERT_EQ(c.m_pAlphaTable[i * 256 + j], (i * (j + 1)) >> 8) << i << ", " << j;
    EXPECT_EQ(c.m_pAlphaTable[128 * 256 + 127], 64);
    EXPECT_EQ(c.m_pAlphaTable[127 * 256 + 128], 63);
    EXPECT_EQ(c.m_pAlphaTable[200 * 256 + 255], 200);
    EXPECT_EQ(c.m_pAlphaTable[200 * 256 + 0], 0);
}

TEST(LayerComposer, StartsWithTheDefaultFrameAndColours) {
    TestComposer c;
    EXPECT_EQ(c.m_pLayerServer, nullptr);
    EXPECT_TRUE(c.m_layers.empty());
    EXPECT_EQ(c.m_pSelected, nullptr);
    EXPECT_EQ(c.m_pPage, nullptr);
    for (COLORREF corner : c.m_crCorner)
        EXPECT_EQ(corner, 0xE8E8E8u);
    EXPECT_TRUE(c.m_rcDirty.IsRectNull());
    EXPECT_EQ(c.m_dMarginX, 0.1);
    EXPECT_EQ(c.m_dMarginY, 0.2);
    EXPECT_EQ(c.m_dAspect, 0.95);
    int w = -1, h = -1;
    EXPECT_FALSE(c.GetPageSize(&w, &h));
    EXPECT_FALSE(c.SynchroniseLayers()); // no layer server
    EXPECT_FALSE(c.ComposePage(nullptr));
    EXPECT_FALSE(c.ExportPage("/nonexistent/x.bmp"));
}

TEST(LayerComposer, ComputeMarginsFitsThePageWithATightMargin) {
    TestComposer wide(469, 419);
    wide.ComputeMargins();
    EXPECT_EQ(wide.m_dMarginY, 0.016);
    EXPECT_EQ(wide.m_dMarginX, (469 - 0.968 * 0.95 * 419) / 938);
    EXPECT_NEAR(wide.m_dMarginX, 0.0892192, 1e-7);

    TestComposer tall(300, 600);
    tall.ComputeMargins();
    EXPECT_EQ(tall.m_dMarginX, 0.016);
    EXPECT_NEAR(tall.m_dMarginY, (600 - 0.968 * 300 / 0.95) / 1200, 1e-15);
    // The page measures 0.968 of the tight side and keeps the aspect.
    const double pageW = 300 * (1 - 2 * tall.m_dMarginX), pageH = 600 * (1 - 2 * tall.m_dMarginY);
    EXPECT_NEAR(pageW / pageH, 0.95, 1e-12);
    EXPECT_EQ(tall.GetPageRect(), CRect(4, 147, 295, 452));
}

TEST(LayerComposer, NormaliseFrameDriftsStepByStepAsDesignsStoreIt) {
    TestComposer c(469, 419);
    c.m_dMarginX = 0.1;
    c.m_dMarginY = 0.2;
    c.NormaliseFrame();

    Frame f{0.1, 0.2, 0};
    f.aspect = (1 - 2 * f.mx) / (1 - 2 * f.my);
    FitMargins(f, 469, 419);
    double d = (1 - 2 * f.mx) / (1 - 2 * f.my) - f.aspect;
    int steps = 0;
    for (; steps < 9999 && std::fabs(d) > 0; ++steps) {
        f.aspect -= d / 10000;
        FitMargins(f, 469, 419);
        d = (1 - 2 * f.mx) / (1 - 2 * f.my) - f.aspect;
    }
    EXPECT_EQ(steps, 9999);
    // The very same doubles, and the values the design files know.
    EXPECT_EQ(c.m_dAspect, f.aspect);
    EXPECT_EQ(c.m_dMarginX, f.mx);
    EXPECT_EQ(c.m_dMarginY, f.my);
    EXPECT_NEAR(c.m_dAspect, 1.4833, 5e-5);
    EXPECT_EQ(c.m_dMarginX, 0.016);
    EXPECT_NEAR(c.m_dMarginY, 0.1348, 5e-5);

    // A square control stops at once: its margins already give the aspect.
    TestComposer square(400, 400);
    square.m_dMarginX = 0.016;
    square.m_dMarginY = 0.016;
    square.NormaliseFrame();
    EXPECT_EQ(square.m_dAspect, 1.0);
}

TEST(LayerComposer, SetPageSizeKeepsAnImageOfTheSameSize) {
    TestComposer c;
    ASSERT_TRUE(c.SetPageSize(200, 100));
    EXPECT_EQ(c.m_rcDirty, CRect(0, 0, 200, 100));
    EXPECT_EQ(c.m_pPage->GetBitCount(), 24);
    CMixerDIB* page = c.m_pPage;
    page->BeginPixelAccess();
    page->PixelAddress(3, 4)[1] = 0x77;
    page->EndPixelAccess();
    c.m_rcDirty.SetRectEmpty();

    EXPECT_TRUE(c.SetPageSize(200, 100));
    EXPECT_EQ(c.m_pPage, page);
    EXPECT_EQ(PagePixel(c.m_pPage, 3, 4) & 0xFF00, 0x7700u);
    EXPECT_TRUE(c.m_rcDirty.IsRectEmpty());

    EXPECT_TRUE(c.SetPageSize(201, 100));
    EXPECT_EQ(c.m_rcDirty, CRect(0, 0, 201, 100));
    int w = 0, h = 0;
    EXPECT_TRUE(c.GetPageSize(&w, &h));
    EXPECT_EQ(w, 201);
    EXPECT_EQ(h, 100);
}

TEST(LayerComposer, NewLayersArePlacedCentredOrAtTheDropPoint) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    ASSERT_TRUE(c.SetPageSize(1000, 1000));
    server.Add(400, 300, 0xFF0000);
    ASSERT_TRUE(c.SynchroniseLayers());
    ASSERT_EQ(c.m_layers.size(), 1u);
    const CLayerChannel* placed = c.m_layers[0];
    EXPECT_EQ(placed->m_dX, 317.0);
    EXPECT_EQ(placed->m_dY, 363.0);
    EXPECT_EQ(placed->m_dWidth, 366.0);
    EXPECT_EQ(placed->m_dHeight, 274.0);
    EXPECT_EQ(placed->m_nModified, 0); // cleared at the end
    EXPECT_EQ(c.m_rcDirty, CRect(0, 0, 1000, 1000));
    EXPECT_EQ(c.m_pSelected, placed); // item 0 is the list's current one

    // A dropped picture is centred on the drop.
    c.dropPending = true;
    c.drop = POINT{200, 150};
    server.Add(400, 300, 0x00FF00);
    c.m_rcDirty.SetRectEmpty();
    ASSERT_TRUE(c.SynchroniseLayers());
    ASSERT_EQ(c.m_layers.size(), 2u);
    const CLayerChannel* dropped = c.m_layers[1];
    EXPECT_EQ(dropped->m_dX, 200.0 - 183);
    EXPECT_EQ(dropped->m_dY, 150.0 - 137);
    EXPECT_EQ(c.m_rcDirty, CRect(17, 13, 383, 287));
    EXPECT_FALSE(c.dropPending);
}

TEST(LayerComposer, SynchronisationBuildsOnceFollowsChangesAndDropsWhatWent) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    ASSERT_TRUE(c.SetPageSize(400, 300));
    const int a = server.Add(40, 30, 0xFF0000);
    const int b = server.Add(40, 30, 0x0000FF);
    ASSERT_TRUE(c.SynchroniseLayers());
    ASSERT_EQ(server.created, 2);
    CLayerChannel* la = c.m_layers[0];
    CLayerChannel* lb = c.m_layers[1];
    EXPECT_EQ(la->m_nKey, a);
    EXPECT_EQ(c.FindLayerByKey(b), 1);
    EXPECT_EQ(c.FindLayerByKey(999), -1);
    EXPECT_EQ(c.GetLayer(2), nullptr);
    EXPECT_EQ(c.GetLayer(-1), nullptr);

    // A changed item: its opacity is taken over and its box is dirty; no
    // layer is built again.
    la->SetGeometry(10, 20, 30, 40);
    lb->SetGeometry(100, 100, 50, 50);
    c.m_rcDirty.SetRectEmpty();
    server.items[0].changed = 1;
    server.items[0].opacity = 77;
    ASSERT_TRUE(c.SynchroniseLayers());
    EXPECT_EQ(server.created, 2);
    EXPECT_EQ(la->m_nOpacity, 77);
    EXPECT_EQ(la->m_nModified, 0);
    EXPECT_EQ(c.m_rcDirty, CRect(10, 20, 40, 60));

    // The list swapped its items: the layers follow its order.
    std::swap(server.items[0], server.items[1]);
    ASSERT_TRUE(c.SynchroniseLayers());
    EXPECT_EQ(c.m_layers[0], lb);
    EXPECT_EQ(c.m_layers[1], la);
    EXPECT_EQ(server.created, 2);

    // An item went: its layer goes, with the selection when it held it.
    c.SelectLayer(la);
    c.m_rcDirty.SetRectEmpty();
    server.items.pop_back();
    ASSERT_TRUE(c.SynchroniseLayers());
    ASSERT_EQ(c.m_layers.size(), 1u);
    EXPECT_EQ(c.m_layers[0], lb);
    EXPECT_EQ(c.m_pSelected, nullptr);
    EXPECT_EQ(c.m_rcDirty, CRect(10, 20, 40, 60));
    EXPECT_EQ(c.noLayersLeft, 0);

    // The list emptied.
    server.items.clear();
    ASSERT_TRUE(c.SynchroniseLayers());
    EXPECT_TRUE(c.m_layers.empty());
    EXPECT_EQ(c.noLayersLeft, 1);
}

TEST(LayerComposer, ALayerThatCannotBeBuiltIsRemovedFromTheList) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    ASSERT_TRUE(c.SetPageSize(400, 300));
    server.Add(40, 30, 0xFF0000);
    server.AddBroken();
    const int last = server.Add(40, 30, 0x00FF00);
    ASSERT_TRUE(c.SynchroniseLayers());
    EXPECT_EQ(server.removed, std::vector<int>{1});
    ASSERT_EQ(c.m_layers.size(), 2u);
    EXPECT_EQ(c.m_layers[1]->m_nKey, last); // the item after it still got its layer
    EXPECT_EQ(server.created, 3);
}

TEST(LayerComposer, ResizePageScalesEveryBox) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    c.ResizePage(CRect(10, 10, 410, 310)); // only the size counts
    int w = 0, h = 0;
    ASSERT_TRUE(c.GetPageSize(&w, &h));
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    server.Add(40, 30, 0xFF0000);
    ASSERT_TRUE(c.SynchroniseLayers());
    c.m_layers[0]->SetGeometry(50, 60, 100, 30);
    CMixerDIB* page = c.m_pPage;
    c.ResizePage(CRect(0, 0, 400, 300));
    EXPECT_EQ(c.m_pPage, page); // same size: nothing happens
    c.ResizePage(CRect(0, 0, 1000, 450));
    EXPECT_EQ(c.m_layers[0]->m_dX, 1000 * (50 / 400.0));
    EXPECT_EQ(c.m_layers[0]->m_dY, 450 * (60 / 300.0));
    EXPECT_EQ(c.m_layers[0]->m_dWidth, 1000 * (100 / 400.0));
    EXPECT_EQ(c.m_layers[0]->m_dHeight, 450 * (30 / 300.0));
    EXPECT_EQ(c.m_rcDirty, CRect(0, 0, 1000, 450));
}

TEST(LayerComposer, ComposesLayersOverTheBackgroundInsideTheClip) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    ASSERT_TRUE(c.SetPageSize(100, 80));
    // An empty list composes the flat page of four equal corners.
    ASSERT_TRUE(c.SynchroniseLayers());
    ASSERT_TRUE(c.ComposePage(nullptr));
    for (int y = 0; y < 80; y += 7)
        for (int x = 0; x < 100; x += 9)
            ASSERT_EQ(PagePixel(c.m_pPage, x, y), 0xE8E8E8u) << x << ", " << y;

    server.Add(10, 10, 0x0000FF); // front
    server.Add(10, 10, 0xFF0000); // behind it
    ASSERT_TRUE(c.SynchroniseLayers());
    c.m_layers[0]->SetGeometry(20, 20, 20, 20);
    c.m_layers[1]->SetGeometry(30, 30, 20, 20);
    const CRect clip(0, 0, 45, 45);
    ASSERT_TRUE(c.ComposePage(&clip));
    EXPECT_EQ(PagePixel(c.m_pPage, 25, 25), 0x0000FFu);
    EXPECT_EQ(PagePixel(c.m_pPage, 35, 35), 0x0000FFu); // front over back
    EXPECT_EQ(PagePixel(c.m_pPage, 44, 44), 0xFF0000u);
    EXPECT_EQ(PagePixel(c.m_pPage, 46, 46), 0xE8E8E8u); // outside the clip: left alone
    EXPECT_EQ(PagePixel(c.m_pPage, 19, 19), 0xE8E8E8u);

    // Half opacity blends through the product table.
    c.m_layers[0]->m_nOpacity = 128;
    ASSERT_TRUE(c.ComposePage(nullptr));
    const uint32_t blended = PagePixel(c.m_pPage, 25, 25);
    EXPECT_NE(blended, 0x0000FFu);
    EXPECT_NE(blended, 0xE8E8E8u);
}

TEST(LayerComposer, ExportWritesAThousandPixelsWideAndPutsThePageBack) {
    testsupport::TempDir dir;
    TestComposer c(469, 419);
    FakeServer server;
    c.m_pLayerServer = &server;
    c.ComputeMargins();
    c.ResizePage(c.GetPageRect());
    server.Add(40, 30, 0x00FF00);
    ASSERT_TRUE(c.SynchroniseLayers());
    CLayerChannel* layer = c.m_layers[0];
    layer->SetGeometry(0, 0, 100.5, 50.25);
    int w0 = 0, h0 = 0;
    c.GetPageSize(&w0, &h0);
    ASSERT_TRUE(c.ComposePage(nullptr));
    c.m_rcDirty.SetRectEmpty();
    const CMixerDIB* page = c.m_pPage;
    const std::vector<BYTE> shown(page->GetBlock(), page->GetBlock() + page->GetBlockSize());

    const std::string path = dir.Str() + "/page.bmp";
    ASSERT_TRUE(c.ExportPage(path));
    // The export is composed apart: the page on screen is neither remade
    // nor left waiting for a second composition.
    EXPECT_EQ(c.m_pPage, page);
    EXPECT_TRUE(std::equal(shown.begin(), shown.end(), page->GetBlock()));
    EXPECT_TRUE(c.m_rcDirty.IsRectEmpty());
    CDIB saved;
    ASSERT_TRUE(saved.Load(path, 0, 0));
    EXPECT_EQ(saved.GetWidth(), 1000);
    EXPECT_EQ(saved.GetHeight(), 1052);
    // The layer covered the same share of the exported page.
    EXPECT_EQ(PagePixel(&saved, 5, 5), 0x00FF00u);
    EXPECT_EQ(PagePixel(&saved, 999, 1051), 0xE8E8E8u);
    const int right = int(1000 * (100.5 / w0));
    EXPECT_EQ(PagePixel(&saved, right - 2, 50), 0x00FF00u);
    EXPECT_EQ(PagePixel(&saved, right + 2, 50), 0xE8E8E8u);

    int w = 0, h = 0;
    c.GetPageSize(&w, &h);
    EXPECT_EQ(w, w0);
    EXPECT_EQ(h, h0);
    EXPECT_NEAR(layer->m_dX, 0, 1e-9);
    EXPECT_NEAR(layer->m_dWidth, 100.5, 1e-9);
    EXPECT_NEAR(layer->m_dHeight, 50.25, 1e-9);
}

TEST(LayerComposer, RenderIntoComposesAtTheTargetSizeAndRestoresTheBoxes) {
    TestComposer c;
    FakeServer server;
    c.m_pLayerServer = &server;
    ASSERT_TRUE(c.SetPageSize(100, 50));
    server.Add(10, 10, 0xFF00FF);
    ASSERT_TRUE(c.SynchroniseLayers());
    c.m_layers[0]->SetGeometry(10, 10, 20, 10);
    EXPECT_FALSE(c.RenderInto(nullptr, nullptr));

    CDIB target;
    ASSERT_TRUE(target.Create(300, 150, 24, nullptr));
    ASSERT_TRUE(c.RenderInto(&target, nullptr));
    EXPECT_EQ(PagePixel(&target, 31, 31), 0xFF00FFu);
    EXPECT_EQ(PagePixel(&target, 88, 58), 0xFF00FFu);
    EXPECT_EQ(PagePixel(&target, 91, 61), 0xE8E8E8u);
    EXPECT_EQ(PagePixel(&target, 29, 31), 0xE8E8E8u);
    EXPECT_NEAR(c.m_layers[0]->m_dX, 10, 1e-12);
    EXPECT_NEAR(c.m_layers[0]->m_dWidth, 20, 1e-12);
    EXPECT_NEAR(c.m_layers[0]->m_dHeight, 10, 1e-12);
}
