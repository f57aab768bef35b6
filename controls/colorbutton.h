#pragma once
// A button that shows a colour swatch. Pressing it opens the colour
// chooser on its colour and reports the colour, chosen or kept, as a DWORD
// value followed by a select.

#include "controls/button.h"

class CColorButtonControl : public CButtonControl {
public:
    // A picture button without a strip; it never becomes the active control.
    CColorButtonControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                        COLORREF color, int reserved, DWORD initialFlags);
    ~CColorButtonControl() override;

    // Runs the colour chooser (owned by the manager's host); a cancel keeps
    // the colour. Then takes the focus, redraws and fires in every case.
    void OnClicked() override;
    // The colour as a DWORD value, then a select.
    BOOL Fire(int) override;
    // 4 margins by 4 margins.
    const CRect* GetNaturalRect() override;
    // The border bands, the swatch and its frames by the look; the area is
    // not used.
    void OnPaint(CDC* dc, const RECT* area) override;

    COLORREF m_crColor;
};
