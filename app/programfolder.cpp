#include "app/programfolder.h"

#include <filesystem>
#include <system_error>

#ifndef MORVANE_DATA_FROM_BINDIR
#error "MORVANE_DATA_FROM_BINDIR: the program folder relative to the installed executables"
#endif

std::string InstalledProgramFolder(const std::string& executableFolder) {
    if (executableFolder.empty())
        return {};
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder =
        fs::weakly_canonical(fs::path(executableFolder) / MORVANE_DATA_FROM_BINDIR, error);
    if (error || !fs::is_directory(folder / "res", error))
        return {};
    return folder.string();
}
