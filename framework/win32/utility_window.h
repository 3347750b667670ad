#pragma once

// A hidden top-level window whose messages go to a handler: zero-sized, never visible, a
// tool window (no taskbar button), and top-level so that it also receives broadcasts.

#include <windows.h>

#include <functional>

#include "framework/win32/handles.h"

namespace pogoda {

class TUtilityWindow {
public:
    using THandler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit TUtilityWindow(THandler handler);
    TUtilityWindow(const TUtilityWindow&) = delete;
    TUtilityWindow& operator=(const TUtilityWindow&) = delete;

    HWND Handle() const { return m_window.Get(); }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    THandler m_handler;
    TWindowHandle m_window;
};

}  // namespace pogoda
