#include "platform/overlay.h"

#include "platform/gdi/dc.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace platform {

namespace {

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The pixels a band covers: the rectangle less its inside.
QRegion FrameRegion(const CRect& rect, SIZE size) {
    CRect outer(rect);
    outer.NormalizeRect();
    if (outer.IsRectEmpty())
        return QRegion();
    CRect inner(outer);
    inner.InflateRect(-size.cx, -size.cy);
    QRegion frame(ToQRect(outer));
    if (!inner.IsRectEmpty())
        frame -= QRegion(ToQRect(inner));
    return frame;
}

} // namespace

COverlay::COverlay(QWidget* target)
    : QWidget(target), m_pTarget(target), m_bBand(false), m_sizeBand{0, 0} {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Disabled, so that looking for the child under a point (a drop target)
    // never finds the overlay.
    setEnabled(false);
    setFocusPolicy(Qt::NoFocus);
    if (target) {
        setGeometry(0, 0, target->width(), target->height());
        target->installEventFilter(this);
    }
    hide();
}

COverlay::~COverlay() {
    if (m_pTarget)
        m_pTarget->removeEventFilter(this);
}

void COverlay::SetDragRect(const RECT* rect, SIZE size) {
    QRegion changed;
    if (m_bBand)
        changed += FrameRegion(m_rcBand, m_sizeBand);
    m_bBand = rect != nullptr;
    if (rect) {
        m_rcBand = CRect(*rect);
        m_rcBand.NormalizeRect();
        m_sizeBand = size;
        changed += FrameRegion(m_rcBand, m_sizeBand);
        if (!isVisible()) {
            raise();
            show();
        }
    }
    // Painted now: the caller may go on without returning to the event loop
    // (the frame animation sleeps between its steps).
    if (isVisible() && !changed.isEmpty())
        repaint(changed);
    if (!m_bBand)
        hide();
}

void COverlay::paintEvent(QPaintEvent*) {
    if (!m_bBand)
        return;
    QPainter painter(this);
    CDC dc(&painter);
    dc.DrawDragRect(m_rcBand, m_sizeBand, nullptr, m_sizeBand);
}

bool COverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pTarget && event->type() == QEvent::Resize)
        setGeometry(0, 0, m_pTarget->width(), m_pTarget->height());
    return QWidget::eventFilter(watched, event);
}

} // namespace platform
