#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/textexception.h"
#include "codecs/wemfdecoder.h"
#include "codectest.h"
#include "platform/metafile/metafile.h"

#include <gtest/gtest.h>

using namespace codectest;

namespace {

// A small Windows metafile: window 1440 x 720 with a red rectangle over its
// left half, optionally behind a placeable header of the given box.
std::string Wmf(bool placeable, int right = 1440, int bottom = 720, int unitsPerInch = 1440) {
    Bytes records;
    records.u32(5).u16(0x020B).u16(0).u16(0);                   // SetWindowOrg
    records.u32(5).u16(0x020C).u16(720).u16(1440);              // SetWindowExt
    records.u32(7).u16(0x02FC).u16(0).u32(0x0000FF).u16(0);     // CreateBrushIndirect red
    records.u32(4).u16(0x012D).u16(0);                          // SelectObject
    records.u32(7).u16(0x041B).u16(720).u16(720).u16(0).u16(0); // Rectangle
    records.u32(3).u16(0x0000);                                 // end
    Bytes header;
    const uint32_t words = uint32_t(9 + records.size() / 2);
    header.u16(1).u16(9).u16(0x0300).u32(words).u16(1).u32(7).u16(0);
    Bytes file;
    if (placeable) {
        Bytes p;
        p.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(right).u16(bottom).u16(unitsPerInch).u32(0);
        uint16_t sum = 0;
        for (size_t i = 0; i < 20; i += 2)
            sum ^= uint16_t(uint8_t(p.str()[i]) | (uint8_t(p.str()[i + 1]) << 8));
        p.u16(sum);
        file.raw(p.str());
    }
    file.raw(header.str()).raw(records.str());
    return file.str();
}

// An enhanced metafile with only its header and end record.
std::string EmptyEmf(int frameRight, int frameBottom) {
    Bytes records;
    records.u32(14).u32(20).u32(0).u32(16).u32(20); // end of file
    Bytes h;
    const uint32_t total = 88 + uint32_t(records.size());
    h.u32(1).u32(88);                                                     // type, size
    h.u32(0).u32(0).u32(0).u32(0);                                        // bounds
    h.u32(0).u32(0).u32(uint32_t(frameRight)).u32(uint32_t(frameBottom)); // frame
    h.u32(0x464D4520).u32(0x10000).u32(total).u32(2); // signature, version, bytes, records
    h.u16(1).u16(0).u32(0).u32(0).u32(0);             // handles, description, palette
    h.u32(1024).u32(768).u32(320).u32(240);           // device px, device mm
    return h.str() + records.str();
}

void Decode(const std::string& bytes, const std::string& name, CWinBmp* bmp) {
    CMemorySource source(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()), name);
    CWEMFDecoder().DecodeSource(&source, bmp, 32);
}

} // namespace

TEST(WemfDecoderTest, PlaceableHeaderSetsTheSizeInScreenPixels) {
    // 1440 x 720 units at 1440 units per inch on a 96 dpi screen.
    ASSERT_EQ(platform::ScreenLogPixelsX(), 96);
    CWinBmp bmp;
    Decode(Wmf(true), "logo.wmf", &bmp);
    ASSERT_EQ(bmp.GetWidth(), 96);
    ASSERT_EQ(bmp.GetHeight(), 48);
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(Pixel(bmp, 10, 10), 0xFFFF0000u); // red over the left half
    EXPECT_EQ(Pixel(bmp, 80, 40), 0xFFFFFFFFu); // white paper elsewhere
}

TEST(WemfDecoderTest, SizeRules) {
    const short box[4] = {0, 0, 1440, 720};
    int w = 0, h = 0;
    CWEMFDecoder::PictureSize(&w, &h, true, box, 1440, CRect(), CSize(), CSize());
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 48);
    // No units per inch, or an empty box: the default size.
    CWEMFDecoder::PictureSize(&w, &h, true, box, 0, CRect(), CSize(), CSize());
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    // From the frame: 0.01 mm times pixels per millimetre.
    CWEMFDecoder::PictureSize(&w, &h, false, box, 0, CRect(0, 0, 10000, 5000), CSize(1000, 800),
                              CSize(250, 200));
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 200);
    CWEMFDecoder::PictureSize(&w, &h, false, box, 0, CRect(0, 0, 0, 0), CSize(1000, 800),
                              CSize(250, 200));
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
    // Edges further apart than an int holds are measured, not wrapped to a
    // negative width.
    CWEMFDecoder::PictureSize(&w, &h, false, box, 0,
                              CRect(-1392508928, -2000000000, 1767873167, 2000000000), CSize(1, 1),
                              CSize(1, 1));
    EXPECT_EQ(w, 31603820);
    EXPECT_EQ(h, 40000000);
}

TEST(WemfDecoderTest, AnEmptyFrameGivesAWhiteDefaultPicture) {
    CWinBmp bmp;
    Decode(EmptyEmf(0, 0), "blank.EMF", &bmp);
    ASSERT_EQ(bmp.GetWidth(), 320);
    ASSERT_EQ(bmp.GetHeight(), 200);
    EXPECT_EQ(Pixel(bmp, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(bmp, 319, 199), 0xFFFFFFFFu);
}

TEST(WemfDecoderTest, GarbageIsRefusedWithTheLoadMessage) {
    CWinBmp bmp;
    try {
        Decode("this is not a metafile at all", "junk.wmf", &bmp);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 6);
        EXPECT_STREQ(e.Text(),
                     "Decoder error: Windows Metafile functions failed to load this image.\n");
    }
    // Truncations of a valid file never crash.
    const std::string wmf = Wmf(true);
    for (size_t n = 0; n < wmf.size(); ++n) {
        CWinBmp out;
        try {
            Decode(wmf.substr(0, n), "cut.wmf", &out);
        } catch (const CTextException&) {
        }
    }
}
