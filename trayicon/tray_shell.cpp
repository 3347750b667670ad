#include "trayicon/tray_shell.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/win32/wide_text.h"

namespace pogoda {

namespace {

class TSystemTrayShell : public TTrayShell {
public:
    bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
        NOTIFYICONDATAW wide{};
        wide.cbSize = NOTIFYICONDATAW_V1_SIZE;
        wide.hWnd = data.hWnd;
        wide.uID = data.uID;
        wide.uFlags = data.uFlags;
        wide.uCallbackMessage = data.uCallbackMessage;
        wide.hIcon = data.hIcon;
        const std::wstring tip = Wide(data.szTip);
        std::wcsncpy(wide.szTip, tip.c_str(), 63);
        return Shell_NotifyIconW(message, &wide) != FALSE;
    }
    void Broadcast(UINT message) override { PostMessageW(HWND_BROADCAST, message, 0, 0); }
    void EndProcess() override { std::exit(0); }
};

}  // namespace

TTrayShell& SystemTrayShell() {
    static TSystemTrayShell shell;
    return shell;
}

}  // namespace pogoda
