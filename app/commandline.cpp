#include "app/commandline.h"

#include "content/appsettings.h"

#include <cctype>
#include <climits>

int LeadingInteger(const char* text) {
    if (!text)
        return 0;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    long long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text++ - '0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return int(value);
}

CCustomCommandLineInfo::CCustomCommandLineInfo(CAppSettings& settings)
    : m_settings(settings), m_nParams(0) {}

void CCustomCommandLineInfo::ParseParam(const char* param, BOOL, BOOL) {
    const int value = LeadingInteger(param);
    switch (m_nParams++) {
    case 0:
        m_settings.SetLanguage(value);
        break;
    case 1:
        m_settings.SetWindowWidth(value);
        break;
    case 2:
        m_settings.SetWindowHeight(value);
        break;
    case 3:
        m_settings.SetFullScreen(value);
        break;
    default:
        break;
    }
}

void CCustomCommandLineInfo::ParseArguments(const std::vector<std::string>& arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        const bool isFlag = !arg.empty() && (arg[0] == '-' || arg[0] == '/');
        ParseParam(arg.c_str() + (isFlag ? 1 : 0), isFlag, i + 1 == arguments.size());
    }
}
