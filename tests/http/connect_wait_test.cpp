// The connect wait against a connect that hangs (a loopback listener whose queue is full):
// the limit, the queue served at every step, and the socket closed under the connect thread.

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/message_pump.h"
#include "http/anti_freeze.h"
#include "http/socket_exceptions.h"
#include "http/tcp_connection.h"
#include "tests/http/full_backlog.h"
#include "tests/http/script_server.h"

namespace pogoda {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

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
    void TearDown() override { SetMessagePump(m_previousPump); }

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

// The socket is closed under the connect thread before, while and after it enters the
// connect: the thread ends cleanly every time (the sanitizer builds check the memory side).
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
