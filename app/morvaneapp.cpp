#include "app/morvaneapp.h"

#include "app/commandline.h"
#include "app/mainframe.h"
#include "app/morvanedoc.h"
#include "app/programfolder.h"
#include "content/appsettings.h"
#include "content/fileutil.h"

#include <QCoreApplication>

CMorvaneApp::CMorvaneApp(CAppSettings& settings) : m_settings(settings) {}

bool CMorvaneApp::InitFolders() {
    return InitFolders(QCoreApplication::applicationDirPath().toStdString());
}

bool CMorvaneApp::InitFolders(const std::string& executableFolder) {
    std::string folder = InstalledProgramFolder(executableFolder);
    if (folder.empty() && (!GetCurrentFolder(&folder) || folder.empty()))
        return false;
    m_settings.SetProgramFolder(folder);
    std::string content;
    if (ReadRegistryString(&content, HKEY_CURRENT_USER, kRegistryKey, "contentdir") &&
        !content.empty())
        m_settings.SetContentFolder(content);
    else
        m_settings.SetContentFolder(m_settings.GetProgramFolder());
    return true;
}

void CMorvaneApp::ParseCommandLine(const std::vector<std::string>& arguments) {
    CCustomCommandLineInfo info(m_settings);
    info.ParseArguments(arguments);
    m_startFiles = info.GetFiles();
}

int CountProgramRun() {
    DWORD runs = DWORD(-1);
    ReadRegistryDword(&runs, HKEY_CURRENT_USER, kRegistryKey, "nruns");
    const DWORD next = runs + 1;
    WriteRegistryDword(next, HKEY_CURRENT_USER, kRegistryKey, "nruns");
    return int(next);
}

int ReadWizardShowNextTime() {
    DWORD show = 1;
    ReadRegistryDword(&show, HKEY_CURRENT_USER, kRegistryKey, "wizardshownexttime");
    return int(show);
}

void WriteWizardShowNextTime(int show) {
    WriteRegistryDword(DWORD(show), HKEY_CURRENT_USER, kRegistryKey, "wizardshownexttime");
}

void WriteLanguage(int language) {
    WriteRegistryDword(DWORD(language), HKEY_CURRENT_USER, kRegistryKey, "language");
}

std::string ReadWindowTitle() {
    std::string title;
    ReadRegistryString(&title, HKEY_CURRENT_USER, kRegistryKey, "wintitle");
    return title;
}

void WriteWindowTitle(const std::string& title) {
    WriteRegistryString(title, HKEY_CURRENT_USER, kRegistryKey, "wintitle");
}

std::string ReadLastCategory() {
    std::string category;
    ReadRegistryString(&category, HKEY_CURRENT_USER, kRegistryKey, "lastcategory");
    return category;
}

void WriteLastCategory(const std::string& category) {
    WriteRegistryString(category, HKEY_CURRENT_USER, kRegistryKey, "lastcategory");
}
