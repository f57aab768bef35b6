#pragma once
// The listing behind the clip-art strips: of a folder's files it keeps only
// the thumbnails, the files whose name starts with 't' (in either case).
// Folders are never listed, whatever their name.

#include "content/directory.h"

class CImageDirectory : public CDirectory {
public:
    // A file (not a folder) with a name whose first letter is 't' or 'T';
    // each accepted name is printed as a diagnostic line.
    BOOL Accept(const CFileInfo& candidate) override;
};
