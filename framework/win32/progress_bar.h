#pragma once

#include "framework/win32/win_control.h"

namespace pogoda {

// The common controls' progress bar (visual styles come from the manifest).
class TProgressBar : public TWinControl {
    POGODA_CLASS_NAME(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    void SetMin(int value);
    void SetMax(int value);
    void SetPosition(int value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void ApplyRange();

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};

}  // namespace pogoda
