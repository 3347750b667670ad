#include <windows.h>

#include "http/internet_date.h"

namespace pogoda {

std::optional<int32_t> PlatformTimeZoneBias() {
    TIME_ZONE_INFORMATION info{};
    switch (GetTimeZoneInformation(&info)) {
    case TIME_ZONE_ID_UNKNOWN:
        return static_cast<int32_t>(info.Bias);
    case TIME_ZONE_ID_STANDARD:
        return static_cast<int32_t>(info.Bias + info.StandardBias);
    case TIME_ZONE_ID_DAYLIGHT:
        return static_cast<int32_t>(info.Bias + info.DaylightBias);
    default:
        return std::nullopt;
    }
}

}  // namespace pogoda
