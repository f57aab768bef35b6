// A design opened and saved unchanged is written byte for byte as it was
// read: every bundled template and a design of every kind of layer, at
// three window sizes, in the program and in morvane-render. The page shows
// the proportion the design was saved with.

#include "programtest.h"

#include "controls/editcontrol.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "popups/textwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

using programtest::Click;
using programtest::ReadFile;

const QString kRenderer = QStringLiteral(MORVANE_STAGE_DIR "/morvane-render");
// Wide, the program's own and tall: the page is fitted by its height, by
// either side, and by its width.
const QSize kWindowSizes[] = {{1200, 700}, {812, 650}, {700, 900}};

QStringList BundledTemplates() {
    QStringList templates;
    const QDir root(QStringLiteral(MORVANE_STAGE_DIR "/res/Tmplts"));
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        for (const QString& name :
             QDir(root.filePath(folder)).entryList({QStringLiteral("*.prt")}, QDir::Files))
            templates << root.filePath(folder + "/" + name);
    return templates;
}

// The design through morvane-render into a design file again.
std::string Rendered(const QString& design, const QString& out) {
    QProcess process;
    process.start(kRenderer, {design, out});
    EXPECT_TRUE(process.waitForFinished(60000)) << design.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return ReadFile(out);
}

class DesignRoundTripTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
    }

    std::string Temp(const char* name) const { return m_folder.filePath(name).toStdString(); }
    QWidget* Control(int id) const { return programtest::Widget(View(), id); }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    void Open(const std::string& path) {
        services.fileAnswers.push_back(path);
        Key(Qt::Key_O);
    }
    void Save(const std::string& path) {
        services.fileAnswers.push_back(path);
        Click(Control(ID_SAVE));
    }
    void SizeWindow(QSize size) {
        Frame()->resize(size);
        QApplication::processEvents();
    }
    // Opened and saved at once: the same bytes; the page shows the
    // proportion written in the design, to a pixel.
    void ExpectRoundTrip(const QString& path, QSize window) {
        SCOPED_TRACE(path.toStdString() + " in a window of " + std::to_string(window.width()) +
                     " x " + std::to_string(window.height()));
        services.Clear();
        Open(path.toStdString());
        Save(Temp("again.prt"));
        ASSERT_EQ(services.messages.size(), 1u) << services.messages[0].text;
        const std::string read = ReadFile(path);
        EXPECT_EQ(ReadFile(m_folder.filePath("again.prt")), read);
        const double aspect = std::stod(programtest::Lines(read)[6]);
        const CRect page = Mixer()->GetPageRect();
        int width = 0, height = 0;
        ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
        EXPECT_EQ(width, page.Width());
        EXPECT_EQ(height, page.Height());
        EXPECT_LE(std::fabs(width - aspect * height), 1 + aspect) << width << " x " << height;
    }

    QTemporaryDir m_folder;
};

TEST_F(DesignRoundTripTest, EveryBundledTemplateIsSavedAsItWasReadAtEveryWindowSize) {
    ASSERT_TRUE(Start());
    const QStringList templates = BundledTemplates();
    ASSERT_GE(templates.size(), 20);
    for (QSize window : kWindowSizes) {
        SizeWindow(window);
        for (const QString& path : templates)
            ExpectRoundTrip(path, window);
    }
}

TEST_F(DesignRoundTripTest, ADesignOfEveryKindOfLayerIsSavedAsItWasReadAtEveryWindowSize) {
    ASSERT_TRUE(Start());
    // Clip art with its thumbnail, a picture of the user's without one and
    // a text, one of them less opaque.
    Click(Control(ID_FIRST_CATEGORY_THUMB + 7));
    Click(Control(ID_FIRST_FILE_THUMB + 7));
    QImage own(64, 40, QImage::Format_RGB32);
    own.fill(qRgb(200, 40, 90));
    ASSERT_TRUE(own.save(m_folder.filePath("own.bmp")));
    Open(Temp("own.bmp"));
    Key(Qt::Key_Minus, Qt::KeypadModifier);
    WhenPopupOpens([](QWidget* popup) {
        auto* window = dynamic_cast<CTextWindow*>(popup);
        auto* field = dynamic_cast<CEditControl*>(window->FindControl(CTextWindow::kEditId));
        field->GetEditor()->setFocus();
        QTest::keyClicks(field->GetEditor(), QStringLiteral("Zomer"));
        Click(dynamic_cast<QWidget*>(window->FindControl(CTextWindow::kOkId)));
    });
    Key(Qt::Key_T);
    ASSERT_EQ(Layers()->GetItemCount(), 3);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_TEXT);
    EXPECT_EQ(Layers()->GetItem(1)->kind, MMP_PICTURE);
    EXPECT_EQ(Layers()->GetItem(2)->kind, MMP_THUMBNAIL);
    EXPECT_LT(Layers()->GetItem(1)->opacity, 255);
    const std::string made = Temp("made.prt");
    Save(made);

    for (QSize window : kWindowSizes) {
        SizeWindow(window);
        ExpectRoundTrip(QString::fromStdString(made), window);
    }
    // Saved twice in one window without opening in between: the same.
    Save(Temp("twice.prt"));
    EXPECT_EQ(ReadFile(m_folder.filePath("twice.prt")), ReadFile(QString::fromStdString(made)));
    EXPECT_EQ(Rendered(QString::fromStdString(made), m_folder.filePath("rendered.prt")),
              ReadFile(QString::fromStdString(made)));
}

TEST_F(DesignRoundTripTest, TheRendererWritesEveryBundledTemplateAsItWasRead) {
    const QStringList templates = BundledTemplates();
    ASSERT_GE(templates.size(), 20);
    for (const QString& path : templates)
        EXPECT_EQ(Rendered(path, m_folder.filePath("rendered.prt")), ReadFile(path))
            << path.toStdString();
}

} // namespace
