// What the controls, the menu and the keys do to the design: every select
// the view hears, by the identifier of the control that raised it.

#include "app/designhistory.h"
#include "app/morvaneapp.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/colorbutton.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/cursor.h"
#include "platform/heaptrim.h"
#include "platform/paths.h"
#include "platform/userservices.h"

#include <cstdio>
#include <strings.h>

namespace {

constexpr const char* kOpenFilter =
    "Print file (*.prt)|*.prt|Bitmap file (*.bmp)|*.bmp|JPeg/JFif file (*.jpg)|*.jpg|"
    "Targa file (*.tga)|*.tga|Png file (*.png)|*.png|Pcx file (*.pcx)|*.pcx|"
    "Tiff file (*.tif)|*.tif|All Files (*.*)|*.*||";
constexpr const char* kSaveFilter =
    "Print file (*.prt)|*.prt|Bitmap file (*.bmp)|*.bmp|JPeg/JFif file (*.jpg)|*.jpg|"
    "Tiff file (*.tif)|*.tif|Png file (*.png)|*.png||";
constexpr int kClipArtDisplaySize = 50;

// A path the load command accepts: an existing file with a name and an
// extension.
bool LoadablePath(const std::string& path) {
    std::string drive, folder, name, extension;
    return !path.empty() && FileExists(path) &&
           SplitPath(path, &drive, &folder, &name, &extension) && !name.empty() &&
           !extension.empty();
}

std::string FileNameOf(const std::string& path) {
    std::string drive, folder, name, extension;
    if (!SplitPath(path, &drive, &folder, &name, &extension))
        return path;
    return name + extension;
}

} // namespace

BOOL CMorvaneView::DispatchSelect(int sender, const std::string* payload) {
    const std::string* outer = m_pPayload;
    m_pPayload = payload;
    CNotifier record(sender, kNotifySelect);
    const BOOL result = Dispatch(&record);
    m_pPayload = outer;
    return result;
}

void CMorvaneView::OnNotify_Select(int sender, int value) {
    // The payload belongs to this select only: selects raised while it is
    // handled carry their own.
    const std::string* payload = m_pPayload;
    m_pPayload = nullptr;
    CLayerCycle* list = LayerList();
    switch (sender) {
    case ID_LOAD:
        LoadCommand(payload);
        break;
    case ID_SAVE:
        SaveCommand(payload);
        break;
    case ID_NEW_DESIGN:
        DispatchSelect(ID_LAYER_DELETE_ALL);
        break;
    case ID_LAYERS_CLEARED:
        DispatchSelect(ID_WIZARD);
        break;
    case ID_WIZARD:
        WizardCommand();
        break;
    case ID_ADD_TEXT:
        DoTextWindow(0);
        break;
    case ID_EDIT_TEXT:
        DoTextWindow(1);
        break;
    case ID_TO_FRONT:
        if (list)
            list->MoveCurrentToStart();
        break;
    case ID_TO_BACK:
        if (list)
            list->MoveCurrentToEnd();
        break;
    case ID_NEXT_ITEM:
        StepCurrentItem(1);
        break;
    case ID_PREVIOUS_ITEM:
        StepCurrentItem(-1);
        break;
    case ID_SLIDER_UP:
        NudgeSlider(0.01);
        break;
    case ID_SLIDER_DOWN:
        NudgeSlider(-0.01);
        break;
    case ID_FILE_STRIP:
        AddChosenClipArt();
        break;
    case ID_CATEGORY_STRIP:
        RememberCategory();
        break;
    case ID_LAYER_LIST:
        UpdateButtonStates();
        break;
    case ID_PRINT:
        OnFilePrint();
        break;
    case ID_PRINT_PREVIEW:
        OnFilePrintPreview();
        break;
    case ID_COLOUR_MAIN:
        ApplyMainColour();
        break;
    default:
        if (!OnEditingCommand(sender))
            CControlManager::OnNotify_Select(sender, value);
        break;
    }
}

void CMorvaneView::OnNotify_Drop(int source, int target, const POINT*) {
    if (target == ID_MIXER && source >= ID_FIRST_FILE_THUMB && source <= ID_FIRST_FILE_THUMB + 11)
        Notify(source, kNotifySelect);
}

void CMorvaneView::OnNotify_DWORD(int sender, DWORD value) {
    std::printf("DWORD %d received from control %d\n", int(value), sender);
}

void CMorvaneView::OnNotify_Double(int sender, double value) {
    std::printf("double %f received from control %d\n", value, sender);
}

void CMorvaneView::OnNotify_Generic(int sender, int64_t type, int64_t value) {
    std::printf("generic type %d, value %d received from control %d\n", int(type), int(value),
                sender);
}

// Load and save -------------------------------------------------------------------------------

void CMorvaneView::LoadCommand(const std::string* folder) {
    m_strLastLoadPath.clear();
    if (folder)
        m_strLoadFolder = AppSettings().MakeProgramPath(*folder);
    // The dialog opens in the start folder while no name is proposed.
    std::string path = m_strLastLoadPath.empty() ? m_strLoadFolder : m_strLastLoadPath;
    if (!FileDialog(&path, this, TRUE, ".prt", 0, kOpenFilter))
        return;
    OpenPath(path);
}

void CMorvaneView::OpenPath(const std::string& path) {
    if (!LoadablePath(path))
        return;
    platform::BeginWaitCursor();
    m_bLoadFailureTold = false;
    const bool loaded = LoadDesign(path);
    platform::EndWaitCursor();
    // The design it replaced and the pictures' decoding are gone.
    platform::GiveBackFreedMemory();
    if (!loaded) {
        if (!m_bLoadFailureTold)
            AfxMessageBox(Text(1009));
        return;
    }
    SetDesignTitle(path);
    // A design read from its file is the saved one; a picture added to the
    // design is a change.
    std::string extension;
    std::string drive, folder, name;
    if (m_pHistory && SplitPath(path, &drive, &folder, &name, &extension) &&
        strcasecmp(extension.c_str(), ".prt") == 0)
        m_pHistory->MarkSaved();
}

// The name the save dialog offers: the last one saved to, else the design's
// own name as a design file (a new design is "Untitled.prt" in the user's
// documents, a picture opened as photo.jpg offers photo.prt beside it).
std::string CMorvaneView::SaveDialogName() const {
    if (!m_strLastSavePath.empty())
        return m_strLastSavePath;
    std::string base = m_pDocument ? m_pDocument->GetPathName() : std::string();
    std::string drive, folder, name, extension;
    if (base.empty() || !SplitPath(base, &drive, &folder, &name, &extension) || name.empty())
        return platform::DocumentsFolder() + "Untitled.prt";
    if (drive.empty() && folder.empty())
        return platform::DocumentsFolder() + name + ".prt";
    return drive + folder + name + ".prt";
}

void CMorvaneView::SaveCommand(const std::string* path) {
    if (path) {
        m_strLastSavePath = *path;
    } else {
        std::string chosen = SaveDialogName();
        if (!FileDialog(&chosen, this, FALSE, ".prt", 0, kSaveFilter))
            return;
        m_strLastSavePath = chosen;
    }
    if (m_strLastSavePath.empty())
        return;
    // A PNG is made for printing: its size is asked first.
    if (IsPrintPicturePath(m_strLastSavePath) && !AskExportSize())
        return;
    platform::BeginWaitCursor();
    const bool saved = SaveDesign(m_strLastSavePath);
    platform::EndWaitCursor();
    // An export's page and its file's encoding are gone.
    platform::GiveBackFreedMemory();
    if (!saved) {
        AfxMessageBox(Text(1008));
        return;
    }
    SetDesignTitle(m_strLastSavePath);
    std::string drive, folder, name, extension;
    if (m_pHistory && SplitPath(m_strLastSavePath, &drive, &folder, &name, &extension) &&
        strcasecmp(extension.c_str(), ".prt") == 0)
        m_pHistory->MarkSaved();
}

void CMorvaneView::SetDesignTitle(const std::string& path) {
    if (m_pDocument)
        m_pDocument->SetPathName(path, TRUE);
    WriteWindowTitle(FileNameOf(path) + " - Kavelo");
}

bool CMorvaneView::NewDesign() {
    CLayerCycle* list = LayerList();
    if (!list)
        return false;
    list->RemoveAllLayers();
    CColorButtonControl* buttons[5];
    if (!FindColourButtons(buttons))
        return false;
    CColorButtonControl* main = buttons[0];
    CColorButtonControl* const* corners = buttons + 1;
    main->m_crColor = 0x00FFFFFF;
    for (int i = 0; i < 4; ++i) {
        corners[i]->m_crColor = 0x00FFFFFF;
        corners[i]->Redraw(nullptr, 1);
    }
    CLayerMixer* mixer = Mixer();
    if (!mixer)
        return false;
    mixer->SetAllBackgroundColours(0x00FFFFFF);
    m_designExtensionLines.clear();
    SetDesignTitle("Untitled");
    platform::GiveBackFreedMemory();
    return true;
}

// Wizard --------------------------------------------------------------------------------------

void CMorvaneView::WizardCommand() {
    int show = ReadWizardShowNextTime();
    ShowWizard(show == 0, &show, Text(1028));
    WriteWizardShowNextTime(show);
}

void CMorvaneView::AfterCreate() {
    OnSize(0, -1, -1);
    // The design as it starts is the first the history knows.
    if (m_pHistory)
        m_pHistory->Start();
    // The design window stands behind the wizard.
    if (QWidget* frame = window(); frame != this)
        frame->show();
    // A file the program was started with is what the user wants to see:
    // no wizard before it.
    if (!m_startFiles.empty()) {
        const std::vector<std::string> files = std::move(m_startFiles);
        m_startFiles.clear();
        OpenFiles(files, nullptr);
        ActivateFrame();
        return;
    }
    int show = ReadWizardShowNextTime();
    if (show != 0)
        ShowWizard(1, &show, Text(1027));
    WriteWizardShowNextTime(show);
    ActivateFrame();
}

// The design window takes the keys after the start-up wizard: it was not
// active yet when the wizard opened, so nothing gives the activation back.
void CMorvaneView::ActivateFrame() {
    if (QWidget* frame = window(); frame != this && frame->isVisible())
        frame->activateWindow();
}

// Layers --------------------------------------------------------------------------------------

void CMorvaneView::StepCurrentItem(int step) {
    CLayerCycle* list = LayerList();
    if (!list)
        return;
    CLayerServer* server = list;
    const int count = server->GetLayerCount();
    const int current = server->GetCurrentLayer();
    int next;
    if (count <= 0)
        next = step > 0 ? 0 : -1;
    else if (step > 0)
        next = current + 1 >= count ? 0 : current + 1;
    else
        next = current - 1 < 0 ? count - 1 : current - 1;
    server->SetCurrentLayer(next);
}

void CMorvaneView::NudgeSlider(double step) {
    if (CControlBase* slider = FindControl(ID_OPACITY_SLIDER))
        slider->SetDoubleValue(slider->GetDoubleValue() + step);
}

void CMorvaneView::AddChosenClipArt() {
    auto* strip = dynamic_cast<CThumbStrip*>(FindControl(ID_FILE_STRIP));
    CLayerCycle* list = LayerList();
    if (!strip || !list || !strip->m_pSelected)
        return;
    CDIB* image = strip->m_pSelected->GetImage();
    if (image)
        list->AddPictureItem(image, kClipArtDisplaySize, kClipArtDisplaySize, 0, 0);
}

void CMorvaneView::ApplyMainColour() {
    CColorButtonControl* buttons[5];
    if (!FindColourButtons(buttons))
        return;
    const COLORREF colour = buttons[0]->m_crColor;
    for (int i = 1; i < 5; ++i) {
        buttons[i]->m_crColor = colour;
        buttons[i]->Redraw(nullptr, 1);
    }
    if (CLayerMixer* mixer = Mixer())
        mixer->SetAllBackgroundColours(colour);
}

bool CMorvaneView::FindColourButtons(CColorButtonControl* buttons[5]) const {
    const int ids[5] = {ID_COLOUR_MAIN, ID_COLOUR_TOP_LEFT, ID_COLOUR_TOP_RIGHT,
                        ID_COLOUR_BOTTOM_LEFT, ID_COLOUR_BOTTOM_RIGHT};
    for (int i = 0; i < 5; ++i)
        if (!(buttons[i] = dynamic_cast<CColorButtonControl*>(FindControl(ids[i]))))
            return false;
    return true;
}

CLayerCycle* CMorvaneView::LayerList() const {
    return dynamic_cast<CLayerCycle*>(FindControl(ID_LAYER_LIST));
}

CLayerMixer* CMorvaneView::Mixer() const {
    return dynamic_cast<CLayerMixer*>(FindControl(ID_MIXER));
}

void CMorvaneView::RedrawAll() {
    update();
    for (CControlBase* control : m_controls)
        control->Redraw(nullptr, 1);
}
