// The program hands freed memory back to the system after the work that
// frees most, once each time: a design opened, an export, a print, a new
// design.

#include "programtest.h"
#include "testsupport.h"

#include "controls/controlmanager.h"
#include "layers/layercycle.h"
#include "platform/heaptrim.h"
#include "popups/wizardwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <string>
#include <vector>

using namespace programtest;

namespace {

class ViewMemoryTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        platform::SetGiveBackFreedMemory([this] { ++m_givenBack; });
    }
    void TearDown() override {
        platform::SetGiveBackFreedMemory(nullptr);
        ProgramTest::TearDown();
    }
    void Key(int key) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key));
        QApplication::processEvents();
    }
    void ClickOkOfNextPopup(int okId) {
        WhenPopupOpens([okId](QWidget* popup) {
            Click(dynamic_cast<QWidget*>(dynamic_cast<CControlManager*>(popup)->FindControl(okId)));
        });
    }
    int m_givenBack = 0;
};

} // namespace

TEST_F(ViewMemoryTest, FreedMemoryIsGivenBackAfterOpeningExportingPrintingAndANewDesign) {
    ASSERT_TRUE(Start());
    testsupport::TempDir folder;
    const QFileInfoList templates =
        QDir(QStringLiteral("res/Tmplts/Awards")).entryInfoList({QStringLiteral("*.prt")});
    ASSERT_FALSE(templates.isEmpty());
    std::vector<int> counts;
    m_givenBack = 0;

    services.fileAnswers = {templates.front().absoluteFilePath().toStdString()};
    Key(Qt::Key_O);
    ASSERT_GT(Layers()->GetLayerCount(), 0);
    counts.push_back(m_givenBack);

    const std::string page = folder.Str() + "/page.jpg";
    services.fileAnswers = {page};
    Click(Widget(View(), ID_SAVE));
    ASSERT_GT(QFile(QString::fromStdString(page)).size(), 0);
    counts.push_back(m_givenBack);

    const std::string pdf = folder.Str() + "/print.pdf";
    services.printAnswers = {pdf};
    ClickOkOfNextPopup(1);
    Click(Widget(View(), ID_PRINT));
    ASSERT_GT(QFile(QString::fromStdString(pdf)).size(), 0);
    counts.push_back(m_givenBack);

    services.messageAnswers = {IDOK};
    ClickOkOfNextPopup(CWizardWindow::kFirstChoiceId);
    Key(Qt::Key_N);
    ASSERT_EQ(Layers()->GetLayerCount(), 0);
    counts.push_back(m_givenBack);

    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4}));
}
