#include "graphics/bitmap.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"

namespace pogoda {
namespace {

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

TEST(Bitmap, StrideIsTheRowRoundedUpTo32Bits) {
    struct Case {
        TPixelFormat format;
        int width;
        int stride;
    };
    const Case cases[] = {{pf1bit, 1, 4},   {pf1bit, 32, 4},  {pf1bit, 33, 8},  {pf4bit, 9, 8},
                          {pf8bit, 5, 8},   {pf15bit, 3, 8},  {pf16bit, 2, 4},  {pf24bit, 1, 4},
                          {pf24bit, 5, 16}, {pf32bit, 3, 12}, {pfDevice, 3, 12}};
    for (const Case& c : cases) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(c.format);
        bitmap.SetSize(c.width, 2);
        EXPECT_EQ(bitmap.Stride(), c.stride) << "format " << c.format << " width " << c.width;
    }
}

TEST(Bitmap, RowsAreStoredBottomUp) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 3);
    EXPECT_EQ(bitmap.ScanLine(0), bitmap.ScanLine(2) + 2 * bitmap.Stride());
    bitmap.FillRect(Rect(0, 0, 2, 1), RGBColor(1, 2, 3));
    const uint8_t* top = bitmap.ScanLine(0);
    EXPECT_EQ(top[0], 3);  // blue, green, red
    EXPECT_EQ(top[2], 1);
    EXPECT_EQ(bitmap.PixelColor(1, 0), RGBColor(1, 2, 3));
    EXPECT_EQ(bitmap.PixelColor(1, 1), clBlack);
    for (int row : {-1, 3}) {
        try {
            bitmap.ScanLine(row);
            FAIL() << row;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), "Scan line index out of range");
        }
    }
}

TEST(Bitmap, IndexedFormatsBringTheirDefaultPalettes) {
    TBitmap bitmap;
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
    EXPECT_EQ(bitmap.Palette(), nullptr);
    bitmap.SetPixelFormat(pf1bit);
    EXPECT_EQ(*bitmap.Palette(), TPalette::BlackWhite());
    EXPECT_EQ(bitmap.Palette()->ColorAt(1), clWhite);
    bitmap.SetPixelFormat(pf4bit);
    ASSERT_EQ(bitmap.Palette()->Count(), 16);
    EXPECT_EQ(bitmap.Palette()->ColorAt(0), clBlack);
    EXPECT_EQ(bitmap.Palette()->ColorAt(9), RGBColor(255, 0, 0));
    EXPECT_EQ(bitmap.Palette()->ColorAt(15), clWhite);
    bitmap.SetPixelFormat(pf8bit);
    const TPalette& halftone = *bitmap.Palette();
    ASSERT_EQ(halftone.Count(), 256);
    for (TColor c : {RGBColor(51, 102, 153), RGBColor(255, 255, 0), clWhite, clBlack}) {
        bool found = false;
        for (int i = 0; i < 256; ++i) {
            found = found || halftone.ColorAt(i) == c;
        }
        EXPECT_TRUE(found) << std::hex << c;
    }
    bitmap.SetPixelFormat(pf24bit);
    EXPECT_EQ(bitmap.Palette(), nullptr);
    try {
        bitmap.SetPixelFormat(pfCustom);
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Invalid pixel format");
    }
}

TEST(Bitmap, PixelsOfEveryFormatReadBackThroughPaletteOrBitFields) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(11, 2);
        bitmap.FillRect(Rect(3, 1, 10, 2), clWhite);
        bitmap.FillRect(Rect(5, 1, 6, 2), RGBColor(255, 0, 0));
        EXPECT_EQ(bitmap.PixelColor(2, 1), clBlack) << format;
        EXPECT_EQ(bitmap.PixelColor(3, 1), clWhite) << format;
        EXPECT_EQ(bitmap.PixelColor(9, 1), clWhite) << format;
        EXPECT_EQ(bitmap.PixelColor(10, 1), clBlack) << format;
        EXPECT_EQ(bitmap.PixelColor(4, 0), clBlack) << format;
        // Two colours only: red is nearer black than white.
        EXPECT_EQ(bitmap.PixelColor(5, 1), format == pf1bit ? clBlack : RGBColor(255, 0, 0)) << format;
    }
}

TEST(Bitmap, RefusesPixelMemoryAboveTheLimit) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(4, 4);
    try {
        bitmap.SetSize(65536, 4097);  // 1 GiB and a row
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Bitmap size 65536 x 4097 is too large");
    }
    EXPECT_THROW(bitmap.SetSize(0x7FFFFFFF, 0x7FFFFFFF), EInvalidGraphic);
    EXPECT_THROW(bitmap.SetSize(-1, 4), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 4);
    bitmap.Clear();
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
}

TEST(Bitmap, SavesAWindowsBitmapFile) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf4bit);
    bitmap.SetSize(3, 2);
    bitmap.FillRect(Rect(0, 0, 1, 1), clWhite);  // top-left
    TMemoryStream stream;
    bitmap.SaveStream(stream);
    const uint8_t* p = stream.Memory();
    const uint32_t offset = 14 + 40 + 16 * 4;
    ASSERT_EQ(stream.Size(), offset + 2 * 4);
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    EXPECT_EQ(U32(p + 2), offset + 8);
    EXPECT_EQ(U32(p + 10), offset);
    EXPECT_EQ(U32(p + 14), 40u);
    EXPECT_EQ(U32(p + 18), 3u);
    EXPECT_EQ(U32(p + 22), 2u);
    EXPECT_EQ(p[28], 4);      // bits per pixel
    EXPECT_EQ(U32(p + 30), 0u);  // uncompressed
    EXPECT_EQ(U32(p + 34), 8u);
    EXPECT_EQ(U32(p + 46), 16u);  // colours used: the palette's entries
    EXPECT_EQ(U32(p + 54 + 9 * 4), 0x00FF0000u);  // entry 9, red, as blue-green-red-0
    EXPECT_EQ(U32(p + offset), 0u);          // bottom row first
    EXPECT_EQ(p[offset + 4], 0xF0);          // then the top row: white, black
}

TEST(Bitmap, FileRoundTripKeepsFormatPaletteAndPixels) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
        TBitmap source;
        source.SetPixelFormat(format);
        source.SetSize(7, 3);
        source.FillRect(Rect(1, 0, 3, 2), clWhite);
        source.FillRect(Rect(4, 2, 7, 3), RGBColor(0, 0, 255));
        TMemoryStream stream;
        source.SaveStream(stream);
        stream.SetPosition(0);
        TBitmap copy;
        copy.LoadStream(stream);
        EXPECT_EQ(copy.PixelFormat(), format);
        ASSERT_EQ(copy.Width(), 7);
        ASSERT_EQ(copy.Height(), 3);
        if (source.Palette() != nullptr) {
            EXPECT_EQ(*copy.Palette(), *source.Palette());
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(copy.PixelColor(x, y), source.PixelColor(x, y)) << format << " " << x << "," << y;
            }
        }
    }
}

TEST(Bitmap, RejectsBrokenFilesBeforeAllocating) {
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(2, 2);
    TMemoryStream stream;
    source.SaveStream(stream);
    uint8_t* p = stream.Memory();
    p[18] = 0xFF;  // width 0x7FFF....: more rows than the file holds
    p[19] = 0xFF;
    p[20] = 0x00;
    stream.SetPosition(0);
    TBitmap target;
    EXPECT_THROW(target.LoadStream(stream), EReadError);
    p[0] = 'X';
    stream.SetPosition(0);
    EXPECT_THROW(target.LoadStream(stream), EInvalidGraphic);
    EXPECT_TRUE(target.Empty());
}

}  // namespace
}  // namespace pogoda
