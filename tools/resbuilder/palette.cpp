#include "palette.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace resbuilder {
namespace {

// The colours a 256-colour display keeps for itself.
constexpr std::array<QRgb, 10> kStaticLow = {0xff000000, 0xff800000, 0xff008000, 0xff808000,
                                             0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                                             0xffc0dcc0, 0xffa6caf0};
constexpr std::array<QRgb, 10> kStaticHigh = {0xfffffbf0, 0xffa0a0a4, 0xff808080, 0xffff0000,
                                              0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff,
                                              0xff00ffff, 0xffffffff};

// Tones of the interface that the cube would show only as coarse steps.
constexpr std::array<QRgb, 20> kInterfaceTones = {
    0xff0f1733, 0xff141e3c, 0xff1a2850, 0xff223264, 0xff2b3d78, 0xff38467a, 0xff4c5a88,
    0xff0a1026, 0xff323232, 0xff1c1c1c, 0xff282828, 0xff3e3e3e, 0xff4a4a4a, 0xff5a5a5a,
    0xff6e6e6e, 0xff8c8c8c, 0xffbfbfbf, 0xffd8d8d8, 0xffe8e8e8, 0xfff2f5ff};

int Distance(QRgb a, int r, int g, int b) {
    // Weighted by the eye's sensitivity: green counts most, blue least.
    const int dr = qRed(a) - r, dg = qGreen(a) - g, db = qBlue(a) - b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Nearest(const QList<QRgb>& palette, int r, int g, int b) {
    int best = 0, bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int d = Distance(palette[i], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

QList<QRgb> DefaultPalette() {
    // The cube and the interface tones fill the middle without repeating a
    // colour of the static ones (black, white and the primaries are in
    // both); the slots left over take more steps of grey.
    QList<QRgb> middle;
    auto add = [&](QRgb c) {
        if (!middle.contains(c) &&
            std::find(kStaticLow.begin(), kStaticLow.end(), c) == kStaticLow.end() &&
            std::find(kStaticHigh.begin(), kStaticHigh.end(), c) == kStaticHigh.end())
            middle.append(c);
    };
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                add(qRgb(r * 51, g * 51, b * 51));
    for (QRgb c : kInterfaceTones)
        add(c);
    constexpr int kMiddle = 256 - int(kStaticLow.size() + kStaticHigh.size());
    for (int step = 1; middle.size() < kMiddle && step < 255; step += 2) {
        const int level = (step * 37) % 255; // spread over the whole range
        add(qRgb(level, level, level));
    }
    QList<QRgb> palette(kStaticLow.begin(), kStaticLow.end());
    palette.append(middle.mid(0, kMiddle));
    palette.append(QList<QRgb>(kStaticHigh.begin(), kStaticHigh.end()));
    return palette;
}

QImage PalettePicture(const QList<QRgb>& palette) {
    QImage picture(256, 256, QImage::Format_Indexed8);
    picture.setColorTable(palette);
    for (int y = 0; y < 256; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < 256; ++x)
            row[x] = uchar((y / 16) * 16 + x / 16);
    }
    return picture;
}

QImage MatchToPalette(const QImage& image, const QList<QRgb>& palette) {
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    QImage result(w, h, QImage::Format_RGB32);
    // Errors of the current and the next row, three channels per pixel,
    // with one spare pixel at each end.
    std::vector<int> current(3 * (w + 2), 0), next(3 * (w + 2), 0);
    QHash<QRgb, int> cache;
    for (int y = 0; y < h; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < w; ++x) {
            int* e = &current[3 * (x + 1)];
            const int r = std::clamp(qRed(in[x]) + e[0] / 16, 0, 255);
            const int g = std::clamp(qGreen(in[x]) + e[1] / 16, 0, 255);
            const int b = std::clamp(qBlue(in[x]) + e[2] / 16, 0, 255);
            const QRgb key = qRgb(r, g, b);
            auto found = cache.constFind(key);
            const int index = found != cache.constEnd() ? *found : Nearest(palette, r, g, b);
            cache.insert(key, index);
            const QRgb chosen = palette[index];
            out[x] = chosen;
            const int err[3] = {r - qRed(chosen), g - qGreen(chosen), b - qBlue(chosen)};
            for (int c = 0; c < 3; ++c) {
                current[3 * (x + 2) + c] += err[c] * 7;
                next[3 * x + c] += err[c] * 3;
                next[3 * (x + 1) + c] += err[c] * 5;
                next[3 * (x + 2) + c] += err[c] * 1;
            }
        }
        std::swap(current, next);
    }
    return result;
}

} // namespace resbuilder
