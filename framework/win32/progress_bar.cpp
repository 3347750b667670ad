#include "framework/win32/progress_bar.h"

#include <commctrl.h>

namespace pogoda {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMin(int value) {
    m_min = value;
    ApplyRange();
}

void TProgressBar::SetMax(int value) {
    m_max = value;
    ApplyRange();
}

void TProgressBar::SetPosition(int value) {
    m_position = value;
    if (HandleAllocated()) SendMessageW(RawHandle(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void TProgressBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = PROGRESS_CLASSW;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyRange();
    SetPosition(m_position);
}

void TProgressBar::ApplyRange() {
    if (HandleAllocated()) SendMessageW(RawHandle(), PBM_SETRANGE32, static_cast<WPARAM>(m_min), m_max);
}

}  // namespace pogoda
