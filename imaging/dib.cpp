#include "imaging/dib.h"

#include "content/fileutil.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

BITMAPINFOHEADER* HeaderOf(platform::LargeBytes& block) {
    return reinterpret_cast<BITMAPINFOHEADER*>(block.data());
}

int ColourCountOf(const BITMAPINFOHEADER& h) {
    if (h.biClrUsed)
        return int(h.biClrUsed);
    switch (h.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// The first letter replaced, or the letter put in front.
std::string WithLetter(const std::string& name, char letter, bool replace) {
    if (!replace)
        return letter + name;
    return name.empty() ? name : letter + name.substr(1);
}

} // namespace

CDIB::CDIB()
    : m_nLoadMode(1), m_nLoadedParts(0), m_nRefCount(0), m_nStretchMode(COLORONCOLOR),
      m_bAccessValid(false), m_nAccessWidth(0), m_nAccessHeight(0), m_nAccessRowSize(0),
      m_wAccessBits(0), m_pAccessRows(nullptr) {}

CDIB::~CDIB() = default;

CMixerDIB::~CMixerDIB() = default;

// Accessors --------------------------------------------------------------------

const BITMAPINFOHEADER* CDIB::GetHeader() const {
    return m_block.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER*>(m_block.data());
}
int CDIB::GetWidth() const {
    return m_block.empty() ? 0 : GetHeader()->biWidth;
}
int CDIB::GetHeight() const {
    return m_block.empty() ? 0 : GetHeader()->biHeight;
}
int CDIB::GetBitCount() const {
    return m_block.empty() ? 0 : GetHeader()->biBitCount;
}
int CDIB::GetColourCount() const {
    return m_block.empty() ? 0 : ColourCountOf(*GetHeader());
}
int CDIB::GetRowSize() const {
    return m_block.empty() ? 0 : DibRowSize(GetWidth(), GetBitCount());
}

BYTE* CDIB::GetBits() {
    return m_block.empty() ? nullptr : m_block.data() + GetHeader()->biSize + GetColourTableSize();
}

const BYTE* CDIB::GetBits() const {
    return m_block.empty() ? nullptr : m_block.data() + GetHeader()->biSize + GetColourTableSize();
}

// Blocks -----------------------------------------------------------------------

void CDIB::ReleaseBlock() {
    m_block.clear();
    m_block.shrink_to_fit();
    m_pAlpha.reset();
    m_pThumbnail.reset();
    m_pPictureAlpha.reset();
    m_nLoadedParts = 0;
    m_nRefCount = 0;
    m_nStretchMode = 0;
    m_dDpiX = m_dDpiY = 0;
    m_bAccessValid = false;
}

void CDIB::InstallBlock(platform::LargeBytes block) {
    // Replacing an image drops what belonged to it; filling an empty one
    // (after a read cleared the block) keeps the companions already loaded.
    if (!m_block.empty())
        ReleaseBlock();
    m_block = std::move(block);
    m_dDpiX = m_dDpiY = 0;
    m_bAccessValid = false;
}

void CDIB::SetResolution(double dpiX, double dpiY) {
    if (m_block.empty())
        return;
    m_dDpiX = dpiX;
    m_dDpiY = dpiY;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
    header->biXPelsPerMeter = LONG(std::lround(dpiX / 0.0254));
    header->biYPelsPerMeter = LONG(std::lround(dpiY / 0.0254));
}

bool CDIB::Create(int width, int height, int bits, const CPalette* palette) {
    return MakeBlock(width, height, bits, palette, true);
}

bool CDIB::MakeBlock(int width, int height, int bits, const CPalette* palette, bool clear) {
    if (width <= 0 || height <= 0)
        return false;
    if (bits == 0 || bits >= 24 || bits < 0)
        bits = 24;
    const int tableEntries = bits < 24 ? 1 << bits : 0;
    const int rowSize = DibRowSize(width, bits);
    const size_t pixelsAt = sizeof(BITMAPINFOHEADER) + size_t(tableEntries) * 4;
    platform::LargeBytes block;
    try {
        if (clear)
            block.assign(pixelsAt + size_t(rowSize) * size_t(height), 0);
        else
            block.resize(pixelsAt + size_t(rowSize) * size_t(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memset(block.data(), 0, pixelsAt);
    // Whoever fills the pixels writes whole rows without their padding:
    // the padding is cleared here so that files written stay the same.
    const int used = (bits * width + 7) / 8;
    if (!clear && used < rowSize)
        for (int r = 0; r < height; ++r) {
            BYTE* padding = block.data() + pixelsAt + size_t(r) * rowSize;
            for (int i = used; i < rowSize; ++i)
                padding[i] = 0;
        }
    BITMAPINFOHEADER* h = HeaderOf(block);
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = WORD(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = DWORD(rowSize) * DWORD(height);
    if (palette && tableEntries) {
        const int n = std::min(palette->GetEntryCount(), tableEntries);
        h->biClrUsed = DWORD(n);
        auto* table = reinterpret_cast<RGBQUAD*>(block.data() + sizeof(BITMAPINFOHEADER));
        for (int i = 0; i < n; ++i) {
            const PALETTEENTRY& e = palette->GetEntries()[size_t(i)];
            table[i] = {e.peBlue, e.peGreen, e.peRed, 0};
        }
    }
    InstallBlock(std::move(block));
    return true;
}

// Names ------------------------------------------------------------------------

bool CDIB::DeriveFileNames(const std::string& path, int style) {
    std::string drive, folder, name, extension;
    SplitPath(path, &drive, &folder, &name, &extension);
    const bool startsWithI = !name.empty() && (name[0] == 'i' || name[0] == 'I');
    const bool replace = style == 0 || (style == 2 && startsWithI);
    const std::string prefix = drive + folder;
    if (style == 2 && startsWithI)
        m_strImagePath = prefix + name + extension;
    else
        m_strImagePath = prefix + WithLetter(name, 'i', replace) + extension;
    m_strAlphaPath = prefix + WithLetter(name, 'a', replace) + extension;
    m_strThumbPath = prefix + WithLetter(name, 't', replace) + extension;
    std::string base = name.empty() ? name : name.substr(1);
    const size_t keep = base.find_first_not_of(" _-+\t\n\r");
    base = keep == std::string::npos ? std::string() : base.substr(keep);
    m_strBaseName = prefix + base;
    return true;
}

// Loading ------------------------------------------------------------------------

bool CDIB::ReadImage() {
    m_pPictureAlpha.reset();
    m_bTooLarge = false;
    // A picture too large to hold is not tried again as a plain bitmap.
    return ReadThroughCodec() || (!m_bTooLarge && ReadBitmapFile());
}

bool CDIB::LoadAlpha() {
    if (m_pAlpha)
        return true;
    if (!m_strAlphaPath.empty()) {
        auto alpha = std::make_unique<CDIB>();
        if (alpha->Load(m_strAlphaPath, kAlpha, kAlpha)) {
            m_pAlpha = std::move(alpha);
            return true;
        }
    }
    // An alpha file wins; without one, the picture's own alpha serves.
    if (!m_pPictureAlpha)
        return false;
    m_pAlpha = std::move(m_pPictureAlpha);
    return true;
}

bool CDIB::LoadThumbnail() {
    if (m_pThumbnail)
        return true;
    if (m_strThumbPath.empty())
        return false;
    auto thumbnail = std::make_unique<CDIB>();
    if (!thumbnail->Load(m_strThumbPath, kThumbnail, kThumbnail))
        return false;
    m_pThumbnail = std::move(thumbnail);
    return true;
}

bool CDIB::Load(const std::string& path, int parts, int mode) {
    if (!m_block.empty())
        ReleaseBlock();
    m_nLoadMode = mode;
    if (mode == 0) {
        std::string name;
        SplitPath(path, nullptr, nullptr, &name, nullptr);
        if (!name.empty() && (name[0] == 'i' || name[0] == 'I')) {
            DeriveFileNames(path, 0);
            if (!(m_nLoadedParts & kThumbnail))
                LoadThumbnail();
            LoadAlpha();
        } else {
            m_strImagePath = path;
        }
        const bool ok = ReadImage();
        m_nLoadedParts = kImage;
        return ok;
    }
    if (mode & 1) {
        DeriveFileNames(path, 0);
        bool ok = true;
        const int held = m_nLoadedParts;
        if ((parts & kImage) && !(held & kImage))
            ok = ReadImage() && ok;
        if ((parts & kAlpha) && !(held & kAlpha))
            ok = LoadAlpha() && ok;
        if ((parts & kThumbnail) && !(held & kThumbnail))
            ok = LoadThumbnail() && ok;
        m_nLoadedParts = parts;
        return ok;
    }
    DeriveFileNames(path, 0);
    m_strImagePath = (mode & 2) ? m_strAlphaPath : m_strThumbPath;
    m_strAlphaPath.clear();
    m_strThumbPath.clear();
    const bool ok = ReadImage();
    m_nLoadedParts = kImage;
    return ok;
}

bool CDIB::EnsureParts(int parts) {
    bool ok = true;
    if ((parts & kImage) && m_block.empty())
        ok = ReadImage() && ok;
    if ((parts & kAlpha) && !m_pAlpha)
        ok = LoadAlpha() && ok;
    if ((parts & kThumbnail) && !m_pThumbnail)
        ok = LoadThumbnail() && ok;
    m_nLoadedParts = parts;
    return ok;
}

// Pixels ------------------------------------------------------------------------

bool CDIB::BeginPixelAccess() {
    if (m_block.empty())
        return false;
    m_nAccessWidth = GetWidth();
    m_nAccessHeight = GetHeight();
    m_wAccessBits = WORD(GetBitCount());
    m_nAccessRowSize = GetRowSize();
    m_pAccessRows = GetBits();
    m_bAccessValid = true;
    return true;
}

BYTE* CDIB::PixelAddress(unsigned x, unsigned y) const {
    if (!m_bAccessValid || x >= unsigned(m_nAccessWidth) || y >= unsigned(m_nAccessHeight))
        return nullptr;
    BYTE* row = m_pAccessRows + size_t(m_nAccessHeight - 1 - int(y)) * size_t(m_nAccessRowSize);
    switch (m_wAccessBits) {
    case 8:
        return row + x;
    case 16:
        return row + 2 * size_t(x);
    case 32:
        return row + 4 * size_t(x);
    default:
        return row + 3 * size_t(x);
    }
}

bool CDIB::GetColourEntry(int index, BYTE* red, BYTE* green, BYTE* blue) const {
    if (m_block.empty() || index < 0 || index >= GetColourCount())
        return false;
    const auto* table = reinterpret_cast<const RGBQUAD*>(m_block.data() + GetHeader()->biSize);
    *red = table[index].rgbRed;
    *green = table[index].rgbGreen;
    *blue = table[index].rgbBlue;
    return true;
}

// Copies and references -----------------------------------------------------------

CDIB* CDIB::Clone() const {
    CDIB* copy = new (std::nothrow) CDIB;
    if (!copy)
        return nullptr;
    try {
        copy->m_block = m_block;
    } catch (const std::bad_alloc&) {
        delete copy;
        return nullptr;
    }
    if (m_pAlpha)
        copy->m_pAlpha.reset(m_pAlpha->Clone());
    if (m_pThumbnail)
        copy->m_pThumbnail.reset(m_pThumbnail->Clone());
    if (m_pPictureAlpha)
        copy->m_pPictureAlpha.reset(m_pPictureAlpha->Clone());
    copy->DeriveFileNames(m_strImagePath, 0);
    copy->m_nLoadMode = m_nLoadMode;
    copy->m_nStretchMode = m_nStretchMode;
    copy->m_dDpiX = m_dDpiX;
    copy->m_dDpiY = m_dDpiY;
    return copy;
}

bool CDIB::Release() {
    if (--m_nRefCount <= 0) {
        delete this;
        return true;
    }
    return false;
}

bool CDIB::Mirror(int flag) {
    if (flag != 0)
        return true;
    if (m_block.empty())
        return false;
    const int width = GetWidth(), height = GetHeight(), rowSize = GetRowSize();
    const int bytesPerPixel = GetBitCount() / 8;
    if (bytesPerPixel < 1)
        return false;
    platform::LargeBytes mirrored(m_block);
    BYTE* out = mirrored.data() + GetHeader()->biSize + GetColourTableSize();
    const BYTE* in = GetBits();
    for (int r = 0; r < height; ++r) {
        const BYTE* src = in + size_t(r) * rowSize;
        BYTE* dst = out + size_t(r) * rowSize;
        for (int j = 0; j < width; ++j)
            std::memcpy(dst + size_t(j) * bytesPerPixel,
                        src + size_t(width - 1 - j) * bytesPerPixel, size_t(bytesPerPixel));
    }
    m_block = std::move(mirrored);
    m_bAccessValid = false;
    if (m_pAlpha)
        m_pAlpha->Mirror(0);
    if (m_pPictureAlpha)
        m_pPictureAlpha->Mirror(0);
    return true;
}
