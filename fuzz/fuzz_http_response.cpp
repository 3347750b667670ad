// Arbitrary bytes as the server's answer to two Gets on one client, through an in-memory
// transport that hands them out in uneven slices: status lines, header blocks, every body
// framing, kept connections and what a first answer leaves behind for the second.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "http/http_client.h"
#include "http/io_handler.h"

using namespace pogoda;

namespace {

// The peer: the input once, then a close. A reconnect gets the close at once.
class TMemoryTransport : public TNetIOHandler {
    POGODA_CLASS_NAME(TMemoryTransport)
public:
    TMemoryTransport(const uint8_t* data, size_t size)
        : TNetIOHandler(nullptr), m_data(data), m_size(size) {}

    void Close() override { m_open = false; }
    void ConnectTo(const std::string&, int32_t, const std::string&, int32_t, int32_t, int32_t,
                   int32_t) override {
        m_open = true;
    }
    bool HasOpenSocket() override { return m_open; }
    // Bytes or the close are always ready.
    bool WaitReadable(int) override { return true; }
    int Receive(void* buffer, int length) override {
        static constexpr size_t kSlices[] = {1, 7, 2, 64, 3, 4096, 5, 100000};
        const size_t slice = kSlices[m_receives++ % std::size(kSlices)];
        const size_t n = std::min({slice, m_size - m_position, static_cast<size_t>(length)});
        std::memcpy(buffer, m_data + m_position, n);
        m_position += n;
        return static_cast<int>(n);
    }
    int Send(const void*, int length) override { return length; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
    size_t m_receives = 0;
    bool m_open = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryTransport transport(data, size);
    TNetHTTP http(nullptr);
    http.SetIOHandler(&transport);
    for (int i = 0; i < 2; ++i) {
        TMemoryStream body;
        try {
            http.Get("http://informer.example/tobolsk/4.png", &body);
        } catch (const Exception&) {
            // Every failure must be one of the client's exceptions; anything else escapes.
        }
    }
    return 0;
}
