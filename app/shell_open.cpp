#include "app/shell_open.h"

#include <shellapi.h>

#include "framework/win32/wide_text.h"

namespace pogoda {
namespace {

class TSystemShellOpen : public TShellOpen {
public:
    void Open(HWND owner, const std::string& url) override {
        ShellExecuteW(owner, nullptr, Wide(url).c_str(), nullptr, nullptr, SW_SHOW);
    }
};

TShellOpen* g_shell = nullptr;

}  // namespace

TShellOpen& ShellOpen() {
    static TSystemShellOpen system;
    return g_shell != nullptr ? *g_shell : system;
}

TShellOpen* SetShellOpen(TShellOpen* shell) {
    TShellOpen* previous = g_shell;
    g_shell = shell;
    return previous;
}

}  // namespace pogoda
