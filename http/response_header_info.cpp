#include <limits>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "http/header_info.h"
#include "http/text_helpers.h"

namespace pogoda {

namespace {

// Strict: a bound that is not an unsigned 32-bit integer raises EConvertError.
uint32_t StrictRangeBound(const std::string& text) {
    const int64_t value = StrToInt64(text);
    if (value < 0 || value > std::numeric_limits<uint32_t>::max()) {
        throw EConvertError(Format(messages::kInvalidInteger, text));
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

TNetResponseHeaderInfo::TNetResponseHeaderInfo() { TNetResponseHeaderInfo::Clear(); }

void TNetResponseHeaderInfo::Clear() {
    Location.clear();
    Server.clear();
    TNetEntityHeaderInfo::Clear();
}

void TNetResponseHeaderInfo::ReadFromHeaders() {
    const TNetHeaderList& h = HeaderLines();
    Location = h.GetHeader("Location");
    Server = h.GetHeader("Server");
    ProxyConnection = h.GetHeader("Proxy-Connection");
    std::string range = h.GetHeader("Content-Range");
    if (!range.empty()) {
        TakeToken(range, " ");
        ContentRangeStart = StrictRangeBound(TakeToken(range, "-"));
        ContentRangeEnd = StrictRangeBound(TakeToken(range, "/"));
    }
    m_wwwAuthenticate.Clear();
    h.ExtractAll("WWW-Authenticate", &m_wwwAuthenticate);
    m_proxyAuthenticate.Clear();
    h.ExtractAll("Proxy-Authenticate", &m_proxyAuthenticate);
    ReadEntityHeaders();
}

}  // namespace pogoda
