#pragma once

// Text helpers over 8-bit Windows-1251 strings.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace pogoda {

// Letter case of Windows-1251 (Latin and Cyrillic letters).
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Compares ignoring Windows-1251 letter case; <0, 0 or >0.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
// Case-sensitive byte order; <0, 0 or >0.
int CompareStr(std::string_view a, std::string_view b);

// ASCII-only letter case.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

// Every character up to and including space counts as blank.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// The run-time's text-to-integer conversion: leading spaces, an optional sign, decimal
// digits or a hexadecimal number after "$" or "0x"; nothing may follow. Out of range fails.
bool TryStrToInt(std::string_view s, int32_t& value);
bool TryStrToInt64(std::string_view s, int64_t& value);
// Strict: raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
// Lenient: the default when the text is not an integer.
int32_t StrToIntDef(std::string_view s, int32_t def);
int64_t StrToInt64Def(std::string_view s, int64_t def);
std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);

// One argument of Format: an integer, a string or a floating-point value.
class FormatArg {
public:
    enum class Kind { Int, UInt, Str, Float };

    template <class T>
        requires std::is_integral_v<T>
    FormatArg(T v) {
        if constexpr (std::is_signed_v<T>) {
            m_kind = Kind::Int;
            m_int = v;
        } else {
            m_kind = Kind::UInt;
            m_uint = v;
        }
    }
    FormatArg(double v) : m_kind(Kind::Float), m_float(v) {}
    FormatArg(const char* s) : m_kind(Kind::Str), m_str(s) {}
    FormatArg(std::string_view s) : m_kind(Kind::Str), m_str(s) {}
    FormatArg(const std::string& s) : m_kind(Kind::Str), m_str(s) {}

    Kind GetKind() const { return m_kind; }
    int64_t Int() const { return m_kind == Kind::UInt ? static_cast<int64_t>(m_uint) : m_int; }
    uint64_t UInt() const { return m_kind == Kind::Int ? static_cast<uint64_t>(m_int) : m_uint; }
    std::string_view Str() const { return m_str; }
    double Float() const { return m_float; }

private:
    Kind m_kind;
    int64_t m_int = 0;
    uint64_t m_uint = 0;
    double m_float = 0;
    std::string_view m_str;
};

// The framework's Format: "%" ["-"] [width] ["." precision] type, with types d, u, x (upper
// case hex), s, f and "%%". For d, u and x the precision is the minimum number of digits
// (zero-filled); for s it is the maximum number of characters. A format that does not fit
// its arguments raises EConvertError.
std::string FormatV(std::string_view format, std::span<const FormatArg> args);

template <class... Args>
std::string Format(std::string_view format, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
    return FormatV(format, list);
}

}  // namespace pogoda
