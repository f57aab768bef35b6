#pragma once
// Gives freed heap memory back to the system. The heap keeps the pages of
// what it has freed, and a design's pictures, pages and prints come and go
// between smaller blocks that stay, so opening, printing and clearing
// designs one after another left the program ever larger (about 8 MB more
// every hundred designs) while what it held stayed the same. The program
// hands the free pages back after the work that frees most: a design
// cleared or opened, an export, a print.

#include <functional>

namespace platform {

void GiveBackFreedMemory();

// Replaces what GiveBackFreedMemory does, for tests; null restores it.
void SetGiveBackFreedMemory(std::function<void()> action);

} // namespace platform
