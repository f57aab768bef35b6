#include "platform/settingsstore.h"

#include "platform/inifile.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace platform {

namespace {

// Numbers are kept in the text form of exported registry files, so a string
// value can never pass for a number or the other way round.
constexpr const char* kDwordPrefix = "dword:";

// A settings file is a few kilobytes; a larger one is not the program's.
constexpr qint64 kMaxFileBytes = 4 << 20;

std::string EncodeName(const std::string& name) {
    std::string out;
    for (char c : name) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case '/':
            out += "%2F";
            break;
        case '\\':
            out += "%5C";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string SubKeyPath(const std::string& subKey) {
    std::string out;
    // One '/' between names, none at the ends, as the file always had them.
    for (char c : subKey) {
        const char next = c == '\\' ? '/' : c;
        if (next != '/' || (!out.empty() && out.back() != '/'))
            out += next;
    }
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

} // namespace

// The user's own file, where the system keeps the settings of programs.
CSettingsStore::CSettingsStore()
    : CSettingsStore(
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
          "/Kavelo/registry.ini") {}

CSettingsStore::CSettingsStore(const std::string& iniFile)
    : m_path(iniFile), m_file(std::make_unique<CIniFile>()) {
    Load();
}

CSettingsStore::~CSettingsStore() = default;

bool CSettingsStore::Load() {
    QFile file(QString::fromStdString(m_path));
    if (!file.exists()) {
        m_file->Parse({});
        return true;
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return false;
    // Read to its end in pieces: a file another instance replaced meanwhile
    // is read whole, one that grows stops at the limit, and the limit is not
    // allocated for every change of a value.
    std::string text;
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        text.append(piece, size_t(got));
        if (qint64(text.size()) > kMaxFileBytes)
            return false;
    }
    m_file->Parse(text);
    return true;
}

bool CSettingsStore::Store() {
    QDir().mkpath(QFileInfo(QString::fromStdString(m_path)).absolutePath());
    return ReplaceFileContents(m_path, m_file->Text());
}

std::string CSettingsStore::KeyOf(HKEY root, const std::string& subKey, const std::string& name) {
    const std::string rootName = root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
    const std::string sub = SubKeyPath(subKey);
    return rootName + "/" + (sub.empty() ? "" : sub + "/") + EncodeName(name);
}

bool CSettingsStore::ReadString(HKEY root, const std::string& subKey, const std::string& name,
                                std::string* out) const {
    std::string text;
    if (!m_file->Find(KeyOf(root, subKey, name), &text) || text.rfind(kDwordPrefix, 0) == 0)
        return false;
    if (out)
        *out = text;
    return true;
}

bool CSettingsStore::ReadDword(HKEY root, const std::string& subKey, const std::string& name,
                               DWORD* out) const {
    std::string text;
    if (!m_file->Find(KeyOf(root, subKey, name), &text) || text.rfind(kDwordPrefix, 0) != 0)
        return false;
    unsigned long value = 0;
    char tail = 0;
    if (std::sscanf(text.c_str() + 6, "%8lx%c", &value, &tail) != 1)
        return false;
    if (out)
        *out = DWORD(value);
    return true;
}

bool CSettingsStore::WriteString(HKEY root, const std::string& subKey, const std::string& name,
                                 const std::string& value) {
    if (!Load())
        return false;
    m_file->Set(KeyOf(root, subKey, name), value);
    return Store();
}

bool CSettingsStore::WriteDword(HKEY root, const std::string& subKey, const std::string& name,
                                DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%08x", kDwordPrefix, unsigned(value));
    if (!Load())
        return false;
    m_file->Set(KeyOf(root, subKey, name), text);
    return Store();
}

bool CSettingsStore::Remove(HKEY root, const std::string& subKey, const std::string& name) {
    if (!Load())
        return false;
    m_file->Remove(KeyOf(root, subKey, name));
    return Store();
}

namespace {
std::unique_ptr<CSettingsStore>& StoreSlot() {
    static std::unique_ptr<CSettingsStore> store;
    return store;
}
} // namespace

CSettingsStore& SettingsStore() {
    auto& store = StoreSlot();
    if (!store)
        store = std::make_unique<CSettingsStore>();
    return *store;
}

void UseSettingsFile(const std::string& iniFile) {
    StoreSlot() = std::make_unique<CSettingsStore>(iniFile);
}

} // namespace platform
