#pragma once
// The framework's print procedures over Qt's printers: the program's
// printer, printing a document's pages after the system print dialog, the
// print preview that paints the same pages, and the printer set-up. The
// document side (what to ask before printing, what to paint on a page) is
// a print client; the dialogs go through the user services, so tests
// script them.

#include "platform/wintypes.h"

#include <string>

class CDC;
class QPrinter;
class QWidget;

namespace platform {

// What the print procedures tell the client about the job.
struct CPrintInfo {
    bool m_bPreview = false; // painting for the preview, not the printer
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
    UINT m_nCurPage = 1;

    void SetMaxPage(UINT page) { m_nMaxPage = page; }
};

class CPrintClient {
public:
    virtual ~CPrintClient() = default;
    // Runs before any dialog; FALSE cancels the print or the preview.
    virtual BOOL OnPreparePrinting(CPrintInfo* info) = 0;
    // Paints page info->m_nCurPage on a printing context (the printer or
    // the preview).
    virtual void OnPrint(CDC* dc, CPrintInfo* info) = 0;
};

// The printer printing and preview use, made on first use at the printer's
// own resolution; the printer set-up changes it for the rest of the run.
QPrinter& ProgramPrinter();

// Makes the printer write a PDF file at the path instead of printing.
void SetPdfOutput(QPrinter* printer, const std::string& path);

// The print command: the client's preparation, the system print dialog,
// then every page from the first to the last. Shows
// "Error: could not start printing" when the printer cannot be opened. A
// PDF file is replaced only by a whole one; when it cannot be written
// "Error: could not write file <%s>." is shown and the old file stays.
// TRUE when the pages went to the printer. printer null: the program's.
BOOL DoPrint(QWidget* owner, CPrintClient* client, QPrinter* printer = nullptr);

// The print preview command: the client's preparation (no print dialog),
// then the preview window, which paints the pages through the client.
// FALSE when the preparation cancelled.
BOOL DoPrintPreview(QWidget* owner, CPrintClient* client, QPrinter* printer = nullptr);

// The printer set-up command: the set-up dialog on the program's printer.
BOOL DoPrintSetup(QWidget* owner, QPrinter* printer = nullptr);

} // namespace platform
