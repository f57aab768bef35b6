// Design files through the running program: saved with the save button and
// the keys, opened with the load button and the keys, pictures exported and
// imported, and damaged designs, all with scripted file dialogs.

#include "programtest.h"

#include "app/designfile.h"
#include "app/messagetable.h"
#include "content/appsettings.h"
#include "controls/colorbutton.h"
#include "controls/editcontrol.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "popups/textwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

namespace {

using programtest::Click;
using programtest::Lines;
using programtest::ReadFile;
using programtest::WriteFile;

// "%f" of the C locale, written by Qt (locale-independent).
std::string Real(double value) {
    return QString::number(value, 'f', 6).toStdString();
}

std::string Int(long long value) {
    return std::to_string(value);
}

std::string BoxLines(const CLayerChannel* layer) {
    return "0\n" + Real(layer->m_dX) + "\n" + Real(layer->m_dY) + "\n" + Real(layer->m_dWidth) +
           "\n" + Real(layer->m_dHeight) + "\n" + Int(layer->m_nVisible) + "\n" +
           Int(layer->m_nMirrored) + "\n" + Int(layer->m_nFlipped) + "\n";
}

std::string FontLines(const LOGFONTA& f) {
    std::string out;
    for (long long v : {(long long)f.lfHeight, (long long)f.lfWidth, (long long)f.lfEscapement,
                        (long long)f.lfOrientation, (long long)f.lfWeight})
        out += Int(v) + "\n";
    for (BYTE b : {f.lfItalic, f.lfUnderline, f.lfStrikeOut, f.lfCharSet, f.lfOutPrecision,
                   f.lfClipPrecision, f.lfQuality, f.lfPitchAndFamily})
        out += Int(b) + "\n";
    return out + std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)) + "\n";
}

// A picture of the bundled clip art, as the design files name it, and the
// same file by its absolute path.
std::string ClipArt() {
    const QDir data(QStringLiteral("res/Data"));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList files =
            QDir(data.filePath(category)).entryList({QStringLiteral("i*.bmp")}, QDir::Files);
        if (!files.isEmpty())
            return ("res\\Data\\" + category + "\\" + files.first()).toStdString();
    }
    return {};
}

std::string AbsoluteClipArt() {
    return QFileInfo(QString::fromStdString(ClipArt()).replace('\\', '/'))
        .absoluteFilePath()
        .toStdString();
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

class DesignViewTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(m_folder.isValid());
    }

    QString TempPath(const char* name) const { return m_folder.filePath(QString::fromUtf8(name)); }
    std::string Temp(const char* name) const { return TempPath(name).toStdString(); }

    QWidget* Control(int id) const { return dynamic_cast<QWidget*>(View()->FindControl(id)); }
    CColorButtonControl* Colour(int id) const {
        return dynamic_cast<CColorButtonControl*>(View()->FindControl(id));
    }
    CLayerChannel* LayerOfItem(int index) const {
        CLayerServer* server = Layers();
        return Mixer()->GetLayer(
            Mixer()->FindLayerByKey(server->GetLayerKey(index, nullptr, nullptr)));
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        // A text layer's progress popup may have taken the activation; the
        // keys belong to the frame as on a desktop.
        Frame()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    }
    void AddClipArt(int thumb) {
        Click(Control(ID_FIRST_CATEGORY_THUMB + 7));
        Click(Control(ID_FIRST_FILE_THUMB + thumb));
    }
    void AddText(const QString& text) {
        WhenPopupOpens([text](QWidget* popup) {
            auto* window = dynamic_cast<CTextWindow*>(popup);
            auto* field = dynamic_cast<CEditControl*>(window->FindControl(CTextWindow::kEditId));
            QWidget* editor = field->GetEditor();
            editor->setFocus();
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
            Click(dynamic_cast<QWidget*>(window->FindControl(CTextWindow::kOkId)));
        });
        Key(Qt::Key_T);
    }
    // The save button with the path as the file dialog's answer.
    void SaveWithButton(const std::string& path) {
        services.fileAnswers.push_back(path);
        Click(Control(ID_SAVE));
    }
    // The load key with the path as the file dialog's answer.
    void OpenWithKey(const std::string& path) {
        services.fileAnswers.push_back(path);
        Key(Qt::Key_O);
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : services.messages)
            texts.push_back(message.text);
        return texts;
    }
    // A design of one picture layer written by hand, with the page size
    // and the box given.
    static std::string PictureDesign(const std::string& picture, const std::string& pageLines,
                                     const std::string& count = "1") {
        return "16777215\n255\n65280\n16711680\n0\n2\n0.950000\n" + count + "\n" + pageLines +
               "2\n200\n1\n" + picture +
               "\n\n\n0\n50.000000\n50.000000\n200.000000\n150.000000\n"
               "1\n1\n0\n";
    }

    QTemporaryDir m_folder;
};

TEST_F(DesignViewTest, SavingWritesTheHeaderAndEveryRecordByteForByteAndReadsBackTheSame) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddText(QStringLiteral("Hallo"));
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    SaveWithButton(Temp("design.prt"));

    // The save dialog as the user sees it.
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    const platform::FileDialogRequest& dialog = services.fileDialogs[0];
    EXPECT_FALSE(dialog.open);
    EXPECT_EQ(dialog.filters, (std::vector<std::string>{"Print file (*.prt)", "Bitmap file (*.bmp)",
                                                        "JPeg/JFif file (*.jpg)",
                                                        "Tiff file (*.tif)", "Png file (*.png)"}));
    ASSERT_EQ(MessageTexts(), (std::vector<std::string>{Temp("design.prt") + " ... OK"}));

    const multimenu_package* text = Layers()->GetItem(0);
    const multimenu_package* picture = Layers()->GetItem(1);
    ASSERT_TRUE(text && picture);
    ASSERT_EQ(text->kind, MMP_TEXT);
    ASSERT_EQ(picture->kind, MMP_THUMBNAIL);
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    const CDIB* image = picture->image;
    const std::string expected =
        // The five colours (white buttons), no page mode, the proportion.
        "16777215\n16777215\n16777215\n16777215\n16777215\n0\n" + Real(Mixer()->m_dAspect) +
        "\n2\n" + Int(width) + "\n" + Int(height) + "\n" +
        // The picture at the back first.
        "3\n255\n" + Int(image->GetLoadMode()) + "\n" + image->GetImagePath() + "\n" +
        image->GetAlphaPath() + "\n" + image->GetThumbPath() + "\n" + BoxLines(LayerOfItem(1)) +
        // The text in front last.
        "1\n255\n" + Int(0x00FFA096) + "\n0\nBEGIN_STRING\nHallo\nEND_STRING\n" +
        FontLines(text->font) + BoxLines(LayerOfItem(0));
    const std::string written = ReadFile(TempPath("design.prt"));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(image->GetImagePath().rfind("res\\Data\\", 0), 0u) << image->GetImagePath();
    // No temporary file is left beside the design.
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files), QStringList{"design.prt"});

    // Opening it again replaces the layers with the same ones, their boxes
    // scaled from the saved page to the page they are loaded into.
    struct Box {
        double x, y, width, height;
    };
    const Box saved[2] = {{LayerOfItem(0)->m_dX, LayerOfItem(0)->m_dY, LayerOfItem(0)->m_dWidth,
                           LayerOfItem(0)->m_dHeight},
                          {LayerOfItem(1)->m_dX, LayerOfItem(1)->m_dY, LayerOfItem(1)->m_dWidth,
                           LayerOfItem(1)->m_dHeight}};
    // The items go with the opening: what is compared is kept first.
    const std::string textFont = FontLines(text->font);
    const std::string imagePath = image->GetImagePath();
    AddClipArt(2);
    ASSERT_EQ(Layers()->GetItemCount(), 3);
    OpenWithKey(Temp("design.prt"));
    // Saved again unchanged: the same bytes.
    SaveWithButton(Temp("again.prt"));
    EXPECT_EQ(ReadFile(TempPath("again.prt")), written);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_TEXT);
    EXPECT_EQ(Layers()->GetItem(0)->text, "Hallo");
    EXPECT_EQ(Layers()->GetItem(0)->data1, 0x00FFA096);
    EXPECT_EQ(Layers()->GetItem(0)->data2, 0);
    EXPECT_EQ(FontLines(Layers()->GetItem(0)->font), textFont);
    EXPECT_EQ(Layers()->GetItem(1)->kind, MMP_THUMBNAIL);
    EXPECT_EQ(Layers()->GetItem(1)->image->GetImagePath(), imagePath);
    int width2 = 0, height2 = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width2, &height2));
    const double sx = double(width2) / width, sy = double(height2) / height;
    for (int i = 0; i < 2; ++i) {
        const Box& before = saved[i];
        const CLayerChannel* after = LayerOfItem(i);
        ASSERT_NE(after, nullptr);
        EXPECT_DOUBLE_EQ(after->m_dX, before.x * sx) << i;
        EXPECT_DOUBLE_EQ(after->m_dY, before.y * sy) << i;
        EXPECT_DOUBLE_EQ(after->m_dWidth, before.width * sx) << i;
        EXPECT_DOUBLE_EQ(after->m_dHeight, before.height * sy) << i;
        EXPECT_EQ(after->m_nOpacity, 255) << i;
        EXPECT_EQ(after->m_nVisible, 1) << i;
    }
    // The last record read is the selection.
    EXPECT_EQ(Mixer()->m_pSelected, LayerOfItem(0));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("again.prt - Kavelo"));
}

TEST_F(DesignViewTest, ColoursAndPageModeTravelWithTheDesignAndAnEmptyDesignIsTenLines) {
    ASSERT_TRUE(Start());
    // No layers: the save button is off, the save key asks for a file.
    services.fileAnswers.push_back(Temp("empty.prt"));
    Key(Qt::Key_S);
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    const std::string saved = ReadFile(TempPath("empty.prt"));
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    EXPECT_EQ(saved, "16777215\n16777215\n16777215\n16777215\n16777215\n0\n" +
                         Real(Mixer()->m_dAspect) + "\n0\n" + Int(width) + "\n" + Int(height) +
                         "\n");
    EXPECT_EQ(Lines(saved).size(), 10u);

    // A design with other colours and page mode: its layers go, its colours
    // come, even with no records.
    AddClipArt(0);
    WriteFile(TempPath("coloured.prt"), "1\n2\n3\n4\n5\n3\n1.250000\n0\n400\n421\n");
    OpenWithKey(Temp("coloured.prt"));
    EXPECT_EQ(Layers()->GetItemCount(), 0);
    EXPECT_EQ(Colour(ID_COLOUR_MAIN)->m_crColor, COLORREF(1));
    EXPECT_EQ(Colour(ID_COLOUR_TOP_LEFT)->m_crColor, COLORREF(2));
    EXPECT_EQ(Colour(ID_COLOUR_TOP_RIGHT)->m_crColor, COLORREF(3));
    EXPECT_EQ(Colour(ID_COLOUR_BOTTOM_LEFT)->m_crColor, COLORREF(4));
    EXPECT_EQ(Colour(ID_COLOUR_BOTTOM_RIGHT)->m_crColor, COLORREF(5));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Mixer()->m_crCorner[i], COLORREF(i + 2)) << i;
    EXPECT_EQ(View()->m_print.m_nPageMode, 3);
    // The proportion as it was written.
    EXPECT_EQ(Mixer()->m_dAspect, 1.25);
    // Saved again with the keys: the opened file, without a dialog, as it
    // was written.
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.fileDialogs.size(), 2u); // the one of the opening only
    EXPECT_EQ(ReadFile(TempPath("coloured.prt")), "1\n2\n3\n4\n5\n3\n1.250000\n0\n400\n421\n");
    EXPECT_EQ(MessageTexts().back(), Temp("coloured.prt") + " ... OK");
}

TEST_F(DesignViewTest, ControlSAfterOpeningSavesTheLayersToTheOpenedFileWithoutADialog) {
    ASSERT_TRUE(Start());
    WriteFile(TempPath("one.prt"), PictureDesign(ClipArt(), "400\n421\n"));
    OpenWithKey(Temp("one.prt"));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    const size_t dialogs = services.fileDialogs.size();
    services.messages.clear();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(services.fileDialogs.size(), dialogs);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Temp("one.prt") + " ... OK"}));
    const std::vector<std::string> lines = Lines(ReadFile(TempPath("one.prt")));
    ASSERT_EQ(lines.size(), 10u + 2 + 4 + 8);
    EXPECT_EQ(lines[7], "1");
    // The record comes back as it was written: a picture item, its load
    // mode, its opacity.
    EXPECT_EQ(lines[10], "2");
    EXPECT_EQ(lines[11], "200");
    EXPECT_EQ(lines[12], "1");
    EXPECT_EQ(lines[13], ClipArt());
    EXPECT_EQ(lines[16], "0");
    EXPECT_EQ(lines[21], "1");
    EXPECT_EQ(lines[22], "1");
    EXPECT_EQ(lines[23], "0");
}

TEST_F(DesignViewTest, BoxesScaleFromTheSavedPageSizeAndAZeroPageKeepsThem) {
    ASSERT_TRUE(Start());
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    ASSERT_NE(width, 400);
    WriteFile(TempPath("small.prt"), PictureDesign(ClipArt(), "400\n421\n"));
    OpenWithKey(Temp("small.prt"));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    // The aspect of the design changed the page: the size it is loaded into.
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    const CLayerChannel* layer = LayerOfItem(0);
    ASSERT_NE(layer, nullptr);
    EXPECT_DOUBLE_EQ(layer->m_dX, 50.0 * width / 400);
    EXPECT_DOUBLE_EQ(layer->m_dY, 50.0 * height / 421);
    EXPECT_DOUBLE_EQ(layer->m_dWidth, 200.0 * width / 400);
    EXPECT_DOUBLE_EQ(layer->m_dHeight, 150.0 * height / 421);
    EXPECT_EQ(layer->m_nOpacity, 200);
    EXPECT_EQ(Layers()->GetItem(0)->opacity, 200);
    EXPECT_EQ(layer->m_nMirrored, 1);
    EXPECT_EQ(layer->m_nFlipped, 0);

    // A page of no size: the boxes as written.
    WriteFile(TempPath("zero.prt"), PictureDesign(ClipArt(), "0\n-5\n"));
    OpenWithKey(Temp("zero.prt"));
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    layer = LayerOfItem(0);
    ASSERT_NE(layer, nullptr);
    EXPECT_DOUBLE_EQ(layer->m_dX, 50.0);
    EXPECT_DOUBLE_EQ(layer->m_dY, 50.0);
    EXPECT_DOUBLE_EQ(layer->m_dWidth, 200.0);
    EXPECT_DOUBLE_EQ(layer->m_dHeight, 150.0);
}

TEST_F(DesignViewTest, AHostileCountAndAPageOfNoSizeLoadWhatIsThere) {
    ASSERT_TRUE(Start());
    std::string design = PictureDesign(ClipArt(), "0\n0\n", "2147483647");
    design += "1\n255\n255\n2\nBEGIN_STRING\nA\r\nB\n"; // no END_STRING: to the end of the data
    WriteFile(TempPath("hostile.prt"), design);
    OpenWithKey(Temp("hostile.prt"));
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_TEXT);
    EXPECT_EQ(Layers()->GetItem(0)->text, "A\r\nB");
    EXPECT_EQ(Layers()->GetItem(1)->kind, MMP_PICTURE);
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("hostile.prt - Kavelo"));
    // Garbage is no design, but it opens as one: nothing is left.
    WriteFile(TempPath("garbage.prt"), std::string("\xff\xfe\x00\x01garbage\x80\x81", 13));
    OpenWithKey(Temp("garbage.prt"));
    EXPECT_EQ(Layers()->GetItemCount(), 0);
}

TEST_F(DesignViewTest, AMissingPictureAsksForItAndIsSkippedWhenCancelled) {
    ASSERT_TRUE(Start());
    const std::string missing = ".\\res\\Data\\inothere.bmp";
    std::string design = PictureDesign(missing, "400\n421\n", "2");
    design += "2\n255\n1\n" + ClipArt() + "\n\n\n0\n1.0\n2.0\n3.0\n4.0\n1\n0\n0\n";
    WriteFile(TempPath("missing.prt"), design);
    OpenWithKey(Temp("missing.prt"));

    const std::string* request = View()->Strings().Find(1016);
    ASSERT_NE(request, nullptr);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, *request + " res\\Data\\inothere.bmp");
    EXPECT_EQ(services.messages[0].type & 0xF, UINT(MB_OKCANCEL));
    ASSERT_EQ(services.fileDialogs.size(), 2u); // the opening, then the picture
    const platform::FileDialogRequest& dialog = services.fileDialogs[1];
    EXPECT_TRUE(dialog.open);
    EXPECT_EQ(dialog.initialPath, "inothere.bmp");
    EXPECT_TRUE(dialog.flags & OFN_FILEMUSTEXIST);
    EXPECT_EQ(dialog.filters,
              platform::ConvertFileFilter("BMP file (*.bmp)|*.bmp|All Files (*.*)|*.*||"));
    EXPECT_EQ(dialog.filters, (std::vector<std::string>{"BMP file (*.bmp)", "All Files (*)"}));
    // The record was skipped; the one after it is there.
    ASSERT_EQ(Layers()->GetItemCount(), 1);
    EXPECT_EQ(Layers()->GetItem(0)->image->GetImagePath(), ClipArt());

    // Picking a picture in the dialog loads that one in its place.
    services.Clear();
    const std::string picked = AbsoluteClipArt();
    services.fileAnswers.push_back(Temp("missing.prt"));
    services.fileAnswers.push_back(picked);
    Key(Qt::Key_O);
    ASSERT_EQ(Layers()->GetItemCount(), 2);
    EXPECT_EQ(Layers()->GetItem(1)->image->GetImagePath(), picked);
}

TEST_F(DesignViewTest, ExportsByExtensionAndAnUnknownOneFails) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    SaveWithButton(Temp("page.bmp"));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Temp("page.bmp") + " ... OK"}));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("page.bmp - Kavelo"));
    const QImage bmp(TempPath("page.bmp"));
    ASSERT_FALSE(bmp.isNull());
    EXPECT_EQ(bmp.width(), 1000);
    EXPECT_EQ(bmp.height(), int(1000 / Mixer()->m_dAspect));
    // The page is back at its screen size.
    int width = 0, height = 0;
    ASSERT_TRUE(Mixer()->GetPageSize(&width, &height));
    EXPECT_LT(width, 1000);

    services.messages.clear();
    SaveWithButton(Temp("page.JPG"));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{Temp("page.JPG") + " ... OK"}));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("page.JPG - Kavelo"));
    EXPECT_EQ(ReadFile(TempPath("page.JPG")).substr(0, 3), "\xFF\xD8\xFF");
    const QImage jpeg(TempPath("page.JPG"), "JPEG");
    EXPECT_EQ(jpeg.size(), bmp.size());

    services.messages.clear();
    SaveWithButton(Temp("page.gif"));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Error: unknown file format",
                                                        "Fout: kon de file niet wegschrijven"}));
    EXPECT_FALSE(QFile::exists(TempPath("page.gif")));
    EXPECT_EQ(Frame()->windowTitle(), QStringLiteral("page.JPG - Kavelo"));
    EXPECT_EQ(Sorted(QDir(m_folder.path()).entryList(QDir::Files)),
              Sorted({"page.JPG", "page.bmp"}));
}

TEST_F(DesignViewTest, OpeningAPictureAddsOneLayerInFront) {
    ASSERT_TRUE(Start());
    AddClipArt(0);
    AddClipArt(1);
    const int frontKey = Layers()->GetItem(0)->serial;
    ASSERT_FALSE(ClipArt().empty());
    OpenWithKey(AbsoluteClipArt());
    ASSERT_EQ(Layers()->GetItemCount(), 3);
    EXPECT_EQ(Layers()->GetItem(0)->kind, MMP_PICTURE);
    EXPECT_EQ(Layers()->GetItem(0)->cx, 50);
    EXPECT_EQ(Layers()->GetItem(1)->serial, frontKey);
    EXPECT_EQ(Mixer()->m_layers.size(), 3u);
    EXPECT_EQ(Mixer()->m_pSelected, LayerOfItem(0));

    // A file that is no picture: nothing changes, and the load failure is said.
    WriteFile(TempPath("nothing.bmp"), "not a picture");
    services.messages.clear();
    OpenWithKey(Temp("nothing.bmp"));
    EXPECT_EQ(Layers()->GetItemCount(), 3);
    ASSERT_FALSE(services.messages.empty());
    EXPECT_EQ(services.messages.back().text, "Fout: kon de file niet inladen");
}

} // namespace

namespace {

TEST_F(DesignViewTest, EveryBundledTemplateOpensWithAllItsPictures) {
    ASSERT_TRUE(Start());
    QStringList templates;
    const QDir root(QStringLiteral("res/Tmplts"));
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        for (const QString& name :
             QDir(root.filePath(folder)).entryList({QStringLiteral("*.prt")}, QDir::Files))
            templates << QFileInfo(root.filePath(folder + "/" + name)).absoluteFilePath();
    ASSERT_FALSE(templates.isEmpty());
    for (const QString& path : templates) {
        services.Clear();
        const DesignFile design = ParseDesign(ReadFile(path));
        int layers = 0;
        for (const DesignRecord& record : design.records)
            layers += record.IsText() || record.IsPicture();
        ASSERT_GT(layers, 0) << path.toStdString();
        OpenWithKey(path.toStdString());
        EXPECT_TRUE(services.messages.empty())
            << path.toStdString() << ": " << services.messages[0].text;
        EXPECT_EQ(Layers()->GetItemCount(), layers) << path.toStdString();
        EXPECT_EQ(Mixer()->m_layers.size(), size_t(layers)) << path.toStdString();
        EXPECT_EQ(Frame()->windowTitle(), QFileInfo(path).fileName() + " - Kavelo");
    }
}

} // namespace
