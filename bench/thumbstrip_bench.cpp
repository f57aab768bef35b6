// The clip-art browser over the staged library: one scroll step of the file
// strip (one thumbnail read and decoded, seven moved) and the fill of the
// file strip after a category choice (eight thumbnails), each cold (the
// pictures are not in the manager's cache) and warm (they are). The
// baselines in the same run decode the same thumbnail files straight into
// images, one and eight of them: the strip's cost over the bare decoding is
// the ratio of the two.

#include "content/appsettings.h"
#include "controls/button.h"
#include "controls/controlmanager.h"
#include "controls/thumbcontrol.h"
#include "controls/thumbstrip.h"
#include "imaging/dib.h"
#include "platform/settingsstore.h"

#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCategoryStrip = 654629789, kFirstCategoryThumb = 35654564;
constexpr int kFileStrip = 475478, kFileUp = 6498798, kFileDown = 19811, kFirstFileThumb = 2064897;
constexpr int kThumbs = 8;

// Settings go to a private file, never to the user's own.
struct PrivateSettings {
    QTemporaryDir dir;
    PrivateSettings() {
        platform::UseSettingsFile((dir.path() + "/registry.ini").toStdString());
        AppSettings().SetContentFolder(MORVANE_STAGE_DIR);
    }
};

class BenchHost : public CControlManager {
public:
    BenchHost() {
        m_widget.resize(800, 600);
        m_widget.show();
        m_pHostWnd = &m_widget;
        EnablePaint(TRUE);
        InitLayout(800, 600);
    }
    ~BenchHost() override { Clear(); }
    BOOL CreateControls() override { return TRUE; }
    QWidget* Widget() { return &m_widget; }

protected:
    void DestroyHost() override {}

private:
    QWidget m_widget;
};

// The two strips as the main view builds them.
struct Browser {
    BenchHost host;
    CThumbStrip* categories = nullptr;
    CThumbStrip* files = nullptr;

    Browser() {
        const std::string clipArt = AppSettings().MakeContentPath("res\\Data");
        categories = AddStrip(kCategoryStrip, CRect(81, 165, 141, 601), clipArt.c_str(),
                              "res\\Data", 165287, 1897231, kFirstCategoryThumb);
        categories->SetFrameGradient(0x000000FF, 0x0000FF00);
        files = AddStrip(kFileStrip, CRect(660, 165, 720, 601), "", "", kFileUp, kFileDown,
                         kFirstFileThumb);
        files->SetDraggable(1);
        CThumbStrip::LinkStrips(categories, files);
        host.OnSize(0, 800, 600);
    }

    CButtonControl* AddButton(int id, const char* skin) {
        const CRect member(0, 0, 60, 33);
        auto* button = new CButtonControl(&host, host.Widget(), id, &member, "", 0, 0);
        host.AddControl(button);
        button->SetBitmapFile(skin);
        return button;
    }

    CThumbStrip* AddStrip(int id, CRect rect, const char* folder, const char* altFolder, int upId,
                          int downId, int firstThumbId) {
        auto* strip =
            new CThumbStrip(&host, host.Widget(), id, &rect, 0, folder, altFolder, nullptr, 2, 3);
        host.AddControl(strip);
        strip->m_dwFlags |= GROUP_COLUMN;
        strip->SetUpButton(AddButton(upId, "res\\kv\\ieup"));
        strip->SetDownButton(AddButton(downId, "res\\kv\\iedown"));
        const CRect member(0, 0, 60, 33);
        for (int i = 0; i < kThumbs; ++i) {
            auto* thumb = new CThumbControl(&host, host.Widget(), firstThumbId + i, &member, "",
                                            BTN_KEEP_ASPECT, 0, 2, 2, 255);
            host.AddControl(thumb);
            strip->AddMember(thumb);
        }
        return strip;
    }

    // A click on category thumb k, as the thumb raises it.
    void Choose(int k) { host.Notify(kFirstCategoryThumb + k, kNotifySelect, 0); }
    void Scroll(bool forward) { host.Notify(forward ? kFileDown : kFileUp, kNotifySelect, 0); }

    // Keeps a reference to every picture of the chosen category in the
    // manager's cache, so the strip finds them there.
    void HoldCategory(std::vector<CDIB*>* held) {
        for (int i = 0; i < files->FileCount(); ++i) {
            std::string path;
            if (files->EntryPath(i, &path))
                if (CDIB* image = host.LoadImage(path.c_str(), CDIB::kThumbnail, FALSE))
                    held->push_back(image);
        }
    }
    void Release(std::vector<CDIB*>* held) {
        for (CDIB* image : *held)
            host.ReleaseImage(image);
        held->clear();
    }
};

bool StagedLibraryPresent(benchmark::State& state, const Browser& b) {
    if (b.categories->FileCount() >= 2)
        return true;
    state.SkipWithError("the staged library is missing: build the target morvane_resources");
    return false;
}

// One step per iteration, forward to the end of the category and back.
void ScrollSteps(benchmark::State& state, bool warm) {
    PrivateSettings settings;
    Browser b;
    if (!StagedLibraryPresent(state, b))
        return;
    b.Choose(0);
    std::vector<CDIB*> held;
    if (warm)
        b.HoldCategory(&held);
    const int last = b.files->FileCount() - kThumbs;
    bool forward = true;
    for (auto _ : state) {
        if (b.files->m_nFirst >= last)
            forward = false;
        else if (b.files->m_nFirst <= 0)
            forward = true;
        b.Scroll(forward);
    }
    b.Release(&held);
}

void BM_FileStripScrollStep_Cold(benchmark::State& state) {
    ScrollSteps(state, false);
}
BENCHMARK(BM_FileStripScrollStep_Cold)->Unit(benchmark::kMillisecond);

void BM_FileStripScrollStep_Warm(benchmark::State& state) {
    ScrollSteps(state, true);
}
BENCHMARK(BM_FileStripScrollStep_Warm)->Unit(benchmark::kMillisecond);

// One category fill per iteration, alternating between two categories, so
// every fill replaces all eight pictures.
void CategoryFills(benchmark::State& state, bool warm) {
    PrivateSettings settings;
    Browser b;
    if (!StagedLibraryPresent(state, b))
        return;
    std::vector<CDIB*> held;
    if (warm)
        for (int k : {0, 1}) {
            b.Choose(k);
            b.HoldCategory(&held);
        }
    int k = 0;
    for (auto _ : state) {
        b.Choose(k);
        k = 1 - k;
    }
    b.Release(&held);
}

void BM_CategoryFill_Cold(benchmark::State& state) {
    CategoryFills(state, false);
}
BENCHMARK(BM_CategoryFill_Cold)->Unit(benchmark::kMillisecond);

void BM_CategoryFill_Warm(benchmark::State& state) {
    CategoryFills(state, true);
}
BENCHMARK(BM_CategoryFill_Warm)->Unit(benchmark::kMillisecond);

// Baselines: the thumbnail files of the first category decoded straight
// into images, n per iteration.
void DecodeThumbnails(benchmark::State& state, int count) {
    PrivateSettings settings;
    Browser b;
    if (!StagedLibraryPresent(state, b))
        return;
    b.Choose(0);
    std::vector<std::string> paths;
    for (int i = 0; i < b.files->FileCount(); ++i) {
        std::string path;
        if (b.files->EntryPath(i, &path))
            paths.push_back(path);
    }
    size_t next = 0;
    for (auto _ : state)
        for (int n = 0; n < count; ++n) {
            CDIB image;
            benchmark::DoNotOptimize(image.Load(paths[next++ % paths.size()], CDIB::kThumbnail, 1));
        }
}

void BM_BaselineDecodeOneThumbnail(benchmark::State& state) {
    DecodeThumbnails(state, 1);
}
BENCHMARK(BM_BaselineDecodeOneThumbnail)->Unit(benchmark::kMillisecond);

void BM_BaselineDecodeEightThumbnails(benchmark::State& state) {
    DecodeThumbnails(state, kThumbs);
}
BENCHMARK(BM_BaselineDecodeEightThumbnails)->Unit(benchmark::kMillisecond);

} // namespace
