#include "framework/win32/label.h"

namespace pogoda {

TLabel::TLabel(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = L"STATIC";
    params.style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
}

void TLabel::CommandNotify(WORD code) {
    if (code == STN_CLICKED) Click();
}

}  // namespace pogoda
