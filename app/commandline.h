#pragma once
// The program's command line: up to four numbers, in order language,
// window width, window height and full screen. No parameter names a file.

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
    // does and passes each to ParseParam.
    void ParseArguments(const std::vector<std::string>& arguments);

    int GetParamCount() const { return m_nParams; }

private:
    CAppSettings& m_settings;
    int m_nParams;
};

// A leading decimal integer: optional white space, an optional sign, then
// digits; anything else gives 0. Values beyond the 32-bit range saturate.
int LeadingInteger(const char* text);
