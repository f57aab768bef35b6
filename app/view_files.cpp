// Files from the desktop: pictures and designs dropped onto the page from a
// file manager, and the files named on the command line, which the desktop
// passes when the user opens a file with the program.

#include "app/designhistory.h"
#include "app/morvaneview.h"
#include "content/fileutil.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/cursor.h"
#include "platform/heaptrim.h"
#include "platform/userservices.h"

#include <algorithm>
#include <strings.h>

namespace {

bool IsDesignFile(const std::string& path) {
    std::string drive, folder, name, extension;
    return SplitPath(path, &drive, &folder, &name, &extension) &&
           strcasecmp(extension.c_str(), ".prt") == 0;
}

} // namespace

void CMorvaneView::OnDropFiles(QWidget*, const std::vector<std::string>& paths, POINT point) {
    OpenFiles(paths, &point);
    // One drop is one step of the history, however many files it held.
    if (m_pHistory)
        m_pHistory->Checkpoint();
}

void CMorvaneView::OpenFiles(const std::vector<std::string>& paths, const POINT* point) {
    // A design replaces the page: pictures that came with it go onto it.
    std::vector<std::string> ordered(paths);
    std::stable_partition(ordered.begin(), ordered.end(), IsDesignFile);
    for (const std::string& path : ordered) {
        if (IsDesignFile(path))
            OpenDesignFile(path);
        else
            AddPictureFile(path, point);
    }
    platform::GiveBackFreedMemory();
}

void CMorvaneView::OpenDesignFile(const std::string& path) {
    CLayerCycle* list = LayerList();
    if (!list)
        return;
    if (list->GetItemCount() > 0 && ShowMessage(Text(1011), MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    platform::BeginWaitCursor();
    m_bLoadFailureTold = false;
    const bool loaded = LoadDesign(path);
    platform::EndWaitCursor();
    if (loaded)
        SetDesignTitle(path);
    else if (!m_bLoadFailureTold)
        AfxMessageBox(Text(1009));
}

// A dropped picture joins the design as it is; a picture opened with the
// program names the window, as the load command does.
void CMorvaneView::AddPictureFile(const std::string& path, const POINT* point) {
    CLayerMixer* mixer = Mixer();
    if (!mixer)
        return;
    // The next layer the mixer places takes the point, as a dropped thumb.
    if (point)
        mixer->OnNotify_Drop(ID_MIXER, ID_MIXER, point);
    platform::BeginWaitCursor();
    m_bLoadFailureTold = false;
    const bool loaded = LoadDesign(path);
    platform::EndWaitCursor();
    if (!loaded) {
        POINT unused;
        mixer->TakeDropPoint(&unused);
        // A picture too large to hold has been named already.
        if (!m_bLoadFailureTold)
            AfxMessageBox(Text(1009));
    } else if (!point) {
        SetDesignTitle(path);
    }
}
