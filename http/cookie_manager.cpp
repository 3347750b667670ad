#include <memory>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "http/cookies.h"
#include "http/internet_date.h"

namespace pogoda {

namespace {

class IndexLock {
public:
    IndexLock(TNetCookies& cookies, TNetLockAccess access)
        : m_cookies(cookies), m_access(access), m_index(cookies.LockDomainIndex(access)) {}
    ~IndexLock() { m_cookies.UnlockDomainIndex(m_access); }
    IndexLock(const IndexLock&) = delete;
    IndexLock& operator=(const IndexLock&) = delete;

    TNetCookieList& Index() { return m_index; }
    TNetCookieList& Domain(int i) { return *static_cast<TNetCookieList*>(m_index.Objects(i)); }

private:
    TNetCookies& m_cookies;
    TNetLockAccess m_access;
    TNetCookieList& m_index;
};

bool IsSentTo(const TNetCookieRFC2109& cookie, const TNetURI& uri, bool secure) {
    return !cookie.Path.empty() && uri.Path.starts_with(cookie.Path) &&
           (!cookie.Secure || secure) && !cookie.Value.empty();
}

}  // namespace

TNetCookieManager::TNetCookieManager(TComponent* owner)
    : TNetBaseComponent(owner), m_cookies(std::make_unique<TNetCookies>(this)) {
    NotifyCreate();
}

TNetCookieManager::~TNetCookieManager() {
    try {
        RemoveExpiredCookies();
    } catch (const Exception&) {
        // Without the time zone nothing can be judged expired; everything goes below anyway.
    }
    NotifyDestroy();
}

void TNetCookieManager::NotifyCreate() { OnCreate(this, m_cookies.get()); }

void TNetCookieManager::NotifyDestroy() { OnDestroy(this, m_cookies.get()); }

bool TNetCookieManager::ConfirmNewCookie(TNetCookieRFC2109* cookie) {
    bool accept = true;
    OnNewCookie(this, cookie, accept);
    return accept;
}

void TNetCookieManager::StoreSetCookie(const std::string& value, const std::string& host) {
    StoreParsedCookie(m_cookies->NewRFC2109Cookie(), value, host);
}

void TNetCookieManager::StoreSetCookie2(const std::string& value, const std::string& host) {
    StoreParsedCookie(m_cookies->NewRFC2965Cookie(), value, host);
}

void TNetCookieManager::StoreParsedCookie(TNetCookieRFC2109* cookie, const std::string& value,
                                          const std::string& host) {
    // Freed on every way out except being entered in the index.
    std::unique_ptr<TNetCookieRFC2109> pending(cookie);
    try {
        cookie->ParseCookieText(value);
    } catch (const EConvertError&) {
        // One unreadable cookie (a port list with a non-integer) is dropped; the others
        // and the exchange go on.
        return;
    }
    if (cookie->Domain.empty()) cookie->Domain = host;
    if (!cookie->MatchesHost(host) || !ConfirmNewCookie(cookie)) return;
    pending.release();
    m_cookies->LinkCookie(cookie);
}

void TNetCookieManager::RemoveExpiredCookies() {
    IndexLock lock(*m_cookies, caReadWrite);
    const TDateTime now = Now();
    for (int d = 0; d < lock.Index().Count(); ++d) {
        TNetCookieList& names = lock.Domain(d);
        for (int i = names.Count() - 1; i >= 0; --i) {
            TNetCookieRFC2109* cookie = names.CookieAt(i);
            // The destructor takes the write lock again and removes the entry.
            if (!cookie->Expires.empty() && now > InternetDateToLocal(cookie->Expires)) delete cookie;
        }
    }
}

std::string TNetCookieManager::BuildCookieHeader(const TNetURI& uri, bool secure) {
    RemoveExpiredCookies();
    IndexLock lock(*m_cookies, caRead);
    if (lock.Index().Count() == 0) return {};

    TNetCookieList byPath;
    byPath.SetDuplicates(dupAccept);
    byPath.SetSorted(true);
    const std::string host = UpperCase(uri.Host);
    for (int d = 0; d < lock.Index().Count(); ++d) {
        if (SubstringPos(UpperCase(lock.Index().Strings(d)), host) == 0) continue;
        TNetCookieList& names = lock.Domain(d);
        for (int i = names.Count() - 1; i >= 0; --i) {
            TNetCookieRFC2109* cookie = names.CookieAt(i);
            if (IsSentTo(*cookie, uri, secure)) byPath.AddObject(cookie->Path, cookie);
        }
    }
    // Longest paths first; equal paths in the order collected.
    std::string header;
    for (int i = byPath.Count() - 1; i >= 0; --i) {
        if (!header.empty()) header += "; ";
        header += byPath.CookieAt(i)->ClientCookieText();
    }
    return header;
}

}  // namespace pogoda
