#pragma once

// Typed records of the headers of a request, a response and the proxy settings. Each record
// keeps its raw lines in HeaderLines and converts between them and its fields.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/date_time.h"
#include "framework/core/persistent.h"
#include "http/authentication.h"
#include "http/header_list.h"

namespace pogoda {

class TNetEntityHeaderInfo : public TPersistent {
    POGODA_CLASS_NAME(TNetEntityHeaderInfo)
public:
    TNetEntityHeaderInfo();

    // Sets the fields from HeaderLines.
    virtual void ReadFromHeaders();
    // Rebuilds HeaderLines from the fields.
    virtual void WriteToHeaders();
    virtual void Clear();
    void CopyTo(TPersistent* target) const { AssignTo(target); }

    std::string CacheControl;
    TNetHeaderList& HeaderLines() { return m_headerLines; }
    const TNetHeaderList& HeaderLines() const { return m_headerLines; }
    std::string Connection;
    std::string ContentEncoding;
    std::string ContentLanguage;
    int32_t ContentLength() const { return m_contentLength; }
    // Also sets ContentLengthKnown to (value >= 0).
    void SetContentLength(int32_t value);
    uint32_t ContentRangeEnd = 0;
    uint32_t ContentRangeStart = 0;
    std::string ContentType;
    std::string ContentVersion;
    TNetHeaderList& CustomHeaders() { return m_customHeaders; }
    const TNetHeaderList& CustomHeaders() const { return m_customHeaders; }
    // Copies the lines of value.
    void SetCustomHeaders(const TStringList& value) { m_customHeaders.Assign(&value); }
    TDateTime Date = 0;
    TDateTime Expires = 0;
    TDateTime LastModified = 0;
    std::string Pragma;
    bool ContentLengthKnown = false;

protected:
    void AssignTo(TPersistent* dest) const override;
    void ReadEntityHeaders();
    void WriteEntityHeaders();

private:
    TNetHeaderList m_headerLines;
    int32_t m_contentLength = -1;
    TNetHeaderList m_customHeaders;
};

class TNetRequestHeaderInfo : public TNetEntityHeaderInfo {
    POGODA_CLASS_NAME(TNetRequestHeaderInfo)
public:
    TNetRequestHeaderInfo();
    ~TNetRequestHeaderInfo() override;

    void ReadFromHeaders() override;
    void WriteToHeaders() override;
    void Clear() override;

    std::string Accept;
    std::string AcceptCharSet;
    std::string AcceptEncoding;
    std::string AcceptLanguage;
    std::string From;
    std::string Password;
    std::string Referer;
    std::string UserAgent;
    std::string Username;
    std::string Host;
    bool BasicAuthentication = false;
    std::string ProxyConnection;

    // The scheme that supplies "Authorization". The record holds it for its owner (the
    // client), so a scheme it attaches itself is never leaked.
    TNetAuthentication* Authenticator() const { return m_authenticator.get(); }
    void SetAuthenticator(std::unique_ptr<TNetAuthentication> value);

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    std::unique_ptr<TNetAuthentication> m_authenticator;
};

class TNetResponseHeaderInfo : public TNetEntityHeaderInfo {
    POGODA_CLASS_NAME(TNetResponseHeaderInfo)
public:
    TNetResponseHeaderInfo();

    void ReadFromHeaders() override;
    void Clear() override;

    std::string Location;
    std::string Server;
    std::string ProxyConnection;
    TNetHeaderList& ProxyAuthenticate() { return m_proxyAuthenticate; }
    void SetProxyAuthenticate(const TStringList& value) { m_proxyAuthenticate.Assign(&value); }
    TNetHeaderList& WWWAuthenticate() { return m_wwwAuthenticate; }
    void SetWWWAuthenticate(const TStringList& value) { m_wwwAuthenticate.Assign(&value); }

private:
    TNetHeaderList m_proxyAuthenticate;
    TNetHeaderList m_wwwAuthenticate;
};

class TNetProxyConnectionInfo : public TPersistent {
    POGODA_CLASS_NAME(TNetProxyConnectionInfo)
public:
    TNetProxyConnectionInfo();
    ~TNetProxyConnectionInfo() override;

    void Clear();
    // Writes "Proxy-Authorization" into headers when there are credentials to send.
    void SetHeaders(TNetHeaderList& headers);
    void CopyTo(TPersistent* target) const { AssignTo(target); }

    // Owned; freed with the record or when the server or port changes.
    TNetAuthentication* Authenticator() const { return m_authenticator.get(); }
    void SetAuthenticator(std::unique_ptr<TNetAuthentication> value);
    std::string ProxyPassword;
    int32_t ProxyPort() const { return m_proxyPort; }
    void SetProxyPort(int32_t value);
    const std::string& ProxyServer() const { return m_proxyServer; }
    void SetProxyServer(const std::string& value);
    std::string ProxyUsername;
    bool BasicAuthentication = false;

protected:
    void AssignTo(TPersistent* dest) const override;

private:
    std::unique_ptr<TNetAuthentication> m_authenticator;
    int32_t m_proxyPort = 0;
    std::string m_proxyServer;
};

}  // namespace pogoda
