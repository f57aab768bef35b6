#include "platform/metafile/metafile.h"

#include "platform/metafile/players.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {

namespace {

// Without a screen (no application object) the pictures are made for a
// plain 96-dpi display.
constexpr int kFallbackDpi = 96;
constexpr CSize kFallbackPixels{1024, 768};

const QScreen* PrimaryScreen() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

int PixelsToMm(int pixels, int dpi) {
    return static_cast<int>(std::lround(pixels * 25.4 / dpi));
}

} // namespace

CMetafile::~CMetafile() = default;

std::unique_ptr<CMetafile> CMetafile::Load(const BYTE* data, size_t size, Kind kind,
                                           std::string* error) {
    std::string reason;
    std::unique_ptr<CMetafile> result;
    if (!data || size == 0)
        reason = "The metafile is empty.";
    else if (kind == Kind::Wmf)
        result = metafile::LoadWmf(data, size, &reason);
    else
        result = metafile::LoadEmf(data, size, &reason);
    if (!result && error)
        *error = reason;
    return result;
}

int ScreenLogPixelsX() {
    const QScreen* screen = PrimaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchX())) : kFallbackDpi;
}

int ScreenLogPixelsY() {
    const QScreen* screen = PrimaryScreen();
    return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : kFallbackDpi;
}

CSize ScreenSizePixels() {
    const QScreen* screen = PrimaryScreen();
    if (!screen)
        return kFallbackPixels;
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

CSize ScreenSizeMm() {
    const QScreen* screen = PrimaryScreen();
    const CSize pixels = ScreenSizePixels();
    if (screen) {
        const QSizeF mm = screen->physicalSize();
        if (mm.width() >= 1 && mm.height() >= 1)
            return {static_cast<int>(std::lround(mm.width())),
                    static_cast<int>(std::lround(mm.height()))};
    }
    return {PixelsToMm(pixels.cx, ScreenLogPixelsX()), PixelsToMm(pixels.cy, ScreenLogPixelsY())};
}

} // namespace platform
