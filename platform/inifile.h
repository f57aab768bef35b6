#pragma once
// The settings file: an INI file in the form Qt's settings class writes, so
// that files written by earlier versions read the same. Values are kept as
// the file spells them and written back unchanged unless set, so a value of
// a kind the program never writes (a list, a typed value) survives a save.
//
//   [HKCU]
//   Software\Kavelo\wintitle=ontwerp.prt - Kavelo
//   Software\Kavelo\nruns="dword:00000007"
//
// A key is a path of names separated by '/': its first name is the section
// ("General" for a key of one name); characters other than letters, digits,
// '_', '-' and '.' are written as %XX or %UXXXX.

#include <map>
#include <string>

namespace platform {

class CIniFile {
public:
    // Reads the text of a file; lines that are neither a section nor a
    // key=value pair are passed over.
    void Parse(const std::string& text);
    // The text of the whole file, section by section.
    std::string Text() const;

    // The value under the key when it is one plain string; FALSE for a
    // missing key and for a list or typed value.
    bool Find(const std::string& key, std::string* value) const;
    void Set(const std::string& key, const std::string& value);
    void Remove(const std::string& key);

private:
    std::map<std::string, std::string> m_raw; // key -> value as spelt in the file
};

// The spelling of a string value in the file, and back. Unescaping answers
// FALSE for a value that is not one string (a list of strings, a typed or
// invalid value).
std::string EscapeIniValue(const std::string& value);
bool UnescapeIniValue(const std::string& raw, std::string* value);

} // namespace platform
