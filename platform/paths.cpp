#include "platform/paths.h"

#include <QDir>
#include <QStandardPaths>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

std::string NativePath(std::string_view stored) {
    std::string path(stored);
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\')
            c = '/';
#endif
    return path;
}

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool MatchPlain(std::string_view p, std::string_view n) {
    // Iterative matcher with one back-tracking point for the last '*'.
    size_t pi = 0, ni = 0, starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || Lower(p[pi]) == Lower(n[ni]))) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool HasWildcards(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

FILETIME ToFileTime(fs::file_time_type t) {
    // 100-nanosecond intervals since 1601-01-01, as the listing reports them.
    using namespace std::chrono;
    const auto sys = file_clock::to_sys(t);
    const long long ticks =
        duration_cast<nanoseconds>(sys.time_since_epoch()).count() / 100 + 116444736000000000LL;
    return {DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)};
}

bool FillFindData(const fs::directory_entry& entry, const std::string& name,
                  WIN32_FIND_DATAA* out) {
    if (name.size() >= sizeof out->cFileName)
        return false;
    std::memset(out, 0, sizeof *out);
    std::error_code ec;
    const bool isDir = entry.is_directory(ec);
    out->dwFileAttributes = isDir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (!isDir) {
        const auto size = entry.file_size(ec);
        if (!ec) {
            out->nFileSizeLow = DWORD(size & 0xFFFFFFFF);
            out->nFileSizeHigh = DWORD(size >> 32);
        }
    }
    const auto status = entry.status(ec);
    if (!ec && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        out->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    const auto written = entry.last_write_time(ec);
    if (!ec)
        out->ftLastWriteTime = out->ftCreationTime = out->ftLastAccessTime = ToFileTime(written);
    std::memcpy(out->cFileName, name.data(), name.size());
    return true;
}

} // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (MatchPlain(pattern, name))
        return true;
    const bool noDot = name.find('.') == std::string_view::npos;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && noDot)
        return MatchPlain(pattern.substr(0, pattern.size() - 2), name);
    if (!pattern.empty() && pattern.back() == '.' && noDot)
        return MatchPlain(pattern.substr(0, pattern.size() - 1), name);
    return false;
}

std::vector<WIN32_FIND_DATAA> FindFiles(const std::string& searchString) {
    std::vector<WIN32_FIND_DATAA> found;
    const std::string native = NativePath(searchString);
    const size_t cut = native.find_last_of("/\\");
    const std::string folder =
        cut == std::string::npos ? std::string(".") : native.substr(0, cut + 1);
    const std::string pattern = cut == std::string::npos ? native : native.substr(cut + 1);
    if (pattern.empty())
        return found;
    std::error_code ec;
    WIN32_FIND_DATAA data;
    if (!HasWildcards(pattern)) {
        const fs::directory_entry entry(fs::path(native), ec);
        if (!ec && entry.exists(ec) && FillFindData(entry, pattern, &data))
            found.push_back(data);
        return found;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (MatchesWildcard(pattern, name) && FillFindData(*it, name, &data))
            found.push_back(data);
    }
    return found;
}

std::string DocumentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir::toNativeSeparators(QDir(folder).absolutePath() + QLatin1Char('/')).toStdString();
}

} // namespace platform
