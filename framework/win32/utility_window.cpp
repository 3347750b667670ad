#include "framework/win32/utility_window.h"

#include "framework/core/exceptions.h"
#include "framework/win32/window_errors.h"

namespace pogoda {

TUtilityWindow::TUtilityWindow(THandler handler) : m_handler(std::move(handler)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    static const ATOM windowClass = [instance] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TUtilityWindow::WindowProcedure;
        wc.hInstance = instance;
        wc.lpszClassName = L"PogodaUtilityWindow";
        return RegisterClassExW(&wc);
    }();
    m_window.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass)), L"", WS_POPUP, 0,
                                   0, 0, 0, nullptr, nullptr, instance, this));
    if (!m_window) throw EInvalidOperation("Error creating window");
}

LRESULT TUtilityWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefWindowProcW(m_window.Get(), message, wParam, lParam);
}

LRESULT CALLBACK TUtilityWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Until CreateWindowEx has returned, and while it is destroyed, the default serves.
    if (self == nullptr || self->m_window.Get() != window || !self->m_handler) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->m_handler(message, wParam, lParam);
    } catch (const std::exception& error) {
        HandleWindowException(error);
        return 0;
    }
}

}  // namespace pogoda
