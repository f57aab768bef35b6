// The program: one design window. Installed, it finds res/ where it is
// installed; the staged program is started in the folder that holds res/.

#include "app/morvaneapp.h"
#include "content/appsettings.h"
#include "platform/instances.h"
#include "popups/registerpopups.h"

#include <QApplication>
#include <QLoggingCategory>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavelo"));
    // Lets the desktop match the window to the installed desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("org.morvane.Kavelo"));
    // The bundled drawings use a few features Qt Svg leaves out and says so
    // for every drawing printed; the pictures are checked as Qt draws them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
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
