#pragma once
// A picture of a design file as the program composes it, for the contact
// sheet: the four-corner background, then every layer from the back to the
// front, pictures with their alpha masks and texts in their fonts, each
// stretched into its box. It reads the file back from disk the way the
// program's loader does, so a mistake in a written template shows.

#include <QImage>
#include <QString>

namespace resbuilder {

// `programDir` is the folder holding res/ (relative picture paths are taken
// from there); `longSide` is the preview's longer side in pixels. Throws
// std::runtime_error when the file or one of its pictures cannot be read.
QImage PreviewDesign(const QString& prtPath, const QString& programDir, int longSide);

} // namespace resbuilder
