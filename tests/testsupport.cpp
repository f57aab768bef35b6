#include "testsupport.h"

#include <fstream>
#include <random>
#include <sstream>

namespace testsupport {

TempDir::TempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        m_path = base / ("morvane-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(m_path))
            break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& bytes) const {
    const auto path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return path.string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string TestDataDir() {
    return MORVANE_TESTDATA_DIR;
}

} // namespace testsupport
