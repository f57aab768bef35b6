#pragma once
// What the layer tests share: a shown host window with a layer mixer and
// the layer list that serves it, connected as the main view connects them;
// a manager that logs the notifications it hears; pictures of one colour
// that the layer streams keep opaque; and mouse events through Qt.

#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "testsupport.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

namespace mixertest {

constexpr int kMixerId = 567855118;
constexpr int kCycleId = 11116578;
constexpr COLORREF kPageGrey = 0xE8E8E8;

// A 24-bit picture whose left half is one colour (0xRRGGBB) and right half
// another, but for its top-right pixel, which differs in its lowest bit so
// that the top corners do not make a colour key: the whole picture is
// opaque.
inline CDIB* HalvesPicture(int width, int height, uint32_t left, uint32_t right) {
    auto* dib = new CDIB;
    dib->Create(width, height, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = x < width / 2 ? left : right;
            const uint32_t c = (x == width - 1 && y == 0) ? rgb ^ 1 : rgb;
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            p[0] = BYTE(c);
            p[1] = BYTE(c >> 8);
            p[2] = BYTE(c >> 16);
        }
    dib->EndPixelAccess();
    dib->EnsureParts(CDIB::kImage);
    return dib;
}

inline CDIB* SolidPicture(int width, int height, uint32_t rgb) {
    return HalvesPicture(width, height, rgb, rgb);
}

// 0xRRGGBB of a page pixel.
inline uint32_t PagePixel(CDIB* page, int x, int y) {
    page->BeginPixelAccess();
    const BYTE* p = page->PixelAddress(unsigned(x), unsigned(y));
    const uint32_t c = p ? (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0] : 0xDEADBEEF;
    page->EndPixelAccess();
    return c;
}

// 0xRRGGBB of a pixel of a grabbed window.
inline uint32_t ScreenPixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

inline uint32_t Rgb(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// A manager over a shown widget, painting enabled, holding a mixer of the
// given size at (0, 0) and the layer list below it; the list serves the
// mixer and the mixer is the list's mixer. The mixer is laid out once, its
// margins fitted, and laid out again so that the page image has the size
// of the page rectangle, as the main view leaves it after a new design.
class MixerHost : public CControlManager {
public:
    explicit MixerHost(int width = 469, int height = 419) {
        m_widget.resize(width, height + 40);
        m_widget.show();
        m_pHostWnd = &m_widget;
        EnablePaint(TRUE);
        const CRect mixerRect(0, 0, width, height);
        mixer = new CLayerMixer(this, &m_widget, kMixerId, &mixerRect, WS_CHILD | WS_VISIBLE);
        AddControl(mixer);
        const CRect cycleRect(0, height + 5, 200, height + 35);
        layers = new CLayerCycle(this, &m_widget, kCycleId, &cycleRect, 0, 0);
        AddControl(layers);
        mixer->m_pLayerServer = layers;
        layers->SetMixer(mixer);
        mixer->Relayout();
        mixer->Relayout();
        log.clear();
    }
    ~MixerHost() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }

    void OnNotify_Select(int sender, int value) override {
        log.push_back("select " + std::to_string(sender) + " " + std::to_string(value));
    }
    void OnNotify_Int(int sender, int value) override {
        log.push_back("int " + std::to_string(sender) + " " + std::to_string(value));
    }

    // A picture layer in front of the others, as the view inserts them.
    CLayerChannel* AddPicture(int width, int height, uint32_t rgb) {
        layers->AddPictureItem(SolidPicture(width, height, rgb), 50, 50, kPlaceFront, 0);
        return mixer->GetLayer(0);
    }
    CLayerChannel* AddHalves(int width, int height, uint32_t left, uint32_t right) {
        layers->AddPictureItem(HalvesPicture(width, height, left, right), 50, 50, kPlaceFront, 0);
        return mixer->GetLayer(0);
    }
    // Puts a layer's box at a place on the page and recomposes.
    void Place(CLayerChannel* layer, double x, double y, double w, double h) {
        mixer->InvalidateLayerBox(layer);
        layer->SetGeometry(x, y, w, h);
        mixer->InvalidateLayerBox(layer);
        mixer->Redraw(nullptr, 0);
    }
    QImage Grab() { return mixer->grab().toImage(); }

    QWidget m_widget;
    CLayerMixer* mixer;
    CLayerCycle* layers;
    std::vector<std::string> log;

protected:
    void DestroyHost() override {}
};

// Mouse events at a point of the window, with the buttons held after them.
inline void SendMouse(QWidget* widget, QEvent::Type type, int x, int y, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    const QPointF local(x, y);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace mixertest
