// The clip-art browser: a category strip and a file strip built as the main
// view builds them, over a small library in a temporary content folder,
// driven by mouse events on the thumbs and the scroll buttons.

#include "buttontestsupport.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "controls/button.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"
#include "platform/settingsstore.h"
#include "testsupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace buttontest;
namespace fs = std::filesystem;

namespace {

constexpr int kCatStrip = 10, kCatUp = 11, kCatDown = 12, kCatThumb0 = 20;
constexpr int kFileStrip = 30, kFileUp = 31, kFileDown = 32, kFileThumb0 = 40;
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The colour of the thumbnail t<k>.bmp of a category.
COLORREF EntryColour(int k) {
    return RGB(10 + 20 * k, 250 - 20 * k, 40 + 15 * k);
}

// The file name of a part of picture k: 't' thumbnail, 'i' image, 'a'
// mask. Built by appending, as GCC 12 misreads "t" + std::string at -O2
// as an overlapping copy.
std::string PartName(char part, int k) {
    std::string name(1, part);
    name += std::to_string(k);
    name += ".bmp";
    return name;
}

void WritePicture(const fs::path& path, int width, int height, COLORREF colour) {
    fs::create_directories(path.parent_path());
    std::unique_ptr<CDIB> picture(
        MakePicture(width, height, [colour](int, int) { return colour; }));
    ASSERT_TRUE(picture->Save(path.string())) << path;
}

// A content folder with the categories "three" (3 pictures), "ten" (10
// pictures, with their images and masks) and "ghost" (a category thumbnail
// without a folder).
struct Library {
    testsupport::TempDir dir;
    std::string previousContent;
    Library() : previousContent(AppSettings().GetContentFolder()) {
        AppSettings().SetContentFolder(dir.Str());
        const fs::path cats = dir.Path() / "cats";
        WritePicture(cats / "tthree.bmp", 30, 20, RGB(200, 200, 200));
        WritePicture(cats / "tten.bmp", 30, 20, RGB(150, 150, 150));
        WritePicture(cats / "tghost.bmp", 30, 20, RGB(100, 100, 100));
        for (int k = 0; k < 3; ++k)
            WritePicture(cats / "three" / PartName('t', k), 30, 20, EntryColour(k));
        for (int k = 0; k < 10; ++k) {
            WritePicture(cats / "ten" / PartName('t', k), 30, 20, EntryColour(k));
            WritePicture(cats / "ten" / PartName('i', k), 90, 60, kBlack);
            WritePicture(cats / "ten" / PartName('a', k), 90, 60, kBlack);
        }
    }
    ~Library() {
        if (!previousContent.empty())
            AppSettings().SetContentFolder(previousContent);
    }
};

class BrowserHost : public LoggingHost {
public:
    void OnNotify_Drop(int source, int target, const POINT* p) override {
        log.push_back("drop " + std::to_string(source) + " " + std::to_string(target) + " " +
                      std::to_string(p->x) + " " + std::to_string(p->y));
    }
    // The notifications of a kind ("select", "drop"), without the others.
    std::vector<std::string> Logged(const std::string& kind) const {
        std::vector<std::string> lines;
        for (const std::string& line : log)
            if (line.rfind(kind + " ", 0) == 0)
                lines.push_back(line);
        return lines;
    }
};

CDIB* MakeArrowStrip() {
    return MakePicture(20, 40, [](int, int y) { return RGB(60 * (y / 10), 90, 90); });
}

// Two strips as the main view builds them: each a column with gaps 2 and
// 3, an up button, a down button and eight thumbs, all of weight 1.
struct Browser {
    BrowserHost host;
    CThumbStrip* cats = nullptr;
    CThumbStrip* files = nullptr;
    std::vector<CThumbControl*> catThumbs, fileThumbs;

    Browser() {
        host.Widget()->resize(400, 500);
        const std::string catFolder = AppSettings().MakeContentPath("cats");
        cats = Build(kCatStrip, CRect(10, 10, 70, 460), catFolder.c_str(), "cats", &catThumbs);
        cats->SetFrameGradient(0x000000FF, 0x0000FF00);
        files = Build(kFileStrip, CRect(100, 10, 160, 460), "", "", &fileThumbs);
        files->SetDraggable(TRUE);
        CThumbStrip::LinkStrips(cats, files);
    }

    CThumbStrip* Build(int id, CRect rect, const char* folder, const char* alt,
                       std::vector<CThumbControl*>* thumbs) {
        auto* strip =
            new CThumbStrip(&host, host.Widget(), id, &rect, 0, folder, alt, nullptr, 2, 3);
        strip->m_dwFlags |= GROUP_COLUMN;
        EXPECT_TRUE(host.AddControl(strip));
        const CRect small(0, 0, 60, 33);
        for (int k = 1; k <= 2; ++k) {
            auto* button = new CButtonControl(&host, host.Widget(), id + k, &small, "", 0, 0);
            EXPECT_TRUE(host.AddControl(button));
            EXPECT_TRUE(button->SetBitmap(MakeArrowStrip()));
            if (k == 1)
                strip->SetUpButton(button);
            else
                strip->SetDownButton(button);
            button->m_dWeight = 1.0;
            strip->Relayout();
        }
        for (int i = 0; i < 8; ++i) {
            auto* thumb = new CThumbControl(&host, host.Widget(), id + 10 + i, &small, "",
                                            BTN_KEEP_ASPECT, 0, 2, 2, 255);
            EXPECT_TRUE(host.AddControl(thumb));
            EXPECT_TRUE(strip->AddMember(thumb));
            thumb->m_dWeight = 1.0;
            strip->Relayout();
            thumbs->push_back(thumb);
        }
        return strip;
    }

    QWidget* Widget(int id) { return dynamic_cast<QWidget*>(host.FindControl(id)); }

    // The category thumb that shows the named category.
    CThumbControl* Category(const std::string& name) {
        for (CThumbControl* thumb : catThumbs)
            if (thumb->GetImage() && thumb->GetImage()->GetBaseName() == "cats\\" + name)
                return thumb;
        ADD_FAILURE() << "no category thumb shows " << name;
        return catThumbs.front();
    }
};

void Click(QWidget* widget) {
    Press(widget, widget->width() / 2, widget->height() / 2);
    Release(widget, widget->width() / 2, widget->height() / 2);
}

void Choose(Browser& b, const std::string& category) {
    Click(b.Category(category));
}

// A mouse move with the left button held.
void MoveHeld(QWidget* widget, int x, int y) {
    const QPointF local(x, y);
    QMouseEvent event(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

std::string ShownPath(const CThumbControl* thumb) {
    return thumb->GetImage() ? thumb->GetImage()->GetThumbPath() : std::string();
}

// The picture number k of listing entry i (the file t<k>.bmp).
int EntryNumber(const CThumbStrip* strip, int i) {
    std::string name;
    EXPECT_TRUE(strip->m_directory.GetFileName(i, &name));
    return name.size() > 1 ? name[1] - '0' : -1;
}

COLORREF CentreColour(QWidget* widget) {
    return PixelAt(Grab(widget), widget->width() / 2, widget->height() / 2);
}

// Each thumb shows listing entry first + i (or nothing outside the listing).
void ExpectShownFrom(Browser& b, int first, const char* what) {
    for (int i = 0; i < 8; ++i) {
        CThumbControl* thumb = b.fileThumbs[size_t(i)];
        std::string expected;
        if (!b.files->EntryPath(first + i, &expected)) {
            EXPECT_EQ(thumb->GetImage(), nullptr) << what << ": thumb " << i;
            EXPECT_EQ(CentreColour(thumb), kBlack) << what << ": thumb " << i;
            continue;
        }
        EXPECT_EQ(ShownPath(thumb), expected) << what << ": thumb " << i;
        EXPECT_EQ(CentreColour(thumb), EntryColour(EntryNumber(b.files, first + i)))
            << what << ": thumb " << i;
    }
}

std::vector<CDIB*> Images(const std::vector<CThumbControl*>& thumbs) {
    std::vector<CDIB*> images;
    for (CThumbControl* thumb : thumbs)
        images.push_back(thumb->GetImage());
    return images;
}

// Counts the files opened in a folder, as the system reports them: the
// count of reads does not depend on how the strip or the cache loads.
class FileOpens {
public:
    explicit FileOpens(const fs::path& folder) : m_fd(inotify_init1(IN_NONBLOCK)) {
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(inotify_add_watch(m_fd, folder.c_str(), IN_OPEN), 0) << folder;
    }
    ~FileOpens() { close(m_fd); }
    FileOpens(const FileOpens&) = delete;
    FileOpens& operator=(const FileOpens&) = delete;

    // The files opened since the last call, with how often each was opened.
    std::map<std::string, int> Take() {
        std::map<std::string, int> opened;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(m_fd, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0) // nameless: the folder itself, listed
                    ++opened[event->name];
                p += sizeof(inotify_event) + event->len;
            }
        return opened;
    }

private:
    int m_fd;
};

DWORD StoredPosition(const CThumbStrip* strip) {
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(
        ReadRegistryDword(&value, HKEY_CURRENT_USER, kRegistryKey, strip->m_directory.GetPath()));
    return value;
}

} // namespace

TEST(ThumbStripLayout, ColumnOfUpButtonThumbsAndDownButton) {
    Library library;
    Browser b;
    // 450 high with ten controls and gaps of 3: each control 41 high, 56 wide.
    EXPECT_EQ(b.Widget(kCatUp)->geometry(), QRect(12, 13, 56, 41));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(b.catThumbs[size_t(i)]->geometry(), QRect(12, 13 + 44 * (i + 1), 56, 41)) << i;
    EXPECT_EQ(b.Widget(kCatDown)->geometry(), QRect(12, 409, 56, 41));
    EXPECT_EQ(b.Widget(kFileUp)->geometry(), QRect(102, 13, 56, 41));

    // Only the thumbs are members: dragging reaches them and not the buttons.
    EXPECT_EQ(b.files->m_members.size(), 8u);
    EXPECT_EQ(b.files->m_pUpButton->m_pGroup, b.files);
    EXPECT_TRUE(b.fileThumbs[0]->GetFlags() & CTRL_DRAGGABLE);
    EXPECT_FALSE(b.files->m_pUpButton->GetFlags() & CTRL_DRAGGABLE);
    EXPECT_FALSE(b.catThumbs[0]->GetFlags() & CTRL_DRAGGABLE);

    // Three categories, shown from the first thumb; the empty file strip.
    EXPECT_EQ(b.cats->FileCount(), 3);
    EXPECT_EQ(b.cats->m_nFirst, 0);
    EXPECT_EQ(b.cats->Refresh(), 3);
    EXPECT_EQ(b.files->Refresh(), 0);
    for (CThumbControl* thumb : b.fileThumbs)
        EXPECT_EQ(thumb->GetImage(), nullptr);
}

TEST(ThumbStripScroll, FewerFilesThanThumbsFillTheLastThumbs) {
    Library library;
    Browser b;
    CThumbControl* three = b.Category("three");
    Choose(b, "three");
    EXPECT_EQ(b.host.Logged("select"),
              (std::vector<std::string>{"select " + std::to_string(three->m_nId) + " 0",
                                        "select " + std::to_string(kCatStrip) + " 0"}));
    EXPECT_EQ(b.cats->m_pSelected, three);
    EXPECT_EQ(b.files->m_directory.GetAltPath(), "cats\\three");
    EXPECT_EQ(b.files->FileCount(), 3);
    EXPECT_EQ(b.files->m_nFirst, -5);
    ExpectShownFrom(b, -5, "three files");
    EXPECT_FALSE(b.Widget(kFileUp)->isEnabled());
    EXPECT_FALSE(b.Widget(kFileDown)->isEnabled());
    // The file thumbs take the chosen category's frame colour.
    for (CThumbControl* thumb : b.fileThumbs) {
        EXPECT_EQ(thumb->m_crFrame, three->m_crFrame);
        EXPECT_EQ(PixelAt(Grab(thumb), 1, 20), three->m_crFrame);
    }
}

TEST(ThumbStripScroll, EachStepLoadsOneThumbnailAndMovesTheOthers) {
    Library library;
    Browser b;
    Choose(b, "ten");
    ASSERT_EQ(b.files->FileCount(), 10); // the images and masks are not listed
    EXPECT_EQ(b.files->m_nFirst, 0);
    ExpectShownFrom(b, 0, "start");
    EXPECT_FALSE(b.Widget(kFileUp)->isEnabled());
    EXPECT_TRUE(b.Widget(kFileDown)->isEnabled());

    FileOpens opens(library.dir.Path() / "cats" / "ten");
    opens.Take();
    std::vector<CDIB*> before = Images(b.fileThumbs);
    Click(b.Widget(kFileDown));
    EXPECT_EQ(b.files->m_nFirst, 1);
    // Exactly one file read: the thumbnail of the entry that came in.
    EXPECT_EQ(opens.Take(),
              (std::map<std::string, int>{{PartName('t', EntryNumber(b.files, 8)), 1}}));
    std::vector<CDIB*> after = Images(b.fileThumbs);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(after[size_t(i)], before[size_t(i) + 1]) << "thumb " << i << " moved";
    ExpectShownFrom(b, 1, "one forward");
    EXPECT_TRUE(b.Widget(kFileUp)->isEnabled());

    Click(b.Widget(kFileDown));
    EXPECT_EQ(b.files->m_nFirst, 2);
    EXPECT_FALSE(b.Widget(kFileDown)->isEnabled());
    EXPECT_TRUE(b.Widget(kFileUp)->isEnabled());

    // At the end nothing moves: neither a click on the disabled button nor
    // its command reaching the strip.
    before = Images(b.fileThumbs);
    opens.Take();
    Click(b.Widget(kFileDown));
    b.host.Notify(kFileDown, kNotifySelect, 0);
    EXPECT_EQ(b.files->m_nFirst, 2);
    EXPECT_EQ(Images(b.fileThumbs), before);
    EXPECT_EQ(opens.Take(), (std::map<std::string, int>{})) << "nothing read at the end";
    EXPECT_FALSE(b.Widget(kFileDown)->isEnabled());

    // Back one: only entry 1 is still on disc, so a thumb that read its
    // file again instead of taking its neighbour's picture would stay empty.
    std::string keep;
    ASSERT_TRUE(b.files->m_directory.GetFullPath(1, &keep));
    for (int i = 0; i < 10; ++i) {
        std::string path;
        ASSERT_TRUE(b.files->m_directory.GetFullPath(i, &path));
        if (path != keep)
            fs::remove(platform::NativePath(path));
    }
    opens.Take();
    Click(b.Widget(kFileUp));
    EXPECT_EQ(b.files->m_nFirst, 1);
    EXPECT_EQ(opens.Take(),
              (std::map<std::string, int>{{PartName('t', EntryNumber(b.files, 1)), 1}}));
    after = Images(b.fileThumbs);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(after[size_t(i)], before[size_t(i) - 1]) << "thumb " << i << " moved";
    ExpectShownFrom(b, 1, "one back");
    EXPECT_EQ(after[0]->GetRefCount(), 1);
    EXPECT_TRUE(b.Widget(kFileDown)->isEnabled());
}

TEST(ThumbStripScroll, MissingFolderEmptiesTheStrip) {
    Library library;
    Browser b;
    Choose(b, "ten");
    ASSERT_EQ(b.files->Refresh(), 8);
    Choose(b, "ghost");
    EXPECT_EQ(b.files->FileCount(), 0);
    EXPECT_EQ(b.files->m_nFirst, -8);
    ExpectShownFrom(b, -8, "ghost");
    EXPECT_FALSE(b.Widget(kFileUp)->isEnabled());
    EXPECT_FALSE(b.Widget(kFileDown)->isEnabled());
}

TEST(ThumbStripFrames, GradientFromRedToGreenStopsOneStepShort) {
    Library library;
    Browser b;
    EXPECT_EQ(b.catThumbs.front()->m_crFrame, COLORREF(0x0000FF));
    EXPECT_EQ(b.catThumbs.back()->m_crFrame, RGB(32, 223, 0));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(b.catThumbs[size_t(i)]->m_crFrame, RGB(255 - 255 * i / 8, 255 * i / 8, 0)) << i;
    // On screen: both frame rings on every side.
    for (const auto& [thumb, colour] :
         {std::pair{b.catThumbs.front(), RGB(255, 0, 0)}, {b.catThumbs.back(), RGB(32, 223, 0)}}) {
        const QImage image = Grab(thumb);
        for (const POINT p : {POINT{1, 20}, POINT{2, 20}, POINT{53, 20}, POINT{54, 20},
                              POINT{28, 1}, POINT{28, 2}, POINT{28, 38}, POINT{28, 39}})
            EXPECT_EQ(PixelAt(image, p.x, p.y), colour) << p;
    }
}

TEST(ThumbStripNotifications, ChosenThumbIsAPositionAndTheStripReportsIt) {
    Library library;
    Browser b;
    Choose(b, "ten");
    b.host.log.clear();
    Click(b.fileThumbs[6]);
    EXPECT_EQ(b.host.Logged("select"),
              (std::vector<std::string>{"select " + std::to_string(kFileThumb0 + 6) + " 0",
                                        "select " + std::to_string(kFileStrip) + " 0"}));
    EXPECT_EQ(b.files->m_pSelected, b.fileThumbs[6]);
    // The category strip does not take a file strip's report as a choice.
    EXPECT_EQ(b.files->m_directory.GetAltPath(), "cats\\ten");

    b.host.log.clear();
    Click(b.Widget(kFileDown));
    EXPECT_EQ(b.host.Logged("select"),
              (std::vector<std::string>{"select " + std::to_string(kFileDown) + " 0"}));
    EXPECT_EQ(b.files->m_pSelected, b.fileThumbs[6]);
    std::string entry7;
    ASSERT_TRUE(b.files->EntryPath(7, &entry7));
    EXPECT_EQ(ShownPath(b.files->m_pSelected), entry7);

    b.host.log.clear();
    EXPECT_TRUE(b.files->Fire(0));
    EXPECT_EQ(b.host.Logged("select"),
              (std::vector<std::string>{"select " + std::to_string(kFileStrip) + " 0"}));
}

TEST(ThumbStripPositions, SameCategoryTwiceKeepsThePosition) {
    Library library;
    Browser b;
    Choose(b, "ten");
    Click(b.Widget(kFileDown));
    Click(b.Widget(kFileDown));
    ASSERT_EQ(b.files->m_nFirst, 2);
    Choose(b, "ten");
    EXPECT_EQ(b.files->m_nFirst, 2);
    EXPECT_EQ(StoredPosition(b.files), 2u);
    ExpectShownFrom(b, 2, "ten again");

    Choose(b, "three");
    EXPECT_EQ(b.files->m_nFirst, -5);
    Choose(b, "ten");
    EXPECT_EQ(b.files->m_nFirst, 2);
    ExpectShownFrom(b, 2, "ten after three");
    // Leaving three remembered its position too.
    const std::string threeFolder = AppSettings().MakeContentPath("cats\\three");
    DWORD three = 0;
    ASSERT_TRUE(ReadRegistryDword(&three, HKEY_CURRENT_USER, kRegistryKey, threeFolder));
    EXPECT_EQ(int(three), -5);
}

TEST(ThumbStripPositions, PositionsSurviveARestart) {
    Library library;
    testsupport::TempDir settings;
    const std::string file = (settings.Path() / "registry.ini").string();
    platform::UseSettingsFile(file);
    {
        Browser b;
        Choose(b, "ten");
        Click(b.Widget(kFileDown));
        Choose(b, "three"); // leaving ten stores its position
    }
    platform::UseSettingsFile(file); // the store is read again
    {
        Browser b;
        Choose(b, "ten");
        EXPECT_EQ(b.files->m_nFirst, 1);
        ExpectShownFrom(b, 1, "after the restart");
    }
    platform::UseSettingsFile((settings.Path() / "fresh.ini").string());
    {
        Browser b;
        Choose(b, "ten");
        EXPECT_EQ(b.files->m_nFirst, 0);
    }
}

// Dragging ------------------------------------------------------------------------------

namespace {

class ScriptedIcon : public CDragIconPopup {
public:
    ScriptedIcon(bool drop, POINT at) : m_bDrop(drop), m_ptAt(at) {}
    bool Track(POINT* dropPoint) override {
        if (m_bDrop)
            *dropPoint = m_ptAt;
        return m_bDrop;
    }

private:
    bool m_bDrop;
    POINT m_ptAt;
};

// The drag icon of the test: records what it was started with and drops
// at a given screen point (or cancels).
struct DragScript {
    int starts = 0;
    POINT startPoint{0, 0};
    QImage picture;
    bool drop = true;
    POINT dropAt{0, 0};

    DragScript() {
        SetManagerPopupFactories({nullptr, [this](CDIB* image, POINT p) {
                                      ++starts;
                                      startPoint = p;
                                      picture = ToImage(image);
                                      return std::make_unique<ScriptedIcon>(drop, dropAt);
                                  }});
    }
    ~DragScript() { SetManagerPopupFactories({}); }

    static QImage ToImage(CDIB* dib) {
        if (!dib || !dib->BeginPixelAccess())
            return QImage();
        QImage image(dib->GetWidth(), dib->GetHeight(), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const BYTE* p = dib->PixelAddress(unsigned(x), unsigned(y));
                image.setPixel(x, y, qRgb(p[2], p[1], p[0]));
            }
        dib->EndPixelAccess();
        return image;
    }
};

} // namespace

TEST(ThumbStripDrag, FileThumbDropsOnAnotherControlWithThePoint) {
    Library library;
    Browser b;
    Choose(b, "ten");
    const CRect targetRect(250, 50, 350, 100);
    auto* target = new CButtonControl(&b.host, b.host.Widget(), 900, &targetRect, "", 0, 0);
    ASSERT_TRUE(b.host.AddControl(target));
    ASSERT_TRUE(b.host.AddListener(target));
    DragScript script;
    const QPoint dropLocal(30, 20);
    const QPoint dropScreen = target->mapToGlobal(dropLocal);
    script.dropAt = POINT{dropScreen.x(), dropScreen.y()};
    CThumbControl* thumb = b.fileThumbs[2];
    b.host.log.clear();

    Press(thumb, 10, 10);
    const QImage look = Grab(thumb); // pressed
    MoveHeld(thumb, 14, 10);         // 4 pixels: not yet a drag
    EXPECT_EQ(script.starts, 0);
    MoveHeld(thumb, 15, 10);
    ASSERT_EQ(script.starts, 1);
    const QPoint start = thumb->mapToGlobal(QPoint(15, 10));
    EXPECT_EQ(CPoint(script.startPoint), CPoint(start.x(), start.y()));
    // The icon shows the thumb as it is on screen, at its placed size.
    ASSERT_EQ(script.picture.size(), QSize(56, 41));
    EXPECT_EQ(script.picture, look);

    EXPECT_EQ(b.host.Logged("drop"),
              (std::vector<std::string>{"drop " + std::to_string(kFileThumb0 + 2) + " 900 30 20"}));
    POINT dropped{0, 0};
    EXPECT_TRUE(target->TakeDropPoint(&dropped));
    EXPECT_EQ(CPoint(dropped), CPoint(30, 20));
    EXPECT_FALSE(target->TakeDropPoint(&dropped));

    // The press ended with the drag: no pressed look, and the release that
    // follows is no click.
    EXPECT_FALSE(thumb->isDown());
    EXPECT_FALSE(thumb->GetFlags() & BTN_PRESSED);
    Release(thumb, 15, 10);
    EXPECT_TRUE(b.host.Logged("select").empty());

    // A cancelled drag drops nothing, and the next drag can start.
    script.drop = false;
    Press(thumb, 10, 10);
    MoveHeld(thumb, 20, 10);
    EXPECT_EQ(script.starts, 2);
    EXPECT_EQ(b.host.Logged("drop").size(), 1u);
    Release(thumb, 20, 10);

    // Scroll buttons and category thumbs are not dragged.
    for (QWidget* widget : {b.Widget(kFileUp), static_cast<QWidget*>(b.catThumbs[0])}) {
        Press(widget, 10, 10);
        MoveHeld(widget, 30, 10);
        Release(widget, 30, 10);
    }
    EXPECT_EQ(script.starts, 2);
}
