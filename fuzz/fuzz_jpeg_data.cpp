// Feeds arbitrary bytes down the About picture's road: a stored "Data" value naming
// TJPEGImage and carrying the bytes as the JPEG file, then the first draw, which decodes.
// The input's length picks the decoder settings, so every path through them is reached
// while a mutation of the content keeps the settings of its parent.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "graphics/bitmap.h"
#include "graphics/jpeg_image.h"
#include "graphics/memory_canvas.h"
#include "graphics/picture.h"

namespace {

// Larger pictures are valid but only slow the campaign down and, at 4 Mpixel, brought it near
// libFuzzer's 2 GB memory limit; their headers are still read.
constexpr int64_t kMaxDecodedPixels = int64_t{1} << 20;

pogoda::TJPEGDefaults SettingsFor(size_t size) {
    pogoda::TJPEGDefaults settings;
    settings.Scale = static_cast<pogoda::TJPEGScale>(size % 4);
    settings.Grayscale = (size >> 2) % 2 != 0;
    settings.PixelFormat = (size >> 3) % 2 != 0 ? pogoda::jf8Bit : pogoda::jf24Bit;
    settings.Performance = (size >> 4) % 2 != 0 ? pogoda::jpBestSpeed : pogoda::jpBestQuality;
    settings.Smoothing = (size >> 5) % 2 == 0;
    return settings;
}

void WriteStoredValue(pogoda::TMemoryStream& stream, const uint8_t* data, size_t size) {
    constexpr std::string_view kClassName = "TJPEGImage";
    const auto nameLength = static_cast<uint8_t>(kClassName.size());
    stream.WriteBuffer(&nameLength, 1);
    stream.WriteBuffer(kClassName.data(), static_cast<int64_t>(kClassName.size()));
    const auto count = static_cast<uint32_t>(size);
    const uint8_t raw[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                            static_cast<uint8_t>(count >> 16), static_cast<uint8_t>(count >> 24)};
    stream.WriteBuffer(raw, sizeof raw);
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pogoda::TMemoryStream stream;
    WriteStoredValue(stream, data, size);
    pogoda::TPicture picture;
    try {
        picture.ReadStoredData(stream);
        auto* jpeg = dynamic_cast<pogoda::TJPEGImage*>(picture.Graphic());
        if (jpeg == nullptr) {
            __builtin_trap();  // the class name is registered, so a picture must come out
        }
        jpeg->Settings = SettingsFor(size);
        const int width = jpeg->Width();
        const int height = jpeg->Height();
        if (int64_t{width} * height > kMaxDecodedPixels) {
            return 0;
        }
        pogoda::TBitmap target;
        target.SetPixelFormat(pogoda::pf32bit);
        target.SetSize(48, 32);
        pogoda::TBitmapCanvas canvas(target);
        // Stretched into a target smaller and offset, so rows and columns are both skipped.
        jpeg->DrawInto(canvas, pogoda::Rect(-3, 2, 61, 30));
        if (!jpeg->Empty() &&
            (jpeg->Bitmap().Width() != width || jpeg->Bitmap().Height() != height)) {
            __builtin_trap();  // the size reported before decoding is the decoded size
        }
    } catch (const pogoda::Exception&) {
        // Refusing the input is a valid outcome.
    }
    return 0;
}
