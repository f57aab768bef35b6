#pragma once
// Printing tests look at what they printed: the PDF file a printer wrote,
// rasterised by pdftoppm (package poppler-utils, installed by
// tools/setup.sh) into an image, without antialiasing.

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>

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

// A pixel as 0xRRGGBB.
inline unsigned Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

} // namespace pdfraster
