#include "framework/win32/form.h"

#include <vector>

#include "framework/core/exceptions.h"
#include "framework/win32/application.h"

namespace pogoda {

namespace {

// Disables the thread's visible, enabled top-level windows for a modal window's lifetime
// and enables the same windows again; hidden ones (the tray's window, a menu's) stay usable.
class TModalDisabler {
public:
    explicit TModalDisabler(HWND modal) : m_modal(modal) {
        EnumThreadWindows(GetCurrentThreadId(), &TModalDisabler::Collect,
                          reinterpret_cast<LPARAM>(this));
        for (HWND window : m_disabled) EnableWindow(window, FALSE);
    }
    ~TModalDisabler() { Restore(); }
    TModalDisabler(const TModalDisabler&) = delete;
    TModalDisabler& operator=(const TModalDisabler&) = delete;

    void Restore() {
        for (HWND window : m_disabled) {
            if (IsWindow(window)) EnableWindow(window, TRUE);
        }
        m_disabled.clear();
    }

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM data) {
        auto* self = reinterpret_cast<TModalDisabler*>(data);
        if (window != self->m_modal && IsWindowVisible(window) && IsWindowEnabled(window)) {
            self->m_disabled.push_back(window);
        }
        return TRUE;
    }

    HWND m_modal;
    std::vector<HWND> m_disabled;
};

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisibleFlag(false);
}

TForm::~TForm() {
    const bool wasVisible = Visible();
    SetVisibleFlag(false);
    DestroyHandle();
    if (wasVisible && Application != nullptr) Application->FormVisibilityChanged();
}

void TForm::SetBorderStyle(TBorderStyle value) {
    m_borderStyle = value;
    ApplyStyle();
}

void TForm::SetBorderIcons(unsigned value) {
    m_borderIcons = value;
    ApplyStyle();
}

void TForm::SetClientWidth(int value) {
    m_clientWidth = value;
    ApplyBounds();
}

void TForm::SetClientHeight(int value) {
    m_clientHeight = value;
    ApplyBounds();
}

void TForm::SetPixelsPerInch(int value) {
    m_pixelsPerInch = value;
    Font()->SetPixelsPerInch(value);
    ApplyBounds();
}

void TForm::ApplyIcon() {
    if (!HandleAllocated()) return;
    // A form without an icon of its own shows the application's (the class icon).
    auto icon = reinterpret_cast<LPARAM>(m_icon.Handle());
    SendMessageW(RawHandle(), WM_SETICON, ICON_BIG, icon);
    SendMessageW(RawHandle(), WM_SETICON, ICON_SMALL, icon);
}

void TForm::Loaded() {
    TWinControl::Loaded();
    Handle();
}

DWORD TForm::Style() const {
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (m_borderStyle) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
    }
    if (m_borderStyle != bsNone) {
        if ((m_borderIcons & biSystemMenu) != 0) style |= WS_SYSMENU;
        if ((m_borderIcons & biMinimize) != 0) style |= WS_MINIMIZEBOX;
        if ((m_borderIcons & biMaximize) != 0) style |= WS_MAXIMIZEBOX;
    }
    return style;
}

void TForm::CreateParams(TCreateParams& params) {
    params.className = OwnWindowClass(L"PogodaForm", CS_DBLCLKS);
    params.style = Style();
    params.exStyle = WS_EX_CONTROLPARENT;
    if (m_borderStyle == bsDialog) params.exStyle |= WS_EX_DLGMODALFRAME;
    // Owned by the application's window, which alone carries the taskbar button.
    params.parent = Application != nullptr ? Application->Handle() : nullptr;
}

void TForm::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyIcon();
}

RECT TForm::ScreenBounds() const {
    RECT r{0, 0, Scale(m_clientWidth), Scale(m_clientHeight)};
    AdjustWindowRectEx(&r, Style(), FALSE, WS_EX_CONTROLPARENT);
    return RECT{Left(), Top(), Left() + r.right - r.left, Top() + r.bottom - r.top};
}

void TForm::ApplyStyle() {
    if (!HandleAllocated()) return;
    SetWindowLongPtrW(RawHandle(), GWL_STYLE,
                      static_cast<LONG_PTR>(Style() | (Showing() ? WS_VISIBLE : 0)));
    SetWindowPos(RawHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyBounds();
}

bool TForm::Showing() const {
    return HandleAllocated() && IsWindowVisible(RawHandle());
}

void TForm::CenterOnScreen() {
    RECT r{};
    GetWindowRect(RawHandle(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    SetWindowPos(RawHandle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetVisible(bool value) {
    if (value) {
        Handle();
        if (!m_shownBefore && m_position == poScreenCenter) CenterOnScreen();
    }
    SetVisibleFlag(value);
    if (HandleAllocated()) ShowWindow(RawHandle(), value ? SW_SHOW : SW_HIDE);
    if (value) m_shownBefore = true;
    if (Application != nullptr) Application->FormVisibilityChanged();
}

void TForm::Show() {
    SetVisible(true);
    SetWindowPos(RawHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(RawHandle());
}

int TForm::ShowModal() {
    if (Visible() || !IsWindowEnabled(Handle()) || m_modal) {
        throw EInvalidOperation(messages::kCannotShowModal);
    }
    HWND previousActive = GetActiveWindow();
    TModalDisabler disabled(RawHandle());
    m_modal = true;
    m_modalResult = mrNone;
    try {
        Show();
        while (m_modalResult == mrNone) {
            if (Application == nullptr || Application->Terminated()) {
                m_modalResult = mrCancel;
                break;
            }
            Application->HandleMessage();
        }
    } catch (...) {
        m_modal = false;
        throw;
    }
    m_modal = false;
    // Enabled again before hiding, so that Windows can hand the activation back.
    disabled.Restore();
    Hide();
    if (previousActive != nullptr && IsWindow(previousActive)) SetActiveWindow(previousActive);
    return m_modalResult;
}

void TForm::Close() {
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    bool canClose = true;
    OnCloseQuery(this, canClose);
    if (!canClose) return;
    TCloseAction action = caHide;
    OnClose(this, action);
    if (action == caNone) return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
    } else {
        Hide();
    }
}

LRESULT TForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(RawHandle(), focus)) m_focused = focus;
        } else {
            HWND target = m_focused != nullptr && IsWindow(m_focused)
                              ? m_focused
                              : GetNextDlgTabItem(RawHandle(), nullptr, FALSE);
            if (target != nullptr) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return TWinControl::Dispatch(message, wParam, lParam);
}

}  // namespace pogoda
