#include "graphics/jpeg_image.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "framework/core/streams.h"
#include "graphics/bitmap.h"
#include "tests/graphics/test_images.h"

namespace pogoda {
namespace {

// Four flat quadrants, so that compression leaves the colours close to what was written.
test::Rgb Quadrants(int x, int y) {
    if (y < 16) {
        return x < 16 ? test::Rgb{250, 10, 10} : test::Rgb{10, 250, 10};
    }
    return x < 16 ? test::Rgb{10, 10, 250} : test::Rgb{240, 240, 40};
}

void LoadBytes(TJPEGImage& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    image.LoadStream(stream);
}

void ExpectClose(TColor actual, test::Rgb expected, const char* where) {
    EXPECT_NEAR(RedOf(actual), expected.R, 12) << where;
    EXPECT_NEAR(GreenOf(actual), expected.G, 12) << where;
    EXPECT_NEAR(BlueOf(actual), expected.B, 12) << where;
}

TEST(JPEGImage, ReadsTheHeaderAndDecodesOnFirstUse) {
    TJPEGImage image;
    EXPECT_TRUE(image.Empty());
    LoadBytes(image, test::MakeJpeg(32, 32, Quadrants));
    EXPECT_EQ(image.Width(), 32);
    EXPECT_EQ(image.Height(), 32);
    EXPECT_FALSE(image.IsGrayscaleFile());
    EXPECT_EQ(image.Palette(), nullptr);

    const TBitmap& bitmap = image.Bitmap();
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    ASSERT_EQ(bitmap.Width(), 32);
    ASSERT_EQ(bitmap.Height(), 32);
    ExpectClose(bitmap.PixelColor(4, 4), Quadrants(4, 4), "top left");
    ExpectClose(bitmap.PixelColor(28, 4), Quadrants(28, 4), "top right");
    ExpectClose(bitmap.PixelColor(4, 28), Quadrants(4, 28), "bottom left");
    ExpectClose(bitmap.PixelColor(28, 28), Quadrants(28, 28), "bottom right");
}

TEST(JPEGImage, GrayscaleAndEightBitOutputIsQuantizedWithAPalette) {
    const auto ramp = [](int x, int) { return test::Rgb{static_cast<uint8_t>(x * 8), 0, 0}; };
    TJPEGImage gray;
    LoadBytes(gray, test::MakeJpeg(32, 8, ramp, true));
    EXPECT_TRUE(gray.IsGrayscaleFile());
    int changes = 0;
    gray.OnChange = [&](TObject*) { ++changes; };
    const TBitmap& bitmap = gray.Bitmap();
    EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
    ASSERT_NE(gray.Palette(), nullptr);
    EXPECT_EQ(changes, 1);
    for (int i = 0; i < gray.Palette()->Count(); ++i) {
        const TPaletteEntry& e = (*gray.Palette())[i];
        EXPECT_TRUE(e.Red == e.Green && e.Green == e.Blue) << i;
    }
    EXPECT_NEAR(RedOf(bitmap.PixelColor(20, 4)), 160, 12);

    TJPEGImage quantized;
    quantized.Settings.PixelFormat = jf8Bit;
    quantized.Settings.Scale = jsHalf;
    LoadBytes(quantized, test::MakeJpeg(32, 32, Quadrants));
    EXPECT_EQ(quantized.Width(), 16);  // scaled size, before any decoding
    EXPECT_EQ(quantized.Height(), 16);
    EXPECT_EQ(quantized.Bitmap().PixelFormat(), pf8bit);
    ExpectClose(quantized.Bitmap().PixelColor(12, 12), Quadrants(28, 28), "quantized");
}

TEST(JPEGImage, StoredDataIsACountAndTheFile) {
    const std::vector<uint8_t> bytes = test::MakeJpeg(9, 7, Quadrants);
    TJPEGImage image;
    LoadBytes(image, bytes);
    TMemoryStream stored;
    image.WriteStoredData(stored);
    ASSERT_EQ(stored.Size(), static_cast<int64_t>(bytes.size() + 4));
    const uint8_t* p = stored.Memory();
    EXPECT_EQ(p[0] | (p[1] << 8) | (p[2] << 16) | (p[3] << 24), static_cast<int>(bytes.size()));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), p + 4));

    stored.WriteBuffer("tail", 4);  // what follows the count is not part of the picture
    stored.SetPosition(0);
    TJPEGImage copy;
    copy.ReadStoredData(stored);
    EXPECT_EQ(stored.Position(), static_cast<int64_t>(bytes.size() + 4));
    EXPECT_TRUE(copy.Equals(image));
    EXPECT_EQ(copy.Width(), 9);
}

TEST(JPEGImage, LibjpegErrorsBecomeEJPEG) {
    std::vector<uint8_t> bytes = test::MakeJpeg(16, 16, Quadrants);
    TJPEGImage image;
    // Not a JPEG at all: the header read fails.
    try {
        LoadBytes(image, {'G', 'I', 'F', '8', '9', 'a', 0, 0});
        FAIL();
    } catch (const EJPEG& e) {
        EXPECT_EQ(std::string(e.Message()).rfind("JPEG error #", 0), 0u) << e.Message();
        EXPECT_NE(e.Message(), "JPEG error #0");
    }
    // A sound header over a broken frame: the failure comes when decoding.
    LoadBytes(image, bytes);
    TJPEGImage broken;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // start of frame: claim 3 components of id 0..
            bytes[i + 9] = 4;                            // ...then an impossible component count
            break;
        }
    }
    EXPECT_THROW(LoadBytes(broken, bytes), EJPEG);
    // A truncated file decodes what it has, without hanging or reading past its end.
    std::vector<uint8_t> cut = test::MakeJpeg(64, 64, [](int x, int y) {
        return test::Rgb{static_cast<uint8_t>(x * 37 ^ y * 11), static_cast<uint8_t>(x * y), 0};
    });
    cut.resize(cut.size() * 3 / 4);
    TJPEGImage truncated;
    LoadBytes(truncated, cut);
    EXPECT_EQ(truncated.Bitmap().Width(), 64);
}

TEST(JPEGImage, SizeCannotBeSet) {
    TJPEGImage image;
    try {
        image.SetWidth(10);
        FAIL();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot change the size of a JPEG image");
    }
    EXPECT_THROW(image.SetHeight(10), EInvalidGraphicOperation);
}

TEST(JPEGImage, ProgressHandlerExceptionLeavesCleanly) {
    TJPEGImage image;
    LoadBytes(image, test::MakeJpeg(8, 8, Quadrants));
    image.OnProgress = [](TObject*, TProgressStage stage, uint8_t, bool, TRect&, const std::string&) {
        if (stage == psStarting) {
            throw EInvalidOperation("stop");
        }
    };
    EXPECT_THROW(image.DecodeToBitmap(), EInvalidOperation);
    image.OnProgress.Clear();
    EXPECT_EQ(image.Bitmap().Width(), 8);
}

}  // namespace
}  // namespace pogoda
