#pragma once
// The interface texts of one control manager, kept in every language at
// once and looked up by identifier under the current language. Switching
// the language only changes the filter; nothing is cached.

#include "platform/wintypes.h"

#include <memory>
#include <string>
#include <vector>

class CIdentifiedString {
public:
    CIdentifiedString(int id, int language, const std::string& text)
        : m_nId(id), m_nLanguage(language), m_strText(text) {}

    int m_nId;       // 1000 + row for the message table
    int m_nLanguage; // 1 Dutch, 2 French, 3 English, 4 German
    std::string m_strText;
};

class CStringServer {
public:
    CStringServer();
    virtual ~CStringServer();
    CStringServer(const CStringServer&) = delete;
    CStringServer& operator=(const CStringServer&) = delete;

    // Appends an entry; never replaces one. FALSE (after a message) only
    // when memory runs out.
    BOOL Add(int id, int language, const std::string& text);

    // The first entry added with this identifier in the current language
    // (any language while m_nLanguage is 0), or null. The text lives as
    // long as the server.
    std::string* Find(int id);

    int m_nLanguage; // language filter; 0 means any
private:
    std::vector<std::unique_ptr<CIdentifiedString>> m_entries;
};
