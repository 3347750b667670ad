// httpget [--quiet] [--body-dir DIR] URL [URL ...]
// Fetches each URL in turn with one client set up as the main window stores it, and prints
// what happens: statuses, work events, and the outcome of each fetch.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "framework/core/streams.h"
#include "framework/core/text.h"
#include "http/http_client.h"
#include "http/http_exceptions.h"
#include "tools/httpget/crc32.h"

namespace pogoda {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 32) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned>(c));
            out += hex;
        }
        else out += ch;
    }
    return out;
}

const char* ModeName(TWorkMode mode) { return mode == wmRead ? "read" : "write"; }

int Run(int argc, char** argv) {
    bool quiet = false;
    std::string bodyDir;
    std::vector<std::string> urls;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--body-dir" && i + 1 < argc) {
            bodyDir = argv[++i];
        } else {
            urls.push_back(arg);
        }
    }
    if (urls.empty()) {
        std::fputs("usage: httpget [--quiet] [--body-dir DIR] URL [URL ...]\n", stderr);
        return 2;
    }
    TNetHTTP http(nullptr);
    http.MaxLineAction = maException;
    http.ReadTimeout = 0;
    http.AllowCookies = true;
    http.ProxyParams().BasicAuthentication = false;
    http.ProxyParams().SetProxyPort(0);
    http.Request().SetContentLength(-1);
    http.Request().ContentRangeEnd = 0;
    http.Request().ContentRangeStart = 0;
    http.Request().ContentType = "text/html";
    http.Request().Accept = "text/html, */*";
    http.Request().BasicAuthentication = false;
    http.Request().UserAgent = "Mozilla/3.0 (compatible; Net Library)";
    http.HTTPOptions = hoForceEncodeParams;
    if (!quiet) {
        http.OnStatus = [](TObject*, TNetStatus status, const std::string& text) {
            std::printf("status %s %s\n", NetStatusName(status), Escape(text).c_str());
        };
        http.OnWorkBegin = [](TObject*, TWorkMode mode, int32_t max) {
            std::printf("workbegin %s %d\n", ModeName(mode), static_cast<int>(max));
        };
        http.OnWork = [](TObject*, TWorkMode mode, int32_t count) {
            std::printf("work %s %d\n", ModeName(mode), static_cast<int>(count));
        };
        http.OnWorkEnd = [](TObject*, TWorkMode mode) {
            std::printf("workend %s\n", ModeName(mode));
        };
    }
    bool allOk = true;
    for (size_t i = 0; i < urls.size(); ++i) {
        std::printf("get %s\n", urls[i].c_str());
        TMemoryStream body;
        try {
            http.Get(urls[i], &body);
            std::printf("ok %lld %08x\n", static_cast<long long>(body.Size()),
                        Crc32(body.Memory(), body.Size()));
        } catch (const ENetHTTPProtocolException& e) {
            allOk = false;
            std::printf("error %s %s\n", e.ClassName(), Escape(e.Message()).c_str());
            std::printf("reply %d %zu\n", static_cast<int>(e.ReplyCode), e.ErrorBody.size());
        } catch (const Exception& e) {
            allOk = false;
            std::printf("error %s %s\n", e.ClassName(), Escape(e.Message()).c_str());
        }
        if (!bodyDir.empty()) {
            try {
                body.SaveToFile(bodyDir + "/" + std::to_string(i + 1) + ".bin");
            } catch (const Exception& e) {
                std::fprintf(stderr, "httpget: %s\n", e.Message().c_str());
                allOk = false;
            }
        }
        std::fflush(stdout);
    }
    return allOk ? 0 : 1;
}

}  // namespace
}  // namespace pogoda

int main(int argc, char** argv) {
    try {
        return pogoda::Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "httpget: %s\n", e.what());
        return 1;
    }
}
