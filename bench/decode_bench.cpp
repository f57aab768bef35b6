// Decoding a 2000 x 2000 picture through the recognising decoder, against
// Qt's reader of the same file. Run with --benchmark_counters_tabular=true;
// the "per_pixel_ns" counters give the ratios.

#include "codecs/anypicdecoder.h"
#include "codecs/bmp.h"
#include "codecs/textexception.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRadialGradient>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kSize = 2000;

std::string Folder() {
    static const std::string folder = [] {
        auto dir = std::filesystem::temp_directory_path() / "morvane-decode-bench";
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return folder;
}

// A picture with smooth areas, edges and flat runs, like clip art and photos.
QImage MakePicture() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    QPainter p(&image);
    QRadialGradient g(kSize / 2.0, kSize / 2.0, kSize / 1.5);
    g.setColorAt(0, QColor(250, 220, 120));
    g.setColorAt(1, QColor(30, 60, 160));
    p.fillRect(image.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        p.setBrush(QColor::fromHsv(i * 9, 200, 230));
        p.drawEllipse(QPoint((i * 397) % kSize, (i * 211) % kSize), 60 + i * 3, 40 + i * 2);
    }
    return image;
}

std::string PathOf(const char* name) {
    return Folder() + "/" + name;
}

void PrepareFiles() {
    static bool done = false;
    if (done)
        return;
    const QImage picture = MakePicture();
    picture.save(QString::fromStdString(PathOf("pic.bmp")), "BMP");
    picture.save(QString::fromStdString(PathOf("pic.png")), "PNG");
    picture.save(QString::fromStdString(PathOf("pic.jpg")), "JPEG", 90);
    const std::string convert = "convert " + PathOf("pic.png");
    if (std::system((convert + " -compress RLE " + PathOf("pic.tga")).c_str()) != 0 ||
        std::system((convert + " " + PathOf("pic.pcx")).c_str()) != 0)
        std::fprintf(stderr, "ImageMagick's convert is needed for the TGA and PCX files\n");
    done = true;
}

void Ours(benchmark::State& state, const char* name) {
    PrepareFiles();
    const std::string path = PathOf(name);
    for (auto _ : state) {
        CWinBmp bmp;
        CAnyPicDecoder decoder;
        try {
            decoder.DecodeFile(path, &bmp, 32);
        } catch (const CTextException& e) {
            state.SkipWithError(e.Text());
            break;
        }
        benchmark::DoNotOptimize(bmp.GetBits());
    }
    state.counters["per_pixel_ns"] =
        benchmark::Counter(double(kSize) * kSize, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

void Qt(benchmark::State& state, const char* name) {
    PrepareFiles();
    const QString path = QString::fromStdString(PathOf(name));
    for (auto _ : state) {
        QImageReader reader(path);
        QImage image = reader.read();
        if (image.isNull()) {
            state.SkipWithError("Qt cannot read it");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["per_pixel_ns"] =
        benchmark::Counter(double(kSize) * kSize, benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

BENCHMARK_CAPTURE(Ours, bmp24, "pic.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Qt, bmp24, "pic.bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, png, "pic.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Qt, png, "pic.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, jpeg, "pic.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Qt, jpeg, "pic.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, tga_rle, "pic.tga")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, pcx, "pic.pcx")->Unit(benchmark::kMillisecond);

} // namespace
