// The clip-art browser over the library the build stages: a category strip
// and a file strip built as the main view builds them, each category chosen
// by a click on its thumb and each file strip scrolled to its end.

#include "buttontestsupport.h"
#include "content/appsettings.h"
#include "controls/button.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace buttontest;
namespace fs = std::filesystem;

namespace {

constexpr int kCategoryStrip = 654629789, kCategoryUp = 165287, kCategoryDown = 1897231,
              kFirstCategoryThumb = 35654564;
constexpr int kFileStrip = 475478, kFileUp = 6498798, kFileDown = 19811, kFirstFileThumb = 2064897;
constexpr int kThumbs = 8;

// The main view's client area at its design size.
class LibraryHost : public LoggingHost {
public:
    LibraryHost() {
        Widget()->resize(800, 600);
        InitLayout(800, 600);
    }
};

struct StagedLibrary {
    std::string previousContent;
    StagedLibrary() : previousContent(AppSettings().GetContentFolder()) {
        AppSettings().SetContentFolder(MORVANE_STAGE_DIR);
    }
    ~StagedLibrary() {
        if (!previousContent.empty())
            AppSettings().SetContentFolder(previousContent);
    }
};

// Rows 2 to 23 of the editing surface: each strip a column (gaps 2 and 3)
// of an up button, eight thumbs and a down button, all of weight 1.
struct MainViewStrips {
    LibraryHost host;
    CThumbStrip* categories = nullptr;
    CThumbStrip* files = nullptr;
    std::vector<CThumbControl*> categoryThumbs, fileThumbs;

    MainViewStrips() {
        const std::string clipArt = AppSettings().MakeContentPath("res\\Data");
        categories =
            AddStrip(kCategoryStrip, CRect(81, 165, 141, 601), clipArt.c_str(), "res\\Data",
                     kCategoryUp, kCategoryDown, kFirstCategoryThumb, &categoryThumbs);
        categories->SetFrameGradient(0x000000FF, 0x0000FF00);
        files = AddStrip(kFileStrip, CRect(660, 165, 720, 601), "", "", kFileUp, kFileDown,
                         kFirstFileThumb, &fileThumbs);
        files->SetDraggable(1);
        CThumbStrip::LinkStrips(categories, files);
        host.OnSize(0, 800, 600);
    }

    CButtonControl* AddButton(int id, const char* skin) {
        const CRect member(0, 0, 60, 33);
        auto* button = new CButtonControl(&host, host.Widget(), id, &member, "", 0, 0);
        EXPECT_TRUE(host.AddControl(button));
        EXPECT_TRUE(button->SetBitmapFile(skin)) << skin;
        button->m_dWeight = 1.0;
        return button;
    }

    CThumbStrip* AddStrip(int id, CRect rect, const char* folder, const char* altFolder, int upId,
                          int downId, int firstThumbId, std::vector<CThumbControl*>* thumbs) {
        auto* strip =
            new CThumbStrip(&host, host.Widget(), id, &rect, 0, folder, altFolder, nullptr, 2, 3);
        EXPECT_TRUE(host.AddControl(strip));
        strip->m_dwFlags |= GROUP_COLUMN;
        strip->SetUpButton(AddButton(upId, "res\\kv\\ieup"));
        strip->SetDownButton(AddButton(downId, "res\\kv\\iedown"));
        const CRect member(0, 0, 60, 33);
        for (int i = 0; i < kThumbs; ++i) {
            auto* thumb = new CThumbControl(&host, host.Widget(), firstThumbId + i, &member, "",
                                            BTN_KEEP_ASPECT, 0, 2, 2, 255);
            EXPECT_TRUE(host.AddControl(thumb));
            EXPECT_TRUE(strip->AddMember(thumb));
            thumb->m_dWeight = 1.0;
            thumbs->push_back(thumb);
        }
        return strip;
    }

    QWidget* Widget(int id) { return dynamic_cast<QWidget*>(host.FindControl(id)); }
};

void Click(QWidget* widget) {
    Press(widget, widget->width() / 2, widget->height() / 2);
    Release(widget, widget->width() / 2, widget->height() / 2);
}

// The category folders of the staged library, as the strips name them.
std::set<std::string> StagedCategories() {
    std::set<std::string> names;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(MORVANE_STAGE_DIR) / "res" / "Data"))
        if (entry.is_directory())
            names.insert("res\\Data\\" + entry.path().filename().string());
    return names;
}

// Every thumb of the strip shows a thumbnail of the listing.
void ExpectEveryThumbShowsAPicture(MainViewStrips& s, const std::string& category) {
    for (int i = 0; i < kThumbs; ++i) {
        const CThumbControl* thumb = s.fileThumbs[size_t(i)];
        std::string expected;
        ASSERT_TRUE(s.files->EntryPath(s.files->m_nFirst + i, &expected)) << category << " " << i;
        ASSERT_NE(thumb->GetImage(), nullptr) << category << " thumb " << i;
        EXPECT_EQ(thumb->GetImage()->GetThumbPath(), expected) << category << " thumb " << i;
        ASSERT_NE(thumb->GetThumbnail(), nullptr) << category << " thumb " << i;
        EXPECT_GT(thumb->GetThumbnail()->GetWidth(), 0) << category << " thumb " << i;
    }
}

} // namespace

TEST(ClipArtLibrary, FourteenCategoriesOfTwelvePicturesEach) {
    StagedLibrary library;
    MainViewStrips s;
    ASSERT_EQ(s.categories->FileCount(), 14);
    EXPECT_EQ(s.categories->Refresh(), kThumbs);
    EXPECT_FALSE(s.Widget(kCategoryUp)->isEnabled());
    EXPECT_TRUE(s.Widget(kCategoryDown)->isEnabled());

    std::set<std::string> chosen;
    for (int c = 0; c < 14; ++c) {
        // Scroll the category strip until the category is on a thumb.
        while (c >= s.categories->m_nFirst + kThumbs)
            Click(s.Widget(kCategoryDown));
        Click(s.categoryThumbs[size_t(c - s.categories->m_nFirst)]);
        const std::string category = s.files->m_directory.GetAltPath();
        chosen.insert(category);
        EXPECT_EQ(s.files->FileCount(), 12) << category;
        EXPECT_EQ(s.files->m_nFirst, 0) << category;
        ExpectEveryThumbShowsAPicture(s, category);

        // Twelve pictures on eight thumbs: four steps to the end.
        for (int step = 0; step < 4; ++step)
            Click(s.Widget(kFileDown));
        EXPECT_EQ(s.files->m_nFirst, 4) << category;
        EXPECT_FALSE(s.Widget(kFileDown)->isEnabled()) << category;
        EXPECT_TRUE(s.Widget(kFileUp)->isEnabled()) << category;
        ExpectEveryThumbShowsAPicture(s, category);
    }
    EXPECT_EQ(s.categories->m_nFirst, 6);
    EXPECT_FALSE(s.Widget(kCategoryDown)->isEnabled());
    EXPECT_EQ(chosen, StagedCategories());
    EXPECT_EQ(chosen.size(), 14u);
}
