#include "app/designpictures.h"

#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "controls/multimenu.h"
#include "imaging/dib.h"
#include "layers/layercycle.h"
#include "platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

// The folder of a path of this system, absolute, ending in a separator.
std::string FolderOf(const std::string& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(platform::NativePath(path), ec);
    if (ec)
        return std::string();
    std::string folder = absolute.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string StemOf(const std::string& path) {
    std::string drive, folder, name, extension;
    SplitPath(path, &drive, &folder, &name, &extension);
    return name.empty() ? std::string("design") : name;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// A 24-bit picture of the image's colours, or of its alpha as grey.
std::unique_ptr<CDIB> PictureOf(const QImage& image, bool alpha) {
    auto picture = std::make_unique<CDIB>();
    if (!picture->Create(image.width(), image.height(), 24, nullptr) ||
        !picture->BeginPixelAccess())
        return nullptr;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        BYTE* out = picture->PixelAddress(0, unsigned(y));
        for (int x = 0; x < image.width(); ++x, out += 3) {
            const QRgb c = in[x];
            if (alpha) {
                out[0] = out[1] = out[2] = BYTE(qAlpha(c));
            } else {
                out[0] = BYTE(qBlue(c));
                out[1] = BYTE(qGreen(c));
                out[2] = BYTE(qRed(c));
            }
        }
    }
    picture->EndPixelAccess();
    return picture;
}

bool HasTransparency(const QImage& image) {
    if (!image.hasAlphaChannel())
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

// The name the alpha mask of an "i..." picture has.
std::string AlphaName(const std::string& name) {
    return name.empty() ? name : "a" + name.substr(1);
}

} // namespace

CDesignPictures::CDesignPictures(CControlManager& images) : m_images(images) {}

CDesignPictures::~CDesignPictures() {
    for (const Entry& entry : m_entries)
        m_images.ReleaseImage(entry.picture);
}

CDesignPictures::Entry* CDesignPictures::EntryOf(const CDIB* picture) {
    for (Entry& entry : m_entries)
        if (entry.picture == picture)
            return &entry;
    return nullptr;
}

const CDesignPictures::Entry* CDesignPictures::EntryOf(const CDIB* picture) const {
    return const_cast<CDesignPictures*>(this)->EntryOf(picture);
}

void CDesignPictures::DropUnused() {
    std::erase_if(m_entries, [this](const Entry& entry) {
        if (entry.picture->GetRefCount() > 1)
            return false;
        m_images.ReleaseImage(entry.picture);
        return true;
    });
}

CDIB* CDesignPictures::AddPasted(const QImage& source) {
    if (source.isNull() || !m_pasteFolder.isValid() ||
        (long long)source.width() * source.height() > kMaxPastedPixels)
        return nullptr;
    DropUnused();
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const std::string folder = m_pasteFolder.path().toStdString() + "/";
    const std::string name = "ipaste" + std::to_string(++m_nPasted) + ".bmp";
    std::unique_ptr<CDIB> colours = PictureOf(image, false);
    if (!colours || !colours->Save(folder + name))
        return nullptr;
    if (HasTransparency(image)) {
        std::unique_ptr<CDIB> alpha = PictureOf(image, true);
        if (!alpha || !alpha->Save(folder + AlphaName(name)))
            return nullptr;
    }
    // Loaded by its "i" name, the picture brings its alpha mask along.
    auto* picture = new CDIB();
    if (!picture->Load(folder + name, 1, 0)) {
        delete picture;
        return nullptr;
    }
    KeepBeside(picture, folder, name);
    return picture;
}

void CDesignPictures::KeepBeside(CDIB* picture, const std::string& folder,
                                 const std::string& name) {
    if (!picture)
        return;
    picture->DeriveFileNames(name, 0);
    if (Entry* entry = EntryOf(picture)) {
        entry->folder = folder;
        return;
    }
    m_images.Images().Add(picture, picture->GetLoadedParts());
    m_entries.push_back(Entry{picture, folder});
}

bool CDesignPictures::WriteFiles(CDIB* picture, const std::string& folder,
                                 const std::string& name) {
    if (!picture->Save(folder + name))
        return false;
    if (CDIB* alpha = picture->GetAlpha())
        if (!alpha->Save(folder + AlphaName(name)))
            return false;
    return true;
}

bool CDesignPictures::StoreBeside(const std::string& designPath, CLayerCycle& list) {
    DropUnused();
    const std::string folder = FolderOf(designPath);
    if (folder.empty())
        return false;
    const std::string stem = StemOf(designPath);
    bool stored = true;
    int next = 1;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        Entry* entry = EntryOf(list.GetItem(i)->image);
        if (!entry || entry->folder == folder)
            continue;
        std::string name;
        do {
            name = "i" + stem + "-" + std::to_string(next++) + ".bmp";
        } while (Exists(folder + name) || Exists(folder + AlphaName(name)));
        if (!WriteFiles(entry->picture, folder, name)) {
            stored = false;
            continue;
        }
        KeepBeside(entry->picture, folder, name);
    }
    return stored;
}

std::string CDesignPictures::FullPath(const CDIB* picture) const {
    const Entry* entry = EntryOf(picture);
    return entry ? platform::NativePath(entry->folder + picture->GetImagePath()) : std::string();
}

CDIB* CDesignPictures::FindByPath(const std::string& fullPath) const {
    for (const Entry& entry : m_entries)
        if (platform::NativePath(entry.folder + entry.picture->GetImagePath()) == fullPath)
            return entry.picture;
    return nullptr;
}
