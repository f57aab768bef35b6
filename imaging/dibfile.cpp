// Reading pictures of every known type into the image, and writing it as
// BMP, JPEG, TIFF or PNG.

#include "imaging/dib.h"
#include "imaging/toolarge.h"

#include "codecs/anypicdecoder.h"
#include "codecs/bmp.h"
#include "codecs/jpegcodec.h"
#include "codecs/picdecoder.h"
#include "codecs/pngencoder.h"
#include "codecs/textexception.h"
#include "codecs/tiffcodec.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "platform/paths.h"
#include "platform/savefile.h"
#include "platform/userservices.h"

#include <QFile>
#include <QSaveFile>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

std::string Format(const char* format, int code, const std::string& a, const char* b) {
    const int n = std::snprintf(nullptr, 0, format, code, a.c_str(), b);
    std::string s(size_t(n > 0 ? n : 0), '\0');
    std::snprintf(s.data(), s.size() + 1, format, code, a.c_str(), b);
    return s;
}

} // namespace

bool CDIB::FindPictureFile(const std::string& path, std::string* found) {
    if (FileExists(path)) {
        *found = path;
        return true;
    }
    const std::string program = AppSettings().MakeProgramPath(path);
    if (FileExists(program)) {
        *found = program;
        return true;
    }
    const std::string content = AppSettings().MakeContentPath(path);
    if (FileExists(content)) {
        *found = content;
        return true;
    }
    return false;
}

namespace {

std::string LowerExtension(const std::string& path) {
    std::string extension;
    SplitPath(path, nullptr, nullptr, nullptr, &extension);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// Checks a bitmap block read from a file before it becomes the image: the
// header, the colour table and every row must lie inside the block.
bool PlausibleBlock(const platform::LargeBytes& block) {
    if (block.size() < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, block.data(), sizeof h);
    const int bits = h.biBitCount;
    if (h.biSize < 40 || h.biSize > block.size() || h.biWidth <= 0 || h.biHeight <= 0 ||
        h.biCompression != BI_RGB || h.biClrUsed > 256 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    if ((long long)h.biWidth * h.biHeight > kMaxPicturePixels)
        return false;
    long long colours = h.biClrUsed;
    if (!colours && bits <= 8)
        colours = 1LL << bits;
    const long long needed =
        (long long)h.biSize + colours * 4 + (long long)DibRowSize(h.biWidth, bits) * h.biHeight;
    return needed <= (long long)block.size();
}

// The alpha of a decoded picture as a 24-bit grey mask, the form of an alpha
// file (its first byte of each pixel is the alpha); null when the picture
// has no alpha or is opaque everywhere, so that opaque pictures keep their
// corner-colour transparency.
std::unique_ptr<CDIB> AlphaMaskOf(const CWinBmp& bitmap) {
    const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    bool transparent = false;
    for (int y = 0; bitmap.HasAlpha() && !transparent && y < height; ++y) {
        const BYTE* in = bitmap.Line(y);
        for (int x = 0; x < width && !transparent; ++x)
            transparent = in[x * 4 + 3] != 255;
    }
    if (!transparent)
        return nullptr;
    auto mask = std::make_unique<CDIB>();
    if (!mask->Create(width, height, 24, nullptr))
        throw std::bad_alloc();
    mask->BeginPixelAccess();
    for (int y = 0; y < height; ++y) {
        const BYTE* in = bitmap.Line(y);
        BYTE* out = mask->PixelAddress(0, unsigned(y));
        for (int x = 0; x < width; ++x, out += 3)
            out[0] = out[1] = out[2] = in[x * 4 + 3];
    }
    mask->EndPixelAccess();
    return mask;
}

// A decoded row of four bytes a pixel as three (blue, green, red): each
// pixel is written as four bytes, the fourth overwritten by the next pixel.
void DropFourthBytes(const BYTE* in, int width, BYTE* out) {
    for (int x = 0; x + 1 < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, in + 4 * x, 4);
        std::memcpy(out + 3 * x, &pixel, 4);
    }
    if (width > 0)
        std::memcpy(out + 3 * (width - 1), in + 4 * (width - 1), 3);
}

} // namespace

bool CDIB::ReadThroughCodec() {
    if (m_strImagePath.empty())
        return false;
    std::string found;
    if (!FindPictureFile(m_strImagePath, &found))
        return false;
    m_block.clear();
    try {
        CAnyPicDecoder decoder;
        CWinBmp bitmap;
        decoder.DecodeFile(found, &bitmap, 24);
        const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
        if (width <= 0 || height <= 0)
            return false;
        // A picture decoded at three bytes a pixel is the image's block as
        // it stands: a photograph is not copied.
        if (bitmap.GetBitsPerPixel() == 24) {
            platform::LargeBytes block = bitmap.TakeBlock();
            auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
            header->biSizeImage = DWORD(DibRowSize(width, 24)) * DWORD(height);
            InstallBlock(std::move(block));
            if (m_nLoadMode == 0 || (m_nLoadMode & 1))
                m_pPictureAlpha.reset(); // three bytes a pixel carry no alpha
            return true;
        }
        // Every pixel is written below: the block need not be cleared first.
        if (!MakeBlock(width, height, 0, nullptr, false))
            return false;
        BeginPixelAccess();
        for (int y = 0; y < height; ++y)
            DropFourthBytes(bitmap.Line(y), width, PixelAddress(0, unsigned(y)));
        EndPixelAccess();
        // Alpha and thumbnail files read as pictures need no mask of their own.
        if (m_nLoadMode == 0 || (m_nLoadMode & 1))
            m_pPictureAlpha = AlphaMaskOf(bitmap);
        return true;
    } catch (const CTextException& e) {
        const std::string message =
            Format("Error %d decoding file <%s>: %s", e.Code(), found, e.Text());
        m_bTooLarge = e.IsPictureTooLarge();
        if (m_bTooLarge)
            ReportPictureTooLarge(found, e.PictureWidth(), e.PictureHeight(), message);
        else
            AfxMessageBox(message);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(
            Format("Error %d decoding file <%s>: %s", kErrOutOfMemory, found, "Out of memory.\n"));
    }
    return false;
}

bool CDIB::ReadBitmapFile() {
    if (m_strImagePath.empty() || !FileExists(m_strImagePath))
        return false;
    QFile file(QString::fromStdString(platform::NativePath(m_strImagePath)));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    BITMAPFILEHEADER header;
    if (file.size() < qint64(sizeof header) ||
        file.read(reinterpret_cast<char*>(&header), sizeof header) != qint64(sizeof header))
        return false;
    // The size field decides the block; it must fit the file that holds it.
    if (header.bfSize <= sizeof header || qint64(header.bfSize) > file.size())
        return false;
    platform::LargeBytes block;
    try {
        block.resize(header.bfSize - sizeof header);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (file.read(reinterpret_cast<char*>(block.data()), qint64(block.size())) !=
            qint64(block.size()) ||
        !PlausibleBlock(block))
        return false;
    InstallBlock(std::move(block));
    return true;
}

bool CDIB::Save(const std::string& path) {
    if (m_block.empty() || GetWidth() <= 0 || GetHeight() <= 0 || path.empty())
        return false;
    const std::string extension = LowerExtension(path);
    const int kind = extension == ".bmp"   ? 1
                     : extension == ".jpg" ? 2
                     : extension == ".tif" ? 3
                     : extension == ".png" ? 4
                                           : 0;
    if (kind == 0) {
        AfxMessageBox("Error: unknown file format");
        return false;
    }
    if (kind == 1)
        return WriteBitmapFile(path);
    try {
        CWinBmp bitmap;
        FillBitmap(&bitmap, kind == 4);
        if (kind == 2)
            CJPEGEncoder().EncodeFile(path, &bitmap);
        else if (kind == 3)
            CTIFFEncoder().EncodeFile(path, &bitmap);
        else
            CPNGEncoder().EncodeFile(path, &bitmap);
    } catch (const CTextException& e) {
        AfxMessageBox(
            Format("Error %d encoding file <%s>: %s", e.Code(), m_strImagePath, e.Text()));
        return false;
    } catch (const std::bad_alloc&) {
        AfxMessageBox(Format("Error %d encoding file <%s>: %s", kErrOutOfMemory, m_strImagePath,
                             "Out of memory.\n"));
        return false;
    }
    return true;
}

void CDIB::FillBitmap(CWinBmp* bitmap, bool withAlpha) {
    CDIB* alpha = withAlpha ? m_pAlpha.get() : nullptr;
    if (alpha && (alpha->GetWidth() != GetWidth() || alpha->GetHeight() != GetHeight() ||
                  alpha->GetBitCount() < 8 || !alpha->BeginPixelAccess()))
        alpha = nullptr;
    const int alphaStep = alpha ? alpha->GetBitCount() / 8 : 0;
    bitmap->Create(GetWidth(), GetHeight(), 32, alpha != nullptr);
    bitmap->SetResolution(m_dDpiX, m_dDpiY);
    BeginPixelAccess();
    for (int y = 0; y < GetHeight(); ++y) {
        const BYTE* in = PixelAddress(0, unsigned(y));
        const BYTE* a = alpha ? alpha->PixelAddress(0, unsigned(y)) : nullptr;
        BYTE* out = bitmap->Line(y);
        for (int x = 0; x < GetWidth(); ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = a ? a[x * alphaStep] : 255;
        }
    }
    EndPixelAccess();
    if (alpha)
        alpha->EndPixelAccess();
}

bool CDIB::WriteBitmapFile(const std::string& path) {
    QSaveFile file(QString::fromStdString(platform::NativePath(path)));
    if (m_block.empty() || !file.open(QIODevice::WriteOnly)) {
        char text[1024];
        std::snprintf(text, sizeof text, "Error: failed to open file <%s> for writing",
                      path.c_str());
        AfxMessageBox(text);
        return false;
    }
    auto* info = reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
    const DWORD tableBytes = DWORD(GetColourTableSize());
    if (info->biCompression != BI_RLE8 && info->biCompression != BI_RLE4)
        info->biSizeImage = DWORD(GetRowSize()) * DWORD(GetHeight());
    const DWORD dataSize =
        std::min<DWORD>(info->biSize + tableBytes + info->biSizeImage, DWORD(m_block.size()));
    BITMAPFILEHEADER header{};
    header.bfType = kBitmapFileType;
    header.bfOffBits = DWORD(sizeof header) + info->biSize + tableBytes;
    header.bfSize = dataSize + DWORD(sizeof header);
    const bool ok =
        file.write(reinterpret_cast<const char*>(&header), sizeof header) ==
            qint64(sizeof header) &&
        file.write(reinterpret_cast<const char*>(m_block.data()), dataSize) == qint64(dataSize) &&
        platform::CommitWhole(file);
    if (!ok)
        file.cancelWriting();
    return ok;
}
