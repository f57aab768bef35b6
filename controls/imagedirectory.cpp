#include "controls/imagedirectory.h"

#include <cctype>
#include <cstdio>

BOOL CImageDirectory::Accept(const CFileInfo& candidate) {
    const WIN32_FIND_DATAA& found = candidate.m_findData;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return FALSE;
    const unsigned char first = static_cast<unsigned char>(found.cFileName[0]);
    if (first == 0 || std::tolower(first) != 't')
        return FALSE;
    std::printf("filename <%s>\n", found.cFileName);
    return TRUE;
}
