// The print procedures: the client's preparation comes before any dialog,
// the print dialog decides whether the pages go out, the preview paints the
// same pages, and the printer set-up changes the program's printer. PDF
// output works without any printer installed.

#include "pdfraster.h"
#include "platform/gdi/dc.h"
#include "platform/printing.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using pdfraster::RasterisePage;
using pdfraster::Rgb;
using platform::CPrintInfo;

namespace {

// A client that logs what the procedures ask and paints the top-left
// quarter of the printable area red.
class LoggingClient : public platform::CPrintClient {
public:
    BOOL OnPreparePrinting(CPrintInfo* info) override {
        log.push_back(info->m_bPreview ? "prepare preview" : "prepare print");
        if (maxPage)
            info->SetMaxPage(maxPage);
        return prepare;
    }
    void OnPrint(CDC* dc, CPrintInfo* info) override {
        log.push_back(std::string(info->m_bPreview ? "preview" : "print") + " page " +
                      std::to_string(info->m_nCurPage) + (dc->IsPrinting() ? " on a printer" : ""));
        dpi = dc->GetDeviceCaps(LOGPIXELSX);
        width = dc->GetDeviceCaps(HORZRES);
        height = dc->GetDeviceCaps(VERTRES);
        dc->FillSolidRect(0, 0, width / 2, height / 2, RGB(255, 0, 0));
    }

    BOOL prepare = TRUE;
    UINT maxPage = 1;
    std::vector<std::string> log;
    int dpi = 0, width = 0, height = 0;
};

// A printer at 100 dots per inch on a 600 x 800 point sheet with margins of
// 72 points (100 pixels) left and 36 (50 pixels) top.
void SetUpSheet(QPrinter& printer) {
    printer.setResolution(100);
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(600, 800), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF(72, 36, 36, 72),
                                      QPageLayout::Point));
}

// The red quarter of the printable area (341 x 480 of its 683 x 961
// pixels, from (100, 50) of the 834 x 1112 pixel page) on white paper.
void ExpectRedQuarter(const QImage& page) {
    ASSERT_EQ(page.size(), QSize(834, 1112));
    const struct {
        int x, y;
        unsigned colour;
    } probes[] = {{100, 50, 0xFF0000},  {99, 50, 0xFFFFFF},   {100, 49, 0xFFFFFF},
                  {440, 529, 0xFF0000}, {441, 300, 0xFFFFFF}, {300, 530, 0xFFFFFF},
                  {700, 900, 0xFFFFFF}};
    for (const auto& p : probes)
        EXPECT_EQ(Rgb(page, p.x, p.y), p.colour) << "at " << p.x << ", " << p.y;
}

} // namespace

TEST(PrintingTest, AClientThatCancelsStopsPrintingBeforeAnyDialog) {
    platform::ScopedScriptedServices script;
    LoggingClient client;
    client.prepare = FALSE;
    QPrinter printer;
    EXPECT_FALSE(platform::DoPrint(nullptr, &client, &printer));
    EXPECT_FALSE(platform::DoPrintPreview(nullptr, &client, &printer));
    EXPECT_EQ(client.log, (std::vector<std::string>{"prepare print", "prepare preview"}));
    EXPECT_TRUE(script.printDialogs.empty());
    EXPECT_TRUE(script.previews.empty());
    EXPECT_FALSE(platform::DoPrint(nullptr, nullptr, &printer));
}

TEST(PrintingTest, ACancelledPrintDialogPaintsNothing) {
    platform::ScopedScriptedServices script;
    LoggingClient client;
    QWidget owner;
    QPrinter printer;
    EXPECT_FALSE(platform::DoPrint(&owner, &client, &printer));
    EXPECT_EQ(client.log, (std::vector<std::string>{"prepare print"}));
    ASSERT_EQ(script.printDialogs.size(), 1u);
    EXPECT_EQ(script.printDialogs[0].owner, &owner);
    EXPECT_EQ(script.printDialogs[0].printer, &printer);
    EXPECT_EQ(script.printDialogs[0].minPage, 1);
    EXPECT_EQ(script.printDialogs[0].maxPage, 1);
}

TEST(PrintingTest, PrintingToAPdfFileNeedsNoPrinter) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/print.pdf";
    script.printAnswers = {pdf};
    LoggingClient client;
    QPrinter printer(QPrinter::HighResolution);
    SetUpSheet(printer);
    EXPECT_TRUE(platform::DoPrint(nullptr, &client, &printer));
    EXPECT_EQ(client.log, (std::vector<std::string>{"prepare print", "print page 1 on a printer"}));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(client.dpi, 100);
    EXPECT_EQ(client.width, 683) << "492 points";
    EXPECT_EQ(client.height, 961) << "692 points";
    ExpectRedQuarter(RasterisePage(pdf, 100, dir.Str()));
}

TEST(PrintingTest, EveryPageOfTheDocumentIsPaintedInTurn) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    script.printAnswers = {dir.Str() + "/three.pdf", dir.Str() + "/one.pdf"};
    LoggingClient client;
    client.maxPage = 3;
    QPrinter printer(QPrinter::HighResolution);
    EXPECT_TRUE(platform::DoPrint(nullptr, &client, &printer));
    EXPECT_EQ(script.printDialogs[0].maxPage, 3);
    // A document that never says how long it is prints one page.
    client.maxPage = 0;
    EXPECT_TRUE(platform::DoPrint(nullptr, &client, &printer));
    EXPECT_EQ(client.log,
              (std::vector<std::string>{"prepare print", "print page 1 on a printer",
                                        "print page 2 on a printer", "print page 3 on a printer",
                                        "prepare print", "print page 1 on a printer"}));
    EXPECT_EQ(script.printDialogs[1].maxPage, 1);
    const std::string three = testsupport::ReadFile(dir.Str() + "/three.pdf");
    EXPECT_NE(three.find("/Count 3"), std::string::npos) << "a PDF file of three pages";
}

TEST(PrintingTest, AFileThatCannotBeWrittenIsReported) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    script.printAnswers = {dir.Str() + "/no such folder/print.pdf"};
    LoggingClient client;
    QPrinter printer;
    EXPECT_FALSE(platform::DoPrint(nullptr, &client, &printer));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, "Error: could not start printing");
    EXPECT_EQ(client.log, (std::vector<std::string>{"prepare print"}));
}

TEST(PrintingTest, PreviewPaintsThePagesWithoutAPrintDialog) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    const std::string shown = dir.Str() + "/preview.pdf";
    script.previewAnswers = {shown};
    LoggingClient client;
    QPrinter printer(QPrinter::HighResolution);
    SetUpSheet(printer);
    printer.setOutputFileName(QString::fromStdString(dir.Str() + "/mine.pdf"));
    QWidget owner;
    EXPECT_TRUE(platform::DoPrintPreview(&owner, &client, &printer));
    EXPECT_EQ(client.log,
              (std::vector<std::string>{"prepare preview", "preview page 1 on a printer"}));
    EXPECT_TRUE(script.printDialogs.empty());
    ASSERT_EQ(script.previews.size(), 1u);
    EXPECT_EQ(script.previews[0].owner, &owner);
    EXPECT_EQ(script.previews[0].printer, &printer);
    EXPECT_EQ(client.dpi, 100) << "the preview paints at the printer's resolution";
    EXPECT_EQ(client.width, 683);
    ExpectRedQuarter(RasterisePage(shown, 100, dir.Str()));
    EXPECT_EQ(printer.outputFileName().toStdString(), dir.Str() + "/mine.pdf")
        << "the printer itself is left as it was";

    // A preview closed before it drew anything.
    client.log.clear();
    EXPECT_TRUE(platform::DoPrintPreview(&owner, &client, &printer));
    EXPECT_EQ(client.log, (std::vector<std::string>{"prepare preview"}));
}

TEST(PrintingTest, PrinterSetUpChangesTheProgramsPrinter) {
    platform::ScopedScriptedServices script;
    QPrinter& printer = platform::ProgramPrinter();
    EXPECT_EQ(&platform::ProgramPrinter(), &printer) << "one printer for the run";
    const QPageLayout::Orientation before = printer.pageLayout().orientation();
    EXPECT_FALSE(platform::DoPrintSetup(nullptr)) << "cancelled";
    EXPECT_EQ(printer.pageLayout().orientation(), before);
    script.pageSetupAnswers = {[](QPrinter* p) {
        p->setPageOrientation(QPageLayout::Landscape);
        p->setPageSize(QPageSize(QPageSize::A5));
        return true;
    }};
    EXPECT_TRUE(platform::DoPrintSetup(nullptr));
    ASSERT_EQ(script.pageSetupDialogs.size(), 2u);
    EXPECT_EQ(script.pageSetupDialogs[1].printer, &printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    // The next print goes to the changed printer.
    testsupport::TempDir dir;
    script.printAnswers = {dir.Str() + "/a5.pdf"};
    LoggingClient client;
    EXPECT_TRUE(platform::DoPrint(nullptr, &client));
    EXPECT_EQ(script.printDialogs[0].printer, &printer);
    EXPECT_GT(client.width, client.height) << "landscape";
    printer.setPageOrientation(before);
}

TEST(PrintingTest, UnscriptedPrintDialogsFailTheTest) {
    QPrinter printer;
    EXPECT_NONFATAL_FAILURE(platform::Services().PrintDialog({nullptr, &printer, 1, 1}),
                            "unexpected print dialog");
    EXPECT_NONFATAL_FAILURE(platform::Services().PageSetupDialog({nullptr, &printer}),
                            "unexpected printer set-up dialog");
    EXPECT_NONFATAL_FAILURE(platform::Services().PrintPreview({nullptr, &printer}, {}),
                            "unexpected print preview");
    LOGFONTA font{};
    EXPECT_NONFATAL_FAILURE(platform::Services().FontDialog(nullptr, &font, 0),
                            "unexpected font dialog");
}

namespace {

// Accepts the modal dialog once it is up, or gives up after a few seconds.
void AcceptModalDialogSoon(bool* accepted) {
    auto* timer = new QTimer;
    auto* tries = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, accepted] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            *accepted = true;
            dialog->accept();
        } else if (++*tries < 100) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete tries;
    });
    timer->start(50);
}

} // namespace

TEST(PrintingTest, TheSystemDialogsOpenOnThePrinter) {
    testsupport::TempDir dir;
    const std::string pdf = dir.Str() + "/chosen.pdf";
    QPrinter printer(QPrinter::HighResolution);
    platform::SetPdfOutput(&printer, pdf);
    bool accepted = false;
    AcceptModalDialogSoon(&accepted);
    EXPECT_TRUE(platform::QtDialogs().PrintDialog({nullptr, &printer, 1, 1}));
    EXPECT_TRUE(accepted);
    // Accepted as it opened: print to the PDF file.
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(QFileInfo(printer.outputFileName()).absoluteFilePath().toStdString(), pdf);

    accepted = false;
    AcceptModalDialogSoon(&accepted);
    EXPECT_TRUE(platform::QtDialogs().PageSetupDialog({nullptr, &printer}));
    EXPECT_TRUE(accepted);

    // The preview paints through the callback on the printer it was given.
    int paints = 0;
    int dpi = 0;
    accepted = false;
    AcceptModalDialogSoon(&accepted);
    platform::QtDialogs().PrintPreview({nullptr, &printer}, [&](QPrinter* target) {
        ++paints;
        dpi = target->resolution();
        QPainter painter(target);
        CDC dc(&painter);
        dc.FillSolidRect(0, 0, 100, 100, RGB(0, 0, 255));
    });
    EXPECT_TRUE(accepted);
    EXPECT_GE(paints, 1);
    EXPECT_EQ(dpi, printer.resolution());
}
