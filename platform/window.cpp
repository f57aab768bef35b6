#include "platform/window.h"

#include "platform/instances.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

namespace {
constexpr const char* kIdProperty = "morvaneControlId";
constexpr const char* kDestroyingProperty = "morvaneDestroying";
} // namespace

void DestroyWindow(QWidget* window) {
    if (!window)
        return;
    window->setProperty(kDestroyingProperty, true);
    window->close();
}

bool IsBeingDestroyed(const QWidget* window) {
    return window && window->property(kDestroyingProperty).toBool();
}

CSize ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return CSize(1024, 768);
    const QSize size = screen->geometry().size();
    return CSize(size.width(), size.height());
}

void PaintNow(QWidget* window) {
    if (!window || !window->isVisible())
        return;
    // Only what the window system reports about the window is handled here;
    // the user's input waits for the program's own loop.
    constexpr int kWaitMs = 500;
    QElapsedTimer waited;
    waited.start();
    const QWindow* handle = window->windowHandle();
    while (handle && !handle->isExposed() && waited.elapsed() < kWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    window->repaint();
}

int GetDlgCtrlID(const QWidget* window) {
    return window ? window->property(kIdProperty).toInt() : 0;
}

void SetDlgCtrlID(QWidget* window, int id) {
    if (window)
        window->setProperty(kIdProperty, id);
}

QWidget* ChildWindowFromPoint(QWidget* host, POINT p) {
    if (!host || !host->rect().contains(p.x, p.y))
        return nullptr;
    // The topmost direct child that is visible, enabled and holds the point.
    const auto children = host->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* child = qobject_cast<QWidget*>(*it);
        if (child && !child->isWindow() && child->isVisible() && child->isEnabled() &&
            child->geometry().contains(p.x, p.y))
            return child;
    }
    return host;
}

POINT ClientToScreen(const QWidget* window, POINT p) {
    const QPoint g = window->mapToGlobal(QPoint(p.x, p.y));
    return POINT{g.x(), g.y()};
}

POINT ScreenToClient(const QWidget* window, POINT p) {
    const QPoint l = window->mapFromGlobal(QPoint(p.x, p.y));
    return POINT{l.x(), l.y()};
}

POINT CursorPos() {
    const QPoint p = QCursor::pos();
    return POINT{p.x(), p.y()};
}

void MoveWindow(QWidget* window, const CRect& r) {
    if (window)
        window->setGeometry(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

CRect WindowRect(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QPoint topLeft = window->isWindow() ? frame.topLeft() : window->mapToGlobal(QPoint(0, 0));
    return CRect(topLeft.x(), topLeft.y(), topLeft.x() + frame.width(),
                 topLeft.y() + frame.height());
}

CRect ClientRect(const QWidget* window) {
    return CRect(0, 0, window->width(), window->height());
}

bool FindTopLevelWindow(const std::string& title) {
    const QString wanted = QString::fromStdString(title);
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == wanted)
            return true;
    PublishTopLevelWindows();
    for (const std::string& caption : OtherInstancesCaptions())
        if (caption == title)
            return true;
    return false;
}

namespace {
// Qt takes a modality change only when a window is shown: a visible window
// is hidden for it and shown again. Mapped again at once, the same native
// window could be left unmapped by the window manager, which took the new
// map before it withdrew the window for the unmap: the popup's loop then
// ran with nothing on the screen, and the program looked frozen. A new
// native window for the second showing leaves the window manager nothing
// to mix up.
void SetModality(QWidget* window, Qt::WindowModality modality) {
    const bool visible = window->isVisible();
    if (visible) {
        window->hide();
        if (QWindow* native = window->windowHandle())
            native->destroy();
    }
    window->setWindowModality(modality);
    if (visible)
        window->show();
}
} // namespace

CModalLoop::CModalLoop() : m_pLoop(nullptr), m_nResult(0) {}

CModalLoop::~CModalLoop() {
    End(m_nResult);
}

int CModalLoop::Run(QWidget* restrictTo) {
    if (m_pLoop)
        return 0;
    Qt::WindowModality previous = Qt::NonModal;
    if (restrictTo) {
        previous = restrictTo->windowModality();
        SetModality(restrictTo, Qt::ApplicationModal);
        restrictTo->show();
    }
    // The window that was active before goes back to being active after the
    // loop, so its keys work again without a click.
    QPointer<QWidget> before = QApplication::activeWindow();
    QEventLoop loop;
    m_pLoop = &loop;
    m_nResult = 0;
    loop.exec();
    m_pLoop = nullptr;
    if (restrictTo && restrictTo->windowModality() != previous)
        SetModality(restrictTo, previous);
    if (before && before != restrictTo && before->isVisible())
        before->activateWindow();
    return m_nResult;
}

void CModalLoop::End(int result) {
    m_nResult = result;
    if (m_pLoop)
        m_pLoop->exit(result);
}

} // namespace platform
