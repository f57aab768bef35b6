// Editing beyond undo, as the user does it: a copy of the selected layer
// with Ctrl+D, copy and paste through the clipboard (a layer of the
// program, and a picture of another program that is then saved beside the
// design and opened again), nudges with Shift and the arrows, the recent
// files of the File menu and the mouse wheel over a clip-art strip.

#include "programtest.h"

#include "app/designfile.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

namespace {

using programtest::Click;
using programtest::Lines;
using programtest::ReadFile;
using programtest::Widget;

// 0xRRGGBB of a page pixel.
uint32_t PagePixel(CLayerMixer* mixer, int x, int y) {
    CDIB* page = mixer->m_pPage;
    page->BeginPixelAccess();
    const BYTE* p = page->PixelAddress(unsigned(x), unsigned(y));
    const uint32_t c = p ? (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0] : 0xDEADBEEF;
    page->EndPixelAccess();
    return c;
}

class ViewEditingTest : public ProgramTest {
protected:
    void AddClipArt(int thumb) {
        Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
        Click(Widget(View(), ID_FIRST_FILE_THUMB + thumb));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ActivateFrame();
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    CLayerChannel* LayerOf(int index) const {
        const multimenu_package* item = Layers()->GetItem(index);
        return item ? Mixer()->GetLayer(Mixer()->FindLayerByKey(item->serial)) : nullptr;
    }
    // The menu action of the command, in the menus of the frame.
    QAction* MenuAction(int command) const {
        for (QAction* menu : Frame()->menuBar()->actions())
            for (QAction* item : menu->menu()->actions()) {
                if (item->menu()) {
                    emit item->menu()->aboutToShow();
                    for (QAction* sub : item->menu()->actions())
                        if (sub->property("morvaneCommand").toInt() == command)
                            return sub;
                }
                if (item->property("morvaneCommand").toInt() == command)
                    return item;
            }
        return nullptr;
    }
};

TEST_F(ViewEditingTest, CtrlDPutsACopyJustInFrontOfTheLayerAndOffsetByTen) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    CLayerChannel* original = LayerOf(0);
    original->m_dAngle = 30.0;
    original->m_nMirrored = 1;
    Mixer()->Redraw(nullptr, 1);
    const CRect box = CLayerComposer::PageBox(original);
    int w = 0, h = 0;
    Mixer()->GetPageSize(&w, &h);
    std::vector<uint32_t> before;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            before.push_back(PagePixel(Mixer(), x, y));

    Key(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->m_nCurrent, 0) << "the copy in front of its original, selected";
    CLayerChannel* copy = LayerOf(0);
    ASSERT_EQ(LayerOf(1), original);
    EXPECT_EQ(Layers()->GetItem(0)->image, Layers()->GetItem(1)->image);
    EXPECT_EQ(Layers()->GetItem(0)->kind, Layers()->GetItem(1)->kind);
    EXPECT_EQ(copy->m_dX, original->m_dX + 10);
    EXPECT_EQ(copy->m_dY, original->m_dY + 10);
    EXPECT_EQ(copy->m_dAngle, 30.0);
    EXPECT_EQ(copy->m_nMirrored, 1);
    EXPECT_EQ(Mixer()->m_pSelected, copy);
    // With the original hidden the page shows the copy as it showed the
    // original, ten pixels right and down.
    original->m_nVisible = 0;
    Mixer()->Redraw(nullptr, 1);
    int compared = 0, differing = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            if (x < 0 || y < 0 || x + 10 >= w || y + 10 >= h)
                continue;
            ++compared;
            differing += PagePixel(Mixer(), x + 10, y + 10) !=
                         before[size_t((y - box.top) * box.Width() + (x - box.left))];
        }
    EXPECT_GT(compared, 1000);
    EXPECT_EQ(differing, 0);
}

TEST_F(ViewEditingTest, ShiftAndTheArrowsNudgeByAPixelAndCtrlShiftByTen) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    CLayerChannel* layer = LayerOf(0);
    const CRect box = CLayerComposer::PageBox(layer);
    const uint32_t inside = PagePixel(Mixer(), box.left + box.Width() / 2, box.top + 5);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(CLayerComposer::PageBox(layer),
              CRect(box.left + 1, box.top + 10, box.right + 1, box.bottom + 10));
    EXPECT_EQ(PagePixel(Mixer(), box.left + box.Width() / 2 + 1, box.top + 15), inside);
    // The plain arrows keep their commands: Left selects, nothing moves.
    Key(Qt::Key_Left);
    EXPECT_EQ(CLayerComposer::PageBox(layer).left, box.left + 1);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(CLayerComposer::PageBox(layer), box);
}

TEST_F(ViewEditingTest, CopyAndPasteALayerThroughTheClipboard) {
    ASSERT_TRUE(Start());
    AddClipArt(2);
    CLayerChannel* original = LayerOf(0);
    original->m_dAngle = 90.0;
    Key(Qt::Key_C, Qt::ControlModifier);
    // Other programs get its picture, turned as it is shown.
    const QImage picture = QApplication::clipboard()->image();
    EXPECT_EQ(picture.width(), original->m_stream.GetHeight());
    EXPECT_EQ(picture.height(), original->m_stream.GetWidth());
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    CLayerChannel* pasted = LayerOf(0);
    EXPECT_NE(pasted, original);
    EXPECT_EQ(pasted->m_dAngle, 90.0);
    EXPECT_NEAR(pasted->m_dX, original->m_dX + 10, 1e-6);
    EXPECT_NEAR(pasted->m_dWidth, original->m_dWidth, 1e-6);
    EXPECT_EQ(Layers()->GetItem(0)->image->GetImagePath(),
              Layers()->GetItem(1)->image->GetImagePath());
}

TEST_F(ViewEditingTest, APastedPictureIsSavedBesideTheDesignAndOpensFromThere) {
    testsupport::TempDir folder;
    ASSERT_TRUE(Start());
    // A picture of another program: red with a transparent left half.
    QImage image(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, x < 20 ? qRgba(0, 0, 0, 0) : qRgba(255, 0, 0, 255));
    QApplication::clipboard()->setImage(image);
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    const CRect box = CLayerComposer::PageBox(LayerOf(0));
    const uint32_t page = PagePixel(Mixer(), 2, 2);
    EXPECT_EQ(PagePixel(Mixer(), box.left + box.Width() / 4, box.top + box.Height() / 2), page);
    EXPECT_EQ(PagePixel(Mixer(), box.right - box.Width() / 4, box.top + box.Height() / 2),
              0xFF0000u);

    const std::string design = folder.Str() + "/logo.prt";
    services.fileAnswers = {design};
    Click(Widget(View(), ID_SAVE));
    const std::string text = ReadFile(QString::fromStdString(design));
    const std::vector<std::string> lines = Lines(text);
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[13], "ilogo-1.bmp") << "named beside the design";
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.Str() + "/ilogo-1.bmp")));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(folder.Str() + "/alogo-1.bmp")));

    // Opened again by a new start of the program: the picture is found
    // beside the design, drawn the same, and saved again unchanged.
    Stop();
    ASSERT_TRUE(Start());
    services.fileAnswers = {design};
    const size_t messages = services.messages.size();
    Click(Widget(View(), ID_LOAD));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(services.messages.size(), messages) << "no picture was missing";
    const CRect again = CLayerComposer::PageBox(LayerOf(0));
    EXPECT_EQ(PagePixel(Mixer(), again.left + again.Width() / 4, again.top + again.Height() / 2),
              page);
    EXPECT_EQ(PagePixel(Mixer(), again.right - again.Width() / 4, again.top + again.Height() / 2),
              0xFF0000u);
    const std::string resaved = folder.Str() + "/logo-again.prt";
    services.fileAnswers = {resaved};
    Click(Widget(View(), ID_SAVE));
    const std::vector<std::string> resavedLines = Lines(ReadFile(QString::fromStdString(resaved)));
    ASSERT_EQ(resavedLines.size(), lines.size());
    EXPECT_EQ(std::vector<std::string>(resavedLines.begin() + 13, resavedLines.begin() + 16),
              std::vector<std::string>(lines.begin() + 13, lines.begin() + 16));
    // A design in another folder takes its own copy of the picture.
    testsupport::TempDir elsewhere;
    services.fileAnswers = {elsewhere.Str() + "/copy.prt"};
    Click(Widget(View(), ID_SAVE));
    const std::vector<std::string> copied =
        Lines(ReadFile(QString::fromStdString(elsewhere.Str() + "/copy.prt")));
    ASSERT_EQ(copied.size(), lines.size());
    EXPECT_EQ(copied[13], "icopy-1.bmp");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(elsewhere.Str() + "/icopy-1.bmp")));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(elsewhere.Str() + "/alogo-1.bmp")) == false);
}

TEST_F(ViewEditingTest, TheRecentFilesOfTheFileMenuOpenTheirDesigns) {
    testsupport::TempDir folder;
    ASSERT_TRUE(Start());
    AddClipArt(0);
    const std::string design = folder.Str() + "/recent.prt";
    services.fileAnswers = {design};
    Click(Widget(View(), ID_SAVE));
    QAction* newest = MenuAction(57616);
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->text().toStdString(), "&1 " + design);
    AddClipArt(1);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    newest->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "recent.prt - Kavelo");
    EXPECT_TRUE(services.fileDialogs.size() == 1u) << "no dialog for a recent file";
}

TEST_F(ViewEditingTest, TheWheelOverAStripScrollsItANotchAThumb) {
    ASSERT_TRUE(Start());
    Click(Widget(View(), ID_FIRST_CATEGORY_THUMB + 7));
    auto* files = dynamic_cast<CThumbStrip*>(View()->FindControl(ID_FILE_STRIP));
    ASSERT_GT(files->FileCount(), kThumbsPerStrip + 1);
    ASSERT_EQ(files->m_nFirst, 0);
    QWidget* thumb = Widget(View(), ID_FIRST_FILE_THUMB + 3);
    auto wheel = [&](QWidget* target, int delta) {
        const QPointF at = target->rect().center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    wheel(thumb, -120);
    EXPECT_EQ(files->m_nFirst, 1);
    wheel(thumb, -60);
    EXPECT_EQ(files->m_nFirst, 1) << "half a notch waits for the other half";
    wheel(Widget(View(), ID_FILE_DOWN), -60);
    EXPECT_EQ(files->m_nFirst, 2);
    wheel(thumb, 240);
    EXPECT_EQ(files->m_nFirst, 0);
    wheel(thumb, 120);
    EXPECT_EQ(files->m_nFirst, 0) << "the top stops it";
}

} // namespace
