#include "http/socket_handle.h"

#include <algorithm>

#include "framework/core/text.h"
#include "http/anti_freeze.h"
#include "http/socket_exceptions.h"

namespace pogoda {

TNetSocketHandle::~TNetSocketHandle() { DropSocket(); }

void TNetSocketHandle::OpenSocket(int type, int protocol) {
    DropSocket();
    Handle = GStack->NewSocket(type, protocol);
    Allocated = true;
}

void TNetSocketHandle::DropSocket() {
    if (!Allocated) return;
    Allocated = false;
    GStack->SockShutdown(Handle, 1);
    GStack->SockClose(Handle);
}

void TNetSocketHandle::ResetBinding(bool alsoLocal) {
    Allocated = false;
    Handle = kInvalidSocket;
    PeerIP.clear();
    PeerPort = 0;
    if (alsoLocal) {
        IP.clear();
        Port = 0;
    }
}

void TNetSocketHandle::SetPeerAddress(const std::string& address, int32_t port) {
    PeerIP = address;
    PeerPort = port;
}

bool TNetSocketHandle::TryBind(int32_t port) {
    const int r = GStack->SockBind(Handle, 2, IP, port);
    if (r != -1) return true;
    if (GStack->CheckSocketResult(r, {kErrAddressInUse})) return false;
    return true;  // unreachable: CheckSocketResult raised
}

void TNetSocketHandle::BindLocal() {
    if (Port != 0 || ClientPortMin == 0 || ClientPortMax == 0) {
        if (!TryBind(Port)) throw ENetCouldNotBindSocket(messages::kCouldNotBindSocket);
        RefreshLocalName();
        return;
    }
    if (ClientPortMax < ClientPortMin) {
        throw ENetInvalidPortRange(
            Format(messages::kInvalidPortRange, ClientPortMin, ClientPortMax));
    }
    for (int32_t port = ClientPortMax; port >= ClientPortMin; --port) {
        if (TryBind(port)) {
            RefreshLocalName();
            return;
        }
    }
    throw ENetCanNotBindPortInRange(
        Format(messages::kCanNotBindRange, ClientPortMin, ClientPortMax));
}

int TNetSocketHandle::ConnectToPeer(int family) {
    return AfterConnect(GStack->SockConnect(Handle, family, PeerIP, PeerPort));
}

int TNetSocketHandle::ConnectToPeerAbortable(int family, const TNetConnectAbort& abort) {
    return AfterConnect(GStack->SockConnectAbortable(Handle, family, PeerIP, PeerPort, abort));
}

int TNetSocketHandle::AfterConnect(int result) {
    if (result != -1) {
        RefreshLocalName();
        RefreshPeerName();
    }
    return result;
}

void TNetSocketHandle::RefreshLocalName() {
    std::string ip;
    int port = 0;
    GStack->CheckSocketResult(GStack->SockLocalName(Handle, ip, port));
    IP = ip;
    Port = port;
}

void TNetSocketHandle::RefreshPeerName() {
    std::string ip;
    int port = 0;
    GStack->CheckSocketResult(GStack->SockPeerName(Handle, ip, port));
    PeerIP = ip;
    PeerPort = port;
}

int TNetSocketHandle::Receive(void* buffer, int length) {
    return GStack->SockRecv(Handle, buffer, length, 0);
}

int TNetSocketHandle::Send(const void* buffer, int length) {
    return GStack->SockSend(Handle, buffer, length, 0);
}

void TNetSocketHandle::SetOption(int level, int name, const void* value, int length) {
    GStack->CheckSocketResult(GStack->SockSetOption(Handle, level, name, value, length));
}

bool TNetSocketHandle::WaitReadable(int ms) {
    if (!TNetAntiFreezeBase::AntiFreezeApplies()) return SelectOnce(ms);
    const int slice = std::max(1, TNetAntiFreezeBase::Registered()->IdleTimeOut);
    if (ms == kNoTimeout) {
        while (!SelectOnce(slice)) {
        }
        return true;
    }
    // Slices of IdleTimeOut, the shortest one first: 600 ms waits 100, 250, 250.
    int first = ms % slice;
    if (first == 0 || ms <= slice) first = std::min(ms, slice);
    for (int remaining = ms, wait = first; remaining > 0; remaining -= wait, wait = slice) {
        if (SelectOnce(wait)) return true;
    }
    return ms <= 0 && SelectOnce(ms);
}

bool TNetSocketHandle::SelectOnce(int ms) {
    if (!Allocated) throw ENetConnClosedGracefully(messages::kConnClosedGracefully);
    std::vector<TNetSocket> readList{Handle};
    const bool result = GStack->SockSelect(&readList, nullptr, nullptr, ms) == 1;
    TNetAntiFreezeBase::AntiFreezeStep(!result, false);
    return result;
}

}  // namespace pogoda
