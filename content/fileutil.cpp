#include "content/fileutil.h"

#include "platform/gdi/dc.h"
#include "platform/paths.h"
#include "platform/savefile.h"
#include "platform/userservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

namespace {

void ShowFileError(const char* format, const std::string& path) {
    const int needed = std::snprintf(nullptr, 0, format, path.c_str());
    std::string text(size_t(std::max(needed, 0)), '\0');
    std::snprintf(text.data(), text.size() + 1, format, path.c_str());
    AfxMessageBox(text);
}

// Rounds a halved difference toward minus infinity, as the fitting rules do.
int HalfDown(int value) {
    return int(std::floor(value / 2.0));
}

} // namespace

// Files ---------------------------------------------------------------------

char* ReadWholeFile(const std::string& path, DWORD* size) {
    QFile file(QString::fromStdString(platform::NativePath(path)));
    const QFileInfo info(file);
    // A size that does not fit the 32-bit size field cannot be read whole.
    const bool readable = !info.isDir() && file.open(QIODevice::ReadOnly) && file.size() >= 0 &&
                          file.size() < qint64(0xFFFFFFFF);
    char* buffer = readable ? new (std::nothrow) char[size_t(file.size()) + 1] : nullptr;
    if (!buffer || file.read(buffer, file.size()) != file.size()) {
        delete[] buffer;
        ShowFileError("Error: could not read file <%s>.", path);
        return nullptr;
    }
    buffer[file.size()] = '\0';
    if (size)
        *size = DWORD(file.size());
    return buffer;
}

void FreeFileBuffer(char* buffer) {
    delete[] buffer;
}

BOOL WriteWholeFile(const std::string& path, const std::string& text) {
    if (!platform::ReplaceFileContents(platform::NativePath(path), text)) {
        ShowFileError("Error: could not write file <%s>.", path);
        return FALSE;
    }
    return TRUE;
}

void ReadLine(const char* buffer, DWORD* pos, DWORD length, std::string* line) {
    line->clear();
    while (*pos < length) {
        const char c = buffer[(*pos)++];
        if (c == '\0' || c == '\n')
            return;
        line->push_back(c);
    }
}

// strtol instead of atoi/atol: the same results, but numbers beyond the
// range saturate instead of being undefined (design files are outside data).
int ToInt(const std::string& s) {
    return int(std::clamp<long>(std::strtol(s.c_str(), nullptr, 10), INT_MIN, INT_MAX));
}
long ToLong(const std::string& s) {
    return std::strtol(s.c_str(), nullptr, 10);
}
double ToDouble(const std::string& s) {
    return std::strtod(s.c_str(), nullptr);
}

BOOL FileExists(const std::string& path) {
    return !platform::FindFiles(path).empty();
}

BOOL SplitPath(const std::string& path, std::string* drive, std::string* folder, std::string* name,
               std::string* extension) {
    if (!folder && !name && !extension)
        return FALSE;
    size_t start = 0;
    std::string d;
    if (path.size() >= 2 && path[1] == ':') {
        d = path.substr(0, 2);
        start = 2;
    }
    const size_t lastSep = path.find_last_of("\\/");
    const size_t nameStart =
        (lastSep == std::string::npos || lastSep < start) ? start : lastSep + 1;
    const size_t dot = path.find_last_of('.');
    const size_t extStart = (dot == std::string::npos || dot < nameStart) ? path.size() : dot;
    if (drive)
        *drive = d;
    if (folder)
        *folder = path.substr(start, nameStart - start);
    if (name)
        *name = path.substr(nameStart, extStart - nameStart);
    if (extension)
        *extension = path.substr(extStart);
    return TRUE;
}

BOOL GetCurrentFolder(std::string* folder) {
    std::error_code ec;
    const auto current = std::filesystem::current_path(ec);
    if (ec)
        return FALSE;
    *folder = current.string();
    return TRUE;
}

// Registry values ----------------------------------------------------------

namespace {
// Values are read into a buffer of 500 bytes, terminator included; a longer
// value does not fit and cannot be read.
constexpr size_t kRegistryStringBuffer = 500;
} // namespace

BOOL ReadRegistryString(std::string* out, HKEY root, const std::string& subKey,
                        const std::string& name) {
    std::string value;
    if (!platform::SettingsStore().ReadString(root, subKey, name, &value) ||
        value.size() >= kRegistryStringBuffer)
        return FALSE;
    *out = value;
    return TRUE;
}

BOOL ReadRegistryDword(DWORD* out, HKEY root, const std::string& subKey, const std::string& name) {
    return platform::SettingsStore().ReadDword(root, subKey, name, out) ? TRUE : FALSE;
}

BOOL WriteRegistryString(const std::string& value, HKEY root, const std::string& subKey,
                         const std::string& name) {
    return platform::SettingsStore().WriteString(root, subKey, name, value) ? TRUE : FALSE;
}

BOOL WriteRegistryDword(DWORD value, HKEY root, const std::string& subKey,
                        const std::string& name) {
    return platform::SettingsStore().WriteDword(root, subKey, name, value) ? TRUE : FALSE;
}

// Serial numbers, dialogs, shell ---------------------------------------------

namespace {
DWORD g_serial = 0;
bool g_colorDialogOpen = false;
} // namespace

int NextSerial() {
    g_serial = (g_serial == 0xFFFFFFFFu) ? 1u : g_serial + 1u;
    return int(g_serial);
}

void SetSerialCounter(int value) {
    g_serial = DWORD(value);
}

BOOL FileDialog(std::string* path, QWidget* owner, BOOL open, const char* defaultExtension,
                DWORD flags, const char* filter) {
    if (!path)
        return FALSE;
    if (flags == 0)
        flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    flags |= open ? (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST) : OFN_PATHMUSTEXIST;
    platform::FileDialogRequest request;
    request.owner = owner;
    request.open = open != FALSE;
    request.defaultExtension = defaultExtension ? defaultExtension : "";
    request.initialPath = *path;
    request.flags = flags;
    request.filters = platform::ConvertFileFilter(filter ? filter : kDefaultFileFilter);
    const auto chosen = platform::Services().FileDialog(request);
    if (!chosen)
        return FALSE;
    *path = *chosen;
    return path->empty() ? FALSE : TRUE;
}

BOOL ColorDialog(COLORREF* colour, QWidget* owner, bool* confirmed) {
    if (confirmed)
        *confirmed = false;
    if (g_colorDialogOpen)
        return FALSE;
    g_colorDialogOpen = true;
    const auto chosen = platform::Services().ColorDialog(owner, *colour);
    if (chosen)
        *colour = *chosen;
    if (confirmed)
        *confirmed = chosen.has_value();
    g_colorDialogOpen = false;
    return TRUE;
}

const char* ShellFailureReason(int result) {
    switch (result) {
    case 0:
    case 8:
        return "out of memory";
    case 2:
        return "file not found";
    case 3:
        return "path not found";
    case 5:
        return "the OS won't allow you access";
    case 11:
        return "the executable is no win32 executable";
    case 26:
        return "sharing violation";
    case 27:
    case 31:
        return "no registered program knows the file extension";
    case 28:
        return "time-out";
    case 29:
        return "DDE functions failed";
    case 30:
        return "DDE functions blocked, try again later";
    case 32:
        return "DLL not found";
    default:
        return "";
    }
}

BOOL ShellOpen(const std::string& path, const std::string& verb) {
    const int result = platform::Services().ShellExecute(path, verb);
    if (result > 32)
        return TRUE;
    AfxMessageBox(std::string("ShellExecute failure: (") + ShellFailureReason(result) + ")");
    return FALSE;
}

// Strings and rectangles ----------------------------------------------------

void FirstLineCut(std::string* text, int maxLength) {
    const size_t cut = text->find_first_of("\n\r\t");
    if (cut != std::string::npos)
        text->resize(cut);
    if (maxLength < 0)
        return;
    // Texts are UTF-8: count characters, and never cut inside one.
    size_t bytes = 0;
    for (int chars = 0; bytes < text->size() && chars < maxLength; ++chars) {
        ++bytes;
        while (bytes < text->size() && (static_cast<unsigned char>((*text)[bytes]) & 0xC0) == 0x80)
            ++bytes;
    }
    text->resize(bytes);
}

void AspectFit(const CRect& source, CRect* target) {
    const double ratio = double(source.Width()) / double(source.Height());
    if (ratio == 0 || target->Height() == 0)
        return;
    const int oldWidth = target->Width();
    const int oldHeight = target->Height();
    if (ratio > double(oldWidth) / double(oldHeight)) {
        const int top = target->top;
        target->top = 0;
        target->bottom = int(oldWidth / ratio);
        target->OffsetRect(0, top + HalfDown(oldHeight - target->Height()));
    } else {
        const int left = target->left;
        target->left = 0;
        target->right = int(ratio * oldHeight);
        target->OffsetRect(left + HalfDown(oldWidth - target->Width()), 0);
    }
}

void AspectCover(const CRect& source, CRect* target) {
    const double ratio = double(source.Width()) / double(source.Height());
    if (ratio == 0 || target->Height() == 0)
        return;
    const int oldWidth = target->Width();
    const int oldHeight = target->Height();
    if (ratio > double(oldWidth) / double(oldHeight)) {
        const int left = target->left;
        target->left = 0;
        target->right = int(ratio * oldHeight);
        target->OffsetRect(left - HalfDown(target->Width() - oldWidth), 0);
    } else {
        const int top = target->top;
        target->top = 0;
        target->bottom = int(oldWidth / ratio);
        target->OffsetRect(0, top - HalfDown(target->Height() - oldHeight));
    }
}

void FillAround(CDC* dc, int width, int height, const CRect& inner, COLORREF colour) {
    dc->FillSolidRect(CRect(0, 0, width, inner.top), colour);
    dc->FillSolidRect(CRect(0, inner.top, inner.left, inner.bottom), colour);
    dc->FillSolidRect(CRect(0, inner.bottom, width, height), colour);
    dc->FillSolidRect(CRect(inner.right, inner.top, width, inner.bottom), colour);
}
