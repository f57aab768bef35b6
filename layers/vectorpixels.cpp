// Clip art drawn from its vector drawing at the size of its box, for prints
// and exports at size: the bundled pictures are staged with the drawing they
// were rendered from, framed exactly as their image file.

#include "imaging/dib.h"
#include "imaging/sizedpixels.h"
#include "layers/layerchannel.h"
#include "platform/paths.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

class CVectorPixels : public CDrawnPixels {
public:
    CVectorPixels(std::unique_ptr<QSvgRenderer> drawing, int width, int height)
        : CDrawnPixels(width, height), m_drawing(std::move(drawing)) {}

protected:
    void DrawBand(QPainter& painter, int top) const override {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_drawing->render(&painter, QRectF(0, -top, GetWidth(), GetHeight()));
    }

private:
    std::unique_ptr<QSvgRenderer> m_drawing;
};

} // namespace

std::string VectorDrawingOf(const CDIB& picture) {
    std::string path = picture.GetImagePath();
    const size_t dot = path.find_last_of('.');
    const size_t separator = path.find_last_of("/\\");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return std::string();
    path.replace(dot, std::string::npos, ".svg");
    std::string found;
    return CDIB::FindPictureFile(path, &found) ? found : std::string();
}

std::unique_ptr<CLayerPixels> DrawnVectorPixels(const std::string& svgPath, int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    auto drawing =
        std::make_unique<QSvgRenderer>(QString::fromStdString(platform::NativePath(svgPath)));
    if (!drawing->isValid())
        return nullptr;
    drawing->setAspectRatioMode(Qt::IgnoreAspectRatio);
    return std::make_unique<CVectorPixels>(std::move(drawing), width, height);
}
