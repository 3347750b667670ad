// Internet dates: reading arbitrary text, and a written date reading back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "http/internet_date.h"

using namespace pogoda;

namespace {
std::optional<int32_t> FixedZone() { return -360; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetTimeZoneBiasSource(FixedZone);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string rest = text;
    const TDateTime date = ParseInternetDate(rest);
    ParseZoneOffset(rest);
    const TDateTime local = InternetDateToLocal(text);
    if (std::isnan(local)) __builtin_trap();

    // Four-digit years are written as they are and read back to the second, except 1900,
    // which the reader takes for "no year here" and looks for at the end instead.
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    if (year >= 1000 && year != 1900) {
        const std::string written = FormatInternetDate(date);
        if (std::fabs(InternetDateToLocal(written) - date) > 1.0 / 86400) __builtin_trap();
    }
    return 0;
}
