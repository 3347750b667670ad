#pragma once

// System colours as stored colours: the marker 0xFF000000 plus the system colour index.

#include <windows.h>

#include "graphics/graphics_types.h"

namespace pogoda {

inline constexpr TColor kSystemColor = static_cast<TColor>(0xFF000000u);
inline constexpr TColor clWindowText = kSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clBtnFace = kSystemColor | COLOR_BTNFACE;
inline constexpr TColor clWindow = kSystemColor | COLOR_WINDOW;
inline constexpr TColor clBlue = 0xFF0000;

// The RGB value Windows draws for a stored colour.
COLORREF ColorToRGB(TColor color);

}  // namespace pogoda
