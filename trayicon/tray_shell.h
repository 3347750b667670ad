#pragma once

// What the tray icon asks of the system beyond its own window: the notification-area calls,
// the single-instance broadcast and the early exit. Tests put a recorder in its place.

#include <windows.h>
#include <shellapi.h>

namespace pogoda {

class TTrayShell {
public:
    TTrayShell() = default;
    TTrayShell(const TTrayShell&) = delete;
    TTrayShell& operator=(const TTrayShell&) = delete;
    virtual ~TTrayShell() = default;

    // NIM_ADD, NIM_MODIFY or NIM_DELETE with the icon data; the shell's success.
    virtual bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) = 0;
    // Posts message to every top-level window.
    virtual void Broadcast(UINT message) = 0;
    // Ends the process through the runtime's orderly exit, with exit code 0.
    virtual void EndProcess() = 0;
};

// The real shell: the wide notification call (the tooltip converted from Windows-1251),
// PostMessage to HWND_BROADCAST, std::exit(0).
TTrayShell& SystemTrayShell();

}  // namespace pogoda
