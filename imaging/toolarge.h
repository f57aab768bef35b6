#pragma once
// Telling the user that a picture is too large to hold. The image reads a
// picture through the codecs; the decoders refuse one beyond their size
// limit before allocating anything, and the image then reports the picture
// through the reporter the program installed, in the user's language.
// Without one it shows the codec's own English message.

#include <functional>
#include <string>

using PictureTooLargeReporter =
    std::function<void(const std::string& path, long long width, long long height)>;

// Installs the reporter (an empty one removes it).
void SetPictureTooLargeReporter(PictureTooLargeReporter reporter);

// Tells of a picture too large to hold: through the reporter, else with the
// codec's message. Used by the image when a decoder refuses for size.
void ReportPictureTooLarge(const std::string& path, long long width, long long height,
                           const std::string& codecMessage);
