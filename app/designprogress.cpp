#include "app/designprogress.h"

#include "platform/window.h"
#include "popups/progresspopup.h"

namespace {

constexpr int kRange = 255; // the bar's own range

} // namespace

CDesignProgress::CDesignProgress(const std::string& caption, int records, bool show)
    : m_nRecords(records) {
    if (!show || records < kShownFrom)
        return;
    auto popup = std::make_unique<CProgressPopUpWindow>();
    if (!popup->CreateCentred(caption))
        return;
    m_pPopup = std::move(popup);
    m_pPopup->SetRange(0, kRange);
    m_pPopup->SetPos(0);
    // Seen before the work starts: nothing else paints until it ends.
    platform::PaintNow(m_pPopup.get());
    m_textProgress = GetTextProgressFactory();
    SetTextProgressFactory(nullptr);
}

CDesignProgress::~CDesignProgress() {
    if (!m_pPopup)
        return;
    SetTextProgressFactory(std::move(m_textProgress));
}

void CDesignProgress::Step() {
    ++m_nDone;
    // The bar repaints itself when it moves by a whole percent.
    if (m_pPopup && m_nRecords > 0)
        m_pPopup->SetPos(int((long long)m_nDone * kRange / m_nRecords));
}

void CDesignProgress::StepAside(bool aside) {
    if (!m_pPopup)
        return;
    m_pPopup->setVisible(!aside);
    if (!aside)
        platform::PaintNow(m_pPopup.get());
}
