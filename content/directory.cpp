#include "content/directory.h"

#include "platform/userservices.h"

#include <cstring>
#include <new>

CFileInfo::CFileInfo() : m_nTag(0) {
    std::memset(&m_findData, 0, sizeof m_findData);
}

CFileInfo::CFileInfo(const WIN32_FIND_DATAA& data) : m_nTag(0), m_findData(data) {}

CFileInfo::~CFileInfo() {
    m_nTag = 0;
}

CDirectory::CDirectory() : m_strPattern("*.*"), m_nFlags(0) {}

CDirectory::~CDirectory() = default;

BOOL CDirectory::BeginScan() {
    return TRUE;
}

BOOL CDirectory::Accept(const CFileInfo&) {
    return TRUE;
}

int CDirectory::GetFlags() {
    return m_nFlags;
}

BOOL CDirectory::SetPaths(const std::string& path, const std::string& altPath) {
    m_strAltPath = altPath;
    m_nFlags |= kHasAltPath;
    m_strPath = path;
    m_nFlags |= kHasPath;
    return Scan(nullptr);
}

BOOL CDirectory::SetPath(const std::string& path) {
    m_strPath = path;
    m_nFlags |= kHasPath;
    return Scan(nullptr);
}

BOOL CDirectory::SetAltPath(const std::string& altPath) {
    m_strAltPath = altPath;
    m_nFlags |= kHasAltPath;
    return TRUE;
}

BOOL CDirectory::Scan(const char* pattern) {
    if (!(GetFlags() & kHasPath) || m_strPath.empty())
        return FALSE;
    m_entries.clear();
    const std::string search = m_strPath + "\\" + (pattern ? pattern : m_strPattern);
    const auto found = platform::FindFiles(search);
    if (found.empty())
        return TRUE;
    BeginScan();
    for (const auto& data : found) {
        const CFileInfo candidate(data);
        if (!Accept(candidate))
            continue;
        try {
            m_entries.push_back(candidate);
        } catch (const std::bad_alloc&) {
            AfxMessageBox("Error: could not add a fileinfo to the directory");
        }
    }
    return TRUE;
}

namespace {
std::string JoinPath(const std::string& folder, const char* name) {
    const bool hasSeparator = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return folder + (hasSeparator ? "" : "\\") + name;
}
} // namespace

BOOL CDirectory::GetFileName(int i, std::string* out) const {
    if (!ValidIndex(i) || !out)
        return FALSE;
    *out = m_entries[size_t(i)].m_findData.cFileName;
    return TRUE;
}

BOOL CDirectory::GetFullPath(int i, std::string* out) const {
    if (!ValidIndex(i) || !out)
        return FALSE;
    *out = JoinPath(m_strPath, m_entries[size_t(i)].m_findData.cFileName);
    return TRUE;
}

BOOL CDirectory::GetAltFullPath(int i, std::string* out) const {
    if (!ValidIndex(i) || !out)
        return FALSE;
    *out = JoinPath(m_strAltPath, m_entries[size_t(i)].m_findData.cFileName);
    return TRUE;
}

CFileInfo* CDirectory::GetEntry(int i) {
    return ValidIndex(i) ? &m_entries[size_t(i)] : nullptr;
}

CFileInfo* CDirectory::FindByTag(int tag) {
    for (auto& entry : m_entries)
        if (entry.m_nTag == tag)
            return &entry;
    return nullptr;
}
