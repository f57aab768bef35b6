#pragma once
// Progress of reading a long design. A design of thousands of layers takes
// seconds to build; the user sees a bar move instead of a window that
// stopped. Short designs show nothing. While the bar shows, the design's
// texts are drawn without their own progress popups, which would flash by
// one per layer.

#include "layers/layerchannel.h"

#include <memory>
#include <string>

class CProgressPopUpWindow;

class CDesignProgress {
public:
    // Designs with fewer records than this read in well under a second.
    static constexpr int kShownFrom = 200;

    // The bar, captioned with the caption, when show is set and the design
    // has kShownFrom records or more.
    CDesignProgress(const std::string& caption, int records, bool show);
    ~CDesignProgress();
    CDesignProgress(const CDesignProgress&) = delete;
    CDesignProgress& operator=(const CDesignProgress&) = delete;

    bool IsShown() const { return m_pPopup != nullptr; }
    // One more record read.
    void Step();
    // The bar stays above other windows: it steps aside while the user is
    // asked something (a picture that is missing), and comes back after.
    void StepAside(bool aside);

private:
    std::unique_ptr<CProgressPopUpWindow> m_pPopup;
    TextProgressFactory m_textProgress; // put back when the bar goes
    int m_nRecords;
    int m_nDone = 0;
};
