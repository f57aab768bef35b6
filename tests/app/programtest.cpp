#include "programtest.h"

#include "app/morvaneapp.h"
#include "content/appsettings.h"
#include "controls/wndcontrol.h"
#include "popups/registerpopups.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWidget>

void ProgramTest::SetUp() {
    m_previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(MORVANE_STAGE_DIR)));
    AppSettings().SetStartupAbort(0);
    WriteWindowTitle("");
    WriteLastCategory("");
    // As the program's main does: splash, about box and drag icon.
    RegisterFrameworkPopups();
}

void ProgramTest::TearDown() {
    Stop();
    QDir::setCurrent(m_previousFolder);
}

bool ProgramTest::Start(bool wizard, const std::vector<std::string>& arguments) {
    WriteWizardShowNextTime(wizard ? 1 : 0);
    m_program = std::make_unique<CMorvaneApp>(AppSettings());
    const bool started = m_program->InitInstance(arguments);
    if (CMainFrame* frame = m_program->MainFrame()) {
        // Keys go to the active window, as on a desktop.
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    }
    QApplication::processEvents();
    return started;
}

void ProgramTest::ActivateFrame() {
    if (Frame() && QApplication::activeWindow() != Frame())
        QApplication::setActiveWindow(Frame());
}

void ProgramTest::Stop() {
    m_program.reset();
    QApplication::processEvents();
}

void ProgramTest::WhenPopupOpens(std::function<void(QWidget* popup)> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
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

std::string ProgramTest::ClipArtPicture() {
    const QStringList files =
        QDir(QStringLiteral("res/Data")).entryList({QStringLiteral("i*.bmp")}, QDir::Files);
    return files.isEmpty() ? std::string() : "res\\Data\\" + files.first().toStdString();
}

namespace programtest {

QWidget* Widget(CMorvaneView* view, int id) {
    return dynamic_cast<QWidget*>(view->FindControl(id));
}

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QTest::mouseMove(widget, widget->rect().center());
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    QApplication::processEvents();
}

std::string ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace programtest
