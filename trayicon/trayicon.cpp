#include "trayicon/trayicon.h"

#include <cstring>
#include <mutex>

#include "framework/core/definitions.h"
#include "framework/win32/application.h"
#include "framework/win32/menus.h"
#include "framework/win32/window_classes.h"

namespace pogoda {

TTrayIcon::TTrayIcon(TComponent* owner) : TTrayIcon(owner, SystemTrayShell()) {}

TTrayIcon::TTrayIcon(TComponent* owner, TTrayShell& shell)
    : TComponent(owner),
      m_shell(shell),
      m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
          return TrayWndProc(message, wParam, lParam);
      }) {
    // Beyond the classic behaviour: an icon lost when the shell restarts comes back, or a
    // program hidden to the tray could no longer be reached.
    m_taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    SetShowApp(false);
}

TTrayIcon::~TTrayIcon() {
    m_mappingHandle.Reset();
    if (IsDesigning() ? m_showDesigning : m_active) DeleteIcon();
}

void TTrayIcon::Loaded() {
    TComponent::Loaded();
    if (!m_idMessage.empty()) {
        m_instanceMessageID = RegisterWindowMessageA(m_idMessage.c_str());
        m_mappingHandle.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0,
                                                 32, m_idMessage.c_str()));
        if (m_mappingHandle && GetLastError() == ERROR_ALREADY_EXISTS && !IsDesigning()) {
            SendInstanceMessage();
            m_shell.EndProcess();
        }
    }
    SetShowApp(m_showApp);
}

void TTrayIcon::SetActive(bool value) {
    if (value == m_active) return;
    m_active = value;
    if (IsDesigning()) return;
    if (value) {
        AddIcon();
    } else {
        DeleteIcon();
    }
}

void TTrayIcon::SetShowDesigning(bool value) {
    if (!IsDesigning() || value == m_showDesigning) return;
    m_showDesigning = value;
    if (value) {
        AddIcon();
    } else {
        DeleteIcon();
    }
}

void TTrayIcon::SetIcon(const TIcon* value) {
    if (value == &m_icon) return;
    m_icon.Assign(value);
    ModifyIcon();
}

void TTrayIcon::SetShowApp(bool value) {
    m_showApp = value;
    if (IsDesigning()) return;
    // Made on every assignment, also when nothing changed.
    if (Application != nullptr) ShowWindow(Application->Handle(), value ? SW_SHOW : SW_HIDE);
}

void TTrayIcon::SetToolTip(std::string value) {
    if (value.size() > kMaxToolTip) value.resize(kMaxToolTip);
    m_toolTip = std::move(value);
    ModifyIcon();
}

void TTrayIcon::FillIconData() {
    m_iconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_iconData.hWnd = m_window.Handle();
    m_iconData.uID = 0;
    m_iconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_iconData.uCallbackMessage = WM_TRAYICON;
    m_iconData.hIcon = m_icon.Handle();
    std::memset(m_iconData.szTip, 0, sizeof(m_iconData.szTip));
    std::memcpy(m_iconData.szTip, m_toolTip.data(), m_toolTip.size());
}

bool TTrayIcon::AddIcon() {
    FillIconData();
    const bool result = m_shell.NotifyIcon(NIM_ADD, m_iconData);
    // The image reaches the shell with the refresh, once the icon has been read.
    if (m_toolTip.empty()) PostMessageW(m_window.Handle(), WM_TRAYREFRESH, 0, 0);
    return result;
}

bool TTrayIcon::ModifyIcon() {
    FillIconData();
    if (!m_active) return true;
    return m_shell.NotifyIcon(NIM_MODIFY, m_iconData);
}

bool TTrayIcon::DeleteIcon() {
    return m_shell.NotifyIcon(NIM_DELETE, m_iconData);
}

void TTrayIcon::ShowPopup() {
    POINT p{};
    GetCursorPos(&p);
    if (m_popupMenu != nullptr) {
        if (Application != nullptr) {
            SetForegroundWindow(Application->Handle());
            Application->ProcessMessages();
        }
        m_popupMenu->Popup(p.x, p.y);
    }
    OnRightClick(this, mbRight, TShiftState{}, static_cast<int>(p.x), static_cast<int>(p.y));
}

void TTrayIcon::SendInstanceMessage() {
    m_shell.Broadcast(m_instanceMessageID);
}

LRESULT TTrayIcon::TrayWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAYREFRESH) {
        SetToolTip(m_toolTip);
        return 0;
    }
    if (message == WM_TRAYICON) {
        switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONUP: OnClick(this); break;
        case WM_LBUTTONDBLCLK: OnDblClick(this); break;
        case WM_RBUTTONUP: ShowPopup(); break;
        default: break;
        }
        return 0;
    }
    if (message == m_taskbarCreatedMessage && m_taskbarCreatedMessage != 0) {
        if (IsDesigning() ? m_showDesigning : m_active) AddIcon();
        return 0;
    }
    return m_window.Default(message, wParam, lParam);
}

namespace {

void Register() {
    RegisterWindowClasses();
    TClassRegistry& registry = ClassRegistry();
    TClassInfo& info = registry.Register<TTrayIcon>(nullptr);
    info.Property("Active", &TTrayIcon::SetActive)
        .Property("ShowDesigning", &TTrayIcon::SetShowDesigning)
        .Property("IDMessage", &TTrayIcon::SetIDMessage)
        .Property("ShowApp", &TTrayIcon::SetShowApp)
        .Property("ToolTip", &TTrayIcon::SetToolTip)
        .Property("OnClick", &TTrayIcon::SetOnClick)
        .Property("OnDblClick", &TTrayIcon::SetOnDblClick)
        .Property("OnRightClick", &TTrayIcon::SetOnRightClick)
        .Property("PopupMenu", &TTrayIcon::SetPopupMenu);
    // The stored image is read straight into the own icon, without telling the shell.
    info.Object("Icon", &TTrayIcon::Icon, registry.Get("TIcon"));
}

}  // namespace

void RegisterTrayIconClass() {
    static std::once_flag once;
    std::call_once(once, Register);
}

}  // namespace pogoda
