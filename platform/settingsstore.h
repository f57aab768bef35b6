#pragma once
// The program's persistent settings, kept as named values under keys in the
// manner of the Windows registry ("Software\\Kavelo"). Value names may hold
// any characters, folder paths with slashes and backslashes included.

#include "platform/wintypes.h"

#include <memory>
#include <string>

enum HKEY { HKEY_CURRENT_USER = 1, HKEY_LOCAL_MACHINE = 2 };

namespace platform {

class CIniFile;

// The values live in one INI file (platform/inifile.h). Every write reads
// the file again, so that what another instance of the program wrote in
// the meantime stays, and replaces it whole (platform/savefile.h): a write
// that fails leaves the file as it was and answers FALSE.
class CSettingsStore {
public:
    // The user's own store (the system's settings location for "Kavelo").
    CSettingsStore();
    // A private store in one file, for tests and portable installations.
    explicit CSettingsStore(const std::string& iniFile);
    ~CSettingsStore();

    // Each read answers false, leaving *out alone, when the value is missing
    // or is not of the asked type.
    bool ReadString(HKEY root, const std::string& subKey, const std::string& name,
                    std::string* out) const;
    bool ReadDword(HKEY root, const std::string& subKey, const std::string& name, DWORD* out) const;
    bool WriteString(HKEY root, const std::string& subKey, const std::string& name,
                     const std::string& value);
    bool WriteDword(HKEY root, const std::string& subKey, const std::string& name, DWORD value);
    bool Remove(HKEY root, const std::string& subKey, const std::string& name);

    // The key under which a value is kept: root, sub-key and value name with
    // every '%', '/' and '\\' of the name percent-encoded so that it stays
    // one key.
    static std::string KeyOf(HKEY root, const std::string& subKey, const std::string& name);

private:
    // FALSE when the file is there but cannot be read whole.
    bool Load();
    bool Store();

    std::string m_path;
    std::unique_ptr<CIniFile> m_file;
};

// The store in force for the process; created on first use as the user's.
CSettingsStore& SettingsStore();
// Replaces the process's store by a private one in the given file.
void UseSettingsFile(const std::string& iniFile);

} // namespace platform
