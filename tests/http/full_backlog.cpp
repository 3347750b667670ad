#include "tests/http/full_backlog.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace pogoda::test {
namespace {

#ifdef _WIN32
using TRawSocket = SOCKET;
void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}
void CloseRaw(TRawSocket s) { closesocket(s); }
void MakeNonBlocking(TRawSocket s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
#else
using TRawSocket = int;
void StartSockets() {}
void CloseRaw(TRawSocket s) { ::close(s); }
void MakeNonBlocking(TRawSocket s) { ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK); }
#endif

TRawSocket Raw(intptr_t s) { return static_cast<TRawSocket>(s); }

sockaddr_in Loopback(int port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = htons(static_cast<uint16_t>(port));
    return sa;
}

bool WritableWithin(TRawSocket s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, ms * 1000};
    return select(static_cast<int>(s) + 1, nullptr, &set, nullptr, &tv) == 1;
}

}  // namespace

// The backlog is 1; connections are made until one does not complete.
TFullBacklog::TFullBacklog() {
    StartSockets();
    const TRawSocket listener = ::socket(AF_INET, SOCK_STREAM, 0);
    m_listener = static_cast<intptr_t>(listener);
    sockaddr_in sa = Loopback(0);
    ::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(listener, 1);
    socklen_t len = sizeof sa;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len);
    m_port = ntohs(sa.sin_port);
    for (int i = 0; i < 16 && !m_full; ++i) {
        const TRawSocket s = ::socket(AF_INET, SOCK_STREAM, 0);
        MakeNonBlocking(s);
        const sockaddr_in to = Loopback(m_port);
        ::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        m_fillers.push_back(static_cast<intptr_t>(s));
        m_full = !WritableWithin(s, 300);
    }
}

TFullBacklog::~TFullBacklog() {
    for (intptr_t s : m_fillers) CloseRaw(Raw(s));
    CloseRaw(Raw(m_listener));
}

}  // namespace pogoda::test
