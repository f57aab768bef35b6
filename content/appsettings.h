#pragma once
// Process-wide settings: where the program and its picture content live,
// the interface language, the main window's size, and flags that start-up
// and the drawing code share. One instance exists for the whole process.

#include "platform/wintypes.h"

#include <string>

class CAppSettings {
public:
    // Display flags.
    enum : DWORD {
        kPaletteDisplay = 0x1,  // the screen shows 256 colours or fewer
        kDisplayExamined = 0x2, // the screen has been examined once
    };

    CAppSettings();

    // Folders always end in a separator; one is appended when missing.
    void SetProgramFolder(const std::string& folder);
    void SetContentFolder(const std::string& folder);
    const std::string& GetProgramFolder() const { return m_strProgramFolder; }
    const std::string& GetContentFolder() const { return m_strContentFolder; }

    // Folder + name, plain concatenation. Both write one shared result that
    // stays valid only until the next call of either: copy it to keep two.
    const std::string& MakeProgramPath(const std::string& name);
    const std::string& MakeContentPath(const std::string& name);

    int GetLanguage() const { return m_nLanguage; }
    void SetLanguage(int language) { m_nLanguage = language; }
    int GetWindowWidth() const { return m_nWindowWidth; }
    void SetWindowWidth(int width) { m_nWindowWidth = width; }
    int GetWindowHeight() const { return m_nWindowHeight; }
    void SetWindowHeight(int height) { m_nWindowHeight = height; }
    int GetFullScreen() const { return m_nFullScreen; }
    void SetFullScreen(int fullScreen) { m_nFullScreen = fullScreen; }
    int GetStartupAbort() const { return m_nStartupAbort; }
    void SetStartupAbort(int abort) { m_nStartupAbort = abort; }

    DWORD GetDisplayFlags() const { return m_dwDisplayFlags; }
    // 1 when any bit of the mask is set, else 0.
    int TestDisplayFlags(DWORD mask) const { return (m_dwDisplayFlags & mask) ? 1 : 0; }
    void SetDisplayFlags(DWORD flags) { m_dwDisplayFlags = flags; }
    void AddDisplayFlags(DWORD flags) { m_dwDisplayFlags |= flags; }
    void RemoveDisplayFlags(DWORD flags) { m_dwDisplayFlags &= ~flags; }

    // Back to the state at process start.
    void Reset();

private:
    std::string m_strProgramFolder;
    std::string m_strContentFolder;
    std::string m_strResult; // shared result of the path composition
    int m_nLanguage;
    int m_nWindowWidth;
    int m_nWindowHeight;
    int m_nFullScreen;
    int m_nStartupAbort;
    DWORD m_dwDisplayFlags;
};

// The settings of this process.
CAppSettings& AppSettings();

// The folder with a separator at its end: "\\" is appended unless the last
// character already is a separator ('\\', or '/' on this system).
std::string WithTrailingSeparator(const std::string& folder);
