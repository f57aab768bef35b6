// morvane-render: a design or a picture written out as a picture file or as
// a design again, from the command line and without a window, by the same
// main view, loading and saving as the program itself.
//
//   morvane-render DESIGN OUTPUT [--width N]

#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "app/programfolder.h"
#include "content/appsettings.h"
#include "imaging/dib.h"
#include "layers/layermixer.h"
#include "platform/userservices.h"
#include "popups/registerpopups.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <strings.h>

namespace {

constexpr const char* kUsage = "usage: morvane-render DESIGN OUTPUT [--width N]\n";
constexpr int kExportWidth = 1000;
constexpr int kMaxWidth = 20000;
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

struct Arguments {
    std::string design;
    std::string output;
    int width = 0; // 0: as the program exports
};

bool ParseWidth(const char* text, int* width) {
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, *width);
    return error == std::errc() && stop == end && *width >= 1 && *width <= kMaxWidth;
}

// Paths as the caller means them: relative to the caller's working folder.
std::string CallerPath(const char* path) {
    return QDir::toNativeSeparators(
               QFileInfo(QDir::current(), QString::fromLocal8Bit(path)).absoluteFilePath())
        .toStdString();
}

bool ParseArguments(int argc, char** argv, Arguments* arguments) {
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--width") == 0) {
            if (++i >= argc || !ParseWidth(argv[i], &arguments->width))
                return false;
        } else if (std::strncmp(argv[i], "--width=", 8) == 0) {
            if (!ParseWidth(argv[i] + 8, &arguments->width))
                return false;
        } else {
            paths.push_back(CallerPath(argv[i]));
        }
    }
    if (paths.size() != 2)
        return false;
    arguments->design = paths[0];
    arguments->output = paths[1];
    return true;
}

bool IsDesignPath(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && strcasecmp(path.c_str() + dot, ".prt") == 0;
}

// The page at another width than the program's export, by the mixer's own
// composition into an image of that size.
bool RenderAtWidth(CMorvaneView& view, const std::string& path, int width) {
    CLayerMixer* mixer = view.Mixer();
    const int height = int(width / mixer->m_dAspect);
    CDIB image;
    if (height < 1 || height > kMaxWidth || !image.Create(width, height, 24, nullptr)) {
        std::fprintf(stderr, "morvane-render: cannot make a picture of %d x %d pixels\n", width,
                     height);
        return false;
    }
    mixer->SynchroniseLayers();
    return mixer->RenderInto(&image, nullptr) && image.Save(path);
}

int Render(const Arguments& arguments) {
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
    const bool saved = arguments.width > 0 && !IsDesignPath(arguments.output)
                           ? RenderAtWidth(view, arguments.output, arguments.width)
                           : view.SaveDesign(arguments.output);
    if (!saved) {
        std::fprintf(stderr, "morvane-render: could not write %s\n", arguments.output.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavelo"));
    Arguments arguments;
    if (!ParseArguments(argc, argv, &arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
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
    const int status = Render(arguments);
    platform::SetServices(nullptr);
    return status;
}
