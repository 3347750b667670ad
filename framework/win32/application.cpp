#include "framework/win32/application.h"

#include <commctrl.h>
#include <objbase.h>

#include "framework/core/definitions.h"
#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "framework/win32/form.h"
#include "framework/win32/wide_text.h"
#include "framework/win32/window_errors.h"

namespace pogoda {

TApplication* Application = nullptr;

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void HandleWindowException(const std::exception& error) noexcept {
    try {
        if (Application != nullptr) Application->HandleException(error);
    } catch (...) {
        // A failing error box has nowhere left to report to.
    }
}

TApplication::TApplication() : TComponent(nullptr) {
    m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                       ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TApplication::WindowProcedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = L"PogodaApplication";
    RegisterClassExW(&wc);
    m_window.Reset(CreateWindowExW(0, wc.lpszClassName, L"",
                                   WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU |
                                       WS_MINIMIZEBOX,
                                   GetSystemMetrics(SM_CXSCREEN) / 2,
                                   GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                                   instance, this));
    if (!m_window) throw EInvalidOperation("Error creating window");
    Application = this;
    m_previousPump = SetMessagePump(this);
}

TApplication::~TApplication() {
    DestroyComponents();
    SetMessagePump(m_previousPump);
    m_window.Reset();
    if (Application == this) Application = nullptr;
    if (m_comInitialized) CoUninitialize();
}

void TApplication::SetTitle(std::string value) {
    m_title = std::move(value);
    SetWindowTextW(m_window.Get(), Wide(m_title).c_str());
}

void TApplication::LoadForm(TForm& form, const wchar_t* resourceName) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, resourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL data = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = data != nullptr ? LockResource(data) : nullptr;
    if (bytes == nullptr) {
        throw EReadError(Format("Resource %s not found", Narrow(resourceName)));
    }
    if (m_mainForm == nullptr) m_mainForm = &form;
    ReadDefinition(form, std::string_view(static_cast<const char*>(bytes),
                                          SizeofResource(module, resource)));
}

void TApplication::Run() {
    if (m_mainForm != nullptr) m_mainForm->SetVisible(true);
    while (!m_terminated) HandleMessage();
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        m_terminated = true;
        return true;
    }
    HWND active = GetActiveWindow();
    // Tab, arrows and Enter move between the controls of the active form.
    if (active != nullptr && active != m_window.Get() &&
        TWinControl::FromHandle(active) != nullptr &&
        IsDialogMessageW(active, &msg)) {
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

bool TApplication::MessageWaiting() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) WaitMessage();
}

void TApplication::HandleException(const std::exception& error) {
    if (OnException) {
        OnException(this, error);
    } else {
        ShowException(error);
    }
}

void TApplication::ShowException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    const std::string text = ErrorBoxText(own != nullptr ? own->Message() : error.what());
    MessageBoxW(GetActiveWindow(), Wide(text).c_str(), Wide(m_title).c_str(),
                MB_OK | MB_ICONERROR);
}

bool TApplication::AnyFormVisible() const {
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* form = dynamic_cast<TForm*>(Components(i)); form != nullptr && form->Visible()) {
            return true;
        }
    }
    return false;
}

void TApplication::FormVisibilityChanged() {
    if (!m_window) return;
    // Someone else (the tray icon's ShowApp) changed the window: leave it to them.
    if ((IsWindowVisible(m_window.Get()) != FALSE) != m_taskbarShown) return;
    const bool show = AnyFormVisible();
    if (show == m_taskbarShown) return;
    ShowWindow(m_window.Get(), show ? SW_SHOWNOACTIVATE : SW_HIDE);
    m_taskbarShown = show;
}

LRESULT TApplication::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        if (m_mainForm != nullptr) m_mainForm->Close();
        return 0;
    case WM_ACTIVATE:
        // A click on the taskbar button activates this window; hand it to a visible form.
        if (LOWORD(wParam) != WA_INACTIVE) {
            for (int i = ComponentCount() - 1; i >= 0; --i) {
                auto* form = dynamic_cast<TForm*>(Components(i));
                if (form != nullptr && form->Visible() && IsWindowEnabled(form->Handle())) {
                    SetActiveWindow(form->Handle());
                    return 0;
                }
            }
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window.Get(), message, wParam, lParam);
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_window.Get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& error) {
        HandleWindowException(error);
        return 0;
    }
}

}  // namespace pogoda
