#pragma once

// The process-wide socket stack: every socket operation of the client goes through it.
// Back ends: Windows Sockets loaded at run time (stack_win32.cpp) and BSD sockets
// (stack_posix.cpp), which map errno onto the same numeric codes so messages read the same.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/core/object.h"

namespace pogoda {

// A platform socket; kInvalidSocket when none.
using TNetSocket = intptr_t;
inline constexpr TNetSocket kInvalidSocket = -1;
inline constexpr int kNoTimeout = -2;  // a wait without limit
inline constexpr int kMaxSocketSetSize = 64;

// Socket error codes as the platform numbers them.
enum : int {
    kErrInterrupted = 10004,
    kErrAddressInUse = 10048,
    kErrConnectionAborted = 10053,
    kErrConnectionReset = 10054,
    kErrShutdown = 10058,
    kErrNotInitialised = 10093,
    kErrHostNotFound = 11001,
};

using TNetAddress = std::array<uint8_t, 4>;

class TNetConnectAbort;

class TNetStack : public TObject {
    POGODA_CLASS_NAME(TNetStack)
public:
    TNetStack() = default;
    TNetStack(const TNetStack&) = delete;
    TNetStack& operator=(const TNetStack&) = delete;

    // Platform operations; -1 means failure, with the code in LastErrorCode.
    virtual TNetSocket SockCreate(int family, int type, int protocol) = 0;
    virtual int SockBind(TNetSocket s, int family, const std::string& ip, int port) = 0;
    virtual int SockConnect(TNetSocket s, int family, const std::string& ip, int port) = 0;
    // SockConnect that gives up once abort is signalled: -1 with kErrInterrupted. The socket
    // is back in blocking mode when it returns.
    virtual int SockConnectAbortable(TNetSocket s, int family, const std::string& ip, int port,
                                     const TNetConnectAbort& abort) = 0;
    virtual int SockClose(TNetSocket s) = 0;
    virtual int SockShutdown(TNetSocket s, int how) = 0;
    virtual int SockRecv(TNetSocket s, void* buffer, int length, int flags) = 0;
    virtual int SockSend(TNetSocket s, const void* buffer, int length, int flags) = 0;
    virtual int SockSetOption(TNetSocket s, int level, int name, const void* value,
                              int length) = 0;
    virtual int SockLocalName(TNetSocket s, std::string& ip, int& port) = 0;
    virtual int SockPeerName(TNetSocket s, std::string& ip, int& port) = 0;
    // Name to dotted IPv4 text; raises the socket error of a failed look-up.
    virtual std::string HostByName(const std::string& host) = 0;
    // The calling thread's last socket error code.
    virtual int LastErrorCode() = 0;
    virtual std::string SocketErrorText(int code);

    // Readiness wait on up to kMaxSocketSetSize sockets per list (ENetStackSetSizeExceeded
    // beyond); each list is replaced by its ready sockets. timeoutMs kNoTimeout waits
    // without limit. Returns the platform's result: ready count, 0 on timeout, -1.
    int SockSelect(std::vector<TNetSocket>* readList, std::vector<TNetSocket>* writeList,
                   std::vector<TNetSocket>* errorList, int timeoutMs);

    // result -1: saves the code in LastSocketError, returns true when it is tolerated and
    // raises ENetSocketError otherwise. Any other result: false.
    bool CheckSocketResult(int result, std::initializer_list<int> tolerated = {});
    [[noreturn]] void RaiseSocketFailure(int code);
    TNetSocket NewSocket(int type, int protocol);
    std::string ResolveHostAddress(const std::string& host);
    static bool IsIPv4Literal(const std::string& text);
    static std::string AddressToText(const TNetAddress& address);
    // Raises EConvertError for a field that is not an integer.
    static TNetAddress TextToAddress(const std::string& text);

    int LastSocketError = 0;

protected:
    virtual int DoSelect(std::vector<TNetSocket>* readList, std::vector<TNetSocket>* writeList,
                         std::vector<TNetSocket>* errorList, int timeoutMs) = 0;
};

// The live stack, or nullptr; created and freed by the component base.
extern TNetStack* GStack;

// Creates an instance of the stack class (the platform's unless a test replaced it).
TNetStack* NewStack();
using TNetStackFactory = TNetStack* (*)();
// Replaces the stack class; returns the previous factory. For tests.
TNetStackFactory SetStackClass(TNetStackFactory factory);
// The platform's own stack class.
TNetStack* NewPlatformStack();

}  // namespace pogoda
