#include "graphics/file_formats.h"

#include <gtest/gtest.h>

#include "graphics/bitmap.h"
#include "graphics/jpeg_image.h"
#include "graphics/unsupported_formats.h"

namespace pogoda {
namespace {

class TStripedBitmap : public TBitmap {
    POGODA_GRAPHIC_CLASS(TStripedBitmap)
};
POGODA_DEFINE_GRAPHIC_CLASS(TStripedBitmap, TBitmap)

std::vector<std::string> Extensions(const TFileFormatsList& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i) {
        result.push_back(list[i].Extension);
    }
    return result;
}

TEST(FileFormats, CreationAndStartUpOrder) {
    const TFileFormatsList fresh;
    EXPECT_EQ(Extensions(fresh), (std::vector<std::string>{"wmf", "emf", "ico", "bmp"}));
    EXPECT_EQ(fresh[0].GraphicClass, &TMetafile::ClassRef());
    EXPECT_EQ(fresh[1].Description, "Enhanced Metafiles");
    EXPECT_EQ(fresh[2].GraphicClass, &TIconGraphic::ClassRef());
    EXPECT_EQ(fresh[3].GraphicClass, &TBitmap::ClassRef());

    // The process's registry continues with the JPEG unit's entries (and the PNG unit's).
    const TFileFormatsList& global = GetFileFormats();
    ASSERT_GE(global.Count(), 6);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(global[i].Extension, fresh[i].Extension);
    }
    EXPECT_EQ(global[4].Extension, "jpeg");
    EXPECT_EQ(global[5].Extension, "jpg");
    EXPECT_EQ(global[5].Description, "JPEG Image File");
    EXPECT_EQ(global[5].GraphicClass, &TJPEGImage::ClassRef());
}

TEST(FileFormats, ExtensionLookUpIgnoresCaseAndLaterRegistrationWins) {
    TFileFormatsList list;
    list.RegisterFormat("PNG", "first", TBitmap::ClassRef());
    EXPECT_EQ(list[4].Extension, "png");
    EXPECT_EQ(list.FindClassForExtension("pNg"), &TBitmap::ClassRef());
    list.RegisterFormat("png", "second", TStripedBitmap::ClassRef());
    EXPECT_EQ(list.FindClassForExtension("PNG"), &TStripedBitmap::ClassRef());
    EXPECT_EQ(list.FindClassForExtension("pn"), nullptr);
    EXPECT_EQ(list.FindClassForExtension(""), nullptr);
}

TEST(FileFormats, NameLookUpIsCaseSensitive) {
    TFileFormatsList list;
    EXPECT_EQ(list.FindClassByName("TBitmap"), &TBitmap::ClassRef());
    EXPECT_EQ(list.FindClassByName("TBITMAP"), nullptr);
    EXPECT_EQ(list.FindClassByName("TJPEGImage"), nullptr);
    EXPECT_EQ(GetFileFormats().FindClassByName("TJPEGImage"), &TJPEGImage::ClassRef());
}

TEST(FileFormats, RemovingAClassRemovesItsDescendants) {
    TFileFormatsList list;
    list.RegisterFormat("stb", "striped", TStripedBitmap::ClassRef());
    list.RemoveFormatsOfClass(TUnsupportedGraphic::ClassRef());
    EXPECT_EQ(Extensions(list), (std::vector<std::string>{"bmp", "stb"}));
    list.RemoveFormatsOfClass(TStripedBitmap::ClassRef());
    EXPECT_EQ(Extensions(list), (std::vector<std::string>{"bmp"}));
    list.RegisterFormat("stb", "striped", TStripedBitmap::ClassRef());
    list.RemoveFormatsOfClass(TBitmap::ClassRef());
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace pogoda
