#include "framework/core/text.h"
#include "http/header_info.h"
#include "http/internet_date.h"

namespace pogoda {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// A whole number of seconds counts from now, whatever its size; -1 and anything else is a
// date.
TDateTime ReadExpires(const std::string& value) {
    int64_t seconds = 0;
    if (TryStrToInt64(value, seconds) && seconds != -1) {
        return Now() + static_cast<double>(seconds) / kSecondsPerDay;
    }
    return InternetDateToLocal(value);
}

}  // namespace

TNetEntityHeaderInfo::TNetEntityHeaderInfo() {
    m_headerLines.SetFoldWidth(1024);
    TNetEntityHeaderInfo::Clear();
}

void TNetEntityHeaderInfo::SetContentLength(int32_t value) {
    m_contentLength = value;
    ContentLengthKnown = value >= 0;
}

void TNetEntityHeaderInfo::Clear() {
    m_headerLines.Clear();
    Connection.clear();
    ContentEncoding.clear();
    ContentLanguage.clear();
    SetContentLength(-1);
    ContentRangeEnd = 0;
    ContentRangeStart = 0;
    ContentType = "text/html";
    ContentVersion.clear();
    Date = 0;
    Expires = 0;
    LastModified = 0;
}

void TNetEntityHeaderInfo::ReadFromHeaders() { ReadEntityHeaders(); }

void TNetEntityHeaderInfo::WriteToHeaders() { WriteEntityHeaders(); }

void TNetEntityHeaderInfo::ReadEntityHeaders() {
    const TNetHeaderList& h = m_headerLines;
    Connection = h.GetHeader("Connection");
    ContentVersion = h.GetHeader("Content-Version");
    ContentEncoding = h.GetHeader("Content-Encoding");
    ContentLanguage = h.GetHeader("Content-Language");
    ContentType = h.GetHeader("Content-Type");
    SetContentLength(StrToIntDef(Trim(h.GetHeader("Content-Length")), -1));
    Date = InternetDateToLocal(h.GetHeader("Date"));
    LastModified = InternetDateToLocal(h.GetHeader("Last-Modified"));
    Expires = ReadExpires(h.GetHeader("Expires"));
    Pragma = h.GetHeader("Pragma");
}

void TNetEntityHeaderInfo::WriteEntityHeaders() {
    TNetHeaderList& h = m_headerLines;
    h.Clear();
    const auto setIfAny = [&h](std::string_view name, const std::string& value) {
        if (!value.empty()) h.SetHeader(name, value);
    };
    setIfAny("Connection", Connection);
    setIfAny("Content-Version", ContentVersion);
    setIfAny("Content-Encoding", ContentEncoding);
    setIfAny("Content-Language", ContentLanguage);
    setIfAny("Content-Type", ContentType);
    if (m_contentLength >= 0) h.SetHeader("Content-Length", IntToStr(m_contentLength));
    setIfAny("Cache-control", CacheControl);
    if (Date > 0) h.SetHeader("Date", FormatInternetDate(Date));
    if (Expires > 0) h.SetHeader("Expires", FormatInternetDate(Expires));
    setIfAny("Pragma", Pragma);
    // Custom lines go verbatim, without folding.
    if (m_customHeaders.Count() > 0) h.SetText(h.Text() + m_customHeaders.Text());
}

void TNetEntityHeaderInfo::AssignTo(TPersistent* dest) const {
    auto* target = dynamic_cast<TNetEntityHeaderInfo*>(dest);
    if (target == nullptr) {
        TPersistent::AssignTo(dest);
        return;
    }
    target->m_headerLines.Assign(&m_headerLines);
    target->ContentEncoding = ContentEncoding;
    target->ContentLanguage = ContentLanguage;
    target->SetContentLength(m_contentLength);
    target->ContentRangeEnd = ContentRangeEnd;
    target->ContentRangeStart = ContentRangeStart;
    target->ContentType = ContentType;
    target->ContentVersion = ContentVersion;
    target->Date = Date;
    target->Expires = Expires;
    target->LastModified = LastModified;
}

}  // namespace pogoda
