#pragma once

// The libjpeg side of TJPEGImage, private to it. libjpeg is C: its errors leave through
// setjmp/longjmp inside this module and become EJPEG here, never by unwinding C frames.

#include <cstdint>
#include <functional>
#include <span>

#include "graphics/graphics_types.h"
#include "graphics/jpeg_image.h"

namespace pogoda::jpeg {

struct HeaderInfo {
    int Width = 0;
    int Height = 0;
    bool Grayscale = false;
    bool Progressive = false;
};

// Reads the header only; with a scale other than full size the scaled output size.
HeaderInfo ReadHeader(std::span<const uint8_t> data, TJPEGScale scale);

// Called with the stage, the percent done, redraw-now and the band of rows since the last
// report. May throw; the exception leaves the decoder after libjpeg has been released.
using ProgressFn = std::function<void(TProgressStage, uint8_t, bool, TRect&)>;

// Decodes into bitmap (pf24bit, or pf8bit with a palette when quantized); returns true when
// the bitmap received a palette.
bool Decode(std::span<const uint8_t> data, const TJPEGDefaults& settings, TBitmap& bitmap,
            const ProgressFn& progress);

}  // namespace pogoda::jpeg
