// Editing the design as users of design programs expect: undo and redo of
// every change, a copy of the selected layer beside it, copy and paste
// through the system clipboard, the recent files, and the history's look
// at the design after every notification.

#include "app/designfile.h"
#include "app/designhistory.h"
#include "app/designpictures.h"
#include "app/editcommands.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "content/fileutil.h"
#include "controls/colorbutton.h"
#include "controls/notifier.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/clipboard.h"
#include "platform/userservices.h"

#include <QTransform>

#include <vector>

namespace {

// A copy lands this many page pixels right of and below its original.
constexpr double kCopyOffset = 10.0;
constexpr int kPictureItemSize = 50;

bool IsPictureItem(const multimenu_package& item) {
    return (item.kind == MMP_PICTURE || item.kind == MMP_THUMBNAIL) && item.image;
}

// The layer as a design record: its item's content, its box and options.
DesignRecord RecordOf(const multimenu_package& item, const CLayerChannel& layer,
                      const std::string& picturePath) {
    DesignRecord record;
    record.kind = item.kind;
    record.opacity = item.opacity;
    if (item.kind == MMP_TEXT) {
        record.text.colour = COLORREF(item.data1);
        record.text.alignment = item.data2;
        record.text.text = item.text;
        record.text.font = item.font;
    } else if (IsPictureItem(item)) {
        record.picture.loadMode = item.image->GetLoadMode();
        record.picture.imagePath = picturePath;
        record.picture.alphaPath = item.image->GetAlphaPath();
        record.picture.thumbPath = item.image->GetThumbPath();
    }
    record.box.x = layer.m_dX;
    record.box.y = layer.m_dY;
    record.box.width = layer.m_dWidth;
    record.box.height = layer.m_dHeight;
    record.box.visible = layer.m_nVisible;
    record.box.mirrored = layer.m_nMirrored;
    record.box.flipped = layer.m_nFlipped;
    record.angle = layer.m_dAngle;
    record.extensionLines = layer.m_extensionLines;
    return record;
}

// The layer's pixels for other programs: its own picture with its
// transparency and opacity, mirrored, flipped and turned as it is shown.
QImage LayerImage(const CLayerChannel& layer) {
    const CRLEStream& stream = layer.m_stream;
    const int width = stream.GetWidth(), height = stream.GetHeight();
    if (!stream.IsValid() || width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_ARGB32);
    std::vector<DWORD> row(static_cast<size_t>(width));
    const int weight = (layer.m_nOpacity & 0xFF) + 1;
    for (int y = 0; y < height; ++y) {
        const int decoded = stream.DecodeRow(y, row.data());
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const DWORD w = x < decoded ? row[size_t(x)] : 0;
            out[x] = qRgba(int(w >> 24), int((w >> 16) & 0xFF), int((w >> 8) & 0xFF),
                           int((w & 0xFF) * weight) >> 8);
        }
    }
    image = image.mirrored(layer.m_nMirrored != 0, layer.m_nFlipped != 0);
    if (layer.m_dAngle != 0.0)
        image = image.transformed(QTransform().rotate(layer.m_dAngle), Qt::SmoothTransformation);
    return image;
}

} // namespace

void CMorvaneView::OnDispatchFinished(int kind) {
    if (m_pHistory && !m_pReadProgress &&
        (kind == kNotifyDrop || kind == kNotifySelect || kind == kNotifyValue))
        m_pHistory->Checkpoint();
}

bool CMorvaneView::OnEditingCommand(int sender) {
    switch (sender) {
    case ID_EDIT_UNDO:
        UndoCommand(false);
        return true;
    case ID_EDIT_REDO:
        UndoCommand(true);
        return true;
    case ID_EDIT_COPY:
        CopySelected();
        return true;
    case ID_EDIT_PASTE:
        PasteClipboard();
        return true;
    case ID_LAYER_DUPLICATE:
        DuplicateSelected();
        return true;
    default:
        break;
    }
    // Turns and nudges are the page's (it hears them too); a select from
    // the page is an edit made there, which the history takes afterwards.
    if (sender == ID_MIXER || (sender >= ID_LAYER_ROTATE_LEFT && sender <= ID_LAYER_NUDGE_DOWN_FAR))
        return true;
    if (sender >= ID_FILE_MRU_FILE1 && sender < ID_FILE_MRU_FILE1 + kRecentFileCount) {
        OpenRecentFile(sender - ID_FILE_MRU_FILE1);
        return true;
    }
    return false;
}

void CMorvaneView::UndoCommand(bool redo) {
    if (!m_pHistory)
        return;
    if (redo)
        m_pHistory->Redo();
    else
        m_pHistory->Undo();
    UpdateButtonStates();
}

bool CMorvaneView::InsertLayerRecord(const DesignRecord& record, CDIB* picture, int index) {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    if (!list || !mixer)
        return false;
    int placed = -1;
    if (record.IsText())
        placed = list->AddTextItem(&record.text.text, &record.text.font, int(record.text.colour),
                                   record.text.alignment, kPlaceAt, index);
    else if (record.IsPicture() && picture)
        placed = list->AddPictureItem(picture, kPictureItemSize, kPictureItemSize, kPlaceAt, index);
    if (placed < 0)
        return false;
    // A picture keeps the kind its record gives: shown whole or by its thumbnail.
    if (record.IsPicture())
        list->m_items[size_t(placed)].kind = record.kind;
    mixer->SynchroniseLayers();
    CLayerServer* server = list;
    CLayerChannel* layer =
        mixer->GetLayer(mixer->FindLayerByKey(server->GetLayerKey(placed, nullptr, nullptr)));
    if (!layer)
        return true; // the item is there; its layer could not be built
    list->SetLayerOpacity(placed, record.opacity);
    mixer->InvalidateLayerBox(layer);
    layer->SetGeometry(record.box.x, record.box.y, record.box.width, record.box.height);
    layer->m_nOpacity = record.opacity;
    layer->m_nVisible = record.box.visible;
    layer->m_nMirrored = record.box.mirrored;
    layer->m_nFlipped = record.box.flipped;
    layer->m_dAngle = record.angle;
    layer->m_extensionLines = record.extensionLines;
    mixer->SelectLayer(nullptr);
    mixer->SelectLayer(layer);
    mixer->InvalidateLayerBox(layer);
    mixer->Redraw(nullptr, 0);
    return true;
}

void CMorvaneView::DuplicateSelected() {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    const multimenu_package* item = list ? list->GetCurrentItem() : nullptr;
    if (!item || !mixer)
        return;
    const CLayerChannel* layer = mixer->GetLayer(mixer->FindLayerByKey(item->serial));
    if (!layer)
        return;
    DesignRecord record = RecordOf(*item, *layer, std::string());
    record.box.x += kCopyOffset;
    record.box.y += kCopyOffset;
    // The copy goes just in front of its original and shares its picture.
    CDIB* picture = IsPictureItem(*item) ? item->image : nullptr;
    InsertLayerRecord(record, picture, list->m_nCurrent);
}

void CMorvaneView::CopySelected() {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    const multimenu_package* item = list ? list->GetCurrentItem() : nullptr;
    if (!item || !mixer)
        return;
    const CLayerChannel* layer = mixer->GetLayer(mixer->FindLayerByKey(item->serial));
    if (!layer)
        return;
    // A picture that lives with the design is named by where its file is.
    std::string path;
    if (IsPictureItem(*item)) {
        path = m_pPictures ? m_pPictures->FullPath(item->image) : std::string();
        if (path.empty())
            path = item->image->GetImagePath();
    }
    DesignFile design;
    CColorButtonControl* buttons[5];
    if (FindColourButtons(buttons))
        for (int i = 0; i < 5; ++i)
            design.header.colours[i] = buttons[i]->m_crColor;
    design.header.pageMode = m_print.m_nPageMode;
    design.header.aspect = mixer->m_dAspect;
    mixer->GetPageSize(&design.pageWidth, &design.pageHeight);
    design.records.push_back(RecordOf(*item, *layer, path));
    platform::SetClipboardLayer(WriteDesignText(design), LayerImage(*layer));
}

void CMorvaneView::PasteClipboard() {
    CLayerCycle* list = LayerList();
    CLayerMixer* mixer = Mixer();
    if (!list || !mixer || !m_pPictures)
        return;
    std::string lines;
    if (platform::GetClipboardLayer(&lines)) {
        DesignFile design = ParseDesign(lines);
        int width = 0, height = 0;
        if (design.records.empty() || !mixer->GetPageSize(&width, &height))
            return;
        ScaleDesignToPage(design, width, height);
        DesignRecord record = design.records.front();
        record.box.x += kCopyOffset;
        record.box.y += kCopyOffset;
        CDIB* picture = nullptr;
        bool loaded = false;
        if (record.IsPicture()) {
            picture = m_pPictures->FindByPath(record.picture.imagePath);
            if (!picture && (picture = LoadRecordPicture(record, "")))
                loaded = true;
            if (!picture)
                return;
        }
        if (!InsertLayerRecord(record, picture, 0) && loaded)
            delete picture;
        return;
    }
    // A picture of another program: a new picture layer, placed like an
    // opened picture.
    CDIB* picture = m_pPictures->AddPasted(platform::GetClipboardImage());
    if (!picture)
        return;
    list->AddPictureItem(picture, kPictureItemSize, kPictureItemSize, kPlaceFront, 0);
    mixer->SynchroniseLayers();
    mixer->Redraw(nullptr, 0);
}

void CMorvaneView::OpenRecentFile(int index) {
    const std::vector<std::string> files = CMorvaneDoc::RecentFiles();
    if (index < 0 || index >= int(files.size()))
        return;
    if (!FileExists(files[size_t(index)])) {
        AfxMessageBox(Text(1009));
        return;
    }
    OpenPath(files[size_t(index)]);
}
