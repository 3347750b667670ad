#pragma once

// Exceptions of the transport: socket layer, I/O handler and buffered connection.

#include <cstdint>
#include <string>

#include "http/exceptions.h"

namespace pogoda {

class ENetSocketError : public ENetException {
public:
    ENetSocketError(std::string message, int32_t code)
        : ENetException(std::move(message)), SocketErrorCode(code) {}
    const char* ClassName() const noexcept override { return "ENetSocketError"; }
    int32_t SocketErrorCode;
};

POGODA_EXCEPTION(ENetStackError, ENetException);
POGODA_EXCEPTION(ENetStackInitializationFailed, ENetStackError);
POGODA_EXCEPTION(ENetStackSetSizeExceeded, ENetStackError);
POGODA_EXCEPTION(ENetInvalidSocket, ENetException);
POGODA_EXCEPTION(ENetSocketHandleError, ENetException);
POGODA_EXCEPTION(ENetCouldNotBindSocket, ENetSocketHandleError);
POGODA_EXCEPTION(ENetInvalidPortRange, ENetSocketHandleError);
POGODA_EXCEPTION(ENetCanNotBindPortInRange, ENetSocketHandleError);
POGODA_EXCEPTION(ENetSilentException, ENetException);
POGODA_EXCEPTION(ENetConnClosedGracefully, ENetSilentException);

// The socket library cannot be loaded, or one of its functions was called before it was.
class ENetWS2StubError : public ENetException {
public:
    ENetWS2StubError(std::string baseMessage, int32_t systemErrorCode,
                     std::string systemErrorText);
    const char* ClassName() const noexcept override { return "ENetWS2StubError"; }
    std::string BaseMessage;
    int32_t SystemErrorCode;
    std::string SystemErrorText;
};

POGODA_EXCEPTION(ENetClosedSocket, ENetException);
POGODA_EXCEPTION(ENetConnectTimeout, ENetException);
POGODA_EXCEPTION(ENetConnectException, ENetException);

POGODA_EXCEPTION(ENetTCPConnectionError, ENetException);
POGODA_EXCEPTION(ENetNotConnected, ENetTCPConnectionError);
POGODA_EXCEPTION(ENetNotEnoughDataInBuffer, ENetTCPConnectionError);
POGODA_EXCEPTION(ENetNoDataToRead, ENetTCPConnectionError);
POGODA_EXCEPTION(ENetFileNotFound, ENetTCPConnectionError);
POGODA_EXCEPTION(ENetReadTimeout, ENetException);
POGODA_EXCEPTION(ENetReadLnMaxLineLengthExceeded, ENetException);
POGODA_EXCEPTION(ENetAlreadyConnected, ENetException);

namespace messages {
inline constexpr const char* kSocketError = "Socket Error # %d\r\n%s";
inline constexpr const char* kWinsockInitError = "Winsock Initialization Error.";
inline constexpr const char* kSetSizeExceeded = "Set Size Exceeded.";
inline constexpr const char* kCannotAllocateSocket = "Cannot allocate socket.";
inline constexpr const char* kCouldNotBindSocket =
    "Could not bind socket. Address and port are already in use.";
inline constexpr const char* kInvalidPortRange = "Invalid Port Range (%d - %d)";
inline constexpr const char* kCanNotBindRange = "Can not bind in port range (%d - %d)";
inline constexpr const char* kWS2LoadError = "Error on loading Winsock2 library (%s)";
inline constexpr const char* kWS2CallError = "Error on call Winsock2 library function %s";
inline constexpr const char* kConnClosedGracefully = "Connection Closed Gracefully.";
inline constexpr const char* kClosedSocket = "Disconnected.";
inline constexpr const char* kConnectTimeout = "Connect timed out.";
inline constexpr const char* kNotConnected = "Not Connected";
inline constexpr const char* kNotEnoughData = "Not enough data in buffer.";
inline constexpr const char* kNoDataToRead = "No data to read.";
inline constexpr const char* kReadTimeout = "Read Timeout";
inline constexpr const char* kMaxLineLengthExceeded = "Max line length exceeded.";
inline constexpr const char* kAlreadyConnected = "Already connected.";
}  // namespace messages

}  // namespace pogoda
