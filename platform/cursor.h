#pragma once
// The wait cursor shown during long work, and the arrow it returns to.

namespace platform {

// Shows the wait cursor over every window of the program.
void BeginWaitCursor();
// Takes back one BeginWaitCursor.
void EndWaitCursor();

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    CWaitCursor() { BeginWaitCursor(); }
    ~CWaitCursor() { EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

} // namespace platform
