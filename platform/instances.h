#pragma once
// The per-user registry of running copies of the program and the captions
// of their top-level windows, so that a second copy can find the first
// one's main window by its caption, as the single-instance test asks.
//
// Each process keeps two files in the user's runtime folder: a lock file
// it holds for its whole life, and the list of its visible top-level
// captions, rewritten whenever one of them appears, changes or goes. An
// entry whose lock is no longer held (the process ended without cleaning
// up) is stale: it is removed by whoever finds it and never counts.

#include <string>
#include <vector>

namespace platform {

// Starts publishing this process's captions (idempotent). The program
// calls it once at start; FindTopLevelWindow calls it too.
void PublishTopLevelWindows();

// Writes this process's captions now (publishing keeps them current by
// itself; tests call this to avoid waiting for the event queue).
void WriteTopLevelWindows();

// Stops publishing and removes this process's entry.
void WithdrawTopLevelWindows();

// The captions of the other live processes' top-level windows; stale
// entries are removed on the way.
std::vector<std::string> OtherInstancesCaptions();

// The folder of the registry; by default "morvane-instances" in the
// user's runtime folder. Tests point it elsewhere before publishing.
std::string InstanceRegistryFolder();
void SetInstanceRegistryFolder(const std::string& folder);

} // namespace platform
