// A long run of the program in one process, as a user works with it: each
// round opens a template, adds a picture and a text, moves the text, saves
// the design, exports it, prints it to a PDF file and starts a new design,
// all through the program's keys, buttons and popups. It prints the
// resident memory every hundred rounds, checks each round's outcome and,
// built with LeakSanitizer, reports what was never freed.
//
//   morvane_soak [ROUNDS] [FOLDER]
//
// Run by tools/soak.sh; not part of the test suite.

#include "app/mainframe.h"
#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "controls/editcontrol.h"
#include "controls/wndcontrol.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/instances.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "popups/registerpopups.h"
#include "popups/textwindow.h"
#include "popups/wizardwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_LEAK_CHECKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_LEAK_CHECKS 1
#endif
#ifdef MORVANE_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

namespace {

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

#ifndef MORVANE_LEAK_CHECKS
// What the program holds of the heap (blocks of 2 MB and more are mappings
// of their own, outside it): when the resident size grows and this does not,
// the growth is heap memory freed but not given back. The sanitizer build
// has an allocator of its own, which this does not see.
size_t HeapInUseKilobytes() {
    const struct mallinfo2 info = mallinfo2();
    return (info.uordblks + info.hblkhd) / 1024;
}
#endif

void Click(QWidget* widget) {
    if (!widget)
        return;
    QTest::mouseMove(widget, widget->rect().center());
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    QApplication::processEvents();
}

// Runs the action on the popup that opens next, once its modal loop runs.
void WhenPopupOpens(std::function<void(CPopupWindow*)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action]() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* popup = dynamic_cast<CPopupWindow*>(window);
            if (popup && popup->isVisible() && popup->IsRunning()) {
                timer->stop();
                timer->deleteLater();
                action(popup);
                return;
            }
        }
    });
    timer->start();
}

class Soak {
public:
    Soak(CMorvaneApp& program, platform::ScriptedServices& services, const QString& folder)
        : m_program(program), m_services(services), m_folder(folder) {}

    // One round; the first thing that went wrong, or nothing.
    std::string Round(int round) {
        m_services.messages.clear();
        OpenTemplate(round);
        const int base = Layers()->GetLayerCount();
        if (base <= 0)
            return "the template brought no layers";
        AddClipArt(round);
        AddText("Soak " + QString::number(round));
        if (Layers()->GetLayerCount() != base + 2)
            return "the picture or the text was not added";
        if (!MoveSelected())
            return "the text did not move";
        const std::string design = Path("design.prt"), page = Path("page.jpg");
        const std::string pdf = Path("print.pdf");
        Save(design);
        Save(page);
        Print(pdf);
        for (const std::string& file : {design, page, pdf})
            if (QFile(QString::fromStdString(file)).size() <= 0)
                return file + " was not written";
        const std::vector<std::string> expected = {design + " ... OK", page + " ... OK"};
        std::vector<std::string> shown;
        for (const auto& message : m_services.messages)
            shown.push_back(message.text);
        if (shown != expected)
            return "unexpected messages, the first: " + (shown.empty() ? "none" : shown[0]);
        NewDesign();
        if (Layers()->GetLayerCount() != 0)
            return "the new design kept layers";
        return {};
    }

private:
    CMorvaneView* View() const { return m_program.View(); }
    CLayerCycle* Layers() const { return View()->LayerList(); }
    QWidget* Control(int id) const { return dynamic_cast<QWidget*>(View()->FindControl(id)); }
    std::string Path(const char* name) const {
        return QDir(m_folder).filePath(QString::fromUtf8(name)).toStdString();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        CMainFrame* frame = m_program.MainFrame();
        frame->activateWindow();
        QApplication::setActiveWindow(frame);
        QTest::keyClick(frame, Qt::Key(key), modifiers);
        QApplication::processEvents();
    }

    // The templates of every bundled folder in turn.
    void OpenTemplate(int round) {
        if (m_templates.isEmpty()) {
            QDir folder(QStringLiteral("res/Tmplts"));
            for (const QString& sub : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                for (const QFileInfo& file :
                     QDir(folder.filePath(sub)).entryInfoList({QStringLiteral("*.prt")}))
                    m_templates << file.absoluteFilePath();
        }
        if (m_templates.isEmpty())
            return;
        m_services.fileAnswers = {m_templates[round % m_templates.size()].toStdString()};
        Key(Qt::Key_O);
    }

    void AddClipArt(int round) {
        Click(Control(ID_FIRST_CATEGORY_THUMB + round % 5));
        Click(Control(ID_FIRST_FILE_THUMB + round % 3));
    }

    void AddText(const QString& text) {
        WhenPopupOpens([text](CPopupWindow* popup) {
            auto* field = dynamic_cast<CEditControl*>(popup->FindControl(CTextWindow::kEditId));
            QWidget* editor = field ? field->GetEditor() : nullptr;
            if (editor) {
                editor->setFocus();
                QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(editor, text);
            }
            Click(dynamic_cast<QWidget*>(popup->FindControl(CTextWindow::kOkId)));
        });
        Key(Qt::Key_T);
    }

    // Drags the selected layer's frame 15 pixels right and 10 down.
    bool MoveSelected() {
        CLayerMixer* mixer = View()->Mixer();
        const CRect before = mixer->m_tracker.m_rect;
        const QPoint from = QPoint(before.CenterPoint().x, before.CenterPoint().y);
        const QPoint to = from + QPoint(15, 10);
        QTimer::singleShot(0, [mixer, from, to]() {
            QTest::mouseMove(mixer, (from + to) / 2);
            QTest::mouseMove(mixer, to);
            QTest::mouseRelease(mixer, Qt::LeftButton, {}, to);
        });
        QTest::mousePress(mixer, Qt::LeftButton, {}, from);
        QApplication::processEvents();
        return mixer->m_tracker.m_rect != before;
    }

    void Save(const std::string& path) {
        m_services.fileAnswers = {path};
        Click(Control(ID_SAVE));
    }

    void Print(const std::string& path) {
        m_services.printAnswers = {path};
        WhenPopupOpens([](CPopupWindow* popup) {
            Click(dynamic_cast<QWidget*>(popup->FindControl(1))); // OK
        });
        Click(Control(ID_PRINT));
    }

    // Clears the design; the wizard that follows starts an empty one.
    void NewDesign() {
        m_services.messageAnswers = {IDOK};
        WhenPopupOpens([](CPopupWindow* popup) {
            Click(dynamic_cast<QWidget*>(popup->FindControl(CWizardWindow::kFirstChoiceId)));
        });
        Key(Qt::Key_N);
        m_services.messages.clear();
    }

    CMorvaneApp& m_program;
    platform::ScriptedServices& m_services;
    QString m_folder;
    QStringList m_templates;
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir work;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : work.path();
    platform::UseSettingsFile(QDir(folder).filePath(QStringLiteral("registry.ini")).toStdString());
    platform::SetInstanceRegistryFolder(
        QDir(folder).filePath(QStringLiteral("instances")).toStdString());
    if (!QDir::setCurrent(QStringLiteral(MORVANE_STAGE_DIR))) {
        std::fputs("morvane_soak: cannot enter the program folder\n", stderr);
        return 2;
    }
    platform::ScopedScriptedServices services;
    AppSettings().SetStartupAbort(0);
    WriteWizardShowNextTime(0);
    RegisterFrameworkPopups();
    auto program = std::make_unique<CMorvaneApp>(AppSettings());
    if (!program->InitInstance({})) {
        std::fputs("morvane_soak: the program did not start\n", stderr);
        return 2;
    }
    Soak soak(*program, services, folder);
    std::printf("round 0: %ld kB resident\n", ResidentKilobytes());
    int failures = 0;
    for (int round = 1; round <= rounds; ++round) {
        const std::string problem = soak.Round(round);
        if (!problem.empty()) {
            std::printf("round %d: %s\n", round, problem.c_str());
            if (++failures >= 10)
                break;
        }
        if (round == 1 || round % 100 == 0) {
            std::printf("round %d: %ld kB resident\n", round, ResidentKilobytes());
#ifndef MORVANE_LEAK_CHECKS
            std::printf("round %d: %zu kB heap in use\n", round, HeapInUseKilobytes());
#endif
            std::fflush(stdout);
        }
    }
    program.reset();
    QApplication::processEvents();
#ifdef MORVANE_LEAK_CHECKS
    const int leaks = __lsan_do_recoverable_leak_check();
    std::printf("leak check: %s\n", leaks ? "leaks found" : "no leaks");
#else
    const int leaks = 0;
    std::printf("leak check: not built with LeakSanitizer\n");
#endif
    std::printf("%d rounds with problems\n", failures);
    return failures || leaks ? 1 : 0;
}
