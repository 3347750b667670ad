#pragma once

#include "framework/win32/win_control.h"

namespace pogoda {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an optional bevel drawn inside its edge.
class TPanel : public TWinControl {
    POGODA_CLASS_NAME(TPanel)
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut value);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint(HDC dc) override;

private:
    TBevelCut m_bevelOuter = bvRaised;
};

}  // namespace pogoda
