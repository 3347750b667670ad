#pragma once

// A loopback HTTP peer for tests: accepts connections on 127.0.0.1, and for each one plays
// a script of steps (read a request head, send bytes, pause, close, reset), recording the
// exact request bytes and the number of connections.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pogoda::test {

struct TStep {
    enum Kind { ReadHead, Send, Pause, Close, Reset } kind;
    std::string data;  // Send: bytes
    int ms = 0;        // Pause
};

inline TStep ReadHead() { return {TStep::ReadHead, {}, 0}; }
inline TStep Send(std::string bytes) { return {TStep::Send, std::move(bytes), 0}; }
inline TStep Pause(int ms) { return {TStep::Pause, {}, ms}; }
inline TStep Close() { return {TStep::Close, {}, 0}; }
inline TStep Reset() { return {TStep::Reset, {}, 0}; }

class TScriptServer {
public:
    // One script per accepted connection, in order; connections beyond them are closed.
    explicit TScriptServer(std::vector<std::vector<TStep>> scripts);
    ~TScriptServer();
    TScriptServer(const TScriptServer&) = delete;
    TScriptServer& operator=(const TScriptServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path = "/") const;
    int Connections() const { return m_connections; }
    // Every request head read, in order.
    std::vector<std::string> Requests();

private:
    void Run();
    void Play(intptr_t s, const std::vector<TStep>& script);

    std::vector<std::vector<TStep>> m_scripts;
    intptr_t m_listener = -1;
    int m_port = 0;
    std::atomic<int> m_connections{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

}  // namespace pogoda::test
