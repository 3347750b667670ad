#include "graphics/picture.h"

#include <gtest/gtest.h>

#include "framework/core/streams.h"
#include "graphics/bitmap.h"
#include "graphics/jpeg_image.h"
#include "tests/graphics/test_images.h"

namespace pogoda {
namespace {

std::vector<uint8_t> BitmapFile(int width, int height) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
    TMemoryStream stream;
    bitmap.SaveStream(stream);
    return {stream.Memory(), stream.Memory() + stream.Size()};
}

class PictureTest : public ::testing::Test {
protected:
    PictureTest() {
        picture.OnChange = [this](TObject*) { ++changes; };
    }

    // Loads a 3 x 2 bitmap as the picture that failures must leave in place.
    void LoadPrevious() {
        previousFile.Write(BitmapFile(3, 2));
        picture.LoadPictureFile(previousFile.Path());
        previous = picture.Graphic();
        changes = 0;
    }

    void ExpectPreviousKept() {
        EXPECT_EQ(picture.Graphic(), previous);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_EQ(changes, 0);
    }

    TPicture picture;
    int changes = 0;
    test::TempFile previousFile{"previous.bmp"};
    TGraphic* previous = nullptr;
};

TEST_F(PictureTest, LoadsByExtensionInAnyCase) {
    test::TempFile file("Weather.BMP");
    file.Write(BitmapFile(5, 4));
    picture.LoadPictureFile(file.Path());
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 4);
    EXPECT_EQ(changes, 1);
    picture.Graphic()->NotifyChanged(picture.Graphic());  // the graphic's changes reach the container
    EXPECT_EQ(changes, 2);
}

TEST_F(PictureTest, UnknownExtensionIsReportedAsTyped) {
    LoadPrevious();
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"image.PnX", "Unknown picture file extension (.PnX)"},
                 {"noextension", "Unknown picture file extension (.)"},
                 {"dir.jpg/file", "Unknown picture file extension (.)"}};
    for (const auto& c : cases) {
        try {
            picture.LoadPictureFile(c.name);
            FAIL() << c.name;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    ExpectPreviousKept();
}

TEST_F(PictureTest, MissingOrBrokenFileKeepsThePreviousPicture) {
    LoadPrevious();
    test::TempFile missing("missing.bmp");
    try {
        picture.LoadPictureFile(missing.Path());
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing.Path() + "\". ", 0), 0u) << e.Message();
    }
    ExpectPreviousKept();

    test::TempFile broken("broken.jpg");
    broken.Write({0xFF, 0xD8, 0xFF, 0xE0, 0x00});
    EXPECT_THROW(picture.LoadPictureFile(broken.Path()), EJPEG);
    test::TempFile icon("app.ico");
    icon.Write({0, 0, 1, 0});
    try {
        picture.LoadPictureFile(icon.Path());
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Icon images are not supported");
    }
    ExpectPreviousKept();
}

TEST_F(PictureTest, StoredJpegDataRoundTrips) {
    const std::vector<uint8_t> jpeg = test::MakeJpeg(19, 13, [](int x, int y) {
        return test::Rgb{static_cast<uint8_t>(x * 10), static_cast<uint8_t>(y * 10), 128};
    });
    TMemoryStream stored;
    const uint8_t header[] = {10, 'T', 'J', 'P', 'E', 'G', 'I', 'm', 'a', 'g', 'e'};
    stored.WriteBuffer(header, sizeof header);
    const auto size = static_cast<uint32_t>(jpeg.size());
    const uint8_t count[] = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                             static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
    stored.WriteBuffer(count, 4);
    stored.WriteBuffer(jpeg.data(), size);
    stored.SetPosition(0);

    picture.ReadStoredData(stored);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_STREQ(picture.Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(picture.Width(), 19);
    EXPECT_EQ(picture.Height(), 13);
    EXPECT_EQ(changes, 1);

    TMemoryStream written;
    picture.WriteStoredData(written);
    ASSERT_EQ(written.Size(), stored.Size());
    EXPECT_TRUE(std::equal(written.Memory(), written.Memory() + written.Size(), stored.Memory()));

    TPicture empty;
    TMemoryStream nothing;
    empty.WriteStoredData(nothing);
    EXPECT_EQ(nothing.Size(), 1);
    EXPECT_EQ(nothing.Memory()[0], 0);
}

TEST_F(PictureTest, UnknownStoredClassGivesAnEmptyPicture) {
    LoadPrevious();
    TMemoryStream stored;
    const uint8_t data[] = {7, 'T', 'U', 'n', 'k', 'n', 'o', 'w', 0xDE, 0xAD};
    stored.WriteBuffer(data, sizeof data);
    stored.SetPosition(0);
    picture.ReadStoredData(stored);
    EXPECT_EQ(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(stored.Position(), 8);  // the rest is not read
    EXPECT_EQ(changes, 1);
}

TEST_F(PictureTest, ShortStoredJpegDataKeepsThePreviousPicture) {
    LoadPrevious();
    TMemoryStream stored;
    const uint8_t data[] = {10, 'T', 'J', 'P', 'E', 'G', 'I', 'm', 'a', 'g', 'e', 0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
    stored.WriteBuffer(data, sizeof data);
    stored.SetPosition(0);
    EXPECT_THROW(picture.ReadStoredData(stored), EReadError);
    ExpectPreviousKept();
}

TEST_F(PictureTest, ProgressOfTheGraphicReachesTheContainer) {
    const std::vector<uint8_t> jpeg = test::MakeJpeg(8, 8, [](int, int) { return test::Rgb{1, 2, 3}; });
    test::TempFile file("small.jpeg");
    file.Write(jpeg);
    std::vector<TProgressStage> stages;
    picture.OnProgress = [&](TObject* sender, TProgressStage stage, uint8_t, bool, TRect&, const std::string&) {
        EXPECT_EQ(sender, picture.Graphic());
        stages.push_back(stage);
    };
    picture.LoadPictureFile(file.Path());
    static_cast<TJPEGImage*>(picture.Graphic())->DecodeToBitmap();
    EXPECT_EQ(stages, (std::vector<TProgressStage>{psStarting, psEnding}));
}

}  // namespace
}  // namespace pogoda
