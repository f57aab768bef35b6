#include "imaging/composekernels.h"
#include "imaging/composelayer.h"
#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

const BYTE* Table() {
    static BYTE table[65536];
    static const bool filled = (FillProductTable(table), true);
    (void)filled;
    return table;
}

const int kOwner = 1;

std::vector<ComposePath> FastPaths() {
    std::vector<ComposePath> paths;
    for (ComposePath path : {ComposePath::kSse2, ComposePath::kAvx2})
        if (ComposePathAvailable(path))
            paths.push_back(path);
    return paths;
}

const char* NameOf(ComposePath path) {
    return path == ComposePath::kAvx2 ? "AVX2" : path == ComposePath::kSse2 ? "SSE2" : "scalar";
}

// Leaves the fastest path in force whatever a test forced.
struct PathGuard {
    ~PathGuard() { ClearForcedComposePath(); }
};

// Alpha mostly 0 or 255, as pictures have it, with everything between too.
DWORD RandomWord(std::mt19937& rng) {
    const int kind = int(rng() % 4);
    const DWORD alpha = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
    return (rng() & 0xFFFFFF00u) | alpha;
}

struct RandomLayer {
    std::unique_ptr<CComposeLayer> layer = std::make_unique<CComposeLayer>();

    RandomLayer(std::mt19937& rng, int pageW, int pageH) {
        const int sw = 1 + int(rng() % 40), sh = 1 + int(rng() % 30);
        std::vector<DWORD> words(size_t(sw * sh));
        for (size_t i = 0; i < words.size(); ++i)
            // Runs of one word now and then, so that repeat runs occur.
            words[i] = (i > 0 && rng() % 3 == 0) ? words[i - 1] : RandomWord(rng);
        EXPECT_TRUE(layer->m_stream.BuildFromWords(words.data(), sw, sh, int(rng() % 2)));
        CComposeLayer& l = *layer;
        l.m_dX = double(int(rng() % unsigned(pageW + 20)) - 10) + (rng() % 4) * 0.25;
        l.m_dY = double(int(rng() % unsigned(pageH + 20)) - 10) + (rng() % 4) * 0.25;
        // Enlarged, reduced and one to one, some boxes negative.
        l.m_dWidth = rng() % 4 == 0 ? sw : 1 + double(rng() % unsigned(2 * pageW + 2));
        l.m_dHeight = rng() % 4 == 0 ? sh : 1 + double(rng() % unsigned(2 * pageH + 2));
        if (rng() % 6 == 0)
            l.m_dWidth = -l.m_dWidth;
        if (rng() % 6 == 0)
            l.m_dHeight = -l.m_dHeight;
        const int opacityKind = int(rng() % 4);
        l.m_nOpacity = opacityKind == 0   ? 255
                       : opacityKind == 1 ? int(rng() % 3)
                                          : int(rng() % 256);
        l.m_nVisible = rng() % 10 != 0;
        l.m_nMirrored = rng() % 3 == 0;
        l.m_nFlipped = rng() % 3 == 0;
    }
};

struct RandomScene {
    int W, H;
    COLORREF corners[4];
    std::vector<RandomLayer> layers;
    std::vector<CComposeLayer*> raw;
    bool clipped;
    CRect clip;

    explicit RandomScene(std::mt19937& rng) {
        W = 1 + int(rng() % 97);
        H = 1 + int(rng() % 40);
        for (COLORREF& c : corners)
            c = rng() & 0xFFFFFF;
        const int n = int(rng() % 7);
        for (int i = 0; i < n; ++i) {
            layers.emplace_back(rng, W, H);
            raw.push_back(layers.back().layer.get());
        }
        if (rng() % 8 == 0)
            raw.insert(raw.begin() + long(rng() % (raw.size() + 1)), nullptr);
        clipped = rng() % 2 == 0;
        const int l = int(rng() % unsigned(W + 4)) - 2, t = int(rng() % unsigned(H + 4)) - 2;
        clip.SetRect(l, t, l + int(rng() % unsigned(W + 2)), t + int(rng() % unsigned(H + 2)));
    }

    // The page bytes after composing over a page of a fixed pattern.
    std::vector<BYTE> Compose(const BYTE* table) const {
        CDIB page;
        page.Create(W, H, 24, nullptr);
        BYTE* bits = page.GetBits();
        const size_t bytes = size_t(page.GetRowSize()) * size_t(H);
        for (size_t i = 0; i < bytes; ++i)
            bits[i] = BYTE(i * 7 + 3);
        EXPECT_TRUE(page.Compose(raw, &kOwner, table, corners[0], corners[1], corners[2],
                                 corners[3], clipped ? &clip : nullptr, nullptr));
        return std::vector<BYTE>(page.GetBlock(), page.GetBlock() + page.GetBlockSize());
    }
};

} // namespace

TEST(ComposeKernelsTest, EveryPathGivesTheScalarBytesOnRandomScenes) {
    PathGuard guard;
    std::mt19937 rng(2024);
    const std::vector<ComposePath> paths = FastPaths();
    for (int round = 0; round < 2000; ++round) {
        const RandomScene scene(rng);
        ASSERT_TRUE(ForceComposePath(ComposePath::kScalar));
        const std::vector<BYTE> reference = scene.Compose(Table());
        for (ComposePath path : paths) {
            ASSERT_TRUE(ForceComposePath(path));
            ASSERT_EQ(scene.Compose(Table()), reference)
                << NameOf(path) << " differs in scene " << round << " (" << scene.W << " x "
                << scene.H << ", " << scene.layers.size() << " layers)";
        }
    }
}

TEST(ComposeKernelsTest, BlendAndStoreMatchTheTableForEveryAlphaAndOpacity) {
    std::mt19937 rng(99);
    const CComposeKernels& scalar = ScalarComposeKernels();
    std::vector<uint32_t> words(256 + 7), page(words.size());
    std::vector<int> columns(words.size());
    for (ComposePath path : FastPaths()) {
        const CComposeKernels& fast = ComposeKernelsOf(path);
        for (int opacity = 0; opacity < 256; ++opacity) {
            // Every alpha once, in a shuffled order, over a random page;
            // the span is not a multiple of the vector width.
            for (size_t i = 0; i < words.size(); ++i) {
                words[i] = (rng() & 0xFFFFFF00u) | uint32_t(i % 256);
                page[i] = rng();
                columns[i] = int(rng() % words.size());
            }
            const int* const ways[2] = {nullptr, columns.data()};
            for (const int* cols : ways) {
                std::vector<uint32_t> want = page, got = page;
                scalar.blend(words.data(), cols, int(words.size()), opacity, want.data(), Table());
                fast.blend(words.data(), cols, int(words.size()), opacity, got.data(), Table());
                for (size_t i = 0; i < words.size(); ++i)
                    ASSERT_EQ(got[i] >> 8, want[i] >> 8)
                        << NameOf(path) << " opacity " << opacity << " pixel " << i
                        << (cols ? " through columns" : "");
            }
        }
        // Storing: every length up to a few vectors, nothing written beyond.
        for (int n = 0; n < 40; ++n) {
            std::vector<BYTE> want(size_t(3 * n + 8), 0xAB), got = want;
            scalar.store(page.data(), n, want.data());
            fast.store(page.data(), n, got.data());
            ASSERT_EQ(got, want) << NameOf(path) << " storing " << n << " pixels";
        }
    }
}

TEST(ComposeKernelsTest, ForcingAPathIsRefusedWhereItCannotRun) {
    PathGuard guard;
    EXPECT_TRUE(ComposePathAvailable(ComposePath::kScalar));
#if defined(__x86_64__)
    EXPECT_TRUE(ComposePathAvailable(ComposePath::kSse2)); // every x86-64 has it
#endif
    const ComposePath fastest = ActiveComposePath();
    for (ComposePath path : {ComposePath::kScalar, ComposePath::kSse2, ComposePath::kAvx2}) {
        const bool available = ComposePathAvailable(path);
        EXPECT_EQ(ForceComposePath(path), available) << NameOf(path);
        if (available) {
            EXPECT_EQ(ActiveComposePath(), path) << NameOf(path);
        }
    }
    ClearForcedComposePath();
    EXPECT_EQ(ActiveComposePath(), fastest);
    EXPECT_EQ(fastest, ComposePathAvailable(ComposePath::kAvx2)   ? ComposePath::kAvx2
                       : ComposePathAvailable(ComposePath::kSse2) ? ComposePath::kSse2
                                                                  : ComposePath::kScalar);
}

TEST(ComposeKernelsTest, AnotherTableIsReadAsItIsOnEveryPath) {
    // A table that is not the product table cannot be replaced by the
    // arithmetic of the fast paths: the page follows the table given.
    PathGuard guard;
    // (i * j) >> 8 keeps every product within its factor, as the gradient
    // needs, and differs from the product table in most places.
    std::vector<BYTE> table(65536);
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            table[size_t(i * 256 + j)] = BYTE((i * j) >> 8);
    std::mt19937 rng(3);
    for (int round = 0; round < 50; ++round) {
        const RandomScene scene(rng);
        ASSERT_TRUE(ForceComposePath(ComposePath::kScalar));
        const std::vector<BYTE> reference = scene.Compose(table.data());
        for (ComposePath path : FastPaths()) {
            ASSERT_TRUE(ForceComposePath(path));
            ASSERT_EQ(scene.Compose(table.data()), reference) << NameOf(path) << " " << round;
        }
    }
}
