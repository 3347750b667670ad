#include "http/uri.h"

#include "http/code_page.h"
#include "http/exceptions.h"

namespace pogoda {

namespace {

struct PathSplit {
    size_t queryStart;  // 1-based; 0 without a query
    size_t lastSlash;   // 1-based; 0 without a slash
};

// The last "/" counts only up to the query, which begins at "?" or, without one, at "=".
PathSplit SplitPath(const std::string& s) {
    size_t q = SubstringPos("?", s);
    if (q == 0) q = SubstringPos("=", s);
    const size_t slash = q > 0 ? ReversePos("/", s, static_cast<int64_t>(q)) : ReversePos("/", s);
    return {q, slash};
}

}  // namespace

TNetURI::TNetURI(const std::string& text) {
    if (!text.empty()) Parse(text);
}

void TNetURI::NormalizeSlashes(std::string& text) {
    const TLeadByteTable& leads = AnsiLeadBytes();
    for (size_t i = 0; i < text.size(); ++i) {
        if (leads.IsLead(text[i])) {
            ++i;
        } else if (text[i] == '\\') {
            text[i] = '/';
        }
    }
}

void TNetURI::Parse(const std::string& text) {
    *this = TNetURI();
    FullText = text;
    NormalizeSlashes(FullText);
    std::string s = FullText;

    const size_t scheme = SubstringPos("://", s);
    const bool absolute = scheme > 0;
    if (absolute) {
        Protocol = s.substr(0, scheme - 1);
        s.erase(0, scheme + 2);
        std::string authority = TakeToken(s, "/");
        const size_t at = SubstringPos("@", authority);
        if (at > 0) {
            Password = authority.substr(0, at - 1);
            authority.erase(0, at);
        }
        Username = TakeToken(Password, ":");
        if (Username.empty()) Password.clear();
        Host = TakeToken(authority, ":");
        Port = authority;
    }

    const PathSplit split = SplitPath(s);
    Path = (absolute ? "/" : "") + s.substr(0, split.lastSlash);
    if (split.queryStart > 0) {
        Document = s.substr(0, split.queryStart - 1);
        Query = s.substr(split.queryStart - 1);
    } else {
        Document = s;
    }
    Document.erase(0, split.lastSlash);

    if (absolute) {
        Fragment = Document;
        Document = TakeToken(Fragment, "#");
    }
    if (Fragment.empty()) {
        Fragment = Query;
        Query = TakeToken(Fragment, "#");
    }
}

std::string TNetURI::Compose(TNetURIOptions options) const {
    if (Protocol.empty()) throw ENetURIException(messages::kProtocolFieldEmpty);
    std::string result = Protocol + "://";
    if ((options & WithCredentials) != 0 && !Username.empty()) {
        result += Username;
        if (!Password.empty()) result += ":" + Password;
        result += "@";
    }
    if (Host.empty()) throw ENetURIException(messages::kHostFieldEmpty);
    result += Host;
    if (!Port.empty()) result += ":" + Port;
    result += Path + Document + Query;
    if ((options & WithFragment) != 0 && !Fragment.empty()) result += "#" + Fragment;
    return result;
}

std::string TNetURI::ComposePlain() {
    FullText = Compose(WithCredentials | WithFragment);
    return Compose();
}

}  // namespace pogoda
