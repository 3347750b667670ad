#include "tools/pngdecode/picture_report.h"

#include <zlib.h>

#include "framework/core/text.h"
#include "graphics/bitmap.h"
#include "graphics/picture.h"

namespace pogoda {

std::string PixelFormatName(int format) {
    static constexpr const char* kNames[] = {"pfDevice", "pf1bit",  "pf4bit",  "pf8bit",  "pf15bit",
                                             "pf16bit",  "pf24bit", "pf32bit", "pfCustom"};
    return format >= 0 && format <= pfCustom ? kNames[format] : "pfCustom";
}

std::string DescribePicture(const TPicture& picture) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(picture.Graphic());
    if (bitmap == nullptr || bitmap->Empty()) {
        return "ok 0 0 pfDevice";
    }
    std::string line = Format("ok %d %d %s", bitmap->Width(), bitmap->Height(),
                              PixelFormatName(bitmap->PixelFormat()));
    if (bitmap->Transparent()) {
        const TColor c = bitmap->TransparentColor();
        line += " transparent=" + IntToHex(RedOf(c), 2) + IntToHex(GreenOf(c), 2) +
                IntToHex(BlueOf(c), 2);
    }
    return line;
}

std::string DescribeError(const Exception& error) {
    return Format("error %s: %s", error.ClassName(), error.Message());
}

uint32_t PixelRowsCrc(const TBitmap& bitmap) {
    uLong crc = crc32(0, nullptr, 0);
    for (int row = 0; row < bitmap.Height(); ++row) {
        crc = crc32(crc, bitmap.ScanLine(row), static_cast<uInt>(bitmap.Stride()));
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace pogoda
