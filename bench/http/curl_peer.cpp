// curl_peer URL [URL ...]: the benchmark's peer. Fetches each URL in turn on one handle (one
// kept connection) into a memory buffer pre-sized from Content-Length, and prints the lines
// httpget --quiet prints ("get URL", "ok SIZE CRC") with the same CRC-32 code.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <strings.h>
#include <vector>

#include "tools/httpget/crc32.h"

namespace {

struct TBody {
    std::vector<unsigned char> data;  // capacity pre-sized; size is what arrived
};

size_t OnHeader(char* line, size_t size, size_t count, void* user) {
    const size_t n = size * count;
    static constexpr char kName[] = "content-length:";
    if (n > sizeof kName - 1 && strncasecmp(line, kName, sizeof kName - 1) == 0) {
        static_cast<TBody*>(user)->data.reserve(
            std::strtoull(line + sizeof kName - 1, nullptr, 10));
    }
    return n;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto& body = static_cast<TBody*>(user)->data;
    const size_t n = size * count;
    body.insert(body.end(), data, data + n);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: curl_peer URL [URL ...]\n", stderr);
        return 2;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    CURL* handle = curl_easy_init();
    TBody body;
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &body);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        body.data.clear();
        std::printf("get %s\n", argv[i]);
        curl_easy_setopt(handle, CURLOPT_URL, argv[i]);
        const CURLcode r = curl_easy_perform(handle);
        if (r != CURLE_OK) {
            std::printf("error %s\n", curl_easy_strerror(r));
            status = 1;
            continue;
        }
        std::printf("ok %zu %08x\n", body.data.size(),
                    static_cast<unsigned>(
                        pogoda::Crc32(body.data.data(), static_cast<int64_t>(body.data.size()))));
    }
    curl_easy_cleanup(handle);
    curl_global_cleanup();
    return status;
}
