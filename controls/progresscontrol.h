#pragma once
// A progress bar that long work drives row by row: a range, then positions
// inside it. It is also the receiver the imaging routines report to, so a
// popup can hand its bar straight to them.

#include "controls/controlbase.h"
#include "imaging/progress.h"

#include <QProgressBar>

// Progress bar styles.
constexpr DWORD PBS_SMOOTH = 0x01;
constexpr DWORD PBS_VERTICAL = 0x04;

class CProgressControl : public QProgressBar, public CControlBase, public CProgressReceiver {
public:
    CProgressControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                     DWORD initialFlags, DWORD style);
    ~CProgressControl() override;

    // Range and position ---------------------------------------------------------
    // The range of the bar (0 to 100 at first); the position is pulled into
    // it when it lies outside.
    void SetRange(int lower, int upper) override;
    void GetRange(int* lower, int* upper) const;
    // Moves the bar, clamped to the range.
    void SetPos(int position) override;
    int GetPos() const { return m_nPos; }

    // Repaints the bar now.
    void Redraw(const RECT* area, int full) override;

private:
    // Shows the range and position on the Qt bar, which has no room for an
    // empty or inverted range nor for positions outside it.
    void ShowOnBar();

    // The bar's own state, as the common control keeps it.
    int m_nLower;
    int m_nUpper;
    int m_nPos;
};
