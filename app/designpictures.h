#pragma once
// Pictures that live with a design rather than in the clip art or in a
// file of the user's: pictures pasted from the clipboard, and pictures
// read from beside a design that names them without a folder. A pasted
// picture is written at once into a folder of its own for this run (as
// the picture and, when it has transparency, its alpha mask, named like
// the clip-art triples) and loaded from there like any picture; when the
// design is saved, every such picture whose files are not beside it yet
// is written there under a name made from the design's (for the design
// "logo.prt": "ilogo-1.bmp" and "alogo-1.bmp") and the design names it by
// that file name alone, so design and pictures move together.

#include <QImage>
#include <QTemporaryDir>

#include <string>
#include <vector>

class CControlManager;
class CDIB;
class CLayerCycle;

// Pasted pictures larger than this are refused.
constexpr long long kMaxPastedPixels = 64'000'000;

class CDesignPictures {
public:
    // Keeps a reference to each picture in the manager's image cache.
    explicit CDesignPictures(CControlManager& images);
    ~CDesignPictures();
    CDesignPictures(const CDesignPictures&) = delete;
    CDesignPictures& operator=(const CDesignPictures&) = delete;

    // The clipboard's picture as a loaded picture of its own; null for an
    // empty or too large image or when its files cannot be written. The
    // caller gets the picture as a new one (no reference of its own).
    CDIB* AddPasted(const QImage& image);
    // A picture read from the folder of a design that names it so.
    void KeepBeside(CDIB* picture, const std::string& folder, const std::string& name);
    // Before the design is written to the path: kept pictures of the
    // list's items that are not beside it are written there and take their
    // new names. FALSE when a picture could not be written.
    bool StoreBeside(const std::string& designPath, CLayerCycle& list);
    // Where a kept picture's image file is, as a path of this system;
    // empty for a picture that is not kept.
    std::string FullPath(const CDIB* picture) const;
    // The kept picture whose image file is at the path, or null.
    CDIB* FindByPath(const std::string& fullPath) const;

private:
    struct Entry {
        CDIB* picture;
        std::string folder; // where its files are, ending in a separator
    };
    Entry* EntryOf(const CDIB* picture);
    const Entry* EntryOf(const CDIB* picture) const;
    // Forgets pictures that nothing but this list uses any more.
    void DropUnused();
    // Writes the picture (and its alpha mask) under the name in the folder.
    bool WriteFiles(CDIB* picture, const std::string& folder, const std::string& name);

    CControlManager& m_images;
    std::vector<Entry> m_entries;
    QTemporaryDir m_pasteFolder;
    int m_nPasted = 0;
};
