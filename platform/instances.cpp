#include "platform/instances.h"
#include "platform/savefile.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include <memory>

namespace platform {

namespace {

QString& FolderOverride() {
    static QString folder;
    return folder;
}

QString Folder() {
    if (!FolderOverride().isEmpty())
        return FolderOverride();
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + "/morvane-instances";
}

QString EntryName(qint64 pid, const char* suffix) {
    return QString::number(pid) + suffix;
}

// Rewrites the caption list when a top-level window appears, changes its
// caption or goes.
class CaptionWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::WindowTitleChange:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Close:
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
                ScheduleWrite();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void ScheduleWrite() {
        if (m_bPending)
            return;
        m_bPending = true;
        // The window's state settles after the event; write once it has.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_bPending = false;
                WriteTopLevelWindows();
            },
            Qt::QueuedConnection);
    }

    bool m_bPending = false;
};

struct Publication {
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<CaptionWatcher> watcher;
    QString folder;
};

Publication& State() {
    static Publication publication;
    return publication;
}

QStringList OwnCaptions() {
    QStringList captions;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->windowTitle().isEmpty())
            captions << w->windowTitle();
    return captions;
}

// True when the process that made the entry still holds its lock.
bool EntryIsLive(const QDir& dir, qint64 pid) {
    QLockFile probe(dir.filePath(EntryName(pid, ".lock")));
    // Only a dead owner makes a lock stale, however old the lock is.
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}

} // namespace

std::string InstanceRegistryFolder() {
    return Folder().toStdString();
}

void SetInstanceRegistryFolder(const std::string& folder) {
    FolderOverride() = QString::fromStdString(folder);
}

void PublishTopLevelWindows() {
    Publication& p = State();
    if (p.lock || !qApp)
        return;
    p.folder = Folder();
    QDir().mkpath(p.folder);
    QFile::setPermissions(p.folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto lock = std::make_unique<QLockFile>(
        QDir(p.folder).filePath(EntryName(QCoreApplication::applicationPid(), ".lock")));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return;
    p.lock = std::move(lock);
    p.watcher = std::make_unique<CaptionWatcher>();
    qApp->installEventFilter(p.watcher.get());
    WriteTopLevelWindows();
}

void WriteTopLevelWindows() {
    Publication& p = State();
    if (!p.lock)
        return;
    QSaveFile file(
        QDir(p.folder).filePath(EntryName(QCoreApplication::applicationPid(), ".titles")));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const QString& caption : OwnCaptions())
        file.write(caption.toUtf8() + '\n');
    CommitWhole(file);
}

void WithdrawTopLevelWindows() {
    Publication& p = State();
    if (!p.lock)
        return;
    if (qApp)
        qApp->removeEventFilter(p.watcher.get());
    p.watcher.reset();
    QFile::remove(
        QDir(p.folder).filePath(EntryName(QCoreApplication::applicationPid(), ".titles")));
    p.lock.reset(); // unlocks and removes the lock file
}

std::vector<std::string> OtherInstancesCaptions() {
    std::vector<std::string> captions;
    const QDir dir(Folder());
    const qint64 own = QCoreApplication::applicationPid();
    for (const QString& name : dir.entryList({"*.titles"}, QDir::Files)) {
        bool ok = false;
        const qint64 pid = name.chopped(7).toLongLong(&ok);
        if (!ok || pid == own)
            continue;
        if (!EntryIsLive(dir, pid)) {
            QFile::remove(dir.filePath(name));
            continue;
        }
        QFile file(dir.filePath(name));
        // A caption list is a few lines; anything larger is not ours.
        if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024)
            continue;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                captions.push_back(line.toStdString());
    }
    return captions;
}

} // namespace platform
