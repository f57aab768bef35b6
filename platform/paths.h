#pragma once
// The file system as the program sees it: stored names with backslashes,
// folder listings with wildcard patterns matched the way the program's
// design files and folders expect (case-insensitive, "*.*" matches all).

#include "platform/wintypes.h"

#include <string>
#include <string_view>
#include <vector>

constexpr int MAX_PATH = 260;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[MAX_PATH];
    char cAlternateFileName[14];
};

namespace platform {

// A stored name ("res\\kv\\inquit") as a path of this system ("res/kv/inquit").
std::string NativePath(std::string_view stored);

// True when the name matches the wildcard pattern: '*' any run, '?' one
// character, letters compared without regard to case; a pattern ending in
// ".*" also matches names without a dot and one ending in "." matches names
// without an extension.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// Lists what a search string ("folder\\*.bmp", or a plain path) names, in
// the order the file system returns it. The last component may hold
// wildcards; without them the result is the named file or folder itself.
// Folders "." and ".." are never reported. An unreadable or missing
// folder gives an empty list.
std::vector<WIN32_FIND_DATAA> FindFiles(const std::string& searchString);

// The user's documents folder (else the home folder), ending in the
// separator: where a design without a file is offered to be saved.
std::string DocumentsFolder();

} // namespace platform
