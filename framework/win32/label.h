#pragma once

#include "framework/win32/win_control.h"

namespace pogoda {

// A line of static text in its font and colour; a click raises OnClick.
class TLabel : public TWinControl {
    POGODA_CLASS_NAME(TLabel)
public:
    explicit TLabel(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void CommandNotify(WORD code) override;
};

}  // namespace pogoda
