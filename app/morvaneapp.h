#pragma once
// The application object: prepares the process-wide settings at start-up
// and keeps the few registry values of the program.

#include <memory>
#include <string>
#include <vector>

class CAppSettings;
class CMainFrame;
class CMorvaneDoc;
class CMorvaneView;

class CMorvaneApp {
public:
    explicit CMorvaneApp(CAppSettings& settings);
    ~CMorvaneApp();

    // The whole start-up: folders, command line, the document, the frame
    // and the view, and the view's creation sequence (splash, editing
    // surface, wizard). FALSE ends the process without a message: no
    // working folder, another copy running, content missing or a control
    // that could not be made.
    bool InitInstance(const std::vector<std::string>& arguments);

    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    CMorvaneView* View() const { return m_pView; }
    CMorvaneDoc* Document() const { return m_pDocument.get(); }

    // Start-up steps 1 and 2: the program folder is the installed one when
    // this executable is installed (see programfolder.h), else the working
    // folder; the content folder the registry value "contentdir" or else the
    // program folder. FALSE when neither folder exists; start-up then ends.
    bool InitFolders();
    // The same for an executable in `executableFolder`.
    bool InitFolders(const std::string& executableFolder);

    // Start-up step 5: the numbers of the command line (arguments after the
    // program name, with the window system's own options already taken out)
    // and the files to open at start.
    void ParseCommandLine(const std::vector<std::string>& arguments);
    const std::vector<std::string>& StartFiles() const { return m_startFiles; }

    CAppSettings& Settings() { return m_settings; }

private:
    CAppSettings& m_settings;
    std::unique_ptr<CMorvaneDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pFrame; // owns the view
    CMorvaneView* m_pView = nullptr;
    std::vector<std::string> m_startFiles;
};

// Registry values of the program ---------------------------------------------

// Counts this start in "nruns" and returns the new count: 0 at the first
// start (a missing value counts as -1).
int CountProgramRun();

// "wizardshownexttime": 1 (also when missing) shows the wizard at start.
int ReadWizardShowNextTime();
void WriteWizardShowNextTime(int show);

// Stores the language in force as "language".
void WriteLanguage(int language);

// "wintitle", the main window caption the single-instance test looks for.
std::string ReadWindowTitle();
void WriteWindowTitle(const std::string& title);
// "lastcategory": the clip-art category chosen last (the base name of its
// picture), shown again at the next start; empty when none was chosen.
std::string ReadLastCategory();
void WriteLastCategory(const std::string& category);
