#pragma once
// The page layout question asked before every print and preview: the
// design as a full T-shirt print, a small logo or a size in centimetres,
// with or without its proportions, once or repeated over the sheet, on
// transfer paper for light fabric (mirrored) or dark fabric (not
// mirrored), with or without cut marks. The opener hands in the
// keep-aspect flag and the paper choice, runs the window and reads the
// page mode, the flags, the size and the paper back into its print
// settings.

#include "controls/wndcontrol.h"

#include <string>

class CButtonControl;

// The transfer paper and the cut marks as the opener hands them in: the
// choice it remembers and the captions in the user's language.
struct CPaperChoice {
    int m_nDarkFabric = 0; // 0 light fabric (mirrored), 1 dark fabric
    int m_nCutMarks = 0;
    std::string m_strLightFabric;
    std::string m_strDarkFabric;
    std::string m_strCutMarks;
};

class CPagePrintWindow : public CPopupWindow {
public:
    // Identifiers of its controls.
    static constexpr int kFullShirtId = 164544354;
    static constexpr int kSmallLogoId = 1543352;
    static constexpr int kOwnSizeId = 2624152;
    static constexpr int kWidthLabelId = 564654;
    static constexpr int kHeightLabelId = 6546541;
    static constexpr int kWidthFieldId = 1654657;
    static constexpr int kHeightFieldId = 1654424;
    static constexpr int kViewerId = 651641;
    static constexpr int kKeepAspectId = 45544065;
    static constexpr int kFillPageId = 126384;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 100000;
    static constexpr int kLightFabricId = 7741201;
    static constexpr int kDarkFabricId = 7741202;
    static constexpr int kCutMarksId = 7741203;
    // Its layout groups.
    static constexpr int kOuterGroupId = 54317641;
    static constexpr int kUpperGroupId = 154641;
    static constexpr int kChoiceRowId = 6599882;
    static constexpr int kModeColumnId = 5664534;
    static constexpr int kSizeGroupId = 265410;
    static constexpr int kWidthRowId = 1265411;
    static constexpr int kHeightRowId = 32265412;
    static constexpr int kOptionRowId = 65231231;
    static constexpr int kButtonRowId = 23564113;
    static constexpr int kPaperRowId = 7741210;

    // How the main view opens it: centred, sizable, above the other windows.
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 300;
    static constexpr DWORD kStyle = 0x90840000;
    static constexpr DWORD kExStyle = 0x88;

    static constexpr COLORREF kBackground = 0x00BFBFBF;
    // The pictures of the page modes 1 to 3.
    static constexpr const char* kModePictures[3] = {"res\\kv\\iepp00", "res\\kv\\iepp01",
                                                     "res\\kv\\iepp02"};

    // Mode 0, keep aspect 0, 10 x 10 cm, no captions.
    CPagePrintWindow();
    ~CPagePrintWindow() override;

    // Creation ----------------------------------------------------------------------------
    // The paper choice and its captions, before Create.
    void SetPaperChoice(const CPaperChoice& choice) { m_paper = choice; }
    // Makes the window with the title; the keep-aspect flag and caption are
    // the opener's, the fill-page flag starts at 0. FALSE when a control
    // cannot be made.
    BOOL Create(int x, int y, int cx, int cy, const std::string& title,
                const std::string& keepAspectCaption, int keepAspect, DWORD style, DWORD exStyle,
                CPopupCloseListener* closeListener = nullptr, UINT id = 0);
    // The main view's window: 450 x 300 centred on the screen, titled with
    // text 1013 and the keep-aspect caption 1014 of the string server.
    BOOL CreateCentred(CStringServer& strings, int keepAspect);
    BOOL CreateControls() override;

    // Running ------------------------------------------------------------------------------
    // Brings the controls up to date, runs the modal loop and answers the
    // page mode: 0 after "Annuleren", 1 to 3 after "OK".
    int RunModal(BOOL restrictToWindow) override;

    // Values read after the run, whatever its result ------------------------------------------
    int GetPageMode() const { return m_nPageMode; }
    int GetKeepAspect() const { return m_nKeepAspect; }
    int GetFillPage() const { return m_nFillPage; }
    int GetWidthCm() const { return m_nWidth; }
    int GetHeightCm() const { return m_nHeight; }
    int GetDarkFabric() const { return m_paper.m_nDarkFabric; }
    int GetCutMarks() const { return m_paper.m_nCutMarks; }

    // The page mode from the ticked radio button, its picture, and which
    // controls can be used.
    void UpdateControls();

    // Handlers ------------------------------------------------------------------------------
    void OnNotify_Select(int sender, int value) override;
    // A size field's value: negative sizes become 0 as they are typed.
    void OnNotify_Int(int sender, int value) override;
    // Closed through the window system (its close button, Alt+F4): as
    // "Annuleren".
    void OnClose() override;

    int m_nPageMode; // 0 none, 1 full T-shirt, 2 small logo, 3 own size
    int m_nKeepAspect;
    int m_nFillPage;
    std::string m_strKeepAspect;
    std::string m_strFullShirt;
    std::string m_strSmallLogo;
    std::string m_strOwnSize;
    std::string m_strFillPage;
    int m_nWidth; // centimetres
    int m_nHeight;
    CPaperChoice m_paper;

private:
    BOOL AddOrDelete(CControlBase* control);
    CButtonControl* AddButton(int id, const std::string& caption, DWORD flags, DWORD style);
    BOOL CreateSizeFields();
    BOOL CreatePaperControls();
    void ChoosePaper(int darkFabric);
    BOOL CreateGroups();
    bool IsTicked(int id) const;
    void EnableControl(int id, BOOL enable);
    void ShowModePicture(int mode);
};
