// The PICT decoder: ImageMagick's pictures compared with their sources, and
// small pictures built byte by byte for the opcode lengths, the row formats
// and damaged input.

#include "codecs/datasource.h"
#include "codecs/jpegcodec.h"
#include "codecs/pictdecoder.h"
#include "codectest.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace codectest;
using namespace std::string_literals;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBlack = 0xFF000000;

QImage Reference(const std::string& name) {
    return QImage(QString::fromStdString(Fixture(name)));
}

std::string FileBytes(const std::string& name) {
    QFile file(QString::fromStdString(Fixture(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return std::string(data.constData(), size_t(data.size()));
}

// The outcome of decoding with a PICT decoder directly, past the type
// recognition: the error's code and text, and how far the input was read.
struct Outcome {
    int code = 0;
    std::string text;
    int consumed = 0;
};

Outcome DecodeWith(CPictDecoder* decoder, const std::string& bytes, CWinBmp* bmp) {
    CMemorySource source(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()));
    Outcome outcome;
    try {
        decoder->DecodeSource(&source, bmp, 32);
    } catch (const CTextException& e) {
        outcome.code = e.Code();
        outcome.text = e.Text();
    }
    outcome.consumed = source.GetBytesConsumed();
    return outcome;
}

Outcome DecodePict(const std::string& bytes, CWinBmp* bmp) {
    CJPEGDecoder jpeg;
    CPictDecoder decoder(&jpeg);
    return DecodeWith(&decoder, bytes, bmp);
}

std::vector<uint32_t> RowPixels(const CBmp& bmp, int y) {
    std::vector<uint32_t> row;
    for (int x = 0; x < bmp.GetWidth(); ++x)
        row.push_back(Pixel(bmp, x, y));
    return row;
}

Bytes& Rect(Bytes& b, int top, int left, int bottom, int right) {
    return b.be16(top).be16(left).be16(bottom).be16(right);
}

// Version 2 opcodes start at even offsets.
Bytes& Align(Bytes& b) {
    return b.size() % 2 ? b.u8(0) : b;
}

// Application header, picture size and frame, then the version opcode and,
// in version 2, the header opcode 0x0C00 with its 24 bytes.
Bytes Start(int version) {
    Bytes b;
    b.fill(512, 0).be16(0);
    Rect(b, 0, 0, 1, 1);
    if (version == 1)
        return b.u8(0x00).u8(0x11).u8(0x01);
    b.be16(0x0011).be16(0x02FF);
    return b.be16(0x0C00).be16(0xFFFE).be16(0).fill(20, 0);
}

// A bit map after its opcode: row length, bounds, source and destination
// rectangles, mode, the mask region of the region forms, the rows.
std::string BitMap(int rowLength, int width, int height, const std::string& rows,
                   bool region = false) {
    Bytes b;
    b.be16(rowLength);
    for (int i = 0; i < 3; ++i)
        Rect(b, 0, 0, height, width);
    b.be16(1);
    if (region)
        Rect(b.be16(10), 0, 0, height, width);
    return b.raw(rows).str();
}

struct PixMap {
    int rowLength; // the word as stored, pixel map bit included
    int width;
    int height;
    int pixelSize;
    int cmpCount = 1;
    int left = 0; // where the bounds start
};

// Bounds rectangle and the 36 bytes of pixel map fields.
Bytes& Fields(Bytes& b, const PixMap& pm) {
    Rect(b, 0, pm.left, pm.height, pm.left + pm.width);
    b.be16(0).be16(0).be32(0).be32(0x480000).be32(0x480000).be16(0);
    return b.be16(pm.pixelSize).be16(pm.cmpCount).be16(8).be32(0).be32(0).be32(0);
}

Bytes& RectsAndMode(Bytes& b, const PixMap& pm) {
    Rect(b, 0, 0, pm.height, pm.width);
    Rect(b, 0, 0, pm.height, pm.width);
    return b.be16(0);
}

// A colour table of entries {value, red, green, blue}, 8-bit colours
// stored as 16-bit words.
using Entry = std::array<int, 4>;
std::string ColourTable(const std::vector<Entry>& entries, int flags = 0) {
    Bytes b;
    b.be32(0).be16(flags).be16(int(entries.size()) - 1);
    for (const Entry& e : entries)
        b.be16(e[0]).be16(e[1] * 257).be16(e[2] * 257).be16(e[3] * 257);
    return b.str();
}

// PackBitsRect and its kin after the opcode.
std::string PixMapRecord(const PixMap& pm, const std::string& table, const std::string& rows,
                         bool region = false) {
    Bytes b;
    Fields(b.be16(pm.rowLength), pm).raw(table);
    RectsAndMode(b, pm);
    if (region)
        Rect(b.be16(10), 0, 0, pm.height, pm.width);
    return b.raw(rows).str();
}

// Opcode_9A after the opcode.
std::string DirectRecord(const PixMap& pm, const std::string& rows) {
    Bytes b;
    b.be32(0xFF).be16(pm.rowLength);
    return RectsAndMode(Fields(b, pm), pm).raw(rows).str();
}

std::string Version2With(int opcode, const std::string& data) {
    return Start(2).be16(opcode).raw(data).str();
}

const std::vector<Entry> kFourColours = {
    {0, 255, 0, 0}, {1, 0, 255, 0}, {2, 0, 0, 255}, {3, 16, 32, 48}};

} // namespace

TEST(PictDecoderTest, FixturesMatchTheirSources) {
    CWinBmp bmp;
    DecodeFile(Fixture("pict24.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("src.png"), true));
    EXPECT_FALSE(bmp.HasAlpha());
    DecodeFile(Fixture("pict8.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("pal16.png"), true));
    DecodeFile(Fixture("pictalpha.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("srca.png"), true));
    EXPECT_TRUE(bmp.HasAlpha());
    DecodeFile(Fixture("pictmono.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("mono.png"), true));
    // Rows over 250 bytes count their bytes in words.
    DecodeFile(Fixture("pictwide24.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("wide.png"), true));
    DecodeFile(Fixture("pictwide8.pict"), &bmp);
    EXPECT_TRUE(SamePixels(bmp, Reference("widepal16.png"), true));
}

TEST(PictDecoderTest, VersionFollowsTheFrame) {
    const std::string image = Bytes().be16(0x0090).raw(BitMap(1, 8, 1, "\xA5")).str();
    CWinBmp bmp;
    DecodeBytes(Start(2).raw(image).str(), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{kBlack, kWhite, kBlack, kWhite, kWhite,
                                                        kBlack, kWhite, kBlack}));

    // One more zero byte puts the opcodes after the version at an odd
    // offset, so the header opcode is read one byte later.
    Bytes moved;
    moved.fill(512, 0).be16(0).fill(8, 0).fill(2, 0).u8(0x11).u8(0x02).u8(0xFF);
    moved.u8(0).be16(0x0C00).fill(24, 0).raw(image);
    CWinBmp shifted;
    EXPECT_EQ(DecodePict(moved.str(), &shifted).code, 0);
    EXPECT_EQ(Pixel(shifted, 0, 0), kBlack);

    Bytes v1 = Start(1);
    v1.u8(0x90).raw(BitMap(1, 8, 1, "\x81"));
    DecodeBytes(v1.str(), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), kBlack);
    EXPECT_EQ(Pixel(bmp, 1, 0), kWhite);
    EXPECT_EQ(Pixel(bmp, 7, 0), kBlack);
}

TEST(PictDecoderTest, BadVersionsAreRefused) {
    const std::string head = Bytes().fill(512, 0).be16(0).fill(8, 0).str();
    CWinBmp bmp;
    Outcome o = DecodePict(head + std::string("\x00\x11\x02\xFE", 4) + std::string(40, 0), &bmp);
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.text, "Decoder error: Illegal version number.\n");
    o = DecodePict(head + std::string("\x11\x03\x00\x00", 4) + std::string(40, 0), &bmp);
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.text, "Decoder error: Illegal version number.\n");
    o = DecodePict(head + std::string("\x00\x12\x01", 3) + std::string(40, 0), &bmp);
    EXPECT_EQ(o.code, 1);
    EXPECT_EQ(o.text, "Decoder error: Error decoding pict: Version number missing.\n");
    o = DecodePict(head + std::string(40, 0), &bmp);
    EXPECT_EQ(o.code, 11);
    EXPECT_EQ(o.text, "End of file reached while decoding.\n");
}

TEST(PictDecoderTest, OnlyVectorDataIsRefused) {
    Bytes b = Start(2);
    Rect(b.be16(0x0001).be16(10), 0, 0, 10, 10);      // clip
    b.be16(0x0020).be32(0).be32(0x00050005);          // line
    b.be16(0x0031).be32(0).be32(0x00050005);          // paintRect
    b.be16(0x0028).be32(0x00020002).u8(3).raw("abc"); // long text
    Align(b).be16(0x00A0).be16(100);                  // short comment
    b.be16(0x00A1).be16(100).be16(4).raw("note");     // long comment
    b.be16(0x00FF);
    std::string text;
    EXPECT_EQ(DecodeError(b.str(), &text), 6);
    EXPECT_EQ(text, "Decoder error: PICT contained only vector data!\n\n");

    Bytes v1 = Start(1);
    v1.u8(0x20).be32(0).be32(0x00050005).u8(0x04).u8(1).u8(0xFF).fill(20, 0);
    EXPECT_EQ(DecodeError(v1.str(), &text), 6);
    EXPECT_EQ(text, "Decoder error: PICT contained only vector data!\n\n");
}

namespace {

// The data of a skipped opcode as the opcode tables lay it out, filled
// with 0xFF: a decoder that reads too little meets an end-of-picture
// opcode, one that reads too much eats the image that follows.
std::string SkippedData(int op) {
    const auto fill = [](int n) { return std::string(size_t(n), '\xFF'); };
    const auto word = [&](int n) { return Bytes().be16(n).raw(fill(n)).str(); };
    const auto text = [&](int prefix) { return fill(prefix) + '\x03' + fill(3); };
    const std::string region = Bytes().be16(10).raw(fill(8)).str();
    struct Row {
        int first, last;
        int bytes; // fixed length, or one of the layouts below
    };
    enum { kWord = -1, kRegion = -2, kText4 = -3, kText1 = -4, kText2 = -5, kComment = -6 };
    static const Row rows[] = {
        {0x00, 0x00, 0},       {0x01, 0x01, kRegion},  {0x02, 0x02, 8},       {0x03, 0x03, 2},
        {0x04, 0x04, 1},       {0x05, 0x05, 2},        {0x06, 0x07, 4},       {0x08, 0x08, 2},
        {0x09, 0x0A, 8},       {0x0B, 0x0C, 4},        {0x0D, 0x0D, 2},       {0x0E, 0x0F, 4},
        {0x10, 0x10, 8},       {0x11, 0x11, 1},        {0x15, 0x16, 2},       {0x17, 0x19, 0},
        {0x1A, 0x1B, 6},       {0x1C, 0x1C, 0},        {0x1D, 0x1D, 6},       {0x1E, 0x1E, 0},
        {0x1F, 0x1F, 6},       {0x20, 0x20, 8},        {0x21, 0x21, 4},       {0x22, 0x22, 6},
        {0x23, 0x23, 2},       {0x24, 0x27, kWord},    {0x28, 0x28, kText4},  {0x29, 0x2A, kText1},
        {0x2B, 0x2B, kText2},  {0x2C, 0x2F, kWord},    {0x30, 0x37, 8},       {0x38, 0x3F, 0},
        {0x40, 0x47, 8},       {0x48, 0x4F, 0},        {0x50, 0x57, 8},       {0x58, 0x5F, 0},
        {0x60, 0x67, 12},      {0x68, 0x6F, 4},        {0x70, 0x77, kRegion}, {0x78, 0x7F, 0},
        {0x80, 0x87, kRegion}, {0x88, 0x8F, 0},        {0x92, 0x97, kWord},   {0x9B, 0x9F, kWord},
        {0xA0, 0xA0, 2},       {0xA1, 0xA1, kComment}, {0xA2, 0xAF, kWord},   {0xB0, 0xCF, 0},
        {0x8000, 0x80FF, 0}};
    for (const Row& r : rows) {
        if (op < r.first || op > r.last)
            continue;
        switch (r.bytes) {
        case kWord:
            return word(3);
        case kRegion:
            return region;
        case kText4:
            return text(4);
        case kText1:
            return text(1);
        case kText2:
            return text(2);
        case kComment:
            return fill(2) + word(3);
        default:
            return fill(r.bytes);
        }
    }
    if (op >= 0x0100 && op <= 0x7FFF)
        return fill(2 * (op >> 8));
    return Bytes().be32(5).raw(fill(5)).str(); // 0xD0-0xFE, 0x8100-0xFFFE
}

bool CarriesImageOrEnds(int op) {
    return (op >= 0x12 && op <= 0x14) || op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99 ||
           op == 0x9A || op == 0xFF || op == 0x8200 || op == 0xFFFF;
}

} // namespace

TEST(PictDecoderTest, EveryOpcodeIsSkippedByItsLength) {
    CJPEGDecoder jpeg;
    CPictDecoder decoder(&jpeg);
    const std::vector<uint32_t> expected = {kBlack, kWhite, kBlack, kWhite,
                                            kWhite, kBlack, kWhite, kBlack};
    const std::string image = BitMap(1, 8, 1, "\xA5");
    int failures = 0;
    const auto check = [&](int version, int op, const std::string& bytes) {
        CWinBmp bmp;
        const Outcome o = DecodeWith(&decoder, bytes, &bmp);
        if (o.code == 0 && o.consumed == int(bytes.size()) && RowPixels(bmp, 0) == expected)
            return;
        if (++failures <= 10)
            ADD_FAILURE() << "version " << version << " opcode 0x" << std::hex << op << std::dec
                          << ": code " << o.code << " " << o.text << ", read " << o.consumed
                          << " of " << bytes.size();
    };
    const Bytes start2 = Start(2);
    for (int op = 0; op < 0xFFFF; ++op) {
        if (CarriesImageOrEnds(op))
            continue;
        Bytes b = start2;
        Align(b.be16(op).raw(SkippedData(op))).be16(0x0090).raw(image);
        check(2, op, b.str());
    }
    const Bytes start1 = Start(1);
    for (int op = 0; op < 0xFF; ++op) {
        if (CarriesImageOrEnds(op))
            continue;
        Bytes b = start1;
        b.u8(op).raw(SkippedData(op)).u8(0x90).raw(image);
        check(1, op, b.str());
    }
    EXPECT_EQ(failures, 0);
}

TEST(PictDecoderTest, OddOffsetsArePaddedInVersion2) {
    Bytes b = Start(2);
    b.be16(0x0004).u8(1); // TxFace: one byte, so the next opcode is one byte on
    b.u8(0x55).be16(0x0090).raw(BitMap(1, 8, 1, "\x80"));
    CWinBmp bmp;
    DecodeBytes(b.str(), &bmp);
    EXPECT_EQ(Pixel(bmp, 0, 0), kBlack);
    EXPECT_EQ(Pixel(bmp, 1, 0), kWhite);
}

namespace {

// A full pixel pattern after its opcode: type 1, the one-bit pattern, row
// length, bounds, pixel map fields, colour table and the pixel data.
std::string FullPattern(const PixMap& pm, const std::string& pixels) {
    Bytes b;
    b.be16(1).fill(8, 0x55).be16(pm.rowLength);
    return Fields(b, pm).raw(ColourTable(kFourColours)).raw(pixels).str();
}

std::string BlackDot() {
    return Bytes().be16(0x0090).raw(BitMap(1, 8, 1, "\x80")).str();
}

} // namespace

TEST(PictDecoderTest, PixelPatternsAreSkipped) {
    const std::vector<std::string> patterns = {
        Bytes().be16(2).fill(8, 0xFF).fill(6, 0x80).str(), // dither pattern
        // Rows under 8 bytes are stored as they are: 3 rows of 2 bytes.
        FullPattern({0x8002, 2, 3, 8}, std::string(6, '\xFF')),
        // A row length of 0 means the width: 2 rows of 3 bytes.
        FullPattern({0x8000, 3, 2, 8}, std::string(6, '\xFF')),
        // At 16 bits a row length of 0 means twice the width: 2 rows of 4.
        FullPattern({0, 2, 2, 16}, std::string(8, '\xFF')),
        // Packed rows with byte counts.
        FullPattern({0x8008, 8, 2, 8}, Bytes().u8(2).raw("\xF9\x01").u8(1).raw("\x80").str()),
        // At 32 bits the row length keeps its top bit: word counts.
        FullPattern({0x8000 | 400, 100, 2, 32, 3},
                    Bytes().be16(2).raw("\x81\x00"s).be16(1).raw("\x80").str()),
    };
    for (size_t i = 0; i < patterns.size(); ++i) {
        for (int op : {0x12, 0x13, 0x14}) {
            Bytes b = Start(2);
            Align(b.be16(op).raw(patterns[i])).raw(BlackDot());
            CWinBmp bmp;
            const Outcome o = DecodePict(b.str(), &bmp);
            EXPECT_EQ(o.code, 0) << "pattern " << i << ", opcode " << op << ": " << o.text;
            EXPECT_EQ(o.consumed, int(b.size())) << "pattern " << i;
        }
    }
    std::string text;
    EXPECT_EQ(DecodeError(Version2With(0x12, Bytes().be16(3).fill(40, 0).str()), &text), 2);
    EXPECT_EQ(text, "Decoder error: Unknown pattern type in pixPat.\n");
    Bytes badTable;
    badTable.be16(1).fill(8, 0).be16(0x8002);
    Fields(badTable, {0x8002, 2, 1, 8}).raw(ColourTable({{0, 1, 1, 1}, {2, 1, 1, 1}}));
    EXPECT_EQ(DecodeError(Version2With(0x12, badTable.fill(40, 0).str()), &text), 2);
    EXPECT_EQ(text, "Decoder error: pixel value greater than colour table size.\n");
}

TEST(PictDecoderTest, BitMapsAreWhiteAndBlack) {
    const uint32_t W = kWhite, B = kBlack;
    CWinBmp bmp;
    // Rows under 8 bytes are stored as they are.
    DecodeBytes(Version2With(0x0090, BitMap(2, 10, 2, "\xC0\x40\x00\x80"s)), &bmp);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{B, B, W, W, W, W, W, W, W, B}));
    EXPECT_EQ(RowPixels(bmp, 1), (std::vector<uint32_t>{W, W, W, W, W, W, W, W, B, W}));
    // From 8 bytes on rows are packed, also for BitsRect. Flag 128 yields
    // nothing; then one literal byte and a run of 7 bytes.
    const std::string packed = std::string("\x05\x80\x00\xC0\xFA\x00", 6);
    const std::vector<uint32_t> two = {B, B, W, W, W, W, W, W, W, W};
    for (int op : {0x0090, 0x0098}) {
        DecodeBytes(Version2With(op, BitMap(8, 10, 1, packed)), &bmp);
        EXPECT_EQ(RowPixels(bmp, 0), two) << "opcode " << op;
    }
    // The region forms carry a mask region after the mode.
    DecodeBytes(Version2With(0x0091, BitMap(2, 10, 1, "\xFF\xC0", true)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), std::vector<uint32_t>(10, B));
    DecodeBytes(Version2With(0x0099, BitMap(8, 10, 1, "\x02\xFF\xFF", true)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), std::vector<uint32_t>(10, B));
}

TEST(PictDecoderTest, RowLengthDecidesPackingAndCountSize) {
    const std::string table = ColourTable(kFourColours);
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, Bl = 0xFF0000FF, C = 0xFF102030;
    const std::vector<uint32_t> seven = {R, G, Bl, C, R, G, Bl};
    CWinBmp bmp;
    // 7: stored as they are; 8: packed.
    DecodeBytes(Version2With(
                    0x98, PixMapRecord({0x8007, 7, 1, 8}, table, std::string("\0\1\2\3\0\1\2", 7))),
                &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), seven);
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8008, 7, 1, 8}, table,
                                                std::string("\x08\x06\0\1\2\3\0\1\2", 9))),
                &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), seven);
    // 250: one-byte counts; 251: word counts. Each row fills its length.
    const std::string row250 = std::string("\x07\x01\x01\x02\x81\x00\x89\x00", 8);
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8000 | 250, 2, 1, 8}, table, row250)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{G, Bl}));
    const std::string row251 =
        Bytes().be16(7).raw(std::string("\x01\x01\x02\x81\x00\x88\x00", 7)).str();
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8000 | 251, 2, 1, 8}, table, row251)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{G, Bl}));
}

TEST(PictDecoderTest, IndexedPixelMapsUseTheColourTable) {
    const std::string table = ColourTable(kFourColours);
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, Bl = 0xFF0000FF, C = 0xFF102030;
    CWinBmp bmp;
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8002, 10, 1, 1}, table, "\xA0\x40")), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{G, R, G, R, R, R, R, R, R, G}));
    EXPECT_FALSE(bmp.HasAlpha());
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8002, 5, 1, 2}, table, "\x1B\x80")), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{R, G, Bl, C, Bl}));
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8002, 3, 1, 4}, table, "\x01\x23")), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{R, G, Bl}));

    // With the flags' top bit set, entry i is colour i whatever its value;
    // colours the table leaves out are black.
    const std::string byPosition =
        ColourTable({{7, 255, 0, 0}, {7, 0, 255, 0}, {7, 0, 0, 255}}, 0x8000);
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8004, 4, 1, 8}, byPosition, "\0\1\2\3"s)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{R, G, Bl, kBlack}));

    // A table of 300 entries: values from 256 on have no palette entry and
    // must not disturb those below.
    std::vector<Entry> big;
    for (int i = 0; i < 300; ++i)
        big.push_back({i, i & 0xFF, i >> 8, 9});
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8003, 3, 1, 8}, ColourTable(big),
                                                std::string("\x00\x2C\xFF", 3))),
                &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0xFF000009, 0xFF2C0009, 0xFFFF0009}));

    std::string text;
    EXPECT_EQ(DecodeError(Version2With(0x98, PixMapRecord({0x8002, 2, 1, 8},
                                                          ColourTable({{0, 1, 1, 1}, {2, 1, 1, 1}}),
                                                          "\0\1"s)),
                          &text),
              2);
    EXPECT_EQ(text, "Decoder error: pixel value greater than colour table size.\n");
}

TEST(PictDecoderTest, SixteenBitPixels) {
    const std::string table = ColourTable({{0, 0, 0, 0}});
    CWinBmp bmp;
    // A pixel map keeps the top bit in its row length: packed rows, word
    // counts, items of two bytes.
    const std::string rows = Bytes()
                                 .be16(5)
                                 .raw(std::string("\x01\x7F\xFF\x80\x00", 5))
                                 .be16(3)
                                 .raw(std::string("\xFF\x00\x1F", 3))
                                 .str();
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8004, 2, 2, 16}, table, rows)), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0xFFF8F8F8, 0xFF000000}));
    EXPECT_EQ(RowPixels(bmp, 1), (std::vector<uint32_t>{0xFF0000F8, 0xFF0000F8}));
    // Direct pixels derive the row length from the width: 4 bytes are
    // stored as they are, 8 are packed.
    DecodeBytes(Version2With(0x9A, DirectRecord({0, 2, 1, 16}, std::string("\x7C\x00\x03\xE0", 4))),
                &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0xFFF80000, 0xFF00F800}));
    DecodeBytes(Version2With(0x9A, DirectRecord({0, 4, 1, 16}, "\x03\xFD\x7F\xFF")), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), std::vector<uint32_t>(4, 0xFFF8F8F8));
}

TEST(PictDecoderTest, ThirtyTwoBitPixelsArePlanes) {
    CWinBmp bmp;
    const std::string rgb = std::string("\x07\x05\x0A\x14\x1E\x28\x32\x3C", 8);
    DecodeBytes(Version2With(0x9A, DirectRecord({0, 2, 1, 32, 3}, rgb)), &bmp);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0xFF0A1E32, 0xFF14283C}));
    const std::string argb = std::string("\x09\x07\x80\xFF\x0A\x14\x1E\x28\x32\x3C", 10);
    DecodeBytes(Version2With(0x9A, DirectRecord({0, 2, 1, 32, 4}, argb)), &bmp);
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0x800A1E32, 0xFF14283C}));
    // Rows of 32-bit pixels are packed even when they are under 8 bytes.
    DecodeBytes(Version2With(0x9A, DirectRecord({0, 1, 1, 32, 3}, "\x04\x02\x0A\x14\x1E")), &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), std::vector<uint32_t>{0xFF0A141E});
    // In a pixel map the row length keeps its top bit, so counts are words.
    const std::string words = Bytes().be16(7).raw(rgb.substr(1)).str();
    DecodeBytes(
        Version2With(0x98, PixMapRecord({0x8008, 2, 1, 32, 3}, ColourTable({{0, 0, 0, 0}}), words)),
        &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{0xFF0A1E32, 0xFF14283C}));
}

TEST(PictDecoderTest, UnsupportedPixelLayoutsAreRefused) {
    std::string text;
    EXPECT_EQ(
        DecodeError(Version2With(0x9A, DirectRecord({0, 2, 1, 32, 2}, "\x03\x03\1\2\3\4")), &text),
        2);
    EXPECT_EQ(text, "Decoder error: Decoding pict: 32-bit pixels of 2 components are not "
                    "supported.\n");
    EXPECT_EQ(DecodeError(Version2With(0x9A, DirectRecord({0, 2, 1, 8}, "\0\0"s)), &text), 2);
    EXPECT_EQ(text, "Decoder error: Decoding pict: direct pixels of 8 bits come without a "
                    "colour table.\n");
    EXPECT_EQ(DecodeError(Version2With(0x9A, DirectRecord({0, 2, 1, 24}, "\0\0"s)), &text), 2);
    EXPECT_EQ(text, "Decoder error: Illegal bpp value in unpackbits: 24\n\n");
    EXPECT_EQ(DecodeError(Version2With(0x98, PixMapRecord({0x8002, 2, 1, 3},
                                                          ColourTable(kFourColours), "\0\0"s)),
                          &text),
              2);
    EXPECT_EQ(text, "Decoder error: Illegal bpp value in unpackbits: 3\n\n");
}

TEST(PictDecoderTest, OnlyTheFirstImageIsRead) {
    Bytes b = Start(2);
    b.be16(0x0090).raw(BitMap(1, 8, 1, "\xF0"));
    const int firstEnd = int(b.size());
    Align(b).be16(0x0098).be16(0x8004).fill(3, 0xFF); // a damaged second record
    CWinBmp bmp;
    const Outcome o = DecodePict(b.str(), &bmp);
    EXPECT_EQ(o.code, 0) << o.text;
    EXPECT_EQ(o.consumed, firstEnd);
    EXPECT_EQ(RowPixels(bmp, 0), (std::vector<uint32_t>{kBlack, kBlack, kBlack, kBlack, kWhite,
                                                        kWhite, kWhite, kWhite}));
}

namespace {

// A compressed QuickTime image: its length, an image description that
// holds a start-of-image marker without the marker after it, then JPEG data.
std::string QuickTime(const std::string& jpeg, uint32_t length) {
    Bytes b = Start(2);
    b.be16(0x8200).be32(length).raw("idsc").raw(std::string("\xFF\xD8\x00", 3)).fill(23, 0x11);
    return b.raw(jpeg).str();
}

constexpr int kDescription = 30;

testing::AssertionResult SameBitmaps(const CBmp& got, const CBmp& want) {
    if (got.GetWidth() != want.GetWidth() || got.GetHeight() != want.GetHeight())
        return testing::AssertionFailure() << "size " << got.GetWidth() << "x" << got.GetHeight();
    for (int y = 0; y < want.GetHeight(); ++y)
        for (int x = 0; x < want.GetWidth(); ++x)
            if (Pixel(got, x, y) != Pixel(want, x, y))
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << "): " << std::hex << Pixel(got, x, y)
                       << ", expected " << Pixel(want, x, y);
    return testing::AssertionSuccess();
}

} // namespace

TEST(PictDecoderTest, QuickTimeJpegIsFoundAndDecoded) {
    const std::string jpeg = FileBytes("colour.jpg");
    ASSERT_FALSE(jpeg.empty());
    CWinBmp want;
    DecodeFile(Fixture("colour.jpg"), &want);
    CWinBmp bmp;
    DecodeBytes(QuickTime(jpeg, uint32_t(kDescription + jpeg.size())), &bmp);
    EXPECT_TRUE(SameBitmaps(bmp, want));
    // The marker must start within the length: position 30 is the 31st.
    DecodeBytes(QuickTime(jpeg, kDescription + 1), &bmp);
    EXPECT_TRUE(SameBitmaps(bmp, want));
    std::string text;
    EXPECT_EQ(DecodeError(QuickTime(jpeg, kDescription), &text), 6);
    EXPECT_EQ(text, "Decoder error: PICT file contains unrecognized quicktime data.\n\n");
    // A length beyond the input without a marker runs into the end.
    EXPECT_EQ(DecodeError(QuickTime("no jpeg here", 0xFFFFFFF0), &text), 11);
    EXPECT_EQ(text, "End of file reached while decoding.\n");
}

TEST(PictDecoderTest, DamagedRowsAreRefused) {
    const std::string table = ColourTable(kFourColours);
    const auto error = [&](const std::string& bytes) {
        std::string text;
        const int code = DecodeError(bytes, &text);
        return std::to_string(code) + " " + text;
    };
    const auto indexed = [&](int rowLength, int width, const std::string& rows) {
        return Version2With(0x98, PixMapRecord({rowLength, width, 1, 8}, table, rows));
    };
    const std::string past =
        "7 Decoder error: Decoding pict: packed row runs past the end of the row.\n";
    EXPECT_EQ(error(indexed(0x8008, 8, "\x02\xF0\x01")), past);                    // run of 17
    EXPECT_EQ(error(indexed(0x8008, 8, "\x0A\x08" + std::string(9, '\1'))), past); // 9 literal
    EXPECT_EQ(error(Version2With(0x9A, DirectRecord({0, 2, 1, 32, 3}, "\x02\xF9\x00"s))), past);
    const std::string inside = "7 Decoder error: Decoding pict: packed row ends inside a run.\n";
    EXPECT_EQ(error(indexed(0x8008, 8, "\x03\x05\x01\x02")), inside);
    EXPECT_EQ(error(Version2With(0x9A, DirectRecord({0, 4, 1, 16}, "\x02\xFF\x00\0\0\0"s))),
              inside);
    EXPECT_EQ(error(indexed(0x8008, 8, "\x02\xFF\x01")),
              "7 Decoder error: Decoding pict: packed row holds 2 bytes, 8 needed.\n");
    EXPECT_EQ(error(indexed(0x8004, 8, "\1\1\1\1\1\1\1\1")),
              "7 Decoder error: Decoding pict: row length 4 is too short for 8 pixels.\n");
    EXPECT_EQ(error(indexed(0x8009, 10, "\x02\xF7\x01")),
              "7 Decoder error: Decoding pict: row length 9 is too short for 10 pixels.\n");
    EXPECT_EQ(error(Version2With(0x90, BitMap(2, 20, 1, "\0\0\0"s))),
              "7 Decoder error: Decoding pict: row length 2 is too short for 20 pixels.\n");
    const std::string region =
        "7 Decoder error: Decoding pict: region of 1 bytes is shorter than its size.\n";
    EXPECT_EQ(error(Version2With(0x0001, Bytes().be16(1).fill(20, 0).str())), region);
    Bytes rgn;
    rgn.be16(2);
    for (int i = 0; i < 3; ++i)
        Rect(rgn, 0, 0, 1, 8);
    EXPECT_EQ(error(Version2With(0x0091, rgn.be16(0).be16(1).fill(20, 0).str())), region);
    EXPECT_EQ(error(Version2With(0x12, FullPattern({0x8002, -2, 1, 8}, ""))),
              "7 Decoder error: Decoding pict: pixel pattern with inverted bounds.\n");
}

TEST(PictDecoderTest, SizesAreCheckedBeforeAllocating) {
    std::string text;
    EXPECT_EQ(DecodeError(Version2With(0x90, BitMap(2, 0, 1, "\0\0"s)), &text), 7);
    EXPECT_EQ(text, "Decoder error: PICT decoder: picture has no pixels (0 x 1).\n");
    EXPECT_EQ(DecodeError(Version2With(0x90, BitMap(2, -3, 1, "\0\0"s)), &text), 7);
    EXPECT_EQ(text, "Decoder error: PICT decoder: picture has no pixels (-3 x 1).\n");
    EXPECT_EQ(DecodeError(Version2With(0x90, BitMap(2, 20000, 20000, "")), &text), 10);
    EXPECT_EQ(text, "Decoder error: Out of memory: PICT decoder picture of 20000 x 20000 pixels "
                    "is too large.\n");
    // Coordinates are signed: bounds from -10 to 10 are 20 pixels wide.
    CWinBmp bmp;
    DecodeBytes(Version2With(0x98, PixMapRecord({0x8014, 20, 1, 8, 1, -10},
                                                ColourTable(kFourColours), "\x02\xED\x01")),
                &bmp);
    EXPECT_EQ(RowPixels(bmp, 0), std::vector<uint32_t>(20, 0xFF00FF00));
    // 9000 rows of 9000 pixels need far more input than a few bytes; the
    // bitmap is never made anew.
    CWinBmp untouched;
    const Outcome o =
        DecodePict(Version2With(0x98, PixMapRecord({0x8000 | 9000, 9000, 9000, 8},
                                                   ColourTable(kFourColours), "\x00\x03\xFF\x01"s)),
                   &untouched);
    EXPECT_EQ(o.code, 11);
    EXPECT_EQ(untouched.GetWidth(), 16);
    EXPECT_EQ(untouched.GetBitsPerPixel(), 8);
}

TEST(PictDecoderTest, LengthsPastTheEndStopAtTheEnd) {
    const std::vector<std::string> pictures = {
        Version2With(0x8100, Bytes().be32(0xFFFFFFF0).fill(40, 0).str()),
        Version2With(0x00D0, Bytes().be32(0x7FFFFFFF).fill(40, 0).str()),
        Version2With(0x0024, Bytes().be16(0xFFFF).fill(40, 0).str()),
        Version2With(0x00A1, Bytes().be16(0).be16(0xFFFF).fill(40, 0).str()),
        Version2With(0x0028, Bytes().be32(0).u8(0xFF).fill(40, 0).str()),
        Version2With(0x7F00, std::string(40, '\0')),
        // A colour table of 65536 entries in a file of a few hundred bytes.
        Version2With(0x98, Fields(Bytes().be16(0x8002), {0x8002, 2, 1, 8})
                               .be32(0)
                               .be16(0)
                               .be16(0xFFFF)
                               .fill(40, 0)
                               .str()),
    };
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::string text;
        EXPECT_EQ(DecodeError(pictures[i], &text), 11) << "picture " << i << ": " << text;
    }
}

TEST(PictDecoderTest, TruncatedPicturesFailCleanly) {
    CJPEGDecoder jpeg;
    CPictDecoder decoder(&jpeg);
    const std::string packedBitMap =
        Bytes(Start(2))
            .be16(0x0099)
            .raw(BitMap(8, 16, 2, "\x02\xFF\xAA\x03\x80\xFE\x0F", true))
            .be16(0x00FF)
            .str();
    std::vector<std::string> pictures = {FileBytes("pict24.pict"), FileBytes("pict8.pict"),
                                         FileBytes("pictalpha.pict"), packedBitMap};
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::string& whole = pictures[i];
        ASSERT_FALSE(whole.empty());
        CWinBmp full;
        const Outcome done = DecodeWith(&decoder, whole, &full);
        ASSERT_EQ(done.code, 0) << done.text;
        for (size_t n = 0; n < whole.size(); ++n) {
            CWinBmp bmp;
            const Outcome o = DecodeWith(&decoder, whole.substr(0, n), &bmp);
            // Everything after the image is never read.
            const int want = int(n) < done.consumed ? 11 : 0;
            if (o.code != want) {
                ADD_FAILURE() << "picture " << i << " cut at " << n << ": " << o.code << " "
                              << o.text;
                break;
            }
        }
    }
    // Cut inside the JPEG data the JPEG decoder decides; it never crashes.
    const std::string jpegData = FileBytes("colour.jpg");
    const std::string qt = QuickTime(jpegData, uint32_t(kDescription + jpegData.size()));
    const size_t jpegStart = qt.size() - jpegData.size();
    for (size_t n = 0; n < qt.size(); ++n) {
        CWinBmp bmp;
        const Outcome o = DecodeWith(&decoder, qt.substr(0, n), &bmp);
        if (n < jpegStart + 3)
            EXPECT_EQ(o.code, 11) << "cut at " << n;
        else
            EXPECT_TRUE(o.code == 0 || o.code == 6) << "cut at " << n << ": " << o.text;
    }
}
