#pragma once

// The Windows boundary for text: the program's Windows-1251 strings become UTF-16 for the
// wide functions, so Russian reads correctly whatever the system code page is.

#include <string>
#include <string_view>

namespace pogoda {

std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace pogoda
