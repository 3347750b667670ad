#pragma once

// Opening a web page through the shell, the user's default browser deciding how. Tests put a
// recorder in place of the system shell.

#include <windows.h>

#include <string>

namespace pogoda {

class TShellOpen {
public:
    TShellOpen() = default;
    TShellOpen(const TShellOpen&) = delete;
    TShellOpen& operator=(const TShellOpen&) = delete;
    virtual ~TShellOpen() = default;

    // Opens url (Windows-1251 text) with the shell's default verb; owner parents any window
    // the shell shows. The outcome is not reported.
    virtual void Open(HWND owner, const std::string& url) = 0;
};

// The shell in use: the system shell unless a test installed another.
TShellOpen& ShellOpen();
// Installs shell (nullptr: the system shell again); returns the previous one.
TShellOpen* SetShellOpen(TShellOpen* shell);

}  // namespace pogoda
