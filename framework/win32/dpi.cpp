#include "framework/win32/dpi.h"

#include <windows.h>

#include "framework/win32/handles.h"

namespace pogoda {

int ScreenPixelsPerInch() {
    static const int dpi = [] {
        TWindowDC screen(nullptr);
        const int value = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int ScaleToScreen(int value, int pixelsPerInch) {
    if (pixelsPerInch <= 0) pixelsPerInch = 96;
    return MulDiv(value, ScreenPixelsPerInch(), pixelsPerInch);
}

}  // namespace pogoda
