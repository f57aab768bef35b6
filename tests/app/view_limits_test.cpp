// Limits a user meets in the running program: a picture too large to hold
// is refused with one message in the user's language, whatever its format,
// and nothing else happens; a design of many layers opens behind one
// progress bar.

#include "programtest.h"

#include "app/designfile.h"
#include "app/designprogress.h"
#include "app/extratexts.h"
#include "controls/multimenu.h"
#include "layers/layercycle.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

void Put16(std::string& s, int v, bool bigEndian = false) {
    s += bigEndian ? char(v >> 8) : char(v & 0xFF);
    s += bigEndian ? char(v & 0xFF) : char(v >> 8);
}
void Put32(std::string& s, uint32_t v, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i)
        s += char(v >> (bigEndian ? 24 - 8 * i : 8 * i));
}

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// Headers of pictures of 40000 x 40000 pixels (1.6 gigapixels), with only
// as much data as it takes to read their size.
std::string HugeBmp() {
    std::string s = "BM";
    Put32(s, 54);
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, 40000);
    Put32(s, 40000);
    Put16(s, 1);
    Put16(s, 24);
    s.append(24, '\0');
    return s;
}

std::string HugePng() {
    std::string ihdr = "IHDR";
    Put32(ihdr, 40000, true);
    Put32(ihdr, 40000, true);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    std::string s("\x89PNG\r\n\x1A\n", 8);
    Put32(s, 13, true);
    s += ihdr;
    Put32(s, Crc32(ihdr), true);
    // The header of the pixel data, where the size is checked.
    const std::string idat = "IDAT" + std::string(16, '\0');
    Put32(s, 16, true);
    s += idat;
    Put32(s, Crc32(idat), true);
    return s;
}

std::string HugeJpeg() {
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::gray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "JPEG");
    std::string s = bytes.toStdString();
    // The frame header: marker, length, precision, then height and width.
    const size_t frame = s.find("\xFF\xC0");
    if (frame != std::string::npos)
        for (size_t at : {frame + 5, frame + 7}) {
            s[at] = char(40000 >> 8);
            s[at + 1] = char(40000 & 0xFF);
        }
    return s;
}

std::string HugeTiff() {
    std::string s = "II";
    Put16(s, 42);
    Put32(s, 8);
    Put16(s, 7);
    const auto entry = [&](int tag, int type, uint32_t value) {
        Put16(s, tag);
        Put16(s, type);
        Put32(s, 1);
        Put32(s, value);
    };
    entry(256, 4, 40000);      // width
    entry(257, 4, 40000);      // height
    entry(258, 3, 8);          // bits per sample
    entry(262, 3, 1);          // black is zero
    entry(273, 4, 128);        // strip offset
    entry(278, 4, 40000);      // rows per strip
    entry(279, 4, 1600000000); // strip bytes
    Put32(s, 0);
    s.resize(128, '\0');
    return s;
}

// A design written by the program's own writer: clip art and texts in
// turn, the clip art from two pictures that many layers show.
std::string ManyLayers(int count) {
    DesignHeader header;
    const COLORREF colours[] = {16777215, 12579839, 16777215, 16777215, 10087679};
    std::copy(std::begin(colours), std::end(colours), header.colours);
    header.pageMode = 3;
    header.aspect = 1.414;
    std::string design;
    AppendDesignHeader(design, header);
    AppendDesignPageLines(design, count, true, 400, 283);
    for (int i = 0; i < count; ++i) {
        DesignRecord record;
        if (i % 2 == 0) {
            record.kind = kDesignThumbnailLayer;
            record.opacity = 255;
            const std::string name = i / 2 % 2 ? "monkey.bmp" : "lion.bmp";
            const std::string folder = "res\\Data\\animals\\";
            record.picture = {0, folder + "i" + name, folder + "a" + name, folder + "t" + name};
        } else {
            record.kind = kDesignTextLayer;
            record.opacity = 200;
            record.text.colour = COLORREF(i * 977 % 0xFFFFFF);
            record.text.alignment = 1;
            record.text.text = "Layer " + std::to_string(i);
            record.text.font.lfHeight = -20;
            record.text.font.lfWeight = 400;
            std::strcpy(record.text.font.lfFaceName, "DejaVu Sans");
        }
        record.box = {0, double(i % 37 * 10), double(i % 23 * 11), 30.0 + i % 5, 20.0 + i % 7, 1, 0,
                      0};
        AppendDesignRecord(design, record);
    }
    return design;
}

// Titles of the top-level windows shown, in order.
class ShownWindows : public QObject {
public:
    ShownWindows() { qApp->installEventFilter(this); }
    ~ShownWindows() override { qApp->removeEventFilter(this); }
    std::vector<std::string> titles;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && widget && widget->isWindow())
            titles.push_back(widget->windowTitle().toStdString());
        return false;
    }
};

// Whether a window captioned so is on screen.
bool Shown(const std::string& title) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowTitle().toStdString() == title)
            return true;
    return false;
}

// The user at the questions about a missing picture, noting whether the
// design's bar was on screen when each came.
class BarWatchingServices : public platform::ScriptedServices {
public:
    explicit BarWatchingServices(std::string title) : m_title(std::move(title)) {}
    int MessageBox(const platform::MessageBoxRequest& request) override {
        barShown.push_back(Shown(m_title));
        return ScriptedServices::MessageBox(request);
    }
    std::optional<std::string> FileDialog(const platform::FileDialogRequest& request) override {
        barShown.push_back(Shown(m_title));
        return ScriptedServices::FileDialog(request);
    }
    std::vector<bool> barShown;

private:
    std::string m_title;
};

class ViewLimitsTest : public ProgramTest {
protected:
    void OpenWithKey(const std::string& path) {
        services.fileAnswers.push_back(path);
        Frame()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key_O);
        QApplication::processEvents();
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ViewLimitsTest, APictureTooLargeToHoldIsRefusedWithOneMessageInEveryFormat) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_folder.isValid());
    const std::string* format = View()->Strings().Find(kTextPictureTooLarge);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(*format, "De afbeelding %s is te groot om te openen: %lld x %lld pixels (hoogstens "
                       "100 miljoen pixels).");
    const std::pair<const char*, std::string> pictures[] = {
        {"huge.bmp", HugeBmp()},
        {"huge.png", HugePng()},
        {"huge.jpg", HugeJpeg()},
        {"huge.tif", HugeTiff()},
    };
    for (const auto& [name, bytes] : pictures) {
        const std::string path = m_folder.filePath(QString::fromUtf8(name)).toStdString();
        programtest::WriteFile(QString::fromStdString(path), bytes);
        services.messages.clear();
        OpenWithKey(path);
        ASSERT_EQ(services.messages.size(), 1u) << name << ": " << services.messages.front().text;
        EXPECT_EQ(services.messages[0].text,
                  "De afbeelding " + path +
                      " is te groot om te openen: 40000 x 40000 pixels (hoogstens 100 miljoen "
                      "pixels).");
        EXPECT_EQ(Layers()->GetLayerCount(), 0) << name;
    }
    // A picture that fits still opens as a layer, without a message.
    QImage fits(40, 30, QImage::Format_RGB32);
    fits.fill(Qt::red);
    const QString ok = m_folder.filePath(QStringLiteral("fits.png"));
    ASSERT_TRUE(fits.save(ok));
    services.messages.clear();
    OpenWithKey(ok.toStdString());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(Layers()->GetLayerCount(), 1);
}

TEST_F(ViewLimitsTest, ADesignOfManyLayersOpensBehindOneProgressBarAndIsSavedAsRead) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_folder.isValid());
    const int count = 2 * CDesignProgress::kShownFrom;
    const QString path = m_folder.filePath(QStringLiteral("many.prt"));
    programtest::WriteFile(path, ManyLayers(count));
    ShownWindows shown;
    services.messages.clear();
    OpenWithKey(path.toStdString());
    // One bar captioned with the design, none of the texts' own popups; it
    // has gone when the design is open.
    EXPECT_EQ(shown.titles, std::vector<std::string>{"many.prt"});
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible() && window->windowTitle() == "many.prt");
    EXPECT_TRUE(services.messages.empty());
    ASSERT_EQ(Layers()->GetLayerCount(), count);
    // The last record is in front.
    const multimenu_package* front = Layers()->GetItem(0);
    EXPECT_EQ(front->kind, MMP_TEXT);
    EXPECT_EQ(front->text, "Layer " + std::to_string(count - 1));

    const QString again = m_folder.filePath(QStringLiteral("again.prt"));
    services.fileAnswers.push_back(again.toStdString());
    programtest::Click(programtest::Widget(View(), ID_SAVE));
    EXPECT_EQ(programtest::ReadFile(again), programtest::ReadFile(path));

    // A short design shows no bar of its own, only each text's popup.
    const int fewer = CDesignProgress::kShownFrom - 1;
    programtest::WriteFile(path, ManyLayers(fewer));
    shown.titles.clear();
    OpenWithKey(path.toStdString());
    EXPECT_EQ(Layers()->GetLayerCount(), fewer);
    ASSERT_EQ(shown.titles.size(), size_t(fewer / 2));
    EXPECT_EQ(shown.titles.front(), "Layer 1");
    EXPECT_EQ(shown.titles.back(), "Layer " + std::to_string(fewer - 2));
}

TEST_F(ViewLimitsTest, ALongDesignsBarStepsAsideWhileAMissingPictureIsAskedFor) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_folder.isValid());
    std::string design = ManyLayers(2 * CDesignProgress::kShownFrom);
    const std::string known = "res\\Data\\animals\\imonkey.bmp";
    design.replace(design.find(known), known.size(), "res\\Data\\animals\\imissing.bmp");
    const QString path = m_folder.filePath(QStringLiteral("gap.prt"));
    programtest::WriteFile(path, design);

    BarWatchingServices watching("gap.prt");
    watching.fileAnswers.push_back(path.toStdString()); // the open dialog
    watching.fileAnswers.push_back(std::nullopt);       // the missing picture: cancelled
    platform::SetServices(&watching);
    OpenWithKey(path.toStdString());
    platform::SetServices(&services);
    services.fileAnswers.clear();
    // The open dialog, then the question and the dialog of the missing
    // picture, neither under the bar; the other layers came all the same.
    EXPECT_EQ(watching.barShown, (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Layers()->GetLayerCount(), 2 * CDesignProgress::kShownFrom - 1);
    EXPECT_FALSE(Shown("gap.prt"));
}
