#pragma once

#include "framework/win32/win_control.h"
#include "graphics/image_view.h"

namespace pogoda {

// The image control: a window that shows its picture where the image view places it; a
// double click raises OnDblClick.
class TImage : public TWinControl, private TImageView::IHost {
    POGODA_CLASS_NAME(TImage)
public:
    explicit TImage(TComponent* owner);

    TImageView& View() { return m_view; }
    TPicture* Picture() { return &m_view.Picture(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;

private:
    TRect BoundsRect() const override;
    void SetBounds(int left, int top, int width, int height) override;
    void Invalidate() override;
    void Repaint() override;
    void SetOpaque(bool opaque) override;

    TImageView m_view;
};

}  // namespace pogoda
