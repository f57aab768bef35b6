// Fuzz target of the settings file: whatever bytes the file holds, every
// value the program asks for is read or found missing, and a value written
// into such a file reads back unchanged. A broken promise aborts, so the
// fuzzer reports it as a finding.

#include "platform/settingsstore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings invariant broken: %s\n", what);
        std::abort();
    }
}

// A private folder for the files, in memory where the system offers it.
const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              "/fuzzsettingsXXXXXX";
        Require(mkdtemp(pattern.data()) != nullptr, "temporary folder");
        return pattern;
    }();
    // Every input removes its file, so the folder is empty when the run ends.
    static const bool removedAtExit = std::atexit([] { rmdir(folder.c_str()); }) == 0;
    (void)removedAtExit;
    return folder;
}

constexpr const char* kKey = "Software\\Kavelo";

void ReadEverything(const platform::CSettingsStore& store) {
    for (const char* name : {"contentdir", "language", "wintitle", "wizardshownexttime", "nruns",
                             "recent1", "/usr/share/morvane/res/Data/animals"}) {
        std::string text;
        DWORD number = 0;
        const bool isText = store.ReadString(HKEY_CURRENT_USER, kKey, name, &text);
        const bool isNumber = store.ReadDword(HKEY_CURRENT_USER, kKey, name, &number);
        Require(!(isText && isNumber), "a value is a text or a number, not both");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A name of its own for every input, so that no input reads a file an
    // earlier one failed to remove.
    static unsigned serial = 0;
    const std::string path = Folder() + "/" + std::to_string(serial++) + ".ini";
    FILE* file = std::fopen(path.c_str(), "wb");
    Require(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0,
            "settings file written");
    {
        platform::CSettingsStore store(path);
        ReadEverything(store);
        if (store.WriteString(HKEY_CURRENT_USER, kKey, "wintitle", "Morvane \xC3\xBC\\/%") &&
            store.WriteDword(HKEY_CURRENT_USER, kKey, "nruns", 0xFEDCBA98)) {
            std::string title;
            DWORD runs = 0;
            Require(store.ReadString(HKEY_CURRENT_USER, kKey, "wintitle", &title) &&
                        title == "Morvane \xC3\xBC\\/%",
                    "text read back");
            Require(store.ReadDword(HKEY_CURRENT_USER, kKey, "nruns", &runs) && runs == 0xFEDCBA98,
                    "number read back");
        }
    }
    std::remove(path.c_str());
    return 0;
}
