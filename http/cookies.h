#pragma once

// The cookie store: cookies set by servers, kept in memory and sent back on later requests.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/collection.h"
#include "framework/core/events.h"
#include "framework/core/string_list.h"
#include "framework/core/sync.h"
#include "http/base_component.h"
#include "http/uri.h"

namespace pogoda {

class TNetCookieRFC2109;
class TNetCookies;

// Text keys, each carrying a cookie (or, in the domain index, a per-domain list).
class TNetCookieList : public TStringList {
    POGODA_CLASS_NAME(TNetCookieList)
public:
    TNetCookieRFC2109* CookieAt(int index) const;
};

// One cookie in the Netscape format.
class TNetNetscapeCookie : public TCollectionItem {
    POGODA_CLASS_NAME(TNetNetscapeCookie)
public:
    explicit TNetNetscapeCookie(TCollection* collection);
    // A cookie still in a store leaves the store's index first.
    ~TNetNetscapeCookie() override;

    // Takes over a TNetCookieRFC2109 (or descendant) through its server form.
    void Assign(const TPersistent* source) override;

    // Splits "name=value; attr=value; flag" and loads the attributes; the same text again
    // changes nothing.
    void ParseCookieText(const std::string& text);
    // The server form: "name=value; path=...; expires=...; domain=...; secure".
    virtual std::string CookieText() const;
    virtual void SetExpiryText(const std::string& text);
    std::string ServerCookieText() const { return CookieText(); }
    // "name=value".
    virtual std::string ClientCookieText() const;
    virtual bool MatchesHost(const std::string& host) const;

    std::string RawText;
    std::string Domain;
    std::string Expires;
    std::string Name;
    std::string Path;
    bool Secure = false;
    std::string Value;
    // 0 Netscape, 1 RFC 2109, 2 RFC 2965: whether the server form carries "expires".
    uint8_t Style = 0;

protected:
    // attributes: normalised entries, "NAME=value" or "FLAG".
    virtual void LoadAttributes(const TStringList& attributes);
};

class TNetCookieRFC2109 : public TNetNetscapeCookie {
    POGODA_CLASS_NAME(TNetCookieRFC2109)
public:
    explicit TNetCookieRFC2109(TCollection* collection);

    std::string CookieText() const override;
    void SetExpiryText(const std::string& text) override;

    int64_t MaxAge = -1;
    std::string Version;
    std::string Comment;

protected:
    void LoadAttributes(const TStringList& attributes) override;
};

class TNetCookieRFC2965 : public TNetCookieRFC2109 {
    POGODA_CLASS_NAME(TNetCookieRFC2965)
public:
    explicit TNetCookieRFC2965(TCollection* collection);

    // index 0 .. size; at size the list grows by one. Otherwise raises ENetException.
    void SetPortAt(int index, int32_t port);

    std::string CommentURL;
    bool Discard = false;
    std::vector<int32_t> PortList;

protected:
    void LoadAttributes(const TStringList& attributes) override;
};

enum TNetLockAccess { caRead, caReadWrite };

// Every cookie of a store, the index by domain and name, and the lock guarding the index.
class TNetCookies : public TOwnedCollection {
    POGODA_CLASS_NAME(TNetCookies)
public:
    explicit TNetCookies(TPersistent* owner);
    ~TNetCookies() override;

    TNetCookieRFC2109* NewRFC2109Cookie();
    TNetCookieRFC2965* NewRFC2965Cookie();
    // Enters the cookie under its domain and name; a stored cookie of that domain and name
    // takes over its data and the newcomer is freed.
    void LinkCookie(TNetCookieRFC2109* cookie);
    // Returns the domain index: entries are domains, each carrying a TNetCookieList of
    // cookies keyed by name.
    TNetCookieList& LockDomainIndex(TNetLockAccess access);
    void UnlockDomainIndex(TNetLockAccess access);

private:
    friend class TNetNetscapeCookie;
    void Unlink(TNetNetscapeCookie* cookie);

    TMultiReadExclusiveWriteSynchronizer m_lock;
    TNetCookieList m_domainIndex;
};

using TOnManagerEvent = TEvent<TObject* /*ASender*/, TNetCookies* /*ACookieCollection*/>;
using TOnNewCookieEvent =
    TEvent<TObject* /*ASender*/, TNetCookieRFC2109* /*ACookie*/, bool& /*VAccept*/>;

class TNetCookieManager : public TNetBaseComponent {
    POGODA_CLASS_NAME(TNetCookieManager)
public:
    explicit TNetCookieManager(TComponent* owner);
    ~TNetCookieManager() override;

    // The "Cookie" header value for a request to uri; empty when no cookie applies.
    std::string BuildCookieHeader(const TNetURI& uri, bool secure);
    // Stores (or drops) the cookie of one "Set-cookie" / "Set-cookie2" header value.
    void StoreSetCookie(const std::string& value, const std::string& host);
    void StoreSetCookie2(const std::string& value, const std::string& host);
    // Frees every cookie whose expiry has passed.
    void RemoveExpiredCookies();

    TNetCookies& CookieCollection() { return *m_cookies; }

    TOnManagerEvent OnCreate;
    TOnManagerEvent OnDestroy;
    TOnNewCookieEvent OnNewCookie;

protected:
    virtual void NotifyCreate();
    virtual void NotifyDestroy();
    virtual bool ConfirmNewCookie(TNetCookieRFC2109* cookie);

private:
    void StoreParsedCookie(TNetCookieRFC2109* cookie, const std::string& value,
                           const std::string& host);

    std::unique_ptr<TNetCookies> m_cookies;
};

// Cookie text helpers.
std::string AppendCookieAttribute(std::string_view attribute, std::string_view value,
                                  std::string text);
std::string AppendCookieFlag(std::string_view flag, std::string text);
bool IsIPv4Text(std::string_view s);
bool IsHostNameText(std::string_view s);
std::string DomainOfHost(const std::string& host);

}  // namespace pogoda
