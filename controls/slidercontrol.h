#pragma once
// A trackbar that reports its position as an int and as a fraction between
// 0 and 1, and can mirror another control's value through a value source.
// Every movement the user makes reaches the manager as a scroll
// (OnHScroll), which fires the slider; each change is notified once.

#include "controls/controlbase.h"

#include <QSlider>

// Trackbar styles.
constexpr DWORD TBS_AUTOTICKS = 0x0001;
constexpr DWORD TBS_VERT = 0x0002;
constexpr DWORD TBS_TOP = 0x0004;
constexpr DWORD TBS_BOTH = 0x0008;
constexpr DWORD TBS_NOTICKS = 0x0010;

// Scroll codes a trackbar reports while the user moves it.
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;

class CSliderControl : public QSlider, public CControlBase {
public:
    CSliderControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                   DWORD initialFlags, DWORD style);
    ~CSliderControl() override;

    // Trackbar range and position (0 to 100 at first). These never notify,
    // as the trackbar's own messages do not; the value operations do.
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    void SetRangeMin(int minimum, BOOL redraw = FALSE);
    void SetRangeMax(int maximum, BOOL redraw = FALSE);
    int GetRangeMin() const { return minimum(); }
    int GetRangeMax() const { return maximum(); }
    void SetPos(int position);
    int GetPos() const { return value(); }

    // Raises the int and then the double value notification when the
    // position changed since the last one, or always when forced.
    BOOL Fire(int force) override;
    // A trackbar paints itself.
    void Redraw(const RECT*, int) override {}

    // The position, and the fraction (position - min) / (max - min).
    int GetIntValue() override;
    double GetDoubleValue() override;
    // Both move the slider only when the value differs, then fire.
    void SetIntValue(int value) override;
    void SetDoubleValue(double value) override;
    // The user data of a slider is its range maximum.
    int GetUserData() override;
    void SetUserData(int data) override;

    // Position of the last notification; -999999 before the first.
    int m_nLastPos;

protected:
    // The background colour behind the trackbar, then the trackbar.
    void paintEvent(QPaintEvent* event) override;

private:
    // A change of position made by the user (or by Qt's own setValue)
    // goes to the manager as a scroll.
    void OnValueChanged(int position);
    void ApplyStyle();
    // Keeps the page step at a fifth of the range, as a trackbar does.
    void UpdatePageStep();

    bool m_bQuiet; // set while the slider moves itself
};
