#pragma once

// The one-line reports of pngdecode: "ok WIDTH HEIGHT PIXELFORMAT[ transparent=RRGGBB]" for a
// loaded picture, "error CLASSNAME: MESSAGE" for a failure.

#include <cstdint>
#include <string>

#include "framework/core/exceptions.h"

namespace pogoda {

class TBitmap;
class TPicture;

std::string PixelFormatName(int format);
// The picture's graphic must be a bitmap (or absent: "ok 0 0 pfDevice").
std::string DescribePicture(const TPicture& picture);
std::string DescribeError(const Exception& error);
// CRC-32 of the bitmap's rows, top to bottom, each with its padding.
uint32_t PixelRowsCrc(const TBitmap& bitmap);

}  // namespace pogoda
