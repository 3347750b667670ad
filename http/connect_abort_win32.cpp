#include "http/connect_abort.h"

#include <windows.h>

#include "http/socket_exceptions.h"

namespace pogoda {
namespace {

HANDLE Event(intptr_t native) { return reinterpret_cast<HANDLE>(native); }

}  // namespace

TNetConnectAbort::TNetConnectAbort()
    : m_native(reinterpret_cast<intptr_t>(CreateEventW(nullptr, TRUE, FALSE, nullptr))) {
    if (m_native == 0) throw ENetInvalidSocket(messages::kCannotAllocateSocket);
}

TNetConnectAbort::~TNetConnectAbort() { CloseHandle(Event(m_native)); }

void TNetConnectAbort::Signal() { SetEvent(Event(m_native)); }

}  // namespace pogoda
