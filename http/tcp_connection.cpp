#include "http/tcp_connection.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <vector>

#include "http/anti_freeze.h"
#include "http/socket_exceptions.h"
#include "http/stack.h"

namespace pogoda {
namespace {

// A counted read grows a memory target once to its final size, but never reserves more
// than this up front: the count comes from the peer.
constexpr int64_t kMaxPresize = 64 * 1024 * 1024;

void Presize(TStream& target, int64_t size) {
    if (auto* memory = dynamic_cast<TMemoryStream*>(&target)) {
        memory->SetCapacity(std::min(size, memory->Position() + kMaxPresize));
    } else {
        const int64_t position = target.Position();
        target.SetSize(size);
        target.SetPosition(position);
    }
}

uint32_t SwapBytes(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

}  // namespace

TNetTCPConnection::TNetTCPConnection(TComponent* owner) : TNetComponent(owner) {
    m_inputBuffer.RemovedNotify = [this](TNetSimpleBuffer*, int32_t n) {
        WorkProgress(wmRead, n);
    };
}

TNetTCPConnection::~TNetTCPConnection() {
    try {
        CloseTransport();
    } catch (...) {
        // Closing a socket does not fail; nothing may escape a destructor.
    }
    if (m_ioHandler != nullptr && !OwnsIOHandler()) m_ioHandler->RemoveFreeNotification(this);
}

void TNetTCPConnection::SetIOHandler(TNetIOHandler* handler) {
    if (m_ioHandler != nullptr && !OwnsIOHandler()) m_ioHandler->RemoveFreeNotification(this);
    m_ownedIOHandler.reset();
    m_ioHandler = handler;
    if (handler != nullptr) handler->FreeNotification(this);
}

void TNetTCPConnection::Notification(TComponent* component, TOperation operation) {
    TNetComponent::Notification(component, operation);
    if (operation == opRemove && component == m_ioHandler) m_ioHandler = nullptr;
}

TNetIOHandler* TNetTCPConnection::CreateOwnedIOHandler() {
    SetIOHandler(nullptr);
    m_ownedIOHandler = std::make_unique<TNetIOHandlerSocket>(nullptr);
    m_ioHandler = m_ownedIOHandler.get();
    return m_ioHandler;
}

bool TNetTCPConnection::IsConnected() {
    CheckPeerClosed(false, false);
    return m_ioHandler != nullptr && m_ioHandler->HasOpenSocket();
}

void TNetTCPConnection::CheckPeerClosed(bool raiseIfClosed, bool ignoreBuffer) {
    bool closed = false;
    if (PeerClosed || m_ioHandler == nullptr) {
        if (m_ioHandler != nullptr) {
            closed = true;
            if (m_ioHandler->HasOpenSocket()) {
                CloseTransport();
                ReportStatus(hsDisconnected);
                NotifyDisconnected();
            }
        }
    } else {
        closed = !m_ioHandler->HasOpenSocket();
    }
    if (closed && (m_inputBuffer.UnreadSize() == 0 || ignoreBuffer) && raiseIfClosed) {
        throw ENetConnClosedGracefully(messages::kConnClosedGracefully);
    }
}

void TNetTCPConnection::PollPeerClosed(bool raiseIfClosed) {
    // A look without waiting sees a close that has arrived as well as a 1 ms wait does, and
    // a 1 ms wait costs a whole millisecond (on Windows a timer tick) per request on a kept
    // connection, most of a small GET's time.
    FillInputBuffer(raiseIfClosed, 0, false);
}

int TNetTCPConnection::FillInputBuffer(bool raiseIfClosed, int timeout, bool raiseOnTimeout) {
    if (timeout == kUseReadTimeout) timeout = ReadTimeout == 0 ? kNoTimeout : ReadTimeout;
    CheckPeerClosed(raiseIfClosed, false);
    if (!IsConnected()) {
        if (raiseIfClosed) throw ENetNotConnected(messages::kNotConnected);
        return 0;
    }
    int r = 0;
    do {
        if (!m_ioHandler->WaitReadable(timeout)) {
            if (raiseOnTimeout) throw ENetReadTimeout(messages::kReadTimeout);
            return -1;
        }
        // A handler run by the anti-freeze during the wait may have closed the connection.
        if (m_ioHandler == nullptr) {
            if (raiseIfClosed) throw ENetNotConnected(messages::kNotConnected);
            r = 0;
        } else {
            m_recvBlock.SetSize(RecvBufferSize);
            r = m_ioHandler->Receive(m_recvBlock.Memory(), RecvBufferSize);
        }
        PeerClosed = r == 0;
        if (r == -1) {
            GStack->CheckSocketResult(r, {kErrShutdown, kErrConnectionAborted});
            r = 0;
            CloseTransport();
            if (m_inputBuffer.UnreadSize() == 0) GStack->RaiseSocketFailure(GStack->LastSocketError);
        }
        if (r > 0) {
            uint8_t* data = m_recvBlock.Memory();
            if (ASCIIFilter) {
                for (int i = 0; i < r; ++i) data[i] &= 0x7F;
            }
            m_inputBuffer.Append(data, r);
        }
        CheckPeerClosed(raiseIfClosed, false);
    } while (r == 0 && IsConnected());
    return r;
}

void TNetTCPConnection::ReadExact(void* buffer, int32_t n) {
    if (n <= 0) return;
    while (m_inputBuffer.UnreadSize() < n) {
        FillInputBuffer(true, kUseReadTimeout, true);
        CheckPeerClosed(true, true);
    }
    std::memcpy(buffer, m_inputBuffer.UnreadData(), static_cast<size_t>(n));
    m_inputBuffer.RemoveFront(n);
}

std::string TNetTCPConnection::ReadLine(const std::string& terminatorIn, int timeout,
                                        int32_t maxLength) {
    if (maxLength == -1) maxLength = MaxLineLength;
    const std::string terminator = terminatorIn.empty() ? std::string("\n") : terminatorIn;
    LineSplit = false;
    LineReadEmpty = false;
    int64_t found = 0;  // 1-based position of the terminator in the unread data, 0: none
    int64_t scanned = 0;
    for (;;) {
        const int64_t n = m_inputBuffer.UnreadSize();
        if (n > 0 && found == 0) {
            // Resume where the last search ended; step back so a terminator split across two
            // fills is still found.
            const int64_t from = std::max<int64_t>(0, scanned - int64_t(terminator.size()) + 1);
            const std::string_view data(reinterpret_cast<const char*>(m_inputBuffer.UnreadData()),
                                        static_cast<size_t>(n));
            const size_t at = data.find(terminator, static_cast<size_t>(from));
            found = at == std::string_view::npos ? 0 : int64_t(at) + 1;
            scanned = n;
        }
        if ((maxLength != 0 && found - 1 > maxLength) ||
            (found == 0 && maxLength != 0 && scanned > maxLength)) {
            if (MaxLineAction == maException) {
                throw ENetReadLnMaxLineLengthExceeded(messages::kMaxLineLengthExceeded);
            }
            LineSplit = true;
            return m_inputBuffer.ExtractText(maxLength);
        }
        if (found == 0) {
            CheckPeerClosed(true, true);
            const int r = FillInputBuffer(true, timeout, timeout == kUseReadTimeout);
            if (r == 0) {
                LineReadEmpty = true;
                return std::string();
            }
            continue;
        }
        std::string line = m_inputBuffer.ExtractText(
            static_cast<int32_t>(found - 1 + int64_t(terminator.size())));
        line.resize(line.size() - terminator.size());
        if (terminator == "\n" && !line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }
}

void TNetTCPConnection::ReadToStream(TStream& target, int32_t count, bool untilClose) {
    if (count == -1 && !untilClose) count = ReadInt32(true);
    if (count >= 0) Presize(target, target.Position() + count);
    // Trims a pre-sized target to what was written, also after a failure.
    struct Trim {
        TStream& target;
        ~Trim() {
            try {
                if (target.Size() > target.Position()) target.SetSize(target.Position());
            } catch (...) {
            }
        }
    } trim{target};
    int32_t remaining = untilClose ? std::numeric_limits<int32_t>::max() : std::max(count, 0);
    TNetWorkScope run(*this, wmRead, untilClose ? 0 : remaining);
    const int32_t buffered = std::min(m_inputBuffer.UnreadSize(), remaining);
    if (buffered > 0) {
        target.WriteBuffer(m_inputBuffer.UnreadData(), buffered);
        m_inputBuffer.RemoveFront(buffered);
        remaining -= buffered;
    }
    const int32_t block = std::min(remaining, RecvBufferSize);
    std::vector<uint8_t> blockBuffer(static_cast<size_t>(std::max(block, 0)));
    while (remaining > 0 && IsConnected()) {
        int32_t n = std::min(remaining, block);
        try {
            ReadExact(blockBuffer.data(), n);
        } catch (const ENetConnClosedGracefully&) {
            if (!untilClose) throw;
            n = std::min(m_inputBuffer.UnreadSize(), n);
            std::memcpy(blockBuffer.data(), m_inputBuffer.UnreadData(), static_cast<size_t>(n));
            m_inputBuffer.Clear();
        }
        if (n > 0) {
            target.WriteBuffer(blockBuffer.data(), n);
            remaining -= n;
        }
    }
}

int32_t TNetTCPConnection::ReadInt32(bool convert) {
    uint32_t v = 0;
    ReadExact(&v, 4);
    if (convert && std::endian::native == std::endian::little) v = SwapBytes(v);
    return static_cast<int32_t>(v);
}

void TNetTCPConnection::WriteBytes(const void* buffer, int32_t n, bool now) {
    if (n <= 0) return;
    CheckPeerClosed(true, true);
    if (!IsConnected()) throw ENetNotConnected(messages::kNotConnected);
    if (m_writeBatch && !now) {
        m_writeBatch->Seek(0, soEnd);
        m_writeBatch->WriteBuffer(buffer, n);
        if (m_writeBatchThreshold > 0 && m_writeBatch->Size() >= m_writeBatchThreshold) {
            FlushWriteBatch(m_writeBatchThreshold);
        }
        return;
    }
    const std::vector<uint8_t> copy(static_cast<const uint8_t*>(buffer),
                                    static_cast<const uint8_t*>(buffer) + n);
    for (int32_t pos = 0; pos < n;) {
        if (m_ioHandler == nullptr) throw ENetNotConnected(messages::kNotConnected);
        const int s = m_ioHandler->Send(copy.data() + pos, n - pos);
        TNetAntiFreezeBase::AntiFreezeStep(false, false);
        PeerClosed = s == 0;
        CheckPeerClosed(true, false);
        if (s == -1) {
            GStack->CheckSocketResult(
                s, {kErrShutdown, kErrConnectionAborted, kErrConnectionReset});
            CloseTransport();
            GStack->RaiseSocketFailure(GStack->LastSocketError);
        }
        WorkProgress(wmWrite, s);
        pos += s;
    }
}

void TNetTCPConnection::WriteText(const std::string& text) {
    if (!text.empty()) WriteBytes(text.data(), static_cast<int32_t>(text.size()), false);
}

void TNetTCPConnection::WriteLine(const std::string& text) { WriteText(text + "\r\n"); }

void TNetTCPConnection::BeginWriteBatch(int32_t threshold) {
    m_writeBatch = std::make_unique<TNetSimpleBuffer>();
    m_writeBatchThreshold = threshold;
}

void TNetTCPConnection::EndWriteBatch() {
    // The batch goes away also when the send fails.
    struct Free {
        std::unique_ptr<TNetSimpleBuffer>& batch;
        ~Free() { batch.reset(); }
    } free{m_writeBatch};
    FlushWriteBatch(-1);
}

void TNetTCPConnection::FlushWriteBatch(int32_t count) {
    if (!m_writeBatch || m_writeBatch->Size() == 0) return;
    const auto size = static_cast<int32_t>(m_writeBatch->Size());
    if (count != -1 && size >= count) {
        WriteBytes(m_writeBatch->Memory(), count, true);
        m_writeBatch->RemoveFront(count);
    } else {
        WriteBytes(m_writeBatch->Memory(), size, true);
        m_writeBatch->Clear();
    }
}

void TNetTCPConnection::DiscardWriteBatch() {
    if (m_writeBatch) m_writeBatch->Clear();
}

void TNetTCPConnection::WriteFromStream(TStream& source, bool fromStart, int32_t size,
                                        bool prefixLength) {
    if (fromStart) source.SetPosition(0);
    const int64_t end = size == 0 ? source.Size() : source.Position() + size;
    const int64_t total = end - source.Position();
    if (total > std::numeric_limits<int32_t>::max()) {
        throw ENetException("Stream too large to send.");
    }
    if (prefixLength) WriteInt32(static_cast<int32_t>(total), true);
    TNetWorkScope run(*this, wmWrite, static_cast<int32_t>(total));
    std::vector<uint8_t> block(static_cast<size_t>(std::max(SendBufferSize, 1)));
    for (;;) {
        const auto n = static_cast<int32_t>(
            std::min<int64_t>(end - source.Position(), SendBufferSize));
        if (n <= 0) break;
        const auto got = static_cast<int32_t>(source.Read(block.data(), n));
        if (got == 0) throw ENetNoDataToRead(messages::kNoDataToRead);
        WriteBytes(block.data(), got, false);
    }
}

void TNetTCPConnection::WriteInt32(int32_t value, bool convert) {
    auto v = static_cast<uint32_t>(value);
    if (convert && std::endian::native == std::endian::little) v = SwapBytes(v);
    WriteBytes(&v, 4, false);
}

void TNetTCPConnection::Disconnect() {
    ReportStatus(hsDisconnecting);
    CloseTransport();
    if (OwnsIOHandler()) {
        m_ownedIOHandler.reset();
        m_ioHandler = nullptr;
    }
    NotifyDisconnected();
    ReportStatus(hsDisconnected);
}

void TNetTCPConnection::CloseTransport() {
    if (m_ioHandler == nullptr) return;
    PeerClosed = true;
    m_ioHandler->Close();
}

void TNetTCPConnection::ResetConnectionState() {
    m_inputBuffer.Clear();
    PeerClosed = false;
}

void TNetTCPConnection::NotifyDisconnected() { OnDisconnected(this); }

void TNetTCPClient::Connect(int32_t timeout) {
    if (IOHandler() == nullptr) {
        CreateOwnedIOHandler()->OnStatus = OnStatus;
    } else if (IOHandler()->HasOpenSocket()) {
        throw ENetAlreadyConnected(messages::kAlreadyConnected);
    }
    try {
        IOHandler()->Open();
        ResetConnectionState();
        IOHandler()->ConnectTo(m_host, m_port, BoundIP, BoundPort, BoundPortMin, BoundPortMax,
                               timeout);
        ReportStatus(hsConnected, m_host);
        NotifyConnected();
    } catch (...) {
        CloseTransport();
        throw;
    }
}

}  // namespace pogoda
