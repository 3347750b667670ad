#pragma once

// One TCP socket with its local and peer addresses.

#include <cstdint>
#include <string>

#include "framework/core/collection.h"
#include "http/stack.h"

namespace pogoda {

class TNetSocketHandle : public TCollectionItem {
    POGODA_CLASS_NAME(TNetSocketHandle)
public:
    explicit TNetSocketHandle(TCollection* collection = nullptr)
        : TCollectionItem(collection) {}
    // Closes the socket.
    ~TNetSocketHandle() override;

    void OpenSocket(int type, int protocol);
    // Stops sending and closes the socket, when one is open; results are ignored.
    virtual void DropSocket();
    // Forgets the socket without closing it.
    void ResetBinding(bool alsoLocal);
    void SetPeerAddress(const std::string& address, int32_t port);
    // Binds to IP:Port, or to the first free port of ClientPortMax down to ClientPortMin.
    void BindLocal();
    // Returns the raw result; refreshes both names after a success.
    virtual int ConnectToPeer(int family);
    // ConnectToPeer that gives up once abort is signalled (-1, kErrInterrupted).
    int ConnectToPeerAbortable(int family, const TNetConnectAbort& abort);
    void RefreshLocalName();
    void RefreshPeerName();
    int Receive(void* buffer, int length);
    int Send(const void* buffer, int length);
    void SetOption(int level, int name, const void* value, int length);
    // True when data, or the peer's close, can be read within ms (kNoTimeout: no limit).
    // While the anti-freeze applies, the wait is cut into IdleTimeOut slices.
    bool WaitReadable(int ms);

    TNetSocket Handle = kInvalidSocket;
    bool Allocated = false;
    std::string IP;
    std::string PeerIP;
    int32_t Port = 0;
    int32_t PeerPort = 0;
    int32_t ClientPortMin = 0;
    int32_t ClientPortMax = 0;

private:
    // One bind; true on success, false when the address is in use.
    bool TryBind(int32_t port);
    int AfterConnect(int result);
    bool SelectOnce(int ms);
};

}  // namespace pogoda
