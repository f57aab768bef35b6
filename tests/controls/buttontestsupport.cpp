#include "buttontestsupport.h"

#include "controls/button.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"
#include "platform/popupmenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstdio>

namespace buttontest {

namespace {

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", unsigned(value));
    return text;
}

void SendMouse(QWidget* widget, QEvent::Type type, int x, int y, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers) {
    const QPointF local(x, y);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

} // namespace

LoggingHost::LoggingHost() {
    m_widget.resize(400, 300);
    m_widget.show();
    m_pHostWnd = &m_widget;
    EnablePaint(TRUE);
}

LoggingHost::~LoggingHost() {
    Clear();
}

void LoggingHost::OnNotify_Select(int sender, int value) {
    log.push_back("select " + std::to_string(sender) + " " + std::to_string(value));
}

void LoggingHost::OnNotify_Activate(int sender, BYTE active) {
    log.push_back("activate " + std::to_string(sender) + " " + std::to_string(active));
}

void LoggingHost::OnNotify_DWORD(int sender, DWORD value) {
    log.push_back("dword " + std::to_string(sender) + " " + Hex(value));
}

void LoggingHost::OnNotify_Int(int sender, int value) {
    log.push_back("int " + std::to_string(sender) + " " + std::to_string(value));
}

void LoggingHost::OnNotify_Double(int sender, double value) {
    log.push_back("double " + std::to_string(sender) + " " + std::to_string(value));
}

CDIB* MakePicture(int width, int height, const std::function<COLORREF(int x, int y)>& colourOf) {
    auto* dib = new CDIB;
    if (!dib->Create(width, height, 24, nullptr) || !dib->BeginPixelAccess()) {
        ADD_FAILURE() << "could not make a " << width << " x " << height << " picture";
        return dib;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
            const COLORREF c = colourOf(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    dib->EndPixelAccess();
    return dib;
}

COLORREF PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

QImage RenderLook(CButtonControl& control, int width, int height, COLORREF fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    QPainter painter(&image);
    CDC dc(&painter, &image);
    control.OnPaint(&dc, nullptr);
    painter.end();
    return image;
}

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Press(QWidget* widget, int x, int y, Qt::KeyboardModifiers modifiers) {
    SendMouse(widget, QEvent::MouseButtonPress, x, y, Qt::LeftButton, modifiers);
}

void Release(QWidget* widget, int x, int y, Qt::KeyboardModifiers modifiers) {
    SendMouse(widget, QEvent::MouseButtonRelease, x, y, Qt::NoButton, modifiers);
}

void DoubleClick(QWidget* widget, int x, int y) {
    SendMouse(widget, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::NoModifier);
}

void Move(QWidget* widget, int x, int y) {
    const QPointF local(x, y);
    QMouseEvent event(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace buttontest
