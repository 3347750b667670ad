#include "http/buffers.h"

#include <cstring>

#include "http/socket_exceptions.h"

namespace pogoda {
namespace {

[[noreturn]] void NotEnoughData() { throw ENetNotEnoughDataInBuffer(messages::kNotEnoughData); }

}  // namespace

std::string TNetSimpleBuffer::ExtractText(int32_t n) {
    if (n < 0 || n > Size()) NotEnoughData();
    std::string text(reinterpret_cast<const char*>(Memory()), static_cast<size_t>(n));
    RemoveFront(n);
    return text;
}

void TNetSimpleBuffer::RemoveFront(int32_t n) {
    const int64_t size = Size();
    if (n < 0 || n > size) NotEnoughData();
    if (n == size) {
        TMemoryStream::Clear();
    } else {
        std::memmove(Memory(), Memory() + n, static_cast<size_t>(size - n));
        TMemoryStream::SetSize(size - n);
        TMemoryStream::Seek(0, soBeginning);
    }
    RemovedNotify(this, n);
}

int32_t TNetManagedBuffer::UnreadSize() {
    return static_cast<int32_t>(TMemoryStream::Size() - m_readOffset);
}

int64_t TNetManagedBuffer::Size() { return UnreadSize(); }

int64_t TNetManagedBuffer::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t target = origin == soBeginning ? m_readOffset + offset : offset;
    return TMemoryStream::Seek(target, origin) - m_readOffset;
}

int64_t TNetManagedBuffer::Read(void* buffer, int64_t count) {
    if (TMemoryStream::Seek(0, soCurrent) < m_readOffset) {
        TMemoryStream::Seek(m_readOffset, soBeginning);
    }
    return TMemoryStream::Read(buffer, count);
}

int64_t TNetManagedBuffer::Write(const void* buffer, int64_t count) {
    if (TMemoryStream::Seek(0, soCurrent) < m_readOffset) {
        TMemoryStream::Seek(m_readOffset, soBeginning);
    }
    return TMemoryStream::Write(buffer, count);
}

void TNetManagedBuffer::SetSize(int64_t size) { TMemoryStream::SetSize(m_readOffset + size); }

void TNetManagedBuffer::Append(const void* data, int64_t count) {
    TMemoryStream::Seek(0, soEnd);
    TMemoryStream::WriteBuffer(data, count);
}

std::string TNetManagedBuffer::ExtractText(int32_t n) {
    if (n < 0 || n > UnreadSize()) NotEnoughData();
    std::string text(reinterpret_cast<const char*>(UnreadData()), static_cast<size_t>(n));
    RemoveFront(n);
    return text;
}

void TNetManagedBuffer::RemoveFront(int32_t n) {
    if (n < 0 || n > UnreadSize()) NotEnoughData();
    if (n == UnreadSize()) {
        Clear();
    } else {
        m_readOffset += n;
        if (m_readOffset >= PackThreshold) Compact();
    }
    RemovedNotify(this, n);
}

void TNetManagedBuffer::Compact() {
    const int32_t unread = UnreadSize();
    if (m_readOffset == 0) return;
    std::memmove(Memory(), Memory() + m_readOffset, static_cast<size_t>(unread));
    m_readOffset = 0;
    TMemoryStream::SetSize(unread);
    TMemoryStream::Seek(0, soEnd);
}

void TNetManagedBuffer::Clear() {
    TMemoryStream::SetSize(0);
    TMemoryStream::Seek(0, soBeginning);
    m_readOffset = 0;
}

}  // namespace pogoda
