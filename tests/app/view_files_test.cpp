// Files from the desktop: pictures and designs dropped onto the page as a
// file manager drops them, and files named on the command line.

#include "programtest.h"

#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "popups/wizardwindow.h"

#include <QApplication>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

using programtest::Widget;

constexpr QRgb kRed = 0xFFE01010, kBlue = 0xFF1020E0;

// 0xRRGGBB of a pixel of the page image.
uint32_t PagePixel(CLayerMixer* mixer, int x, int y) {
    CDIB* page = mixer->m_pPage;
    page->BeginPixelAccess();
    const BYTE* p = page->PixelAddress(unsigned(x), unsigned(y));
    const uint32_t c = p ? (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0] : 0xDEADBEEF;
    page->EndPixelAccess();
    return c;
}

class ViewFilesTest : public ProgramTest {
protected:
    // A picture of one colour whose top corners differ, so that no colour
    // of it is keyed out.
    QString Picture(const QString& name, int width, int height, QRgb colour) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        image.setPixel(width - 1, 0, 0xFF000000);
        const QString path = m_folder.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }

    // What a file manager sends: the drag enters, moves and drops at the
    // point with the files' addresses. Answers whether the page took it.
    bool Drop(const QStringList& paths, QPoint at) {
        QWidget* page = Widget(View(), ID_MIXER);
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page, &drop);
        QApplication::processEvents();
        return drop.isAccepted();
    }

    CLayerChannel* LayerOfItem(int index) {
        CLayerServer* server = Layers();
        return Mixer()->GetLayer(
            Mixer()->FindLayerByKey(server->GetLayerKey(index, nullptr, nullptr)));
    }

    QTemporaryDir m_folder;
};

TEST_F(ViewFilesTest, PicturesDroppedFromTheDesktopBecomeLayersCentredOnTheDropPoint) {
    ASSERT_TRUE(Start());
    const QString wide = Picture("wide.png", 200, 100, kRed);
    const QString tall = Picture("tall.bmp", 100, 200, kBlue);
    const QPoint at(180, 150);
    ASSERT_TRUE(Drop({wide, tall}, at));
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    const CPoint offset = Mixer()->GetPageOffset();
    const CPoint centre(at.x() - offset.x, at.y() - offset.y);
    // The last file lies in front; each box keeps its picture's shape
    // around the drop point.
    const CRect front = CLayerComposer::PageBox(LayerOfItem(0));
    const CRect back = CLayerComposer::PageBox(LayerOfItem(1));
    EXPECT_EQ(front.left, centre.x - front.Width() / 2);
    EXPECT_EQ(front.top, centre.y - front.Height() / 2);
    EXPECT_EQ(back.left, centre.x - back.Width() / 2);
    EXPECT_EQ(back.top, centre.y - back.Height() / 2);
    // (within the pixel that fitting to the page's shape first may cost)
    EXPECT_NEAR(back.Width(), 2 * back.Height(), 1);
    EXPECT_NEAR(2 * front.Width(), front.Height(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->image->GetImagePath(), tall.toStdString());
    EXPECT_EQ(Mixer()->m_pSelected, LayerOfItem(0));
    // On the page: blue over the drop point, red beside the tall picture
    // inside the wide one, the white page beyond both.
    EXPECT_EQ(PagePixel(Mixer(), centre.x, centre.y), 0x1020E0u);
    EXPECT_EQ(PagePixel(Mixer(), front.left - 2, centre.y), 0xE01010u);
    EXPECT_EQ(PagePixel(Mixer(), back.left - 2, centre.y), 0xFFFFFFu);
    // A dropped picture joins the design: the title stays.
    EXPECT_EQ(Document()->GetTitle(), "Untitled");

    // A file that is no picture: the load failure is said and nothing else
    // changes; the next picture is not placed at the old point.
    QFile text(m_folder.filePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();
    services.messages.clear();
    ASSERT_TRUE(Drop({text.fileName()}, at));
    EXPECT_EQ(Layers()->GetItemCount(), 2);
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, "Fout: kon de file niet inladen");
    POINT pending;
    EXPECT_FALSE(Mixer()->TakeDropPoint(&pending));

    // The two pictures came in one drop: one undo takes both away, one
    // redo brings both back.
    ActivateFrame();
    QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    QTest::keyClick(Frame(), Qt::Key_Y, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Layers()->GetItemCount(), 2);

    // A drag of anything but files is refused.
    QMimeData words;
    words.setText(QStringLiteral("hello"));
    QDragEnterEvent enter(at, Qt::CopyAction, &words, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Widget(View(), ID_MIXER), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(ViewFilesTest, ADroppedDesignReplacesThePageOnceTheUserAgreed) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Drop({Picture("one.png", 60, 40, kRed)}, QPoint(100, 100)));
    const QString design = m_folder.filePath("one.prt");
    ASSERT_TRUE(View()->SaveDesign(design.toStdString()));
    ASSERT_TRUE(Drop({Picture("two.png", 40, 60, kBlue), Picture("three.png", 40, 60, kBlue)},
                     QPoint(200, 200)));
    ASSERT_EQ(Layers()->GetItemCount(), 3);

    // Declined: the page stays as it was.
    services.messages.clear();
    services.messageAnswers = {IDCANCEL};
    ASSERT_TRUE(Drop({design}, QPoint(50, 50)));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "De tekening wissen?");
    EXPECT_EQ(services.messages[0].type, UINT(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(Layers()->GetItemCount(), 3);
    EXPECT_EQ(Document()->GetTitle(), "Untitled");

    // Agreed: the design's one layer in its saved box, and its name.
    const CRect saved = CLayerComposer::PageBox(LayerOfItem(2));
    services.messages.clear();
    services.messageAnswers = {IDOK};
    ASSERT_TRUE(Drop({design}, QPoint(50, 50)));
    ASSERT_EQ(services.messages.size(), 1u);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(CLayerComposer::PageBox(LayerOfItem(0)), saved);
    EXPECT_EQ(Document()->GetTitle(), "one.prt");
}

TEST_F(ViewFilesTest, AFileOnTheCommandLineOpensAtStartInsteadOfTheWizard) {
    const QString photo = QStringLiteral(MORVANE_TESTS_DIR "/data/codecs/colour.jpg");
    bool wizardSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&]() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* wizard = dynamic_cast<CWizardWindow*>(window);
                wizard && wizard->isVisible() && wizard->IsRunning()) {
                wizardSeen = true;
                wizard->EndModal();
            }
    });
    watch.start(10);
    ASSERT_TRUE(Start(true, {"3", photo.toStdString()}));
    watch.stop();
    EXPECT_FALSE(wizardSeen);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->image->GetImagePath(), photo.toStdString());
    ASSERT_EQ(Mixer()->m_layers.size(), 1u);
    EXPECT_EQ(Document()->GetTitle(), "colour.jpg");
    EXPECT_TRUE(services.messages.empty());
    Stop();

    // A file that is not there: the load failure, an empty page.
    services.messages.clear();
    ASSERT_TRUE(Start(false, {m_folder.filePath("gone.jpg").toStdString()}));
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Fout: kon de file niet inladen");
}

} // namespace
