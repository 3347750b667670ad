#include "framework/win32/button.h"

namespace pogoda {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = L"BUTTON";
    params.style |= WS_TABSTOP | BS_PUSHBUTTON;
}

void TButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

}  // namespace pogoda
