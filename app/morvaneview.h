#pragma once
// The main view: the window that fills the main frame and, as a control
// manager, owns the whole editing surface (the clip-art strips, the layer
// list and its companions, the colour buttons, the command buttons and the
// page). Every button, strip, menu item and key reaches it as a select
// notification naming a control, and it turns that into an action on the
// design, which lives only in its controls.

#include "controls/controlmanager.h"
#include "platform/filedrop.h"
#include "platform/logfont.h"
#include "platform/printing.h"
#include "popups/printdesign.h"

#include <QWidget>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CButtonControl;
class CColorButtonControl;
class CDC;
class CDesignHistory;
class CDesignPictures;
class CDIB;
class CDesignProgress;
class CLayerCycle;
class CLayerMixer;
class CMorvaneDoc;
class CPagePrintWindow;
class CTextWindow;
class CWizardWindow;
struct DesignRecord;
struct multimenu_package;

// Identifiers of the editing surface.
enum : int {
    ID_QUIT_BUTTON = 100000,
    ID_CATEGORY_STRIP = 654629789,
    ID_CATEGORY_UP = 165287,
    ID_CATEGORY_DOWN = 1897231,
    ID_FIRST_CATEGORY_THUMB = 35654564,
    ID_FILE_STRIP = 475478,
    ID_FILE_UP = 6498798,
    ID_FILE_DOWN = 19811,
    ID_FIRST_FILE_THUMB = 2064897,
    ID_LOAD = 99999,
    ID_SAVE = 99998,
    ID_PRINT = 26544779,
    ID_PRINT_PREVIEW = 65447921,
    ID_ADD_TEXT = 32783,
    ID_EDIT_TEXT = 32784,
    ID_COLOUR_TOP_LEFT = 5647321,
    ID_COLOUR_TOP_RIGHT = 5446475,
    ID_COLOUR_BOTTOM_LEFT = 54198172,
    ID_COLOUR_BOTTOM_RIGHT = 165727645,
    ID_COLOUR_MAIN = 561124654,
    ID_LAYER_LIST = 11116578,
    ID_LAYER_UP = 32774,
    ID_LAYER_DOWN = 32775,
    ID_DELETE_LAYER = 32773,
    ID_LAYER_DELETE_ALL = 99997,
    ID_OPACITY_SLIDER = 458941191,
    ID_MIXER = 567855118,
};

// Commands of the menu and the keys that the view handles as selects.
enum : int {
    ID_NEW_DESIGN = 32772,
    ID_TO_FRONT = 32776,
    ID_TO_BACK = 32777,
    ID_WIZARD = 32778,
    ID_NEXT_ITEM = 32779,
    ID_PREVIOUS_ITEM = 32780,
    ID_SLIDER_UP = 32781,
    ID_SLIDER_DOWN = 32782,
    ID_LAYERS_CLEARED = 654756534,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
};

constexpr int kThumbsPerStrip = 8;

// A path the design is saved to as a picture for printing (".png").
bool IsPrintPicturePath(const std::string& path);
constexpr COLORREF kDefaultTextColour = 0x00FFA096;

class CMorvaneView : public QWidget,
                     public CControlManager,
                     public platform::CPrintClient,
                     public platform::CFileDropClient {
public:
    explicit CMorvaneView(QWidget* parent = nullptr);
    ~CMorvaneView() override;

    void SetDocument(CMorvaneDoc* document) { m_pDocument = document; }
    CMorvaneDoc* GetDocument() const { return m_pDocument; }

    // The initial update: the manager's creation sequence on this window.
    BOOL OnInitialUpdate();

    // The editing surface alone at the given size, never shown: no frame,
    // splash, wizard or refusal of a second copy. For rendering designs
    // without a window.
    bool BuildSurface(int width, int height);

    // Control manager ----------------------------------------------------------------------
    void BeforeCreate() override;
    BOOL CreateControls() override;
    void AfterCreate() override;
    void OnNotify_Select(int sender, int value) override;
    void OnNotify_Drop(int source, int target, const POINT* point) override;
    void OnNotify_DWORD(int sender, DWORD value) override;
    void OnNotify_Double(int sender, double value) override;
    void OnNotify_Generic(int sender, int64_t type, int64_t value) override;

    // A select from the control with a payload for the load (a folder) and
    // save (a path) commands; null for none.
    BOOL DispatchSelect(int sender, const std::string* payload = nullptr);

    // Commands -----------------------------------------------------------------------------
    void UpdateButtonStates();
    int DoTextWindow(int edit);
    int ShowWizard(int showCheckBox, int* showValue, const std::string& caption);
    bool NewDesign();
    void SetDesignTitle(const std::string& path);
    bool SaveDesign(const std::string& path);
    bool LoadDesign(const std::string& path);
    bool WriteDesignHeader(std::string* text);
    // The header lines from *position of the decoded file text; *position
    // moves past them.
    bool ReadDesignHeader(std::string_view data, size_t* position);

    // Editing (view_editing.cpp) -----------------------------------------------------------
    // After every notification: the design's changes become undo steps.
    void OnDispatchFinished(int kind) override;
    CDesignHistory* History() const { return m_pHistory.get(); }
    // Pictures pasted into the design or stored beside it.
    std::unique_ptr<CDesignPictures> m_pPictures;
    // Lines of a design file's extension block that belong to the design.
    std::vector<std::string> m_designExtensionLines;

    // Files from the desktop ---------------------------------------------------------------
    // The files named on the command line: opened at start instead of the
    // start-up wizard.
    void SetStartFiles(std::vector<std::string> files) { m_startFiles = std::move(files); }
    // Files dropped onto the page: each picture becomes a layer at the drop
    // point, a design replaces the page once the user agreed to clear it.
    void OnDropFiles(QWidget* window, const std::vector<std::string>& paths, POINT point) override;

    // Printing -----------------------------------------------------------------------------
    // The framework's print commands (57607, 57608, 57609) and the printer set-up.
    void OnFilePrint();
    void OnFilePrintPreview();
    BOOL OnPreparePrinting(platform::CPrintInfo* info) override;
    void OnPrint(CDC* dc, platform::CPrintInfo* info) override;
    // The page as printed: one copy of the design rendered at its size on
    // the sheet, mirrored for light fabric and placed by the print settings.
    // False when nothing was printed.
    bool PrintDesign(CDC* dc);
    bool IsPrinting() const { return m_bPrinting; }

    CLayerCycle* LayerList() const;
    // The main colour button and the four corner buttons (top-left,
    // top-right, bottom-left, bottom-right); false when one is missing.
    bool FindColourButtons(CColorButtonControl* buttons[5]) const;
    CLayerMixer* Mixer() const;

    // Print settings; the page mode is also line 6 of a design file.
    CPrintSettings m_print;
    // A PNG for printing: the width in centimetres (0: the print width the
    // settings give), the resolution and whether the background is left out.
    struct CExportSize {
        double m_dWidthCm = 0;
        int m_nDpi = 300;
        int m_nTransparent = 1;
    } m_export;
    // The width a picture of the design prints at unless asked: the own size
    // of the print settings, else 25 cm.
    double DefaultPrintWidthCm() const;
    // Asks the size of a PNG for printing in the program's own small window;
    // false when the user cancels.
    bool AskExportSize();
    CPagePrintWindow* m_pPageWindow;
    CTextWindow* m_pTextWindow;
    CWizardWindow* m_pWizardWindow;

    // The values the commands keep for the whole run.
    std::string m_strLastSavePath;
    std::string m_strLastLoadPath;
    std::string m_strLoadFolder;
    std::string m_strText;
    LOGFONTA m_lfText;
    COLORREF m_crText;
    int m_nAlign;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void DestroyHost() override;
    void OnSizeLimitsChanged() override;

private:
    // Building the surface.
    bool CheckContent();
    bool AddSkinnedButton(int id, const CRect& rect, const std::string& skin,
                          CButtonControl** made = nullptr);
    bool AddStrip(int stripId, const CRect& rect, const char* folder, const char* altFolder,
                  int upId, int downId, int firstThumbId);
    bool AddColourButtons();
    bool AddLayerControls();
    bool AddMixer();
    void ShowStartCategory();
    // Notes the category just chosen for the next start.
    void RememberCategory();
    const std::string& Text(int id);

    // Commands.
    void LoadCommand(const std::string* folder);
    void SaveCommand(const std::string* path);
    std::string SaveDialogName() const;
    void WizardCommand();
    void StepCurrentItem(int step);
    void NudgeSlider(double step);
    void AddChosenClipArt();
    void ApplyMainColour();
    void ApplyTextWindowResult(int edit, const multimenu_package* selected);
    void RedrawAll();
    void ActivateFrame();

    // Design files.
    bool ExportDesign(const std::string& path);
    bool WriteDesignFile(const std::string& path);
    bool ReadDesignFile(const std::string& path);
    bool ImportPicture(const std::string& path);
    // The design folder finds pictures stored beside the design.
    void AddDesignRecord(const DesignRecord& record, const std::string& designFolder);
    // A record's picture: the path as written, else one the user looks up.
    CDIB* LoadRecordPicture(const DesignRecord& record, const std::string& designFolder);

    // Editing commands.
    bool OnEditingCommand(int sender);
    void UndoCommand(bool redo);
    void DuplicateSelected();
    void CopySelected();
    void PasteClipboard();
    void OpenRecentFile(int index);
    // Opens a chosen path as the load command does after its dialog.
    void OpenPath(const std::string& path);
    // Adds the record's layer at the list index with the record's box and
    // options, selected; the picture (for picture records) is given. FALSE
    // when no item was added (the picture was not taken).
    bool InsertLayerRecord(const DesignRecord& record, CDIB* picture, int index);

    // Files from the desktop: designs first, then pictures, each picture at
    // the point when one is given (mixer client coordinates).
    void OpenFiles(const std::vector<std::string>& paths, const POINT* point);
    void OpenDesignFile(const std::string& path);
    void AddPictureFile(const std::string& path, const POINT* point);

    CMorvaneDoc* m_pDocument;
    const std::string* m_pPayload; // the payload of the select being dispatched
    bool m_bPrinting;
    bool m_bInvalidateOnPaint; // the first screen paint, and the first after a print
    std::unique_ptr<CDesignHistory> m_pHistory;

    std::vector<std::string> m_startFiles;
    bool m_bLoadFailureTold = false; // the failed load already told the user why
    // While a design is read (the history waits for the whole design).
    CDesignProgress* m_pReadProgress = nullptr;
};
