#pragma once

// Base64 encoding (the MIME alphabet, "=" padding, no line breaks).

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/component.h"
#include "framework/core/streams.h"

namespace pogoda {

// A read-only stream over bytes it does not own; writing stores nothing.
class TNetReadMemoryStream : public TStream {
    POGODA_CLASS_NAME(TNetReadMemoryStream)
public:
    explicit TNetReadMemoryStream(std::string_view bytes) : m_bytes(bytes) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t) override {}

private:
    std::string_view m_bytes;
    int64_t m_position = 0;
};

class TNetEncoder : public TComponent {
    POGODA_CLASS_NAME(TNetEncoder)
public:
    explicit TNetEncoder(TComponent* owner = nullptr) : TComponent(owner) {}
    // Encodes bytes bytes from the stream's position, or to its end when bytes is -1.
    virtual std::string Encode(TStream& source, int64_t bytes = -1) = 0;
};

class TNetEncoder3to4 : public TNetEncoder {
    POGODA_CLASS_NAME(TNetEncoder3to4)
public:
    using TNetEncoder::TNetEncoder;

    const std::string& CodingTable() const { return m_codingTable; }
    void SetCodingTable(std::string value) { m_codingTable = std::move(value); }
    char FillChar() const { return m_fillChar; }
    void SetFillChar(char value) { m_fillChar = value; }

    // An explicit count that is not a multiple of 3 raises ENetException.
    std::string Encode(TStream& source, int64_t bytes = -1) override;

private:
    std::string m_codingTable;
    char m_fillChar = '=';
};

class TNetEncoderMIME : public TNetEncoder3to4 {
    POGODA_CLASS_NAME(TNetEncoderMIME)
public:
    explicit TNetEncoderMIME(TComponent* owner = nullptr);
};

// Encodes all bytes of text with a fresh encoder of class Encoder.
template <class Encoder>
std::string EncodeText(std::string_view text) {
    Encoder encoder;
    TNetReadMemoryStream stream(text);
    return encoder.Encode(stream);
}

}  // namespace pogoda
