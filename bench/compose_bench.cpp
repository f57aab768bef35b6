// Composing the export-sized page (1000 x 1052) with 1, 8 and 32 layers,
// against the same scene drawn by QPainter: nearest-neighbour drawImage with
// source-over of premultiplied layer images onto the gradient. Also a
// 200 x 200 dirty-rectangle compose and the run-length encoding of a
// 1000 x 1000 picture.

#include "imaging/composekernels.h"
#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kPageWidth = 1000, kPageHeight = 1052;

BYTE* Table() {
    static BYTE table[65536];
    static const bool filled = (FillProductTable(table), true);
    (void)filled;
    return table;
}

std::unique_ptr<CDIB> Picture(int w, int h, int seed) {
    auto dib = std::make_unique<CDIB>();
    dib->Create(w, h, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            const bool paper = ((x / 40 + y / 30 + seed) % 3) == 0;
            p[0] = paper ? 255 : BYTE(x * 3 + seed * 20);
            p[1] = paper ? 255 : BYTE(y * 2);
            p[2] = paper ? 255 : BYTE((x + y) / 2 + seed);
        }
    dib->PixelAddress(0, 0)[0] = dib->PixelAddress(unsigned(w - 1), 0)[0] = 255;
    dib->PixelAddress(0, 0)[1] = dib->PixelAddress(unsigned(w - 1), 0)[1] = 255;
    dib->PixelAddress(0, 0)[2] = dib->PixelAddress(unsigned(w - 1), 0)[2] = 255;
    dib->EndPixelAccess();
    return dib;
}

// A picture with an alpha companion, through files as clip art comes.
std::unique_ptr<CDIB> PictureWithAlpha(int w, int h, int seed) {
    const auto dir = std::filesystem::temp_directory_path() / "morvane-compose-bench";
    std::filesystem::create_directories(dir);
    const std::string name = "pic" + std::to_string(seed) + ".bmp";
    Picture(w, h, seed)->Save((dir / ("i" + name)).string());
    auto alpha = std::make_unique<CDIB>();
    alpha->Create(w, h, 24, nullptr);
    alpha->BeginPixelAccess();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memset(alpha->PixelAddress(unsigned(x), unsigned(y)), (x * 255) / w, 3);
    alpha->EndPixelAccess();
    alpha->Save((dir / ("a" + name)).string());
    auto dib = std::make_unique<CDIB>();
    dib->Load((dir / ("i" + name)).string(), 0, 0);
    return dib;
}

struct Scene {
    std::vector<std::unique_ptr<CDIB>> pictures;
    std::vector<std::unique_ptr<CLayerChannel>> layers;
    std::vector<CComposeLayer*> raw;
    std::vector<QImage> images; // premultiplied, one per layer, for the baseline
    QImage gradient;
};

QImage ImageOfStream(CRLEStream& s) {
    QImage image(s.GetWidth(), s.GetHeight(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < s.GetHeight(); ++y) {
        s.SeekRow(y, false);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < s.GetWidth(); ++x) {
            DWORD w = 0;
            s.ReadPixel(x, &w);
            out[x] = qPremultiply(
                qRgba(int(w >> 24), int((w >> 16) & 0xFF), int((w >> 8) & 0xFF), int(w & 0xFF)));
        }
    }
    return image;
}

Scene MakeScene(int count) {
    Scene scene;
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<CLayerChannel> layer;
        const int kind = i % 4;
        if (kind == 3) {
            LOGFONTA font{};
            font.lfHeight = -60;
            platform::SetFaceName(font, "DejaVu Sans");
            layer = std::make_unique<CLayerChannel_Text>("Kavelo " + std::to_string(i), i, 255,
                                                         font, RGB(200, 20, 40), 1);
        } else {
            scene.pictures.push_back(kind == 1 ? PictureWithAlpha(400 + i * 7, 300, i)
                                               : Picture(300 + i * 13, 240 + i * 5, i));
            layer = std::make_unique<CLayerChannel_DIB>(scene.pictures.back().get(), i,
                                                        i % 5 == 4 ? 180 : 255);
        }
        layer->BuildStream();
        // Scaled up and down, some mirrored or flipped, spread over the page.
        const double scale = 0.6 + 0.15 * (i % 7);
        layer->SetGeometry((i * 137) % 700 - 50, (i * 211) % 800 - 40,
                           layer->m_stream.GetWidth() * scale, layer->m_stream.GetHeight() * scale);
        layer->m_nMirrored = i % 3 == 1;
        layer->m_nFlipped = i % 5 == 2;
        scene.images.push_back(ImageOfStream(layer->m_stream));
        scene.raw.push_back(layer.get());
        scene.layers.push_back(std::move(layer));
    }
    CDIB page;
    page.Create(kPageWidth, kPageHeight, 24, nullptr);
    page.Compose({}, Table(), Table(), RGB(250, 250, 240), RGB(230, 240, 255), RGB(255, 230, 230),
                 RGB(240, 255, 240), nullptr, nullptr);
    scene.gradient =
        QImage(page.GetBits(), kPageWidth, kPageHeight, page.GetRowSize(), QImage::Format_BGR888)
            .mirrored()
            .convertToFormat(QImage::Format_RGB32);
    return scene;
}

Scene& SceneOf(int count) {
    static std::map<int, Scene> scenes;
    auto it = scenes.find(count);
    if (it == scenes.end())
        it = scenes.emplace(count, MakeScene(count)).first;
    return it->second;
}

void ComposePage(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)));
    CMixerDIB page;
    page.Create(kPageWidth, kPageHeight, 24, nullptr);
    for (auto _ : state)
        page.Compose(scene.raw, Table(), Table(), RGB(250, 250, 240), RGB(230, 240, 255),
                     RGB(255, 230, 230), RGB(240, 255, 240), nullptr, nullptr);
    benchmark::DoNotOptimize(page.GetBits());
}

// The same with one instruction set forced: 0 plain, 1 SSE2, 2 AVX2.
void ComposePageOnPath(benchmark::State& state) {
    const auto path = ComposePath(state.range(1));
    if (!ForceComposePath(path)) {
        state.SkipWithError("this processor does not run the path");
        return;
    }
    ComposePage(state);
    ClearForcedComposePath();
}

void QPainterPage(benchmark::State& state) {
    Scene& scene = SceneOf(int(state.range(0)));
    QImage page(kPageWidth, kPageHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(page.bits(), scene.gradient.constBits(), size_t(page.sizeInBytes()));
        QPainter p(&page);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // Back-most first, as the composition stacks them.
        for (size_t i = scene.raw.size(); i-- > 0;) {
            const CComposeLayer* l = scene.raw[i];
            p.save();
            p.translate(l->m_dX, l->m_dY);
            p.scale(l->m_nMirrored ? -1 : 1, l->m_nFlipped ? -1 : 1);
            const QRectF box(l->m_nMirrored ? -l->m_dWidth : 0, l->m_nFlipped ? -l->m_dHeight : 0,
                             l->m_dWidth, l->m_dHeight);
            p.setOpacity((l->m_nOpacity & 0xFF) / 255.0);
            p.drawImage(box, scene.images[i]);
            p.restore();
        }
    }
    benchmark::DoNotOptimize(page.constBits());
}

void ComposeDirtyRect(benchmark::State& state) {
    Scene& scene = SceneOf(8);
    CMixerDIB page;
    page.Create(kPageWidth, kPageHeight, 24, nullptr);
    const CRect dirty(400, 400, 600, 600);
    for (auto _ : state)
        page.Compose(scene.raw, Table(), Table(), 0, 0, 0, 0, &dirty, nullptr);
    benchmark::DoNotOptimize(page.GetBits());
}

void BuildStream(benchmark::State& state) {
    auto picture = Picture(1000, 1000, 3);
    for (auto _ : state) {
        CRLEStream stream;
        stream.Build(picture.get(), 0);
        benchmark::DoNotOptimize(stream.GetCodes().data());
    }
}

BENCHMARK(ComposePage)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(ComposePageOnPath)
    ->ArgsProduct({{1, 8, 32}, {0, 1, 2}})
    ->ArgNames({"layers", "path"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(QPainterPage)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(ComposeDirtyRect)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildStream)->Unit(benchmark::kMillisecond);

} // namespace
