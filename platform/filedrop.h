#pragma once
// Files dropped onto a window from the desktop: a file manager drags a list
// of file addresses (text/uri-list); the window takes the drag when it
// carries at least one local file, and its client hears of the drop once
// the drag is over, so that it may ask questions without holding up the
// program the files came from.

#include "platform/wintypes.h"

#include <string>
#include <vector>

class QWidget;

namespace platform {

class CFileDropClient {
public:
    virtual ~CFileDropClient() = default;
    // The local files of one drop in the order they were dragged, and the
    // point of the drop in the window's client coordinates.
    virtual void OnDropFiles(QWidget* window, const std::vector<std::string>& paths,
                             POINT point) = 0;
};

// Lets the window take drops of local files for the client; null stops it.
// The client must outlive the window or stop the drops first.
void DragAcceptFiles(QWidget* window, CFileDropClient* client);

} // namespace platform
