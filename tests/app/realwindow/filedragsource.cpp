// A file manager's part in the real-window tests: a small window that, once
// pressed with the mouse, drags the files named on its command line as a
// file manager drags them (their addresses as text/uri-list), through the
// X server's drag-and-drop protocol to whatever window is under the mouse
// when the button is let go.

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class FileDragSource : public QWidget {
public:
    explicit FileDragSource(QList<QUrl> urls) : m_urls(std::move(urls)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(m_urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> m_urls;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (const QString& file : QApplication::arguments().mid(1))
        urls << QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    FileDragSource window(urls);
    window.setWindowTitle(QStringLiteral("File source"));
    window.resize(120, 80);
    window.show();
    return QApplication::exec();
}
