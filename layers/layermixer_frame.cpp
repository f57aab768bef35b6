// The selection frame of the layer mixer beyond the rectangle tracker: the
// turning knob, the frame of a turned layer and their drags, the layer
// shown at its new place while any drag goes on, and the commands that
// turn and nudge the selected layer.

#include "layers/layermixer.h"

#include "controls/controlmanager.h"
#include "controls/notifier.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/selectionframe.h"
#include "platform/mousetracking.h"

namespace {

constexpr int kNudgeFar = 10;

CSelectionFrame FrameOf(const CLayerChannel& layer, CPoint offset, const CRect& window) {
    return CSelectionFrame(layer, POINT{offset.x, offset.y}, SIZE{window.Width(), window.Height()});
}

} // namespace

int CLayerMixer::FrameHitTest(int x, int y) const {
    if (!m_pSelected)
        return CSelectionFrame::hitNothing;
    const CSelectionFrame frame = FrameOf(*m_pSelected, GetPageOffset(), m_rcWindow);
    const int hit = frame.HitTest(POINT{x, y});
    if (hit != CSelectionFrame::hitNothing || frame.IsRotated())
        return hit;
    return m_tracker.HitTest(POINT{x, y});
}

bool CLayerMixer::TrackFrame(int x, int y) {
    const int hit = FrameHitTest(x, y);
    if (hit == CSelectionFrame::hitRotate)
        return TrackRotation(x, y);
    if (m_pSelected && m_pSelected->m_dAngle != 0.0)
        return TrackTurnedFrame(hit, x, y);
    return TrackSelection(x, y);
}

void CLayerMixer::ShowSelectedLive(const CRect& before) {
    AddDirty(before);
    AddDirty(PageBox(m_pSelected));
    ComposePage(&m_rcDirty);
    m_rcDirty.SetRectEmpty();
    repaint();
}

bool CLayerMixer::TrackTurnedFrame(int hit, int x, int y) {
    CLayerChannel* layer = m_pSelected;
    const CLayerPlacement start = CLayerPlacement::Of(*layer);
    const bool released = platform::TrackMouse(this, [&](POINT p, UINT) {
        if (!m_pSelected)
            return;
        const CRect before = PageBox(layer);
        CSelectionFrame::Drag(start, hit, p.x - x, p.y - y).ApplyTo(*layer);
        ShowSelectedLive(before);
    });
    if (m_pSelected != layer)
        return false;
    const CRect before = PageBox(layer);
    const CLayerPlacement end = CLayerPlacement::Of(*layer);
    const bool changed =
        released && (end.x != start.x || end.y != start.y || end.width != start.width ||
                     end.height != start.height || end.mirrored != start.mirrored ||
                     end.flipped != start.flipped);
    if (!changed)
        start.ApplyTo(*layer);
    ShowSelectedLive(before);
    layer->m_nModified = 1;
    if (changed)
        NotifyEdited();
    return changed;
}

bool CLayerMixer::TrackRotation(int x, int y) {
    CLayerChannel* layer = m_pSelected;
    const CLayerPlacement start = CLayerPlacement::Of(*layer);
    const CRotatedBox box(*layer);
    const CPoint offset = GetPageOffset();
    const double cx = box.m_dCentreX + offset.x, cy = box.m_dCentreY + offset.y;
    const CPointD from{x - cx, y - cy};
    const bool released = platform::TrackMouse(this, [&](POINT p, UINT keys) {
        if (!m_pSelected)
            return;
        const CRect before = PageBox(layer);
        const double angle = CSelectionFrame::Turn(start.angle, from, CPointD{p.x - cx, p.y - cy},
                                                   (keys & platform::kMouseShift) != 0);
        if (angle == layer->m_dAngle)
            return;
        layer->m_dAngle = angle;
        ShowSelectedLive(before);
    });
    if (m_pSelected != layer)
        return false;
    const bool changed = released && layer->m_dAngle != start.angle;
    if (!changed) {
        const CRect before = PageBox(layer);
        layer->m_dAngle = start.angle;
        ShowSelectedLive(before);
    }
    SelectLayer(nullptr);
    SelectLayer(layer);
    layer->m_nModified = 1;
    if (changed)
        NotifyEdited();
    return true; // a press on the knob never selects another layer
}

void CLayerMixer::DrawSelectionFrame(CDC* dc) {
    if (!m_pSelected || m_layers.empty() || m_nActiveHandle)
        return;
    const CSelectionFrame frame = FrameOf(*m_pSelected, GetPageOffset(), m_rcWindow);
    if (!frame.IsRotated()) {
        CRect shown = m_tracker.m_rect;
        shown.NormalizeRect();
        if (shown.IsRectEmpty())
            return;
        m_tracker.Draw(dc);
    }
    frame.Draw(dc);
}

void CLayerMixer::NotifyEdited() {
    Notify(m_nId, kNotifySelect, 0, 0, 0);
}

// Turning and nudging -------------------------------------------------------------------

void CLayerMixer::RotateSelected(double degrees) {
    const CRect before = PageBox(m_pSelected);
    m_pSelected->m_dAngle = NormaliseAngle(m_pSelected->m_dAngle + degrees);
    m_pSelected->m_nModified = 1;
    AddDirty(before);
    AddDirty(PageBox(m_pSelected));
    // The frame turns with the layer.
    CLayerChannel* layer = m_pSelected;
    SelectLayer(nullptr);
    SelectLayer(layer);
}

void CLayerMixer::NudgeSelected(int dx, int dy) {
    AddDirty(PageBox(m_pSelected));
    m_pSelected->m_dX += dx;
    m_pSelected->m_dY += dy;
    m_pSelected->m_nModified = 1;
    AddDirty(PageBox(m_pSelected));
}

bool CLayerMixer::OnTransformCommand(int sender) {
    switch (sender) {
    case ID_LAYER_ROTATE_LEFT:
        RotateSelected(-90.0);
        return true;
    case ID_LAYER_ROTATE_RIGHT:
        RotateSelected(90.0);
        return true;
    case ID_LAYER_NUDGE_LEFT:
    case ID_LAYER_NUDGE_RIGHT:
    case ID_LAYER_NUDGE_UP:
    case ID_LAYER_NUDGE_DOWN:
    case ID_LAYER_NUDGE_LEFT_FAR:
    case ID_LAYER_NUDGE_RIGHT_FAR:
    case ID_LAYER_NUDGE_UP_FAR:
    case ID_LAYER_NUDGE_DOWN_FAR: {
        const int step = sender >= ID_LAYER_NUDGE_LEFT_FAR ? kNudgeFar : 1;
        const int way = (sender - ID_LAYER_NUDGE_LEFT) % 4; // left, right, up, down
        NudgeSelected(way == 0   ? -step
                      : way == 1 ? step
                                 : 0,
                      way == 2   ? -step
                      : way == 3 ? step
                                 : 0);
        return true;
    }
    default:
        return false;
    }
}
