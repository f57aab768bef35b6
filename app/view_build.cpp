// The editing surface of the main view: the content check, the background
// and the 41 controls in their order, with their links.

#include "app/extratexts.h"
#include "app/messagetable.h"
#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "controls/button.h"
#include "controls/colorbutton.h"
#include "controls/slidercontrol.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"
#include "imaging/toolarge.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/paths.h"
#include "platform/translations.h"
#include "platform/userservices.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kClipArtFolder = "res\\Data";
constexpr DWORD kStripVertical = 0x10000;
constexpr DWORD kThumbKeepProportions = 0x100;
constexpr DWORD kColourButtonStyle = 0x5001000B;
constexpr COLORREF kThumbFrame = 255;
constexpr COLORREF kWhite = 0x00FFFFFF;
const CRect kMemberRect(0, 0, 60, 33);

// The clip-art folder exists: an empty one counts too, as the folder's own
// entries answer the search where they are listed.
bool ContentPresent() {
    const std::vector<WIN32_FIND_DATAA> found =
        platform::FindFiles(AppSettings().MakeContentPath(kClipArtFolder));
    return !found.empty() && (found[0].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FormatContentRequest(const std::string& request, const std::string& folder, int try_) {
    char line[1200];
    std::snprintf(line, sizeof line, "%s (CD-ROM directory %s, try %d / 3)", request.c_str(),
                  folder.c_str(), try_);
    return line;
}

// A menu text without its mnemonic marks, for the page's context menu: "&&"
// stands for one '&', a single '&' goes.
std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 >= text.size() || text[i + 1] != '&')
                continue;
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

std::string FormatTooLarge(const std::string& format, const std::string& path, long long width,
                           long long height) {
    const int needed = std::snprintf(nullptr, 0, format.c_str(), path.c_str(), width, height);
    std::string text(size_t(std::max(needed, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, format.c_str(), path.c_str(), width, height);
    return text;
}

// A member of a strip takes an equal share of it.
void WeighMember(CControlBase* member) {
    member->m_dWeight = 1.0;
    if (member->m_pGroup)
        member->m_pGroup->Relayout();
}

} // namespace

const std::string& CMorvaneView::Text(int id) {
    static const std::string empty;
    const std::string* text = m_strings.Find(id);
    return text ? *text : empty;
}

void CMorvaneView::BeforeCreate() {
    AppSettings().SetLanguage(kLanguageDutch);
    WriteLanguage(kLanguageDutch);
    m_strings.m_nLanguage = kLanguageDutch;
    RegisterMessageTable(m_strings);
    RegisterExtraTexts(m_strings);
    // The standard dialogs speak the program's language too.
    platform::UseStandardDialogLanguage(kLanguageDutch);
    SetPictureTooLargeReporter([this](const std::string& path, long long width, long long height) {
        AfxMessageBox(FormatTooLarge(Text(kTextPictureTooLarge), path, width, height));
    });
}

// Asks for the disc up to three times while the clip art is missing.
bool CMorvaneView::CheckContent() {
    for (int attempt = 1; attempt <= 3 && !ContentPresent(); ++attempt)
        ShowMessage(FormatContentRequest(Text(1017),
                                         platform::NativePath(AppSettings().GetContentFolder()),
                                         attempt),
                    MB_OK);
    return ContentPresent();
}

bool CMorvaneView::AddSkinnedButton(int id, const CRect& rect, const std::string& skin,
                                    CButtonControl** made) {
    auto* button = new CButtonControl(this, this, id, &rect, "", 0, 0);
    if (!AddControl(button))
        return false;
    if (made)
        *made = button;
    return button->SetBitmapFile(skin.c_str());
}

bool CMorvaneView::AddStrip(int stripId, const CRect& rect, const char* folder,
                            const char* altFolder, int upId, int downId, int firstThumbId) {
    auto* strip = new CThumbStrip(this, this, stripId, &rect, 0, folder, altFolder, nullptr, 2, 3);
    if (!AddControl(strip))
        return false;
    strip->m_dwFlags |= kStripVertical;
    CButtonControl* up = nullptr;
    CButtonControl* down = nullptr;
    if (!AddSkinnedButton(upId, kMemberRect, "res\\kv\\ieup", &up))
        return false;
    strip->SetUpButton(up);
    WeighMember(up);
    if (!AddSkinnedButton(downId, kMemberRect, "res\\kv\\iedown", &down))
        return false;
    strip->SetDownButton(down);
    WeighMember(down);
    for (int i = 0; i < kThumbsPerStrip; ++i) {
        auto* thumb = new CThumbControl(this, this, firstThumbId + i, &kMemberRect, "",
                                        kThumbKeepProportions, 0, 2, 2, kThumbFrame);
        if (!AddControl(thumb))
            return false;
        strip->AddMember(thumb);
        WeighMember(thumb);
    }
    return true;
}

bool CMorvaneView::AddColourButtons() {
    const struct {
        int id;
        CRect rect;
    } buttons[] = {{ID_COLOUR_TOP_LEFT, CRect(531, 88, 578, 117)},
                   {ID_COLOUR_TOP_RIGHT, CRect(586, 88, 633, 117)},
                   {ID_COLOUR_BOTTOM_LEFT, CRect(531, 123, 578, 152)},
                   {ID_COLOUR_BOTTOM_RIGHT, CRect(586, 123, 633, 152)},
                   {ID_COLOUR_MAIN, CRect(531, 39, 633, 81)}};
    for (const auto& b : buttons)
        if (!AddControl(
                new CColorButtonControl(this, this, b.id, &b.rect, kWhite, 0, kColourButtonStyle)))
            return false;
    return true;
}

bool CMorvaneView::AddLayerControls() {
    const CRect listRect(280, 40, 521, 117);
    auto* list = new CLayerCycle(this, this, ID_LAYER_LIST, &listRect, 0, kColourButtonStyle);
    if (!AddControl(list))
        return false;
    CButtonControl* button = nullptr;
    if (!AddSkinnedButton(ID_LAYER_UP, CRect(174, 46, 216, 105), "res\\kv\\ielup", &button))
        return false;
    list->SetLowerButton(button);
    if (!AddSkinnedButton(ID_LAYER_DOWN, CRect(224, 46, 266, 105), "res\\kv\\ieldown", &button))
        return false;
    list->SetHigherButton(button);
    if (!AddSkinnedButton(ID_DELETE_LAYER, CRect(175, 104, 217, 163), "res\\kv\\ieldel", &button))
        return false;
    list->SetDeleteButton(button);
    if (!AddSkinnedButton(ID_LAYER_DELETE_ALL, CRect(224, 104, 266, 163), "res\\kv\\iedelall",
                          &button))
        return false;
    list->SetDeleteAllButton(button);
    list->SetClearedCommand(ID_LAYERS_CLEARED);

    const CRect sliderRect(279, 122, 520, 153);
    auto* slider = new CSliderControl(this, this, ID_OPACITY_SLIDER, &sliderRect, 0, 0x50010000);
    slider->SetRange(0, 255);
    if (!AddControl(slider))
        return false;
    list->SetOpacityControl(slider);
    slider->SetIntSource(list);
    list->m_nMaxChars = 15;
    return true;
}

bool CMorvaneView::AddMixer() {
    const CRect rect(166, 165, 635, 584);
    auto* mixer = new CLayerMixer(this, this, ID_MIXER, &rect, WS_CHILD | WS_VISIBLE);
    if (!AddControl(mixer))
        return false;
    mixer->SetMenuTexts(Text(1036), Text(1037), Text(1038), Text(1039), Text(1040), Text(1041),
                        Text(1042), Text(1043));
    mixer->SetExtraMenuTexts(WithoutMnemonic(Text(kTextDuplicate)),
                             WithoutMnemonic(Text(kTextRotateLeft)),
                             WithoutMnemonic(Text(kTextRotateRight)));
    CLayerCycle* list = LayerList();
    mixer->m_pLayerServer = list;
    list->SetMixer(mixer);
    const int corners[4] = {ID_COLOUR_TOP_LEFT, ID_COLOUR_TOP_RIGHT, ID_COLOUR_BOTTOM_LEFT,
                            ID_COLOUR_BOTTOM_RIGHT};
    for (int i = 0; i < 4; ++i)
        mixer->SetColourSource(i, FindControl(corners[i]));
    // Pictures and designs dragged from the desktop land on the page.
    platform::DragAcceptFiles(mixer, this);
    return true;
}

BOOL CMorvaneView::CreateControls() {
    CountProgramRun();
    if (!CheckContent())
        return FALSE;
    SetBackgroundColor(0x003C1E14);
    InitLayout(800, 600);
    SetBackgroundImageFile(AppSettings().TestDisplayFlags(CAppSettings::kPaletteDisplay)
                               ? "res\\kv\\iebgnd8"
                               : "res\\kv\\iebgnd");
    if (!AddSkinnedButton(ID_QUIT_BUTTON, CRect(638, 7, 792, 59), Text(1001)))
        return FALSE;
    const std::string clipArt = AppSettings().MakeContentPath(kClipArtFolder);
    if (!AddStrip(ID_CATEGORY_STRIP, CRect(81, 165, 141, 601), clipArt.c_str(), kClipArtFolder,
                  ID_CATEGORY_UP, ID_CATEGORY_DOWN, ID_FIRST_CATEGORY_THUMB))
        return FALSE;
    auto* categories = static_cast<CThumbStrip*>(FindControl(ID_CATEGORY_STRIP));
    categories->SetFrameGradient(0x000000FF, 0x0000FF00);
    if (!AddStrip(ID_FILE_STRIP, CRect(660, 165, 720, 601), "", "", ID_FILE_UP, ID_FILE_DOWN,
                  ID_FIRST_FILE_THUMB))
        return FALSE;
    auto* files = static_cast<CThumbStrip*>(FindControl(ID_FILE_STRIP));
    files->SetDraggable(1);
    CThumbStrip::LinkStrips(categories, files);

    const struct {
        int id;
        CRect rect;
        int skin;
    } commands[] = {{ID_LOAD, CRect(7, 59, 161, 111), 1002},
                    {ID_SAVE, CRect(7, 111, 161, 163), 1003},
                    {ID_PRINT, CRect(638, 59, 792, 111), 1004},
                    {ID_PRINT_PREVIEW, CRect(638, 112, 792, 164), 1005},
                    {ID_ADD_TEXT, CRect(46, 8, 162, 60), 1006},
                    {ID_EDIT_TEXT, CRect(8, 8, 46, 60), 1007}};
    for (const auto& c : commands)
        if (!AddSkinnedButton(c.id, c.rect, Text(c.skin)))
            return FALSE;
    if (!AddColourButtons() || !AddLayerControls() || !AddMixer())
        return FALSE;
    SetMinimumSize(639, 479);
    ShowStartCategory();
    UpdateButtonStates();
    OnSize(0, -1, -1);
    return TRUE;
}

// The file strip starts with pictures: those of the category chosen last,
// else of the first one.
void CMorvaneView::ShowStartCategory() {
    auto* categories = dynamic_cast<CThumbStrip*>(FindControl(ID_CATEGORY_STRIP));
    if (categories && !categories->ChooseEntry(ReadLastCategory()))
        categories->ChooseEntry(std::string());
}

void CMorvaneView::RememberCategory() {
    auto* categories = dynamic_cast<CThumbStrip*>(FindControl(ID_CATEGORY_STRIP));
    const CDIB* picture =
        categories && categories->m_pSelected ? categories->m_pSelected->GetImage() : nullptr;
    if (picture && !picture->GetBaseName().empty())
        WriteLastCategory(picture->GetBaseName());
}

void CMorvaneView::UpdateButtonStates() {
    CLayerCycle* list = LayerList();
    if (!list)
        return;
    const multimenu_package* current = list->GetCurrentItem();
    if (CControlBase* edit = FindControl(ID_EDIT_TEXT))
        edit->Enable(current && current->kind == MMP_TEXT);
    const BOOL any = list->GetItemCount() > 0;
    for (int id : {ID_OPACITY_SLIDER, ID_SAVE, ID_PRINT, ID_PRINT_PREVIEW})
        if (CControlBase* control = FindControl(id))
            control->Enable(any);
}

bool CMorvaneView::BuildSurface(int width, int height) {
    SetUpPalette();
    BeforeCreate();
    if (!CreateControls())
        return false;
    InitLayout(0, 0);
    resize(width, height);
    // A hidden widget gets its resize event only when shown.
    OnSize(0, width, height);
    return Mixer() && LayerList();
}
