// The cookie store fed arbitrary "Set-cookie" and "Set-cookie2" values, asked for headers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "framework/core/string_list.h"
#include "http/cookies.h"
#include "http/internet_date.h"

using namespace pogoda;

namespace {

std::optional<int32_t> FixedZone() { return -360; }

const char* const kHosts[] = {"informer.example", "www.example.ru", "10.0.0.1", ".example.ru", ""};
const char* const kUrls[] = {"http://informer.example/tobolsk/4.png", "http://www.example.ru/",
                             "http://10.0.0.1/a/b", "http://h/"};

}  // namespace

// Each line: a selector byte (kind, host, when to build a header), then the header value.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetTimeZoneBiasSource(FixedZone);
    TStringList lines;
    lines.SetText(std::string(reinterpret_cast<const char*>(data), size));
    TNetCookieManager store(nullptr);
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Strings(i);
        if (line.empty()) continue;
        const auto selector = static_cast<unsigned char>(line[0]);
        const std::string value = line.substr(1);
        const std::string host = kHosts[selector % std::size(kHosts)];
        if (selector & 0x80) {
            store.StoreSetCookie2(value, host);
        } else {
            store.StoreSetCookie(value, host);
        }
        if (selector & 0x40) {
            const std::string header =
                store.BuildCookieHeader(TNetURI(kUrls[(selector >> 3) % std::size(kUrls)]), selector & 0x20);
            if (!header.empty() && header.find('=') == std::string::npos) __builtin_trap();
        }
    }
    store.BuildCookieHeader(TNetURI(kUrls[0]), false);
    return 0;
}
