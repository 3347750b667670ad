#pragma once

// The transport under the buffered connection: a socket that can be opened, connected,
// waited on, read and written. The connect of the window thread runs on a connect thread
// while the window thread sleeps in short steps and serves its queue.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/sync.h"
#include "http/component.h"
#include "http/connect_abort.h"
#include "http/socket_handle.h"

namespace pogoda {

class TNetIOHandler : public TNetComponent {
    POGODA_CLASS_NAME(TNetIOHandler)
public:
    using TNetComponent::TNetComponent;

    virtual void Close() {}
    virtual void ConnectTo(const std::string& /*host*/, int32_t /*port*/,
                           const std::string& /*boundIP*/, int32_t /*boundPort*/,
                           int32_t /*boundPortMin*/, int32_t /*boundPortMax*/,
                           int32_t /*timeout*/) {}
    virtual bool HasOpenSocket() = 0;
    virtual void Open() {}
    virtual bool WaitReadable(int ms) = 0;
    virtual int Receive(void* buffer, int length) = 0;
    virtual int Send(const void* buffer, int length) = 0;
};

class TNetIOHandlerSocket : public TNetIOHandler {
    POGODA_CLASS_NAME(TNetIOHandlerSocket)
public:
    using TNetIOHandler::TNetIOHandler;
    ~TNetIOHandlerSocket() override;

    void Close() override;
    // timeout: 0 or -1 connect without limit (through the connect wait, limited to
    // kAntiFreezeConnectLimit ms, when the anti-freeze applies); kNoTimeout or any other
    // value goes through the connect wait with that limit.
    void ConnectTo(const std::string& host, int32_t port, const std::string& boundIP,
                   int32_t boundPort, int32_t boundPortMin, int32_t boundPortMax,
                   int32_t timeout) override;
    bool HasOpenSocket() override;
    void Open() override;
    bool WaitReadable(int ms) override;
    int Receive(void* buffer, int length) override;
    int Send(const void* buffer, int length) override;

    TNetSocketHandle* SocketHandle() const { return m_socketHandle.get(); }
    bool UseNagle = true;

    static constexpr int32_t kAntiFreezeConnectLimit = 120000;
    static constexpr int32_t kConnectStep = 125;

private:
    void ConnectWait(int32_t timeout);

    std::unique_ptr<TNetSocketHandle> m_socketHandle;
};

// Performs one connect of TargetHandle; a failure's message lands in FailureText. Abort makes
// the connect give up, so that its socket is closed only after the thread has let go of it.
class TNetConnectThread : public TThread {
    POGODA_CLASS_NAME(TNetConnectThread)
public:
    explicit TNetConnectThread(TNetSocketHandle* target) : TargetHandle(target) {}
    ~TNetConnectThread() override {
        Abort();
        WaitFor();
    }

    void Abort() {
        Terminate();
        m_abort.Signal();
    }

    TNetSocketHandle* TargetHandle;
    std::string FailureText;

protected:
    void Execute() override;

private:
    TNetConnectAbort m_abort;
};

}  // namespace pogoda
