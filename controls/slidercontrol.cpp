#include "controls/slidercontrol.h"

#include "controls/controlmanager.h"
#include "controls/notifier.h"
#include "platform/gdi/dc.h"
#include "platform/window.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Truncation toward zero that stays defined for values beyond an int.
int TruncateToInt(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::clamp(value, lowest, highest));
}

// Runs a change of the trackbar without reporting it as a user's scroll.
template <class Change> void Quietly(bool& quiet, Change change) {
    const bool was = quiet;
    quiet = true;
    change();
    quiet = was;
}

} // namespace

CSliderControl::CSliderControl(CControlManager* manager, QWidget* parent, int id, const CRect* rect,
                               DWORD initialFlags, DWORD style)
    : QSlider(parent), CControlBase(manager, parent, id, rect, style), m_nLastPos(-999999),
      m_bQuiet(false) {
    m_dwFlags = initialFlags;
    platform::SetDlgCtrlID(this, id);
    platform::MoveWindow(this, m_rcWindow);
    Quietly(m_bQuiet, [this] { setRange(0, 100); });
    setSingleStep(1);
    UpdatePageStep();
    ApplyStyle();
    connect(this, &QSlider::valueChanged, this, &CSliderControl::OnValueChanged);
    m_pWnd = this;
    SetBackgroundColor(0xEFEEEB);
}

CSliderControl::~CSliderControl() = default;

void CSliderControl::ApplyStyle() {
    const bool vertical = m_dwStyle & TBS_VERT;
    setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // A vertical trackbar has its minimum at the top.
    setInvertedAppearance(vertical);
    if (m_dwStyle & TBS_NOTICKS)
        setTickPosition(NoTicks);
    else if (m_dwStyle & TBS_BOTH)
        setTickPosition(TicksBothSides);
    else
        setTickPosition((m_dwStyle & TBS_TOP) ? TicksAbove : TicksBelow);
    setVisible(m_dwStyle & WS_VISIBLE);
    setEnabled(!(m_dwStyle & WS_DISABLED));
}

void CSliderControl::UpdatePageStep() {
    const int range = maximum() - minimum();
    setPageStep(std::max(1, range / 5));
    // Without automatic ticks a trackbar marks only both ends.
    setTickInterval((m_dwStyle & TBS_AUTOTICKS) ? 1 : std::max(1, range));
}

// Range and position -------------------------------------------------------------

void CSliderControl::SetRange(int minimumValue, int maximumValue, BOOL redraw) {
    Quietly(m_bQuiet, [&] { setRange(minimumValue, maximumValue); });
    UpdatePageStep();
    if (redraw)
        update();
}

void CSliderControl::SetRangeMin(int minimumValue, BOOL redraw) {
    SetRange(minimumValue, std::max(minimumValue, maximum()), redraw);
}

void CSliderControl::SetRangeMax(int maximumValue, BOOL redraw) {
    SetRange(std::min(minimum(), maximumValue), maximumValue, redraw);
}

void CSliderControl::SetPos(int position) {
    Quietly(m_bQuiet, [&] { setValue(position); });
}

void CSliderControl::OnValueChanged(int position) {
    if (m_bQuiet || !m_pManager)
        return;
    m_pManager->OnHScroll(isSliderDown() ? TB_THUMBTRACK : TB_THUMBPOSITION, UINT(position), this);
}

// Values and notifications ---------------------------------------------------------

BOOL CSliderControl::Fire(int force) {
    const int position = GetIntValue();
    const double fraction = GetDoubleValue();
    BOOL result = 0;
    if (position != m_nLastPos || force) {
        const BOOL intResult = Notify(m_nId, kNotifyValue, kValueInt, position, 0);
        const BOOL doubleResult =
            Notify(m_nId, kNotifyValue, kValueDouble, FromDouble(fraction), 0);
        result = doubleResult ? intResult : 0;
    }
    m_nLastPos = position;
    return result;
}

int CSliderControl::GetIntValue() {
    return value();
}

double CSliderControl::GetDoubleValue() {
    const double span = double(maximum()) - double(minimum());
    return (double(value()) - double(minimum())) / (span == 0.0 ? 1.0 : span);
}

void CSliderControl::SetIntValue(int newValue) {
    if (newValue == value())
        return;
    SetPos(newValue);
    Fire(0);
}

void CSliderControl::SetDoubleValue(double fraction) {
    if (fraction == GetDoubleValue())
        return;
    const double span = double(maximum()) - double(minimum());
    SetPos(TruncateToInt(fraction * span + minimum()));
    Fire(0);
}

int CSliderControl::GetUserData() {
    m_nUserData = maximum();
    return m_nUserData;
}

void CSliderControl::SetUserData(int data) {
    SetRangeMax(data, TRUE);
    m_nUserData = data;
}

void CSliderControl::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        CDC dc(&painter);
        dc.FillSolidRect(0, 0, width(), height(), m_crBackground);
    }
    QSlider::paintEvent(event);
}
