#include "output.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace resbuilder {

void WriteFileAtomically(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw std::runtime_error("cannot create folder " + info.absolutePath().toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) // commit alone misses a failed last write
        throw std::runtime_error("cannot write " + path.toStdString() + ": " +
                                 file.errorString().toStdString());
}

QString ResourcePath(const QString& resDir, const QString& storedName) {
    const QString prefix = QStringLiteral("res\\");
    if (!storedName.startsWith(prefix))
        throw std::runtime_error("stored name outside res: " + storedName.toStdString());
    QString relative = storedName.mid(prefix.size());
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return resDir + QLatin1Char('/') + relative;
}

} // namespace resbuilder
