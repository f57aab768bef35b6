// A 6000 x 4000 JPEG photograph becoming a layer, and its parts: the
// decoding alone (the codec), the picture (decoding into the 24-bit
// image), the layer (the picture and its run-length stream) and the layer
// on the page (placed on a page of the screen's size and composed there).
// The baseline in the same run decodes the same file with QImage. Each
// benchmark reports the peak resident memory of its iterations.

#include "codecs/anypicdecoder.h"
#include "codecs/bmp.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercomposer.h"
#include "layers/layerserver.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

constexpr int kWidth = 6000, kHeight = 4000;

// A photograph-like picture: smooth light and colour with fine grain, so
// that few neighbours are equal and the stream is mostly literal runs.
const std::string& PhotoPath() {
    static QTemporaryDir dir;
    static const std::string path = [] {
        QImage photo(kWidth, kHeight, QImage::Format_RGB32);
        uint32_t grain = 12345;
        for (int y = 0; y < kHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                grain = grain * 1103515245u + 12345u;
                const int noise = int((grain >> 16) & 15) - 8;
                const double light = 0.5 + 0.5 * std::sin(x * 0.002) * std::cos(y * 0.003);
                line[x] = qRgb(
                    std::clamp(int(200 * light) + noise, 0, 255),
                    std::clamp(int(120 + 100 * std::sin(x * 0.01 + y * 0.004)) + noise, 0, 255),
                    std::clamp(int(255 * (1 - light)) + noise, 0, 255));
            }
        }
        const std::string file = (dir.path() + "/photo.jpg").toStdString();
        photo.save(QString::fromStdString(file), "JPG", 90);
        return file;
    }();
    return path;
}

// The peak resident memory is measured from here on.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kilobytes = 0;
    while (status >> key)
        if (key == "VmHWM:") {
            status >> kilobytes;
            break;
        }
    return kilobytes / 1024.0;
}

void Finish(benchmark::State& state) {
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_BigPhoto_DecodeOnly(benchmark::State& state) {
    const std::string& path = PhotoPath();
    ResetPeakMemory();
    for (auto _ : state) {
        CAnyPicDecoder decoder;
        CWinBmp bitmap;
        decoder.DecodeFile(path, &bitmap, 24); // as the picture asks for it
        benchmark::DoNotOptimize(bitmap.GetBits());
    }
    Finish(state);
}
BENCHMARK(BM_BigPhoto_DecodeOnly)->Unit(benchmark::kMillisecond);

void BM_BigPhoto_Picture(benchmark::State& state) {
    const std::string& path = PhotoPath();
    ResetPeakMemory();
    for (auto _ : state) {
        CDIB picture;
        if (!picture.Load(path, 1, 0)) {
            state.SkipWithError("the photograph did not load");
            return;
        }
        benchmark::DoNotOptimize(picture.GetBits());
    }
    Finish(state);
}
BENCHMARK(BM_BigPhoto_Picture)->Unit(benchmark::kMillisecond);

void BM_BigPhoto_Layer(benchmark::State& state) {
    const std::string& path = PhotoPath();
    ResetPeakMemory();
    for (auto _ : state) {
        CDIB picture;
        if (!picture.Load(path, 1, 0)) {
            state.SkipWithError("the photograph did not load");
            return;
        }
        CLayerChannel_DIB layer(&picture, 1, 255);
        if (!layer.BuildStream()) {
            state.SkipWithError("the layer was not built");
            return;
        }
        benchmark::DoNotOptimize(layer.m_stream.GetCodes().data());
    }
    Finish(state);
}
BENCHMARK(BM_BigPhoto_Layer)->Unit(benchmark::kMillisecond);

// The page of the program's window and the one picture on it.
class PageComposer : public CLayerComposer {
public:
    CSize GetControlSize() const override { return CSize(469, 419); }
};

class PhotoServer : public CLayerServer {
public:
    explicit PhotoServer(CDIB* picture) : m_pPicture(picture) {}
    int GetLayerCount() override { return 1; }
    int GetLayerKey(int, int* changed, BYTE* opacity) override {
        *changed = 0;
        *opacity = 255;
        return 1;
    }
    CLayerChannel* CreateLayer(int) override { return new CLayerChannel_DIB(m_pPicture, 1, 255); }
    BOOL RemoveLayer(int) override { return FALSE; }
    int GetCurrentLayer() override { return 0; }
    BOOL SetCurrentLayer(int) override { return TRUE; }

private:
    CDIB* m_pPicture;
};

void BM_BigPhoto_OnThePage(benchmark::State& state) {
    const std::string& path = PhotoPath();
    ResetPeakMemory();
    for (auto _ : state) {
        CDIB picture;
        if (!picture.Load(path, 1, 0)) {
            state.SkipWithError("the photograph did not load");
            return;
        }
        PhotoServer server(&picture);
        PageComposer page;
        page.m_pLayerServer = &server;
        page.SetBackgroundColours(0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
        page.ComputeMargins();
        page.ResizePage(page.GetPageRect());
        if (!page.SynchroniseLayers() || page.m_layers.size() != 1 || !page.ComposePage(nullptr)) {
            state.SkipWithError("the photograph did not reach the page");
            return;
        }
        benchmark::DoNotOptimize(page.m_pPage->GetBits());
    }
    Finish(state);
}
BENCHMARK(BM_BigPhoto_OnThePage)->Unit(benchmark::kMillisecond);

// Baseline: the same file decoded by QImage.
void BM_Baseline_QImageRead(benchmark::State& state) {
    const QString path = QString::fromStdString(PhotoPath());
    ResetPeakMemory();
    for (auto _ : state) {
        QImage photo(path);
        if (photo.isNull()) {
            state.SkipWithError("QImage cannot read the photograph");
            return;
        }
        benchmark::DoNotOptimize(photo.constBits());
    }
    Finish(state);
}
BENCHMARK(BM_Baseline_QImageRead)->Unit(benchmark::kMillisecond);

} // namespace
