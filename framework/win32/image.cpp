#include "framework/win32/image.h"

#include "framework/win32/gdi_canvas.h"

namespace pogoda {

TImage::TImage(TComponent* owner) : TWinControl(owner), m_view(*this) {
    TWinControl::SetBounds(0, 0, 105, 105);
}

void TImage::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = OwnWindowClass(L"PogodaImage", CS_DBLCLKS);
}

void TImage::Paint(HDC dc) {
    TGdiCanvas canvas(dc);
    m_view.Paint(canvas);
}

TRect TImage::BoundsRect() const {
    return Bounds(Left(), Top(), Width(), Height());
}

void TImage::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
}

void TImage::Invalidate() {
    if (HandleAllocated()) InvalidateRect(RawHandle(), nullptr, TRUE);
}

void TImage::Repaint() {
    if (HandleAllocated()) {
        InvalidateRect(RawHandle(), nullptr, TRUE);
        UpdateWindow(RawHandle());
    }
}

void TImage::SetOpaque(bool /*opaque*/) {}

}  // namespace pogoda
