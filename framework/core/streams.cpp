#include "framework/core/streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "framework/core/exceptions.h"

namespace pogoda {

int64_t TStream::Size() {
    const int64_t position = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(messages::kReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(messages::kWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    constexpr int64_t kChunk = 64 * 1024;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(std::min(count, kChunk))]);
    int64_t left = count;
    while (left > 0) {
        const int64_t n = std::min(left, kChunk);
        source.ReadBuffer(buffer.get(), n);
        WriteBuffer(buffer.get(), n);
        left -= n;
    }
    return count;
}

void TMemoryStream::FreeDeleter::operator()(uint8_t* p) const { std::free(p); }

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || m_position >= m_size) return 0;
    const int64_t n = std::min(count, m_size - m_position);
    std::memcpy(buffer, m_data.get() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0 || m_position < 0) return 0;
    const int64_t end = m_position + count;
    if (end > m_capacity) {
        // Grow by half again at least, so that many small writes stay linear.
        SetCapacity(std::max(end, m_capacity + m_capacity / 2));
    }
    if (m_position > m_size) {
        std::memset(m_data.get() + m_size, 0, static_cast<size_t>(m_position - m_size));
    }
    std::memcpy(m_data.get() + m_position, buffer, static_cast<size_t>(count));
    m_position = end;
    if (end > m_size) m_size = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    switch (origin) {
        case soBeginning: m_position = offset; break;
        case soCurrent: m_position += offset; break;
        case soEnd: m_position = m_size + offset; break;
    }
    return m_position;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) size = 0;
    if (size > m_capacity) SetCapacity(size);
    if (size > m_size) std::memset(m_data.get() + m_size, 0, static_cast<size_t>(size - m_size));
    m_size = size;
    if (m_position > size) m_position = size;
}

void TMemoryStream::SetCapacity(int64_t capacity) {
    if (capacity <= m_capacity) return;
    if (static_cast<uint64_t>(capacity) > SIZE_MAX / 2) throw EOutOfMemory(messages::kOutOfMemory);
    void* grown = std::realloc(m_data.get(), static_cast<size_t>(capacity));
    if (grown == nullptr) throw EOutOfMemory(messages::kOutOfMemory);
    m_data.release();
    m_data.reset(static_cast<uint8_t*>(grown));
    m_capacity = capacity;
}

void TMemoryStream::Clear() {
    m_data.reset();
    m_capacity = m_size = m_position = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t size = source.Size();
    SetSize(size);
    if (size != 0) source.ReadBuffer(m_data.get(), size);
    m_position = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) const {
    if (m_size != 0) dest.WriteBuffer(m_data.get(), m_size);
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    SaveToStream(file);
}

}  // namespace pogoda
