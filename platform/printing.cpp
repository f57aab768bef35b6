#include "platform/printing.h"

#include "platform/gdi/dc.h"
#include "platform/pdffile.h"
#include "platform/userservices.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace platform {

namespace {

QPrinter* g_printer = nullptr;

void DeleteProgramPrinter() {
    delete g_printer;
    g_printer = nullptr;
}

// A document whose length nobody set prints one page, as the framework's
// default has it.
UINT LastPage(const CPrintInfo& info) {
    return info.m_nMaxPage == 0xFFFF ? info.m_nMinPage : info.m_nMaxPage;
}

// The pages the user asked for, within the document's.
void PageRange(const QPrinter& printer, const CPrintInfo& info, UINT* first, UINT* last) {
    *first = info.m_nMinPage;
    *last = std::max(info.m_nMinPage, LastPage(info));
    if (printer.fromPage() > 0 && printer.toPage() >= printer.fromPage()) {
        *first = std::max(*first, UINT(printer.fromPage()));
        *last = std::min(*last, UINT(printer.toPage()));
    }
}

// Paints the pages through the client, each on its own sheet.
bool PaintPagesOn(QPrinter* printer, CPrintClient* client, CPrintInfo* info) {
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    UINT first = 1, last = 1;
    PageRange(*printer, *info, &first, &last);
    for (UINT page = first; page <= last; ++page) {
        if (page > first)
            printer->newPage();
        info->m_nCurPage = page;
        CDC dc(&painter);
        client->OnPrint(&dc, info);
    }
    return painter.end();
}

} // namespace

QPrinter& ProgramPrinter() {
    if (!g_printer) {
        g_printer = new QPrinter(QPrinter::HighResolution);
        // The printer goes with the application object, not after it.
        qAddPostRoutine(DeleteProgramPrinter);
    }
    return *g_printer;
}

void SetPdfOutput(QPrinter* printer, const std::string& path) {
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
}

BOOL DoPrint(QWidget* owner, CPrintClient* client, QPrinter* printer) {
    if (!client)
        return FALSE;
    if (!printer)
        printer = &ProgramPrinter();
    CPrintInfo info;
    if (!client->OnPreparePrinting(&info))
        return FALSE;
    printer->setFromTo(0, 0);
    if (!Services().PrintDialog({owner, printer, int(info.m_nMinPage), int(LastPage(info))}))
        return FALSE;
    // A PDF file is replaced only by a whole one.
    CPdfFileOutput file(printer);
    if ((file.Active() && !file.Opened()) || !PaintPagesOn(printer, client, &info)) {
        AfxMessageBox("Error: could not start printing");
        return FALSE;
    }
    if (!file.Commit()) {
        AfxMessageBox("Error: could not write file <" + file.Target() + ">.");
        return FALSE;
    }
    return TRUE;
}

BOOL DoPrintPreview(QWidget* owner, CPrintClient* client, QPrinter* printer) {
    if (!client)
        return FALSE;
    if (!printer)
        printer = &ProgramPrinter();
    CPrintInfo info;
    info.m_bPreview = true;
    if (!client->OnPreparePrinting(&info))
        return FALSE;
    printer->setFromTo(0, 0);
    Services().PrintPreview({owner, printer}, [client, &info](QPrinter* target) {
        CPrintInfo pages = info;
        PaintPagesOn(target, client, &pages);
    });
    return TRUE;
}

BOOL DoPrintSetup(QWidget* owner, QPrinter* printer) {
    return Services().PageSetupDialog({owner, printer ? printer : &ProgramPrinter()}) ? TRUE
                                                                                      : FALSE;
}

} // namespace platform
