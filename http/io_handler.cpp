#include "http/io_handler.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "http/anti_freeze.h"
#include "http/socket_exceptions.h"

namespace pogoda {
namespace {

void SleepMs(int32_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

TNetIOHandlerSocket::~TNetIOHandlerSocket() = default;

void TNetIOHandlerSocket::Open() {
    if (!m_socketHandle) {
        m_socketHandle = std::make_unique<TNetSocketHandle>();
    } else {
        m_socketHandle->ResetBinding(true);
    }
}

void TNetIOHandlerSocket::Close() {
    if (m_socketHandle) m_socketHandle->DropSocket();
}

bool TNetIOHandlerSocket::HasOpenSocket() { return m_socketHandle && m_socketHandle->Allocated; }

bool TNetIOHandlerSocket::WaitReadable(int ms) {
    if (!m_socketHandle) throw ENetConnClosedGracefully(messages::kConnClosedGracefully);
    return m_socketHandle->WaitReadable(ms);
}

int TNetIOHandlerSocket::Receive(void* buffer, int length) {
    if (!HasOpenSocket()) throw ENetClosedSocket(messages::kClosedSocket);
    return m_socketHandle->Receive(buffer, length);
}

int TNetIOHandlerSocket::Send(const void* buffer, int length) {
    if (!HasOpenSocket()) throw ENetClosedSocket(messages::kClosedSocket);
    return m_socketHandle->Send(buffer, length);
}

void TNetIOHandlerSocket::ConnectTo(const std::string& host, int32_t port,
                                    const std::string& boundIP, int32_t boundPort,
                                    int32_t boundPortMin, int32_t boundPortMax,
                                    int32_t timeout) {
    if (!m_socketHandle) Open();
    TNetSocketHandle& h = *m_socketHandle;
    h.OpenSocket(1, 0);
    h.IP = boundIP;
    h.Port = boundPort;
    h.ClientPortMin = boundPortMin;
    h.ClientPortMax = boundPortMax;
    h.BindLocal();
    if (!TNetStack::IsIPv4Literal(host)) ReportStatus(hsResolving, host);
    h.SetPeerAddress(GStack->ResolveHostAddress(host), port);
    if (!UseNagle) {
        const int32_t one = 1;
        h.SetOption(6, 1, &one, sizeof one);
    }
    ReportStatus(hsConnecting, h.PeerIP);
    if (timeout != -1 && timeout != 0) {
        ConnectWait(timeout);
    } else if (TNetAntiFreezeBase::AntiFreezeApplies()) {
        ConnectWait(kAntiFreezeConnectLimit);
    } else {
        GStack->CheckSocketResult(h.ConnectToPeer(2));
    }
}

void TNetIOHandlerSocket::ConnectWait(int32_t timeout) {
    auto thread = std::make_unique<TNetConnectThread>(m_socketHandle.get());
    thread->Start();
    int32_t step = kConnectStep;
    if (TNetAntiFreezeBase::AntiFreezeApplies()) {
        step = std::min(TNetAntiFreezeBase::Registered()->IdleTimeOut, kConnectStep);
        step = std::max<int32_t>(step, 1);
    }
    int32_t remaining = timeout == kNoTimeout ? step + 1 : timeout;
    while (step < remaining) {
        SleepMs(step);
        remaining = timeout == kNoTimeout ? step + 1 : remaining - step;
        TNetAntiFreezeBase::AntiFreezeStep(true, false);
        if (thread->Finished()) {
            remaining = 0;
            break;
        }
    }
    SleepMs(remaining);
    if (!thread->Finished()) {
        // Closed before the thread has ended, the socket's number could go to another socket
        // that the thread would then connect.
        thread->Abort();
        thread->WaitFor();
        Close();
        throw ENetConnectTimeout(messages::kConnectTimeout);
    }
    thread->WaitFor();
    if (!thread->FailureText.empty()) throw ENetConnectException(thread->FailureText);
}

void TNetConnectThread::Execute() {
    try {
        GStack->CheckSocketResult(TargetHandle->ConnectToPeerAbortable(2, m_abort));
    } catch (const std::exception& e) {
        FailureText = e.what();
    }
}

}  // namespace pogoda
