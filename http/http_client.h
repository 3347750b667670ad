#pragma once

// The HTTP/1.x client: one request engine (PerformRequest) over the buffered TCP client.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/events.h"
#include "framework/core/streams.h"
#include "http/authentication.h"
#include "http/cookies.h"
#include "http/header_info.h"
#include "http/tcp_connection.h"
#include "http/uri.h"

namespace pogoda {

enum TNetHTTPProtocolVersion { pv1_0, pv1_1 };
enum TNetHTTPMethod { hmHead, hmGet, hmPost, hmOptions, hmTrace, hmPut, hmDelete, hmConnect };
enum TNetHTTPConnectionType { ckDirect, ckSecure, ckProxy, ckSecureProxy };
enum TNetHTTPOption : unsigned {
    hoInProcessAuth = 1u << 0,
    hoKeepOrigProtocol = 1u << 1,
    hoForceEncodeParams = 1u << 2,
};
using TNetHTTPOptions = unsigned;
enum TNetHTTPNextStep { nsFollow, nsDone, nsUndefined, nsReadAndFollow, nsRetryWithAuth };

class TNetCustomHTTP;

class TNetHTTPRequest : public TNetRequestHeaderInfo {
    POGODA_CLASS_NAME(TNetHTTPRequest)
public:
    std::string RequestURL;
    TNetHTTPMethod Method = hmGet;
    TStream* SourceStream = nullptr;
    TNetHTTPConnectionType ConnectionKind = ckDirect;
};

class TNetHTTPResponse : public TNetResponseHeaderInfo {
    POGODA_CLASS_NAME(TNetHTTPResponse)
public:
    explicit TNetHTTPResponse(TNetCustomHTTP& client) : m_client(client) {}
    // The code of StatusLine, -1 when it has none.
    int32_t StatusCode();
    // Whether the connection may carry the next request.
    bool ConnectionReusable();

    std::string StatusLine;
    TStream* BodyStream = nullptr;
    TNetHTTPProtocolVersion ServerVersion = pv1_0;

private:
    TNetCustomHTTP& m_client;
    int32_t m_statusCode = -1;
    bool m_connectionReusable = false;
};

using TNetHTTPOnRedirectEvent = TEvent<TObject* /*Sender*/, std::string& /*dest*/,
                                       int32_t& /*NumRedirect*/, bool& /*Handled*/,
                                       TNetHTTPMethod& /*VMethod*/>;
using TNetOnSelectAuthorization = TEvent<TObject* /*Sender*/,
                                         TNetAuthenticationClass& /*AuthenticationClass*/,
                                         TNetHeaderList& /*AuthInfo*/>;
using TNetOnAuthorization =
    TEvent<TObject* /*Sender*/, TNetAuthentication* /*Authentication*/, bool& /*Handled*/>;

class TNetCustomHTTP : public TNetTCPClient {
    POGODA_CLASS_NAME(TNetCustomHTTP)
public:
    explicit TNetCustomHTTP(TComponent* owner);
    ~TNetCustomHTTP() override;

    void Get(const std::string& url, TStream* body);
    virtual void PerformRequest(TNetHTTPMethod method, const std::string& url, TStream* source,
                                TStream* body);

    void SetHost(const std::string& host) override;
    void SetPort(int32_t port) override;

    TNetHTTPRequest& Request() { return *m_request; }
    TNetHTTPResponse& Response() { return *m_response; }
    const std::string& ResponseText() const { return m_response->StatusLine; }
    TNetURI& CurrentLocation() { return m_currentLocation; }
    TNetProxyConnectionInfo& ProxyParams() { return *m_proxyParams; }

    TNetCookieManager* CookieManager() const { return m_cookieManager; }
    void SetCookieManager(TNetCookieManager* manager);

    int32_t AuthRetries = 3;
    bool AllowCookies = true;
    TNetHTTPProtocolVersion ProtocolVersion = pv1_1;
    int32_t RedirectsSoFar = 0;
    int32_t RedirectMaximum = 15;
    bool HandleRedirects = false;
    TNetHTTPOptions HTTPOptions = hoForceEncodeParams;
    int32_t ServerAuthAttempts = 0;
    int32_t ProxyAuthAttempts = 0;

    TNetHTTPOnRedirectEvent OnRedirect;
    TNetOnSelectAuthorization OnSelectAuthorization;
    TNetOnSelectAuthorization OnSelectProxyAuthorization;
    TNetOnAuthorization OnAuthorization;
    TNetOnAuthorization OnProxyAuthorization;

protected:
    void NotifyDisconnected() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void PrepareTarget();
    void OpenAndSend();
    TNetHTTPConnectionType SelectEndpoint();
    void EnsureConnected();
    void SendRequestHead();
    void ReadHeaderBlock();
    void StoreCookies();
    TNetHTTPNextStep DecideNextStep();
    [[noreturn]] void FailWithStatus();
    void DrainBody();
    void ReadBody();
    int32_t ReadChunkSize();
    bool AskRedirect(std::string& location, TNetHTTPMethod& method, int32_t count);
    bool AuthorizeServer();
    bool AuthorizeProxy();
    // Reads the body into a fresh text stream in place of the caller's; returns the text.
    std::string ReadBodyAside();

    TNetCookieManager* m_cookieManager = nullptr;
    std::unique_ptr<TNetCookieManager> m_ownCookieManager;
    TNetURI m_currentLocation;
    std::unique_ptr<TNetHTTPRequest> m_request;
    std::unique_ptr<TNetHTTPResponse> m_response;
    std::unique_ptr<TNetProxyConnectionInfo> m_proxyParams;
};

class TNetHTTP : public TNetCustomHTTP {
    POGODA_CLASS_NAME(TNetHTTP)
public:
    using TNetCustomHTTP::TNetCustomHTTP;
};

}  // namespace pogoda
