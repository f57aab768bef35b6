#pragma once
// Helpers shared by the tests: a temporary folder that cleans up after
// itself and small file helpers.

#include "platform/wintypes.h"

#include <filesystem>
#include <ostream>
#include <string>

// Readable failure messages for the value types.
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline std::ostream& operator<<(std::ostream& os, const POINT& p) {
    return os << "(" << p.x << ", " << p.y << ")";
}

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string Str() const { return m_path.string(); }
    // Writes a file below the folder (creating folders) and returns its path.
    std::string Write(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::string& path);

// The folder of the picture files made by others.
std::string TestDataDir();

} // namespace testsupport
