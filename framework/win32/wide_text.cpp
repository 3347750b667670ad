#include "framework/win32/wide_text.h"

#include <windows.h>

namespace pogoda {

namespace {
constexpr UINT kCodePage = 1251;
}

std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::wstring result(static_cast<size_t>(MultiByteToWideChar(kCodePage, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(kCodePage, 0, text.data(), size, result.data(), static_cast<int>(result.size()));
    return result;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::string result(static_cast<size_t>(WideCharToMultiByte(kCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(kCodePage, 0, text.data(), size, result.data(), static_cast<int>(result.size()), nullptr, nullptr);
    return result;
}

}  // namespace pogoda
