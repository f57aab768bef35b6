#include "app/morvaneview.h"

#include "app/designhistory.h"
#include "app/designpictures.h"
#include "imaging/toolarge.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"
#include "popups/pageprintwindow.h"
#include "popups/textwindow.h"
#include "popups/wizardwindow.h"

#include <QMouseEvent>
#include <QPainter>

CMorvaneView::CMorvaneView(QWidget* parent)
    : QWidget(parent), m_pPageWindow(nullptr), m_pTextWindow(nullptr),
      m_pWizardWindow(nullptr), m_lfText{}, m_crText(kDefaultTextColour), m_nAlign(0),
      m_pDocument(nullptr), m_pPayload(nullptr), m_bPrinting(false), m_bInvalidateOnPaint(true) {
    m_nRole = 0;
    m_pHostWnd = this;
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_pHistory = std::make_unique<CDesignHistory>(*this);
    m_pPictures = std::make_unique<CDesignPictures>(*this);
}

CMorvaneView::~CMorvaneView() {
    // Nothing the controls do while they go is a change to the design.
    m_pHistory.reset();
    SetPictureTooLargeReporter(nullptr);
    delete m_pPageWindow;
    m_pPageWindow = nullptr;
    delete m_pWizardWindow;
    m_pWizardWindow = nullptr;
    delete m_pTextWindow;
    m_pTextWindow = nullptr;
    m_print.m_nPageMode = 0;
    Clear();
}

BOOL CMorvaneView::OnInitialUpdate() {
    return Initialise();
}

void CMorvaneView::paintEvent(QPaintEvent*) {
    EnablePaint(TRUE);
    QPainter painter(this);
    CDC dc(&painter);
    if (!EraseBackground(&dc))
        painter.fillRect(rect(), QColor(0x14, 0x1E, 0x3C));
    if (m_bInvalidateOnPaint) {
        // The controls were held back (at start, or while printing): let
        // them all paint once now.
        m_bInvalidateOnPaint = false;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->update();
    }
}

void CMorvaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(0, width(), height());
}

void CMorvaneView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    OnMouseMove(0, p.x(), p.y());
    QWidget::mouseMoveEvent(event);
}

void CMorvaneView::DestroyHost() {
    platform::DestroyWindow(window());
}

void CMorvaneView::OnSizeLimitsChanged() {
    QWidget* frame = window();
    if (!frame || frame == this || m_bPrinting)
        return;
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{0, 0};
    info.ptMaxTrackSize = POINT{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    GetMinMaxInfo(&info);
    frame->setMinimumSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
    frame->setMaximumSize(info.ptMaxTrackSize.x, info.ptMaxTrackSize.y);
}
