// A design printed as a user's printer prints it: through the print
// command, the page print window and the print dialog to a queue of a real
// CUPS server (Debian's cupsd on a private socket, with a queue on the
// cups-pdf driver), whose PDF is then checked: the paper, the resolution
// of the page's picture and the mirror image of the design.

#include "programtest.h"

#include "layers/layerchannel.h"
#include "layers/layermixer.h"
#include "platform/pdfraster.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QTest>

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kLpadmin = QStringLiteral("/usr/sbin/lpadmin");
const QString kPdfDriver = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kCupsConfig = QStringLiteral("/etc/cups");

void WriteText(const QString& path, const QString& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text.toUtf8());
}

// cupsd with its own configuration, spool and socket in a folder, and one
// queue that writes PDF files into the folder's "out". The cups-pdf driver
// reads its settings for the queue from the system's configuration folder.
class PrivateCupsServer {
public:
    explicit PrivateCupsServer(const QString& folder)
        : m_folder(folder),
          m_queue(QStringLiteral("morvane%1").arg(QCoreApplication::applicationPid())),
          m_driverConfig(kCupsConfig + "/cups-pdf-" + m_queue + ".conf") {}

    ~PrivateCupsServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
        QFile::remove(m_driverConfig);
    }

    QString Socket() const { return m_folder + "/cups.sock"; }
    QString Queue() const { return m_queue; }
    QString Output() const { return m_folder + "/out"; }

    void Start() {
        // The filters run as the user lp: they must reach the spool.
        for (const char* sub : {"", "/spool", "/spool/tmp", "/cache", "/state", "/log", "/out"}) {
            QDir().mkpath(m_folder + sub);
            QFile::setPermissions(m_folder + sub,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
        }
        WriteText(m_folder + "/cups-files.conf",
                  "ServerRoot " + m_folder + "\nRequestRoot " + m_folder + "/spool\nTempDir " +
                      m_folder + "/spool/tmp\nCacheDir " + m_folder + "/cache\nStateDir " +
                      m_folder + "/state\nErrorLog " + m_folder + "/log/error_log\nAccessLog " +
                      m_folder + "/log/access_log\nPageLog " + m_folder +
                      "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                      "User lp\nGroup lp\nSystemGroup root\nSandboxing Relaxed\n");
        WriteText(m_folder + "/cupsd.conf",
                  "Listen " + Socket() +
                      "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                      "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                      "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                      "  </Limit>\n</Policy>\n");
        WriteText(m_driverConfig, "Out " + Output() + "\nAnonDirName " + Output() + "\nLog " +
                                      m_folder + "/log\nGrp root\n");
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(kCupsd,
                       {"-f", "-c", m_folder + "/cupsd.conf", "-s", m_folder + "/cups-files.conf"});
        ASSERT_TRUE(m_server.waitForStarted(10000)) << "cupsd did not start";
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(Socket()) && clock.elapsed() < 15000)
            QTest::qWait(100);
        ASSERT_TRUE(QFileInfo::exists(Socket()))
            << "cupsd made no socket: " << m_server.readAll().toStdString();
        QProcess admin;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CUPS_SERVER", Socket());
        admin.setProcessEnvironment(environment);
        admin.setProcessChannelMode(QProcess::MergedChannels);
        admin.start(kLpadmin,
                    {"-p", m_queue, "-E", "-v", "cups-pdf:/" + m_queue, "-P", kPdfDriver});
        ASSERT_TRUE(admin.waitForFinished(30000));
        ASSERT_EQ(admin.exitCode(), 0) << admin.readAll().toStdString();
    }

    // The PDF the queue wrote, once the driver says it finished; empty
    // after the time allowed.
    QString WaitForPdf(int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        const QString log = m_folder + "/log/cups-pdf-" + m_queue + "_log";
        while (clock.elapsed() < milliseconds) {
            QFile file(log);
            if (file.open(QIODevice::ReadOnly) &&
                file.readAll().contains("successfully finished")) {
                QDirIterator pdfs(Output(), {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories);
                if (pdfs.hasNext())
                    return pdfs.next();
            }
            QTest::qWait(200);
        }
        return QString();
    }

private:
    QString m_folder;
    QString m_queue;
    QString m_driverConfig;
    QProcess m_server;
};

bool IsRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}
bool IsBlue(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60;
}

using CupsPrintTest = ProgramTest;

TEST_F(CupsPrintTest, ADesignPrintedToACupsQueueArrivesMirroredAtItsResolution) {
    ASSERT_TRUE(QFileInfo::exists(kCupsd) && QFileInfo::exists(kPdfDriver))
        << "install cups and printer-driver-cups-pdf (tools/setup.sh)";
    if (!QFileInfo(kCupsConfig).isWritable())
        GTEST_SKIP() << "the cups-pdf driver takes its queue's settings only from " +
                            kCupsConfig.toStdString() + ", which needs root (as in CI)";
    testsupport::TempDir folder;
    PrivateCupsServer cups(QString::fromStdString(folder.Str()) + "/cups");
    cups.Start();
    if (HasFatalFailure())
        return;
    // Qt's printers reach the server through CUPS's own client settings.
    qputenv("CUPS_SERVER", cups.Socket().toLocal8Bit());

    ASSERT_TRUE(Start());
    // A red layer over the left quarter of a blue page.
    QImage red(64, 64, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    red.setPixel(63, 0, qRgb(254, 0, 0)); // no colour key: the whole picture shows
    const std::string picture = folder.Str() + "/red.bmp";
    ASSERT_TRUE(red.save(QString::fromStdString(picture)));
    ASSERT_TRUE(View()->LoadDesign(picture));
    services.messages.clear();
    Mixer()->SetAllBackgroundColours(0x00FF0000);
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    CLayerChannel* layer = Mixer()->GetLayer(0);
    ASSERT_NE(layer, nullptr);
    layer->SetGeometry(0, 0, width / 4.0, height);
    Mixer()->MarkPageDirty();

    const QString queue = cups.Queue();
    services.printChoosers.push_back([queue](QPrinter* printer) {
        printer->setOutputFileName(QString());
        printer->setPrinterName(queue);
        printer->setDocName(QStringLiteral("morvane"));
        return printer->outputFormat() == QPrinter::NativeFormat && printer->printerName() == queue;
    });
    WhenPopupOpens([](QWidget* popup) {
        auto* manager = dynamic_cast<CControlManager*>(popup);
        programtest::Click(dynamic_cast<QWidget*>(manager->FindControl(1))); // OK: full T-shirt
    });
    programtest::Click(programtest::Widget(View(), ID_PRINT));
    ASSERT_EQ(services.printDialogs.size(), 1u);
    qunsetenv("CUPS_SERVER");

    const QString pdf = cups.WaitForPdf(120000);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF from the queue";
    QString pageSize;
    for (const QString& line : pdfraster::RunTool("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith("Page size:"))
            pageSize = line.mid(10).simplified();
    EXPECT_EQ(pageSize, "595 x 842 pts (A4)");
    const auto images = pdfraster::Images(pdf.toStdString(), folder.Str() + "/images");
    ASSERT_EQ(images.size(), 1u);
    // The program sends 600 dpi; cups-pdf's Ghostscript (its "prepress"
    // settings) keeps 300 at most, rounding to 299.
    EXPECT_GE(images[0].ppiX, 295);
    EXPECT_GE(images[0].ppiY, 295);

    // The design fills the printable width mirrored: red on the right.
    const QImage sheet = pdfraster::RasterisePage(pdf.toStdString(), 50, folder.Str());
    ASSERT_FALSE(sheet.isNull());
    const int row = sheet.height() / 4;
    int left = sheet.width(), right = -1;
    for (int x = 0; x < sheet.width(); ++x)
        if (IsRed(sheet.pixel(x, row)) || IsBlue(sheet.pixel(x, row))) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_LT(left, right);
    const int quarter = (right - left + 1) / 4;
    EXPECT_TRUE(IsBlue(sheet.pixel(left + quarter / 2, row)));
    EXPECT_TRUE(IsRed(sheet.pixel(right - quarter / 2, row))) << "the mirror image";
    EXPECT_GT(right - left, sheet.width() * 3 / 4);
}

} // namespace
