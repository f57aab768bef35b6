#include "platform/cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

void BeginWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWaitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform
