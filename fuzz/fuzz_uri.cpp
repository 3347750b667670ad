// URL parsing, composing and path merging on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "http/exceptions.h"
#include "http/uri.h"

using namespace pogoda;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TNetURI uri(text);
    if (uri.Document.find('/') != std::string::npos) __builtin_trap();
    if (uri.Username.empty() && !uri.Password.empty()) __builtin_trap();
    try {
        const std::string composed = uri.Compose(WithCredentials | WithFragment);
        if (uri.Protocol.empty() || uri.Host.empty()) __builtin_trap();
        uri.ComposePlain();
    } catch (const ENetURIException&) {
        if (!uri.Protocol.empty() && !uri.Host.empty()) __builtin_trap();
    }

    // The text up to the first newline is the base, the rest the path.
    const size_t split = text.find('\n');
    const std::string base = text.substr(0, split);
    const std::string path = split == std::string::npos ? "" : text.substr(split + 1);
    const std::string merged = MergePath(base, path);
    if (!path.starts_with('/') && merged.find("//") != std::string::npos) __builtin_trap();
    return 0;
}
