// Component base, socket layer, anti-freeze and buffered connection, with a stack that
// records what reaches the platform and a message pump that counts its calls.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "framework/core/message_pump.h"
#include "http/anti_freeze.h"
#include "http/buffers.h"
#include "http/socket_exceptions.h"
#include "http/socket_handle.h"
#include "http/stack.h"
#include "http/tcp_connection.h"
#include "tests/http/script_server.h"

namespace pogoda {
namespace {

// The platform stack, recording select timeouts and counting instances.
std::vector<int> g_selects;
int g_stacksMade = 0;
int g_stacksFreed = 0;

class TRecordingStack : public TNetStack {
public:
    TRecordingStack() : m_inner(NewPlatformStack()) { ++g_stacksMade; }
    ~TRecordingStack() override { ++g_stacksFreed; }
    TNetSocket SockCreate(int f, int t, int p) override { return m_inner->SockCreate(f, t, p); }
    int SockBind(TNetSocket s, int f, const std::string& ip, int port) override { return m_inner->SockBind(s, f, ip, port); }
    int SockConnect(TNetSocket s, int f, const std::string& ip, int port) override { return m_inner->SockConnect(s, f, ip, port); }
    int SockConnectAbortable(TNetSocket s, int f, const std::string& ip, int port, const TNetConnectAbort& a) override { return m_inner->SockConnectAbortable(s, f, ip, port, a); }
    int SockClose(TNetSocket s) override { return m_inner->SockClose(s); }
    int SockShutdown(TNetSocket s, int how) override { return m_inner->SockShutdown(s, how); }
    int SockRecv(TNetSocket s, void* b, int n, int f) override { return m_inner->SockRecv(s, b, n, f); }
    int SockSend(TNetSocket s, const void* b, int n, int f) override { return m_inner->SockSend(s, b, n, f); }
    int SockSetOption(TNetSocket s, int l, int n, const void* v, int len) override { return m_inner->SockSetOption(s, l, n, v, len); }
    int SockLocalName(TNetSocket s, std::string& ip, int& port) override { return m_inner->SockLocalName(s, ip, port); }
    int SockPeerName(TNetSocket s, std::string& ip, int& port) override { return m_inner->SockPeerName(s, ip, port); }
    std::string HostByName(const std::string& host) override { return m_inner->HostByName(host); }
    int LastErrorCode() override { return m_inner->LastErrorCode(); }

protected:
    int DoSelect(std::vector<TNetSocket>* r, std::vector<TNetSocket>* w, std::vector<TNetSocket>* e, int ms) override {
        g_selects.push_back(ms);
        return m_inner->SockSelect(r, w, e, ms);
    }

private:
    std::unique_ptr<TNetStack> m_inner;
};

TNetStack* NewRecordingStack() { return new TRecordingStack(); }

struct TCountingPump : TMessagePump {
    void ProcessMessages() override { ++processAll; }
    bool MessageWaiting() override { return waiting; }
    void HandleMessage() override { ++handleOne; }
    int processAll = 0;
    int handleOne = 0;
    bool waiting = false;
};

class Transport : public ::testing::Test {
protected:
    void SetUp() override {
        m_previousClass = SetStackClass(&NewRecordingStack);
        m_previousPump = SetMessagePump(&pump);
        g_selects.clear();
    }
    void TearDown() override {
        SetStackClass(m_previousClass);
        SetMessagePump(m_previousPump);
    }
    TCountingPump pump;

private:
    TNetStackFactory m_previousClass = nullptr;
    TMessagePump* m_previousPump = nullptr;
};

TEST_F(Transport, WorkRunsNestAndModesAreIndependent) {
    TNetComponent c(nullptr);
    std::vector<std::string> trace;
    c.OnWorkBegin = [&](TObject*, TWorkMode m, int32_t max) { trace.push_back("b" + std::to_string(m) + ":" + std::to_string(max)); };
    c.OnWork = [&](TObject*, TWorkMode m, int32_t n) { trace.push_back("w" + std::to_string(m) + ":" + std::to_string(n)); };
    c.OnWorkEnd = [&](TObject*, TWorkMode m) { trace.push_back("e" + std::to_string(m)); };
    c.WorkProgress(wmRead, 5);  // outside a run: dropped
    c.WorkBegin(wmRead, 4000);
    c.WorkBegin(wmRead, 9);     // nested: silent
    c.WorkProgress(wmRead, 1000);
    c.WorkProgress(wmWrite, 7);  // no write run open
    c.WorkEnd(wmRead);
    c.WorkProgress(wmRead, 2000);
    c.WorkEnd(wmRead);
    EXPECT_EQ(trace, (std::vector<std::string>{"b0:4000", "w0:1000", "w0:3000", "e0"}));
    EXPECT_EQ(c.WorkRun(wmRead).Level, 0);
}

TEST_F(Transport, StatusTextsAreFormattedOnlyForAHandler) {
    TNetComponent c(nullptr);
    c.ReportStatus(hsResolving, "host");  // no handler: nothing happens
    std::vector<std::string> texts;
    c.OnStatus = [&](TObject* sender, TNetStatus, const std::string& text) {
        EXPECT_EQ(sender, &c);
        texts.push_back(text);
    };
    c.ReportStatus(hsDisconnected);
    c.ReportStatus(hsResolving, "weather.example");
    c.ReportStatus(hsStatusText);
    EXPECT_EQ(texts, (std::vector<std::string>{"Disconnected.", "Resolving hostname weather.example.", ""}));
}

TEST_F(Transport, StackLivesFromFirstToLastComponent) {
    const int made = g_stacksMade, freed = g_stacksFreed;
    {
        TNetComponent a(nullptr);
        TNetComponent b(nullptr);
        EXPECT_NE(GStack, nullptr);
    }
    EXPECT_EQ(GStack, nullptr);
    { TNetComponent again(nullptr); }
    EXPECT_EQ(g_stacksMade - made, 2);
    EXPECT_EQ(g_stacksFreed - freed, 2);
}

TEST_F(Transport, AddressesAndErrorTexts) {
    for (const char* literal : {"10.0.0.1", "0.0.0.0", "255.255.255.255"}) EXPECT_TRUE(TNetStack::IsIPv4Literal(literal)) << literal;
    for (const char* other : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "a.b.c.d", "", "1..2.3"}) EXPECT_FALSE(TNetStack::IsIPv4Literal(other)) << other;
    TNetComponent c(nullptr);
    EXPECT_EQ(GStack->ResolveHostAddress("LocalHost"), "127.0.0.1");
    EXPECT_EQ(GStack->SocketErrorText(10093), "Socket Error # 10093\r\n");
    EXPECT_EQ(GStack->SocketErrorText(10035), "Socket Error # 10035\r\nOperation would block. ");
    std::vector<TNetSocket> many(65, 0);
    try {
        GStack->SockSelect(&many, nullptr, nullptr, 0);
        ADD_FAILURE();
    } catch (const ENetStackSetSizeExceeded& e) {
        EXPECT_EQ(e.Message(), "Set Size Exceeded.");
    }
    EXPECT_TRUE(g_selects.empty());
    TNetSocketHandle h;
    h.OpenSocket(1, 0);
    h.ClientPortMin = 5000;
    h.ClientPortMax = 4000;
    try {
        h.BindLocal();
        ADD_FAILURE();
    } catch (const ENetInvalidPortRange& e) {
        EXPECT_EQ(e.Message(), "Invalid Port Range (5000 - 4000)");
    }
}

TEST_F(Transport, AntiFreezeStepDecidesWhetherToPump) {
    TNetAntiFreeze af(nullptr);
    struct Case { bool onlyWhenIdle, active, idle, force; int pumps; };
    const Case cases[] = {{true, true, false, false, 0}, {true, true, true, false, 1}, {false, true, false, false, 1},
                          {true, true, false, true, 1}, {true, false, true, true, 0}};
    for (const Case& k : cases) {
        af.OnlyWhenIdle = k.onlyWhenIdle;
        af.Active = k.active;
        pump.processAll = 0;
        TNetAntiFreezeBase::AntiFreezeStep(k.idle, k.force);
        EXPECT_EQ(pump.processAll, k.pumps);
        std::thread([] { TNetAntiFreezeBase::AntiFreezeStep(true, true); }).join();
        EXPECT_EQ(pump.processAll, k.pumps);  // never from another thread
    }
    af.Active = true;
    af.ApplicationHasPriority = false;
    TNetAntiFreezeBase::AntiFreezeStep(true, false);  // empty queue: returns at once
    pump.waiting = true;
    TNetAntiFreezeBase::AntiFreezeStep(true, false);
    EXPECT_EQ(pump.handleOne, 1);
}

// A silent peer: the wait is cut into IdleTimeOut slices, shortest first, pumping after
// each, on the main thread only.
TEST_F(Transport, ReadableWaitIsSlicedAndPumpsOnTheMainThread) {
    test::TScriptServer server({{test::Pause(3000)}});
    TNetTCPClient client(nullptr);
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect(0);
    auto* io = dynamic_cast<TNetIOHandlerSocket*>(client.IOHandler());
    ASSERT_NE(io, nullptr);
    {
        TNetAntiFreeze af(nullptr);
        g_selects.clear();
        EXPECT_FALSE(io->WaitReadable(600));
        EXPECT_EQ(g_selects, (std::vector<int>{100, 250, 250}));
        EXPECT_EQ(pump.processAll, 3);
        g_selects.clear();
        std::thread([&] { EXPECT_FALSE(io->WaitReadable(300)); }).join();
        EXPECT_EQ(g_selects, (std::vector<int>{300}));
        EXPECT_EQ(pump.processAll, 3);
    }
}

TEST_F(Transport, ManagedBufferSkipsConsumedBytesUntilThreshold) {
    TNetManagedBuffer b;
    int removed = 0;
    b.RemovedNotify = [&](TNetSimpleBuffer*, int32_t n) { removed += n; };
    const std::string data(40000, 'x');
    b.Append(data.data(), 40000);
    b.RemoveFront(30000);
    EXPECT_EQ(b.ReadOffset(), 30000);
    EXPECT_EQ(b.Size(), 10000);
    b.RemoveFront(3000);  // past 32768 consumed: compacted
    EXPECT_EQ(b.ReadOffset(), 0);
    EXPECT_EQ(b.ExtractText(3), "xxx");
    EXPECT_EQ(removed, 33003);
    EXPECT_THROW(b.RemoveFront(7000), ENetNotEnoughDataInBuffer);
}

TEST_F(Transport, ReadLineLimitsAndSplits) {
    const std::string longLine(16384, 'L');
    test::TScriptServer server({{test::Send("HTTP/1.0 200 OK\r\nbare\n\r\n" + longLine + "\r\n" + std::string(16383, 'm') + "\r\n"), test::Pause(200)}});
    TNetTCPClient client(nullptr);
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect(0);
    EXPECT_EQ(client.ReadLine(), "HTTP/1.0 200 OK");
    EXPECT_EQ(client.ReadLine(), "bare");
    EXPECT_EQ(client.ReadLine(), "");
    client.MaxLineAction = maSplit;
    EXPECT_EQ(client.ReadLine(), longLine);
    EXPECT_TRUE(client.LineSplit);
    EXPECT_EQ(client.ReadLine(), "");
    client.MaxLineAction = maException;
    EXPECT_EQ(client.ReadLine().size(), 16383u);
    EXPECT_THROW(client.Connect(0), ENetAlreadyConnected);
}

}  // namespace
}  // namespace pogoda
