#include "framework/core/text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "framework/core/exceptions.h"

namespace pogoda {
namespace {

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};

    CaseTables() {
        for (int i = 0; i < 256; ++i) {
            upper[i] = lower[i] = static_cast<unsigned char>(i);
        }
        auto pair = [this](int up, int low) {
            upper[low] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(low);
        };
        for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) pair(c, c + 32);  // А..Я / а..я
        // The letters of Windows-1251 outside the two main runs.
        static constexpr int kPairs[][2] = {
            {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
            {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
            {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
        for (const auto& p : kPairs) pair(p[0], p[1]);
    }
};

const CaseTables& Tables() {
    static const CaseTables tables;
    return tables;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

char AnsiUpperChar(char c) {
    return static_cast<char>(Tables().upper[static_cast<unsigned char>(c)]);
}

char AnsiLowerChar(char c) {
    return static_cast<char>(Tables().lower[static_cast<unsigned char>(c)]);
}

std::string AnsiUpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AnsiUpperChar(c);
    return r;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AnsiLowerChar(c);
    return r;
}

int AnsiCompareText(std::string_view a, std::string_view b) {
    const auto& lower = Tables().lower;
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = lower[static_cast<unsigned char>(a[i])];
        const int cb = lower[static_cast<unsigned char>(b[i])];
        if (ca != cb) return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool AnsiSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b) {
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 32);
        if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 32);
        if (ca != cb) return false;
    }
    return true;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

bool TryStrToInt64(std::string_view s, int64_t& value) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return false;
    // Accumulate as a magnitude so that the most negative value still fits.
    const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    uint64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return false;
        }
        if (magnitude > (limit - digit) / base) return false;
        magnitude = magnitude * base + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool TryStrToInt(std::string_view s, int32_t& value) {
    int64_t wide;
    if (!TryStrToInt64(s, wide) || wide < std::numeric_limits<int32_t>::min() ||
        wide > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    value = static_cast<int32_t>(wide);
    return true;
}

int32_t StrToInt(std::string_view s) {
    int32_t v;
    if (!TryStrToInt(s, v)) throw EConvertError(Format(messages::kInvalidInteger, s));
    return v;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) throw EConvertError(Format(messages::kInvalidInteger, s));
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def) {
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64Def(std::string_view s, int64_t def) {
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(uint64_t value, int digits) {
    return Format("%.*x", digits, value);
}

namespace {

[[noreturn]] void FormatError(std::string_view format) {
    throw EConvertError(Format("Format '%s' invalid or incompatible with argument", format));
}

void Pad(std::string& out, std::string_view body, int width, bool left) {
    const int fill = width - static_cast<int>(body.size());
    if (!left && fill > 0) out.append(static_cast<size_t>(fill), ' ');
    out.append(body);
    if (left && fill > 0) out.append(static_cast<size_t>(fill), ' ');
}

std::string Digits(uint64_t magnitude, unsigned base) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buf[32];
    int n = 0;
    do {
        buf[n++] = kDigits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    std::string r;
    while (n > 0) r.push_back(buf[--n]);
    return r;
}

}  // namespace

std::string FormatV(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 16);
    size_t next = 0;
    auto take = [&]() -> const FormatArg& {
        if (next >= args.size()) FormatError(format);
        return args[next++];
    };
    auto number = [&](size_t& i) -> int {
        if (i < format.size() && format[i] == '*') {
            ++i;
            const FormatArg& a = take();
            if (a.GetKind() != FormatArg::Kind::Int && a.GetKind() != FormatArg::Kind::UInt) {
                FormatError(format);
            }
            return static_cast<int>(a.Int());
        }
        int v = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            v = v * 10 + (format[i] - '0');
            if (v > 1 << 20) FormatError(format);
            ++i;
        }
        return v;
    };

    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == '%') {
            out.push_back('%');
            continue;
        }
        bool left = false;
        if (i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        const int width = number(i);
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = number(i);
        }
        if (i >= format.size()) FormatError(format);
        const char type = static_cast<char>(format[i] | 0x20);
        const FormatArg& arg = take();
        const bool integral =
            arg.GetKind() == FormatArg::Kind::Int || arg.GetKind() == FormatArg::Kind::UInt;
        std::string body;
        switch (type) {
            case 'd':
            case 'u':
            case 'x': {
                if (!integral) FormatError(format);
                bool negative = false;
                uint64_t magnitude;
                if (type == 'd' && arg.GetKind() == FormatArg::Kind::Int && arg.Int() < 0) {
                    negative = true;
                    magnitude = 0 - static_cast<uint64_t>(arg.Int());
                } else {
                    magnitude = arg.UInt();
                }
                std::string digits = Digits(magnitude, type == 'x' ? 16 : 10);
                if (precision > static_cast<int>(digits.size())) {
                    digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
                }
                body = negative ? "-" + digits : digits;
                break;
            }
            case 's': {
                if (arg.GetKind() != FormatArg::Kind::Str) FormatError(format);
                std::string_view s = arg.Str();
                if (precision >= 0 && static_cast<size_t>(precision) < s.size()) {
                    s = s.substr(0, static_cast<size_t>(precision));
                }
                body = s;
                break;
            }
            case 'f': {
                if (arg.GetKind() != FormatArg::Kind::Float && !integral) FormatError(format);
                const double v = arg.GetKind() == FormatArg::Kind::Float
                                     ? arg.Float()
                                     : static_cast<double>(arg.Int());
                char buf[512];
                std::snprintf(buf, sizeof buf, "%.*f", precision < 0 ? 2 : std::min(precision, 18),
                              v);
                body = buf;
                break;
            }
            default:
                FormatError(format);
        }
        Pad(out, body, width, left);
    }
    return out;
}

}  // namespace pogoda
