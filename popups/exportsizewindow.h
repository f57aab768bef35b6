#pragma once
// The question asked when the design is saved as a PNG for a print shop:
// how wide the picture prints (centimetres), at how many dots per inch, and
// whether the background is left out so that only the layers print. The
// pixel size it makes is shown as the values are typed; OK is offered only
// for a picture that can be made.

#include "controls/wndcontrol.h"

#include <string>

// The captions in the user's language, handed in by the opener.
struct CExportSizeTexts {
    std::string m_strTitle;
    std::string m_strWidth;
    std::string m_strResolution;
    std::string m_strTransparent;
    std::string m_strPixels; // with two "%d": width and height in pixels
    std::string m_strOk;
    std::string m_strCancel;
};

class CExportSizeWindow : public CPopupWindow {
public:
    static constexpr int kWidthLabelId = 7742101;
    static constexpr int kWidthFieldId = 7742102;
    static constexpr int kResolutionLabelId = 7742103;
    static constexpr int kResolutionFieldId = 7742104;
    static constexpr int kTransparentId = 7742105;
    static constexpr int kPixelsLabelId = 7742106;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 100000;
    static constexpr int kColumnId = 7742110;
    static constexpr int kWidthRowId = 7742111;
    static constexpr int kResolutionRowId = 7742112;
    static constexpr int kButtonRowId = 7742113;

    static constexpr int kWidth = 360;
    static constexpr int kHeight = 230;
    static constexpr int kMaxDpi = 2400;

    CExportSizeWindow();
    ~CExportSizeWindow() override;

    // Before Create: the captions, and the values the fields start with.
    // aspect is the page's width divided by its height.
    void SetTexts(const CExportSizeTexts& texts) { m_texts = texts; }
    void SetValues(double widthCm, int dpi, int transparent, double aspect);

    // Centred on the screen, sizable, above the other windows.
    BOOL CreateCentred();
    BOOL CreateControls() override;
    // 1 after OK, 0 after Cancel or closing the window.
    int RunModal(BOOL restrictToWindow) override;

    double GetWidthCm() const { return m_dWidthCm; }
    int GetDpi() const { return m_nDpi; }
    int GetTransparent() const { return m_nTransparent; }
    // The picture the values make: the width in centimetres at the
    // resolution, rounded, and the height by the page's proportion.
    CSize GetPixelSize() const { return PixelSize(m_dWidthCm, m_nDpi, m_dAspect); }
    static CSize PixelSize(double widthCm, int dpi, double aspect);

    void OnNotify_Select(int sender, int value) override;
    void OnNotify_Int(int sender, int value) override;
    void OnNotify_Double(int sender, double value) override;

private:
    BOOL AddOrDelete(CControlBase* control);
    BOOL CreateGroups();
    // Reads the fields, shows the pixel size and offers OK when it can be made.
    void UpdateControls();

    CExportSizeTexts m_texts;
    double m_dWidthCm;
    int m_nDpi;
    int m_nTransparent;
    double m_dAspect;
    int m_nResult;
};
