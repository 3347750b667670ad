#include "tests/http/script_server.h"

#include <chrono>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace pogoda::test {
namespace {

#ifdef _WIN32
struct TWinsock {
    TWinsock() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
} g_winsock;
void CloseSock(intptr_t s) { closesocket(static_cast<SOCKET>(s)); }
#else
void CloseSock(intptr_t s) { ::close(static_cast<int>(s)); }
#endif

intptr_t Listen(int& port) {
    const intptr_t s = static_cast<intptr_t>(::socket(AF_INET, SOCK_STREAM, 0));
    const int one = 1;
    setsockopt(static_cast<decltype(::socket(0, 0, 0))>(s), SOL_SOCKET, SO_REUSEADDR,
               reinterpret_cast<const char*>(&one), sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sa.sin_port = 0;
    bind(static_cast<decltype(::socket(0, 0, 0))>(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    listen(static_cast<decltype(::socket(0, 0, 0))>(s), 16);
    socklen_t len = sizeof sa;
    getsockname(static_cast<decltype(::socket(0, 0, 0))>(s), reinterpret_cast<sockaddr*>(&sa), &len);
    port = ntohs(sa.sin_port);
    return s;
}

// Waits up to ms for the socket to be readable.
bool Readable(intptr_t s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<decltype(::socket(0, 0, 0))>(s), &set);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &tv) == 1;
}

}  // namespace

TScriptServer::TScriptServer(std::vector<std::vector<TStep>> scripts)
    : m_scripts(std::move(scripts)) {
    m_listener = Listen(m_port);
    m_thread = std::thread([this] { Run(); });
}

TScriptServer::~TScriptServer() {
    m_stop = true;
    m_thread.join();
    CloseSock(m_listener);
}

std::string TScriptServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> TScriptServer::Requests() {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void TScriptServer::Run() {
    while (!m_stop) {
        if (!Readable(m_listener, 20)) continue;
        const intptr_t c = static_cast<intptr_t>(
            accept(static_cast<decltype(::socket(0, 0, 0))>(m_listener), nullptr, nullptr));
        const int index = m_connections++;
        if (index < static_cast<int>(m_scripts.size())) Play(c, m_scripts[static_cast<size_t>(index)]);
        CloseSock(c);
    }
}

void TScriptServer::Play(intptr_t s, const std::vector<TStep>& script) {
    const auto sock = static_cast<decltype(::socket(0, 0, 0))>(s);
    for (const TStep& step : script) {
        switch (step.kind) {
            case TStep::ReadHead: {
                std::string head;
                char c;
                while (head.find("\r\n\r\n") == std::string::npos && !m_stop) {
                    if (!Readable(s, 20)) continue;
                    if (recv(sock, &c, 1, 0) != 1) return;
                    head += c;
                }
                std::lock_guard lock(m_mutex);
                m_requests.push_back(head);
                break;
            }
            case TStep::Send: {
                size_t sent = 0;
                while (sent < step.data.size()) {
                    const int n = static_cast<int>(send(sock, step.data.data() + sent,
                                                        static_cast<int>(step.data.size() - sent), 0));
                    if (n <= 0) return;
                    sent += static_cast<size_t>(n);
                }
                break;
            }
            case TStep::Pause:
                std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
                break;
            case TStep::Close:
                return;
            case TStep::Reset: {
                linger l{1, 0};
                setsockopt(sock, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
                return;
            }
        }
    }
    // At the end of the script keep the connection until the client closes it or the
    // server stops, so keep-alive can be observed.
    char c;
    while (!m_stop) {
        if (!Readable(s, 20)) continue;
        if (recv(sock, &c, 1, 0) <= 0) return;
    }
}

int ClosedPort() {
    int port = 0;
    const intptr_t s = Listen(port);
    CloseSock(s);
    return port;
}

}  // namespace pogoda::test
