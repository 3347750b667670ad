#pragma once

// Owning wrappers for Win32 handles: each releases its handle exactly once, on every path.

#include <windows.h>

#include <utility>

namespace pogoda {

template <class H, class Release>
class TUniqueHandle {
public:
    TUniqueHandle() = default;
    explicit TUniqueHandle(H handle) : m_handle(handle) {}
    TUniqueHandle(TUniqueHandle&& other) noexcept : m_handle(other.Detach()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;
    ~TUniqueHandle() { Reset(); }

    H Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != H{}; }
    H Detach() { return std::exchange(m_handle, H{}); }
    void Reset(H handle = H{}) {
        if (m_handle != H{}) Release()(m_handle);
        m_handle = handle;
    }

private:
    H m_handle{};
};

struct TWindowRelease {
    void operator()(HWND h) const { DestroyWindow(h); }
};
struct TMenuRelease {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct TIconRelease {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct TGdiRelease {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct TMemoryDcRelease {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct TKernelRelease {
    void operator()(HANDLE h) const { CloseHandle(h); }
};

using TWindowHandle = TUniqueHandle<HWND, TWindowRelease>;
using TMenuHandle = TUniqueHandle<HMENU, TMenuRelease>;
using TIconHandle = TUniqueHandle<HICON, TIconRelease>;
using TFontHandle = TUniqueHandle<HFONT, TGdiRelease>;
using TBrushHandle = TUniqueHandle<HBRUSH, TGdiRelease>;
using TKernelHandle = TUniqueHandle<HANDLE, TKernelRelease>;
// A device context made with CreateCompatibleDC.
using TMemoryDcHandle = TUniqueHandle<HDC, TMemoryDcRelease>;

// A device context of a window, released when the scope ends.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~TWindowDC() {
        if (m_dc != nullptr) ReleaseDC(m_window, m_dc);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint/EndPaint as a scope.
class TPaintScope {
public:
    explicit TPaintScope(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~TPaintScope() { EndPaint(m_window, &m_paint); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Restores the object that SelectObject replaced.
class TSelectScope {
public:
    TSelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~TSelectScope() { SelectObject(m_dc, m_old); }
    TSelectScope(const TSelectScope&) = delete;
    TSelectScope& operator=(const TSelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

}  // namespace pogoda
