#include "framework/win32/panel.h"

#include "framework/win32/wide_text.h"

namespace pogoda {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut value) {
    m_bevelOuter = value;
    if (HandleAllocated()) InvalidateRect(RawHandle(), nullptr, TRUE);
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = OwnWindowClass(L"PogodaPanel", CS_HREDRAW | CS_VREDRAW);
    params.style |= WS_CLIPCHILDREN;
    params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::Paint(HDC dc) {
    RECT client{};
    GetClientRect(RawHandle(), &client);
    if (m_bevelOuter == bvLowered) DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    if (m_bevelOuter == bvRaised) DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    if (!Caption().empty()) {
        const std::wstring text = Wide(Caption());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        TSelectScope font(dc, EffectiveFont()->Handle());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

}  // namespace pogoda
