#include "app/morvanedoc.h"

#include "app/morvaneview.h"
#include "content/fileutil.h"

#include <QFileInfo>

#include <strings.h>

namespace {

constexpr const char* kRecentFileKey = "Software\\Kavelo\\Kavelo\\Recent File List";

std::string RecentEntryName(int i) {
    return "File" + std::to_string(i + 1);
}

bool IsDesignPath(const std::string& path) {
    std::string drive, folder, name, extension;
    return SplitPath(path, &drive, &folder, &name, &extension) &&
           strcasecmp(extension.c_str(), ".prt") == 0;
}

bool WritableFile(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    return !path.empty() && info.isFile() && info.isWritable();
}

} // namespace

CMorvaneDoc::CMorvaneDoc() : m_pView(nullptr), m_strTitle("Untitled"), m_bModified(FALSE) {}

void CMorvaneDoc::SetTitleListener(std::function<void(const std::string&)> listener) {
    m_titleListener = std::move(listener);
    if (m_titleListener)
        m_titleListener(GetCaption());
}

BOOL CMorvaneDoc::OnSaveDocument(const std::string& path) {
    if (m_pView)
        m_pView->DispatchSelect(ID_SAVE, &path);
    SetModifiedFlag(FALSE);
    return TRUE;
}

// Only a design file is written at once. Anything else (a new design, a
// picture the user opened or exported) is asked a name for first, in the
// save button's dialog with the program's file types: a picture the user
// opened is never overwritten by an export of the page without a question.
void CMorvaneDoc::DoFileSave() {
    const std::string path = m_strPathName;
    if (!WritableFile(path) || !IsDesignPath(path)) {
        if (m_pView)
            m_pView->DispatchSelect(ID_SAVE);
        return;
    }
    if (OnSaveDocument(path))
        SetPathName(path, TRUE);
}

void CMorvaneDoc::SetPathName(const std::string& path, BOOL addToRecent) {
    m_strPathName = path;
    std::string drive, folder, name, extension;
    m_strTitle = SplitPath(path, &drive, &folder, &name, &extension) ? name + extension : path;
    if (addToRecent && FileExists(path))
        AddRecentFile(path);
    if (m_titleListener)
        m_titleListener(GetCaption());
}

std::string CMorvaneDoc::GetCaption() const {
    return m_strTitle + " - Kavelo";
}

std::vector<std::string> CMorvaneDoc::RecentFiles() {
    std::vector<std::string> files;
    for (int i = 0; i < kRecentFileCount; ++i) {
        std::string entry;
        if (ReadRegistryString(&entry, HKEY_CURRENT_USER, kRecentFileKey, RecentEntryName(i)) &&
            !entry.empty())
            files.push_back(entry);
    }
    return files;
}

void CMorvaneDoc::AddRecentFile(const std::string& path) {
    std::vector<std::string> files = RecentFiles();
    std::erase(files, path);
    files.insert(files.begin(), path);
    if (files.size() > size_t(kRecentFileCount))
        files.resize(kRecentFileCount);
    for (int i = 0; i < kRecentFileCount; ++i)
        WriteRegistryString(i < int(files.size()) ? files[size_t(i)] : std::string(),
                            HKEY_CURRENT_USER, kRecentFileKey, RecentEntryName(i));
}
