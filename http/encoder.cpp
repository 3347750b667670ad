#include "http/encoder.h"

#include <algorithm>
#include <cstring>

#include "http/exceptions.h"

namespace pogoda {

int64_t TNetReadMemoryStream::Read(void* buffer, int64_t count) {
    const auto size = static_cast<int64_t>(m_bytes.size());
    const int64_t n = std::clamp<int64_t>(size - m_position, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t TNetReadMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const auto size = static_cast<int64_t>(m_bytes.size());
    const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? m_position : size;
    m_position = std::clamp<int64_t>(base + offset, 0, size);
    return m_position;
}

std::string TNetEncoder3to4::Encode(TStream& source, int64_t bytes) {
    if (bytes != -1 && bytes % 3 != 0) throw ENetException(messages::kUnevenSizeInEncode);
    const int64_t available = std::max<int64_t>(source.Size() - source.Position(), 0);
    const int64_t count = bytes == -1 ? available : std::min(bytes, available);

    std::string input(static_cast<size_t>(count), '\0');
    source.ReadBuffer(input.data(), count);
    std::string output;
    output.reserve((input.size() + 2) / 3 * 4);
    for (size_t i = 0; i < input.size(); i += 3) {
        const size_t n = std::min<size_t>(3, input.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            group = group << 8 | (k < n ? static_cast<unsigned char>(input[i + k]) : 0u);
        }
        for (size_t k = 0; k < 4; ++k) {
            output += k <= n ? m_codingTable[group >> (18 - 6 * k) & 0x3F] : m_fillChar;
        }
    }
    return output;
}

TNetEncoderMIME::TNetEncoderMIME(TComponent* owner) : TNetEncoder3to4(owner) {
    SetCodingTable("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    SetFillChar('=');
}

}  // namespace pogoda
