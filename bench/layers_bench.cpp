// The layer composer at screen size: one 150 x 150 layer moved across the
// 469 x 419 control's page in 100 steps, each step composing only the old
// and new boxes, against the baseline of composing the whole page per step
// in the same run. And the synchronisation of 50 layers when nothing
// changed, against the baseline of asking the list for the 50 keys alone.

#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercomposer.h"
#include "layers/layerserver.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class BenchComposer : public CLayerComposer {
public:
    CSize GetControlSize() const override { return CSize(469, 419); }
    using CLayerComposer::AddDirty;
};

// Opaque pictures of a pattern: the top corners differ, so no colour key.
CDIB* Picture(int w, int h) {
    auto* dib = new CDIB;
    dib->Create(w, h, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            p[0] = BYTE(x * 5);
            p[1] = BYTE(y * 3);
            p[2] = BYTE(x + y);
        }
    dib->EndPixelAccess();
    return dib;
}

class BenchServer : public CLayerServer {
public:
    explicit BenchServer(int count) {
        for (int i = 0; i < count; ++i)
            pictures.emplace_back(Picture(40, 40));
    }
    int GetLayerCount() override { return int(pictures.size()); }
    int GetLayerKey(int index, int* changed, BYTE* opacity) override {
        *changed = 0;
        *opacity = 255;
        return index + 1;
    }
    CLayerChannel* CreateLayer(int index) override {
        return new CLayerChannel_DIB(pictures[size_t(index)].get(), index + 1, 255);
    }
    BOOL RemoveLayer(int) override { return FALSE; }
    int GetCurrentLayer() override { return 0; }
    BOOL SetCurrentLayer(int) override { return TRUE; }

    std::vector<std::unique_ptr<CDIB>> pictures;
};

// A page of the screen size with one 150 x 150 layer over a gradient.
struct MovingScene {
    MovingScene() : server(1) {
        composer.m_pLayerServer = &server;
        composer.SetBackgroundColours(0x2040E0, 0xE0E0E0, 0x40E020, 0x808080);
        composer.ComputeMargins();
        composer.ResizePage(composer.GetPageRect());
        composer.SynchroniseLayers();
        composer.ComposePage(nullptr);
        layer = composer.m_layers[0];
    }
    void Step(int i, bool dirtyOnly) {
        composer.m_rcDirty.SetRectEmpty();
        composer.AddDirty(CLayerComposer::PageBox(layer));
        layer->SetGeometry(2.3 * i, 2.5 * i, 150, 150);
        composer.AddDirty(CLayerComposer::PageBox(layer));
        composer.ComposePage(dirtyOnly ? &composer.m_rcDirty : nullptr);
    }
    BenchServer server;
    BenchComposer composer;
    CLayerChannel* layer;
};

void BM_MoveLayer_DirtyRectangles(benchmark::State& state) {
    MovingScene scene;
    for (auto _ : state)
        for (int i = 0; i < 100; ++i)
            scene.Step(i, true);
    state.counters["step_us"] = benchmark::Counter(
        double(state.iterations()) * 100, benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_MoveLayer_DirtyRectangles)->Unit(benchmark::kMillisecond);

void BM_MoveLayer_BaselineWholePage(benchmark::State& state) {
    MovingScene scene;
    for (auto _ : state)
        for (int i = 0; i < 100; ++i)
            scene.Step(i, false);
}
BENCHMARK(BM_MoveLayer_BaselineWholePage)->Unit(benchmark::kMillisecond);

struct FiftyLayers {
    FiftyLayers() : server(50) {
        composer.m_pLayerServer = &server;
        composer.SetPageSize(386, 406);
        composer.SynchroniseLayers();
    }
    BenchServer server;
    BenchComposer composer;
};

void BM_SynchroniseFiftyUnchangedLayers(benchmark::State& state) {
    FiftyLayers scene;
    for (auto _ : state)
        benchmark::DoNotOptimize(scene.composer.SynchroniseLayers());
}
BENCHMARK(BM_SynchroniseFiftyUnchangedLayers)->Unit(benchmark::kMicrosecond);

void BM_SynchroniseBaselineKeysOnly(benchmark::State& state) {
    FiftyLayers scene;
    for (auto _ : state) {
        int sum = 0, changed = 0;
        BYTE opacity = 0;
        for (int i = 0; i < scene.server.GetLayerCount(); ++i)
            sum += scene.server.GetLayerKey(i, &changed, &opacity);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SynchroniseBaselineKeysOnly)->Unit(benchmark::kMicrosecond);

} // namespace
