#pragma once

// Byte buffers of the buffered connection.

#include <cstdint>
#include <string>

#include "framework/core/events.h"
#include "framework/core/streams.h"

namespace pogoda {

class TNetSimpleBuffer;
using TNetBufferRemovedEvent = TEvent<TNetSimpleBuffer* /*buffer*/, int32_t /*count*/>;

// A memory stream whose front can be taken away; RemovedNotify hears of every removal.
class TNetSimpleBuffer : public TMemoryStream {
    POGODA_CLASS_NAME(TNetSimpleBuffer)
public:
    // The first n bytes as text, removed from the buffer (ENetNotEnoughDataInBuffer when
    // fewer are held).
    virtual std::string ExtractText(int32_t n);
    virtual void RemoveFront(int32_t n);

    TNetBufferRemovedEvent RemovedNotify;
};

// Consumed bytes are skipped by an offset instead of being moved out on every removal;
// the block is compacted once PackThreshold bytes are consumed. Size and positions seen by
// users exclude the consumed prefix.
class TNetManagedBuffer : public TNetSimpleBuffer {
    POGODA_CLASS_NAME(TNetManagedBuffer)
public:
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t size) override;

    std::string ExtractText(int32_t n) override;
    void RemoveFront(int32_t n) override;
    // Appends at the end, whatever the position.
    void Append(const void* data, int64_t count);

    const uint8_t* UnreadData() { return Memory() + m_readOffset; }
    int32_t UnreadSize();
    void Compact();
    // Empties the buffer without a notification.
    void Clear();

    int32_t PackThreshold = 32768;
    int32_t ReadOffset() const { return m_readOffset; }

private:
    int32_t m_readOffset = 0;
};

}  // namespace pogoda
