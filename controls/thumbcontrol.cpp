#include "controls/thumbcontrol.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "imaging/dib.h"
#include "platform/gdi/dc.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <utility>

namespace {

// The size of the picture a thumb without any image fits its field to.
constexpr int kEmptyWidth = 40;
constexpr int kEmptyHeight = 30;

// The edge of the outer rectangle by the first look that holds: pressed,
// hover, enabled, disabled.
void DrawLookEdge(CDC* dc, const CRect& outer, DWORD flags, int insetX, int insetY) {
    CRect rect = outer;
    if (flags & BTN_PRESSED) {
        dc->DrawEdge(&rect, EDGE_RAISED, BF_RECT);
        rect.DeflateRect(insetX >> 1, insetY >> 1);
        dc->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    } else if (flags & BTN_HOVER) {
        dc->DrawEdge(&rect, EDGE_RAISED, BF_RECT);
    } else if (flags & BTN_ENABLED) {
        dc->DrawEdge(&rect, EDGE_ETCHED, BF_RECT);
    } else if (flags & BTN_DISABLED) {
        dc->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    }
}

} // namespace

CThumbControl::CThumbControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                             const char* caption, DWORD initialFlags, DWORD extraStyle, int insetX,
                             int insetY, COLORREF frame)
    : CButtonControl(manager, parent, id, rect, caption, initialFlags, extraStyle),
      m_nInsetX(insetX), m_nInsetY(insetY), m_crFrame(frame), m_pThumbnail(nullptr),
      m_bDragRan(false) {}

// The button part gives the image back to the cache; a copied thumbnail
// goes with this object.
CThumbControl::~CThumbControl() = default;

// Pictures between thumbs --------------------------------------------------------------

BOOL CThumbControl::TakeImageFrom(CThumbControl* other) {
    if (!other)
        return FALSE;
    ReleaseBitmap();
    ForgetThumbnail();
    m_pStrip = std::exchange(other->m_pStrip, nullptr);
    m_pThumbnail = std::exchange(other->m_pThumbnail, nullptr);
    m_pOwnThumbnail = std::move(other->m_pOwnThumbnail);
    // The look goes with the picture: a thumb whose picture was still being
    // replaced keeps the black field wherever the picture moves.
    m_dwFlags = (m_dwFlags & ~THUMB_PLACEHOLDER) | (other->m_dwFlags & THUMB_PLACEHOLDER);
    Redraw(nullptr, 0);
    return TRUE;
}

BOOL CThumbControl::CopyImageFrom(CThumbControl* other) {
    if (!other || !other->m_pStrip || !m_pManager)
        return FALSE;
    CDIB* source = other->m_pStrip;
    CDIB* image = nullptr;
    if (!source->GetImagePath().empty())
        image =
            m_pManager->LoadImage(source->GetImagePath().c_str(), source->GetLoadedParts(), FALSE);
    else if (m_pManager->Images().Add(source, source->GetLoadedParts()))
        image = source;
    // A picture that no longer loads leaves this thumb as it was.
    if (!image)
        return FALSE;
    m_dwFlags |= THUMB_IMAGE;
    // The new reference is taken first, so releasing the old one never
    // drops an image that both are.
    ReleaseBitmap();
    ForgetThumbnail();
    m_pStrip = image;
    m_dwFlags = (m_dwFlags & ~THUMB_PLACEHOLDER) | (other->m_dwFlags & THUMB_PLACEHOLDER);
    if (!other->m_pThumbnail)
        return FALSE;
    m_pOwnThumbnail.reset(other->m_pThumbnail->Clone());
    m_pThumbnail = m_pOwnThumbnail.get();
    Redraw(nullptr, 0);
    return m_pThumbnail ? TRUE : FALSE;
}

BOOL CThumbControl::SwapImagesWith(CThumbControl* other) {
    if (!other)
        return FALSE;
    std::swap(m_pStrip, other->m_pStrip);
    std::swap(m_pThumbnail, other->m_pThumbnail);
    std::swap(m_pOwnThumbnail, other->m_pOwnThumbnail);
    std::swap(m_dwFlags, other->m_dwFlags);
    Redraw(nullptr, 0);
    other->Redraw(nullptr, 0);
    return TRUE;
}

void CThumbControl::ClearImage() {
    ReleaseBitmap();
    ForgetThumbnail();
    Redraw(nullptr, 0);
}

void CThumbControl::ForgetThumbnail() {
    m_pThumbnail = nullptr;
    m_pOwnThumbnail.reset();
}

// Loading --------------------------------------------------------------------------------

BOOL CThumbControl::SetBitmapFile(const char* name) {
    if (!m_pManager || !name || !*name)
        return FALSE;
    CDIB* image = m_pManager->LoadImage(name, CDIB::kThumbnail, FALSE);
    if (!image)
        return FALSE;
    return TakeImage(image);
}

BOOL CThumbControl::SetBitmap(CDIB* image) {
    if (!image || !m_pManager || !m_pManager->Images().Add(image, CDIB::kThumbnail))
        return FALSE;
    return TakeImage(image);
}

BOOL CThumbControl::TakeImage(CDIB* image) {
    m_dwFlags |= THUMB_IMAGE;
    if (image == m_pStrip) {
        // Shown already: the thumb keeps the reference it holds, so the one
        // the cache just added goes back.
        m_pManager->ReleaseImage(image);
        return TRUE;
    }
    ReleaseBitmap();
    ForgetThumbnail();
    m_pStrip = image;
    m_pThumbnail = image->GetThumbnail();
    if (!m_pThumbnail)
        return FALSE;
    m_dwFlags &= ~THUMB_PLACEHOLDER;
    Redraw(nullptr, 0);
    return TRUE;
}

// Drawing -----------------------------------------------------------------------------------

void CThumbControl::SetFrameColor(COLORREF colour) {
    if (colour == m_crFrame)
        return;
    m_crFrame = colour;
    update();
}

void CThumbControl::OnPaint(CDC* dc, const RECT* area) {
    if (!dc || !m_pWnd || !m_pManager)
        return;
    CDIB* source = m_pThumbnail ? m_pThumbnail : m_pStrip;
    const CRect sourceRect = source ? CRect(0, 0, source->GetWidth(), source->GetHeight())
                                    : CRect(0, 0, kEmptyWidth, kEmptyHeight);
    // A strip places its thumbs without touching m_rcWindow, so the window
    // itself tells the size to fill.
    const CRect outer = area ? CRect(0, 0, area->right - area->left, area->bottom - area->top)
                             : CRect(0, 0, width(), height());
    CRect field = outer;
    field.DeflateRect(m_nInsetX, m_nInsetY);
    dc->FillSolidRect(field, RGB(0, 0, 0));
    if (m_dwFlags & BTN_PRESSED)
        field.OffsetRect(1, 1);
    if (source && !(m_dwFlags & THUMB_PLACEHOLDER)) {
        if (m_dwFlags & BTN_KEEP_ASPECT)
            AspectFit(sourceRect, &field);
        source->Draw(dc, &field, nullptr, m_pManager->GetPalette(), true);
    }
    DrawLookEdge(dc, outer, m_dwFlags, m_nInsetX, m_nInsetY);

    CPen pen(PS_SOLID, 2, m_crFrame);
    CPen* oldPen = dc->SelectObject(&pen);
    CGdiObject* oldBrush = dc->SelectStockObject(HOLLOW_BRUSH);
    CRect frame = outer;
    frame.DeflateRect(1, 1);
    dc->Rectangle(frame);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

// Dragging ----------------------------------------------------------------------------------

CDIB* CThumbControl::CreateDragImage() {
    FreeDragImage();
    const int w = width(), h = height();
    if (w <= 0 || h <= 0)
        return nullptr;
    QImage snapshot = grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto image = std::make_unique<CDIB>();
    if (snapshot.isNull() || !image->Create(w, h, 24, nullptr))
        return nullptr;
    QPainter painter(&snapshot);
    CDC dc(&painter, &snapshot);
    if (!image->CaptureFromDC(&dc, snapshot.width(), snapshot.height(), nullptr))
        return nullptr;
    m_pDragImage = image.release();
    m_bDragRan = m_pManager != nullptr;
    return m_pDragImage;
}

void CThumbControl::mouseMoveEvent(QMouseEvent* event) {
    m_bDragRan = false;
    const QPointer<CThumbControl> self(this);
    CButtonControl::mouseMoveEvent(event);
    if (self && m_bDragRan)
        LetGoAfterDrag(event);
    if (self)
        m_bDragRan = false;
}

void CThumbControl::LetGoAfterDrag(const QMouseEvent* event) {
    // The drag icon took the mouse, so the release that ended the drag
    // never came here. Let go of the press as a button does when it loses
    // the mouse: no pressed look stays behind and no click follows.
    setDown(false);
    QMouseEvent release(QEvent::MouseButtonRelease, event->position(), event->globalPosition(),
                        Qt::LeftButton, Qt::NoButton, event->modifiers());
    QAbstractButton::mouseReleaseEvent(&release);
    m_dwFlags &= ~BTN_PRESSED;
    update();
}
