// The largest bundled template (by file size under res/Tmplts) printed at
// 300 dots per inch on A4 into a PDF file, as a full T-shirt print in its
// proportions, through the view's print routine, and its parts one by one:
// making every layer's pixels at the copy's size (pictures resampled or
// drawn from their drawing, texts drawn with their font), composing them
// into the copy, and writing the copy into the PDF. The baseline in the
// same run draws the same pictures (each layer's picture at its own
// resolution) smoothly scaled with QPainter into an image of the copy's
// size: the least a sharp print at that size costs.

#include "app/morvaneapp.h"
#include "app/morvaneview.h"
#include "content/appsettings.h"
#include "imaging/dib.h"
#include "imaging/sizedpixels.h"
#include "layers/layerchannel.h"
#include "layers/layermixer.h"
#include "platform/gdi/dc.h"
#include "platform/printing.h"
#include "platform/settingsstore.h"
#include "platform/userservices.h"
#include "popups/printdesign.h"
#include "popups/registerpopups.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDpi = 300;
constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;

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

// Settings in a private file, the staged folder as program folder, the
// view built, the template loaded and set to print as a full T-shirt in
// its proportions on light-fabric paper.
struct Setup {
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    platform::ScopedScriptedServices services;
    std::unique_ptr<CMorvaneView> view;
    std::string design = LargestTemplate();
    CSize copy;

    bool Load(benchmark::State& state) {
        platform::UseSettingsFile((dir.path() + "/registry.ini").toStdString());
        if (!QDir::setCurrent(QStringLiteral(MORVANE_STAGE_DIR)) ||
            !CMorvaneApp(AppSettings()).InitFolders()) {
            state.SkipWithError("no staged program folder: build morvane_resources");
            return false;
        }
        RegisterFrameworkPopups();
        view = std::make_unique<CMorvaneView>();
        if (!view->BuildSurface(kViewWidth, kViewHeight) || design.empty() ||
            !view->LoadDesign(design) || !services.messages.empty()) {
            state.SkipWithError(("the template did not load cleanly: " + design).c_str());
            return false;
        }
        view->Mixer()->SynchroniseLayers();
        view->m_print.m_nPageMode = 1;
        view->m_print.m_nKeepAspect = 1;
        view->m_print.m_nFillPage = 0;
        // The copy's size on an A4 printer at 300 dpi.
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer);
        QPainter painter(&printer);
        CDC dc(&painter);
        int w = 0, h = 0;
        view->Mixer()->GetPageSize(&w, &h);
        copy =
            ComputePrintLayout(CSize(w, h), view->m_print, CPrintDevice::FromDC(dc)).m_sizeTarget;
        state.SetLabel(QFileInfo(QString::fromStdString(design)).fileName().toStdString() + " " +
                       std::to_string(copy.cx) + "x" + std::to_string(copy.cy));
        return copy.cx > 0;
    }
    ~Setup() {
        view.reset();
        QDir::setCurrent(previousFolder);
    }

    void SetUpPrinter(QPrinter& printer) const {
        platform::SetPdfOutput(&printer, (dir.path() + "/print.pdf").toStdString());
        printer.setResolution(kDpi);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    // Every layer taking part, its box at the copy's size.
    std::vector<std::pair<CLayerChannel*, QRect>> Boxes() const {
        std::vector<std::pair<CLayerChannel*, QRect>> boxes;
        int w = 0, h = 0;
        view->Mixer()->GetPageSize(&w, &h);
        const double sx = double(copy.cx) / w, sy = double(copy.cy) / h;
        for (CLayerChannel* layer : view->Mixer()->m_layers)
            if (layer->m_stream.IsValid() && layer->m_nVisible)
                boxes.emplace_back(layer, QRect(int(layer->m_dX * sx), int(layer->m_dY * sy),
                                                std::abs(int(layer->m_dWidth * sx)),
                                                std::abs(int(layer->m_dHeight * sy))));
        return boxes;
    }
};

// The whole print: the view's print routine onto a PDF printer at 300 dpi,
// the file written.
void BM_PrintA4At300Dpi(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setup.SetUpPrinter(printer);
        QPainter painter(&printer);
        CDC dc(&painter);
        if (!setup.view->PrintDesign(&dc) || !painter.end()) {
            state.SkipWithError("printing failed");
            return;
        }
    }
}
BENCHMARK(BM_PrintA4At300Dpi)->Unit(benchmark::kMillisecond);

// Part 1: every layer's pixels made at its box's size and read row by row,
// as the composition reads them.
void BM_Part1_LayerPixelsAtSize(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    const auto boxes = setup.Boxes();
    for (auto _ : state)
        for (const auto& [layer, box] : boxes) {
            const std::unique_ptr<CLayerPixels> pixels =
                layer->PixelsAtSize(box.width(), box.height());
            if (!pixels)
                continue;
            std::vector<DWORD> row(size_t(pixels->GetWidth()));
            for (int y = 0; y < pixels->GetHeight(); ++y)
                pixels->DecodeRow(y, row.data());
            benchmark::DoNotOptimize(row.data());
        }
    state.counters["layers"] = double(boxes.size());
}
BENCHMARK(BM_Part1_LayerPixelsAtSize)->Unit(benchmark::kMillisecond);

// Part 2: the copy rendered at its size (part 1 and the composition).
void BM_Part2_RenderAtSize(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    CDIB image;
    if (!image.Create(setup.copy.cx, setup.copy.cy, 24, nullptr)) {
        state.SkipWithError("no image of the copy's size");
        return;
    }
    for (auto _ : state)
        if (!setup.view->Mixer()->RenderAtSize(&image, nullptr)) {
            state.SkipWithError("rendering failed");
            return;
        }
}
BENCHMARK(BM_Part2_RenderAtSize)->Unit(benchmark::kMillisecond);

// Part 3: the composition alone at the copy's size, from the layers'
// screen pixels (the same inner loops, no layer made afresh).
void BM_Part3_ComposeAtSize(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    CDIB image;
    if (!image.Create(setup.copy.cx, setup.copy.cy, 24, nullptr)) {
        state.SkipWithError("no image of the copy's size");
        return;
    }
    for (auto _ : state)
        if (!setup.view->Mixer()->RenderInto(&image, nullptr)) {
            state.SkipWithError("composing failed");
            return;
        }
}
BENCHMARK(BM_Part3_ComposeAtSize)->Unit(benchmark::kMillisecond);

// Part 4: a rendered copy mirrored and written into the PDF file.
void BM_Part4_PdfOfTheCopy(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    CDIB image;
    if (!image.Create(setup.copy.cx, setup.copy.cy, 24, nullptr) ||
        !setup.view->Mixer()->RenderAtSize(&image, nullptr)) {
        state.SkipWithError("no rendered copy");
        return;
    }
    int w = 0, h = 0;
    setup.view->Mixer()->GetPageSize(&w, &h);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setup.SetUpPrinter(printer);
        QPainter painter(&printer);
        CDC dc(&painter);
        if (!PrintRenderedDesign(&dc, &image, CSize(w, h), setup.view->m_print, nullptr) ||
            !painter.end()) {
            state.SkipWithError("writing the PDF failed");
            return;
        }
    }
}
BENCHMARK(BM_Part4_PdfOfTheCopy)->Unit(benchmark::kMillisecond);

// Baseline: each layer's picture at its own resolution drawn smoothly
// scaled into its box on an image of the copy's size, back to front.
void BM_Baseline_QPainterSmoothPictures(benchmark::State& state) {
    Setup setup;
    if (!setup.Load(state))
        return;
    const auto boxes = setup.Boxes();
    std::vector<QImage> pictures;
    for (const auto& entry : boxes)
        pictures.push_back(PremultipliedImageOf(entry.first->m_stream));
    QImage page(setup.copy.cx, setup.copy.cy, QImage::Format_RGB32);
    for (auto _ : state) {
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (size_t i = boxes.size(); i-- > 0;)
            painter.drawImage(boxes[i].second, pictures[i]);
        painter.end();
        benchmark::DoNotOptimize(page.constBits());
    }
    state.counters["layers"] = double(boxes.size());
}
BENCHMARK(BM_Baseline_QPainterSmoothPictures)->Unit(benchmark::kMillisecond);

} // namespace
