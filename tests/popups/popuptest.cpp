#include "popuptest.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace popuptest {

void SendMouse(QWidget* widget, int type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::Type(type), QPointF(local), QPointF(widget->mapToGlobal(local)),
                      button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QImage Grab(QWidget* widget) {
    return widget->grab().toImage();
}

unsigned PixelOf(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

void ClickCentre(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

LoopGuard::LoopGuard(std::function<void()> end) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this, end = std::move(end)] {
        m_bFired = true;
        end();
    });
    m_timer.start(5000);
}

} // namespace popuptest
