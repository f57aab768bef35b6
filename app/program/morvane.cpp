// The program: one design window. Installed, it finds res/ where it is
// installed; the staged program is started in the folder that holds res/.

#include "app/morvaneapp.h"
#include "content/appsettings.h"
#include "platform/instances.h"
#include "popups/registerpopups.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavelo"));
    // Lets the desktop match the window to the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("org.morvane.Kavelo"));
    RegisterFrameworkPopups();
    platform::PublishTopLevelWindows();
    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments().mid(1))
        arguments.push_back(argument.toStdString());
    CMorvaneApp program(AppSettings());
    if (!program.InitInstance(arguments))
        return 0;
    return QApplication::exec();
}
