#pragma once
// Commands of the Edit menu and the recent files, with the identifiers the
// window framework gives them. Duplicate, the quarter turns and the nudges
// are the page's commands (layers/layermixer.h).

enum : int {
    ID_FILE_MRU_FILE1 = 57616, // up to four recent files: 57616 to 57619
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
};
