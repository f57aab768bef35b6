#pragma once
// What the button, cycle button and menu tests share: a manager over a
// plain widget that logs what reaches it, pictures made pixel by pixel,
// rendering through a control's OnPaint, and mouse events.

#include "controls/controlmanager.h"
#include "platform/wintypes.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CButtonControl;
class CDIB;

namespace buttontest {

// A manager hosted by a shown 400 x 300 widget, painting enabled, that
// logs every notification it receives as "kind sender value".
class LoggingHost : public CControlManager {
public:
    LoggingHost();
    // The controls go before the widget that parents their windows.
    ~LoggingHost() override;
    BOOL CreateControls() override { return TRUE; }
    void OnNotify_Select(int sender, int value) override;
    void OnNotify_Activate(int sender, BYTE active) override;
    void OnNotify_DWORD(int sender, DWORD value) override;
    void OnNotify_Int(int sender, int value) override;
    void OnNotify_Double(int sender, double value) override;

    QWidget* Widget() { return &m_widget; }
    std::vector<std::string> log;

protected:
    void DestroyHost() override {}

private:
    QWidget m_widget;
};

// A 24-bit picture whose pixel (x, y), y counted from the top, has the
// colour the function gives.
CDIB* MakePicture(int width, int height, const std::function<COLORREF(int x, int y)>& colourOf);

// The colour of a pixel of an image as a COLORREF.
COLORREF PixelAt(const QImage& image, int x, int y);

// Draws the control's current look through its OnPaint into an image of
// the given size filled first with the fill colour.
QImage RenderLook(CButtonControl& control, int width, int height, COLORREF fill);

// The widget as a paint of the window system shows it now.
QImage Grab(QWidget* widget);

// Left-button mouse events at a client point.
void Press(QWidget* widget, int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Release(QWidget* widget, int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void DoubleClick(QWidget* widget, int x, int y);
void Move(QWidget* widget, int x, int y);

} // namespace buttontest
