#pragma once

// The program's web addresses; the build may replace them (see app/CMakeLists.txt).

namespace pogoda {

#ifndef POGODA_INFORMER_URL
#define POGODA_INFORMER_URL "http://informer.example.org/tobolsk/4.png"
#endif
#ifndef POGODA_FORECAST_URL
#define POGODA_FORECAST_URL "http://forecast.example.org/tobolsk"
#endif
#ifndef POGODA_CITY_URL
#define POGODA_CITY_URL "http://tobolsk.example.org/"
#endif

inline constexpr const char* kInformerUrl = POGODA_INFORMER_URL;
inline constexpr const char* kForecastUrl = POGODA_FORECAST_URL;
inline constexpr const char* kCityUrl = POGODA_CITY_URL;

}  // namespace pogoda
