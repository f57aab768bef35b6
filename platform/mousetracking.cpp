#include "platform/mousetracking.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

UINT KeysOf(Qt::KeyboardModifiers modifiers) {
    UINT keys = 0;
    if (modifiers & Qt::ShiftModifier)
        keys |= platform::kMouseShift;
    if (modifiers & Qt::ControlModifier)
        keys |= platform::kMouseControl;
    return keys;
}

// While a drag follows the mouse the window has all mouse input: this
// loop takes every mouse event of the program's widgets and hands the
// moves to the drag, until the left button comes up (released) or Escape
// or the right button cancels.
class TrackingLoop : public QObject {
public:
    TrackingLoop(QWidget* wnd, const std::function<void(POINT, UINT)>& follow)
        : m_pWnd(wnd), m_follow(follow) {}

    // TRUE when the release ended the loop.
    bool Run() {
        QEventLoop loop;
        m_pLoop = &loop;
        qApp->installEventFilter(this);
        loop.exec();
        qApp->removeEventFilter(this);
        m_pLoop = nullptr;
        return m_bReleased;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_pWnd) {
            Finish(false);
            return false;
        }
        // Mouse events reach the window system's window first and then the
        // widget; the widget's copy is the one taken.
        if (!watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_follow(PointOf(mouse), KeysOf(mouse->modifiers()));
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_follow(PointOf(mouse), KeysOf(mouse->modifiers()));
                Finish(true);
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                Finish(false);
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                Finish(false);
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    POINT PointOf(const QMouseEvent* mouse) const {
        const QPoint p = m_pWnd->mapFromGlobal(mouse->globalPosition().toPoint());
        return POINT{p.x(), p.y()};
    }
    void Finish(bool released) {
        m_bReleased = released;
        if (m_pLoop)
            m_pLoop->quit();
    }

    QPointer<QWidget> m_pWnd;
    const std::function<void(POINT, UINT)>& m_follow;
    QEventLoop* m_pLoop = nullptr;
    bool m_bReleased = false;
};

} // namespace

namespace platform {

bool TrackMouse(QWidget* wnd, const std::function<void(POINT point, UINT keys)>& follow) {
    if (!wnd)
        return false;
    TrackingLoop loop(wnd, follow);
    return loop.Run();
}

} // namespace platform
