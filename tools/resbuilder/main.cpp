// morvane_resbuilder: draws the program's run-time resource folder.
//
//   morvane_resbuilder --sources <dir> --clipart <dir> --out <stage>/res
//       builds everything: skins, backgrounds and popup pictures, the palette
//       picture, the clip-art library, the templates and the help documents.
//   morvane_resbuilder --icons <dir>
//       writes the application icon as <dir>/hicolor/<n>x<n>/apps/morvane.png
//       and the design-file icon beside it under mimetypes/.
//   morvane_resbuilder --out <stage>/res --contact-sheet <file.png>
//       draws every skin and thumbnail of an existing folder onto one sheet.
//
// Both may be given together. Run it with QT_QPA_PLATFORM=offscreen.

#include "artwork.h"
#include "bmpfile.h"
#include "clipart.h"
#include "contactsheet.h"
#include "helpdocs.h"
#include "output.h"
#include "palette.h"
#include "skins.h"
#include "templates.h"
#include "theme.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <stdexcept>

namespace {

using namespace resbuilder;

// The file that marks a folder as the builder's own, so that a rebuild may
// empty it without risk to anything else.
const char* const kMarker = ".morvane-resources";

void PrepareOutput(const QString& resDir) {
    QDir dir(resDir);
    if (dir.exists()) {
        const bool ours = QFile::exists(dir.filePath(kMarker));
        const bool empty = dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        if (!ours && !empty)
            throw std::runtime_error("refusing to replace " + resDir.toStdString() +
                                     ": it was not made by the resource builder");
        if (!dir.removeRecursively())
            throw std::runtime_error("cannot empty " + resDir.toStdString());
    }
    WriteFileAtomically(dir.filePath(kMarker), "Made by morvane_resbuilder; rebuilt at will.\n");
}

void Report(const char* part, const QElapsedTimer& timer, const QString& detail) {
    std::printf("resbuilder: %-10s %6.1f s  %s\n", part, timer.elapsed() / 1000.0,
                qPrintable(detail));
    std::fflush(stdout);
}

void BuildInterface(const QString& resDir, QList<NamedPicture>& strips) {
    QElapsedTimer timer;
    timer.start();
    const QList<QRgb> palette = DefaultPalette();
    WriteBmp8(PalettePicture(palette), ResourcePath(resDir, "res\\kv\\idefpal.bmp"));

    const QImage background = MainBackground();
    WriteBmp24(background, ResourcePath(resDir, "res\\kv\\iebgnd"));
    WriteBmp24(MatchToPalette(background, palette), ResourcePath(resDir, "res\\kv\\iebgnd8"));
    const QImage splash = SplashPicture();
    WriteBmp24(splash, ResourcePath(resDir, "res\\kv\\iesplsh"));
    WriteBmp24(MatchToPalette(splash, palette), ResourcePath(resDir, "res\\kv\\iesplsh8"));
    WriteBmp24(WizardStrip(false), ResourcePath(resDir, "res\\kv\\iewiz00"));
    WriteBmp24(WizardStrip(true), ResourcePath(resDir, "res\\kv\\iewiz01"));
    for (int mode = 0; mode < 3; ++mode)
        WriteBmp24(
            PageModePicture(mode),
            ResourcePath(resDir, QStringLiteral("res\\kv\\iepp%1").arg(mode, 2, 10, QChar('0'))));
    strips = MainViewStrips(background);
    for (const NamedPicture& s : strips)
        WriteBmp24(s.image, ResourcePath(resDir, s.storedName));
    Report("interface", timer, QStringLiteral("%1 button strips").arg(strips.size()));
}

void WritePng(const QImage& image, const QString& path) {
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG"))
        throw std::runtime_error("cannot encode " + path.toStdString());
    WriteFileAtomically(path, png.data());
}

// The application icon and the design-file icon in every size that menus,
// docks and file managers ask the hicolor theme for.
void WriteIcons(const QString& dir) {
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString sizeDir = QStringLiteral("%1/hicolor/%2x%2").arg(dir).arg(side);
        WritePng(ApplicationIcon(side), sizeDir + QStringLiteral("/apps/morvane.png"));
        WritePng(DesignFileIcon(side),
                 sizeDir + QStringLiteral("/mimetypes/application-x-kavelo-design.png"));
    }
}

int Run(const QCommandLineParser& args) {
    if (args.isSet("icons"))
        WriteIcons(args.value("icons"));
    const QString resDir = args.isSet("out") ? QDir(args.value("out")).absolutePath() : QString();
    if (args.isSet("sources")) {
        if (!args.isSet("clipart"))
            throw std::runtime_error("--sources needs --clipart");
        RequireFonts();
        const QDir sources(args.value("sources"));
        QElapsedTimer total;
        total.start();
        PrepareOutput(resDir);
        QList<NamedPicture> strips;
        BuildInterface(resDir, strips);

        QElapsedTimer timer;
        timer.start();
        const ClipArtLibrary library =
            BuildClipArt(sources.filePath("clipart.txt"), args.value("clipart"), resDir);
        Report("clip art", timer,
               QStringLiteral("%1 categories, %2 pictures")
                   .arg(library.categories.size())
                   .arg(library.PictureCount()));

        timer.restart();
        const int templates = BuildTemplates(sources.filePath("templates"), resDir, library);
        Report("templates", timer, QStringLiteral("%1 designs").arg(templates));

        timer.restart();
        BuildHelpDocuments(sources.filePath("help"), resDir, strips);
        Report("help", timer, QStringLiteral("4 documents"));
        Report("total", total, resDir);
    }
    if (args.isSet("contact-sheet")) {
        QElapsedTimer timer;
        timer.start();
        DrawContactSheet(resDir, args.value("contact-sheet"));
        Report("sheet", timer, args.value("contact-sheet"));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription("Builds the run-time resource folder of Morvane.");
    args.addHelpOption();
    args.addOption({"sources", "Folder with clipart.txt, templates/ and help/.", "dir"});
    args.addOption({"clipart", "The svg folder of openclipart-svg.", "dir"});
    args.addOption({"out", "The resource folder to write (res of the staged program).", "dir"});
    args.addOption({"icons", "Write the application icon into this icon theme folder.", "dir"});
    args.addOption({"contact-sheet", "Draw every skin and thumbnail into this PNG.", "file"});
    args.process(app);
    const bool resources = args.isSet("sources") || args.isSet("contact-sheet");
    if (resources ? !args.isSet("out") : !args.isSet("icons")) {
        std::fprintf(stderr, "%s", qPrintable(args.helpText()));
        return 2;
    }
    try {
        return Run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "resbuilder: error: %s\n", e.what());
        return 1;
    }
}
