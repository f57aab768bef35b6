#include "controls/stringserver.h"

#include "platform/userservices.h"

#include <new>

CStringServer::CStringServer() : m_nLanguage(0) {}

CStringServer::~CStringServer() = default;

BOOL CStringServer::Add(int id, int language, const std::string& text) {
    try {
        m_entries.push_back(std::make_unique<CIdentifiedString>(id, language, text));
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Error: could not add a string to the string server");
        return FALSE;
    }
    return TRUE;
}

std::string* CStringServer::Find(int id) {
    for (const auto& entry : m_entries)
        if (entry->m_nId == id && (m_nLanguage == 0 || entry->m_nLanguage == m_nLanguage))
            return &entry->m_strText;
    return nullptr;
}
