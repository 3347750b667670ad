#pragma once

// A signal that makes a connect waiting on another thread give up (SockConnectAbortable), so
// the thread lets go of its socket without the socket being closed under it.

#include <cstdint>

namespace pogoda {

class TNetConnectAbort {
public:
    // ENetInvalidSocket when the platform has no object left to make one from.
    TNetConnectAbort();
    ~TNetConnectAbort();
    TNetConnectAbort(const TNetConnectAbort&) = delete;
    TNetConnectAbort& operator=(const TNetConnectAbort&) = delete;

    // Once signalled it stays signalled.
    void Signal();
    // What a waiting connect watches: an eventfd, or a manual-reset event handle.
    intptr_t Native() const { return m_native; }

private:
    intptr_t m_native;
};

}  // namespace pogoda
