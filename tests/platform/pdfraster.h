#pragma once
// Printing tests look at what they printed: the PDF file a printer wrote,
// rasterised by pdftoppm (package poppler-utils, installed by
// tools/setup.sh) into an image, without antialiasing.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pdfraster {

// The first page of the PDF at the given dots per inch; a null image (and a
// test failure saying why) when it cannot be made.
inline QImage RasterisePage(const std::string& pdf, int dpi, const std::string& workFolder) {
    const QString prefix = QString::fromStdString(workFolder) + "/raster";
    QProcess tool;
    tool.start("pdftoppm", {"-r", QString::number(dpi), "-png", "-singlefile", "-aa", "no",
                            "-aaVector", "no", QString::fromStdString(pdf), prefix});
    if (!tool.waitForStarted(10000)) {
        ADD_FAILURE() << "pdftoppm did not start: install poppler-utils (tools/setup.sh)";
        return QImage();
    }
    tool.waitForFinished(60000);
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm failed on " << pdf << ": "
                      << tool.readAllStandardError().toStdString();
        return QImage();
    }
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

// The pictures a PDF holds, as pdfimages (poppler-utils) lists and writes
// them: their pixels exactly as stored, and the resolution they print at.
struct PdfImage {
    QImage pixels;
    int width = 0, height = 0;
    int ppiX = 0, ppiY = 0; // on the sheet
    int object = 0;         // the PDF object holding it
};

inline QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForStarted(10000)) {
        ADD_FAILURE() << program.toStdString() << " did not start: install poppler-utils";
        return QString();
    }
    tool.waitForFinished(120000);
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << tool.readAllStandardError().toStdString();
    return QString::fromLatin1(tool.readAllStandardOutput());
}

inline std::vector<PdfImage> Images(const std::string& pdf, const std::string& workFolder) {
    std::vector<PdfImage> images;
    const QString list = RunTool("pdfimages", {"-list", QString::fromStdString(pdf)});
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
    for (const QString& line : list.split('\n').mid(2)) {
        const QStringList w = line.simplified().split(' ');
        if (w.size() < 14)
            continue;
        PdfImage image;
        image.width = w[3].toInt();
        image.height = w[4].toInt();
        image.object = w[10].toInt();
        image.ppiX = w[12].toInt();
        image.ppiY = w[13].toInt();
        images.push_back(image);
    }
    QDir().mkpath(QString::fromStdString(workFolder));
    const QString prefix = QString::fromStdString(workFolder) + "/image";
    RunTool("pdfimages", {"-png", QString::fromStdString(pdf), prefix});
    for (size_t i = 0; i < images.size(); ++i)
        images[i].pixels = QImage(prefix + QString("-%1.png").arg(int(i), 3, 10, QChar('0')))
                               .convertToFormat(QImage::Format_RGB32);
    return images;
}

// A pixel as 0xRRGGBB.
inline unsigned Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

} // namespace pdfraster
