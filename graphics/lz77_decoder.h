#pragma once

// A thin wrapper over zlib's inflate, fed a piece of compressed data at a time.

#include <cstdint>
#include <zlib.h>

#include "framework/core/exceptions.h"
#include "framework/core/object.h"

namespace pogoda {

POGODA_EXCEPTION(EGraphicCompression, EInvalidGraphic);

class TLZ77Decoder : public TObject {
    POGODA_CLASS_NAME(TLZ77Decoder)
public:
    TLZ77Decoder(int flushMode, bool autoReset);
    ~TLZ77Decoder() override;
    TLZ77Decoder(const TLZ77Decoder&) = delete;
    TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

    // Both raise EGraphicCompression "LZ77 decompression error." when zlib refuses.
    void StartInflate();
    void EndInflate();

    // Inflates from source (available bytes) into target (up to wanted bytes) and moves both
    // pointers past what was consumed and produced. Once the stream has ended or failed,
    // further calls inflate nothing. With no room for output (wanted 0) it still decodes what
    // comes before the next output byte; finding nothing of that kind is no failure.
    void InflateSome(const uint8_t*& source, uint8_t*& target, uint32_t wanted, uint32_t available);

    // The result of the last inflate call (Z_OK, Z_STREAM_END, or an error).
    int ZLibResult() const { return m_result; }
    uint32_t AvailableInput() const { return m_stream.avail_in; }
    uint32_t AvailableOutput() const { return m_stream.avail_out; }

private:
    z_stream m_stream{};
    int m_result = Z_OK;
    int m_flushMode;
    bool m_autoReset;
    bool m_started = false;
};

}  // namespace pogoda
