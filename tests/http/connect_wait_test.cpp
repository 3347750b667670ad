// The connect wait against a connect that hangs (a loopback listener whose queue is full):
// the limit, the queue served at every step, and the socket left alone until the connect
// thread has let go of it.

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/message_pump.h"
#include "http/anti_freeze.h"
#include "http/socket_exceptions.h"
#include "http/stack.h"
#include "http/tcp_connection.h"
#include "tests/http/full_backlog.h"
#include "tests/http/script_server.h"

namespace pogoda {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// What the watching stack saw: connects under way, and every shutdown or close of a socket
// while a connect on it was under way (the connect thread would then work on a number that
// may already belong to another socket).
std::mutex g_watchLock;
std::set<TNetSocket> g_connecting;
std::vector<std::string> g_misuses;
int g_connectsSeen = 0;

// The platform stack, watching connects and closes.
class TWatchingStack : public TNetStack {
public:
    TWatchingStack() : m_inner(NewPlatformStack()) {}
    TNetSocket SockCreate(int f, int t, int p) override { return m_inner->SockCreate(f, t, p); }
    int SockBind(TNetSocket s, int f, const std::string& ip, int port) override { return m_inner->SockBind(s, f, ip, port); }
    int SockConnect(TNetSocket s, int f, const std::string& ip, int port) override {
        Enter(s);
        const int r = m_inner->SockConnect(s, f, ip, port);
        Leave(s);
        return r;
    }
    int SockConnectAbortable(TNetSocket s, int f, const std::string& ip, int port, const TNetConnectAbort& a) override {
        Enter(s);
        const int r = m_inner->SockConnectAbortable(s, f, ip, port, a);
        Leave(s);
        return r;
    }
    int SockClose(TNetSocket s) override {
        Check(s, "closed");
        return m_inner->SockClose(s);
    }
    int SockShutdown(TNetSocket s, int how) override {
        Check(s, "shut down");
        return m_inner->SockShutdown(s, how);
    }
    int SockRecv(TNetSocket s, void* b, int n, int f) override { return m_inner->SockRecv(s, b, n, f); }
    int SockSend(TNetSocket s, const void* b, int n, int f) override { return m_inner->SockSend(s, b, n, f); }
    int SockSetOption(TNetSocket s, int l, int n, const void* v, int len) override { return m_inner->SockSetOption(s, l, n, v, len); }
    int SockLocalName(TNetSocket s, std::string& ip, int& port) override { return m_inner->SockLocalName(s, ip, port); }
    int SockPeerName(TNetSocket s, std::string& ip, int& port) override { return m_inner->SockPeerName(s, ip, port); }
    std::string HostByName(const std::string& host) override { return m_inner->HostByName(host); }
    int LastErrorCode() override { return m_inner->LastErrorCode(); }

protected:
    int DoSelect(std::vector<TNetSocket>* r, std::vector<TNetSocket>* w, std::vector<TNetSocket>* e, int ms) override {
        return m_inner->SockSelect(r, w, e, ms);
    }

private:
    static void Enter(TNetSocket s) {
        const std::lock_guard lock(g_watchLock);
        g_connecting.insert(s);
        ++g_connectsSeen;
    }
    static void Leave(TNetSocket s) {
        const std::lock_guard lock(g_watchLock);
        g_connecting.erase(s);
    }
    static void Check(TNetSocket s, const char* what) {
        const std::lock_guard lock(g_watchLock);
        if (g_connecting.count(s) != 0) {
            g_misuses.push_back("socket " + std::to_string(s) + " " + what + " during its connect");
        }
    }

    std::unique_ptr<TNetStack> m_inner;
};

TNetStack* NewWatchingStack() { return new TWatchingStack(); }

// The watching stack for one test; made before the client, which creates the stack.
class TWatchedStackClass {
public:
    TWatchedStackClass() : m_previous(SetStackClass(&NewWatchingStack)) {
        g_misuses.clear();
        g_connectsSeen = 0;
    }
    ~TWatchedStackClass() { SetStackClass(m_previous); }

private:
    TNetStackFactory m_previous;
};

struct TCountingPump : TMessagePump {
    void ProcessMessages() override { ++calls; }
    bool MessageWaiting() override { return false; }
    void HandleMessage() override {}
    int calls = 0;
};

class ConnectWait : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousPump = SetMessagePump(&pump);
        ASSERT_TRUE(backlog.Full()) << "the listener's queue never filled";
        client.SetHost("127.0.0.1");
        client.SetPort(backlog.Port());
    }
    void TearDown() override {
        SetMessagePump(m_previousPump);
        EXPECT_GT(g_connectsSeen, 0) << "the client did not connect through the watching stack";
        EXPECT_EQ(g_misuses, std::vector<std::string>{});
    }

    // The message of the failed connect, with the time it took.
    std::string FailedConnect(int32_t timeout, milliseconds* took = nullptr) {
        const auto start = steady_clock::now();
        std::string message = "no failure";
        try {
            client.Connect(timeout);
        } catch (const ENetConnectTimeout& e) {
            message = e.Message();
        } catch (const Exception& e) {
            message = std::string(e.ClassName()) + ": " + e.Message();
        }
        if (took != nullptr)
            *took = std::chrono::duration_cast<milliseconds>(steady_clock::now() - start);
        return message;
    }

    TWatchedStackClass watchedStack;
    TCountingPump pump;
    test::TFullBacklog backlog;
    TNetTCPClient client{nullptr};

private:
    TMessagePump* m_previousPump = nullptr;
};

TEST_F(ConnectWait, HangingConnectTimesOutAfterTheLimitAndTheClientConnectsAgain) {
    milliseconds took{};
    EXPECT_EQ(FailedConnect(400, &took), "Connect timed out.");
    EXPECT_GE(took.count(), 400);
    EXPECT_FALSE(client.IsConnected());

    test::TScriptServer server({{test::Send("hello\r\n")}});
    client.SetPort(server.Port());
    client.Connect(400);
    EXPECT_EQ(client.ReadLine(), "hello");
}

// The queue is served after every step of the wait; the step is IdleTimeOut capped at 125 ms,
// and the last remainder is slept without a step. From another thread nothing is served.
TEST_F(ConnectWait, ServesTheQueueAfterEveryStepOnTheMainThreadOnly) {
    struct Case {
        int32_t idleTimeOut, timeout;
        int steps;
    };
    for (const Case& k : {Case{250, 500, 3}, Case{50, 500, 9}, Case{1000, 300, 2}}) {
        TNetAntiFreeze antiFreeze(nullptr);
        antiFreeze.IdleTimeOut = k.idleTimeOut;
        pump.calls = 0;
        EXPECT_EQ(FailedConnect(k.timeout), "Connect timed out.");
        EXPECT_EQ(pump.calls, k.steps) << "IdleTimeOut " << k.idleTimeOut;
        std::thread([&] { EXPECT_EQ(FailedConnect(k.timeout), "Connect timed out."); }).join();
        EXPECT_EQ(pump.calls, k.steps) << "served from a worker thread";
    }
}

// The limit runs out before, while and after the connect thread enters the connect: the
// thread ends cleanly every time, and the socket is closed only after it has ended (the
// fixture's watching stack checks that; the sanitizer builds check the memory side).
TEST_F(ConnectWait, SocketClosedOnTimeoutLeavesTheConnectThreadSound) {
    for (int32_t timeout : {1, 1, 2, 3, 5, 10, 30, 130}) {
        EXPECT_EQ(FailedConnect(timeout), "Connect timed out.") << "limit " << timeout;
        EXPECT_FALSE(client.IsConnected());
    }
}

TEST_F(ConnectWait, RefusedConnectEndsWithinOneStep) {
    TNetAntiFreeze antiFreeze(nullptr);
    client.SetPort(test::ClosedPort());
    milliseconds took{};
    EXPECT_EQ(FailedConnect(5000, &took),
              "ENetConnectException: Socket Error # 10061\r\nConnection refused.");
    EXPECT_LT(took.count(), 5000) << "waited for the limit after the connect had failed";
}

}  // namespace
}  // namespace pogoda
