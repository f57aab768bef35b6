// morvane-render: a design or a picture written out as a picture file, a
// printed PDF or a design again, from the command line and without a
// window, by the same main view, loading, saving and printing as the
// program itself.
//
//   morvane-render DESIGN OUTPUT [options]   (see the README)

#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "app/programfolder.h"
#include "app/render/renderarguments.h"
#include "content/appsettings.h"
#include "imaging/dib.h"
#include "layers/layermixer.h"
#include "platform/gdi/dc.h"
#include "platform/printing.h"
#include "platform/userservices.h"
#include "popups/exportsizewindow.h"
#include "popups/registerpopups.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: morvane-render DESIGN OUTPUT [options]\n"
    "  OUTPUT .bmp .jpg .tif .png: [--width N] or [--cm W] [--dpi N] [--transparent]\n"
    "  OUTPUT .pdf: [--mode 1|2|3] [--cm WxH] [--keep-aspect|--no-keep-aspect] [--fill]\n"
    "               [--dark] [--marks] [--paper A4|Letter] [--dpi N]\n"
    "  OUTPUT .prt: the design written again\n";
constexpr int kExportWidth = 1000;
constexpr int kMaxWidth = 20000;
constexpr double kCmPerInch = 2.54;
// The view's client size in the program's default window.
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;

// Nobody is there to answer: every message goes to the standard error, a
// question is declined and a file dialog cancelled, so a missing picture
// is reported and skipped.
class CConsoleServices : public platform::UserServices {
public:
    int MessageBox(const platform::MessageBoxRequest& request) override {
        std::fprintf(stderr, "morvane-render: %s\n", request.text.c_str());
        const UINT buttons = request.type & 0xF;
        return buttons == MB_OKCANCEL ? IDCANCEL : buttons == MB_YESNO ? IDNO : IDOK;
    }
    std::optional<std::string> FileDialog(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<COLORREF> ColorDialog(QWidget*, COLORREF) override { return std::nullopt; }
    bool FontDialog(QWidget*, LOGFONTA*, DWORD) override { return false; }
    bool PrintDialog(const platform::PrintDialogRequest&) override { return false; }
    bool PageSetupDialog(const platform::PrinterRequest&) override { return false; }
    void PrintPreview(const platform::PrinterRequest&, const platform::PaintPages&) override {}
    int ShellExecute(const std::string&, const std::string&) override { return 0; }
};

// Paths as the caller means them: relative to the caller's working folder.
std::string CallerPath(const std::string& path) {
    return QDir::toNativeSeparators(
               QFileInfo(QDir::current(), QString::fromLocal8Bit(path.c_str())).absoluteFilePath())
        .toStdString();
}

// The page at another width than the program's export, by the mixer's own
// composition into an image of that size.
bool RenderAtWidth(CMorvaneView& view, const std::string& path, int width, double dpi) {
    CLayerMixer* mixer = view.Mixer();
    const int height = int(width / mixer->m_dAspect);
    CDIB image;
    if (height < 1 || height > kMaxWidth || !image.Create(width, height, 24, nullptr)) {
        std::fprintf(stderr, "morvane-render: cannot make a picture of %d x %d pixels\n", width,
                     height);
        return false;
    }
    mixer->SynchroniseLayers();
    if (!mixer->RenderInto(&image, nullptr))
        return false;
    image.SetResolution(dpi, dpi);
    return image.Save(path);
}

// The design printed onto a PDF printer through the program's print
// routine, as the print command prints it after the page print window.
int PrintToPdf(CMorvaneView& view, const render::Arguments& arguments) {
    QPrinter printer(QPrinter::HighResolution);
    platform::SetPdfOutput(&printer, arguments.output);
    printer.setResolution(arguments.printerDpi);
    printer.setPageSize(QPageSize(arguments.paper == "A4" ? QPageSize::A4 : QPageSize::Letter));
    CPrintSettings& print = view.m_print;
    print.m_nPageMode = arguments.mode ? arguments.mode : print.m_nPageMode ? print.m_nPageMode : 1;
    if (arguments.keepAspect)
        print.m_nKeepAspect = *arguments.keepAspect ? 1 : 0;
    print.m_nFillPage = arguments.fill ? 1 : 0;
    print.m_nWidth = arguments.widthCmWhole;
    print.m_nHeight = arguments.heightCmWhole;
    print.m_nDarkFabric = arguments.dark ? 1 : 0;
    print.m_nCutMarks = arguments.marks ? 1 : 0;
    if (print.m_nPageMode == 3 && (print.m_nWidth <= 0 || print.m_nHeight <= 0)) {
        std::fprintf(stderr, "morvane-render: the design prints at its own size: give --cm WxH\n%s",
                     kUsage);
        return 2;
    }
    view.Mixer()->SynchroniseLayers();
    QPainter painter;
    if (!painter.begin(&printer))
        return 1;
    CDC dc(&painter);
    const bool printed = view.PrintDesign(&dc);
    return painter.end() && printed ? 0 : 1;
}

// A picture made for printing: the width in centimetres at the resolution,
// as the PNG export of the program makes it.
bool ExportAtSize(CMorvaneView& view, const render::Arguments& arguments) {
    CLayerMixer* mixer = view.Mixer();
    const CSize size =
        CExportSizeWindow::PixelSize(arguments.widthCm, arguments.dpi, mixer->m_dAspect);
    if (size.cx < 1 || size.cy < 1 || (long long)size.cx * size.cy > kMaxCopyPixels) {
        std::fprintf(stderr,
                     "morvane-render: %g cm at %d dpi makes %ld x %ld pixels, more than %lld "
                     "million\n",
                     arguments.widthCm, arguments.dpi, long(size.cx), long(size.cy),
                     kMaxCopyPixels / 1000000);
        return false;
    }
    mixer->SynchroniseLayers();
    return mixer->ExportAtSize(arguments.output, size.cx, size.cy, arguments.dpi,
                               arguments.transparent);
}

// The exit status: 0 written, 1 not written, 2 the arguments do not fit
// the design.
int WriteOutput(CMorvaneView& view, const render::Arguments& arguments) {
    bool written = false;
    switch (arguments.kind) {
    case render::OutputKind::kPrint:
        return PrintToPdf(view, arguments);
    case render::OutputKind::kPicture:
        if (arguments.atSize)
            written = ExportAtSize(view, arguments);
        else if (arguments.width > 0)
            written = RenderAtWidth(view, arguments.output, arguments.width,
                                    arguments.width / (view.DefaultPrintWidthCm() / kCmPerInch));
        else
            written = view.SaveDesign(arguments.output);
        break;
    case render::OutputKind::kDesign:
        written = view.SaveDesign(arguments.output);
        break;
    }
    return written ? 0 : 1;
}

int Render(const render::Arguments& arguments) {
    CMorvaneView view;
    if (!view.BuildSurface(kViewWidth, kViewHeight)) {
        std::fprintf(stderr, "morvane-render: the editing surface could not be built in %s\n",
                     AppSettings().GetProgramFolder().c_str());
        return 3;
    }
    if (!view.LoadDesign(arguments.design)) {
        std::fprintf(stderr, "morvane-render: could not load %s\n", arguments.design.c_str());
        return 1;
    }
    const int status = WriteOutput(view, arguments);
    if (status == 1)
        std::fprintf(stderr, "morvane-render: could not write %s\n", arguments.output.c_str());
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The bundled drawings use a few features Qt Svg leaves out and says so
    // for every drawing; the pictures are checked as Qt draws them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));
    QApplication::setApplicationName(QStringLiteral("Kavelo"));
    std::string error;
    std::optional<render::Arguments> arguments =
        render::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!arguments) {
        std::fprintf(stderr, "morvane-render: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    arguments->design = CallerPath(arguments->design);
    arguments->output = CallerPath(arguments->output);
    // The program folder holds res/: the installed one, else the folder of
    // this program (the staged build). The renderer works in it, so that
    // the pictures a design names are found from any folder it is run in.
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const std::string installed = InstalledProgramFolder(executableFolder.toStdString());
    const QString programFolder =
        installed.empty() ? executableFolder : QString::fromStdString(installed);
    if (!QDir::setCurrent(programFolder) || !CMorvaneApp(AppSettings()).InitFolders()) {
        std::fputs("morvane-render: cannot enter the program folder\n", stderr);
        return 3;
    }
    // The controls' diagnostic lines are meant for no one; a renderer's
    // standard output stays clean for the caller's scripts.
    if (!std::freopen("/dev/null", "w", stdout))
        std::fputs("morvane-render: diagnostics stay on the standard output\n", stderr);
    CConsoleServices services;
    platform::SetServices(&services);
    RegisterFrameworkPopups();
    const int status = Render(*arguments);
    platform::SetServices(nullptr);
    return status;
}
