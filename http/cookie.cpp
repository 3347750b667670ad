#include <cmath>

#include "framework/core/text.h"
#include "http/cookies.h"
#include "http/exceptions.h"
#include "http/internet_date.h"
#include "http/text_helpers.h"

namespace pogoda {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// Attribute entries are "NAME=value" or a bare "FLAG".
std::string AttributeValue(const TStringList& attributes, std::string_view name) {
    for (int i = 0; i < attributes.Count(); ++i) {
        const std::string& entry = attributes.Strings(i);
        const size_t equals = entry.find('=');
        if (equals != std::string::npos && AnsiSameText(std::string_view(entry).substr(0, equals), name)) {
            return entry.substr(equals + 1);
        }
    }
    return {};
}

bool HasFlag(const TStringList& attributes, std::string_view flag) {
    for (int i = 0; i < attributes.Count(); ++i) {
        if (AnsiSameText(attributes.Strings(i), flag)) return true;
    }
    return false;
}

void SplitAttributes(const std::string& text, TStringList& attributes) {
    if (SubstringPos(";", text) == 0) {
        attributes.SetText(text);
        return;
    }
    std::string rest = text;
    while (SubstringPos(";", rest) > 0) attributes.Add(Trim(TakeToken(rest, ";")));
    if (!rest.empty()) attributes.Add(Trim(rest));
}

// A repeated attribute keeps the value of its first occurrence.
void NormaliseAttributes(TStringList& attributes) {
    for (int i = 0; i < attributes.Count(); ++i) {
        const std::string& entry = attributes.Strings(i);
        const size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            attributes.SetStrings(i, UpperCase(entry));
        } else {
            const std::string name = entry.substr(0, equals);
            attributes.SetStrings(i, UpperCase(name) + "=" + AttributeValue(attributes, name));
        }
    }
}

// Dates stay within years 1..9999, so the count always fits.
int64_t SecondsFromNow(TDateTime date) {
    return static_cast<int64_t>(std::trunc((date - Now()) * kSecondsPerDay));
}

}  // namespace

TNetCookieRFC2109* TNetCookieList::CookieAt(int index) const {
    return dynamic_cast<TNetCookieRFC2109*>(Objects(index));
}

// TNetNetscapeCookie

TNetNetscapeCookie::TNetNetscapeCookie(TCollection* collection) : TCollectionItem(collection) {}

TNetNetscapeCookie::~TNetNetscapeCookie() {
    if (auto* store = dynamic_cast<TNetCookies*>(Collection())) store->Unlink(this);
}

void TNetNetscapeCookie::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TNetCookieRFC2109*>(source);
    if (other == nullptr) return;
    std::string text = other->CookieText();
    // The server form leaves out "name=" when the value is empty; without it the first
    // attribute would be read as the name.
    if (other->Value.empty()) text = other->Name + "=" + (text.empty() ? "" : "; " + text);
    ParseCookieText(text);
    Style = other->Style;
}

void TNetNetscapeCookie::ParseCookieText(const std::string& text) {
    if (text == RawText) return;
    RawText = text;
    TStringList attributes;
    SplitAttributes(text, attributes);
    Name.clear();
    Value.clear();
    if (attributes.Count() > 0) {
        const std::string& first = attributes.Strings(0);
        const size_t equals = first.find('=');
        if (equals != std::string::npos) Name = first.substr(0, equals);
        Value = AttributeValue(attributes, Name);
        attributes.Delete(0);
    }
    NormaliseAttributes(attributes);
    LoadAttributes(attributes);
}

std::string TNetNetscapeCookie::CookieText() const {
    std::string text = AppendCookieAttribute(Name, Value, "");
    text = AppendCookieAttribute("path", Path, std::move(text));
    if (Style == 0) text = AppendCookieAttribute("expires", Expires, std::move(text));
    text = AppendCookieAttribute("domain", Domain, std::move(text));
    if (Secure) text = AppendCookieFlag("secure", std::move(text));
    return text;
}

void TNetNetscapeCookie::SetExpiryText(const std::string& text) { Expires = text; }

std::string TNetNetscapeCookie::ClientCookieText() const { return Name + "=" + Value; }

bool TNetNetscapeCookie::MatchesHost(const std::string& host) const {
    if (IsIPv4Text(host)) return Domain == host;
    if (IsHostNameText(host)) return IsHostNameText(Domain) ? Domain == host : Domain == DomainOfHost(host);
    return SameText(Domain, DomainOfHost(host));
}

void TNetNetscapeCookie::LoadAttributes(const TStringList& attributes) {
    Path = AttributeValue(attributes, "PATH");
    if (Path.starts_with('"')) Path.erase(0, 1);
    if (Path.ends_with('"')) Path.pop_back();
    SetExpiryText(AttributeValue(attributes, "EXPIRES"));
    Domain = AttributeValue(attributes, "DOMAIN");
    Secure = HasFlag(attributes, "SECURE");
}

// TNetCookieRFC2109

TNetCookieRFC2109::TNetCookieRFC2109(TCollection* collection) : TNetNetscapeCookie(collection) {
    Style = 1;
}

std::string TNetCookieRFC2109::CookieText() const {
    std::string text = TNetNetscapeCookie::CookieText();
    if (MaxAge >= 0 && Expires.empty()) text = AppendCookieAttribute("max-age", IntToStr(MaxAge), std::move(text));
    text = AppendCookieAttribute("comment", Comment, std::move(text));
    return AppendCookieAttribute("version", Version, std::move(text));
}

void TNetCookieRFC2109::SetExpiryText(const std::string& text) {
    if (!text.empty()) {
        try {
            MaxAge = SecondsFromNow(InternetDateToLocal(text));
        } catch (const Exception&) {
            // The expiry text is kept even when the time zone is unknown.
        }
    }
    TNetNetscapeCookie::SetExpiryText(text);
}

void TNetCookieRFC2109::LoadAttributes(const TStringList& attributes) {
    TNetNetscapeCookie::LoadAttributes(attributes);
    MaxAge = StrToIntDef(AttributeValue(attributes, "MAX-AGE"), -1);
    Version = AttributeValue(attributes, "VERSION");
    Comment = AttributeValue(attributes, "COMMENT");
    if (Expires.empty()) {
        Style = 0;
        if (MaxAge >= 0) SetExpiryText(FormatInternetDate(Now() + static_cast<double>(MaxAge) / kSecondsPerDay));
    }
}

// TNetCookieRFC2965

TNetCookieRFC2965::TNetCookieRFC2965(TCollection* collection) : TNetCookieRFC2109(collection) {
    Style = 2;
}

void TNetCookieRFC2965::SetPortAt(int index, int32_t port) {
    if (index < 0 || static_cast<size_t>(index) > PortList.size()) {
        throw ENetException(messages::kIndexOutOfRange);
    }
    if (static_cast<size_t>(index) == PortList.size()) {
        PortList.push_back(port);
    } else {
        PortList[static_cast<size_t>(index)] = port;
    }
}

void TNetCookieRFC2965::LoadAttributes(const TStringList& attributes) {
    TNetCookieRFC2109::LoadAttributes(attributes);
    CommentURL = AttributeValue(attributes, "CommentURL");
    Discard = HasFlag(attributes, "DISCARD");
    const std::string ports = AttributeValue(attributes, "Port");
    if (ports.empty()) {
        SetPortAt(0, 80);
    } else if (ports.starts_with('"') && ports.ends_with('"')) {
        TStringList items;
        items.SetCommaText(ports.size() >= 2 ? ports.substr(1, ports.size() - 2) : "");
        if (items.Count() == 0) SetPortAt(0, 80);
        // StrToInt raises EConvertError for an item that is not an integer.
        for (int i = 0; i < items.Count(); ++i) SetPortAt(i, StrToInt(items.Strings(i)));
    }
}

}  // namespace pogoda
