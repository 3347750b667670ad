// The socket stack over Windows Sockets 2. WS2_32.DLL is loaded at run time; every entry
// point starts as a stub that binds the real function on its first call, so start-up costs
// one library load.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstring>

#include "framework/core/text.h"
#include "framework/win32/handles.h"
#include "http/connect_abort.h"
#include "http/socket_exceptions.h"
#include "http/stack.h"

namespace pogoda {
namespace {

constexpr const char* kLibraryName = "WS2_32.DLL";
std::atomic<HMODULE> g_library{nullptr};

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result(text != nullptr ? text : "", n);
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
    return result;
}

// Finds an export of the loaded library; the stub error when none is loaded.
FARPROC BindEntry(const char* name) {
    const HMODULE library = g_library.load();
    if (library == nullptr) {
        throw ENetWS2StubError(Format(messages::kWS2CallError, name), kErrNotInitialised,
                               SystemErrorText(kErrNotInitialised));
    }
    const FARPROC proc = GetProcAddress(library, name);
    if (proc == nullptr) {
        const DWORD error = GetLastError();
        throw ENetWS2StubError(Format(messages::kWS2CallError, name), static_cast<int32_t>(error),
                               SystemErrorText(error));
    }
    return proc;
}

// The entry point table: one slot per function, each starting as its stub.
#define POGODA_WS2_ENTRIES(X)                                                                \
    X(WSACleanup, int, (), ())                                                               \
    X(bind, int, (SOCKET s, const sockaddr* a, int n), (s, a, n))                            \
    X(closesocket, int, (SOCKET s), (s))                                                     \
    X(connect, int, (SOCKET s, const sockaddr* a, int n), (s, a, n))                         \
    X(ioctlsocket, int, (SOCKET s, long c, u_long* v), (s, c, v))                            \
    X(getpeername, int, (SOCKET s, sockaddr* a, int* n), (s, a, n))                          \
    X(getsockname, int, (SOCKET s, sockaddr* a, int* n), (s, a, n))                          \
    X(htons, u_short, (u_short v), (v))                                                      \
    X(ntohs, u_short, (u_short v), (v))                                                      \
    X(recv, int, (SOCKET s, char* b, int n, int f), (s, b, n, f))                            \
    X(select, int, (int n, fd_set* r, fd_set* w, fd_set* e, const timeval* t), (n, r, w, e, t)) \
    X(send, int, (SOCKET s, const char* b, int n, int f), (s, b, n, f))                      \
    X(setsockopt, int, (SOCKET s, int l, int o, const char* v, int n), (s, l, o, v, n))      \
    X(shutdown, int, (SOCKET s, int how), (s, how))                                          \
    X(socket, SOCKET, (int af, int type, int protocol), (af, type, protocol))                \
    X(gethostbyname, hostent*, (const char* name), (name))                                   \
    X(WSASetLastError, void, (int e), (e))                                                   \
    X(WSAGetLastError, int, (), ())                                                          \
    X(WSAEventSelect, int, (SOCKET s, WSAEVENT e, long n), (s, e, n))                        \
    X(WSAEnumNetworkEvents, int, (SOCKET s, WSAEVENT e, WSANETWORKEVENTS* n), (s, e, n))

#define POGODA_WS2_SLOT(name, Ret, params, args)                                  \
    using Fn_##name = Ret(WINAPI*) params;                                        \
    Ret WINAPI Stub_##name params;                                                \
    Fn_##name p_##name = &Stub_##name;                                            \
    Ret WINAPI Stub_##name params {                                               \
        p_##name = reinterpret_cast<Fn_##name>(reinterpret_cast<void*>(BindEntry(#name))); \
        return p_##name args;                                                     \
    }
POGODA_WS2_ENTRIES(POGODA_WS2_SLOT)
#undef POGODA_WS2_SLOT

void ResetEntries() {
#define POGODA_WS2_RESET(name, Ret, params, args) p_##name = &Stub_##name;
    POGODA_WS2_ENTRIES(POGODA_WS2_RESET)
#undef POGODA_WS2_RESET
}

int LoadSocketLibrary(WORD version, WSADATA& data) {
    if (g_library.load() != nullptr) return 0;
    const HMODULE library = LoadLibraryA(kLibraryName);
    if (library == nullptr) {
        const DWORD error = GetLastError();
        throw ENetWS2StubError(Format(messages::kWS2LoadError, kLibraryName),
                               static_cast<int32_t>(error), SystemErrorText(error));
    }
    g_library = library;
    using FnStartup = int(WINAPI*)(WORD, WSADATA*);
    const auto startup =
        reinterpret_cast<FnStartup>(reinterpret_cast<void*>(BindEntry("WSAStartup")));
    return startup(version, &data);
}

void UnloadSocketLibrary() {
    const HMODULE library = g_library.exchange(nullptr);
    if (library == nullptr) return;
    FreeLibrary(library);
    ResetEntries();
}

std::atomic<bool> g_started{false};

// At exit: stop the socket library when it was started, then unload it.
struct TLibraryFinalizer {
    ~TLibraryFinalizer() {
        if (g_started) {
            try {
                p_WSACleanup();
            } catch (...) {
            }
        }
        UnloadSocketLibrary();
    }
} g_finalizer;

SOCKET Sock(TNetSocket s) { return static_cast<SOCKET>(s); }

// FD_ISSET calls into WS2_32 directly, which this file must not link against.
bool InSet(SOCKET s, const fd_set& set) {
    for (u_int i = 0; i < set.fd_count; ++i) {
        if (set.fd_array[i] == s) return true;
    }
    return false;
}

bool MakeAddress(const std::string& ip, int port, sockaddr_in& sa) {
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = p_htons(static_cast<u_short>(port));
    if (ip.empty()) return true;  // INADDR_ANY
    const TNetAddress a = TNetStack::TextToAddress(ip);
    std::memcpy(&sa.sin_addr, a.data(), 4);
    return true;
}

int NameOf(bool peer, TNetSocket s, std::string& ip, int& port) {
    sockaddr_in sa{};
    int len = sizeof sa;
    const int r = peer ? p_getpeername(Sock(s), reinterpret_cast<sockaddr*>(&sa), &len)
                       : p_getsockname(Sock(s), reinterpret_cast<sockaddr*>(&sa), &len);
    if (r == SOCKET_ERROR) return -1;
    TNetAddress a{};
    std::memcpy(a.data(), &sa.sin_addr, 4);
    ip = TNetStack::AddressToText(a);
    port = p_ntohs(sa.sin_port);
    return 0;
}

// Waits for a connect started under WSAEventSelect; its error code (0 when connected), or
// kErrInterrupted when abort came first.
int AwaitConnect(SOCKET s, HANDLE connected, const TNetConnectAbort& abort) {
    const HANDLE events[2] = {reinterpret_cast<HANDLE>(abort.Native()), connected};
    const DWORD r = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) return kErrInterrupted;
    if (r != WAIT_OBJECT_0 + 1) return static_cast<int>(GetLastError());
    WSANETWORKEVENTS happened{};
    if (p_WSAEnumNetworkEvents(s, connected, &happened) == SOCKET_ERROR) {
        return p_WSAGetLastError();
    }
    return happened.iErrorCode[FD_CONNECT_BIT];
}

class TNetStackWindows : public TNetStack {
    POGODA_CLASS_NAME(TNetStackWindows)
public:
    TNetStackWindows() {
        if (g_started) return;
        WSADATA data{};
        if (LoadSocketLibrary(MAKEWORD(2, 2), data) != 0) {
            throw ENetStackInitializationFailed(messages::kWinsockInitError);
        }
        g_started = true;
    }

    TNetSocket SockCreate(int family, int type, int protocol) override {
        const SOCKET s = p_socket(family, type, protocol);
        return s == INVALID_SOCKET ? kInvalidSocket : static_cast<TNetSocket>(s);
    }
    int SockBind(TNetSocket s, int, const std::string& ip, int port) override {
        sockaddr_in sa{};
        MakeAddress(ip, port, sa);
        return p_bind(Sock(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    int SockConnect(TNetSocket s, int, const std::string& ip, int port) override {
        sockaddr_in sa{};
        MakeAddress(ip, port, sa);
        return p_connect(Sock(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    }
    int SockConnectAbortable(TNetSocket s, int, const std::string& ip, int port,
                             const TNetConnectAbort& abort) override {
        sockaddr_in sa{};
        MakeAddress(ip, port, sa);
        const TKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!connected) {
            p_WSASetLastError(WSAENOBUFS);
            return SOCKET_ERROR;
        }
        // The event makes the socket non-blocking: the connect returns at once.
        if (p_WSAEventSelect(Sock(s), connected.Get(), FD_CONNECT) == SOCKET_ERROR) {
            return SOCKET_ERROR;
        }
        int error = 0;
        if (p_connect(Sock(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == SOCKET_ERROR) {
            error = p_WSAGetLastError();
        }
        if (error == WSAEWOULDBLOCK) error = AwaitConnect(Sock(s), connected.Get(), abort);
        // Blocking mode can only come back once the event is detached.
        p_WSAEventSelect(Sock(s), nullptr, 0);
        u_long blocking = 0;
        p_ioctlsocket(Sock(s), FIONBIO, &blocking);
        if (error == 0) return 0;
        p_WSASetLastError(error);
        return SOCKET_ERROR;
    }
    int SockClose(TNetSocket s) override { return p_closesocket(Sock(s)); }
    int SockShutdown(TNetSocket s, int how) override { return p_shutdown(Sock(s), how); }
    int SockRecv(TNetSocket s, void* buffer, int length, int flags) override {
        return p_recv(Sock(s), static_cast<char*>(buffer), length, flags);
    }
    int SockSend(TNetSocket s, const void* buffer, int length, int flags) override {
        return p_send(Sock(s), static_cast<const char*>(buffer), length, flags);
    }
    int SockSetOption(TNetSocket s, int level, int name, const void* value, int length) override {
        return p_setsockopt(Sock(s), level, name, static_cast<const char*>(value), length);
    }
    int SockLocalName(TNetSocket s, std::string& ip, int& port) override {
        return NameOf(false, s, ip, port);
    }
    int SockPeerName(TNetSocket s, std::string& ip, int& port) override {
        return NameOf(true, s, ip, port);
    }
    std::string HostByName(const std::string& host) override {
        const hostent* entry = p_gethostbyname(host.c_str());
        if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr) {
            CheckSocketResult(-1);
        }
        TNetAddress a{};
        std::memcpy(a.data(), entry->h_addr_list[0], 4);
        return AddressToText(a);
    }
    int LastErrorCode() override { return p_WSAGetLastError(); }

protected:
    int DoSelect(std::vector<TNetSocket>* readList, std::vector<TNetSocket>* writeList,
                 std::vector<TNetSocket>* errorList, int timeoutMs) override {
        fd_set sets[3];
        std::vector<TNetSocket>* lists[3] = {readList, writeList, errorList};
        for (int i = 0; i < 3; ++i) {
            FD_ZERO(&sets[i]);
            if (lists[i] == nullptr) continue;
            for (TNetSocket s : *lists[i]) FD_SET(Sock(s), &sets[i]);
        }
        timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        const int r = p_select(0, lists[0] ? &sets[0] : nullptr, lists[1] ? &sets[1] : nullptr,
                               lists[2] ? &sets[2] : nullptr,
                               timeoutMs == kNoTimeout ? nullptr : &tv);
        if (r == SOCKET_ERROR) return -1;
        for (int i = 0; i < 3; ++i) {
            if (lists[i] == nullptr) continue;
            std::erase_if(*lists[i], [&](TNetSocket s) { return !InSet(Sock(s), sets[i]); });
        }
        return r;
    }
};

}  // namespace

TNetStack* NewPlatformStack() { return new TNetStackWindows(); }

}  // namespace pogoda
