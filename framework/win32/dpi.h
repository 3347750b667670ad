#pragma once

namespace pogoda {

// The screen's pixels per inch (96 at 100 %); the process declares itself DPI aware.
int ScreenPixelsPerInch();
// A length stored for pixelsPerInch, in screen pixels.
int ScaleToScreen(int value, int pixelsPerInch = 96);

}  // namespace pogoda
