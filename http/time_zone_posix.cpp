#include <ctime>

#include "http/internet_date.h"

namespace pogoda {

std::optional<int32_t> PlatformTimeZoneBias() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return std::nullopt;
    // tm_gmtoff is seconds east of UTC; the bias counts the other way, in minutes.
    return static_cast<int32_t>(-local.tm_gmtoff / 60);
}

}  // namespace pogoda
