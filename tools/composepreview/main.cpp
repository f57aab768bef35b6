// Composes a sample page the way the program composes a design (gradient,
// clip-art pictures with their alpha masks, a text layer, mirrored and
// flipped layers, one half transparent) and writes it as a PNG, so the
// look of the composition can be inspected.
//
// Usage: composepreview <clip-art folder, e.g. stage/res/Data> <out.png>

#include "imaging/composelayer.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The first few "i" pictures found under the clip-art folder.
std::vector<std::string> FindPictures(const fs::path& data, size_t count) {
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(data, ec), end; it != end && found.size() < count;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file() && name.size() > 5 && name[0] == 'i' &&
            it->path().extension() == ".bmp")
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

QImage ToImage(CDIB& page) {
    QImage image(page.GetWidth(), page.GetHeight(), QImage::Format_RGB32);
    page.BeginPixelAccess();
    for (int y = 0; y < page.GetHeight(); ++y) {
        const BYTE* p = page.PixelAddress(0, unsigned(y));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < page.GetWidth(); ++x, p += 3)
            out[x] = qRgb(p[2], p[1], p[0]);
    }
    page.EndPixelAccess();
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: composepreview <clip-art folder> <out.png>\n");
        return 2;
    }
    std::vector<std::unique_ptr<CDIB>> pictures;
    std::vector<std::unique_ptr<CLayerChannel>> layers;
    for (const std::string& path : FindPictures(argv[1], 5)) {
        auto picture = std::make_unique<CDIB>();
        if (picture->Load(path, 0, 0))
            pictures.push_back(std::move(picture));
    }
    const double boxes[5][4] = {{80, 120, 420, 420},
                                {520, 90, 400, 400},
                                {300, 480, 450, 450},
                                {40, 640, 300, 300},
                                {660, 600, 300, 300}};
    for (size_t i = 0; i < pictures.size(); ++i) {
        auto layer =
            std::make_unique<CLayerChannel_DIB>(pictures[i].get(), int(i), i == 3 ? 128 : 255);
        if (!layer->BuildStream())
            continue;
        layer->SetGeometry(boxes[i][0], boxes[i][1], boxes[i][2], boxes[i][3]);
        layer->m_nMirrored = i == 1;
        layer->m_nFlipped = i == 4;
        layers.push_back(std::move(layer));
    }
    LOGFONTA font{};
    font.lfHeight = -72;
    font.lfWeight = FW_BOLD;
    platform::SetFaceName(font, "DejaVu Sans");
    auto text = std::make_unique<CLayerChannel_Text>("Kavelo\nzomer 2026", 99, 255, font,
                                                     RGB(200, 30, 60), 1);
    text->BuildStream();
    text->SetGeometry(250, 20, text->m_stream.GetWidth(), text->m_stream.GetHeight());
    layers.insert(layers.begin(), std::move(text));

    std::vector<CComposeLayer*> order;
    for (auto& layer : layers)
        order.push_back(layer.get());
    static BYTE table[65536];
    FillProductTable(table);
    CMixerDIB page;
    page.Create(1000, 1052, 24, nullptr);
    page.Compose(order, table, table, RGB(255, 250, 235), RGB(225, 240, 255), RGB(255, 228, 235),
                 RGB(235, 255, 240), nullptr, nullptr);
    if (!ToImage(page).save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "could not write %s\n", argv[2]);
        return 1;
    }
    std::printf("%zu layers composed into %s\n", layers.size(), argv[2]);
    return 0;
}
