// Designs in and out of the view: ".prt" files written from the layer list
// and the page, read back into them, the page exported as a picture and a
// picture file opened as a new layer.

#include "app/designextensions.h"
#include "app/designfile.h"
#include "app/designpictures.h"
#include "app/designprogress.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/colorbutton.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/paths.h"
#include "platform/userservices.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

namespace {

constexpr int kImportDisplaySize = 50;
// Page proportions a design may set: an exported page of 1000 pixels wide
// stays within 20000 pixels in either direction.
constexpr double kMinAspect = 0.05;
constexpr double kMaxAspect = 20.0;
constexpr const char* kMissingPictureFilter = "BMP file (*.bmp)|*.bmp|All Files (*.*)|*.*||";

// The extension with its dot, or nothing when the path does not split.
bool ExtensionOf(const std::string& path, std::string* extension) {
    std::string drive, folder, name;
    return SplitPath(path, &drive, &folder, &name, extension);
}

bool IsDesignExtension(const std::string& extension) {
    return strcasecmp(extension.c_str(), ".prt") == 0;
}

std::string Format(const char* format, const std::string& a) {
    std::vector<char> line(a.size() + 64);
    std::snprintf(line.data(), line.size(), format, a.c_str());
    return line.data();
}

std::string Format(const char* format, int n, const std::string& a) {
    std::vector<char> line(a.size() + 80);
    std::snprintf(line.data(), line.size(), format, n, a.c_str());
    return line.data();
}

// A long design's bar out of the way while the user is asked, and back
// once they answered, whichever way.
class CBarAside {
public:
    explicit CBarAside(CDesignProgress* progress) : m_pProgress(progress) {
        if (m_pProgress)
            m_pProgress->StepAside(true);
    }
    ~CBarAside() {
        if (m_pProgress)
            m_pProgress->StepAside(false);
    }
    CBarAside(const CBarAside&) = delete;
    CBarAside& operator=(const CBarAside&) = delete;

private:
    CDesignProgress* m_pProgress;
};

} // namespace

// Saving --------------------------------------------------------------------------------------

bool CMorvaneView::SaveDesign(const std::string& path) {
    std::string extension;
    if (!Mixer() || !ExtensionOf(path, &extension))
        return false;
    const bool saved = IsDesignExtension(extension) ? WriteDesignFile(path) : ExportDesign(path);
    if (saved)
        ShowMessage(Format("%s ... OK", path), MB_OK);
    return saved;
}

bool CMorvaneView::WriteDesignHeader(std::string* text) {
    DesignHeader header;
    CColorButtonControl* buttons[5];
    if (!FindColourButtons(buttons))
        return false;
    for (int i = 0; i < 5; ++i)
        header.colours[i] = buttons[i]->m_crColor;
    CLayerMixer* mixer = Mixer();
    if (!mixer)
        return false;
    header.pageMode = m_print.m_nPageMode;
    header.aspect = mixer->m_dAspect;
    AppendDesignHeader(*text, header);
    return true;
}

bool CMorvaneView::WriteDesignFile(const std::string& path) {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    if (!list)
        return false;
    // Pictures pasted into the design go beside it, so it opens elsewhere.
    if (m_pPictures && !m_pPictures->StoreBeside(path, *list))
        return false;
    std::string text;
    WriteDesignHeader(&text);
    const int count = list->GetLayerCount();
    // The boxes go in the page size the design was read with, so an
    // unchanged design is written as it was read whatever the window.
    int width = 0, height = 0;
    const bool hasPage = mixer->GetDesignFrame(&width, &height);
    AppendDesignPageLines(text, count, hasPage, width, height);
    std::vector<LayerExtension> extensions;
    int written = 0;
    for (int i = count - 1; i >= 0; --i) {
        std::string item;
        const int key = list->SerialiseLayer(i, &item);
        const int index = mixer->FindLayerByKey(key);
        CLayerChannel* layer = index >= 0 ? mixer->GetLayer(index) : nullptr;
        if (!layer)
            continue;
        text += item;
        // The box lines through the design writer: always a '.' in the
        // numbers, whatever the locale.
        DesignBox box;
        mixer->GetDesignBox(layer, &box.x, &box.y, &box.width, &box.height);
        box.visible = layer->m_nVisible;
        box.mirrored = layer->m_nMirrored;
        box.flipped = layer->m_nFlipped;
        AppendDesignBox(text, box);
        extensions.push_back(LayerExtension{written++, layer->m_dAngle, layer->m_extensionLines});
    }
    AppendDesignExtensions(text, m_designExtensionLines, extensions);
    if (!WriteWholeFile(path, text)) {
        ShowMessage(Format("Error: failed to save %d bytes to file %s", int(text.size()), path),
                    MB_OK);
        return false;
    }
    if (hasPage)
        mixer->SetDesignFrame(width, height);
    return true;
}

// Loading -------------------------------------------------------------------------------------

bool CMorvaneView::LoadDesign(const std::string& path) {
    std::string extension;
    if (!ExtensionOf(path, &extension) || !LayerList() || !Mixer())
        return false;
    const bool loaded = IsDesignExtension(extension) ? ReadDesignFile(path) : ImportPicture(path);
    if (!loaded)
        return false;
    // The layers exist before the page is composed, also while painting is
    // held back (no window shown yet).
    Mixer()->SynchroniseLayers();
    Mixer()->Relayout();
    RedrawAll();
    return true;
}

bool CMorvaneView::ImportPicture(const std::string& path) {
    auto* picture = new CDIB();
    if (!picture->Load(path, 1, 0)) {
        // The user has been told of a picture too large to hold; nothing
        // more needs saying.
        m_bLoadFailureTold = picture->WasTooLarge();
        delete picture;
        return false;
    }
    LayerList()->AddPictureItem(picture, kImportDisplaySize, kImportDisplaySize, 0, 0);
    return true;
}

namespace {

// Lines 1 to 7 applied to the buttons, the page mode and the page.
bool ApplyDesignHeader(CMorvaneView* view, const DesignHeader& header) {
    CColorButtonControl* buttons[5];
    CLayerMixer* mixer = view->Mixer();
    if (!view->FindColourButtons(buttons) || !mixer)
        return false;
    for (int i = 0; i < 5; ++i) {
        buttons[i]->m_crColor = header.colours[i];
        buttons[i]->Redraw(nullptr, 1);
    }
    mixer->SetBackgroundColours(header.colours[1], header.colours[2], header.colours[3],
                                header.colours[4]);
    view->m_print.m_nPageMode = header.pageMode;
    // A page needs a width and a height: a damaged proportion keeps the
    // page as it is (an export is 1000 / aspect pixels high).
    if (header.aspect >= kMinAspect && header.aspect <= kMaxAspect)
        mixer->m_dAspect = header.aspect;
    // The page takes the design's proportion as it was saved. The frame's
    // normalisation is not a fixed point: run on every opening it would
    // move the proportion, and every box with it, each time.
    mixer->ComputeMargins();
    return true;
}

} // namespace

bool CMorvaneView::ReadDesignHeader(std::string_view data, size_t* position) {
    CDesignLineReader reader(data.substr(std::min(*position, data.size())));
    DesignHeader header;
    for (COLORREF& colour : header.colours)
        colour = COLORREF(reader.ReadLong());
    header.pageMode = reader.ReadInt();
    header.aspect = reader.ReadReal();
    if (!ApplyDesignHeader(this, header))
        return false;
    *position += reader.Position();
    return true;
}

// A picture of a record: the path as written, else one the user looks up
// (or one stored beside the design). It comes back as the record describes
// it, so the design is written again as it was read: a picture item (kind
// 2) keeps its image part, a thumbnail item (kind 3) has its thumbnail, and
// the load mode is the one written.
CDIB* CMorvaneView::LoadRecordPicture(const DesignRecord& record, const std::string& designFolder) {
    const std::string trimmed = TrimDesignPath(record.picture.imagePath);
    std::string path = ResolveDesignPath(trimmed, AppSettings().GetProgramFolder(),
                                         AppSettings().GetContentFolder());
    // Only the design's own folder holds it: a picture stored beside it.
    bool beside = false;
    if (path.empty() && !designFolder.empty()) {
        path = ResolveDesignPath(trimmed, AppSettings().GetProgramFolder(),
                                 AppSettings().GetContentFolder(), designFolder);
        beside = !path.empty();
    }
    if (path.empty()) {
        // The question and the dialog are not hidden behind the bar.
        const CBarAside aside(m_pReadProgress);
        const std::string* request = Strings().Find(1016);
        ShowMessage((request ? *request : std::string()) + " " + trimmed, MB_OKCANCEL);
        std::string drive, folder, name, extension;
        std::string picked;
        if (SplitPath(trimmed, &drive, &folder, &name, &extension))
            picked = name + extension;
        if (!FileDialog(&picked, this, TRUE, ".prt", 0, kMissingPictureFilter) ||
            !FileExists(picked))
            return nullptr;
        path = picked;
    } else if (path == platform::NativePath(trimmed)) {
        // Found as written: the picture keeps the written form, so the
        // design is saved again with the same path.
        path = trimmed;
    }
    auto* picture = new CDIB();
    if (!picture->Load(path, 1, 0)) {
        delete picture;
        return nullptr;
    }
    picture->EnsureParts(record.kind == kDesignPictureLayer ? CDIB::kImage | CDIB::kThumbnail
                                                            : CDIB::kThumbnail);
    picture->SetLoadMode(record.picture.loadMode);
    // A picture stored beside its design keeps the name the design gives
    // it, so the design is written again as it was read.
    if (beside && m_pPictures)
        m_pPictures->KeepBeside(picture, designFolder, trimmed);
    return picture;
}

bool CMorvaneView::ReadDesignFile(const std::string& path) {
    DWORD size = 0;
    char* data = ReadWholeFile(path, &size);
    if (!data)
        return false;
    // The parser decodes the bytes itself and stops at the end of the data
    // or at its limits, whatever the count line announces.
    DesignFile design = ParseDesign(std::string_view(data, size));
    FreeFileBuffer(data);
    if (!ApplyDesignHeader(this, design.header))
        return false;
    CLayerMixer* mixer = Mixer();
    LayerList()->RemoveAllLayers();
    int width = 0, height = 0;
    if (!mixer->GetPageSize(&width, &height))
        return false;
    ScaleDesignToPage(design, width, height);
    mixer->SetDesignFrame(design.pageWidth, design.pageHeight);
    m_designExtensionLines = design.extensionLines;
    std::string drive, folder, name, extension;
    const std::string designFolder =
        SplitPath(path, &drive, &folder, &name, &extension) ? drive + folder : std::string();
    // The page is composed, and the history takes its step, once the
    // design has all its layers, not after each: a long design would take
    // the square of its length.
    mixer->HoldRedraws(true);
    {
        CDesignProgress progress(name + extension, int(design.records.size()), isVisible());
        m_pReadProgress = &progress;
        // Behind the bar the window is painted once, when the design is
        // whole, not for every layer the list shows.
        const bool quiet = progress.IsShown() && updatesEnabled();
        if (quiet)
            setUpdatesEnabled(false);
        for (const DesignRecord& record : design.records) {
            AddDesignRecord(record, designFolder);
            progress.Step();
        }
        if (quiet)
            setUpdatesEnabled(true);
        m_pReadProgress = nullptr;
    }
    mixer->HoldRedraws(false);
    return true;
}

void CMorvaneView::AddDesignRecord(const DesignRecord& record, const std::string& designFolder) {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    int index = -1;
    if (record.IsText()) {
        index = list->AddTextItem(&record.text.text, &record.text.font, int(record.text.colour),
                                  record.text.alignment, 0, 0);
    } else if (record.IsPicture()) {
        CDIB* picture = LoadRecordPicture(record, designFolder);
        if (!picture)
            return;
        index = list->AddPictureItem(picture, kImportDisplaySize, kImportDisplaySize, 0, 0);
    }
    if (index < 0)
        return;
    // The mixer builds its layers when it next draws; the record's box
    // needs the layer now, also while painting is held back.
    mixer->SynchroniseLayers();
    CLayerServer* server = list;
    const int key = server->GetLayerKey(index, nullptr, nullptr);
    CLayerChannel* layer = mixer->GetLayer(mixer->FindLayerByKey(key));
    if (!layer)
        return;
    list->SetLayerOpacity(index, record.opacity);
    mixer->InvalidateLayerBox(layer);
    layer->SetGeometry(record.box.x, record.box.y, record.box.width, record.box.height);
    layer->m_nOpacity = record.opacity;
    layer->m_nVisible = record.box.visible;
    layer->m_nMirrored = record.box.mirrored;
    layer->m_nFlipped = record.box.flipped;
    layer->m_dAngle = record.angle;
    layer->m_extensionLines = record.extensionLines;
    layer->m_nModified = 1;
    mixer->SelectLayer(nullptr);
    mixer->SelectLayer(layer);
    mixer->InvalidateLayerBox(layer);
}
