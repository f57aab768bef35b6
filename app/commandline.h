#pragma once
// The program's command line: up to four numbers, in order language,
// window width, window height and full screen, and beside them the files
// to open at start (the desktop passes the file the user opened with the
// program).

#include "platform/wintypes.h"

#include <string>
#include <vector>

class CAppSettings;

class CCustomCommandLineInfo {
public:
    explicit CCustomCommandLineInfo(CAppSettings& settings);

    // One parameter, its switch character ('-' or '/') already taken off
    // when isFlag is set. Every parameter counts, switch or not; a fifth
    // and later one is counted and ignored.
    void ParseParam(const char* param, BOOL isFlag, BOOL isLast);

    // Splits the arguments after the program name as the window framework
    // does: a parameter that names a file is kept as a file to open, every
    // other one goes to ParseParam.
    void ParseArguments(const std::vector<std::string>& arguments);

    int GetParamCount() const { return m_nParams; }
    // The files named on the command line, in their order.
    const std::vector<std::string>& GetFiles() const { return m_files; }

private:
    CAppSettings& m_settings;
    int m_nParams;
    std::vector<std::string> m_files;
};

// Whether a parameter names a file rather than a number: a whole number
// (after an optional switch character) never does; an existing file always
// does; otherwise a switch ("-x", "/x") and a parameter that begins with a
// number ("1024px") stay numbers, and the rest ("photo.jpg", "/home/a/b.prt")
// are files, so that a file that went missing is reported.
bool NamesFile(const std::string& parameter);

// A leading decimal integer: optional white space, an optional sign, then
// digits; anything else gives 0. Values beyond the 32-bit range saturate.
int LeadingInteger(const char* text);
