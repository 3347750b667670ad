#include <limits>

#include "framework/core/text.h"
#include "http/header_info.h"
#include "http/internet_date.h"
#include "http/text_helpers.h"

namespace pogoda {

namespace {

constexpr const char* kDefaultUserAgent = "Mozilla/3.0 (compatible; Net Library)";

uint32_t RangeBoundOrZero(const std::string& text) {
    int64_t value = 0;
    if (!TryStrToInt64(text, value) || value < 0 || value > std::numeric_limits<uint32_t>::max()) {
        return 0;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

TNetRequestHeaderInfo::TNetRequestHeaderInfo() { TNetRequestHeaderInfo::Clear(); }

TNetRequestHeaderInfo::~TNetRequestHeaderInfo() = default;

void TNetRequestHeaderInfo::SetAuthenticator(std::unique_ptr<TNetAuthentication> value) {
    m_authenticator = std::move(value);
}

void TNetRequestHeaderInfo::Clear() {
    Accept = "text/html, */*";
    AcceptCharSet.clear();
    UserAgent = kDefaultUserAgent;
    BasicAuthentication = false;
    TNetEntityHeaderInfo::Clear();
}

void TNetRequestHeaderInfo::WriteToHeaders() {
    WriteEntityHeaders();
    TNetHeaderList& h = HeaderLines();
    const auto setIfAny = [&h](std::string_view name, const std::string& value) {
        if (!value.empty()) h.SetHeader(name, value);
    };
    setIfAny("Proxy-Connection", ProxyConnection);
    setIfAny("Host", Host);
    setIfAny("Accept", Accept);
    setIfAny("Accept-Charset", AcceptCharSet);
    setIfAny("Accept-Encoding", AcceptEncoding);
    setIfAny("Accept-Language", AcceptLanguage);
    setIfAny("From", From);
    setIfAny("Referer", Referer);
    setIfAny("User-Agent", UserAgent);
    if (LastModified > 0) h.SetHeader("If-Modified-Since", FormatInternetDate(LastModified));
    if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
        std::string range = "bytes=" + IntToStr(ContentRangeStart) + "-";
        if (ContentRangeEnd != 0) range += IntToStr(ContentRangeEnd);
        h.SetHeader("Range", range);
    }
    if (m_authenticator) {
        setIfAny("Authorization", m_authenticator->CredentialsValue());
    } else if (BasicAuthentication) {
        m_authenticator = std::make_unique<TNetBasicAuthentication>();
        m_authenticator->SetUsername(Username);
        m_authenticator->SetPassword(Password);
        setIfAny("Authorization", m_authenticator->CredentialsValue());
    }
}

void TNetRequestHeaderInfo::ReadFromHeaders() {
    const TNetHeaderList& h = HeaderLines();
    Accept = h.GetHeader("Accept");
    AcceptCharSet = h.GetHeader("Accept-Charset");
    AcceptEncoding = h.GetHeader("Accept-Encoding");
    AcceptLanguage = h.GetHeader("Accept-Language");
    Host = h.GetHeader("Host");
    From = h.GetHeader("From");
    Referer = h.GetHeader("Referer");
    UserAgent = h.GetHeader("User-Agent");
    std::string range = h.GetHeader("Range");
    if (!range.empty()) {
        TakeToken(range, "=");
        ContentRangeStart = RangeBoundOrZero(TakeToken(range, "-"));
        ContentRangeEnd = RangeBoundOrZero(TakeToken(range, " "));
    }
    ReadEntityHeaders();
}

void TNetRequestHeaderInfo::AssignTo(TPersistent* dest) const {
    auto* target = dynamic_cast<TNetRequestHeaderInfo*>(dest);
    if (target == nullptr) {
        TNetEntityHeaderInfo::AssignTo(dest);
        return;
    }
    target->Accept = Accept;
    target->AcceptCharSet = AcceptCharSet;
    target->AcceptEncoding = AcceptEncoding;
    target->AcceptLanguage = AcceptLanguage;
    target->From = From;
    target->Password = Password;
    target->Referer = Referer;
    target->UserAgent = UserAgent;
    target->Username = Username;
    target->BasicAuthentication = BasicAuthentication;
}

}  // namespace pogoda
