#include "content/appsettings.h"

CAppSettings::CAppSettings() {
    Reset();
}

void CAppSettings::Reset() {
    m_strProgramFolder.clear();
    m_strContentFolder.clear();
    m_strResult.clear();
    m_nLanguage = 0;
    m_nWindowWidth = 812;
    m_nWindowHeight = 650;
    m_nFullScreen = 0;
    m_nStartupAbort = 0;
    m_dwDisplayFlags = 0;
}

void CAppSettings::SetProgramFolder(const std::string& folder) {
    m_strProgramFolder = WithTrailingSeparator(folder);
}

void CAppSettings::SetContentFolder(const std::string& folder) {
    m_strContentFolder = WithTrailingSeparator(folder);
}

const std::string& CAppSettings::MakeProgramPath(const std::string& name) {
    m_strResult = m_strProgramFolder + name;
    return m_strResult;
}

const std::string& CAppSettings::MakeContentPath(const std::string& name) {
    m_strResult = m_strContentFolder + name;
    return m_strResult;
}

CAppSettings& AppSettings() {
    static CAppSettings settings;
    return settings;
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty())
        return "\\";
    const char last = folder.back();
    if (last == '\\')
        return folder;
#ifndef _WIN32
    if (last == '/')
        return folder;
#endif
    return folder + "\\";
}
