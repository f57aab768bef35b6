// Reading and writing a design of 300 layers (half pictures, half two-line
// texts), against baselines of the same work done the plain way: splitting
// the bytes into lines with std::getline and converting each with strtod,
// and writing every value with snprintf.

#include "app/designfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

DesignFile SampleDesign() {
    DesignFile design;
    design.header.colours[0] = 16777215;
    design.header.pageMode = 1;
    design.header.aspect = 0.95;
    design.pageWidth = 1000;
    design.pageHeight = 1052;
    for (int i = 0; i < 300; ++i) {
        DesignRecord record;
        record.kind = (i % 2) ? kDesignTextLayer : kDesignPictureLayer;
        record.opacity = BYTE(i);
        if (record.IsText()) {
            record.text.text = "Layer " + std::to_string(i) + "\r\nsecond line of text";
            record.text.font.lfHeight = -60;
            record.text.font.lfWeight = 700;
            std::strcpy(record.text.font.lfFaceName, "DejaVu Sans");
        } else {
            record.picture.loadMode = 1;
            record.picture.imagePath = "res\\Data\\ipicture" + std::to_string(i) + ".bmp";
            record.picture.alphaPath = "res\\Data\\apicture" + std::to_string(i) + ".bmp";
            record.picture.thumbPath = "res\\Data\\tpicture" + std::to_string(i) + ".bmp";
        }
        record.box = {0, 10.25 * i, 5.5 * i, 200.125, -150.0625, 1, i % 3 == 0, i % 5 == 0};
        design.records.push_back(record);
    }
    return design;
}

const std::string& SampleText() {
    static const std::string text = WriteDesignText(SampleDesign());
    return text;
}

void BM_ParseDesign(benchmark::State& state) {
    const std::string& text = SampleText();
    for (auto _ : state) {
        DesignFile design = ParseDesign(text);
        benchmark::DoNotOptimize(design.records.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ParseDesign);

// Baseline: every line through getline and strtod, nothing kept.
void BM_BaselineGetlineStrtod(benchmark::State& state) {
    const std::string& text = SampleText();
    for (auto _ : state) {
        std::istringstream in(text);
        std::string line;
        double sum = 0.0;
        while (std::getline(in, line))
            sum += std::strtod(line.c_str(), nullptr);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_BaselineGetlineStrtod);

void BM_WriteDesign(benchmark::State& state) {
    const DesignFile design = SampleDesign();
    for (auto _ : state) {
        std::string text = WriteDesignText(design);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_WriteDesign);

// Baseline: the box lines of every record through snprintf.
void BM_BaselineSnprintfBoxes(benchmark::State& state) {
    const DesignFile design = SampleDesign();
    for (auto _ : state) {
        std::string text;
        char line[512];
        for (const DesignRecord& record : design.records) {
            const DesignBox& b = record.box;
            std::snprintf(line, sizeof line, "%d\n%f\n%f\n%f\n%f\n%d\n%d\n%d\n", b.reserved, b.x,
                          b.y, b.width, b.height, b.visible, b.mirrored, b.flipped);
            text += line;
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_BaselineSnprintfBoxes);

} // namespace
