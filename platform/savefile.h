#pragma once
// Files that are either whole or not there: the bytes go into a new,
// nameless file beside the target (QSaveFile's), which takes the target's
// name only once every byte is on the disk. A file not committed is dropped
// and the old one stays as it was.

#include <string>

class QSaveFile;

namespace platform {

// Gives the written file the target's name. QSaveFile::commit alone passes
// over a failure to write the last buffered bytes (a full disk, a file-size
// limit) and would put a file cut short in place of the old one; this
// writes them first and drops the new file when they do not go.
bool CommitWhole(QSaveFile& file);

// Replaces the file at the path (in the system's form) by exactly these
// bytes, or leaves it as it was. FALSE when it could not be written.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

} // namespace platform
