#include "http/stack.h"

#include <algorithm>
#include <utility>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "http/socket_exceptions.h"

namespace pogoda {
namespace {

struct TErrorText {
    int code;
    const char* text;
};

constexpr TErrorText kErrorTexts[] = {
    {10004, "Interrupted system call."},
    {10009, "Bad file number."},
    {10013, "Access denied."},
    {10014, "Bad address."},
    {10022, "Invalid argument."},
    {10024, "Too many open files."},
    {10035, "Operation would block. "},
    {10036, "Operation now in progress."},
    {10037, "Operation already in progress."},
    {10038, "Socket operation on non-socket."},
    {10039, "Destination address required."},
    {10040, "Message too long."},
    {10041, "Protocol wrong type for socket."},
    {10042, "Bad protocol option."},
    {10043, "Protocol not supported."},
    {10044, "Socket type not supported."},
    {10045, "Operation not supported on socket."},
    {10046, "Protocol family not supported."},
    {10047, "Address family not supported by protocol family."},
    {10048, "Address already in use."},
    {10049, "Cannot assign requested address."},
    {10050, "Network is down."},
    {10051, "Network is unreachable."},
    {10052, "Net dropped connection or reset."},
    {10053, "Software caused connection abort."},
    {10054, "Connection reset by peer."},
    {10055, "No buffer space available."},
    {10056, "Socket is already connected."},
    {10057, "Socket is not connected."},
    {10058, "Cannot send or receive after socket is closed."},
    {10059, "Too many references, cannot splice."},
    {10060, "Connection timed out."},
    {10061, "Connection refused."},
    {10062, "Too many levels of symbolic links."},
    {10063, "File name too long."},
    {10064, "Host is down."},
    {10065, "No route to host."},
    {10066, "Directory not empty"},
    {kErrHostNotFound, "Host not found."},
};

TNetStackFactory g_stackClass = &NewPlatformStack;

// Cuts the text at the first "." the way the address fields are cut: the field before it,
// and the rest after it; without a "." the whole text and an empty rest.
std::string TakeField(std::string& rest) {
    const size_t dot = rest.find('.');
    std::string field = rest.substr(0, dot);
    rest = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
    return field;
}

}  // namespace

TNetStack* GStack = nullptr;

TNetStack* NewStack() { return g_stackClass(); }

TNetStackFactory SetStackClass(TNetStackFactory factory) {
    return std::exchange(g_stackClass, factory);
}

std::string TNetStack::SocketErrorText(int code) {
    std::string text;
    for (const TErrorText& e : kErrorTexts) {
        if (e.code == code) text = e.text;
    }
    return Format(messages::kSocketError, code, text);
}

int TNetStack::SockSelect(std::vector<TNetSocket>* readList, std::vector<TNetSocket>* writeList,
                          std::vector<TNetSocket>* errorList, int timeoutMs) {
    for (const auto* list : {readList, writeList, errorList}) {
        if (list != nullptr && list->size() > kMaxSocketSetSize) {
            throw ENetStackSetSizeExceeded(messages::kSetSizeExceeded);
        }
    }
    return DoSelect(readList, writeList, errorList, timeoutMs);
}

bool TNetStack::CheckSocketResult(int result, std::initializer_list<int> tolerated) {
    if (result != -1) return false;
    LastSocketError = LastErrorCode();
    if (std::find(tolerated.begin(), tolerated.end(), LastSocketError) != tolerated.end()) {
        return true;
    }
    RaiseSocketFailure(LastSocketError);
}

void TNetStack::RaiseSocketFailure(int code) {
    throw ENetSocketError(SocketErrorText(code), code);
}

TNetSocket TNetStack::NewSocket(int type, int protocol) {
    const TNetSocket s = SockCreate(2, type, protocol);
    if (s == kInvalidSocket) throw ENetInvalidSocket(messages::kCannotAllocateSocket);
    return s;
}

std::string TNetStack::ResolveHostAddress(const std::string& host) {
    if (SameText(host, "LOCALHOST")) return "127.0.0.1";
    if (IsIPv4Literal(host)) return host;
    return HostByName(host);
}

bool TNetStack::IsIPv4Literal(const std::string& text) {
    std::string rest = text;
    for (int i = 0; i < 4; ++i) {
        const std::string field = i < 3 ? TakeField(rest) : rest;
        int32_t value = 0;
        if (!TryStrToInt(field, value) || value < 0 || value > 255) return false;
    }
    return true;
}

std::string TNetStack::AddressToText(const TNetAddress& address) {
    return Format("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
}

TNetAddress TNetStack::TextToAddress(const std::string& text) {
    TNetAddress address{};
    std::string rest = text;
    for (int i = 0; i < 4; ++i) {
        const std::string field = i < 3 ? TakeField(rest) : rest;
        address[static_cast<size_t>(i)] = static_cast<uint8_t>(StrToInt(field));
    }
    return address;
}

}  // namespace pogoda

namespace pogoda {

// The message is the base message, and the system's text for the code when there is one.
ENetWS2StubError::ENetWS2StubError(std::string baseMessage, int32_t systemErrorCode,
                                   std::string systemErrorText)
    : ENetException(systemErrorCode == 0 ? baseMessage
                                         : baseMessage + ": " + systemErrorText),
      BaseMessage(std::move(baseMessage)),
      SystemErrorCode(systemErrorCode),
      SystemErrorText(std::move(systemErrorText)) {}

}  // namespace pogoda
