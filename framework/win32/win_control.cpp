#include "framework/win32/win_control.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/win32/dpi.h"
#include "framework/win32/wide_text.h"
#include "framework/win32/window_errors.h"

namespace pogoda {

namespace {

// One tooltip window serves the hints of every control.
HWND HintWindow() {
    static TWindowHandle window(CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
        GetModuleHandleW(nullptr), nullptr));
    return window.Get();
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {
    m_font.OnChange = [this] { FontChanged(); };
}

TWinControl::~TWinControl() {
    DestroyHandle();
    for (TWinControl* child : m_controls) child->m_parent = nullptr;
    if (m_parent != nullptr) std::erase(m_parent->m_controls, this);
}

HWND TWinControl::Handle() {
    if (!m_handle) CreateHandle();
    return m_handle.Get();
}

TWinControl* TWinControl::FromHandle(HWND window) {
    // Only windows of this framework are asked: their user data is the control or zero.
    if (window == nullptr) return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) return;
    if (m_parent != nullptr) std::erase(m_parent->m_controls, this);
    m_parent = parent;
    if (m_parent == nullptr) {
        DestroyHandle();
        return;
    }
    m_parent->m_controls.push_back(this);
    if (!m_parent->HandleAllocated()) return;
    if (m_handle) {
        ::SetParent(m_handle.Get(), m_parent->RawHandle());
        ApplyBounds();
    } else {
        CreateHandle();
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    ApplyBounds();
}

void TWinControl::SetAlign(TAlign value) {
    m_align = value;
    ApplyBounds();
}

void TWinControl::SetCaption(std::string value) {
    m_caption = std::move(value);
    if (m_handle) SetWindowTextW(m_handle.Get(), Wide(m_caption).c_str());
}

void TWinControl::SetVisible(bool value) {
    m_visible = value;
    if (m_handle) ShowWindow(m_handle.Get(), value ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool value) {
    m_enabled = value;
    if (m_handle) EnableWindow(m_handle.Get(), value);
}

void TWinControl::SetColor(TColor value) {
    m_color = value;
    m_brush.Reset();
    if (m_handle) InvalidateRect(m_handle.Get(), nullptr, TRUE);
}

void TWinControl::SetParentFont(bool value) {
    m_parentFont = value;
    ApplyFont();
}

void TWinControl::SetHint(std::string value) {
    m_hint = std::move(value);
    ApplyHint();
}

void TWinControl::SetShowHint(bool value) {
    m_showHint = value;
    ApplyHint();
}

int TWinControl::PixelsPerInch() const {
    return m_parent != nullptr ? m_parent->PixelsPerInch() : 96;
}

int TWinControl::Scale(int value) const {
    return ScaleToScreen(value, PixelsPerInch());
}

const wchar_t* TWinControl::OwnWindowClass(const wchar_t* name, UINT classStyle) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = classStyle;
        wc.lpfnWndProc = &TWinControl::WindowProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(wc.hInstance, L"MAINICON");
        wc.lpszClassName = name;
        RegisterClassExW(&wc);
    }
    return name;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.parent = m_parent != nullptr ? m_parent->Handle() : nullptr;
}

void TWinControl::CreateHandle() {
    TCreateParams params;
    CreateParams(params);
    if (m_visible && (params.style & WS_CHILD) != 0) params.style |= WS_VISIBLE;
    if (!m_enabled) params.style |= WS_DISABLED;
    const RECT r = ScreenBounds();
    HWND window = CreateWindowExW(params.exStyle, params.className, Wide(m_caption).c_str(),
                                  params.style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, params.parent, nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (window == nullptr) throw EInvalidOperation("Error creating window");
    if (m_handle.Get() != window) m_handle.Reset(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    CreateWnd();
}

void TWinControl::CreateWnd() {
    ApplyFont();
    ApplyHint();
    for (TWinControl* child : m_controls) {
        if (!child->HandleAllocated()) child->CreateHandle();
    }
}

void TWinControl::DestroyHandle() {
    for (TWinControl* child : m_controls) child->DestroyHandle();
    if (!m_handle) return;
    // Messages sent while the window goes away must not reach a half-destroyed object.
    SetWindowLongPtrW(m_handle.Get(), GWLP_USERDATA, 0);
    m_handle.Reset();
}

RECT TWinControl::ScreenBounds() const {
    int left = m_left;
    int top = m_top;
    int width = m_width;
    if (m_align == alTop && m_parent != nullptr) {
        left = 0;
        top = 0;
        RECT client{};
        width = m_parent->RawHandle() != nullptr && GetClientRect(m_parent->RawHandle(), &client)
                    ? MulDiv(client.right, PixelsPerInch(), ScreenPixelsPerInch())
                    : m_width;
    }
    return RECT{Scale(left), Scale(top), Scale(left + width), Scale(top + m_height)};
}

void TWinControl::ApplyBounds() {
    if (!m_handle) return;
    const RECT r = ScreenBounds();
    SetWindowPos(m_handle.Get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (TWinControl* child : m_controls) {
        if (child->m_align != alNone) child->ApplyBounds();
    }
}

TFont* TWinControl::EffectiveFont() {
    return m_parentFont && m_parent != nullptr ? m_parent->EffectiveFont() : &m_font;
}

void TWinControl::ApplyFont() {
    if (!m_handle) return;
    SendMessageW(m_handle.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(EffectiveFont()->Handle()),
                 TRUE);
    for (TWinControl* child : m_controls) {
        if (child->m_parentFont) child->ApplyFont();
    }
}

void TWinControl::FontChanged() {
    // A control given a font of its own stops following its parent's.
    if (m_parent != nullptr) m_parentFont = false;
    ApplyFont();
}

void TWinControl::ApplyHint() {
    if (!m_handle || !m_showHint || m_hint.empty()) return;
    const std::wstring text = Wide(m_hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_handle.Get();
    tool.uId = reinterpret_cast<UINT_PTR>(m_handle.Get());
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(HintWindow(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(HintWindow(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool TWinControl::EraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(m_handle.Get(), &client);
    FillRect(dc, &client, ControlColor(dc));
    return true;
}

HBRUSH TWinControl::ControlColor(HDC dc) {
    if (!m_brush) m_brush.Reset(CreateSolidBrush(ColorToRGB(m_color)));
    SetTextColor(dc, ColorToRGB(EffectiveFont()->Color()));
    SetBkColor(dc, ColorToRGB(m_color));
    return m_brush.Get();
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        TPaintScope paint(m_handle.Get());
        Paint(paint.Get());
        return 0;
    }
    case WM_ERASEBKGND:
        if (EraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
        break;
    case WM_COMMAND:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->CommandNotify(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            return reinterpret_cast<LRESULT>(child->ControlColor(reinterpret_cast<HDC>(wParam)));
        }
        break;
    case WM_LBUTTONUP:
        Click();
        return 0;
    case WM_LBUTTONDBLCLK:
        DblClick();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_handle.Get(), message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* control = static_cast<TWinControl*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        if (control != nullptr) control->m_handle.Reset(window);
    }
    TWinControl* control = FromHandle(window);
    if (control == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return control->Dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        HandleWindowException(error);
        return 0;
    }
}

}  // namespace pogoda
