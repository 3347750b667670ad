#pragma once

// Exceptions of the HTTP client. Every class derives from ENetException, so a caller can catch
// all failures of the client with one handler.

#include "framework/core/exceptions.h"

namespace pogoda {

POGODA_EXCEPTION(ENetException, Exception);
POGODA_EXCEPTION(ENetURIException, ENetException);
POGODA_EXCEPTION(ENetFailedToRetreiveTimeZoneInfo, ENetException);
POGODA_EXCEPTION(ENetAlreadyRegisteredAuthenticationMethod, ENetException);

namespace messages {
inline constexpr const char* kProtocolFieldEmpty = "Protocol field is empty";
inline constexpr const char* kHostFieldEmpty = "Host field is empty";
inline constexpr const char* kTimeZoneInfoFailed =
    "Failed attempting to retrieve time zone information.";
inline constexpr const char* kAuthAlreadyRegistered =
    "This authentication method is already registered with class name %s.";
inline constexpr const char* kUnevenSizeInEncode = "Uneven size in Encode.";
inline constexpr const char* kIndexOutOfRange = "Index out of range.";
}  // namespace messages

}  // namespace pogoda
