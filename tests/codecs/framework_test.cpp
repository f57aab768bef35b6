#include "codecs/anypicdecoder.h"
#include "codecs/bmp.h"
#include "codecs/datasource.h"
#include "codecs/jpegcodec.h"
#include "codecs/textexception.h"
#include "codecs/tiffcodec.h"
#include "codectest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace codectest;

TEST(TextExceptionTest, CommonPathWrapsTheMessage) {
    try {
        RaiseErrorF(kErrCorrupt, "repeat %s", "count");
        FAIL() << "nothing thrown";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 7);
        EXPECT_STREQ(e.Text(), "Decoder error: repeat count\n");
    }
    const CTextException copy = CTextException(11, kEndOfFileText);
    EXPECT_STREQ(copy.Text(), "End of file reached while decoding.\n");
}

TEST(WinBmpTest, RowBytesAndMemoryFollowThePackedLayout) {
    EXPECT_EQ(CWinBmp::RowBytes(9, 1), 4);
    EXPECT_EQ(CWinBmp::RowBytes(9, 8), 12);
    EXPECT_EQ(CWinBmp::RowBytes(9, 32), 36);
    EXPECT_EQ(CWinBmp::RowBytes(5, 24), 16);
    EXPECT_EQ(CWinBmp::RowBytes(32, 1), 4);
    EXPECT_EQ(CWinBmp::RowBytes(33, 1), 8);

    CWinBmp bmp; // new bitmaps are 16 x 16 at 8 bits
    EXPECT_EQ(bmp.GetWidth(), 16);
    EXPECT_EQ(bmp.GetHeight(), 16);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.MemoryUsed(), 16 * 16 + 256 * 4 + 40 + 36);
    // The palette is a grey ramp.
    EXPECT_EQ(bmp.GetPalette()[0].rgbRed, 0);
    EXPECT_EQ(bmp.GetPalette()[200].rgbGreen, 200);
    EXPECT_EQ(bmp.GetPalette()[255].rgbReserved, 255);

    bmp.Create(3, 5, 32, true);
    EXPECT_EQ(bmp.MemoryUsed(), 12 * 5 + 40 + 36);
    EXPECT_EQ(bmp.GetPalette(), nullptr);
    EXPECT_TRUE(bmp.HasAlpha());
    // Rows are stored bottom-up: the top row is the last in the block.
    EXPECT_EQ(bmp.Line(0), bmp.GetBits() + 4 * 12);
    EXPECT_EQ(bmp.Line(4), bmp.GetBits());
    const BITMAPINFOHEADER* h = bmp.GetInfoHeader();
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 3);
    EXPECT_EQ(h->biHeight, 5);
    EXPECT_EQ(h->biBitCount, 32);
    EXPECT_EQ(bmp.GetBlockSize(), 40u + 60u);

    bmp.Create(4, 1, 2, false); // grey ramp step 255 / 3 = 85
    EXPECT_EQ(bmp.GetPalette()[1].rgbBlue, 85);
    EXPECT_EQ(bmp.GetPalette()[3].rgbBlue, 255);
}

TEST(DataSourceTest, ReadsAreBoundedAndTheEndTextIsUnwrapped) {
    const BYTE data[] = {1, 2, 3, 4, 5};
    CMemorySource source(data, 5);
    EXPECT_EQ(source.ReadLE16(), 0x0201);
    EXPECT_EQ(source.ReadBE16(), 0x0304);
    EXPECT_EQ(source.GetBytesConsumed(), 4);
    EXPECT_EQ(source.GetRemaining(), 1);
    try {
        source.ReadBytes(2);
        FAIL() << "read past the end";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.Text(), "End of file reached while decoding.\n");
    }
    EXPECT_EQ(source.ReadByte(), 5);
    EXPECT_THROW(source.ReadBytes(-1), CTextException);
}

TEST(DataSourceTest, OpenFailuresMapToTheirCodes) {
    testsupport::TempDir dir;
    CFileSource source;
    EXPECT_EQ(source.OpenFile(dir.Str() + "/no/such/folder/x.bmp"), 3);
    EXPECT_EQ(source.OpenFile(dir.Str() + "/missing.bmp"), 4);
    EXPECT_EQ(source.OpenFile(dir.Write("empty.bmp", "")), 5);
    EXPECT_EQ(source.OpenFile(dir.Str()), 5);
    EXPECT_EQ(source.OpenFile(dir.Write("ok.bin", "abc")), 0);
    EXPECT_EQ(source.GetFileSize(), 3);
    EXPECT_EQ(source.ReadBytes(3)[2], 'c');

    CWinBmp bmp;
    const std::string missing = dir.Str() + "/missing.bmp";
    try {
        DecodeFile(missing, &bmp);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 4);
        EXPECT_EQ(std::string(e.Text()), "Decoder error: Opening " + missing + " failed\n");
    }
}

TEST(RecogniseTypeTest, ContentTestsInOrder) {
    auto type = [](std::string bytes) {
        return RecogniseType(reinterpret_cast<const BYTE*>(bytes.data()), int(bytes.size()));
    };
    EXPECT_EQ(type("BM"), PicType::Bmp);
    EXPECT_EQ(type(std::string("BM\xFF\xFF", 4)), PicType::Bmp); // corrupt header, still BMP
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[16] = 24;
    EXPECT_EQ(type(tga), PicType::Tga);
    tga[16] = 12;
    EXPECT_EQ(type(tga), PicType::Unknown);
    EXPECT_EQ(type(std::string("II*\0", 4)), PicType::Tiff);
    EXPECT_EQ(type(std::string("MM\0*", 4)), PicType::Tiff);
    EXPECT_EQ(type(std::string("II+\0", 4)), PicType::Tiff); // BigTIFF
    EXPECT_EQ(type(std::string("MM\0+", 4)), PicType::Tiff);
    EXPECT_EQ(type("\xFF\xD8\xFF\xE0"), PicType::Jpeg);
    EXPECT_EQ(type("\x89PNG\r\n"), PicType::Png);
    EXPECT_EQ(type(std::string("\x0A\x05\x01\x08", 4)), PicType::Pcx);
    EXPECT_EQ(type("hello"), PicType::Unknown);
    EXPECT_EQ(type(""), PicType::Unknown);

    // PICT: opcodes after a 512-byte header, only in files over 540 bytes.
    std::string pict(540, '\x55');
    pict.replace(522, 4, std::string("\x00\x11\x02\xFF", 4));
    EXPECT_EQ(type(pict), PicType::Unknown);
    pict += '\0';
    EXPECT_EQ(type(pict), PicType::Pict);

    // EPS with a TIFF preview needs both its offset and its length.
    Bytes eps;
    eps.raw("\xC5\xD0\xD3\xC6").fill(16, 0).u32(30).u32(0);
    EXPECT_EQ(type(eps.str()), PicType::Unknown);
    Bytes eps2;
    eps2.raw("\xC5\xD0\xD3\xC6").fill(16, 0).u32(30).u32(10);
    EXPECT_EQ(type(eps2.str()), PicType::EpsTiff);
}

TEST(AnyPicDecoderTest, TheNameTestComesFirst) {
    const std::string bmp = MakeBmp(1, 1, 24, 0, {}, std::string("\x01\x02\x03\x00", 4));
    CMemorySource logo(reinterpret_cast<const BYTE*>(bmp.data()), int(bmp.size()),
                       "c:\\Logo.wmf.bmp");
    EXPECT_EQ(CAnyPicDecoder::TypeOf(&logo), PicType::Wmf);
    CMemorySource emf(reinterpret_cast<const BYTE*>(bmp.data()), int(bmp.size()), "a.EMF");
    EXPECT_EQ(CAnyPicDecoder::TypeOf(&emf), PicType::Emf);
    CMemorySource plain(reinterpret_cast<const BYTE*>(bmp.data()), int(bmp.size()), "picture.jpg");
    EXPECT_EQ(CAnyPicDecoder::TypeOf(&plain), PicType::Bmp);
    EXPECT_EQ(DecodeError("plain text, no picture"), 8);
}

TEST(AnyPicDecoderTest, EpsPreviewIsReadFromItsOffset) {
    // A TIFF written by the program, wrapped in an EPS header.
    CWinBmp bmp;
    bmp.Create(2, 1, 32, false);
    BYTE* row = bmp.Line(0);
    const BYTE pixels[] = {10, 20, 30, 255, 40, 50, 60, 255};
    std::copy(std::begin(pixels), std::end(pixels), row);
    std::vector<BYTE> buffer(4096);
    CDataSink sink;
    sink.InitSink("t", buffer.data(), int(buffer.size()));
    CTIFFEncoder().EncodeToSink(&bmp, &sink);
    const std::string tiff(reinterpret_cast<char*>(buffer.data()), size_t(sink.GetBytesWritten()));
    Bytes eps;
    eps.raw("\xC5\xD0\xD3\xC6").fill(16, 0).u32(40).u32(uint32_t(tiff.size())).fill(12, 'x');
    eps.raw(tiff);
    CWinBmp out;
    DecodeBytes(eps.str(), &out);
    ASSERT_EQ(out.GetWidth(), 2);
    EXPECT_EQ(Pixel(out, 0, 0), 0xFF1E140Au);
    EXPECT_EQ(Pixel(out, 1, 0), 0xFF3C3228u);
}

TEST(SinkTest, OverflowThrowsTheUnwrappedBufferText) {
    BYTE buffer[8];
    CDataSink sink;
    sink.InitSink("s", buffer, 8);
    sink.WriteBytes("12345", 5);
    try {
        sink.WriteBytes("6789", 4);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.Text(), "Buffer overflow while encoding.\n");
    }
    EXPECT_EQ(sink.GetBytesWritten(), 5);
    EXPECT_EQ(CPicEncoder::SinkBufferSize(20000), 24000);
    EXPECT_EQ(CPicEncoder::SinkBufferSize(19999), 24095);
}

TEST(EncodeFileTest, AFailedEncodeLeavesTheOldFileAndNoTemporary) {
    testsupport::TempDir dir;
    const std::string path = dir.Write("export.jpg", "previous export");
    CWinBmp eightBit; // 8 bits per pixel: the encoders refuse it
    EXPECT_THROW(CJPEGEncoder().EncodeFile(path, &eightBit), CTextException);
    EXPECT_THROW(CTIFFEncoder().EncodeFile(path, &eightBit), CTextException);
    EXPECT_EQ(testsupport::ReadFile(path), "previous export");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    try {
        CJPEGEncoder().EncodeFile(dir.Str() + "/missing/x.jpg", &eightBit);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.Code(), -1);
        EXPECT_EQ(std::string(e.Text()),
                  "Decoder error: Opening " + dir.Str() + "/missing/x.jpg failed\n");
    }
}
