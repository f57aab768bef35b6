#pragma once
// A listing of the files of one folder that match a wildcard pattern. The
// clip-art browser narrows it by overriding Accept, and pairs each entry
// with a file of the same name in the alternative folder.

#include "platform/paths.h"

#include <string>
#include <vector>

class CFileInfo {
public:
    CFileInfo();
    explicit CFileInfo(const WIN32_FIND_DATAA& data);
    virtual ~CFileInfo();
    CFileInfo(const CFileInfo&) = default;
    CFileInfo& operator=(const CFileInfo&) = default;

    int m_nTag;                  // free number for the owner
    WIN32_FIND_DATAA m_findData; // what the listing found: name, size, attributes
};

class CDirectory {
public:
    // Flags answered by GetFlags.
    enum : int { kHasPath = 0x1, kHasAltPath = 0x2 };

    CDirectory();
    virtual ~CDirectory();

    // Hooks for listings that narrow what they keep.
    virtual BOOL BeginScan();                        // before the first entry of a scan
    virtual BOOL Accept(const CFileInfo& candidate); // TRUE keeps the file
    virtual int GetFlags();

    // Setting the path rescans; the alternative path only pairs names.
    BOOL SetPaths(const std::string& path, const std::string& altPath);
    BOOL SetPath(const std::string& path);
    BOOL SetAltPath(const std::string& altPath);
    void SetPattern(const std::string& pattern) { m_strPattern = pattern; }

    // Rebuilds the entries for path + "\\" + pattern (null: the listing's
    // own pattern). FALSE without a path; a missing folder lists nothing.
    BOOL Scan(const char* pattern);

    // Entry access; FALSE or null for an index outside the listing.
    BOOL GetFileName(int i, std::string* out) const;
    BOOL GetFullPath(int i, std::string* out) const;
    BOOL GetAltFullPath(int i, std::string* out) const;
    CFileInfo* GetEntry(int i);
    CFileInfo* FindByTag(int tag);
    int GetCount() const { return int(m_entries.size()); }

    const std::string& GetPath() const { return m_strPath; }
    const std::string& GetAltPath() const { return m_strAltPath; }
    const std::string& GetPattern() const { return m_strPattern; }

private:
    bool ValidIndex(int i) const { return i >= 0 && i < GetCount(); }

    std::string m_strPath;
    std::string m_strAltPath;
    std::string m_strPattern;
    std::vector<CFileInfo> m_entries;
    int m_nFlags;
};
