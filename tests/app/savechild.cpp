// The program in a process of its own that writes one file the way a user
// has it written, for the tests of failed and interrupted saves: those run
// it under a file-size limit, on a full disk, as a user who may not write
// the folder, or kill it before the new file takes the old one's name.
//
//   save_child KIND TARGET SETTINGS
//
// KIND: prt, bmp, jpg, tif (the save button), pdf (the print button), or
// settings (a value written into TARGET as the settings file); SETTINGS is
// the settings file of the other kinds. Every message the program shows is
// printed as "message: <text>" (a line feed in it as "\n"), then "saved: 1"
// or "saved: 0".

#include "app/mainframe.h"
#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/controlmanager.h"
#include "controls/wndcontrol.h"
#include "layers/layercycle.h"
#include "platform/instances.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "popups/registerpopups.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void Click(QWidget* widget) {
    if (!widget)
        return;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    QApplication::processEvents();
}

QWidget* Control(CControlManager* manager, int id) {
    return dynamic_cast<QWidget*>(manager->FindControl(id));
}

// OK in the page print window once it runs (full T-shirt, keep aspect).
void ConfirmPagePrintWindow() {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer]() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* popup = dynamic_cast<CPopupWindow*>(window);
            if (popup && popup->isVisible() && popup->IsRunning()) {
                timer->stop();
                timer->deleteLater();
                Click(Control(popup, 1));
                return;
            }
        }
    });
    timer->start();
}

// A design to write: a picture of the bundled clip art and a text.
bool MakeDesign(CMorvaneView* view) {
    const QStringList categories =
        QDir(QStringLiteral("res/Data")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& category : categories) {
        const QFileInfoList files = QDir(QStringLiteral("res/Data/") + category)
                                        .entryInfoList({QStringLiteral("i*.bmp")}, QDir::Files);
        if (!files.isEmpty() && view->LoadDesign(files.first().absoluteFilePath().toStdString())) {
            const std::string text = "Morvane";
            LOGFONT font{};
            font.lfHeight = -40;
            return view->LayerList()->AddTextItem(&text, &font, 0x000000FF, 1, 0, 0) >= 0;
        }
    }
    return false;
}

bool WriteSettings() {
    // A value longer than any limit the tests set.
    const std::string value(4096, 'k');
    return WriteRegistryString(value, HKEY_CURRENT_USER, "Software\\Kavelo", "wintitle") &&
           WriteRegistryDword(7, HKEY_CURRENT_USER, "Software\\Kavelo", "nruns");
}

bool SaveThroughProgram(const std::string& kind, const std::string& target,
                        platform::ScriptedServices& services) {
    AppSettings().SetStartupAbort(0);
    WriteWizardShowNextTime(0);
    RegisterFrameworkPopups();
    auto program = std::make_unique<CMorvaneApp>(AppSettings());
    if (!program->InitInstance({}) || !MakeDesign(program->View())) {
        std::printf("error: the program did not start\n");
        return false;
    }
    QApplication::processEvents();
    services.messages.clear();
    CMorvaneView* view = program->View();
    if (kind == "pdf") {
        services.printAnswers = {target};
        ConfirmPagePrintWindow();
        Click(Control(view, ID_PRINT));
        return services.printDialogs.size() == 1 && services.messages.empty();
    }
    services.fileAnswers = {target};
    Click(Control(view, ID_SAVE));
    return services.messages.size() == 1 && services.messages[0].text == target + " ... OK";
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: save_child KIND TARGET SETTINGS\n", stderr);
        return 2;
    }
    const std::string kind = argv[1], target = argv[2];
    const bool settings = kind == "settings";
    platform::UseSettingsFile(settings ? target : argv[3]);
    platform::SetInstanceRegistryFolder(QFileInfo(QString::fromUtf8(argv[3]))
                                            .dir()
                                            .filePath(QStringLiteral("instances"))
                                            .toStdString());
    platform::ScopedScriptedServices services;
    const QString programFolder = QStringLiteral(MORVANE_STAGE_DIR);
    if (!settings && !QDir::setCurrent(programFolder)) {
        std::printf("error: cannot enter the program folder\n");
        return 2;
    }
    const bool saved = settings ? WriteSettings() : SaveThroughProgram(kind, target, services);
    // One line a message: its own line feeds as "\n".
    for (const auto& message : services.messages) {
        std::string line = message.text;
        for (size_t at = 0; (at = line.find('\n', at)) != std::string::npos; at += 2)
            line.replace(at, 1, "\\n");
        std::printf("message: %s\n", line.c_str());
    }
    std::printf("saved: %d\n", saved ? 1 : 0);
    return 0;
}
