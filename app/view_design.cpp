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
#include "platform/userservices.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

namespace {

constexpr int kImportDisplaySize = 50;
constexpr double kMinAspect = 0.01;
constexpr double kMaxAspect = 100.0;
constexpr const char* kMissingPictureFilter = "BMP file (*.bmp)|*.bmp|All Files (*.*)|*.*||";
const int kColourButtonIds[5] = {ID_COLOUR_MAIN, ID_COLOUR_TOP_LEFT, ID_COLOUR_TOP_RIGHT,
                                 ID_COLOUR_BOTTOM_LEFT, ID_COLOUR_BOTTOM_RIGHT};

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
    for (int i = 0; i < 5; ++i) {
        auto* button = dynamic_cast<CColorButtonControl*>(FindControl(kColourButtonIds[i]));
        if (!button)
            return false;
        header.colours[i] = button->m_crColor;
    }
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
        box.reserved = layer->m_nReserved;
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
        char line[1200];
        std::snprintf(line, sizeof line, "Error: failed to save %d bytes to file %s",
                      int(text.size()), path.c_str());
        ShowMessage(line, MB_OK);
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
    Mixer()->Relayout();
    RedrawAll();
    return true;
}

bool CMorvaneView::ImportPicture(const std::string& path) {
    auto* picture = new CDIB();
    if (!picture->Load(path, 1, 0)) {
        delete picture;
        return false;
    }
    LayerList()->AddPictureItem(picture, kImportDisplaySize, kImportDisplaySize, 0, 0);
    return true;
}

bool CMorvaneView::ReadDesignHeader(std::string_view data, size_t* position) {
    CDesignLineReader reader(data.substr(std::min(*position, data.size())));
    CColorButtonControl* buttons[5];
    for (int i = 0; i < 5; ++i)
        if (!(buttons[i] = dynamic_cast<CColorButtonControl*>(FindControl(kColourButtonIds[i]))))
            return false;
    CLayerMixer* mixer = Mixer();
    if (!mixer)
        return false;
    for (CColorButtonControl* button : buttons) {
        button->m_crColor = COLORREF(reader.ReadLong());
        button->Redraw(nullptr, 1);
    }
    mixer->SetBackgroundColours(buttons[1]->m_crColor, buttons[2]->m_crColor, buttons[3]->m_crColor,
                                buttons[4]->m_crColor);
    m_print.m_nPageMode = reader.ReadInt();
    // A page needs a width and a height: a damaged proportion keeps the
    // page as it is.
    const double aspect = reader.ReadReal();
    if (aspect >= kMinAspect && aspect <= kMaxAspect)
        mixer->m_dAspect = aspect;
    mixer->ComputeMargins();
    mixer->NormaliseFrame();
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
    const std::string text = DecodeDesignBytes(std::string_view(data, size));
    FreeFileBuffer(data);
    size_t position = 0;
    if (!ReadDesignHeader(text, &position))
        return false;
    DesignFile design = ParseDesign(text);
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
    if (record.IsText()) {
        list->AddTextItem(&record.text.text, &record.text.font, int(record.text.colour),
                          record.text.alignment, 0, 0);
    } else if (record.IsPicture()) {
        CDIB* picture = LoadRecordPicture(this, record.picture.imagePath);
        if (!picture)
            return;
        list->AddPictureItem(picture, kImportDisplaySize, kImportDisplaySize, 0, 0);
    } else {
        return;
    }
    CLayerServer* server = list;
    int changed = 0;
    BYTE opacity = 0;
    const int key = server->GetLayerKey(server->GetCurrentLayer(), &changed, &opacity);
    const int index = mixer->FindLayerByKey(key);
    CLayerChannel* layer = index >= 0 ? mixer->GetLayer(index) : nullptr;
    if (!layer)
        return;
    list->SetLayerOpacity(server->GetCurrentLayer(), record.opacity);
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
