#pragma once

// Exceptions of the HTTP exchange.

#include <cstdint>
#include <string>

#include "http/exceptions.h"

namespace pogoda {

class ENetProtocolReplyError : public ENetException {
public:
    ENetProtocolReplyError(int32_t replyCode, std::string message)
        : ENetException(std::move(message)), ReplyCode(replyCode) {}
    const char* ClassName() const noexcept override { return "ENetProtocolReplyError"; }
    int32_t ReplyCode;
};

// An unsuccessful status; the message is the status line as received.
class ENetHTTPProtocolException : public ENetProtocolReplyError {
public:
    ENetHTTPProtocolException(int32_t replyCode, std::string message, std::string errorBody)
        : ENetProtocolReplyError(replyCode, std::move(message)), ErrorBody(std::move(errorBody)) {}
    const char* ClassName() const noexcept override { return "ENetHTTPProtocolException"; }
    std::string ErrorBody;
};

POGODA_EXCEPTION(ENetUnknownProtocol, ENetException);
POGODA_EXCEPTION(ENetIOHandlerPropInvalid, ENetException);

namespace messages {
inline constexpr const char* kUndefinedSituation = "Undefined situation";
inline constexpr const char* kMethodRequiresVersion = "This request method is supported in HTTP 1.1";
inline constexpr const char* kInvalidIOHandler = "IOHandler value is not valid";
inline constexpr const char* kChunkStarted = "Chunk Started";
}  // namespace messages

}  // namespace pogoda
