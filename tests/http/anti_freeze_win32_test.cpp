// The anti-freeze with a real Win32 queue: a message-only window on the main thread, a pump
// over PeekMessage and DispatchMessage, and a client that waits for a slow peer or for a
// connect that hangs. The window gets its messages during the wait, from the main thread
// only.

#include <windows.h>

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/message_pump.h"
#include "http/anti_freeze.h"
#include "http/http_client.h"
#include "http/socket_exceptions.h"
#include "tests/http/full_backlog.h"
#include "tests/http/script_server.h"

namespace pogoda {
namespace {

class TWin32Pump : public TMessagePump {
public:
    void ProcessMessages() override {
        ++steps;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
    }
    bool MessageWaiting() override {
        MSG msg;
        return PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != 0;
    }
    void HandleMessage() override {
        ++steps;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
    }
    // Calls that served the queue.
    int steps = 0;

private:
    static void Dispatch(const MSG& msg) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
};

// One WM_APP message as the window procedure received it.
struct TDelivery {
    WPARAM id;
    int step;  // the pump step that dispatched it
    bool mainThread;
    std::string state;  // what the test's probe said at that moment
};

TWin32Pump* g_pump = nullptr;
std::function<std::string()> g_probe;
std::vector<TDelivery> g_deliveries;
DWORD g_mainThread = 0;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcW(window, message, wParam, lParam);
    g_deliveries.push_back(
        {wParam, g_pump->steps, GetCurrentThreadId() == g_mainThread, g_probe ? g_probe() : ""});
    return 0;
}

class AntiFreezeWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &RecordingProcedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"PogodaAntiFreezeProbe";
            return RegisterClassW(&wc);
        }();
        ASSERT_NE(windowClass, 0);
        // Message-only: no display is needed.
        m_window = CreateWindowExW(0, L"PogodaAntiFreezeProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
        g_mainThread = GetCurrentThreadId();
        g_pump = &pump;
        g_deliveries.clear();
        g_probe = nullptr;
        m_previousPump = SetMessagePump(&pump);
    }
    void TearDown() override {
        SetMessagePump(m_previousPump);
        g_probe = nullptr;
        if (m_window != nullptr) DestroyWindow(m_window);
    }

    void Post(WPARAM id) { PostMessageW(m_window, WM_APP, id, 0); }
    std::vector<WPARAM> DeliveredIds() const {
        std::vector<WPARAM> ids;
        for (const TDelivery& d : g_deliveries) ids.push_back(d.id);
        return ids;
    }

    TWin32Pump pump;
    TNetAntiFreeze antiFreeze{nullptr};

private:
    HWND m_window = nullptr;
    TMessagePump* m_previousPump = nullptr;
};

TEST_F(AntiFreezeWin32, WindowIsServedWhileTheAnswerIsAwaited) {
    test::TScriptServer server({{test::ReadHead(), test::Pause(1500),
                                 test::Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")}});
    TNetHTTP http(nullptr);
    g_probe = [&] { return http.ResponseText().empty() ? "awaiting" : "answered"; };
    Post(1);
    Post(2);
    // Posted from another thread while the main thread waits: lands in the main queue.
    std::thread late([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Post(3);
    });
    TMemoryStream body;
    http.Get(server.Url("/x.png"), &body);
    late.join();

    EXPECT_EQ(body.Size(), 2);
    ASSERT_EQ(DeliveredIds(), (std::vector<WPARAM>{1, 2, 3}));
    for (const TDelivery& d : g_deliveries) {
        EXPECT_TRUE(d.mainThread);
        EXPECT_EQ(d.state, "awaiting") << "message " << d.id;
    }
    EXPECT_EQ(g_deliveries[0].step, 1);
    EXPECT_GT(g_deliveries[2].step, 1) << "the queue was served only once";
}

// A connect that hangs until the 500 ms limit: three 125 ms steps, each serving the queue;
// ApplicationHasPriority decides whether a step serves all waiting messages or one.
TEST_F(AntiFreezeWin32, WindowIsServedAtEveryStepOfAHangingConnect) {
    test::TFullBacklog backlog;
    ASSERT_TRUE(backlog.Full());
    struct Case {
        bool priority;
        std::vector<int> steps;
    };
    for (const Case& k : {Case{true, {1, 1, 1}}, Case{false, {1, 2, 3}}}) {
        antiFreeze.ApplicationHasPriority = k.priority;
        pump.steps = 0;
        g_deliveries.clear();
        bool connecting = true;
        g_probe = [&] { return connecting ? "connecting" : "after"; };
        for (WPARAM id = 1; id <= 3; ++id) Post(id);
        TNetTCPClient client(nullptr);
        client.SetHost("127.0.0.1");
        client.SetPort(backlog.Port());
        EXPECT_THROW(client.Connect(500), ENetConnectTimeout);
        connecting = false;

        std::vector<int> steps;
        for (const TDelivery& d : g_deliveries) {
            steps.push_back(d.step);
            EXPECT_EQ(d.state, "connecting");
        }
        EXPECT_EQ(steps, k.steps) << "ApplicationHasPriority " << k.priority;
        EXPECT_EQ(pump.steps, 3);
    }
}

TEST_F(AntiFreezeWin32, WaitsOfAWorkerThreadNeverServeTheQueue) {
    test::TScriptServer server({{test::ReadHead(), test::Pause(600),
                                 test::Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")}});
    test::TFullBacklog backlog;
    Post(1);
    std::thread([&] {
        TNetHTTP http(nullptr);
        TMemoryStream body;
        http.Get(server.Url("/x.png"), &body);
        EXPECT_EQ(body.Size(), 2);
        TNetTCPClient client(nullptr);
        client.SetHost("127.0.0.1");
        client.SetPort(backlog.Port());
        EXPECT_THROW(client.Connect(300), ENetConnectTimeout);
    }).join();
    EXPECT_EQ(pump.steps, 0);
    EXPECT_TRUE(g_deliveries.empty());
    pump.ProcessMessages();
    EXPECT_EQ(DeliveredIds(), (std::vector<WPARAM>{1}));
}

}  // namespace
}  // namespace pogoda
