#pragma once
// The image cache: pictures shared by path and counted by references, so a
// skin or clip-art picture is loaded once however many controls show it.

#include <string>
#include <vector>

class CDIB;

class CDIBManager {
public:
    CDIBManager();
    ~CDIBManager();
    CDIBManager(const CDIBManager&) = delete;
    CDIBManager& operator=(const CDIBManager&) = delete;

    // Adds a reference; a new image is kept and gets the requested parts.
    bool Add(CDIB* image, int parts);
    // The cached image of this path (one more reference), or a newly loaded
    // one; null when the file does not load.
    CDIB* Load(const char* path, int parts);
    // The cached image of this path without a new reference, or null.
    CDIB* Find(const char* path) const;
    // Drops one reference; the image leaves the cache when it was deleted
    // or when removeAlways is set. FALSE for an image not in the cache.
    bool Release(CDIB* image, bool removeAlways);

    int GetCount() const { return int(m_images.size()); }

private:
    std::vector<CDIB*> m_images;
};
