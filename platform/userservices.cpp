#include "platform/userservices.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QUrl>

#include "platform/fontchooser.h"
#include "platform/paths.h"
#include "platform/printing.h"

namespace platform {

UserServices::~UserServices() = default;

namespace {

QMessageBox::Icon IconFor(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The extension of a name filter such as "Bitmap file (*.bmp)"; empty for
// one without ("All Files (*)").
QString FilterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([^ *)]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

// An initial folder opens the dialog inside it; an initial name is offered
// in its folder, with the file type of its extension chosen.
void StartAt(QFileDialog& dialog, const QString& initial, const QStringList& filters) {
    const QFileInfo info(initial);
    if (info.isDir()) {
        dialog.setDirectory(info.absoluteFilePath());
        return;
    }
    if (info.path() != QLatin1String("."))
        dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    for (const QString& filter : filters)
        if (!info.suffix().isEmpty() &&
            FilterSuffix(filter).compare(info.suffix(), Qt::CaseInsensitive) == 0) {
            dialog.selectNameFilter(filter);
            dialog.setDefaultSuffix(FilterSuffix(filter));
            break;
        }
}

class QtServices final : public UserServices {
public:
    int MessageBox(const MessageBoxRequest& r) override {
        QMessageBox box(IconFor(r.type), QString::fromStdString(r.caption),
                        QString::fromStdString(r.text), QMessageBox::NoButton, r.owner);
        switch (r.type & 0xF) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            // Closing the box without a choice is a cancel, as with Escape.
            return (r.type & 0xF) == MB_YESNO ? IDNO : ((r.type & 0xF) == MB_OK ? IDOK : IDCANCEL);
        }
    }

    std::optional<std::string> FileDialog(const FileDialogRequest& r) override {
        QFileDialog dialog(r.owner);
        dialog.setAcceptMode(r.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(r.open && (r.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                   : QFileDialog::AnyFile);
        QStringList filters;
        for (const auto& f : r.filters)
            filters << QString::fromStdString(f);
        dialog.setNameFilters(filters);
        const QString defaultSuffix = QString::fromStdString(r.defaultExtension);
        dialog.setDefaultSuffix(defaultSuffix);
        // A name typed without an extension takes that of the chosen type.
        QObject::connect(&dialog, &QFileDialog::filterSelected,
                         [&dialog, defaultSuffix](const QString& filter) {
                             const QString suffix = FilterSuffix(filter);
                             dialog.setDefaultSuffix(suffix.isEmpty() ? defaultSuffix : suffix);
                         });
        if (!r.initialPath.empty())
            StartAt(dialog, QString::fromStdString(NativePath(r.initialPath)), filters);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(r.flags & OFN_OVERWRITEPROMPT));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst().toStdString();
    }

    std::optional<COLORREF> ColorDialog(QWidget* owner, COLORREF initial) override {
        QColorDialog dialog(QColor(GetRValue(initial), GetGValue(initial), GetBValue(initial)),
                            owner);
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QColor c = dialog.selectedColor();
        return RGB(c.red(), c.green(), c.blue());
    }

    bool FontDialog(QWidget* owner, LOGFONTA* font, DWORD) override {
        if (!font)
            return false;
        QFontDialog dialog(owner);
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        dialog.setCurrentFont(FontForFontDialog(*font));
        const QFont shown = dialog.currentFont();
        if (dialog.exec() != QDialog::Accepted)
            return false;
        *font = LogFontFromFontDialog(dialog.selectedFont(), shown, *font);
        return true;
    }

    bool PrintDialog(const PrintDialogRequest& r) override {
        if (!r.printer)
            return false;
        QPrintDialog dialog(r.printer, r.owner);
        dialog.setMinMax(r.minPage, r.maxPage);
        // Printing to a PDF file works with no printer installed.
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, r.maxPage > r.minPage);
        return dialog.exec() == QDialog::Accepted;
    }

    bool PageSetupDialog(const PrinterRequest& r) override {
        if (!r.printer)
            return false;
        QPageSetupDialog dialog(r.printer, r.owner);
        return dialog.exec() == QDialog::Accepted;
    }

    void PrintPreview(const PrinterRequest& r, const PaintPages& paint) override {
        if (!r.printer)
            return;
        QPrintPreviewDialog dialog(r.printer, r.owner);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                         [&paint](QPrinter* printer) { paint(printer); });
        dialog.exec();
    }

    int ShellExecute(const std::string& path, const std::string& verb) override {
        if (verb != "open" && !verb.empty())
            return 31;
        const QFileInfo file(QString::fromStdString(NativePath(path)));
        if (!file.dir().exists())
            return 3;
        if (!file.exists())
            return 2;
        if (!file.isReadable())
            return 5;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? 42 : 31;
    }
};

QtServices& QtServicesInstance() {
    static QtServices services;
    return services;
}

UserServices* g_services = nullptr;

} // namespace

UserServices& Services() {
    return g_services ? *g_services : QtServicesInstance();
}

UserServices& QtDialogs() {
    return QtServicesInstance();
}

UserServices* SetServices(UserServices* services) {
    UserServices* previous = g_services;
    g_services = services;
    return previous;
}

namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// "*.bmp;*.dib" -> "*.bmp *.dib"; "*.*" means every file.
std::string QtPatterns(const std::string& patterns) {
    std::string out;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos)
            end = patterns.size();
        std::string p = Trim(patterns.substr(start, end - start));
        if (p == "*.*")
            p = "*";
        if (!p.empty()) {
            if (!out.empty())
                out += ' ';
            out += p;
        }
        start = end + 1;
    }
    return out.empty() ? "*" : out;
}

// The label without a trailing "(...)" list of patterns; Qt shows its own.
std::string LabelOf(const std::string& description) {
    std::string label = Trim(description);
    if (!label.empty() && label.back() == ')') {
        const auto open = label.rfind('(');
        if (open != std::string::npos)
            label = Trim(label.substr(0, open));
    }
    return label;
}

} // namespace

std::vector<std::string> ConvertFileFilter(const std::string& filter) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start < filter.size()) {
        size_t end = filter.find('|', start);
        if (end == std::string::npos)
            end = filter.size();
        fields.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    // The list ends at the first empty field (the "||" terminator).
    std::vector<std::string> result;
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty())
            break;
        const std::string label = LabelOf(fields[i]);
        const std::string patterns = QtPatterns(fields[i + 1]);
        // Appended piece by piece: GCC 12 warns falsely about the chained
        // operator+ in unoptimised builds.
        std::string entry = label.empty() ? patterns : label;
        if (!label.empty()) {
            entry += " (";
            entry += patterns;
            entry += ')';
        }
        result.push_back(std::move(entry));
    }
    return result;
}

// Scripted stand-in ---------------------------------------------------------

int ScriptedServices::MessageBox(const MessageBoxRequest& request) {
    messages.push_back(request);
    if (messageAnswers.empty())
        return defaultMessageAnswer;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedServices::FileDialog(const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<COLORREF> ScriptedServices::ColorDialog(QWidget*, COLORREF initial) {
    colorDialogs.push_back(initial);
    if (colorAnswers.empty())
        return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

bool ScriptedServices::FontDialog(QWidget* owner, LOGFONTA* font, DWORD flags) {
    fontDialogs.push_back({owner, font ? *font : LOGFONTA{}, flags});
    if (fontAnswers.empty())
        return false;
    const FontAnswer answer = fontAnswers.front();
    fontAnswers.pop_front();
    if (!answer.confirm || !font)
        return false;
    if (answer.font)
        *font = *answer.font;
    return true;
}

bool ScriptedServices::PrintDialog(const PrintDialogRequest& request) {
    printDialogs.push_back(request);
    if (!printChoosers.empty()) {
        const std::function<bool(QPrinter*)> user = printChoosers.front();
        printChoosers.pop_front();
        return user && request.printer && user(request.printer);
    }
    if (printAnswers.empty())
        return false;
    const std::optional<std::string> answer = printAnswers.front();
    printAnswers.pop_front();
    if (!answer || !request.printer)
        return false;
    SetPdfOutput(request.printer, *answer);
    return true;
}

bool ScriptedServices::PageSetupDialog(const PrinterRequest& request) {
    pageSetupDialogs.push_back(request);
    if (pageSetupAnswers.empty())
        return false;
    const std::function<bool(QPrinter*)> user = pageSetupAnswers.front();
    pageSetupAnswers.pop_front();
    return user && request.printer && user(request.printer);
}

void ScriptedServices::PrintPreview(const PrinterRequest& request, const PaintPages& paint) {
    previews.push_back(request);
    if (previewAnswers.empty())
        return;
    const std::optional<std::string> answer = previewAnswers.front();
    previewAnswers.pop_front();
    if (!answer || !request.printer || !paint)
        return;
    // The preview paints on the printer's own page and resolution; the
    // printer itself stays as it is.
    QPrinter shown(QPrinter::HighResolution);
    SetPdfOutput(&shown, *answer);
    shown.setResolution(request.printer->resolution());
    shown.setPageLayout(request.printer->pageLayout());
    shown.setFullPage(request.printer->fullPage());
    paint(&shown);
}

int ScriptedServices::ShellExecute(const std::string& path, const std::string& verb) {
    shellOpens.emplace_back(path, verb);
    if (shellResults.empty())
        return defaultShellResult;
    const int result = shellResults.front();
    shellResults.pop_front();
    return result;
}

void ScriptedServices::Clear() {
    messages.clear();
    fileDialogs.clear();
    colorDialogs.clear();
    fontDialogs.clear();
    printDialogs.clear();
    pageSetupDialogs.clear();
    previews.clear();
    shellOpens.clear();
    messageAnswers.clear();
    fileAnswers.clear();
    colorAnswers.clear();
    fontAnswers.clear();
    printChoosers.clear();
    printAnswers.clear();
    pageSetupAnswers.clear();
    previewAnswers.clear();
    shellResults.clear();
}

} // namespace platform

int AfxMessageBox(const std::string& text, UINT type) {
    return platform::Services().MessageBox({nullptr, text, platform::kApplicationTitle, type});
}

int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, UINT type) {
    return platform::Services().MessageBox({owner, text, caption, type});
}
