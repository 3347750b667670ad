// The socket stack over BSD sockets. errno values are mapped onto the Windows Sockets codes,
// so every code and message the client shows reads the same on both platforms.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "http/connect_abort.h"
#include "http/socket_exceptions.h"
#include "http/stack.h"

namespace pogoda {
namespace {

thread_local int t_lastError = 0;

int MapErrno(int e) {
    switch (e) {
        case EINTR: return 10004;
        case EBADF: return 10009;
        case EACCES: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE: return 10024;
        case EAGAIN: return 10035;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EDESTADDRREQ: return 10039;
        case EMSGSIZE: return 10040;
        case EPROTOTYPE: return 10041;
        case ENOPROTOOPT: return 10042;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EPFNOSUPPORT: return 10046;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ENETRESET: return 10052;
        case ECONNABORTED: return 10053;
        case ECONNRESET: return 10054;
        case ENOBUFS: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        // A send after the peer reset the connection.
        case EPIPE: return 10058;
        case ETOOMANYREFS: return 10059;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case ELOOP: return 10062;
        case ENAMETOOLONG: return 10063;
        case EHOSTDOWN: return 10064;
        case EHOSTUNREACH: return 10065;
        case ENOTEMPTY: return 10066;
        default: return e;
    }
}

// Records the calling thread's error of a failed call and passes the result on.
int Checked(int result) {
    if (result == -1) t_lastError = MapErrno(errno);
    return result;
}

int Fd(TNetSocket s) { return static_cast<int>(s); }

bool MakeAddress(const std::string& ip, int port, sockaddr_in& sa) {
    std::memset(&sa, 0, sizeof sa);
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    if (ip.empty()) {
        sa.sin_addr.s_addr = htonl(INADDR_ANY);
        return true;
    }
    if (inet_pton(AF_INET, ip.c_str(), &sa.sin_addr) != 1) {
        t_lastError = 10022;
        return false;
    }
    return true;
}

// Waits for a non-blocking connect to end; its errno (0 when connected), or -1 when abort came
// first.
int AwaitConnect(int fd, const TNetConnectAbort& abort) {
    pollfd fds[2] = {{fd, POLLOUT, 0}, {static_cast<int>(abort.Native()), POLLIN, 0}};
    int r;
    do {
        r = ::poll(fds, 2, -1);
    } while (r == -1 && errno == EINTR);
    if (r == -1) return errno;
    if (fds[1].revents != 0) return -1;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == -1) return errno;
    return error;
}

int NameOf(int (*query)(int, sockaddr*, socklen_t*), TNetSocket s, std::string& ip, int& port) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (Checked(query(Fd(s), reinterpret_cast<sockaddr*>(&sa), &len)) == -1) return -1;
    TNetAddress a{};
    std::memcpy(a.data(), &sa.sin_addr, 4);
    ip = TNetStack::AddressToText(a);
    port = ntohs(sa.sin_port);
    return 0;
}

class TNetStackPosix : public TNetStack {
    POGODA_CLASS_NAME(TNetStackPosix)
public:
    TNetSocket SockCreate(int family, int type, int protocol) override {
        const int fd = Checked(::socket(family, type | SOCK_CLOEXEC, protocol));
        return fd < 0 ? kInvalidSocket : fd;
    }

    int SockBind(TNetSocket s, int, const std::string& ip, int port) override {
        sockaddr_in sa{};
        if (!MakeAddress(ip, port, sa)) return -1;
        return Checked(::bind(Fd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa));
    }

    int SockConnect(TNetSocket s, int, const std::string& ip, int port) override {
        sockaddr_in sa{};
        if (!MakeAddress(ip, port, sa)) return -1;
        int r;
        do {
            r = ::connect(Fd(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        } while (r == -1 && errno == EINTR);
        return Checked(r);
    }

    int SockConnectAbortable(TNetSocket s, int, const std::string& ip, int port,
                             const TNetConnectAbort& abort) override {
        sockaddr_in sa{};
        if (!MakeAddress(ip, port, sa)) return -1;
        const int fd = Fd(s);
        const int flags = ::fcntl(fd, F_GETFL);
        if (Checked(flags) == -1 || Checked(::fcntl(fd, F_SETFL, flags | O_NONBLOCK)) == -1) {
            return -1;
        }
        int error = 0;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == -1) error = errno;
        // An interrupted non-blocking connect goes on in the background like one in progress.
        if (error == EINPROGRESS || error == EINTR) error = AwaitConnect(fd, abort);
        ::fcntl(fd, F_SETFL, flags);
        if (error == 0) return 0;
        t_lastError = error == -1 ? kErrInterrupted : MapErrno(error);
        return -1;
    }

    int SockClose(TNetSocket s) override { return Checked(::close(Fd(s))); }

    int SockShutdown(TNetSocket s, int how) override {
        return Checked(::shutdown(Fd(s), how == 0 ? SHUT_RD : how == 1 ? SHUT_WR : SHUT_RDWR));
    }

    int SockRecv(TNetSocket s, void* buffer, int length, int flags) override {
        ssize_t r;
        do {
            r = ::recv(Fd(s), buffer, static_cast<size_t>(length), flags);
        } while (r == -1 && errno == EINTR);
        return Checked(static_cast<int>(r));
    }

    int SockSend(TNetSocket s, const void* buffer, int length, int flags) override {
        ssize_t r;
        do {
            // A peer that went away must fail the send, not kill the process with SIGPIPE.
            r = ::send(Fd(s), buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
        } while (r == -1 && errno == EINTR);
        return Checked(static_cast<int>(r));
    }

    int SockSetOption(TNetSocket s, int level, int name, const void* value,
                      int length) override {
        // The callers pass the Windows numbers; TCP_NODELAY is the one the client uses.
        const int nativeLevel = level == 6 ? IPPROTO_TCP : level;
        const int nativeName = level == 6 && name == 1 ? TCP_NODELAY : name;
        return Checked(::setsockopt(Fd(s), nativeLevel, nativeName, value,
                                    static_cast<socklen_t>(length)));
    }

    int SockLocalName(TNetSocket s, std::string& ip, int& port) override {
        return NameOf(&::getsockname, s, ip, port);
    }

    int SockPeerName(TNetSocket s, std::string& ip, int& port) override {
        return NameOf(&::getpeername, s, ip, port);
    }

    std::string HostByName(const std::string& host) override {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* list = nullptr;
        const int r = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
        if (r != 0 || list == nullptr) {
            t_lastError = r == EAI_AGAIN ? 11002 : kErrHostNotFound;
            CheckSocketResult(-1);
        }
        TNetAddress a{};
        std::memcpy(a.data(), &reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr, 4);
        ::freeaddrinfo(list);
        return AddressToText(a);
    }

    int LastErrorCode() override { return t_lastError; }

protected:
    // poll, not select: descriptors above FD_SETSIZE must work too.
    int DoSelect(std::vector<TNetSocket>* readList, std::vector<TNetSocket>* writeList,
                 std::vector<TNetSocket>* errorList, int timeoutMs) override {
        std::vector<TNetSocket>* lists[3] = {readList, writeList, errorList};
        const short wanted[3] = {POLLIN, POLLOUT, POLLPRI};
        const short ready[3] = {POLLIN | POLLHUP | POLLERR, POLLOUT | POLLERR | POLLHUP, POLLPRI};
        std::vector<pollfd> fds;
        for (int i = 0; i < 3; ++i) {
            if (lists[i] == nullptr) continue;
            for (TNetSocket s : *lists[i]) fds.push_back({Fd(s), wanted[i], 0});
        }
        int r;
        do {
            r = ::poll(fds.data(), fds.size(), timeoutMs == kNoTimeout ? -1 : timeoutMs);
        } while (r == -1 && errno == EINTR);
        if (Checked(r) < 0) return r;
        int count = 0;
        size_t k = 0;
        for (int i = 0; i < 3; ++i) {
            if (lists[i] == nullptr) continue;
            std::vector<TNetSocket> kept;
            for (TNetSocket s : *lists[i]) {
                if ((fds[k++].revents & (ready[i] | POLLNVAL)) != 0) kept.push_back(s);
            }
            count += static_cast<int>(kept.size());
            *lists[i] = std::move(kept);
        }
        return count;
    }
};

}  // namespace

TNetStack* NewPlatformStack() { return new TNetStackPosix(); }

}  // namespace pogoda
