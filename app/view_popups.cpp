// The popups the view opens: the text window for text layers, the wizard
// that starts a design, and the page print window before printing.

#include "app/extratexts.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/multimenu.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/gdi/dc.h"
#include "platform/heaptrim.h"
#include "platform/userservices.h"
#include "popups/pageprintwindow.h"
#include "popups/textwindow.h"
#include "popups/wizardwindow.h"

namespace {

constexpr int kWizardTemplateFolders = 5;
constexpr double kNewDesignAspect = 0.95;
// Insertion of a text item at the index given.
constexpr int kPlaceAtIndex = 2;
// The transfer paper and the cut marks last chosen, kept for the next run.
constexpr const char* kDarkFabricValue = "darkfabric";
constexpr const char* kCutMarksValue = "cutmarks";

int RememberedFlag(const char* name) {
    DWORD value = 0;
    return ReadRegistryDword(&value, HKEY_CURRENT_USER, kRegistryKey, name) && value ? 1 : 0;
}

// The mixer as the print routine sees it.
class CMixerRenderer : public CDesignRenderer {
public:
    explicit CMixerRenderer(CLayerMixer* mixer) : m_pMixer(mixer) {}
    CSize GetCompositionSize() override {
        int width = 0, height = 0;
        if (!m_pMixer->GetPageSize(&width, &height))
            return CSize(0, 0);
        return CSize(width, height);
    }
    BOOL RenderInto(CDIB* image) override { return m_pMixer->RenderAtSize(image, nullptr); }

private:
    CLayerMixer* m_pMixer;
};

} // namespace

// Text window ----------------------------------------------------------------------------------

int CMorvaneView::DoTextWindow(int edit) {
    CLayerCycle* list = LayerList();
    if (!list) {
        AfxMessageBox("Error: CMorvaneView::DoTextWindow() could not get to the layercycle\n");
        return 0;
    }
    const multimenu_package* selected = list->GetCurrentItem();
    if (edit && selected && selected->kind == MMP_TEXT) {
        m_strText = selected->text;
        m_lfText = selected->font;
        m_crText = COLORREF(selected->data1);
        m_nAlign = selected->data2;
    }
    m_pTextWindow = new CTextWindow();
    m_pTextWindow->SetText(m_strText);
    m_pTextWindow->SetAlignment(m_nAlign);
    m_pTextWindow->SetColor(m_crText);
    m_pTextWindow->SetFontDescription(m_lfText);
    if (!m_pTextWindow->CreateCentred(m_strings)) {
        delete m_pTextWindow;
        m_pTextWindow = nullptr;
        return 0;
    }
    const int result = m_pTextWindow->RunModal(TRUE);
    if (result == 1) {
        m_strText = m_pTextWindow->GetText();
        m_nAlign = m_pTextWindow->GetAlignment();
        m_crText = m_pTextWindow->GetColor();
        m_lfText = m_pTextWindow->GetFontDescription();
    }
    delete m_pTextWindow;
    m_pTextWindow = nullptr;
    if (result == 1) {
        ApplyTextWindowResult(edit, list->GetCurrentItem());
        RedrawAll();
    }
    return result;
}

void CMorvaneView::ApplyTextWindowResult(int edit, const multimenu_package* selected) {
    if (m_strText.empty())
        return;
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    // Editing needs a selected item to replace; without one the text is
    // added at the front, as Add text does.
    if (!edit || !selected || list->m_nCurrent < 0) {
        list->AddTextItem(&m_strText, &m_lfText, int(m_crText), m_nAlign, 0, 0);
        return;
    }
    CLayerChannel* old = nullptr;
    if (mixer) {
        const int index = mixer->FindLayerByKey(selected->serial);
        old = index >= 0 ? mixer->GetLayer(index) : nullptr;
    }
    struct {
        int x = 0, y = 0, width = 0, height = 0;
        int mirrored = 0, flipped = 0, visible = 0, opacity = 0;
    } kept;
    // What the text's layer has beyond the record: its turn and the lines
    // of a design file kept for it.
    double keptAngle = 0.0;
    std::vector<std::string> keptLines;
    if (old) {
        keptAngle = old->m_dAngle;
        keptLines = old->m_extensionLines;
        kept = {int(old->m_dX),   int(old->m_dY),  int(old->m_dWidth), int(old->m_dHeight),
                old->m_nMirrored, old->m_nFlipped, old->m_nVisible,    old->m_nOpacity};
        mixer->SelectLayer(old);
        mixer->InvalidateLayerBox(old);
    }
    const int at = list->m_nCurrent;
    list->RemoveCurrent();
    list->AddTextItem(&m_strText, &m_lfText, int(m_crText), m_nAlign, kPlaceAtIndex, at);
    const multimenu_package* now = list->GetCurrentItem();
    if (!mixer || !now || now->kind != MMP_TEXT)
        return;
    const int index = mixer->FindLayerByKey(now->serial);
    CLayerChannel* layer = index >= 0 ? mixer->GetLayer(index) : nullptr;
    if (!layer)
        return;
    mixer->InvalidateLayerBox(layer);
    layer->SetGeometry(kept.x, kept.y, kept.width, kept.height);
    layer->m_nFlipped = kept.flipped;
    // The item carries the opacity too: it is what the slider shows and
    // what a saved design records.
    list->SetLayerOpacity(list->m_nCurrent, kept.opacity);
    layer->m_nOpacity = kept.opacity;
    layer->m_nVisible = kept.visible;
    layer->m_nMirrored = kept.mirrored;
    layer->m_dAngle = keptAngle;
    layer->m_extensionLines = std::move(keptLines);
    layer->m_nModified = 1;
    mixer->SelectLayer(nullptr);
    mixer->SelectLayer(layer);
    mixer->InvalidateLayerBox(layer);
}

// Wizard ---------------------------------------------------------------------------------------

int CMorvaneView::ShowWizard(int showCheckBox, int* showValue, const std::string& caption) {
    CLayerCycle* list = LayerList();
    if (!list)
        return -1;
    if (list->GetItemCount() > 0 && ShowMessage(Text(1011), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return -1;
    m_pWizardWindow = new CWizardWindow();
    if (!m_pWizardWindow->CreateCentred(Text(1021), showCheckBox, *showValue, caption)) {
        delete m_pWizardWindow;
        m_pWizardWindow = nullptr;
        return 0;
    }
    const int choice = m_pWizardWindow->RunModal(TRUE);
    if (showCheckBox)
        *showValue = m_pWizardWindow->GetShowAgain();
    delete m_pWizardWindow;
    m_pWizardWindow = nullptr;
    // Closed without a choice: the design stays as it is.
    if (choice == CWizardWindow::kCancelled)
        return -1;
    if (choice >= 1 && choice <= kWizardTemplateFolders) {
        const std::string folder = Text(1022 + choice - 1);
        DispatchSelect(ID_LOAD, &folder);
        return 0;
    }
    if (!NewDesign()) {
        const std::string none;
        DispatchSelect(ID_LOAD, &none);
        return 0;
    }
    if (CLayerMixer* mixer = Mixer()) {
        mixer->m_dAspect = kNewDesignAspect;
        mixer->ComputeMargins();
        mixer->NormaliseFrame();
    }
    OnSize(0, -1, -1);
    return 1;
}

// Printing -------------------------------------------------------------------------------------

void CMorvaneView::OnFilePrint() {
    platform::DoPrint(this, this);
    platform::GiveBackFreedMemory();
}

void CMorvaneView::OnFilePrintPreview() {
    platform::DoPrintPreview(this, this);
}

BOOL CMorvaneView::OnPreparePrinting(platform::CPrintInfo* info) {
    info->SetMaxPage(1);
    m_pPageWindow = new CPagePrintWindow();
    CPaperChoice paper;
    paper.m_nDarkFabric = RememberedFlag(kDarkFabricValue);
    paper.m_nCutMarks = RememberedFlag(kCutMarksValue);
    paper.m_strLightFabric = Text(kTextLightFabric);
    paper.m_strDarkFabric = Text(kTextDarkFabric);
    paper.m_strCutMarks = Text(kTextCutMarks);
    m_pPageWindow->SetPaperChoice(paper);
    if (!m_pPageWindow->CreateCentred(m_strings, m_print.m_nKeepAspect)) {
        delete m_pPageWindow;
        m_pPageWindow = nullptr;
        return FALSE;
    }
    const int mode = m_pPageWindow->RunModal(TRUE);
    m_print.ReadFrom(*m_pPageWindow);
    m_print.m_nPageMode = mode;
    delete m_pPageWindow;
    m_pPageWindow = nullptr;
    if (mode != 0) {
        WriteRegistryDword(DWORD(m_print.m_nDarkFabric), HKEY_CURRENT_USER, kRegistryKey,
                           kDarkFabricValue);
        WriteRegistryDword(DWORD(m_print.m_nCutMarks), HKEY_CURRENT_USER, kRegistryKey,
                           kCutMarksValue);
    }
    return mode != 0;
}

void CMorvaneView::OnPrint(CDC* dc, platform::CPrintInfo*) {
    PrintDesign(dc);
}

bool CMorvaneView::PrintDesign(CDC* dc) {
    m_bPrinting = true;
    EnablePaint(FALSE);
    m_bInvalidateOnPaint = true;
    bool printed = false;
    if (CLayerMixer* mixer = Mixer()) {
        CMixerRenderer renderer(mixer);
        printed =
            ::PrintDesign(dc, &renderer, m_print, GetPalette(), Text(kTextCopyResolutionReduced));
    }
    m_bPrinting = false;
    return printed;
}
