#include "platform/filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QUrl>
#include <QWidget>

namespace platform {

namespace {

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

class CFileDropFilter : public QObject {
public:
    CFileDropFilter(QWidget* window, CFileDropClient* client)
        : QObject(window), m_pWindow(window), m_pClient(client) {
        setObjectName(kName);
    }

    static constexpr const char* kName = "platform-file-drop";

    void SetClient(CFileDropClient* client) { m_pClient = client; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_pWindow)
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalFiles(drag->mimeData()).empty())
                drag->ignore();
            else
                drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop:
            Take(static_cast<QDropEvent*>(event));
            return true;
        default:
            return false;
        }
    }

private:
    void Take(QDropEvent* drop) {
        std::vector<std::string> paths = LocalFiles(drop->mimeData());
        if (paths.empty()) {
            drop->ignore();
            return;
        }
        drop->acceptProposedAction();
        const QPoint at = drop->position().toPoint();
        const POINT point{at.x(), at.y()};
        // The dragging program waits for the drop to finish: the files are
        // opened after it, from the event loop.
        QMetaObject::invokeMethod(
            this,
            [this, paths = std::move(paths), point]() {
                if (m_pClient)
                    m_pClient->OnDropFiles(m_pWindow, paths, point);
            },
            Qt::QueuedConnection);
    }

    QWidget* m_pWindow;
    CFileDropClient* m_pClient;
};

} // namespace

void DragAcceptFiles(QWidget* window, CFileDropClient* client) {
    if (!window)
        return;
    auto* filter = dynamic_cast<CFileDropFilter*>(window->findChild<QObject*>(
        QString::fromLatin1(CFileDropFilter::kName), Qt::FindDirectChildrenOnly));
    if (!filter && client) {
        filter = new CFileDropFilter(window, client);
        window->installEventFilter(filter);
    }
    if (filter)
        filter->SetClient(client);
    window->setAcceptDrops(client != nullptr);
}

} // namespace platform
