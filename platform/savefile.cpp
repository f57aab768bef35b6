#include "platform/savefile.h"

#include <QSaveFile>

namespace platform {

bool CommitWhole(QSaveFile& file) {
    if (file.flush() && file.commit())
        return true;
    file.cancelWriting();
    return false;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return CommitWhole(file);
}

} // namespace platform
