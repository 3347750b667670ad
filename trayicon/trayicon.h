#pragma once

// TTrayIcon: one icon in the taskbar notification area with its tooltip, popup menu and
// mouse events; it can show or hide the application's taskbar window and refuse a second
// copy of the program.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/core/component.h"
#include "framework/core/events.h"
#include "framework/win32/handles.h"
#include "framework/win32/icon.h"
#include "framework/win32/input.h"
#include "framework/win32/utility_window.h"
#include "trayicon/tray_shell.h"

namespace pogoda {

class TPopupMenu;

inline constexpr UINT WM_TRAYICON = WM_USER + 1;
inline constexpr UINT WM_TRAYREFRESH = WM_USER + 2;

class TTrayIcon : public TComponent {
    POGODA_CLASS_NAME(TTrayIcon)
public:
    static constexpr size_t kMaxToolTip = 62;

    explicit TTrayIcon(TComponent* owner);
    TTrayIcon(TComponent* owner, TTrayShell& shell);
    ~TTrayIcon() override;

    // The after-load step: the single-instance guard, then ShowApp again.
    void Loaded() override;

    bool Active() const { return m_active; }
    void SetActive(bool value);
    bool ShowDesigning() const { return m_showDesigning; }
    void SetShowDesigning(bool value);
    TIcon* Icon() { return &m_icon; }
    void SetIcon(const TIcon* value);
    const std::string& IDMessage() const { return m_idMessage; }
    void SetIDMessage(std::string value) { m_idMessage = std::move(value); }
    bool ShowApp() const { return m_showApp; }
    void SetShowApp(bool value);
    const std::string& ToolTip() const { return m_toolTip; }
    void SetToolTip(std::string value);
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* value) { m_popupMenu = value; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnRightClick;
    void SetOnClick(TNotifyEvent value) { OnClick = std::move(value); }
    void SetOnDblClick(TNotifyEvent value) { OnDblClick = std::move(value); }
    void SetOnRightClick(TMouseEvent value) { OnRightClick = std::move(value); }

    HWND WindowHandle() const { return m_window.Handle(); }
    const NOTIFYICONDATAA& IconData() const { return m_iconData; }
    UINT InstanceMessageID() const { return m_instanceMessageID; }

private:
    void FillIconData();
    bool AddIcon();
    bool ModifyIcon();
    bool DeleteIcon();
    void ShowPopup();
    void SendInstanceMessage();
    LRESULT TrayWndProc(UINT message, WPARAM wParam, LPARAM lParam);

    TTrayShell& m_shell;
    TKernelHandle m_mappingHandle;
    NOTIFYICONDATAA m_iconData{};
    TIcon m_icon;
    std::string m_toolTip;
    TUtilityWindow m_window;
    bool m_active = false;
    bool m_showApp = false;
    std::string m_idMessage;
    bool m_showDesigning = false;
    TPopupMenu* m_popupMenu = nullptr;
    UINT m_instanceMessageID = 0;
    UINT m_taskbarCreatedMessage = 0;
};

// Registers TTrayIcon and its published properties with the class registry.
void RegisterTrayIconClass();

}  // namespace pogoda
