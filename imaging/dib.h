#pragma once
// The one image type of the program: a packed device-independent bitmap in
// one block (header, colour table, bottom-up rows), pictures at 24 bits per
// pixel. Clip art comes as a triple of files: the image ("i..."), its alpha
// mask ("a...") and its thumbnail ("t..."), loaded as companions.

#include "platform/bitmapheaders.h"
#include "platform/largeblock.h"

#include <memory>
#include <string>
#include <vector>

class CDC;
class CPalette;
class CProgressReceiver;
class CComposeLayer;
class CWinBmp;
struct CGradientCache;

class CDIB {
public:
    // Parts of a clip-art triple.
    enum : int { kImage = 1, kAlpha = 2, kThumbnail = 4 };

    CDIB();
    virtual ~CDIB();
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    // Making and loading ----------------------------------------------------
    // A new blank block; depths below 24 (other than 0) get a colour table,
    // anything else is 24 bits. FALSE keeps the old image.
    bool Create(int width, int height, int bits, const CPalette* palette);
    // Mode 0 opens a file by name (an "i..." name brings its companions),
    // mode bit 1 loads the given parts of a triple, bit 2 loads the alpha
    // file and bit 4 the thumbnail file as the picture itself.
    bool Load(const std::string& path, int parts, int mode);
    // Loads the requested parts that are missing.
    bool EnsureParts(int parts);
    // Sets the image, alpha and thumbnail paths and the base name from a
    // path: style 0 replaces the first letter, 1 prefixes, 2 replaces an
    // initial "i" and otherwise prefixes.
    bool DeriveFileNames(const std::string& path, int style);

    // The first existing file of the path itself, the path under the
    // program folder and under the content folder.
    static bool FindPictureFile(const std::string& path, std::string* found);

    // Writing ------------------------------------------------------------------
    // Writes .bmp, .jpg, .tif or .png by the extension; an existing file is
    // replaced only by a completely written one. A PNG carries the alpha
    // companion as its transparency when there is one of the same size.
    bool Save(const std::string& path);
    bool WriteBitmapFile(const std::string& path);
    // The dots per inch the picture is meant to print at, across and down:
    // kept in the header as pixels per metre and written by Save into every
    // format. A new or loaded block says nothing (0).
    void SetResolution(double dpiX, double dpiY);
    double GetResolutionX() const { return m_dDpiX; }
    double GetResolutionY() const { return m_dDpiY; }

    // Drawing -------------------------------------------------------------------
    // Paints the source part (null: all; counted from the bottom row as the
    // window system counts it) into the destination.
    bool Draw(CDC* dc, const RECT* dest, const RECT* src, const CPalette* palette,
              bool forceBackground);
    // The whole image stretched into every destination as one picture (a
    // printer's file holds it once), as Draw paints it.
    bool DrawRepeated(CDC* dc, const std::vector<RECT>& dests);
    // Fills the image by sampling the context: pixel (x, y) takes the colour
    // at (x * srcWidth / width, y * srcHeight / height).
    bool CaptureFromDC(CDC* dc, int srcWidth, int srcHeight, CProgressReceiver* progress);
    // The same, but every pixel becomes exactly the paper or the ink.
    bool CaptureTwoColour(CDC* dc, int srcWidth, int srcHeight, COLORREF ink, COLORREF paper,
                          CProgressReceiver* progress);
    // Paints the four-corner gradient and the layers (index 0 in front) into
    // this 24-bit image through the product table; see compose.cpp.
    bool Compose(const std::vector<CComposeLayer*>& layers, const void* owner, const BYTE* table,
                 COLORREF c0, COLORREF c1, COLORREF c2, COLORREF c3, const RECT* clip,
                 CProgressReceiver* progress);

    // Copies and references -----------------------------------------------------
    CDIB* Clone() const;
    // Drops one reference; deletes the object when none is left (TRUE then).
    bool Release();
    void AddRef() { ++m_nRefCount; }
    int GetRefCount() const { return m_nRefCount; }
    // Mirrors left to right (with its alpha companion) when the flag is 0.
    bool Mirror(int flag);

    // Pixels -------------------------------------------------------------------
    bool BeginPixelAccess();
    void EndPixelAccess() { m_bAccessValid = false; }
    // Address of pixel (x, y), y counted from the top; null outside.
    BYTE* PixelAddress(unsigned x, unsigned y) const;
    bool GetColourEntry(int index, BYTE* red, BYTE* green, BYTE* blue) const;

    // Palettes ------------------------------------------------------------------
    bool CreatePalette(CPalette* palette) const;
    bool MapToPalette(const CPalette* palette);
    bool ConvertTo8Bit(const CPalette* palette);

    // Accessors (0 or null without a block) -----------------------------------------
    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const;
    int GetColourCount() const;
    int GetColourTableSize() const { return GetColourCount() * 4; }
    int GetRowSize() const;
    BYTE* GetBits();
    const BYTE* GetBits() const;
    const BYTE* GetBlock() const { return m_block.empty() ? nullptr : m_block.data(); }
    size_t GetBlockSize() const { return m_block.size(); }
    const BITMAPINFOHEADER* GetHeader() const;

    // The alpha companion: the alpha file's picture, or, when there is no
    // alpha file, the alpha the picture file itself carries (once the alpha
    // part has been asked for).
    CDIB* GetAlpha() const { return m_pAlpha.get(); }
    // The alpha of the picture file itself, as a mask like an alpha file's,
    // until it is taken as the alpha companion; null for opaque pictures.
    const CDIB* GetPictureAlpha() const { return m_pPictureAlpha.get(); }
    // Gives the image an alpha companion of its own (null: none).
    void SetAlpha(std::unique_ptr<CDIB> alpha) { m_pAlpha = std::move(alpha); }
    CDIB* GetThumbnail() const { return m_pThumbnail.get(); }
    int GetLoadMode() const { return m_nLoadMode; }
    // A design record gives back the mode its picture was saved with.
    void SetLoadMode(int mode) { m_nLoadMode = mode; }
    int GetLoadedParts() const { return m_nLoadedParts; }
    const std::string& GetImagePath() const { return m_strImagePath; }
    const std::string& GetAlphaPath() const { return m_strAlphaPath; }
    const std::string& GetThumbPath() const { return m_strThumbPath; }
    const std::string& GetBaseName() const { return m_strBaseName; }
    // TRUE when the last reading of the picture was refused for its size
    // alone; the user has been told (see imaging/toolarge.h).
    bool WasTooLarge() const { return m_bTooLarge; }
    int GetStretchMode() const { return m_nStretchMode; }
    void SetStretchMode(int mode) { m_nStretchMode = mode; }

protected:
    bool LoadAlpha();
    bool LoadThumbnail();
    bool ReadImage(); // through the codecs, else as a plain bitmap file
    bool ReadThroughCodec();
    bool ReadBitmapFile();
    // The pixels as 32-bit rows for an encoder, with the alpha companion in
    // the fourth byte when asked and there is one.
    void FillBitmap(CWinBmp* bitmap, bool withAlpha);
    // Drops the block and the companions, the loaded parts, the reference
    // count and the stretch mode.
    void ReleaseBlock();
    void InstallBlock(platform::LargeBytes block);
    // A new block of that size and depth with its header, its pixels not
    // cleared unless asked (the row padding always is); as Create.
    bool MakeBlock(int width, int height, int bits, const CPalette* palette, bool clear);

private:
    platform::LargeBytes m_block;
    int m_nLoadMode;
    int m_nLoadedParts;
    std::string m_strImagePath;
    std::string m_strAlphaPath;
    std::string m_strThumbPath;
    std::string m_strBaseName;
    int m_nRefCount;
    int m_nStretchMode;
    double m_dDpiX = 0;
    double m_dDpiY = 0;
    bool m_bTooLarge = false;
    std::unique_ptr<CDIB> m_pAlpha;
    std::unique_ptr<CDIB> m_pThumbnail;
    std::unique_ptr<CDIB> m_pPictureAlpha;
    // The page gradient of the last composition, kept for the next one.
    std::shared_ptr<CGradientCache> m_pGradient;
    // Pixel-access cache.
    bool m_bAccessValid;
    int m_nAccessWidth;
    int m_nAccessHeight;
    int m_nAccessRowSize;
    WORD m_wAccessBits;
    BYTE* m_pAccessRows;
};

// The page image of the layer mixer and the print image.
class CMixerDIB : public CDIB {
public:
    ~CMixerDIB() override;
};

// Row size of a DIB row: padded to a multiple of 4 bytes.
constexpr int DibRowSize(int width, int bits) {
    return ((bits * width + 31) / 32) * 4;
}
