#include "http/cookies.h"

namespace pogoda {

namespace {

class IndexLock {
public:
    IndexLock(TNetCookies& cookies, TNetLockAccess access) : m_cookies(cookies), m_access(access) {
        m_cookies.LockDomainIndex(access);
    }
    ~IndexLock() { m_cookies.UnlockDomainIndex(m_access); }
    IndexLock(const IndexLock&) = delete;
    IndexLock& operator=(const IndexLock&) = delete;

private:
    TNetCookies& m_cookies;
    TNetLockAccess m_access;
};

TNetCookieList& DomainList(const TNetCookieList& index, int i) {
    return *static_cast<TNetCookieList*>(index.Objects(i));
}

}  // namespace

TNetCookies::TNetCookies(TPersistent* owner)
    : TOwnedCollection(owner, ItemClass<TNetCookieRFC2109>()) {}

TNetCookies::~TNetCookies() {
    // The cookies leave the index while it still exists.
    Clear();
    for (int i = 0; i < m_domainIndex.Count(); ++i) delete &DomainList(m_domainIndex, i);
}

TNetCookieRFC2109* TNetCookies::NewRFC2109Cookie() { return new TNetCookieRFC2109(this); }

TNetCookieRFC2965* TNetCookies::NewRFC2965Cookie() { return new TNetCookieRFC2965(this); }

TNetCookieList& TNetCookies::LockDomainIndex(TNetLockAccess access) {
    if (access == caRead) {
        m_lock.BeginRead();
    } else {
        m_lock.BeginWrite();
    }
    return m_domainIndex;
}

void TNetCookies::UnlockDomainIndex(TNetLockAccess access) {
    if (access == caRead) {
        m_lock.EndRead();
    } else {
        m_lock.EndWrite();
    }
}

void TNetCookies::LinkCookie(TNetCookieRFC2109* cookie) {
    const IndexLock lock(*this, caReadWrite);
    int domain = m_domainIndex.IndexOf(cookie->Domain);
    if (domain < 0) domain = m_domainIndex.AddObject(cookie->Domain, new TNetCookieList);
    TNetCookieList& names = DomainList(m_domainIndex, domain);
    const int name = names.IndexOf(cookie->Name);
    if (name < 0) {
        names.AddObject(cookie->Name, cookie);
        return;
    }
    names.CookieAt(name)->Assign(cookie);
    cookie->SetCollection(nullptr);
    delete cookie;
}

void TNetCookies::Unlink(TNetNetscapeCookie* cookie) {
    const IndexLock lock(*this, caReadWrite);
    const int domain = m_domainIndex.IndexOf(cookie->Domain);
    if (domain >= 0) {
        TNetCookieList& names = DomainList(m_domainIndex, domain);
        const int name = names.IndexOf(cookie->Name);
        if (name >= 0 && names.Objects(name) == cookie) {
            names.Delete(name);
            return;
        }
    }
    // Taking over another cookie's data can change the domain or name the cookie was
    // entered under; the entry is then found by the cookie itself, so none is left dangling.
    for (int i = 0; i < m_domainIndex.Count(); ++i) {
        TNetCookieList& names = DomainList(m_domainIndex, i);
        const int name = names.IndexOfObject(cookie);
        if (name >= 0) {
            names.Delete(name);
            return;
        }
    }
}

}  // namespace pogoda
