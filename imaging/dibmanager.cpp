#include "imaging/dibmanager.h"

#include "imaging/dib.h"
#include "platform/userservices.h"

#include <algorithm>
#include <new>

CDIBManager::CDIBManager() = default;

CDIBManager::~CDIBManager() {
    const std::vector<CDIB*> images = std::move(m_images);
    m_images.clear();
    for (CDIB* image : images)
        image->Release();
}

bool CDIBManager::Add(CDIB* image, int parts) {
    if (!image)
        return false;
    image->AddRef();
    if (std::find(m_images.begin(), m_images.end(), image) != m_images.end())
        return true;
    try {
        m_images.push_back(image);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error: could not add a dib to the dibmanager");
        return false;
    }
    image->EnsureParts(parts);
    return true;
}

CDIB* CDIBManager::Find(const char* path) const {
    if (!path)
        return nullptr;
    for (CDIB* image : m_images)
        if (image->GetImagePath() == path)
            return image;
    return nullptr;
}

CDIB* CDIBManager::Load(const char* path, int parts) {
    if (CDIB* cached = Find(path)) {
        cached->AddRef();
        return cached;
    }
    if (!path)
        return nullptr;
    auto* image = new CDIB;
    if (!image->Load(path, parts, 1)) {
        delete image;
        return nullptr;
    }
    Add(image, parts);
    return image;
}

bool CDIBManager::Release(CDIB* image, bool removeAlways) {
    const auto it = std::find(m_images.begin(), m_images.end(), image);
    if (!image || it == m_images.end())
        return false;
    const bool deleted = image->Release();
    if (deleted || removeAlways)
        m_images.erase(it);
    return true;
}
