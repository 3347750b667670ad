#pragma once

// A buffered, blocking byte connection over an I/O handler: lines, counted reads and reads
// until the peer closes, batched writes, and noticing the peer's close.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/events.h"
#include "http/buffers.h"
#include "http/component.h"
#include "http/io_handler.h"

namespace pogoda {

enum TNetMaxLineAction { maException, maSplit };

// Timeouts in milliseconds: kUseReadTimeout uses ReadTimeout, kNoTimeout waits without limit.
inline constexpr int kUseReadTimeout = -1;

class TNetTCPConnection : public TNetComponent {
    POGODA_CLASS_NAME(TNetTCPConnection)
public:
    explicit TNetTCPConnection(TComponent* owner);
    ~TNetTCPConnection() override;

    bool IsConnected();
    // Closes a socket whose peer was seen to close (reporting hsDisconnected), and raises
    // ENetConnClosedGracefully when closed and raiseIfClosed, unless bytes are still buffered
    // (ignoreBuffer: whatever is buffered).
    virtual void CheckPeerClosed(bool raiseIfClosed, bool ignoreBuffer);
    // A look, without waiting, for a close (or bytes) that has already arrived.
    void PollPeerClosed(bool raiseIfClosed);
    // Bytes added, 0, or -1 after a wait that expired.
    int FillInputBuffer(bool raiseIfClosed, int timeout, bool raiseOnTimeout);
    void ReadExact(void* buffer, int32_t n);
    std::string ReadLine(const std::string& terminator = "\n", int timeout = kUseReadTimeout,
                         int32_t maxLength = -1);
    // count -1 without untilClose reads a 4-byte length first.
    void ReadToStream(TStream& target, int32_t count, bool untilClose);
    int32_t ReadInt32(bool convert);

    void WriteBytes(const void* buffer, int32_t n, bool now);
    void WriteText(const std::string& text);
    void WriteLine(const std::string& text);
    void BeginWriteBatch(int32_t threshold);
    void EndWriteBatch();
    void FlushWriteBatch(int32_t count);
    void DiscardWriteBatch();
    void WriteFromStream(TStream& source, bool fromStart, int32_t size, bool prefixLength);
    void WriteInt32(int32_t value, bool convert);

    virtual void Disconnect();
    void CloseTransport();
    void ResetConnectionState();

    TNetIOHandler* IOHandler() const { return m_ioHandler; }
    // Installs a transport the connection does not own (nullptr: none).
    void SetIOHandler(TNetIOHandler* handler);
    TNetManagedBuffer& InputBuffer() { return m_inputBuffer; }

    bool ASCIIFilter = false;
    bool PeerClosed = false;
    TNetMaxLineAction MaxLineAction = maException;
    int32_t MaxLineLength = 16384;
    TNotifyEvent OnDisconnected;
    bool LineSplit = false;
    bool LineReadEmpty = false;
    int32_t ReadTimeout = 0;
    int32_t RecvBufferSize = 32768;
    int32_t SendBufferSize = 32768;

protected:
    virtual void NotifyDisconnected();
    // Creates and installs an owned socket I/O handler.
    TNetIOHandler* CreateOwnedIOHandler();
    bool OwnsIOHandler() const { return m_ownedIOHandler != nullptr; }

    void Notification(TComponent* component, TOperation operation) override;

private:
    TNetIOHandler* m_ioHandler = nullptr;
    std::unique_ptr<TNetIOHandlerSocket> m_ownedIOHandler;
    TNetManagedBuffer m_inputBuffer;
    TNetSimpleBuffer m_recvBlock;
    std::unique_ptr<TNetSimpleBuffer> m_writeBatch;
    int32_t m_writeBatchThreshold = 0;
};

class TNetTCPClient : public TNetTCPConnection {
    POGODA_CLASS_NAME(TNetTCPClient)
public:
    using TNetTCPConnection::TNetTCPConnection;

    virtual void Connect(int32_t timeout);

    const std::string& Host() const { return m_host; }
    virtual void SetHost(const std::string& host) { m_host = host; }
    int32_t Port() const { return m_port; }
    virtual void SetPort(int32_t port) { m_port = port; }

    std::string BoundIP;
    int32_t BoundPort = 0;
    int32_t BoundPortMax = 0;
    int32_t BoundPortMin = 0;
    TNotifyEvent OnConnected;

protected:
    virtual void NotifyConnected() { OnConnected(this); }

private:
    std::string m_host;
    int32_t m_port = 0;
};

}  // namespace pogoda
