#pragma once
// Everything that asks the user something: message boxes, the file, colour
// and font choosers, the print, printer set-up and print preview windows,
// and the shell's "open". The program calls these through
// one replaceable service object, so tests can script the answers and
// record the questions instead of waiting for a person.

#include "platform/logfont.h"
#include "platform/wintypes.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

// Message box types and answers -----------------------------------------------
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONSTOP = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// File dialog flags ------------------------------------------------------------
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

// Font chooser flags ------------------------------------------------------------
constexpr DWORD CF_SCREENFONTS = 0x00000001;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
constexpr DWORD CF_NOSIMULATIONS = 0x00001000;

namespace platform {

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = MB_OK;
};

struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool open = true;
    std::string defaultExtension; // without the dot; empty for none
    std::string initialPath;      // initial name, possibly with its folder
    DWORD flags = 0;
    std::vector<std::string> filters; // Qt name filters, in the given order
};

struct FontDialogRequest {
    QWidget* owner = nullptr;
    LOGFONTA font{}; // the font the chooser opened on
    DWORD flags = 0;
};

struct PrintDialogRequest {
    QWidget* owner = nullptr;
    QPrinter* printer = nullptr;
    int minPage = 1; // the pages the document has
    int maxPage = 1;
};

struct PrinterRequest {
    QWidget* owner = nullptr;
    QPrinter* printer = nullptr;
};

// What a print preview shows: the pages painted onto the printer it gets.
using PaintPages = std::function<void(QPrinter* printer)>;

class UserServices {
public:
    virtual ~UserServices();

    // Answers IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(const MessageBoxRequest& request) = 0;
    // The chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> FileDialog(const FileDialogRequest& request) = 0;
    // The chosen colour, or nothing when the user cancelled. The chooser
    // stays above every other window while it is open.
    virtual std::optional<COLORREF> ColorDialog(QWidget* owner, COLORREF initial) = 0;
    // The font chooser on *font. TRUE with the chosen font written into
    // *font; FALSE, leaving it alone, when the user cancelled.
    virtual bool FontDialog(QWidget* owner, LOGFONTA* font, DWORD flags) = 0;
    // The system print dialog: TRUE when the user chose to print, with the
    // printer set up as chosen (a printer of the system, or a PDF file).
    virtual bool PrintDialog(const PrintDialogRequest& request) = 0;
    // The printer set-up: TRUE when the user confirmed a changed paper,
    // orientation or printer.
    virtual bool PageSetupDialog(const PrinterRequest& request) = 0;
    // The print preview window over the printer; it calls paint for the
    // pages it shows and returns when the user closes it.
    virtual void PrintPreview(const PrinterRequest& request, const PaintPages& paint) = 0;
    // Opens a document with its registered program. Results above 32 mean
    // success; smaller ones are the shell's failure codes.
    virtual int ShellExecute(const std::string& path, const std::string& verb) = 0;
};

// The services in force: the Qt dialogs unless a replacement is installed.
UserServices& Services();
// Installs a replacement (not owned); null restores the Qt dialogs. Returns
// the one that was in force before.
UserServices* SetServices(UserServices* services);

// Turns a filter of the form "Name (*.ext)|*.ext|All Files (*.*)|*.*||"
// into Qt name filters such as "Name (*.ext)" and "All Files (*)".
std::vector<std::string> ConvertFileFilter(const std::string& filter);

// The Qt dialogs themselves, whichever services are in force.
UserServices& QtDialogs();

// One answer of the scripted font chooser.
struct FontAnswer {
    bool confirm = false;
    std::optional<LOGFONTA> font; // with confirm: the font chosen; none keeps the one shown

    static FontAnswer Cancel() { return {}; }
    static FontAnswer KeepShown() { return {true, std::nullopt}; }
    static FontAnswer Choose(const LOGFONTA& font) { return {true, font}; }
};

// A stand-in that records every question and answers from queues; when a
// queue is empty it gives the default answer (OK, cancel, cancel, cancel,
// cancel, cancel, success; a preview without an answer draws nothing).
class ScriptedServices : public UserServices {
public:
    int MessageBox(const MessageBoxRequest& request) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request) override;
    std::optional<COLORREF> ColorDialog(QWidget* owner, COLORREF initial) override;
    bool FontDialog(QWidget* owner, LOGFONTA* font, DWORD flags) override;
    // A chooser is the user at the dialog: it may set the printer up (a
    // queue of the system) and says whether they printed. Without one, an
    // answer with a path sets the printer to write a PDF file there.
    bool PrintDialog(const PrintDialogRequest& request) override;
    // An answer is the user at the dialog: it may change the printer and
    // says whether they confirmed.
    bool PageSetupDialog(const PrinterRequest& request) override;
    // An answer with a path paints the pages once onto the printer set to
    // write a PDF file there, which is then what the preview showed.
    void PrintPreview(const PrinterRequest& request, const PaintPages& paint) override;
    int ShellExecute(const std::string& path, const std::string& verb) override;

    std::vector<MessageBoxRequest> messages;
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<COLORREF> colorDialogs; // initial colour of each
    std::vector<FontDialogRequest> fontDialogs;
    std::vector<PrintDialogRequest> printDialogs;
    std::vector<PrinterRequest> pageSetupDialogs;
    std::vector<PrinterRequest> previews;
    std::vector<std::pair<std::string, std::string>> shellOpens;

    std::deque<int> messageAnswers;
    int defaultMessageAnswer = IDOK;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<COLORREF>> colorAnswers;
    std::deque<FontAnswer> fontAnswers;
    std::deque<std::function<bool(QPrinter*)>> printChoosers;
    std::deque<std::optional<std::string>> printAnswers; // PDF path, or cancel
    std::deque<std::function<bool(QPrinter*)>> pageSetupAnswers;
    std::deque<std::optional<std::string>> previewAnswers; // PDF path, or closed at once
    std::deque<int> shellResults;
    int defaultShellResult = 42;

    void Clear();
};

// Installs a scripted stand-in for the lifetime of the object.
class ScopedScriptedServices : public ScriptedServices {
public:
    ScopedScriptedServices() : m_previous(SetServices(this)) {}
    ~ScopedScriptedServices() override { SetServices(m_previous); }
    ScopedScriptedServices(const ScopedScriptedServices&) = delete;
    ScopedScriptedServices& operator=(const ScopedScriptedServices&) = delete;

private:
    UserServices* m_previous;
};

// The application title, the caption of AfxMessageBox.
constexpr const char* kApplicationTitle = "Kavelo";

} // namespace platform

// Shows a message box captioned with the application title.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// Shows a message box with the given owner and caption.
int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, UINT type);
