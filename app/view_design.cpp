// Designs in and out of the view: ".prt" files written from the layer list
// and the page, read back into them, the page exported as a picture and a
// picture file opened as a new layer.

#include "app/designfile.h"
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

bool CMorvaneView::ExportDesign(const std::string& path) {
    return Mixer()->ExportPage(path);
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
    std::string text;
    WriteDesignHeader(&text);
    const int count = list->GetLayerCount();
    int width = 0, height = 0;
    const bool hasPage = mixer->GetPageSize(&width, &height);
    AppendDesignPageLines(text, count, hasPage, width, height);
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
        box.x = layer->m_dX;
        box.y = layer->m_dY;
        box.width = layer->m_dWidth;
        box.height = layer->m_dHeight;
        box.visible = layer->m_nVisible;
        box.mirrored = layer->m_nMirrored;
        box.flipped = layer->m_nFlipped;
        AppendDesignBox(text, box);
    }
    if (!WriteWholeFile(path, text)) {
        ShowMessage(Format("Error: failed to save %d bytes to file %s", int(text.size()), path),
                    MB_OK);
        return false;
    }
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
    mixer->ComputeMargins();
    mixer->NormaliseFrame();
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

namespace {

// A picture of a record: the path as written, else one the user looks up.
CDIB* LoadRecordPicture(CMorvaneView* view, const std::string& written) {
    const std::string trimmed = TrimDesignPath(written);
    std::string path = ResolveDesignPath(trimmed, AppSettings().GetProgramFolder(),
                                         AppSettings().GetContentFolder());
    if (path.empty()) {
        const std::string* request = view->Strings().Find(1016);
        view->ShowMessage((request ? *request : std::string()) + " " + trimmed, MB_OKCANCEL);
        std::string drive, folder, name, extension;
        std::string picked;
        if (SplitPath(trimmed, &drive, &folder, &name, &extension))
            picked = name + extension;
        if (!FileDialog(&picked, view, TRUE, ".prt", 0, kMissingPictureFilter) ||
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
    picture->EnsureParts(4);
    return picture;
}

} // namespace

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
    for (const DesignRecord& record : design.records)
        AddDesignRecord(record);
    return true;
}

void CMorvaneView::AddDesignRecord(const DesignRecord& record) {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    int index = -1;
    if (record.IsText()) {
        index = list->AddTextItem(&record.text.text, &record.text.font, int(record.text.colour),
                                  record.text.alignment, 0, 0);
    } else if (record.IsPicture()) {
        CDIB* picture = LoadRecordPicture(this, record.picture.imagePath);
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
    layer->m_nModified = 1;
    mixer->SelectLayer(nullptr);
    mixer->SelectLayer(layer);
    mixer->InvalidateLayerBox(layer);
}
