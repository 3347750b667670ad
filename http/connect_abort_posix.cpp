#include "http/connect_abort.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "http/socket_exceptions.h"

namespace pogoda {

TNetConnectAbort::TNetConnectAbort() : m_native(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_native == -1) throw ENetInvalidSocket(messages::kCannotAllocateSocket);
}

TNetConnectAbort::~TNetConnectAbort() { ::close(static_cast<int>(m_native)); }

void TNetConnectAbort::Signal() {
    const uint64_t one = 1;
    // Fails only when the counter would overflow, long after the first signal.
    [[maybe_unused]] const ssize_t written = ::write(static_cast<int>(m_native), &one, sizeof one);
}

}  // namespace pogoda
