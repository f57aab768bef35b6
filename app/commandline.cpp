#include "app/commandline.h"

#include "content/appsettings.h"

#include <cctype>
#include <climits>
#include <filesystem>

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

namespace {

bool IsSwitch(char c) {
    return c == '-' || c == '/';
}

// Optional white space and sign, then a digit.
bool BeginsWithNumber(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    return std::isdigit(static_cast<unsigned char>(*text));
}

// An optional switch character, then a number and nothing but white space.
bool IsWholeNumber(const std::string& parameter) {
    const char* text = parameter.c_str();
    if (IsSwitch(*text))
        ++text;
    if (!BeginsWithNumber(text))
        return false;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '+' || *text == '-')
        ++text;
    while (std::isdigit(static_cast<unsigned char>(*text)))
        ++text;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    return *text == '\0';
}

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

} // namespace

bool NamesFile(const std::string& parameter) {
    if (parameter.empty() || IsWholeNumber(parameter))
        return false;
    if (IsExistingFile(parameter))
        return true;
    if (parameter[0] == '-')
        return false;
    // "/x" is a switch; a path has a folder after its first slash.
    if (parameter[0] == '/')
        return parameter.find('/', 1) != std::string::npos;
    return !BeginsWithNumber(parameter.c_str());
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
        if (NamesFile(arg)) {
            // The design keeps the picture's path: whole, so that it does
            // not depend on the folder the program was started in.
            std::error_code error;
            const auto whole = std::filesystem::absolute(std::filesystem::path(arg), error);
            m_files.push_back(error ? arg : whole.lexically_normal().string());
            continue;
        }
        const bool isFlag = !arg.empty() && (arg[0] == '-' || arg[0] == '/');
        ParseParam(arg.c_str() + (isFlag ? 1 : 0), isFlag, i + 1 == arguments.size());
    }
}
