// The view's popups as the user meets them: the text window for adding and
// editing text layers, the wizard, and the page print window before a
// print into a PDF file.

#include "programtest.h"

#include "content/appsettings.h"
#include "controls/editcontrol.h"
#include "controls/thumbstrip.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "popups/pageprintwindow.h"
#include "popups/textwindow.h"
#include "popups/wizardwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

using programtest::Click;
using programtest::Widget;

QWidget* ControlOf(QWidget* popup, int id) {
    auto* manager = dynamic_cast<CControlManager*>(popup);
    return manager ? dynamic_cast<QWidget*>(manager->FindControl(id)) : nullptr;
}

// What the text window showed when it opened.
struct Opened {
    std::string text;
    COLORREF colour = 0;
    int alignment = -1;
    bool seen = false;
};

class ViewPopupsTest : public ProgramTest {
protected:
    void Key(int key) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key));
        QApplication::processEvents();
    }
    void AddClipArt(int thumb) {
        auto* strip = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_CATEGORY_STRIP));
        ASSERT_NE(strip, nullptr);
        Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
        Click(Widget(View(), ID_FIRST_FILE_THUMB + thumb));
    }
    // Opens the text window with the key, replaces its text and confirms it.
    Opened WriteText(int key, const QString& text, bool confirm = true) {
        Opened opened;
        WhenPopupOpens([&](QWidget* popup) {
            auto* window = dynamic_cast<CTextWindow*>(popup);
            auto* field = dynamic_cast<CEditControl*>(window->FindControl(CTextWindow::kEditId));
            opened = {field->GetWindowText(), window->GetColor(), window->GetAlignment(), true};
            QWidget* editor = field->GetEditor();
            editor->setFocus();
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
            Click(ControlOf(popup, confirm ? CTextWindow::kOkId : CTextWindow::kCancelId));
        });
        Key(key);
        return opened;
    }
};

TEST_F(ViewPopupsTest, AddTextTwiceOpensTheSecondWindowWithTheFirstValues) {
    ASSERT_TRUE(Start());
    const Opened first = WriteText(Qt::Key_T, QStringLiteral("Hallo"));
    ASSERT_TRUE(first.seen);
    EXPECT_EQ(first.text, "");
    EXPECT_EQ(first.colour, COLORREF(0x00FFA096));
    EXPECT_EQ(first.alignment, 0);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_TEXT);
    EXPECT_EQ(Layers()->GetItem(0)->text, "Hallo");
    // The letters typed into the text field are no commands of the frame:
    // H would have opened the help, O the load dialog.
    EXPECT_TRUE(services.shellOpens.empty());
    EXPECT_TRUE(services.fileDialogs.empty());
    // A text is selected: it can be edited.
    EXPECT_TRUE(dynamic_cast<QWidget*>(View()->FindControl(ID_EDIT_TEXT))->isEnabled());

    const Opened second = WriteText(Qt::Key_T, QStringLiteral("ignored"), false);
    ASSERT_TRUE(second.seen);
    EXPECT_EQ(second.text, "Hallo");
    EXPECT_EQ(second.colour, COLORREF(0x00FFA096));
    EXPECT_EQ(Layers()->GetItemCount(), 1); // cancelled
}

TEST_F(ViewPopupsTest, EditingATextAtIndexTwoOfFourKeepsItsPlaceAndBox) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    WriteText(Qt::Key_T, QStringLiteral("Een"));
    AddClipArt(1);
    AddClipArt(2);
    ASSERT_EQ(Layers()->GetItemCount(), 4);
    ASSERT_EQ(Layers()->GetItem(2)->text, "Een");
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    ASSERT_EQ(Layers()->m_nCurrent, 2);
    const int oldKey = Layers()->GetItem(2)->serial;
    CLayerChannel* old = Mixer()->GetLayer(Mixer()->FindLayerByKey(oldKey));
    ASSERT_NE(old, nullptr);
    const CRect box(int(old->m_dX), int(old->m_dY), int(old->m_dX) + int(old->m_dWidth),
                    int(old->m_dY) + int(old->m_dHeight));

    const Opened opened = WriteText(Qt::Key_E, QStringLiteral("Twee"));
    EXPECT_EQ(opened.text, "Een");
    ASSERT_EQ(Layers()->GetItemCount(), 4);
    EXPECT_EQ(Layers()->m_nCurrent, 2);
    EXPECT_EQ(Layers()->GetItem(2)->text, "Twee");
    CLayerChannel* now = Mixer()->GetLayer(Mixer()->FindLayerByKey(Layers()->GetItem(2)->serial));
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(CRect(int(now->m_dX), int(now->m_dY), int(now->m_dX) + int(now->m_dWidth),
                    int(now->m_dY) + int(now->m_dHeight)),
              box);
    EXPECT_EQ(Mixer()->m_pSelected, now);
}

TEST_F(ViewPopupsTest, EditWithoutASelectedItemAddsTheTextInFront) {
    ASSERT_TRUE(Start());
    WriteText(Qt::Key_E, QStringLiteral("Los"));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->text, "Los");
}

TEST_F(ViewPopupsTest, WizardOnRequestOffersTheStartCheckBoxAndItsTemplatesOpenTheLoadDialog) {
    ASSERT_TRUE(Start()); // the wizard is switched off for the start
    std::string caption;
    int checkBox = -1;
    WhenPopupOpens([&](QWidget* popup) {
        auto* wizard = dynamic_cast<CWizardWindow*>(popup);
        checkBox = wizard->HasCheckBox();
        caption = wizard->m_strCheckBoxCaption;
        Click(ControlOf(popup, CWizardWindow::kSecondChoiceId));
    });
    Key(Qt::Key_W);
    EXPECT_EQ(checkBox, 1);
    EXPECT_EQ(caption, "Toon dit venster bij de start");
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_TRUE(services.fileDialogs[0].open);
    EXPECT_EQ(services.fileDialogs[0].initialPath,
              AppSettings().GetProgramFolder() + "res\\Tmplts\\Kavelos");
}

// The real file dialog in place of the scripted one: the folder it shows
// and the name it offers are noted, then the user cancels it.
class RealFileDialog : public platform::ScriptedServices {
public:
    std::optional<std::string> FileDialog(const platform::FileDialogRequest& request) override {
        auto* timer = new QTimer(qApp);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [this, timer]() {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer->stop();
            timer->deleteLater();
            shownFolder = dialog->directory().absolutePath();
            shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        timer->start();
        return platform::QtDialogs().FileDialog(request);
    }
    QString shownFolder, shownName = QStringLiteral("none shown");
};

TEST_F(ViewPopupsTest, TheWizardsTemplatesOpenTheLoadDialogInsideTheirFolder) {
    ASSERT_TRUE(Start());
    RealFileDialog real;
    platform::UserServices* scripted = platform::SetServices(&real);
    WhenPopupOpens([](QWidget* popup) { Click(ControlOf(popup, CWizardWindow::kSecondChoiceId)); });
    Key(Qt::Key_W);
    platform::SetServices(scripted);
    EXPECT_EQ(real.shownFolder, QDir(QStringLiteral("res/Tmplts/Kavelos")).absolutePath());
    EXPECT_EQ(real.shownName, QString());
}

TEST_F(ViewPopupsTest, NewAfterOkEmptiesTheDesignAndTheWizardStartsABlankOne) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    services.messageAnswers = {IDOK};
    bool wizardSeen = false;
    WhenPopupOpens([&](QWidget* popup) {
        wizardSeen = dynamic_cast<CWizardWindow*>(popup) != nullptr;
        Click(ControlOf(popup, CWizardWindow::kFirstChoiceId));
    });
    Key(Qt::Key_N);
    EXPECT_TRUE(wizardSeen);
    ASSERT_EQ(services.messages.size(), 1u); // the wizard asks nothing further
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    // 0.95, as the frame normalised it to whole pixels of the page.
    EXPECT_NEAR(Mixer()->m_dAspect, 0.95, 0.005);
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "Untitled - Kavelo");
}

TEST_F(ViewPopupsTest, PrintingAsksThePageModeThenWritesThePdfThePrintDialogChose) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    testsupport::TempDir folder;
    const std::string pdf = folder.Str() + "/print.pdf";
    services.printAnswers = {pdf};
    bool pageWindowSeen = false;
    WhenPopupOpens([&](QWidget* popup) {
        pageWindowSeen = dynamic_cast<CPagePrintWindow*>(popup) != nullptr;
        Click(ControlOf(popup, 1));
    });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT)));
    EXPECT_TRUE(pageWindowSeen);
    EXPECT_EQ(View()->m_print.m_nPageMode, 1);
    ASSERT_EQ(services.printDialogs.size(), 1u);
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_GT(file.size(), 1000);
    EXPECT_FALSE(View()->IsPrinting());
}

TEST_F(ViewPopupsTest, CancellingThePageWindowEndsThePreviewBeforeItOpens) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    WhenPopupOpens([&](QWidget* popup) { Click(ControlOf(popup, 100000)); });
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT_PREVIEW)));
    EXPECT_EQ(View()->m_print.m_nPageMode, 0);
    EXPECT_TRUE(services.previews.empty());
}

// Closed as the window system closes a window (its close button, Alt+F4).
void CloseByWindowSystem(QWidget* popup) {
    QCloseEvent close;
    QApplication::sendEvent(popup->windowHandle(), &close);
}

TEST_F(ViewPopupsTest, ClosingThePageWindowOrTheWizardThroughTheWindowSystemCancels) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    services.printAnswers = {"/nonexistent/never.pdf"};
    WhenPopupOpens(CloseByWindowSystem);
    Click(dynamic_cast<QWidget*>(View()->FindControl(ID_PRINT)));
    EXPECT_EQ(View()->m_print.m_nPageMode, 0);
    EXPECT_TRUE(services.printDialogs.empty());

    // The wizard on request, after the design was allowed to go: closing
    // it keeps the design and its title.
    services.messageAnswers = {IDOK};
    bool wizardSeen = false;
    WhenPopupOpens([&](QWidget* popup) {
        wizardSeen = dynamic_cast<CWizardWindow*>(popup) != nullptr;
        CloseByWindowSystem(popup);
    });
    const QString title = Frame()->windowTitle();
    Key(Qt::Key_W);
    EXPECT_TRUE(wizardSeen);
    EXPECT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Frame()->windowTitle(), title);
    EXPECT_TRUE(services.fileDialogs.empty());
}

} // namespace
