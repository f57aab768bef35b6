// A PDF printed into a file: it replaces an old file only when whole, the
// printer keeps the name it was given, and nothing else is left beside it.

#include "platform/pdffile.h"
#include "platform/printing.h"
#include "platform/userservices.h"
#include "testsupport.h"

#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

size_t FilesIn(const testsupport::TempDir& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                std::filesystem::directory_iterator()));
}

} // namespace

TEST(PdfFileTest, APrintReplacesTheOldFileWithAWholePdfAndNothingElse) {
    testsupport::TempDir dir;
    const std::string path = dir.Write("print.pdf", "the old print");
    QPrinter printer;
    platform::SetPdfOutput(&printer, path);
    {
        platform::CPdfFileOutput output(&printer);
        ASSERT_TRUE(output.Active());
        ASSERT_TRUE(output.Opened());
        EXPECT_NE(printer.outputFileName().toStdString(), path);
        QPainter painter(&printer);
        painter.fillRect(QRect(0, 0, 100, 100), Qt::red);
        ASSERT_TRUE(painter.end());
        // Until it is committed the old file stays.
        EXPECT_EQ(testsupport::ReadFile(path), "the old print");
        EXPECT_EQ(FilesIn(dir), 1u);
        EXPECT_TRUE(output.Commit());
    }
    EXPECT_EQ(printer.outputFileName().toStdString(), path);
    const std::string pdf = testsupport::ReadFile(path);
    EXPECT_TRUE(platform::IsCompletePdf(pdf));
    EXPECT_EQ(FilesIn(dir), 1u);

    // A print that is not committed (its painting failed) leaves it alone.
    {
        platform::CPdfFileOutput output(&printer);
        QPainter painter(&printer);
        painter.fillRect(QRect(0, 0, 10, 10), Qt::blue);
    }
    EXPECT_EQ(testsupport::ReadFile(path), pdf);
    EXPECT_EQ(FilesIn(dir), 1u);
}

TEST(PdfFileTest, APdfCutShortIsNotWhole) {
    testsupport::TempDir dir;
    const std::string path = dir.Str() + "/whole.pdf";
    QPrinter printer;
    platform::SetPdfOutput(&printer, path);
    {
        QPainter painter(&printer);
        painter.drawText(QPoint(50, 50), QStringLiteral("whole"));
    }
    const std::string pdf = testsupport::ReadFile(path);
    ASSERT_TRUE(platform::IsCompletePdf(pdf));
    EXPECT_FALSE(platform::IsCompletePdf(pdf.substr(0, pdf.size() / 2)));
    EXPECT_FALSE(platform::IsCompletePdf(pdf.substr(0, pdf.size() - 8)));
    // A piece missing in the middle moves the table away from where the
    // end says it is.
    EXPECT_FALSE(platform::IsCompletePdf(pdf.substr(0, 100) + pdf.substr(1100)));
    EXPECT_FALSE(platform::IsCompletePdf("%PDF-1.4\nstartxref\n0\n%%EOF\n"));
    EXPECT_FALSE(platform::IsCompletePdf(""));
}

TEST(PdfFileTest, PrintingIntoAFolderThatCannotTakeTheFileFailsBeforePainting) {
    platform::ScopedScriptedServices script;
    testsupport::TempDir dir;
    QPrinter printer;
    platform::SetPdfOutput(&printer, dir.Str() + "/missing/print.pdf");
    platform::CPdfFileOutput output(&printer);
    EXPECT_TRUE(output.Active());
    EXPECT_FALSE(output.Opened());
    EXPECT_FALSE(output.Commit());
    EXPECT_EQ(FilesIn(dir), 0u);
}
