// The largest bundled template (by file size under res/Tmplts) loaded by
// the main view and exported as a .bmp 1000 pixels wide, as the program and
// morvane-render do it, and its parts one by one: reading and parsing the
// file, building the layers (the view's whole LoadDesign), composing the
// page at the export size and encoding it. The baseline in the same run
// reads the same picture files with QImage and writes a picture of the
// export size with it: the bare input and output, without any of our work.

#include "app/designfile.h"
#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "content/fileutil.h"
#include "imaging/dib.h"
#include "layers/layermixer.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "popups/registerpopups.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kExportWidth = 1000;
// The view's client size in the program's default window.
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;

// The template with the most bytes, "" when none is staged.
std::string LargestTemplate() {
    QDirIterator it(QStringLiteral(MORVANE_STAGE_DIR "/res/Tmplts"), {QStringLiteral("*.prt")},
                    QDir::Files, QDirIterator::Subdirectories);
    QString largest;
    qint64 largestSize = -1;
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        if (file.size() > largestSize) {
            largestSize = file.size();
            largest = file.absoluteFilePath();
        }
    }
    return QDir::toNativeSeparators(largest).toStdString();
}

// Settings in a private file, the staged folder as program and content
// folder, messages answered by a script, the view built.
struct Setup {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    platform::ScopedScriptedServices services;
    std::unique_ptr<CMorvaneView> view;
    std::string design = LargestTemplate();

    Setup() {
        platform::UseSettingsFile((dir.path() + "/registry.ini").toStdString());
        if (!QDir::setCurrent(QStringLiteral(MORVANE_STAGE_DIR)) ||
            !CMorvaneApp(AppSettings()).InitFolders())
            return;
        RegisterFrameworkPopups();
        view = std::make_unique<CMorvaneView>();
        if (!view->BuildSurface(kViewWidth, kViewHeight))
            view.reset();
    }
    ~Setup() {
        view.reset();
        QDir::setCurrent(previousFolder);
    }

    std::string OutputPath() const { return (dir.path() + "/export.bmp").toStdString(); }

    // False (and the benchmark skipped) when the template does not load
    // cleanly: a missing picture would ask and measure less work.
    bool Load(benchmark::State& state) {
        if (!view || design.empty()) {
            state.SkipWithError("no staged templates or no view: build morvane_resources");
            return false;
        }
        services.Clear();
        if (!view->LoadDesign(design) || !services.messages.empty()) {
            state.SkipWithError(("the template did not load cleanly: " + design).c_str());
            return false;
        }
        return true;
    }

    int ExportHeight() const { return int(std::trunc(kExportWidth / view->Mixer()->m_dAspect)); }
};

void Label(benchmark::State& state, const Setup& setup) {
    state.SetLabel(QFileInfo(QString::fromStdString(setup.design)).fileName().toStdString());
}

// The whole of it: LoadDesign and SaveDesign to a .bmp, as a user's export.
void BM_LoadAndExport(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    const std::string output = setup.OutputPath();
    // The two halves of each iteration, as averages in milliseconds.
    using Clock = std::chrono::steady_clock;
    Clock::duration loading{}, exporting{};
    for (auto _ : state) {
        setup.services.Clear();
        const Clock::time_point start = Clock::now();
        const bool loaded = setup.view->LoadDesign(setup.design);
        const Clock::time_point middle = Clock::now();
        if (!loaded || !setup.view->SaveDesign(output)) {
            state.SkipWithError("loading or exporting failed");
            return;
        }
        loading += middle - start;
        exporting += Clock::now() - middle;
    }
    const auto average = [&](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() /
               double(state.iterations());
    };
    state.counters["load_ms"] = average(loading);
    state.counters["export_ms"] = average(exporting);
    Label(state, setup);
}
BENCHMARK(BM_LoadAndExport)->Unit(benchmark::kMillisecond);

// The export alone, through the view's SaveDesign: the page resized to the
// export width and composed, written, and put back and composed again at
// its size in the view.
void BM_SaveDesignBmp(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    const std::string output = setup.OutputPath();
    for (auto _ : state) {
        setup.services.Clear();
        if (!setup.view->SaveDesign(output)) {
            state.SkipWithError("exporting failed");
            return;
        }
    }
    Label(state, setup);
}
BENCHMARK(BM_SaveDesignBmp)->Unit(benchmark::kMillisecond);

// Part 1: the file read and parsed.
void BM_Part1_ReadAndParse(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    for (auto _ : state) {
        DWORD size = 0;
        char* data = ReadWholeFile(setup.design, &size);
        if (!data) {
            state.SkipWithError("the template cannot be read");
            return;
        }
        DesignFile design = ParseDesign(std::string_view(data, size));
        FreeFileBuffer(data);
        benchmark::DoNotOptimize(design.records.data());
    }
    Label(state, setup);
}
BENCHMARK(BM_Part1_ReadAndParse)->Unit(benchmark::kMillisecond);

// Part 2: the view's LoadDesign: parsing again, the pictures loaded, the
// texts drawn and every layer built.
void BM_Part2_LoadDesign(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    for (auto _ : state)
        if (!setup.view->LoadDesign(setup.design)) {
            state.SkipWithError("LoadDesign failed");
            return;
        }
    Label(state, setup);
}
BENCHMARK(BM_Part2_LoadDesign)->Unit(benchmark::kMillisecond);

// Part 3: the loaded layers composed into a page of the export size.
void BM_Part3_Compose(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    CLayerMixer* mixer = setup.view->Mixer();
    CDIB page;
    if (!page.Create(kExportWidth, setup.ExportHeight(), 24, nullptr)) {
        state.SkipWithError("no page of the export size");
        return;
    }
    mixer->SynchroniseLayers();
    for (auto _ : state)
        if (!mixer->RenderInto(&page, nullptr)) {
            state.SkipWithError("RenderInto failed");
            return;
        }
    Label(state, setup);
}
BENCHMARK(BM_Part3_Compose)->Unit(benchmark::kMillisecond);

// Part 4: the composed page written as a .bmp.
void BM_Part4_EncodeBmp(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    CLayerMixer* mixer = setup.view->Mixer();
    CDIB page;
    mixer->SynchroniseLayers();
    if (!page.Create(kExportWidth, setup.ExportHeight(), 24, nullptr) ||
        !mixer->RenderInto(&page, nullptr)) {
        state.SkipWithError("no composed page of the export size");
        return;
    }
    const std::string output = setup.OutputPath();
    for (auto _ : state)
        if (!page.Save(output)) {
            state.SkipWithError("saving the page failed");
            return;
        }
    Label(state, setup);
}
BENCHMARK(BM_Part4_EncodeBmp)->Unit(benchmark::kMillisecond);

// The picture files the template names (image, alpha and thumbnail of each
// picture layer), found as the view finds them.
std::vector<QString> TemplatePictureFiles(const std::string& design) {
    std::vector<QString> files;
    DWORD size = 0;
    char* data = ReadWholeFile(design, &size);
    if (!data)
        return files;
    const DesignFile parsed = ParseDesign(std::string_view(data, size));
    FreeFileBuffer(data);
    for (const DesignRecord& record : parsed.records) {
        if (!record.IsPicture())
            continue;
        for (const std::string* written :
             {&record.picture.imagePath, &record.picture.alphaPath, &record.picture.thumbPath}) {
            const std::string path =
                ResolveDesignPath(TrimDesignPath(*written), AppSettings().GetProgramFolder(),
                                  AppSettings().GetContentFolder());
            if (!path.empty())
                files.push_back(QString::fromStdString(path));
        }
    }
    return files;
}

// Baseline: the same picture files read by QImage and a picture of the
// export size written by it as a .bmp.
void BM_Baseline_QImageReadPicturesWriteBmp(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    const std::vector<QString> files = TemplatePictureFiles(setup.design);
    if (files.empty()) {
        state.SkipWithError("the template names no picture files");
        return;
    }
    QImage page(kExportWidth, setup.ExportHeight(), QImage::Format_RGB888);
    page.fill(Qt::white);
    const QString output = QString::fromStdString(setup.OutputPath());
    for (auto _ : state) {
        for (const QString& file : files) {
            QImage picture(file);
            if (picture.isNull()) {
                state.SkipWithError("QImage cannot read a picture of the template");
                return;
            }
            benchmark::DoNotOptimize(picture.constBits());
        }
        if (!page.save(output, "BMP")) {
            state.SkipWithError("QImage cannot write the page");
            return;
        }
    }
    state.counters["files"] = double(files.size());
    Label(state, setup);
}
BENCHMARK(BM_Baseline_QImageReadPicturesWriteBmp)->Unit(benchmark::kMillisecond);

} // namespace
