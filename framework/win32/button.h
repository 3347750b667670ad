#pragma once

#include "framework/win32/win_control.h"

namespace pogoda {

// A push button; a press (mouse or keyboard) raises OnClick.
class TButton : public TWinControl {
    POGODA_CLASS_NAME(TButton)
public:
    explicit TButton(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void CommandNotify(WORD code) override;
};

}  // namespace pogoda
