#pragma once

#include <cstdint>
#include <optional>

#include "http/internet_date.h"

namespace pogoda {

// Puts a fixed time zone in place of the platform's for one scope.
class FixedTimeZone {
public:
    explicit FixedTimeZone(TimeZoneBiasSource source) : m_old(SetTimeZoneBiasSource(source)) {}
    ~FixedTimeZone() { SetTimeZoneBiasSource(m_old); }
    FixedTimeZone(const FixedTimeZone&) = delete;
    FixedTimeZone& operator=(const FixedTimeZone&) = delete;

private:
    TimeZoneBiasSource m_old;
};

inline std::optional<int32_t> UtcZone() { return 0; }
inline std::optional<int32_t> UtcPlus6Zone() { return -360; }
inline std::optional<int32_t> UtcMinus330Zone() { return 210; }
inline std::optional<int32_t> UnknownZone() { return std::nullopt; }

}  // namespace pogoda
