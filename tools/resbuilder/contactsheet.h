#pragma once
// A contact sheet of a built resource folder: every skin (strips shown as
// their four looks side by side), the backgrounds and popup pictures, the
// category thumbnails, every clip-art thumbnail and a picture of every
// template, each with its name.
// It reads the files back from disk, so it shows what the program will load.

#include <QString>

namespace resbuilder {

// Throws std::runtime_error when a file cannot be read or the sheet written.
void DrawContactSheet(const QString& resDir, const QString& pngPath);

} // namespace resbuilder
