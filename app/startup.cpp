// The start-up sequence: the document, the frame and the view, and the
// view's creation sequence, in the order the program has always used.

#include "app/mainframe.h"
#include "app/morvaneapp.h"
#include "app/morvanedoc.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"

#include <QLayout>

CMorvaneApp::~CMorvaneApp() = default;

bool CMorvaneApp::InitInstance(const std::vector<std::string>& arguments) {
    if (!InitFolders())
        return false;
    ParseCommandLine(arguments);
    m_pDocument = std::make_unique<CMorvaneDoc>();
    if (!m_pDocument->OnNewDocument())
        return false;
    m_pView = new CMorvaneView();
    m_pView->SetDocument(m_pDocument.get());
    m_pView->SetStartFiles(m_startFiles);
    m_pDocument->SetView(m_pView);
    m_pFrame = std::make_unique<CMainFrame>(m_pView, m_pDocument.get());
    m_pFrame->PlaceBySettings();
    // The view gets its size inside the frame before the surface is laid
    // out on it.
    if (QLayout* layout = m_pFrame->layout())
        layout->activate();
    if (!m_pView->OnInitialUpdate() || m_settings.GetStartupAbort()) {
        m_pFrame->hide();
        m_pFrame.reset();
        m_pView = nullptr;
        return false;
    }
    m_pFrame->show();
    return true;
}
