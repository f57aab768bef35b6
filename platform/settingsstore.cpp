#include "platform/settingsstore.h"

#include <QSettings>

#include <cstdio>

namespace platform {

namespace {

// Numbers are kept in the text form of exported registry files, so a string
// value can never pass for a number or the other way round.
constexpr const char* kDwordPrefix = "dword:";

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
    for (char c : subKey)
        out += (c == '\\') ? '/' : c;
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

} // namespace

CSettingsStore::CSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Kavelo"),
                                             QStringLiteral("registry"))) {}

CSettingsStore::CSettingsStore(const std::string& iniFile)
    : m_settings(
          std::make_unique<QSettings>(QString::fromStdString(iniFile), QSettings::IniFormat)) {}

CSettingsStore::~CSettingsStore() = default;

std::string CSettingsStore::KeyOf(HKEY root, const std::string& subKey, const std::string& name) {
    const std::string rootName = root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU";
    const std::string sub = SubKeyPath(subKey);
    return rootName + "/" + (sub.empty() ? "" : sub + "/") + EncodeName(name);
}

bool CSettingsStore::ReadString(HKEY root, const std::string& subKey, const std::string& name,
                                std::string* out) const {
    const QVariant v = m_settings->value(QString::fromStdString(KeyOf(root, subKey, name)));
    if (!v.isValid() || v.typeId() != QMetaType::QString)
        return false;
    const std::string text = v.toString().toStdString();
    if (text.rfind(kDwordPrefix, 0) == 0)
        return false;
    if (out)
        *out = text;
    return true;
}

bool CSettingsStore::ReadDword(HKEY root, const std::string& subKey, const std::string& name,
                               DWORD* out) const {
    const QVariant v = m_settings->value(QString::fromStdString(KeyOf(root, subKey, name)));
    const std::string text = v.toString().toStdString();
    if (text.rfind(kDwordPrefix, 0) != 0)
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
    m_settings->setValue(QString::fromStdString(KeyOf(root, subKey, name)),
                         QString::fromStdString(value));
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

bool CSettingsStore::WriteDword(HKEY root, const std::string& subKey, const std::string& name,
                                DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%08x", kDwordPrefix, unsigned(value));
    m_settings->setValue(QString::fromStdString(KeyOf(root, subKey, name)), QString(text));
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

bool CSettingsStore::Remove(HKEY root, const std::string& subKey, const std::string& name) {
    m_settings->remove(QString::fromStdString(KeyOf(root, subKey, name)));
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
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
