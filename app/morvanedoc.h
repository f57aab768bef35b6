#pragma once
// The document of the one design window. It holds no design (that lives
// in the view's controls): it keeps the design's path name and title,
// which the frame shows in its caption, the recent-file list, and turns the
// framework's save into the view's save command.

#include "platform/wintypes.h"

#include <functional>
#include <string>
#include <vector>

class CMorvaneView;

constexpr int kRecentFileCount = 4;

class CMorvaneDoc {
public:
    CMorvaneDoc();

    void SetView(CMorvaneView* view) { m_pView = view; }
    // Told whenever the title changes, so the frame can show it.
    void SetTitleListener(std::function<void(const std::string&)> listener);

    // A new design needs nothing of the document: the view resets it.
    BOOL OnNewDocument() { return TRUE; }
    // The view's save command with the path; always TRUE, as the view
    // reports its own failures.
    BOOL OnSaveDocument(const std::string& path);
    // The save command of the menu and the keys: the document's own design
    // file when it exists and may be written, else the save button's
    // dialog.
    void DoFileSave();

    // The title becomes the path's file name; with addToRecent the path
    // heads the recent-file list.
    void SetPathName(const std::string& path, BOOL addToRecent);
    const std::string& GetPathName() const { return m_strPathName; }
    const std::string& GetTitle() const { return m_strTitle; }
    // The caption of the frame: the title followed by " - Kavelo".
    std::string GetCaption() const;

    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }

    // The recent-file list as the profile keeps it, the newest first.
    static std::vector<std::string> RecentFiles();

private:
    static void AddRecentFile(const std::string& path);

    CMorvaneView* m_pView;
    std::string m_strPathName;
    std::string m_strTitle;
    BOOL m_bModified;
    std::function<void(const std::string&)> m_titleListener;
};
