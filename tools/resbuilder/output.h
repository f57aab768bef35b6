#pragma once
// Writing the staged resource folder: whole files replaced atomically, and
// the stored names of the program ("res\\kv\\inquit") mapped onto it.

#include <QByteArray>
#include <QString>

namespace resbuilder {

// Writes the bytes to a temporary file beside the path and renames it over
// the path, creating missing folders. Throws std::runtime_error on failure.
void WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The file of a stored name inside the resource folder: "res\\kv\\ieup"
// under the folder /stage/res is /stage/res/kv/ieup. The name must start
// with "res\\".
QString ResourcePath(const QString& resDir, const QString& storedName);

} // namespace resbuilder
