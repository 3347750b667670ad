#include "graphics/lz77_decoder.h"

namespace pogoda {

namespace {

[[noreturn]] void FailLZ77() { throw EGraphicCompression("LZ77 decompression error."); }

}  // namespace

TLZ77Decoder::TLZ77Decoder(int flushMode, bool autoReset)
    : m_flushMode(flushMode), m_autoReset(autoReset) {}

TLZ77Decoder::~TLZ77Decoder() {
    if (m_started) {
        inflateEnd(&m_stream);
    }
}

void TLZ77Decoder::StartInflate() {
    // Any zlib of the 1.x line accepts a caller built against 1.2.3.
    m_result = inflateInit_(&m_stream, "1.2.3", static_cast<int>(sizeof m_stream));
    if (m_result < 0) {
        FailLZ77();
    }
    m_started = true;
}

void TLZ77Decoder::EndInflate() {
    if (!m_started) {
        return;
    }
    m_started = false;
    if (inflateEnd(&m_stream) < 0) {
        FailLZ77();
    }
}

void TLZ77Decoder::InflateSome(const uint8_t*& source, uint8_t*& target, uint32_t wanted,
                               uint32_t available) {
    m_stream.next_in = const_cast<Bytef*>(source);
    m_stream.avail_in = available;
    if (m_autoReset) {
        m_result = inflateReset(&m_stream);
    }
    if (m_result != Z_OK) {
        return;
    }
    m_stream.next_out = target;
    m_stream.avail_out = wanted;
    m_result = inflate(&m_stream, m_flushMode);
    if (m_result == Z_BUF_ERROR && wanted == 0) {
        m_result = Z_OK;
    }
    source += available - m_stream.avail_in;
    target += wanted - m_stream.avail_out;
}

}  // namespace pogoda
