#include "framework/core/text.h"
#include "http/cookies.h"
#include "http/text_helpers.h"

namespace pogoda {

std::string AppendCookieAttribute(std::string_view attribute, std::string_view value,
                                  std::string text) {
    if (value.empty()) return text;
    if (!text.empty()) text += "; ";
    text.append(attribute).append("=").append(value);
    return text;
}

std::string AppendCookieFlag(std::string_view flag, std::string text) {
    if (!text.empty()) text += "; ";
    text.append(flag);
    return text;
}

bool IsIPv4Text(std::string_view s) {
    std::string rest = Trim(s);
    for (int part = 0; part < 4; ++part) {
        int32_t value = 0;
        if (!TryStrToInt(TakeToken(rest, "."), value) || value < 0 || value > 255) return false;
    }
    return true;
}

bool IsHostNameText(std::string_view s) {
    return !(s.starts_with('.') || IsIPv4Text(s));
}

std::string DomainOfHost(const std::string& host) {
    const size_t dot = host.find('.');
    return dot == std::string::npos ? host : host.substr(dot);
}

}  // namespace pogoda
