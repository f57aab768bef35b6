#pragma once
// Drawing outside a paint. A window system draws a tracker's rubber band by
// exclusive-oring it straight onto the window; here a transparent child
// window laid over the control shows the band instead. The control keeps
// painting itself as usual and the overlay paints after it, exclusive-oring
// the band over what the control painted, so the band inverts what lies
// under it and goes away by simply no longer being shown. Nothing is read
// back from the screen.

#include "platform/wintypes.h"

#include <QWidget>

namespace platform {

class COverlay : public QWidget {
public:
    // Covers the target (as its child, on top of its other children) and
    // follows its size; mouse events pass through to the target.
    explicit COverlay(QWidget* target);
    ~COverlay() override;
    COverlay(const COverlay&) = delete;
    COverlay& operator=(const COverlay&) = delete;

    // Shows the frame of a drag rectangle in place of the one shown before:
    // the rectangle less its inside shrunk by size, exclusive-ored with the
    // halftone brush as CDC::DrawDragRect draws it. Null takes the band
    // away. The window shows the change at once.
    void SetDragRect(const RECT* rect, SIZE size);
    bool HasBand() const { return m_bBand; }
    const CRect& GetBandRect() const { return m_rcBand; }
    SIZE GetBandSize() const { return m_sizeBand; }
    QWidget* GetTarget() const { return m_pTarget; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_pTarget;
    bool m_bBand;
    CRect m_rcBand;
    SIZE m_sizeBand;
};

} // namespace platform
