// Editing a design of 50 layers in the main view (25 clip-art pictures and
// 25 texts, at the program's default window size): the undo and redo of a
// move and of a deleted text layer, against the baseline of composing the
// whole page once in the same run (the least any visible change costs).
// And the step of a live drag on a full page of 10 layers (a logo of 40 %
// of the page dragged over nine layers that cover it; its old and new
// covers composed), unturned and turned, at the page sizes of the default
// window, of the window maximised on a 1920 x 1080 screen and of an
// export, against composing the whole page at that size.

#include "app/designfile.h"
#include "app/designhistory.h"
#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "imaging/dib.h"
#include "layers/layerchannel.h"
#include "layers/layercycle.h"
#include "layers/layermixer.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "popups/registerpopups.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;

// Pictures of the staged clip art, as designs name them.
std::vector<std::string> ClipArt(size_t count) {
    std::vector<std::string> pictures;
    const QDir data(QStringLiteral("res/Data"));
    for (const QString& category : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        for (const QString& file :
             QDir(data.filePath(category)).entryList({QStringLiteral("i*.bmp")}, QDir::Files)) {
            if (pictures.size() == count)
                return pictures;
            pictures.push_back(("res\\Data\\" + category + "\\" + file).toStdString());
        }
    return pictures;
}

// A design of pictures and texts in turn, scattered over a 400 x 421 page.
std::string DesignOf(int layers, bool texts) {
    DesignFile design;
    design.header.colours[1] = 0x2040E0;
    design.header.colours[2] = 0xE0E0E0;
    design.header.aspect = 0.95;
    design.pageWidth = 400;
    design.pageHeight = 421;
    const std::vector<std::string> pictures = ClipArt(size_t(layers));
    for (int i = 0; i < layers && !pictures.empty(); ++i) {
        DesignRecord record;
        record.opacity = 255;
        if (texts && i % 2 == 1) {
            record.kind = kDesignTextLayer;
            record.text.text = "Laag " + std::to_string(i);
            record.text.colour = 0x203040;
        } else {
            record.kind = kDesignPictureLayer;
            record.picture.imagePath = pictures[size_t(i) % pictures.size()];
        }
        record.box = {0, double(i * 7 % 300), double(i * 13 % 320), 120.0, 90.0, 1, 0, 0};
        design.records.push_back(record);
    }
    return WriteDesignText(design);
}

struct Setup {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    platform::ScopedScriptedServices services;
    std::unique_ptr<CMorvaneView> view;

    Setup(int layers, bool texts) {
        platform::UseSettingsFile((dir.path() + "/registry.ini").toStdString());
        if (!QDir::setCurrent(QStringLiteral(MORVANE_STAGE_DIR)) ||
            !CMorvaneApp(AppSettings()).InitFolders())
            return;
        RegisterFrameworkPopups();
        view = std::make_unique<CMorvaneView>();
        const std::string design = DesignOf(layers, texts);
        const std::string path = (dir.path() + "/bench.prt").toStdString();
        QFile file(QString::fromStdString(path));
        if (!view->BuildSurface(kViewWidth, kViewHeight) || !file.open(QIODevice::WriteOnly) ||
            file.write(design.data(), qint64(design.size())) != qint64(design.size()))
            view.reset();
        file.close();
        if (view && !view->LoadDesign(path))
            view.reset();
        if (view)
            view->History()->Start();
    }
    ~Setup() {
        view.reset();
        QDir::setCurrent(previousFolder);
    }
    bool Ready(benchmark::State& state, int layers) {
        if (!view || view->LayerList()->GetItemCount() != layers) {
            state.SkipWithError("no view or the design did not load: build morvane_resources");
            return false;
        }
        return true;
    }
    CLayerChannel* LayerOf(int index) const {
        CLayerMixer* mixer = view->Mixer();
        return mixer->GetLayer(mixer->FindLayerByKey(view->LayerList()->GetItem(index)->serial));
    }
};

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs undo and redo of the last step again and again; the counters give
// one undo and one redo in milliseconds.
void UndoAndRedo(benchmark::State& state, CDesignHistory* history) {
    Clock::duration undoing{}, redoing{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        history->Undo();
        const Clock::time_point middle = Clock::now();
        history->Redo();
        undoing += middle - start;
        redoing += Clock::now() - middle;
    }
    state.counters["undo_ms"] = Milliseconds(undoing) / double(state.iterations());
    state.counters["redo_ms"] = Milliseconds(redoing) / double(state.iterations());
}

// Undo and redo of one move of the front layer.
void BM_UndoOfAMove50Layers(benchmark::State& state) {
    Setup setup(50, true);
    if (!setup.Ready(state, 50))
        return;
    CLayerChannel* layer = setup.LayerOf(0);
    setup.view->Mixer()->InvalidateLayerBox(layer);
    layer->m_dX += 40;
    setup.view->Mixer()->InvalidateLayerBox(layer);
    setup.view->History()->Checkpoint();
    if (setup.view->History()->Count() != 1) {
        state.SkipWithError("the move made no step");
        return;
    }
    UndoAndRedo(state, setup.view->History());
}
BENCHMARK(BM_UndoOfAMove50Layers)->Unit(benchmark::kMillisecond);

// Undo and redo of deleting the front layer, a text: its item and layer
// come back and its text is drawn again.
void BM_UndoOfADeletedText50Layers(benchmark::State& state) {
    Setup setup(50, true);
    if (!setup.Ready(state, 50))
        return;
    CLayerCycle* list = setup.view->LayerList();
    list->SetCurrentLayer(0);
    if (list->GetCurrentItem()->kind != MMP_TEXT) {
        state.SkipWithError("the front layer is no text");
        return;
    }
    // The list's notifications of the removal already make the step.
    list->RemoveCurrent();
    setup.view->History()->Checkpoint();
    if (setup.view->History()->Count() != 1) {
        state.SkipWithError("no text deleted");
        return;
    }
    UndoAndRedo(state, setup.view->History());
}
BENCHMARK(BM_UndoOfADeletedText50Layers)->Unit(benchmark::kMillisecond);

// Undo and redo of clearing the whole design: every layer comes back.
void BM_UndoOfClearingAll50Layers(benchmark::State& state) {
    Setup setup(50, true);
    if (!setup.Ready(state, 50))
        return;
    setup.view->LayerList()->RemoveAllLayers();
    setup.view->History()->Checkpoint();
    if (setup.view->History()->Count() != 1) {
        state.SkipWithError("nothing cleared");
        return;
    }
    UndoAndRedo(state, setup.view->History());
}
BENCHMARK(BM_UndoOfClearingAll50Layers)->Unit(benchmark::kMillisecond);

// Baseline: the 50-layer page composed whole once.
void BM_ComposeWholePage50Layers(benchmark::State& state) {
    Setup setup(50, true);
    if (!setup.Ready(state, 50))
        return;
    for (auto _ : state) {
        setup.view->Mixer()->MarkPageDirty();
        setup.view->Mixer()->ComposePage(nullptr);
    }
}
BENCHMARK(BM_ComposeWholePage50Layers)->Unit(benchmark::kMillisecond);

// A full page of ten layers; range(0) chooses
// the page's size, range(1) 1 turns the dragged layer.
struct FullPage {
    Setup setup{10, false};
    int width = 0, height = 0;

    bool Ready(benchmark::State& state) {
        if (!setup.Ready(state, 10))
            return false;
        CLayerMixer* mixer = setup.view->Mixer();
        // The page of the default window, of the window maximised on a
        // 1920 x 1080 screen, and of an export.
        if (state.range(0) == 1)
            mixer->ResizePage(CRect(0, 0, 644, 678));
        else if (state.range(0) == 2)
            mixer->ResizePage(CRect(0, 0, 1000, 1052));
        mixer->GetPageSize(&width, &height);
        // Nine layers over most of the page; the one dragged, in front, a
        // logo of 40 % of the page's sides.
        for (int i = 1; i < 10; ++i)
            setup.LayerOf(i)->SetGeometry(width * (0.02 * i), height * (0.015 * i), width * 0.75,
                                          height * 0.8);
        setup.LayerOf(0)->SetGeometry(width * 0.1, height * 0.3, width * 0.4, height * 0.4);
        setup.LayerOf(0)->m_dAngle = state.range(1) ? 30.0 : 0.0;
        mixer->MarkPageDirty();
        mixer->ComposePage(nullptr);
        state.SetLabel(std::to_string(width) + " x " + std::to_string(height) +
                       (state.range(1) ? ", turned" : ""));
        return true;
    }
};

// One step of a live drag: the dragged layer's old and new covers composed.
void BM_LiveDragStepFullPage10Layers(benchmark::State& state) {
    FullPage page;
    if (!page.Ready(state))
        return;
    CLayerMixer* mixer = page.setup.view->Mixer();
    CLayerChannel* dragged = page.setup.LayerOf(0);
    const double x0 = dragged->m_dX;
    int step = 0;
    for (auto _ : state) {
        mixer->InvalidateLayerBox(dragged);
        dragged->m_dX = x0 + (step++ % 40) * 3;
        mixer->InvalidateLayerBox(dragged);
        mixer->ComposePage(&mixer->m_rcDirty);
        mixer->m_rcDirty.SetRectEmpty();
    }
}
BENCHMARK(BM_LiveDragStepFullPage10Layers)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Baseline: the same page composed whole.
void BM_ComposeWholeFullPage10Layers(benchmark::State& state) {
    FullPage page;
    if (!page.Ready(state))
        return;
    CLayerMixer* mixer = page.setup.view->Mixer();
    for (auto _ : state) {
        mixer->MarkPageDirty();
        mixer->ComposePage(nullptr);
    }
}
BENCHMARK(BM_ComposeWholeFullPage10Layers)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace
